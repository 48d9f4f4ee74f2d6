#include "platform/arquivoNovo.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaiorNome = 255;  // bytes of one name in a folder

// The temporary files a program killed half-way left in `pasta`: this user's, and held by
// no one now (each lives locked).
void removeTemporariosAbandonados(const fs::path& pasta) {
    std::error_code ec;
    for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
        if (!nomeTemporarioNovo(it->path().filename().string())) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// Whether an unnamed file can be given a name later (through /proc).
bool podeNomearAnonimo() {
    return ::access("/proc/self/fd", X_OK) == 0;
}

}  // namespace

int criaExclusivo(const fs::path& caminho, unsigned modo) {
    return ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                  modo);
}

void sincronizaPasta(const fs::path& pasta) {
    const int fd = ::open(pasta.empty() ? "." : pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

ArquivoNovo::ArquivoNovo(const fs::path& pasta, std::string_view nome, unsigned modo)
    : pasta_(pasta.empty() ? fs::path(".") : pasta), nome_(nome) {
    if (nome_.empty() || nome_ == "." || nome_ == ".." || nome_.size() > kMaiorNome) return;
    removeTemporariosAbandonados(pasta_);
    // Unnamed where the file system allows it: a program killed half-way leaves nothing.
    if (podeNomearAnonimo()) {
        fd_ = ::open(pasta_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, modo);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);  // held once it has a temporary name
            return;
        }
    }
    for (int tentativa = 0; tentativa < 100 && fd_ < 0; ++tentativa) {
        const fs::path candidato = nomeTemporarioLivre(pasta_, nome_);
        fd_ = criaExclusivo(candidato, modo);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
            temporario_ = candidato;
        } else if (errno != EEXIST) {
            return;
        }
    }
}

bool ArquivoNovo::prepara() {
    if (fd_ < 0 || falhou_) return false;
    if (!sincronizado_) {
        falhou_ = !sincronizaDescritor(fd_);
        sincronizado_ = !falhou_;
    }
    return !falhou_;
}

// The unnamed file gets a hidden name of its own in the folder.
bool ArquivoNovo::daNomeTemporario() {
    if (!temporario_.empty()) return true;
    const std::string proprio = "/proc/self/fd/" + std::to_string(fd_);
    for (int tentativa = 0; tentativa < 100; ++tentativa) {
        const fs::path candidato = nomeTemporarioLivre(pasta_, nome_);
        if (::linkat(AT_FDCWD, proprio.c_str(), AT_FDCWD, candidato.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporario_ = candidato;
            return true;
        }
        if (errno != EEXIST) break;
    }
    return false;
}

bool ArquivoNovo::nomeia(const fs::path& destino) {
    if (!prepara()) return false;
    bool feito;
    if (temporario_.empty()) {
        // A link's name never takes the place of anything already there.
        const std::string proprio = "/proc/self/fd/" + std::to_string(fd_);
        feito = ::linkat(AT_FDCWD, proprio.c_str(), AT_FDCWD, destino.c_str(), AT_SYMLINK_FOLLOW) == 0;
    } else {
        feito = ::renameat2(AT_FDCWD, temporario_.c_str(), AT_FDCWD, destino.c_str(),
                            RENAME_NOREPLACE) == 0;
        // A file system without that rename: a second name, then the temporary one goes.
        if (!feito && (errno == EINVAL || errno == ENOSYS) && ::link(temporario_.c_str(), destino.c_str()) == 0) {
            ::unlink(temporario_.c_str());
            feito = true;
        }
        if (feito) temporario_.clear();
    }
    if (!feito) return false;
    fecha();
    sincronizaPasta(pasta_);
    return true;
}

void ArquivoNovo::copiaPermissoes(const fs::path& de) {
    struct stat info {};
    if (aberto() && ::stat(de.c_str(), &info) == 0) ::fchmod(fd_, info.st_mode & 07777);
}

bool ArquivoNovo::substitui(const fs::path& destino) {
    if (!prepara() || !daNomeTemporario()) return false;
    if (::rename(temporario_.c_str(), destino.c_str()) != 0) return false;
    temporario_.clear();
    fecha();
    sincronizaPasta(pasta_);
    return true;
}
