#include "platform/descritor.h"

#include <unistd.h>

bool sincronizaDescritor(int fd) { return ::fsync(fd) == 0; }

bool cortaDescritor(int fd, uint64_t tamanho) {
    return ::ftruncate(fd, static_cast<off_t>(tamanho)) == 0;
}

bool voltaAoInicio(int fd) { return ::lseek(fd, 0, SEEK_SET) == 0; }

bool fechaDescritor(int fd) { return ::close(fd) == 0; }
