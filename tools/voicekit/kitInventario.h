// The diphone inventory of the voice kit: which names the translator's rules and the
// diphone speaker's unit splitting ask the bank for, and how each name is pronounced.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "speech/regras.h"

// The words that reach every unit the rules can form: all words of one to three letters
// (plain and accented, Windows-1252), alone and after "a" and "n", and, for each two-letter
// centre of the rules (ch, lh, qu ...), that centre followed by any two letters, alone and
// after "a".
std::vector<std::string> palavrasDeVarredura(const Regras& regras);

// Phonetic strings that reach every unit the rules' outputs can form whatever the context:
// each output that opens a unit (" kw", " ks") alone and followed by each output that joins
// one ("E~", "a~w", "s"), and each of the latter alone.
std::vector<std::string> foneticasDeVarredura(const Regras& regras);

// Every diphone name asked for first when the phonetic strings are spoken, with the text
// each came from (`origens`, beside them; the string itself where there is none).
std::map<std::string, std::string> nomesDasFoneticas(std::span<const std::string> foneticas,
                                                     std::span<const std::string> origens = {});

// Every diphone name asked for first when the texts are spoken, with the first text that
// asked for it (so that an impossible name can be traced back to a word).
std::map<std::string, std::string> nomesPedidos(const Regras& regras, const Excecoes& excecoes,
                                                std::span<const std::string> textos);

// How a diphone name is pronounced, as phoneme mnemonics of the speech engine ("k'a",
// "m'&U~"); the reason when the name cannot be made (too long, no sound of ours).
struct Pronuncia {
    std::string fonemas;
    std::string erro;
};
Pronuncia pronunciaDifone(std::string_view nome);

// How a unit is cut from speech: its phonemes are said inside a carrier, stressed, between
// context phonemes, so that it carries the pitch and length of the middle of a word, not
// those of a syllable said alone.
struct Portadora {
    std::string fonemas;   // the whole carrier, for the engine's "[[ ]]"
    size_t antes = 0;      // context phonemes before the unit
    size_t depois = 0;     // and after it
    bool doMeio = false;   // a vowel with its glide follows that vowel cut short: start midway
    bool aparaInicio = true;  // false when the unit opens with a stop, whose closure stays
};
Portadora portadoraDifone(std::string_view fonemas);
