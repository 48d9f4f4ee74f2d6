#include "platform/codigos.h"

#include <array>

namespace {

// 0x80..0x9F; the five undefined bytes map to the C1 control of the same number.
constexpr std::array<char16_t, 32> kAltos1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::array<uint8_t, 128> kOem850 = {
    199, 252, 233, 226, 228, 224, 229, 231, 234, 235, 232, 239, 238, 236, 196, 197,
    201, 230, 198, 244, 246, 242, 251, 249, 255, 214, 220, 248, 163, 216, 215, 131,
    225, 237, 243, 250, 241, 209, 170, 186, 191, 174, 172, 189, 188, 161, 171, 187,
    35, 35, 35, 124, 43, 193, 194, 192, 169, 43, 124, 43, 43, 162, 165, 43,
    43, 43, 43, 43, 45, 43, 227, 195, 43, 43, 43, 43, 43, 45, 43, 164,
    240, 208, 202, 203, 200, 63, 205, 206, 207, 43, 43, 35, 35, 166, 204, 35,
    211, 223, 212, 210, 245, 213, 181, 254, 222, 218, 219, 217, 253, 221, 175, 180,
    173, 177, 63, 190, 182, 167, 247, 184, 176, 168, 183, 185, 179, 178, 63, 160,
};

}  // namespace

char32_t win1252ParaUnicode(uint8_t c) {
    if (c >= 0x80 && c < 0xA0) return kAltos1252[c - 0x80];
    return c;
}

uint8_t unicodeParaWin1252(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<uint8_t>(u);
    for (size_t i = 0; i < kAltos1252.size(); ++i)
        if (kAltos1252[i] == u) return static_cast<uint8_t>(0x80 + i);
    return '?';
}

bool temWin1252(char32_t u) {
    return u == '?' || unicodeParaWin1252(u) != '?';
}

void acrescentaUtf8(std::string& s, char32_t u) {
    if (u < 0x80) {
        s += static_cast<char>(u);
    } else if (u < 0x800) {
        s += static_cast<char>(0xC0 | (u >> 6));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        s += static_cast<char>(0xE0 | (u >> 12));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (u >> 18));
        s += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (u & 0x3F));
    }
}

std::string win1252ParaUtf8(std::string_view texto) {
    std::string s;
    s.reserve(texto.size() + texto.size() / 4);
    for (char c : texto) acrescentaUtf8(s, win1252ParaUnicode(static_cast<uint8_t>(c)));
    return s;
}

char32_t proximoUtf8(std::string_view t, size_t& pos, bool* valido) {
    const uint8_t c = static_cast<uint8_t>(t[pos]);
    const int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
    auto invalido = [&]() -> char32_t {
        if (valido) *valido = c < 0x80;
        ++pos;
        return c;
    };
    if (extra == 0 || pos + extra >= t.size()) return invalido();
    char32_t u = c & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const uint8_t k = static_cast<uint8_t>(t[pos + i]);
        if ((k & 0xC0) != 0x80) return invalido();
        u = (u << 6) | (k & 0x3F);
    }
    if (valido) *valido = true;
    pos += extra + 1;
    return u;
}

std::string utf8ParaWin1252(std::string_view texto) {
    std::string s;
    s.reserve(texto.size());
    size_t pos = 0;
    while (pos < texto.size()) {
        bool valido = true;
        char32_t u = proximoUtf8(texto, pos, &valido);
        s += static_cast<char>(valido ? unicodeParaWin1252(u) : static_cast<uint8_t>(u));
    }
    return s;
}

uint8_t oemParaWin1252(uint8_t c) { return c < 0x80 ? c : kOem850[c - 0x80]; }

std::string oemParaWin1252(std::string_view texto) {
    std::string s(texto);
    for (char& c : s) c = static_cast<char>(oemParaWin1252(static_cast<uint8_t>(c)));
    return s;
}

std::string quebrasCrLf(std::string_view texto) {
    std::string s;
    s.reserve(texto.size());
    for (size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\n' && (i == 0 || texto[i - 1] != '\r')) s += '\r';
        s += texto[i];
    }
    return s;
}

std::string quebrasLf(std::string_view texto) {
    std::string s;
    s.reserve(texto.size());
    for (size_t i = 0; i < texto.size(); ++i)
        if (!(texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n')) s += texto[i];
    return s;
}
