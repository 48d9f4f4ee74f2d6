#include "platform/arquivoNovo.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/windows/utf16.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaiorNome = 255;  // characters of one name in a folder

// The C library's error number for the last failed call of the system.
int erroDoSistema() {
    switch (GetLastError()) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return EACCES;
        case ERROR_DISK_FULL: return ENOSPC;
        default: return EIO;
    }
}

// A new file, created here and never over anything already there, written through to the
// disk. Others may read it while it lives but not remove it: that is how a live temporary
// file is told from one a program killed half-way left. A C library descriptor, or -1.
int abreNovo(const fs::path& caminho) {
    HANDLE h = CreateFileW(caminhoLargo(caminho).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        errno = erroDoSistema();
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) CloseHandle(h);
    return fd;
}

// The temporary files a program killed half-way left in `pasta`: a live one is held open
// without leave to remove it, so only abandoned ones go.
void removeTemporariosAbandonados(const fs::path& pasta) {
    std::error_code ec;
    for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec))
        if (nomeTemporarioNovo(it->path().filename().string()) && it->is_regular_file(ec))
            DeleteFileW(caminhoLargo(it->path()).c_str());
}

}  // namespace

int criaExclusivo(const fs::path& caminho, unsigned) { return abreNovo(caminho); }

// Renames made with MOVEFILE_WRITE_THROUGH are on the disk when they return: no folder to
// flush.
void sincronizaPasta(const fs::path&) {}

// Always under a hidden name of its own: Windows has no unnamed files.
ArquivoNovo::ArquivoNovo(const fs::path& pasta, std::string_view nome, unsigned)
    : pasta_(pasta.empty() ? fs::path(".") : pasta), nome_(nome) {
    if (nome_.empty() || nome_ == "." || nome_ == ".." || nome_.size() > kMaiorNome) return;
    removeTemporariosAbandonados(pasta_);
    for (int tentativa = 0; tentativa < 100 && fd_ < 0; ++tentativa) {
        const fs::path candidato = nomeTemporarioLivre(pasta_, nome_);
        fd_ = abreNovo(candidato);
        if (fd_ >= 0)
            temporario_ = candidato;
        else if (errno != EEXIST)
            return;
    }
}

// Flushed and closed: a file Windows renames must not be open without leave to rename it.
// A failed naming leaves it closed, whole, for another name.
bool ArquivoNovo::prepara() {
    if (falhou_) return false;
    if (sincronizado_) return true;
    if (fd_ < 0) return false;
    falhou_ = !sincronizaDescritor(fd_);
    fecha();
    sincronizado_ = !falhou_;
    return !falhou_;
}

bool ArquivoNovo::daNomeTemporario() { return !temporario_.empty(); }

bool ArquivoNovo::nomeia(const fs::path& destino) {
    if (!prepara() || !daNomeTemporario()) return false;
    if (!MoveFileExW(caminhoLargo(temporario_).c_str(), caminhoLargo(destino).c_str(),
                     MOVEFILE_WRITE_THROUGH)) {
        errno = erroDoSistema();
        return false;
    }
    temporario_.clear();
    return true;
}

// Windows files take the permissions of their folder; the read-only mark is the one a
// file carries itself, and a save never replaces a read-only file.
void ArquivoNovo::copiaPermissoes(const fs::path&) {}

// An existing file is replaced by ReplaceFileW, which keeps its attributes, security and
// streams; a new name, or a link (replaced, never followed), by MoveFileExW. Both are on
// the disk when they return.
bool ArquivoNovo::substitui(const fs::path& destino) {
    if (!prepara() || !daNomeTemporario()) return false;
    const std::wstring alvo = caminhoLargo(destino), temporario = caminhoLargo(temporario_);
    const DWORD atributos = GetFileAttributesW(alvo.c_str());
    bool posto = atributos != INVALID_FILE_ATTRIBUTES &&
                 !(atributos & FILE_ATTRIBUTE_REPARSE_POINT) &&
                 ReplaceFileW(alvo.c_str(), temporario.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                              nullptr, nullptr);
    if (!posto && GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED)
        posto = MoveFileExW(temporario.c_str(), alvo.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!posto) {
        errno = erroDoSistema();
        return false;
    }
    temporario_.clear();
    return true;
}
