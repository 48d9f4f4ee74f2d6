// Where the stress of a Portuguese word falls, from its spelling alone.
#pragma once

#include <string_view>

// Words said without stress: shorter than 3 letters, and a few short function words.
// `palavra` is upper case.
bool palavraAtona(std::string_view palavra);

// The stressed letter's position (from 1) in the word, or 0 for none: the rightmost
// accented vowel, else a scan from the word's end that knows the endings of Portuguese
// (final vowels and s, m or ns, other consonants, the diphthongs, as in dia but meio, the
// silent u of gu and qu).
int posicaoTonica(std::string_view palavra);
