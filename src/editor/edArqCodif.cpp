#include "editor/edArqCodif.h"

#include <algorithm>
#include <array>

#include "platform/codigos.h"

namespace {

// Control codes a loaded line never holds (they become '#'); TAB, LF and CR left out, and
// BEL and BS, which the console takes as commands.
constexpr std::array<uint8_t, 26> kMarcas = {1,  2,  3,  4,  5,  6,  11, 12, 14,
                                             15, 16, 17, 18, 19, 20, 21, 22, 23,
                                             24, 25, 26, 27, 28, 29, 30, 31};

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

// A control code a text line has no place for: it would read as a placeholder.
bool controleSemLugar(char32_t u) {
    return u < 0x20 && u != '\t' && u != '\r' && u != '\n';
}

// One strict UTF-8 sequence at `pos`: no overlong forms, no surrogates, nothing past
// U+10FFFF. Gives the code point and advances, or nothing.
std::optional<char32_t> sequenciaEstrita(std::string_view t, size_t& pos) {
    const auto b = [&](size_t i) { return static_cast<uint8_t>(t[i]); };
    const uint8_t c = b(pos);
    if (c < 0x80) return t[pos++];
    int extra;
    uint8_t menor = 0x80, maior = 0xBF;  // the bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        if (c == 0xE0) menor = 0xA0;  // overlong
        if (c == 0xED) maior = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        if (c == 0xF0) menor = 0x90;  // overlong
        if (c == 0xF4) maior = 0x8F;  // past U+10FFFF
    } else {
        return std::nullopt;
    }
    if (t.size() - pos <= static_cast<size_t>(extra)) return std::nullopt;
    if (b(pos + 1) < menor || b(pos + 1) > maior) return std::nullopt;
    char32_t u = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const uint8_t k = b(pos + i);
        if ((k & 0xC0) != 0x80) return std::nullopt;
        u = (u << 6) | (k & 0x3F);
    }
    pos += extra + 1;
    return u;
}

// The first line end: LF alone, or CR (LF). A file with none gets LF, as new UTF-8 files do.
bool primeiraQuebraLf(std::string_view t) {
    const size_t p = t.find_first_of("\r\n");
    return p == std::string_view::npos || t[p] == '\n';
}

}  // namespace

uint8_t marcaEstranho(size_t i) { return kMarcas[i]; }

int indiceEstranho(uint8_t c) {
    const auto it = std::find(kMarcas.begin(), kMarcas.end(), c);
    return it == kMarcas.end() ? -1 : static_cast<int>(it - kMarcas.begin());
}

bool ehMarca(const CodificacaoArquivo& cod, uint8_t c) {
    const int i = indiceEstranho(c);
    return i >= 0 && static_cast<size_t>(i) < cod.estranhos.size();
}

std::string textoFalado(const CodificacaoArquivo& cod, std::string_view texto) {
    std::string s;
    s.reserve(texto.size());
    for (size_t i = 0; i < texto.size();) {
        size_t fim = i;
        while (fim < texto.size() && ehMarca(cod, static_cast<uint8_t>(texto[fim]))) ++fim;
        if (fim == i) {
            s += texto[i++];
            continue;
        }
        // A run of them (a word of another alphabet) is said once, with how many.
        if (!s.empty() && s.back() != ' ') s += ' ';
        s += fim - i == 1 ? std::string(kFalaEstranho)
                          : std::to_string(fim - i) + " " + std::string(kFalaEstranhos);
        s += ' ';
        i = fim;
    }
    return s;
}

namespace {

// Code points into the editor's text: the byte of a character Windows-1252 has, else its
// placeholder (a new one while there is room); a control code of the file (NUL included)
// is no placeholder: the reading rules make it '#', and so does this.
class Decodificador {
  public:
    Decodificador(CodificacaoArquivo& cod, size_t tamanho) : cod_(cod) { texto.reserve(tamanho); }
    // False when the character needs a placeholder and none is left.
    bool ponto(char32_t u) {
        if (u < 0x80) {
            texto += controleSemLugar(u) ? '#' : static_cast<char>(u);
            return true;
        }
        naoAscii = true;
        Lembrado& l = lembrados_[u % lembrados_.size()];
        if (l.u != u) {
            // Its Windows-1252 byte, or its placeholder while there are some left.
            const std::optional<uint8_t> c = cod_.byteDe(u);
            if (!c) return false;
            l = {u, static_cast<char>(*c)};
        }
        texto += l.c;
        return true;
    }

