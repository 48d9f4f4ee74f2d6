#include "platform/texto.h"

#include <cctype>
#include <string_view>

namespace {
bool branco(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool controle(char c) { return static_cast<unsigned char>(c) <= ' ' || c == 127; }
int minuscula(char c) { return std::tolower(static_cast<unsigned char>(c)); }
}  // namespace

std::string_view apara(std::string_view s) {
    while (!s.empty() && branco(s.front())) s.remove_prefix(1);
    while (!s.empty() && branco(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view aparaControles(std::string_view s) {
    while (!s.empty() && controle(s.front())) s.remove_prefix(1);
    while (!s.empty() && controle(s.back())) s.remove_suffix(1);
    return s;
}

bool comecaSemCaixa(std::string_view s, std::string_view prefixo) {
    if (s.size() < prefixo.size()) return false;
    for (size_t i = 0; i < prefixo.size(); ++i)
        if (minuscula(s[i]) != minuscula(prefixo[i])) return false;
    return true;
}

bool igualSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && comecaSemCaixa(a, b);
}

std::string maiusculasAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

namespace {
template <typename F>
std::string porCaractere(std::string_view texto, F f) {
    std::string s(texto);
    for (char& c : s) c = f(c);
    return s;
}
}  // namespace

char maiusculaLatin1(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
        return static_cast<char>(u - 32);
    return c;
}

char maiuscula1252(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0x9A: return '\x8A';  // š
        case 0x9C: return '\x8C';  // œ
        case 0x9E: return '\x8E';  // ž
        case 0xFF: return '\x9F';  // ÿ
        default: return maiusculaLatin1(c);
    }
}

char minuscula1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
        return static_cast<char>(u + 32);
    switch (u) {
        case 0x8A: return '\x9A';
        case 0x8C: return '\x9C';
        case 0x8E: return '\x9E';
        case 0x9F: return '\xFF';
        default: return c;
    }
}

std::string maiusculas1252(std::string_view s) { return porCaractere(s, maiuscula1252); }
std::string minusculas1252(std::string_view s) { return porCaractere(s, minuscula1252); }
std::string maiusculasLatin1(std::string_view s) { return porCaractere(s, maiusculaLatin1); }

bool letra1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) return true;
    if (u >= 0xC0) return u != 0xD7 && u != 0xF7;
    switch (u) {
        case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E:
        case 0x9F: case 0xAA: case 0xB5: case 0xBA:
            return true;
        default:
            return false;
    }
}

bool vogal1252(char c) {
    // The accented lower-case vowels, æ and ø among them.
    static constexpr std::string_view kVogaisAcentuadas =
        "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
        "\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC";
    const char m = minuscula1252(c);
    if (std::string_view("aeiou\x9C\xAA\xBA").find(m) != std::string_view::npos) return true;
    return kVogaisAcentuadas.find(m) != std::string_view::npos;
}
