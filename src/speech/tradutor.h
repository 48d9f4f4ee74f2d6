// The translator: a Windows-1252 text becomes the phonetic string the diphone speaker
// reads. Each word goes, in order, through character folding, word splitting,
// the exception dictionary, stress placement and either spelling or the letter rules.
//
// Phonetic string: every word is "[...]"; inside, units are separated by '/', a blank starts
// a new unit, "_c" is the letter c read from its recording, an upper-case vowel is stressed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "speech/regras.h"

// Character classes of the translator (ASCII, either case).
bool ehVogal(unsigned char c);
bool ehConsoante(unsigned char c);  // b..z without the vowels, w and y included
bool ehAcento(unsigned char c);     // the marks " ' ^ ` ~ written after a letter
bool ehLetra(unsigned char c);

// Codes below 32 become blanks, w/y next to letters become u/i, an apostrophe after d is
// dropped, and the letters 128..255 become their base letter followed by the accent mark.
std::string dobraCaracteres(std::string_view texto);

struct Palavra {
    std::string letras;
    int vogais = 0;
    bool acentoEscrito = false;  // holds a mark other than the diaeresis
};
// The vowel count and the written-accent flag of `letras`.
Palavra descrevePalavra(std::string letras);
// The next word of a folded text from `pos` (moved past it): a run of letters and accent
// marks, lower-cased, or any other character alone; nothing when only blanks are left.
std::optional<Palavra> proximaPalavra(std::string_view texto, size_t& pos);

// The replacement of the word, looked up again without each final s or m until found;
// the stripped letters follow the replacement. The word itself when nothing is found.
std::string aplicaExcecoes(std::string palavra, const Excecoes& excecoes);

// The translator's own exceptions followed by those of the pronunciation list both voices
// share (the own engine's exception file, written with Portuguese accents: "FORA=FÓRA|"),
// brought to the translator's form: folded and in lower case ("fora=fo'ra"). A word in both
// keeps the translator's entry.
Excecoes comExcecoesComuns(const Excecoes& proprias, const Excecoes& comuns);

// Whether the stress is placed by rule: no written accent, and two vowels or more (or one
// vowel and a final l).
bool precisaTonica(const Palavra& palavra);
// Upper-cases the stressed vowel found by scanning from the end of the word.
void marcaTonica(std::string& palavra);

// Made only of consonants and the punctuation ! , . : ; ? (and not empty).
bool soConsoantes(std::string_view palavra);
// Each character c as "[ /_c]".
std::string soletraPalavra(std::string_view palavra);

// The word through the letter rules, as "[out1/out2/...]".
std::string aplicaRegras(std::string_view palavra, const Regras& regras);

// The whole text.
std::string traduz(std::string_view texto, const Regras& regras, const Excecoes& excecoes);
