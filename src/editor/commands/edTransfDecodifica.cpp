#include "editor/commands/edTransfDecodifica.h"

#include <algorithm>
#include <cstdint>

#include "platform/codigos.h"
#include "platform/texto.h"

namespace {

int valorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Latin Extended-A (U+0100..U+017F) without the accents.
constexpr std::string_view kLatinoEstendido =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRr"
    "SsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

// Letters with an accent written apart (a combining mark after the letter): base letter,
// mark (offset from U+0300) and the Windows-1252 letter they make.
struct Composta {
    char base;
    uint8_t marca;
    uint8_t letra;
};
constexpr Composta kCompostas[] = {
    {'A', 0, 0xC0}, {'A', 1, 0xC1}, {'A', 2, 0xC2}, {'A', 3, 0xC3}, {'A', 8, 0xC4},
    {'a', 0, 0xE0}, {'a', 1, 0xE1}, {'a', 2, 0xE2}, {'a', 3, 0xE3}, {'a', 8, 0xE4},
    {'E', 0, 0xC8}, {'E', 1, 0xC9}, {'E', 2, 0xCA}, {'E', 8, 0xCB}, {'e', 0, 0xE8},
    {'e', 1, 0xE9}, {'e', 2, 0xEA}, {'e', 8, 0xEB}, {'I', 0, 0xCC}, {'I', 1, 0xCD},
    {'I', 2, 0xCE}, {'I', 8, 0xCF}, {'i', 0, 0xEC}, {'i', 1, 0xED}, {'i', 2, 0xEE},
    {'i', 8, 0xEF}, {'O', 0, 0xD2}, {'O', 1, 0xD3}, {'O', 2, 0xD4}, {'O', 3, 0xD5},
    {'O', 8, 0xD6}, {'o', 0, 0xF2}, {'o', 1, 0xF3}, {'o', 2, 0xF4}, {'o', 3, 0xF5},
    {'o', 8, 0xF6}, {'U', 0, 0xD9}, {'U', 1, 0xDA}, {'U', 2, 0xDB}, {'U', 8, 0xDC},
    {'u', 0, 0xF9}, {'u', 1, 0xFA}, {'u', 2, 0xFB}, {'u', 8, 0xFC}, {'C', 0x27, 0xC7},
    {'c', 0x27, 0xE7}, {'N', 3, 0xD1}, {'n', 3, 0xF1}, {'Y', 1, 0xDD}, {'y', 1, 0xFD},
    {'y', 8, 0xFF},
};

// The nearest Windows-1252 text of a code point above 255 that the code page lacks:
// empty for the invisible ones.
std::string_view aproximacao(char32_t u) {
    if (u >= 0x100 && u <= 0x17F) return kLatinoEstendido.substr(u - 0x100, 1);
    switch (u) {
        case 0x218: return "S";
        case 0x219: return "s";
        case 0x21A: return "T";
        case 0x21B: return "t";
        case 0x2010: case 0x2011: case 0x2012: case 0x2015: case 0x2212: return "-";
        case 0x201B: case 0x2032: return "'";
        case 0x201F: case 0x2033: return "\"";
        case 0x202F: case 0x205F: case 0x3000: return " ";
        case 0x200B: case 0x200C: case 0x200D: case 0x2060: case 0xFEFF: return "";
        default: break;
    }
    if (u >= 0x2000 && u <= 0x200A) return " ";
    return "?";
}

// A combining accent after a letter: the letter with the accent when Windows-1252 has
// it; otherwise the mark is dropped and the letter stays as it is.
void combina(std::string& saida, char32_t marca) {
    if (saida.empty()) return;
    for (const Composta& c : kCompostas)
        if (saida.back() == c.base && marca - 0x300 == c.marca) {
            saida.back() = static_cast<char>(c.letra);
            return;
        }
}

void acrescentaCodigo(std::string& saida, char32_t u) {
    if (u <= 0xFF) {
        saida += static_cast<char>(u);
    } else if (u >= 0x300 && u <= 0x36F) {
        combina(saida, u);
    } else if (const uint8_t c = unicodeParaWin1252(u); c != '?') {
        saida += static_cast<char>(c);
    } else {
        saida += aproximacao(u);
    }
}

// ISO-8859-15 differs from Latin-1 in eight places.
std::string deLatin9(std::string_view texto) {
    std::string s;
    for (char c : texto) {
        char32_t u = static_cast<uint8_t>(c);
        switch (u) {
            case 0xA4: u = 0x20AC; break;
            case 0xA6: u = 0x160; break;
            case 0xA8: u = 0x161; break;
            case 0xB4: u = 0x17D; break;
            case 0xB8: u = 0x17E; break;
            case 0xBC: u = 0x152; break;
            case 0xBD: u = 0x153; break;
            case 0xBE: u = 0x178; break;
            default: break;
        }
        acrescentaCodigo(s, u);
    }
    return s;
}

// The decoded bytes of an encoded word in Windows-1252, by its charset (a language after
// "*" ignored); charsets this program does not know keep their bytes.
std::string paraWin1252(std::string_view bytes, std::string_view charset) {
    charset = charset.substr(0, charset.find('*'));
    if (igualSemCaixa(charset, "utf-8") || igualSemCaixa(charset, "utf8"))
        return decodificaUtf8(bytes);
    if (igualSemCaixa(charset, "iso-8859-15") || igualSemCaixa(charset, "latin9"))
        return deLatin9(bytes);
    return std::string(bytes);
}

// One encoded word, from just after its "=?": the decoded text and where the word ends
// (after its "?="); npos when it has no "?=" at all, 0 when what follows "=?" is not an
// encoded word.
size_t decodificaPalavra(std::string_view resto, std::string& saida) {
    const size_t q1 = resto.find('?');
    if (q1 == std::string_view::npos) return resto.find("?=") == std::string_view::npos ? std::string_view::npos : 0;
    const std::string_view charset = resto.substr(0, q1);
    if (q1 + 2 >= resto.size() || resto[q1 + 2] != '?') return 0;
    const char codificacao = resto[q1 + 1];
    const size_t inicio = q1 + 3;
    const size_t fim = resto.find("?=", inicio);
    if (fim == std::string_view::npos) return std::string_view::npos;
    const std::string_view dados = resto.substr(inicio, fim - inicio);
    std::string bytes;
    if (codificacao == 'B' || codificacao == 'b') {
        bytes = decodificaBase64(dados);
    } else {
        // "_" is a blank, "=5F" an underscore: the blanks first, then the hexadecimal codes.
        std::string q(dados);
        for (char& c : q)
            if (c == '_') c = ' ';
        bytes = decodificaQuotedPrintable(q);
    }
    saida += paraWin1252(bytes, charset);
    return fim + 2;
}

}  // namespace

