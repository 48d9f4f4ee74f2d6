// The C runtime's multibyte conversions in UTF-8. The manifest makes UTF-8 the program's
// ANSI code page, so file names, arguments and the environment reach it in UTF-8 as on
// Linux; but MinGW's msvcrt keeps its "C" locale at one byte a character, and the C++
// library converts every narrow path through these functions. Defined here, they take the
// place of the runtime's own in every program of the family, so a path made from a UTF-8
// string names the same file as on Linux, whatever its characters.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cwchar>

extern "C" {

// Referenced from the link options, so that this object is always linked in.
int plumarRuntimeUtf8 = 0;

namespace {

// The state between two calls: a low surrogate still to be handed out (a character outside
// the 16-bit plane is two wchar_t), or up to three bytes of a sequence cut by the end of
// the input.
constexpr uint32_t kSurrogatePendente = 1u << 31;

uint32_t& estado(mbstate_t* ps) {
    static_assert(sizeof(mbstate_t) == sizeof(uint32_t));
    return *reinterpret_cast<uint32_t*>(ps);
}

size_t comprimentoSequencia(unsigned char c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

// The code point of a whole sequence; -1 when it is not valid UTF-8.
long decodifica(const unsigned char* b, size_t n) {
    if (n == 1) return b[0];
    long cp = b[0] & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
        if ((b[i] & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b[i] & 0x3F);
    }
    static constexpr long kMenor[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMenor[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    return cp;
}

int maiorSequencia() { return 4; }

}  // namespace

// MB_CUR_MAX, as the C++ library reads it when it sizes its buffers.
int (*__imp____mb_cur_max_func)() = maiorSequencia;

size_t mbrtowc(wchar_t* pwc, const char* s, size_t n, mbstate_t* ps) {
    static mbstate_t proprio = 0;
    if (!ps) ps = &proprio;
    uint32_t& st = estado(ps);
    if (!s) {
        st = 0;
        return 0;
    }
    if (st & kSurrogatePendente) {
        // The low half of a character whose high half went out with its first three bytes.
        if (n == 0) return static_cast<size_t>(-2);
        if (pwc) *pwc = static_cast<wchar_t>(st & 0xFFFF);
        st = 0;
        return 1;
    }
    unsigned char seq[4];
    const size_t guardados = (st >> 24) & 3;
    for (size_t i = 0; i < guardados; ++i) seq[i] = static_cast<unsigned char>(st >> (8 * i));
    if (n == 0) return static_cast<size_t>(-2);
    const size_t total = comprimentoSequencia(guardados ? seq[0] : static_cast<unsigned char>(s[0]));
    if (total == 0) {
        st = 0;
        errno = EILSEQ;
        return static_cast<size_t>(-1);
    }
    size_t usados = 0;
    size_t k = guardados;
    while (k < total && usados < n) seq[k++] = static_cast<unsigned char>(s[usados++]);
    if (k < total) {
        uint32_t novo = static_cast<uint32_t>(k) << 24;
        for (size_t i = 0; i < k; ++i) novo |= static_cast<uint32_t>(seq[i]) << (8 * i);
        st = novo;
        return static_cast<size_t>(-2);
    }
    const long cp = decodifica(seq, total);
    st = 0;
    if (cp < 0) {
        errno = EILSEQ;
        return static_cast<size_t>(-1);
    }
    if (cp >= 0x10000) {
        // The high surrogate now, for all but the last byte; the low one with that byte.
        // (A sequence whose last two bytes did not come in this call cannot be split so.)
        if (usados < 2) {
            errno = EILSEQ;
            return static_cast<size_t>(-1);
        }
        const long v = cp - 0x10000;
        if (pwc) *pwc = static_cast<wchar_t>(0xD800 + (v >> 10));
        st = kSurrogatePendente | static_cast<uint32_t>(0xDC00 + (v & 0x3FF));
        return usados - 1;
    }
    if (pwc) *pwc = static_cast<wchar_t>(cp);
    return cp == 0 ? 0 : usados;
}

size_t mbrlen(const char* s, size_t n, mbstate_t* ps) {
    static mbstate_t proprio = 0;
    return mbrtowc(nullptr, s, n, ps ? ps : &proprio);
}

size_t mbsrtowcs(wchar_t* dst, const char** src, size_t len, mbstate_t* ps) {
    static mbstate_t proprio = 0;
    if (!ps) ps = &proprio;
    size_t escritos = 0;
    const char* s = *src;
    while (!dst || escritos < len) {
        wchar_t c;
        const size_t r = mbrtowc(&c, s, 4, ps);
        if (r == static_cast<size_t>(-1) || r == static_cast<size_t>(-2)) {
            errno = EILSEQ;
            return static_cast<size_t>(-1);
        }
        if (dst) dst[escritos] = c;
        if (c == L'\0') {
            if (dst) *src = nullptr;
            return escritos;
        }
        ++escritos;
        s += r;
    }
    *src = s;
    return escritos;
}

size_t wcrtomb(char* s, wchar_t wc, mbstate_t* ps) {
    static mbstate_t proprio = 0;
    if (!ps) ps = &proprio;
    uint32_t& st = estado(ps);
    char nulo[4];
    if (!s) {
        s = nulo;
        wc = L'\0';
    }
    uint32_t cp = static_cast<uint16_t>(wc);
    if (st & kSurrogatePendente) {
        const uint32_t alto = st & 0xFFFF;
        st = 0;
        if (cp < 0xDC00 || cp > 0xDFFF) {
            errno = EILSEQ;
            return static_cast<size_t>(-1);
        }
        cp = 0x10000 + ((alto - 0xD800) << 10) + (cp - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDBFF) {
        // The high half of a pair: nothing to write until the low half comes.
        st = kSurrogatePendente | cp;
        return 0;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
        errno = EILSEQ;
        return static_cast<size_t>(-1);
    }
    if (cp < 0x80) {
        s[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        s[0] = static_cast<char>(0xC0 | (cp >> 6));
        s[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        s[0] = static_cast<char>(0xE0 | (cp >> 12));
        s[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    s[0] = static_cast<char>(0xF0 | (cp >> 18));
    s[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

size_t wcsrtombs(char* dst, const wchar_t** src, size_t len, mbstate_t* ps) {
    static mbstate_t proprio = 0;
    if (!ps) ps = &proprio;
    size_t escritos = 0;
    const wchar_t* w = *src;
    for (;; ++w) {
        char b[4];
        const size_t r = wcrtomb(b, *w, ps);
        if (r == static_cast<size_t>(-1)) return r;
        if (dst && escritos + r > len) break;
        if (dst)
            for (size_t i = 0; i < r; ++i) dst[escritos + i] = b[i];
        if (*w == L'\0') {
            if (dst) *src = nullptr;
            return escritos;
        }
        escritos += r;
    }
    *src = w;
    return escritos;
}

}  // extern "C"
