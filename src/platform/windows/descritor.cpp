#include "platform/descritor.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

bool sincronizaDescritor(int fd) {
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}

bool cortaDescritor(int fd, uint64_t tamanho) {
    return _chsize_s(fd, static_cast<long long>(tamanho)) == 0;
}

bool voltaAoInicio(int fd) { return _lseeki64(fd, 0, SEEK_SET) == 0; }

bool fechaDescritor(int fd) { return _close(fd) == 0; }