std::string decodificaQuotedPrintable(std::string_view linha) {
    if (!linha.empty() && linha.back() == '=') linha.remove_suffix(1);
    std::string s;
    s.reserve(linha.size());
    for (size_t i = 0; i < linha.size(); ++i) {
        if (linha[i] == '=' && i + 2 < linha.size()) {
            const int a = valorHex(linha[i + 1]), b = valorHex(linha[i + 2]);
            if (a >= 0 && b >= 0) {
                s += static_cast<char>(a * 16 + b);
                i += 2;
                continue;
            }
        }
        s += linha[i];
    }
    return s;
}

std::string decodificaUtf8(std::string_view linha) {
    std::string s;
    s.reserve(linha.size());
    size_t pos = 0;
    while (pos < linha.size()) {
        bool valido = true;
        const char32_t u = proximoUtf8(linha, pos, &valido);
        if (valido)
            acrescentaCodigo(s, u);
        else
            s += static_cast<char>(u);
    }
    return s;
}

std::string limpaArquivoLista(std::string_view linha) {
    std::string s(linha);
    // From the fourth byte from the end back to the first.
    for (size_t i = s.size() >= 4 ? s.size() - 3 : 0; i-- > 0;)
        if (i + 2 < s.size() && static_cast<uint8_t>(s[i]) == 128 &&
            static_cast<uint8_t>(s[i + 1]) == 160)
            s.erase(i, 3);
    return s;
}

std::string decodificaBase64(std::string_view texto) {
    std::string s;
    uint32_t acumulado = 0;
    int bits = 0;
    for (char c : texto) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else if (c == '=') break;
        else continue;
        acumulado = (acumulado << 6) | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            s += static_cast<char>((acumulado >> bits) & 0xFF);
        }
    }
    return s;
}

std::string decodificaPalavrasCodificadas(std::string_view linha) {
    if (linha.find("=?") == std::string_view::npos) return std::string(linha);
    std::string s;
    size_t pos = 0;
    while (pos < linha.size()) {
        const size_t abre = linha.find("=?", pos);
        if (abre == std::string_view::npos) {
            s += linha.substr(pos);
            break;
        }
        s += linha.substr(pos, abre - pos);
        const size_t fim = decodificaPalavra(linha.substr(abre + 2), s);
        if (fim == std::string_view::npos) {
            s += linha.substr(abre);  // no "?=" follows: the rest as it is
            break;
        }
        if (fim == 0) {
            s += "=?";  // not an encoded word: kept, and the search goes on after it
            pos = abre + 2;
        } else {
            pos = abre + 2 + fim;
        }
    }
    return std::string(s.substr(std::min(s.find_first_not_of(' '), s.size())));
}

namespace {

// Quoted-printable before the encoded words: a line that ends with an encoded word ends
// in its "?=", and that "=" is no soft line break.
std::string quotedPrintableDoCabecalho(std::string_view linha) {
    const size_t abre = linha.find("=?");
    if (linha.ends_with("?=") && abre != std::string_view::npos && abre + 2 < linha.size() - 2)
        return decodificaQuotedPrintable(std::string(linha) + "=");
    return decodificaQuotedPrintable(linha);
}

}  // namespace

std::string decodificaLinha(std::string_view linha, char letra) {
    switch (letra) {
        case 'Q': return decodificaPalavrasCodificadas(quotedPrintableDoCabecalho(linha));
        case 'U': return decodificaUtf8(linha);
        case 'G': return limpaArquivoLista(linha);
        case 'T':
            return decodificaPalavrasCodificadas(
                limpaArquivoLista(quotedPrintableDoCabecalho(linha)));
        default: return std::string(linha);
    }
}
