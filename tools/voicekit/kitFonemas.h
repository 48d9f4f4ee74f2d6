// One symbol set for two spellings of a pronunciation: the translator's phonetic string and
// the speech engine's phoneme mnemonics. Both become a plain string of symbols, so that a
// word said by the rules can be compared with the same word said by the engine.
//
// Symbols: vowels a e E i o O u (E, O open), a vowel followed by '~' is nasal; the glides
// are their vowels (i, u); consonants p b t d k g f v s z m n l, S (as in chave), Z (as in
// janela), J (nh), r (the soft r of caro), R (the strong r of carro), tS, dZ; lh is "li".
// Stress is left out. Three differences of sound that change no word are folded on both
// sides: a vowel before m or n and a consonant is the nasal vowel; the glide of a nasal e
// before a consonant ("gente" said with or without it) is dropped; and a vowel before a
// nasal consonant and a vowel ("cama", "cunha") is oral, nasalized or not.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The translator's phonetic string ("[ k/a/ z/a]") in the shared symbols ("kaza").
std::string fonemasDaTraducao(std::string_view fonetica);

// The engine's mnemonics for one word ("k'az&") in the shared symbols ("kaza").
std::string fonemasDoMotor(std::string_view mnemonicos);

// The own text-to-speech engine's phoneme list (word markers and pauses skipped, stress
// marks dropped: "k", ">a", "z", "@") in the shared symbols ("kaza").
std::string fonemasDaBrisa(const std::vector<std::string>& fonemas);