    std::string texto;
    bool naoAscii = false;

  private:
    // The bytes of the last characters met, by code point: a text repeats few of them.
    struct Lembrado {
        char32_t u = 0;
        char c = 0;
    };
    CodificacaoArquivo& cod_;
    std::array<Lembrado, 64> lembrados_{};
};

// UTF-16 after its byte-order mark: whole code units, surrogates in pairs. A lone
// surrogate is kept as the character it stands for, so it is written back as it was.
std::optional<std::string> decodificaUtf16(std::string_view bytes, CodificacaoArquivo& cod) {
    CodificacaoArquivo novo;
    novo.utf8 = novo.utf16 = novo.bom = true;
    novo.bigEndian = bytes.starts_with(kBomUtf16Be);
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) {
        cod = CodificacaoArquivo{};
        cod.utf16Recusado = true;
        return std::nullopt;
    }
    auto unidade = [&](size_t i) -> char32_t {
        const auto b = [&](size_t k) {
            return static_cast<char32_t>(static_cast<uint8_t>(bytes[k]));
        };
        return novo.bigEndian ? (b(i) << 8) | b(i + 1) : (b(i + 1) << 8) | b(i);
    };
    const size_t unidades = bytes.size() / 2;
    const auto quebra = [&](size_t i) {
        return i < unidades && (unidade(2 * i) == '\r' || unidade(2 * i) == '\n');
    };
    size_t primeira = 0;
    while (primeira < unidades && !quebra(primeira)) ++primeira;
    novo.quebraLf = primeira == unidades || unidade(2 * primeira) == '\n';
    novo.semQuebraNoFim = unidades > 0 && !quebra(unidades - 1);
    Decodificador d(novo, unidades);
    for (size_t i = 0; i < unidades; ++i) {
        char32_t u = unidade(2 * i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < unidades) {
            const char32_t baixa = unidade(2 * (i + 1));
            if (baixa >= 0xDC00 && baixa < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (baixa - 0xDC00);
                ++i;
            }
        }
        if (!d.ponto(u)) {
            cod = CodificacaoArquivo{};
            cod.utf16Recusado = true;
            return std::nullopt;
        }
    }
    cod = std::move(novo);
    return std::move(d.texto);
}

}  // namespace

std::optional<std::string> decodificaUtf8(std::string_view bytes, CodificacaoArquivo& cod) {
    CodificacaoArquivo novo;
    novo.utf8 = true;
    novo.bom = bytes.starts_with(kBom);
    if (novo.bom) bytes.remove_prefix(kBom.size());
    novo.quebraLf = primeiraQuebraLf(bytes);
    novo.semQuebraNoFim = !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r';
    Decodificador d(novo, bytes.size());
    bool demais = false;
    for (size_t pos = 0; pos < bytes.size();) {
        // Printable ASCII is taken as a run.
        size_t fim = pos;
        while (fim < bytes.size() && static_cast<uint8_t>(bytes[fim] - 0x20) < 0x60) ++fim;
        if (fim > pos) {
            if (!demais) d.texto.append(bytes.substr(pos, fim - pos));
            pos = fim;
            continue;
        }
        const std::optional<char32_t> u = sequenciaEstrita(bytes, pos);
        if (!u) return std::nullopt;
        // Once there is no room, only whether the rest is UTF-8 still counts.
        demais = demais || !d.ponto(*u);
    }
    if (demais) {
        cod = CodificacaoArquivo{};
        cod.utf8Recusado = true;
        return std::nullopt;
    }
    if (!d.naoAscii) return std::nullopt;
    cod = std::move(novo);
    return std::move(d.texto);
}

std::optional<std::string> decodificaTexto(std::string_view bytes, CodificacaoArquivo& cod) {
    if (bytes.starts_with(kBomUtf16Le) || bytes.starts_with(kBomUtf16Be))
        return decodificaUtf16(bytes, cod);
    return decodificaUtf8(bytes, cod);
}

