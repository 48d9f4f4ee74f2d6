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

#include "platform/codigos.h"
#include "platform/texto.h"

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;

namespace ligacao {

namespace {

// A socket descriptor closed when it goes out of scope.
class Soquete {
  public:
    explicit Soquete(int fd = -1) : fd_(fd) {}
    ~Soquete() {
        if (fd_ >= 0) ::close(fd_);
    }
    Soquete(const Soquete&) = delete;
    Soquete& operator=(const Soquete&) = delete;
    int fd() const { return fd_; }

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

bool escreveTudo(int fd, std::string_view dados, Relogio::time_point prazo) {
    while (!dados.empty()) {
        const ssize_t n = ::send(fd, dados.data(), dados.size(), MSG_NOSIGNAL);
        if (n > 0) {
            dados.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!espera(fd, POLLOUT, prazo)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool leExato(int fd, char* destino, size_t n, Relogio::time_point prazo) {
    while (n > 0) {
        const ssize_t r = ::recv(fd, destino, n, 0);
        if (r > 0) {
            destino += r;
            n -= static_cast<size_t>(r);
        } else if (r < 0 && errno == EINTR) {
            continue;
        } else if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!espera(fd, POLLIN, prazo)) return false;
        } else {
            return false;  // the peer closed, or an error
        }
    }
    return true;
}

bool enviaQuadro(int fd, Tipo tipo, std::string_view carga, Relogio::time_point prazo) {
    const uint32_t n = static_cast<uint32_t>(carga.size() + 1);
    std::string q;
    q.reserve(carga.size() + 5);
    for (int s = 24; s >= 0; s -= 8) q += static_cast<char>((n >> s) & 0xFF);
    q += static_cast<char>(tipo);
    q += carga;
    return escreveTudo(fd, q, prazo);
}

struct Quadro {
    Tipo tipo;
    std::string carga;
};

std::optional<Quadro> leQuadro(int fd, Relogio::time_point prazo) {
    unsigned char cab[5];
    if (!leExato(fd, reinterpret_cast<char*>(cab), sizeof cab, prazo)) return std::nullopt;
    const uint32_t n = uint32_t{cab[0]} << 24 | uint32_t{cab[1]} << 16 | uint32_t{cab[2]} << 8 | cab[3];
    if (n == 0 || n > kMaiorQuadro || cab[4] < 1 || cab[4] > 4) return std::nullopt;
    Quadro q{static_cast<Tipo>(cab[4]), std::string(n - 1, '\0')};
    if (!leExato(fd, q.carga.data(), q.carga.size(), prazo)) return std::nullopt;
    return q;
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

std::string nomeDe(std::string_view nome) {
    std::string s = maiusculasAscii(win1252ParaUtf8(nome));
    if (s.empty() || s.find_first_of(std::string_view("/\0", 2)) != std::string::npos) return {};
    return s;
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

// The two names of an initiate, split at their NUL.
bool separa(std::string_view carga, std::string_view& a, std::string_view& b) {
    const size_t nul = carga.find('\0');
    if (nul == std::string_view::npos) return false;
    a = carga.substr(0, nul);
    b = carga.substr(nul + 1);
    return true;
}

std::string juntaNomes(std::string_view a, std::string_view b) {
    std::string s(a);
    s += '\0';
    s += b;
    return s;
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
    const std::string a = nomeDe(aplicacao), t = nomeDe(topico);
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
    if (!enviaQuadro(s.fd(), Tipo::Inicia, juntaNomes(aplicacao, topico), prazo))
        return Resultado::SemServidor;
    const std::optional<Quadro> resposta = leQuadro(s.fd(), prazo);
    if (!resposta || resposta->tipo != Tipo::Confirma) return Resultado::SemServidor;
    if (resposta->carga != "\x01") return Resultado::Recusado;
    std::string carga(item);
    carga += '\0';
    carga += static_cast<char>(kFormatoTexto & 0xFF);
    carga += static_cast<char>(kFormatoTexto >> 8);
    carga += dados;
    if (!enviaQuadro(s.fd(), Tipo::Entrega, carga, prazo) ||
        !enviaQuadro(s.fd(), Tipo::Termina, {}, prazo))
        return Resultado::Falhou;
    return Resultado::Entregue;
}

Servidor::~Servidor() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(endereco_.c_str());
}

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
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return std::strerror(errno);
    const bool escutando = ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
                           ::chmod(endereco_.c_str(), 0600) == 0 && ::listen(fd_, 8) == 0;
    if (!escutando) {
        std::string erro = endereco_.string() + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return erro;
    }
    aplicacao_ = aplicacao;
    topico_ = topico;
    return {};
}

std::optional<Entrega> Servidor::atende(std::chrono::milliseconds esperaMax) {
    if (fd_ < 0 || !espera(fd_, POLLIN, Relogio::now() + esperaMax)) return std::nullopt;
    Soquete c(::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (c.fd() < 0) return std::nullopt;
    const auto prazo = Relogio::now() + kPrazo;
    std::optional<Quadro> q = leQuadro(c.fd(), prazo);
    std::string_view a, t;
    if (!q || q->tipo != Tipo::Inicia || !separa(q->carga, a, t)) return std::nullopt;
    const bool nosso = igualSemCaixa(a, aplicacao_) && igualSemCaixa(t, topico_);
    if (!enviaQuadro(c.fd(), Tipo::Confirma, nosso ? "\x01" : std::string_view("\0", 1), prazo) || !nosso)
        return std::nullopt;
    q = leQuadro(c.fd(), prazo);
    std::string_view item, resto;
    if (!q || q->tipo != Tipo::Entrega || !separa(q->carga, item, resto) || resto.size() < 2)
        return std::nullopt;
    const uint16_t formato = static_cast<uint8_t>(resto[0]) | static_cast<uint8_t>(resto[1]) << 8;
    const bool texto = formato == kFormatoTexto;
    enviaQuadro(c.fd(), Tipo::Confirma, texto ? "\x01" : std::string_view("\0", 1), prazo);
    if (!texto) return std::nullopt;
    Entrega e{std::string(item), std::string(resto.substr(2))};
    // The client ends the conversation; the server answers in kind, if it still listens.
    if (q = leQuadro(c.fd(), prazo); q && q->tipo == Tipo::Termina)
        enviaQuadro(c.fd(), Tipo::Termina, {}, prazo);
    return e;
}

}  // namespace ligacao
