#include "editor/edArqCodif.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

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

// The bytes of the character a byte begins (1 for one that begins none: the sequence then
// fails as it is).
size_t comprimentoUtf8(char c) {
    const uint8_t b = static_cast<uint8_t>(c);
    return b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 1;
}

// Whether no byte has its high bit set, looked at eight bytes at a time.
bool soAscii(std::string_view s) {
    uint64_t altos = 0;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        altos |= w;
    }
    for (; i < s.size(); ++i) altos |= static_cast<uint8_t>(s[i]);
    return (altos & 0x8080808080808080u) == 0;
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

Decodificador::Decodificador(CodificacaoArquivo& cod, size_t tamanho) : cod_(cod) {
    texto.reserve(tamanho);
}

bool Decodificador::ponto(char32_t u) {
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

namespace {

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

DecodificadorUtf8::DecodificadorUtf8(CodificacaoArquivo& cod) : cod_(cod), pontos_(cod, 0) {
    cod_ = CodificacaoArquivo{};
    cod_.utf8 = true;  // placeholders are handed out as characters come
}

void DecodificadorUtf8::alimenta(std::string_view bytes, const Recebe& recebe) {
    if (invalido_) {
        if (!divergiu_) recebe(bytes);
        return;
    }
    if (!inicio_) return continua(bytes, recebe);
    // The byte-order mark, which may come cut between pieces too.
    std::string juntos;
    if (!comeco_.empty()) bytes = juntos = std::exchange(comeco_, {}) + std::string(bytes);
    if (bytes.size() < kBom.size() && kBom.starts_with(bytes)) {
        comeco_ = bytes;
        return;
    }
    inicio_ = false;
    bom_ = bytes.starts_with(kBom);
    if (bom_) {
        divergiu_ = true;
        bytes.remove_prefix(kBom.size());
    }
    continua(bytes, recebe);
}

void DecodificadorUtf8::continua(std::string_view bytes, const Recebe& recebe) {
    if (bytes.empty()) return;
    if (!quebraVista_) {
        const size_t p = bytes.find_first_of("\r\n");
        quebraVista_ = p != std::string_view::npos;
        if (quebraVista_) quebraLf_ = bytes[p] == '\n';
    }
    temDados_ = true;
    ultimo_ = bytes.back();
    if (pendente_.empty() && cod_.estranhos.empty() && !demais_ && soAscii(bytes))
        return recebe(bytes);
    decodifica(bytes, recebe);
    esvazia(recebe);
}

void DecodificadorUtf8::decodifica(std::string_view bytes, const Recebe& recebe) {
    size_t pos = 0;
    if (!pendente_.empty()) {
        // The rest of the character cut at the end of the last piece.
        const size_t falta = std::min(comprimentoUtf8(pendente_[0]) - pendente_.size(), bytes.size());
        pendente_.append(bytes.substr(0, falta));
        pos = falta;
        if (pendente_.size() < comprimentoUtf8(pendente_[0])) return;
        size_t p = 0;
        const std::optional<char32_t> u = sequenciaEstrita(pendente_, p);
        if (!u) {
            const std::string cortado = std::move(pendente_);
            pendente_.clear();
            falha(cortado, recebe);
            return alimenta(bytes.substr(pos), recebe);
        }
        pendente_.clear();
        caractere(*u);
    }
    while (pos < bytes.size()) {
        // Printable ASCII is taken as a run.
        size_t fim = pos;
        while (fim < bytes.size() && static_cast<uint8_t>(bytes[fim] - 0x20) < 0x60) ++fim;
        if (fim > pos) {
            if (!demais_) pontos_.texto.append(bytes.substr(pos, fim - pos));
            pos = fim;
            continue;
        }
        const uint8_t c = static_cast<uint8_t>(bytes[pos]);
        if (c < 0x80) {
            if (!demais_) pontos_.ponto(c);
            ++pos;
            continue;
        }
        if (bytes.size() - pos < comprimentoUtf8(bytes[pos])) {
            pendente_.assign(bytes.substr(pos));  // the rest comes with the next piece
            return;
        }
        const std::optional<char32_t> u = sequenciaEstrita(bytes, pos);
        if (!u) return falha(bytes.substr(pos), recebe);
        caractere(*u);
    }
}

void DecodificadorUtf8::caractere(char32_t u) {
    divergiu_ = true;
    // Once there is no room, only whether the rest is UTF-8 still counts.
    if (!demais_ && !pontos_.ponto(u)) {
        demais_ = true;
        pontos_.texto.clear();
    }
}

// Not UTF-8 from `resto` on: while what went out is the bytes as they are, so does the rest.
void DecodificadorUtf8::falha(std::string_view resto, const Recebe& recebe) {
    invalido_ = true;
    esvazia(recebe);
    if (!divergiu_) recebe(resto);
}

void DecodificadorUtf8::esvazia(const Recebe& recebe) {
    if (!pontos_.texto.empty() && !demais_ && !(invalido_ && divergiu_)) recebe(pontos_.texto);
    pontos_.texto.clear();
}

DecodificadorUtf8::Fim DecodificadorUtf8::termina(const Recebe& recebe) {
    if (inicio_ && !comeco_.empty()) {
        inicio_ = false;  // the data is the beginning of a byte-order mark, no more
        continua(std::exchange(comeco_, {}), recebe);
    }
    if (!pendente_.empty() && !invalido_) {
        const std::string cortado = std::move(pendente_);  // a character cut at the end
        pendente_.clear();
        falha(cortado, recebe);
    }
    const bool recusado = demais_ && !invalido_;
    if (invalido_ || demais_ || !pontos_.naoAscii) {
        cod_ = CodificacaoArquivo{};
        cod_.utf8Recusado = recusado;
        return divergiu_ ? Fim::Reler : Fim::Bytes;
    }
    cod_.bom = bom_;
    cod_.quebraLf = quebraLf_;
    cod_.semQuebraNoFim = temDados_ && ultimo_ != '\n' && ultimo_ != '\r';
    return Fim::Utf8;
}

std::optional<std::string> decodificaUtf8(std::string_view bytes, CodificacaoArquivo& cod) {
    CodificacaoArquivo novo;
    DecodificadorUtf8 decodificador(novo);
    std::string texto;
    const auto junta = [&texto](std::string_view s) { texto.append(s); };
    decodificador.alimenta(bytes, junta);
    const DecodificadorUtf8::Fim fim = decodificador.termina(junta);
    if (novo.utf8Recusado) cod = novo;
    if (fim != DecodificadorUtf8::Fim::Utf8) return std::nullopt;
    cod = std::move(novo);
    return texto;
}

bool comecaUtf16(std::string_view bytes) {
    return bytes.starts_with(kBomUtf16Le) || bytes.starts_with(kBomUtf16Be);
}

std::optional<std::string> decodificaTexto(std::string_view bytes, CodificacaoArquivo& cod) {
    if (comecaUtf16(bytes)) return decodificaUtf16(bytes, cod);
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
