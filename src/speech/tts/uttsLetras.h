// Character classes of the text-to-speech engine (Windows-1252). The normaliser and the
// letter-to-phoneme stage each have their own: the normaliser's letters decide what a word
// is, the converter's vowels and consonants what its rules' contexts match.
#pragma once

#include <string_view>

namespace letrasTts {

inline bool em(std::string_view conjunto, unsigned char c) {
    return c != 0 && conjunto.find(static_cast<char>(c)) != std::string_view::npos;
}

// Words of the normaliser: A-Z, a-z and the accented letters of Portuguese (and Ñ).
inline bool letra(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           em("\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCC\xCD\xD1\xD3\xD4\xD5\xD9\xDA\xDC"
              "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xEC\xED\xF1\xF3\xF4\xF5\xF9\xFA\xFC",
              c);
}

// Consonants, both cases (Ç and Ñ among them).
inline bool consoante(unsigned char c) {
    return em("BCDFGHJKLMNPQRSTVWXYZ\xC7\xD1" "bcdfghjklmnpqrstvwxyz\xE7\xF1", c);
}

// Vowels of the rules, both cases.
inline bool vogal(unsigned char c) {
    return em("AEIOU\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"
              "aeiou\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC",
              c);
}

inline bool aOuO(unsigned char c) { return em("AO\xC1\xC2\xD3\xD4" "ao\xE1\xE2\xF3\xF4", c); }
inline bool frontal(unsigned char c) { return em("EI\xC9\xCD" "ei\xE9\xED", c); }
inline bool sonora(unsigned char c) { return em("LMNRZlmnrz", c); }

}  // namespace letrasTts
