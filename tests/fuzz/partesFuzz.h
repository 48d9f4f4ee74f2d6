// Fuzz inputs that carry several files: the parts are separated by NUL bytes.
#pragma once

#include <string_view>

// The next part of `resto` (up to its next NUL), which is left holding what follows.
inline std::string_view proximaParte(std::string_view& resto) {
    const size_t fim = resto.find('\0');
    const std::string_view p = resto.substr(0, fim);
    resto = fim == std::string_view::npos ? std::string_view() : resto.substr(fim + 1);
    return p;
}