CodificacaoArquivo codificacaoDoArquivo(std::string_view bytes) {
    CodificacaoArquivo cod;
    if (decodificaTexto(bytes, cod)) return cod;
    // Not decoded: still UTF-8 or UTF-16 when it is one, with its own line ends.
    const bool utf16 = cod.utf16Recusado;
    cod.utf8 = cod.utf8Recusado || utf16;
    cod.utf16 = utf16;
    cod.bigEndian = utf16 && bytes.starts_with(kBomUtf16Be);
    cod.utf8Recusado = cod.utf16Recusado = false;
    const size_t fim = bytes.find_first_of("\r\n");
    // Without a line end: LF in a UTF file, as new ones get, else the editor's CR LF.
    cod.quebraLf = fim == std::string_view::npos ? cod.utf8 : bytes[fim] == '\n';
    // The last character: the last byte, or in UTF-16 the low byte of the last unit.
    const size_t ultimo = utf16 && !cod.bigEndian ? bytes.size() - 2 : bytes.size() - 1;
    const size_t minimo = utf16 ? 3 : 0;
    cod.semQuebraNoFim = bytes.size() > minimo && bytes[ultimo] != '\n' && bytes[ultimo] != '\r';
    return cod;
}

std::string CodificacaoArquivo::codificaLinha(std::string_view l) const {
    if (!utf8) return std::string(l);
    std::string s;
    s.reserve(utf16 ? 2 * l.size() : l.size() + l.size() / 4);
    const auto unidade = [&](char32_t u) {
        s += static_cast<char>(bigEndian ? u >> 8 : u & 0xFF);
        s += static_cast<char>(bigEndian ? u & 0xFF : u >> 8);
    };
    for (char c : l) {
        const uint8_t b = static_cast<uint8_t>(c);
        const char32_t u = ehMarca(*this, b) ? estranhos[static_cast<size_t>(indiceEstranho(b))]
                                             : win1252ParaUnicode(b);
        if (!utf16) {
            acrescentaUtf8(s, u);
        } else if (u >= 0x10000) {
            unidade(0xD800 + ((u - 0x10000) >> 10));
            unidade(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            unidade(u);
        }
    }
    return s;
}

std::string_view CodificacaoArquivo::quebra() const {
    using namespace std::string_view_literals;
    if (!utf16) return quebraLf ? "\n"sv : "\r\n"sv;
    if (bigEndian) return quebraLf ? "\0\n"sv : "\0\r\0\n"sv;
    return quebraLf ? "\n\0"sv : "\r\0\n\0"sv;
}

std::string_view CodificacaoArquivo::marcaInicio() const {
    if (!utf8 || !bom) return {};
    if (utf16) return bigEndian ? kBomUtf16Be : kBomUtf16Le;
    return kBom;
}

std::string CodificacaoArquivo::adota(const CodificacaoArquivo& origem, std::string_view l) {
    std::string s(l);
    for (char& c : s) {
        if (!ehMarca(origem, static_cast<uint8_t>(c))) continue;
        const char32_t u = origem.estranhos[static_cast<size_t>(indiceEstranho(static_cast<uint8_t>(c)))];
        c = static_cast<char>(byteDe(u).value_or('?'));
    }
    return s;
}

std::optional<uint8_t> CodificacaoArquivo::byteDe(char32_t u) {
    if (temWin1252(u)) return unicodeParaWin1252(u);
    auto it = std::find(estranhos.begin(), estranhos.end(), u);
    if (it == estranhos.end()) {
        if (!utf8 || estranhos.size() >= kMarcas.size()) return std::nullopt;
        estranhos.push_back(u);
        it = estranhos.end() - 1;
    }
    return marcaEstranho(static_cast<size_t>(it - estranhos.begin()));
}

std::string CodificacaoArquivo::textoDigitado(std::string_view utf8, size_t& recusados) {
    std::string s;
    s.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        bool valido = true;
        const char32_t u = proximoUtf8(utf8, pos, &valido);
        if (!valido)
            s += static_cast<char>(u);
        else if (controleSemLugar(u))
            s += '#';
        else if (const std::optional<uint8_t> b = byteDe(u))
            s += static_cast<char>(*b);
        else
            ++recusados;
    }
    return s;
}

std::string semControles(std::string_view texto) {
    std::string s(texto);
    for (char& c : s)
        if (controleSemLugar(static_cast<uint8_t>(c))) c = '#';
    return s;
}
