#include "platform/registroBibliotecas.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "platform/caminhos.h"
#include "platform/windows/utf16.h"

namespace {

HANDLE abreLog() {
    std::error_code ec;
    std::filesystem::create_directories(arquivoLog().parent_path(), ec);
    return CreateFileW(caminhoLargo(arquivoLog()).c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The log stays open for the run, as on Linux.
HANDLE arquivoAberto() {
    static const HANDLE h = abreLog();
    return h;
}

}  // namespace

int abreRegistro() {
    HANDLE h = abreLog();
    if (h == INVALID_HANDLE_VALUE)
        h = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_APPEND | _O_BINARY);
    if (fd < 0) CloseHandle(h);
    return fd;
}

std::filesystem::path arquivoLog() { return diretorioWindows() / "plumar.log"; }

// No library of the Windows build writes to a log of its own.
void registraBibliotecasNoLog() {}

void anotaNoLog(std::string_view linha) {
    const HANDLE h = arquivoAberto();
    if (h == INVALID_HANDLE_VALUE) return;
    std::string s(linha);
    s += "\r\n";
    // One write a line, so lines of several threads never mix.
    DWORD escritos = 0;
    WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &escritos, nullptr);
}

// The Windows build has no terminal front-end yet: nothing to protect.
void desviaErrosParaLog() {}
