#include "editor/edArqDisco.h"

#include <algorithm>
#include <optional>
#include <cerrno>
#include <system_error>
#include <utility>

#include "editor/edArqCodif.h"
#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kQuebraEmBranco = 160;  // past this a blank ends a long line
constexpr size_t kMaiorLinha = 180;      // a line longer than this is divided
constexpr size_t kPedaco = 1 << 20;      // bytes read at a time

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
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
    // The root as it stands ("/"; on Windows also a drive, "c:/", or a server's "//pc/"):
    // a drive and the next part make "c:/texto", never the drive-relative "c:texto".
    fs::path resultado = fs::path(s).root_path();
    size_t i = resultado.string().size();
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
    const std::string sistema = caminho.generic_string();
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
    // A line is divided only when a character comes past the longest line: one that just
    // fills it and then ends stays whole and is not reported as divided.
    if (atual_.size() >= kMaiorLinha && c != ' ') fecha(true);
    if (c == ' ' && atual_.size() > kQuebraEmBranco) {
        fecha(true);
        pulaBrancos_ = true;
        return;
    }
    temLinha_ = true;
    recemDividida_ = false;
    const int marca = indiceEstranho(static_cast<uint8_t>(c));
    atual_ += static_cast<uint8_t>(c) < 32 && !(marca >= 0 && marca < marcas_) ? '#' : c;
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
    // Only regular files: a folder cannot be read and a device could give data forever.
    const ArquivoLeitura arquivo(caminho);
    if (!arquivo.aberto())
        return arquivo.falha() == ArquivoLeitura::Falha::NaoExiste ? EstadoLeitura::NaoExiste
                                                                   : EstadoLeitura::Ilegivel;
    std::vector<uint8_t> pedaco(kPedaco);
    for (uint64_t lidos = 0;;) {
        const size_t n = arquivo.le(lidos, pedaco);
        if (arquivo.erroLeitura()) return EstadoLeitura::ErroNoMeio;
        if (n == 0) return EstadoLeitura::Lido;
        recebe(std::string_view(reinterpret_cast<const char*>(pedaco.data()), n));
        lidos += n;
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
    return ArquivoLeitura(caminho).aberto();
}

