#include "platform/ligacaoLocal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/ligacaoConversa.h"

namespace fs = std::filesystem;

namespace ligacao {

namespace {

// A socket descriptor closed when it goes out of scope, and the link's channel over it.
class Soquete final : public Canal {
  public:
    explicit Soquete(int fd = -1) : fd_(fd) {}
    ~Soquete() override {
        if (fd_ >= 0) ::close(fd_);
    }
    Soquete(const Soquete&) = delete;
    Soquete& operator=(const Soquete&) = delete;
    int fd() const { return fd_; }

    bool escreveTudo(std::string_view dados, Relogio::time_point prazo) override;
    bool leExato(char* destino, size_t n, Relogio::time_point prazo) override;

  private:
    int fd_;
};

int restaMs(Relogio::time_point prazo) {
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(prazo - Relogio::now());
    return resta.count() > 0 ? static_cast<int>(resta.count()) : 0;
}

// Waits until `fd` can be read or written; false when the deadline passed first.
bool espera(int fd, short evento, Relogio::time_point prazo) {
    for (;;) {
        pollfd p{fd, evento, 0};
        const int r = ::poll(&p, 1, restaMs(prazo));
        if (r > 0) return true;
        if (r == 0 || errno != EINTR) return false;
    }
}

bool Soquete::escreveTudo(std::string_view dados, Relogio::time_point prazo) {
    while (!dados.empty()) {
        const ssize_t n = ::send(fd_, dados.data(), dados.size(), MSG_NOSIGNAL);
        if (n > 0) {
            dados.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!espera(fd_, POLLOUT, prazo)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool Soquete::leExato(char* destino, size_t n, Relogio::time_point prazo) {
    while (n > 0) {
        const ssize_t r = ::recv(fd_, destino, n, 0);
        if (r > 0) {
            destino += r;
            n -= static_cast<size_t>(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!espera(fd_, POLLIN, prazo)) return false;
        } else {
            return false;  // the peer closed, or an error
        }
    }
    return true;
}

// Why a folder or socket of the link may not be trusted; empty when it may.
std::string confere(const fs::path& caminho, bool pasta) {
    struct stat st {};
    if (::lstat(caminho.c_str(), &st) != 0) return caminho.string() + ": " + std::strerror(errno);
    if (pasta ? !S_ISDIR(st.st_mode) : !S_ISSOCK(st.st_mode))
        return caminho.string() + (pasta ? " não é uma pasta" : " não é um soquete");
    if (st.st_uid != ::geteuid()) return caminho.string() + " pertence a outro usuário";
    return {};
}

bool preencheEndereco(const fs::path& caminho, sockaddr_un& sa) {
    sa = {};
    sa.sun_family = AF_UNIX;
    const std::string& s = caminho.native();
    if (s.empty() || s.size() >= sizeof sa.sun_path) return false;
    std::memcpy(sa.sun_path, s.c_str(), s.size() + 1);
    return true;
}

// A connected, non-blocking socket to `caminho`; -1 when nobody listens there.
int conecta(const fs::path& caminho) {
    sockaddr_un sa;
    if (!preencheEndereco(caminho, sa)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    // A Unix socket connects at once or not at all (a full backlog counts as no server).
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

fs::path pastaLigacoes() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return fs::path(runtime) / "sonare" / "link";
    return fs::path("/tmp") / ("sonare-" + std::to_string(::geteuid())) / "link";
}

std::string preparaPasta(const fs::path& pasta) {
    // The folder and its parent are ours: made private here, and refused when someone
    // else made them first.
    for (const fs::path& p : {pasta.parent_path(), pasta}) {
        if (::mkdir(p.c_str(), 0700) != 0 && errno != EEXIST)
            return p.string() + ": " + std::strerror(errno);
        if (std::string erro = confere(p, true); !erro.empty()) return erro;
        struct stat st {};
        if (::lstat(p.c_str(), &st) == 0 && (st.st_mode & 077) != 0 && ::chmod(p.c_str(), 0700) != 0)
            return p.string() + ": " + std::strerror(errno);
    }
    return {};
}

fs::path enderecoServidor(const fs::path& pasta, std::string_view aplicacao, std::string_view topico) {
    const std::string a = nomeEndereco(aplicacao), t = nomeEndereco(topico);
    if (a.empty() || t.empty()) return {};
    sockaddr_un sa;
    fs::path caminho = pasta / (a + "." + t);
    return preencheEndereco(caminho, sa) ? caminho : fs::path();
}

Resultado entrega(std::string_view aplicacao, std::string_view topico, std::string_view item,
                  std::string_view dados, std::chrono::milliseconds prazoTotal) {
    const auto prazo = Relogio::now() + prazoTotal;
    const fs::path pasta = pastaLigacoes();
    const fs::path endereco = enderecoServidor(pasta, aplicacao, topico);
    // Only a server of this user is spoken to: a folder or socket of someone else could
    // be a trap set for the text.
    if (endereco.empty() || !confere(pasta.parent_path(), true).empty() ||
        !confere(pasta, true).empty() || !confere(endereco, false).empty())
        return Resultado::SemServidor;
    Soquete s(conecta(endereco));
    if (s.fd() < 0) return Resultado::SemServidor;
    return conversaCliente(s, aplicacao, topico, item, dados, prazo);
}

// The listening socket, and its name taken away when it closes.
struct Servidor::Escuta {
    explicit Escuta(int fd) : soquete(fd) {}
    ~Escuta() {
        if (!endereco.empty()) ::unlink(endereco.c_str());
    }
    Soquete soquete;
    fs::path endereco;  // set once bound: the name this server made
};

Servidor::Servidor() = default;
Servidor::~Servidor() = default;

std::string Servidor::abre(std::string_view aplicacao, std::string_view topico) {
    const fs::path pasta = pastaLigacoes();
    if (std::string erro = preparaPasta(pasta); !erro.empty()) return erro;
    endereco_ = enderecoServidor(pasta, aplicacao, topico);
    if (endereco_.empty()) return "nome de aplicação ou tópico inválido";
    struct stat st {};
    if (::lstat(endereco_.c_str(), &st) == 0) {
        if (std::string erro = confere(endereco_, false); !erro.empty()) return erro;
        if (int outro = conecta(endereco_); outro >= 0) {
            ::close(outro);
            return "outro servidor já atende " + endereco_.filename().string();
        }
        ::unlink(endereco_.c_str());  // left by a server that ended without cleaning up
    }
    sockaddr_un sa;
    preencheEndereco(endereco_, sa);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::strerror(errno);
    auto escuta = std::make_unique<Escuta>(fd);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
        return endereco_.string() + ": " + std::strerror(errno);
    escuta->endereco = endereco_;
    if (::chmod(endereco_.c_str(), 0600) != 0 || ::listen(fd, 8) != 0)
        return endereco_.string() + ": " + std::strerror(errno);
    escuta_ = std::move(escuta);
    aplicacao_ = aplicacao;
    topico_ = topico;
    return {};
}

std::optional<Entrega> Servidor::atende(std::chrono::milliseconds esperaMax) {
    if (!escuta_ || !espera(escuta_->soquete.fd(), POLLIN, Relogio::now() + esperaMax))
        return std::nullopt;
    Soquete c(::accept4(escuta_->soquete.fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (c.fd() < 0) return std::nullopt;
    return conversaServidor(c, aplicacao_, topico_);
}

}  // namespace ligacao
