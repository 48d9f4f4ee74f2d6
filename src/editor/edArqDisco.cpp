#include "editor/edArqDisco.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

#include "editor/edArqCodif.h"
#include "platform/arquivoNovo.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/descritor.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kQuebraEmBranco = 160;  // past this a blank ends a long line
constexpr size_t kMaiorLinha = 180;      // a line reaching this ends at once
constexpr size_t kPedaco = 1 << 20;      // bytes read or written at a time

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// Opens a file for reading without waiting on a pipe or a device that has no data.
int abreParaLer(const fs::path& caminho) {
    return ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

bool ehArquivoRegular(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

fs::path caminhoSistema(std::string_view nome) {
    // A name that exists on disk with a '\\' in it is that file: the '\\' is no separator.
    if (nome.find('\\') != std::string_view::npos) {
        const fs::path utf8 = win1252ParaUtf8(nome);
        if (existe(utf8)) return utf8;
        if (existe(fs::path(std::string(nome)))) return fs::path(std::string(nome));
    }
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

fs::path pastaDoTexto(std::string_view nomeArquivo) {
    std::error_code ec;
    if (nomeArquivo.empty()) return fs::current_path(ec);
    const fs::path arquivo = fs::absolute(caminhoSistema(nomeArquivo), ec);
    return ec ? fs::current_path(ec) : arquivo.parent_path();
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
    const int marca = indiceEstranho(static_cast<uint8_t>(c));
    atual_ += static_cast<uint8_t>(c) < 32 && !(marca >= 0 && marca < marcas_) ? '#' : c;
    if (atual_.size() >= kMaiorLinha) fecha(true);
}

void LeitorLinhas::alimenta(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        // Most bytes are plain characters of a line still short: taken as a run.
        if (!pulaBrancos_ && atual_.size() < kQuebraEmBranco) {
            const size_t limite = std::min(bytes.size(), i + (kQuebraEmBranco - atual_.size()));
            size_t j = i;
            while (j < limite && static_cast<uint8_t>(bytes[j]) >= 32) ++j;
            // A whole line in the piece is handed over as it lies there.
            if (j > i && atual_.empty() && j < bytes.size() &&
                (bytes[j] == '\r' || bytes[j] == '\n')) {
                recebe_(bytes.substr(i, j - i));
                recemDividida_ = false;
                depoisDeCR_ = bytes[j] == '\r';
                i = j + 1;
                continue;
            }
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

void LeitorLinhas::reinicia() {
    atual_.clear();
    temLinha_ = pulaBrancos_ = recemDividida_ = depoisDeCR_ = dividiu_ = false;
    marcas_ = 0;
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

namespace {

// The regular file `caminho` handed to `recebe` in pieces.
template <typename Recebe>
EstadoLeitura lePedacos(const fs::path& caminho, Recebe recebe) {
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
        if (n < 0) return EstadoLeitura::ErroNoMeio;
        if (n == 0) return EstadoLeitura::Lido;
        recebe(std::string_view(pedaco.data(), static_cast<size_t>(n)));
    }
}

}  // namespace

EstadoLeitura leArquivoTexto(const fs::path& caminho, LeitorLinhas& leitor) {
    const EstadoLeitura estado =
        lePedacos(caminho, [&leitor](std::string_view p) { leitor.alimenta(p); });
    if (estado == EstadoLeitura::Lido || estado == EstadoLeitura::ErroNoMeio) leitor.termina();
    return estado;
}

EstadoLeitura leArquivoCodificado(const fs::path& caminho, LeitorLinhas& leitor,
                                  CodificacaoArquivo& cod, const std::function<void()>& recomeca,
                                  bool aceitaUtf8) {
    cod = CodificacaoArquivo{};
    std::error_code ec;
    const uintmax_t tamanho = fs::file_size(caminho, ec);
    if (!ec && tamanho > kMaiorArquivoTexto) return EstadoLeitura::GrandeDemais;
    if (!aceitaUtf8 || ec) return leArquivoTexto(caminho, leitor);
    // UTF-8 is decoded as it is read, straight into the lines: one pass, and the file never
    // held whole. UTF-16, told by its first bytes, is read whole and then decoded.
    DecodificadorUtf8 utf8(cod);
    const DecodificadorUtf8::Recebe entrega = [&leitor, &cod](std::string_view texto) {
        leitor.aceitaMarcas(static_cast<int>(cod.estranhos.size()));
        leitor.alimenta(texto);
    };
    std::optional<std::string> utf16;
    bool primeiro = true;
    const EstadoLeitura estado = lePedacos(caminho, [&](std::string_view p) {
        if (std::exchange(primeiro, false) && comecaUtf16(p)) {
            utf16.emplace();
            utf16->reserve(static_cast<size_t>(tamanho));
        }
        if (utf16)
            utf16->append(p);
        else
            utf8.alimenta(p, entrega);
    });
    if (estado == EstadoLeitura::NaoExiste || estado == EstadoLeitura::Ilegivel) {
        cod = CodificacaoArquivo{};
        return estado;
    }
    if (utf16) {
        if (estado != EstadoLeitura::Lido) {
            cod = CodificacaoArquivo{};
            return leArquivoTexto(caminho, leitor);
        }
        const std::optional<std::string> texto = decodificaTexto(*utf16, cod);
        leitor.aceitaMarcas(static_cast<int>(cod.estranhos.size()));
        leitor.alimenta(texto ? std::string_view(*texto) : std::string_view(*utf16));
        leitor.termina();
        leitor.aceitaMarcas(0);
        return estado;
    }
    const DecodificadorUtf8::Fim fim = utf8.termina(entrega);
    leitor.aceitaMarcas(0);
    // A read error leaves the part before it, read as bytes.
    if (fim == DecodificadorUtf8::Fim::Reler ||
        (estado == EstadoLeitura::ErroNoMeio && fim == DecodificadorUtf8::Fim::Utf8)) {
        const bool recusado = cod.utf8Recusado && estado == EstadoLeitura::Lido;
        recomeca();
        leitor.reinicia();
        const EstadoLeitura deNovo = leArquivoTexto(caminho, leitor);
        cod = CodificacaoArquivo{};
        cod.utf8Recusado = recusado && deNovo == EstadoLeitura::Lido;
        return deNovo;
    }
    if (estado == EstadoLeitura::ErroNoMeio) cod = CodificacaoArquivo{};
    leitor.termina();
    return estado;
}

bool podeAbrir(const fs::path& caminho) {
    Descritor d(abreParaLer(caminho));
    return d.fd() >= 0 && ehArquivoRegular(d.fd());
}

// ------------------------------------------------------------------------ writing

namespace {

constexpr std::string_view kExtensaoAntes = ".antes";
constexpr size_t kSorteioAntes = 6;  // the X of mkostemps

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

// The key of a file's copies kept by saves in place: its real path, so that a save through
// a link and the opening of the link find the same ones.
fs::path caminhoReal(const fs::path& p) {
    std::error_code ec;
    const fs::path absoluto = fs::absolute(p, ec);
    const fs::path real = fs::weakly_canonical(ec ? p : absoluto, ec);
    return ec ? p : real;
}

}  // namespace

std::string baseNoEstado(const fs::path& caminho) {
    if (caminho.empty()) return "sem-nome-" + std::to_string(::getpid());
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : caminho.native()) h = (h ^ c) * 1099511628211ull;
    static constexpr char kDigitos[] = "0123456789abcdef";
    std::string sufixo(8, '0');
    for (int i = 7; i >= 0; --i, h >>= 4) sufixo[static_cast<size_t>(i)] = kDigitos[h & 15];
    return caminho.filename().string().substr(0, 100) + "-" + sufixo;
}

std::vector<fs::path> copiasAntes(const fs::path& arquivo) {
    const std::string base = baseNoEstado(caminhoReal(arquivo)) + ".";
    std::vector<fs::path> copias;
    std::error_code ec;
    const fs::path estado = diretorioEstado();
    for (fs::directory_iterator it(estado, ec), fim; !ec && it != fim; it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (nome.size() == base.size() + kSorteioAntes + kExtensaoAntes.size() &&
            nome.starts_with(base) && nome.ends_with(kExtensaoAntes))
            copias.push_back(it->path());
    }
    return copias;
}

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
        modo_ = Modo::Dispositivo;
        return;
    }
    // A file that may not be written is not replaced behind its back.
    if (jaExiste && ::access(alvo.c_str(), W_OK) != 0) return;
    // A file with other names (hard links) or of another user keeps its identity: it is
    // written where it is. So is one whose folder cannot take a new file.
    const bool outroDono = jaExiste && info.st_uid != ::geteuid() && ::geteuid() != 0;
    if (!(jaExiste && (info.st_nlink > 1 || outroDono))) {
        ArquivoNovo novo(alvo.parent_path(), alvo.filename().native(), modoNovo);
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
    std::string modelo = (estado / (baseNoEstado(caminhoReal(alvo)) + "." +
                                    std::string(kSorteioAntes, 'X') + std::string(kExtensaoAntes)))
                             .string();
    const int fdCopia =
        ::mkostemps(modelo.data(), static_cast<int>(kExtensaoAntes.size()), O_CLOEXEC);
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

GravacaoSegura::GravacaoSegura(GravacaoSegura&& outra) noexcept
    : destino_(std::move(outra.destino_)),
      copiaAntes_(std::move(outra.copiaAntes_)),
      antes_(std::move(outra.antes_)),
      novo_(std::move(outra.novo_)),
      fd_(outra.fd_),
      modo_(outra.modo_),
      falhou_(outra.falhou_),
      escritos_(outra.escritos_),
      buffer_(std::move(outra.buffer_)) {
    outra.fd_ = -1;
    outra.novo_.reset();
    outra.copiaAntes_.clear();
}

GravacaoSegura::~GravacaoSegura() {
    descarta();
}

void GravacaoSegura::descarta() {
    if (modo_ == Modo::NoLugar && fd_ >= 0) {
        // Nothing written yet: the file is as it was and its copy is not needed.
        if (escritos_ > 0)
            restaura();
        else if (!copiaAntes_.empty())
            ::unlink(copiaAntes_.c_str());
        copiaAntes_.clear();
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    novo_.reset();  // the new file goes unnamed
}

// The file as it was, from the copy kept in memory; the copy in the state folder stays
// when even that fails.
void GravacaoSegura::restaura() {
    const bool ok = ::lseek(fd_, 0, SEEK_SET) == 0 && escreveTudo(fd_, antes_) &&
                    ::ftruncate(fd_, static_cast<off_t>(antes_.size())) == 0 && ::fsync(fd_) == 0;
    if (ok && !copiaAntes_.empty()) ::unlink(copiaAntes_.c_str());
    if (ok) copiaAntes_.clear();
    escritos_ = 0;
}

void GravacaoSegura::escreve(std::string_view bytes) {
    if (fd() < 0 || falhou_) return;
    buffer_.append(bytes);
    if (buffer_.size() >= kPedaco) esvazia();
}

bool GravacaoSegura::esvazia() {
    if (!falhou_ && !buffer_.empty()) {
        if (escreveTudo(fd(), buffer_))
            escritos_ += buffer_.size();
        else
            falhou_ = true;
    }
    buffer_.clear();
    return !falhou_;
}

bool GravacaoSegura::conclui() {
    if (fd() < 0) return false;
    esvazia();
    if (modo_ == Modo::NoLugar) return concluiNoLugar();
    if (modo_ == Modo::Dispositivo) {
        const bool fechou = ::close(fd_) == 0;
        fd_ = -1;
        return fechou && !falhou_;
    }
    if (falhou_ || !novo_->substitui(destino_)) {
        descarta();
        return false;
    }
    novo_.reset();
    esqueceCopiasAntes();
    return true;
}

bool GravacaoSegura::concluiNoLugar() {
    if (!falhou_ && (::ftruncate(fd_, static_cast<off_t>(escritos_)) != 0 || ::fsync(fd_) != 0))
        falhou_ = true;
    if (falhou_) {
        restaura();
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    const bool fechou = ::close(fd_) == 0;
    fd_ = -1;
    if (fechou) {
        ::unlink(copiaAntes_.c_str());
        copiaAntes_.clear();
        esqueceCopiasAntes();
    }
    return fechou;
}

// A good save: the copies that saves in place of this file left when they were killed
// half-way are older than it, and go.
void GravacaoSegura::esqueceCopiasAntes() {
    for (const fs::path& p : copiasAntes(destino_)) ::unlink(p.c_str());
}
