#include "platform/gravacaoSegura.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/caminhos.h"
#include "platform/descritor.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kPedaco = 1 << 20;  // bytes read at a time

std::string conteudo(int fd) {
    std::string tudo;
    std::string pedaco(kPedaco, '\0');
    for (off_t pos = 0;;) {
        const ssize_t n = ::pread(fd, pedaco.data(), pedaco.size(), pos);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::system_error(errno, std::generic_category());
        if (n == 0) return tudo;
        tudo.append(pedaco, 0, static_cast<size_t>(n));
        pos += n;
    }
}

}  // namespace

GravacaoSegura::GravacaoSegura(const fs::path& destino, unsigned modoNovo) : destino_(destino) {
    const fs::path alvo = alvoDe(destino);
    struct stat info {};
    const bool jaExiste = ::stat(alvo.c_str(), &info) == 0;
    if (jaExiste && S_ISDIR(info.st_mode)) return;
    destino_ = alvo;
    if (jaExiste && !S_ISREG(info.st_mode)) {
        fd_ = ::open(alvo.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ >= 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        modo_ = Modo::Dispositivo;
        return;
    }
    // A file that may not be written is not replaced behind its back.
    if (jaExiste && ::access(alvo.c_str(), W_OK) != 0) return;
    // A file with other names (hard links) or of another user keeps its identity: it is
    // written where it is. So is one whose folder cannot take a new file.
    const bool outroDono = jaExiste && info.st_uid != ::geteuid() && ::geteuid() != 0;
    if (!(jaExiste && (info.st_nlink > 1 || outroDono))) {
        ArquivoNovo novo(alvo.parent_path(), alvo.filename().string(), modoNovo);
        if (novo.aberto()) novo_.emplace(std::move(novo));
    }
    if (!novo_ && jaExiste) {
        abreNoLugar(alvo);
        return;
    }
    if (novo_ && jaExiste) {
        // Owner and group where the user may keep them (the group alone when the owner
        // cannot be kept), then the permissions, which a change of owner may clear.
        if (::fchown(fd(), info.st_uid, info.st_gid) != 0) {
            [[maybe_unused]] const int r = ::fchown(fd(), static_cast<uid_t>(-1), info.st_gid);
        }
        ::fchmod(fd(), info.st_mode & 07777);
    }
}

// Written in place, after a copy of the file as it was is safe in the state folder: any
// error puts that copy back. A save killed half-way leaves that copy, which the next
// opening of the file announces.
void GravacaoSegura::abreNoLugar(const fs::path& alvo) {
    Descritor original(::open(alvo.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (original.fd() < 0) return;
    std::string antes;
    try {
        antes = conteudo(original.fd());
    } catch (const std::system_error&) {
        return;
    }
    std::error_code ec;
    const fs::path estado = diretorioEstado();
    if (fs::create_directories(estado, ec)) ::chmod(estado.c_str(), 0700);  // texts are private
    std::string modelo = modeloCopiaAntes(alvo).string();
    // The name's end after its random part (the X's).
    const int sufixo = static_cast<int>(modelo.size() - modelo.rfind('X') - 1);
    const int fdCopia = ::mkostemps(modelo.data(), sufixo, O_CLOEXEC);
    if (fdCopia < 0) return;
    Descritor copia(fdCopia);
    if (!escreveTudo(copia.fd(), antes) || ::fsync(copia.fd()) != 0) {
        ::unlink(modelo.c_str());
        return;
    }
    fd_ = ::open(alvo.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        ::unlink(modelo.c_str());
        return;
    }
    copiaAntes_ = modelo;
    antes_ = std::move(antes);
    modo_ = Modo::NoLugar;
}
