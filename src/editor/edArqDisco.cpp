#include "editor/edArqDisco.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>

#include "platform/codigos.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kQuebraEmBranco = 160;  // past this a blank ends a long line
constexpr size_t kMaiorLinha = 180;      // a line reaching this ends at once
constexpr size_t kPedaco = 1 << 20;      // bytes read or written at a time
constexpr size_t kMaiorNome = 255;       // bytes of one name in a folder

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// The descriptor closed on every path out of a function.
class Descritor {
  public:
    explicit Descritor(int fd) : fd_(fd) {}
    ~Descritor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descritor(const Descritor&) = delete;
    Descritor& operator=(const Descritor&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Opens a file for reading without waiting on a pipe or a device that has no data.
int abreParaLer(const fs::path& caminho) {
    return ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

bool ehArquivoRegular(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The folder is flushed too, so the rename itself survives a crash. An error here leaves
// the new file in place already, so it only costs that guarantee.
void sincronizaPasta(const fs::path& pasta) {
    Descritor d(::open(pasta.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd() >= 0) ::fsync(d.fd());
}

std::string hexa(uint64_t v) {
    static constexpr char kDigitos[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 12; ++i, v >>= 4) s += kDigitos[v & 15];
    return s;
}

}  // namespace

fs::path caminhoSistema(std::string_view nome) {
    std::string s(nome);
    for (char& c : s)
        if (c == '\\') c = '/';
    fs::path resultado = (!s.empty() && s[0] == '/') ? fs::path("/") : fs::path();
    size_t i = 0;
    while (i < s.size()) {
        const size_t fim = std::min(s.find('/', i), s.size());
        const std::string parte = s.substr(i, fim - i);
        if (!parte.empty()) {
            const fs::path utf8 = resultado / win1252ParaUtf8(parte);
            const fs::path bruto = resultado / parte;
            resultado = (utf8 != bruto && !existe(utf8) && existe(bruto)) ? bruto : utf8;
        }
        i = fim + 1;
    }
    if (!s.empty() && s.back() == '/' && !resultado.empty() && resultado != "/") resultado += "/";
    return resultado;
}

std::string nomeEditor(const fs::path& caminho) {
    const std::string& sistema = caminho.native();
    std::string nome;
    size_t i = 0;
    while (i <= sistema.size()) {
        const size_t fim = std::min(sistema.find('/', i), sistema.size());
        const std::string_view parte = std::string_view(sistema).substr(i, fim - i);
        // A part with characters Windows-1252 lacks keeps its own bytes: with '?' in their
        // place the file could never be found again, and caminhoSistema takes a part that
        // exists only with its bytes as they are.
        std::string convertida = utf8ParaWin1252(parte);
        nome += win1252ParaUtf8(convertida) == parte ? convertida : std::string(parte);
        if (fim < sistema.size()) nome += '/';
        i = fim + 1;
    }
    return nome;
}

// ------------------------------------------------------------------------ reading

void LeitorLinhas::fecha(bool divisao) {
    recebe_(atual_);
    atual_.clear();
    temLinha_ = false;
    if (divisao) dividiu_ = recemDividida_ = true;
}

void LeitorLinhas::fimDeLinha() {
    if (temLinha_ || !recemDividida_) fecha(false);
    pulaBrancos_ = recemDividida_ = false;
}

void LeitorLinhas::caractere(char c) {
    if (pulaBrancos_) {
        if (c == ' ') return;
        pulaBrancos_ = false;
    }
    if (c == ' ' && atual_.size() > kQuebraEmBranco) {
        fecha(true);
        pulaBrancos_ = true;
        return;
    }
    temLinha_ = true;
    recemDividida_ = false;
    atual_ += static_cast<uint8_t>(c) < 32 ? '#' : c;
    if (atual_.size() >= kMaiorLinha) fecha(true);
}

void LeitorLinhas::alimenta(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        // Most bytes are plain characters of a line still short: taken as a run.
        if (!pulaBrancos_ && atual_.size() < kQuebraEmBranco) {
            const size_t limite = std::min(bytes.size(), i + (kQuebraEmBranco - atual_.size()));
            size_t j = i;
            while (j < limite && static_cast<uint8_t>(bytes[j]) >= 32) ++j;
            if (j > i) {
                atual_.append(bytes.substr(i, j - i));
                temLinha_ = true;
                recemDividida_ = depoisDeCR_ = false;
                i = j;
                continue;
            }
        }
        const char c = bytes[i++];
        if (c == '\n' && depoisDeCR_) {
            depoisDeCR_ = false;
            continue;
        }
        depoisDeCR_ = c == '\r';
        if (c == '\r' || c == '\n') {
            fimDeLinha();
        } else if (c == '\t') {
            // The blanks of a TAB follow the blank rules, so a TAB past 160 ends the line.
            for (int k = 0; k < 8; ++k) caractere(' ');
        } else {
            caractere(c);
        }
    }
}

void LeitorLinhas::termina() {
    if (temLinha_) fecha(false);
    pulaBrancos_ = recemDividida_ = depoisDeCR_ = false;
}

std::vector<std::string> separaLinhas(std::string_view bytes, bool& dividiu) {
    std::vector<std::string> linhas;
    LeitorLinhas leitor([&linhas](std::string_view l) { linhas.emplace_back(l); });
    leitor.alimenta(bytes);
    leitor.termina();
    dividiu = leitor.dividiu();
    return linhas;
}

EstadoLeitura leArquivoTexto(const fs::path& caminho, LeitorLinhas& leitor) {
    Descritor d(abreParaLer(caminho));
    if (d.fd() < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? EstadoLeitura::NaoExiste
                                                     : EstadoLeitura::Ilegivel;
    // Only regular files: a folder cannot be read and a device could give data forever.
    if (!ehArquivoRegular(d.fd())) return EstadoLeitura::Ilegivel;
    std::string pedaco(kPedaco, '\0');
    for (;;) {
        const ssize_t n = ::read(d.fd(), pedaco.data(), pedaco.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            leitor.termina();
            return EstadoLeitura::ErroNoMeio;
        }
        if (n == 0) break;
        leitor.alimenta(std::string_view(pedaco.data(), static_cast<size_t>(n)));
    }
    leitor.termina();
    return EstadoLeitura::Lido;
}

bool podeAbrir(const fs::path& caminho) {
    Descritor d(abreParaLer(caminho));
    return d.fd() >= 0 && ehArquivoRegular(d.fd());
}

// ------------------------------------------------------------------------ writing

GravacaoSegura::GravacaoSegura(const fs::path& destino, unsigned modoNovo) : destino_(destino) {
    std::error_code ec;
    fs::path alvo = destino;
    // Through a link the file it points to is saved; the link stays a link.
    if (fs::is_symlink(fs::symlink_status(alvo, ec))) {
        fs::path real = fs::canonical(alvo, ec);
        if (!ec) alvo = real;
    }
    struct stat info {};
    const bool jaExiste = ::stat(alvo.c_str(), &info) == 0;
    if (jaExiste && S_ISDIR(info.st_mode)) return;
    destino_ = alvo;
    if (jaExiste && !S_ISREG(info.st_mode)) {
        fd_ = ::open(alvo.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ >= 0) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return;
    }
    // A file that may not be written is not replaced behind its back.
    if (jaExiste && ::access(alvo.c_str(), W_OK) != 0) return;
    criaTemporario(alvo, modoNovo);
    if (fd_ >= 0 && jaExiste) {
        ::fchmod(fd_, info.st_mode & 07777);
        // Only possible for the owner's own files or for root; otherwise the new file is
        // the user's, as any file the user writes.
        [[maybe_unused]] const int r = ::fchown(fd_, info.st_uid, info.st_gid);
    }
}

void GravacaoSegura::criaTemporario(const fs::path& alvo, unsigned modo) {
    const std::string nome = alvo.filename().string();
    if (nome.empty() || nome == "." || nome == ".." || nome.size() > kMaiorNome) return;
    fs::path pasta = alvo.parent_path();
    if (pasta.empty()) pasta = ".";
    std::random_device aleatorio;
    // A hidden name beside the file, cut so that it is a valid name of the folder.
    std::string base = ".";
    base += nome.substr(0, 200);
    base += ".plumar-";
    for (int tentativa = 0; tentativa < 100; ++tentativa) {
        const uint64_t sorteio = (uint64_t{aleatorio()} << 32) ^ aleatorio();
        const fs::path candidato = pasta / (base + hexa(sorteio));
        // With the user's umask: a new file gets the permissions any new file gets.
        fd_ = ::open(candidato.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, modo);
        if (fd_ >= 0) {
            temporario_ = candidato;
            return;
        }
        if (errno != EEXIST) return;
    }
}

GravacaoSegura::GravacaoSegura(GravacaoSegura&& outra) noexcept
    : destino_(std::move(outra.destino_)),
      temporario_(std::move(outra.temporario_)),
      fd_(outra.fd_),
      falhou_(outra.falhou_),
      buffer_(std::move(outra.buffer_)) {
    outra.fd_ = -1;
    outra.temporario_.clear();
}

GravacaoSegura::~GravacaoSegura() {
    descarta();
}

void GravacaoSegura::descarta() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporario_.empty()) ::unlink(temporario_.c_str());
    temporario_.clear();
}

void GravacaoSegura::escreve(std::string_view bytes) {
    if (fd_ < 0 || falhou_) return;
    buffer_.append(bytes);
    if (buffer_.size() >= kPedaco) esvazia();
}

bool GravacaoSegura::esvazia() {
    std::string_view resto = buffer_;
    while (!resto.empty() && !falhou_) {
        const ssize_t n = ::write(fd_, resto.data(), resto.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            falhou_ = true;
        else
            resto.remove_prefix(static_cast<size_t>(n));
    }
    buffer_.clear();
    return !falhou_;
}

bool GravacaoSegura::conclui() {
    if (fd_ < 0) return false;
    esvazia();
    const bool noLugar = temporario_.empty();
    if (!falhou_ && !noLugar && ::fsync(fd_) != 0) falhou_ = true;
    if (::close(fd_) != 0) falhou_ = true;
    fd_ = -1;
    if (falhou_) {
        descarta();
        return false;
    }
    if (noLugar) return true;
    if (::rename(temporario_.c_str(), destino_.c_str()) != 0) {
        descarta();
        return false;
    }
    temporario_.clear();
    fs::path pasta = destino_.parent_path();
    sincronizaPasta(pasta.empty() ? fs::path(".") : pasta);
    return true;
}
