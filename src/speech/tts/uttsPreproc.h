// The own text-to-speech engine's first stage: text normalisation. Numbers, abbreviations,
// acronyms and symbols become Portuguese words; only words and plain punctuation remain.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "speech/abreviaturas.h"

class PreprocTts {
public:
    // The abbreviation file ("portug.abr"); false when it cannot be read.
    bool carregaAbreviaturas(const std::filesystem::path& arquivo);
    // The text (Windows-1252) rewritten into words and kept punctuation.
    std::string normaliza(std::string_view texto) const;

    // The same from a text already read: lines "abbreviation=expansion", `;` comments.
    void carregaAbreviaturasTexto(std::string_view texto);
    // The expansion of an abbreviation (any case), or nullptr.
    const std::string* abreviatura(std::string_view palavra) const;

private:
    size_t palavra(std::string_view t, size_t i, std::string& saida) const;

    Abreviaturas abreviaturas_;
};

// Numbers of up to 15 digits in words, with accents ("três", "cinqüenta"); 0 is "zero".
std::string cardinalTts(uint64_t valor);
// Ordinals below 2000 ("vigésimo primeiro"; `genero` 'f' gives "vigésima primeira");
// from 2000 on the cardinal.
std::string ordinalTts(uint64_t valor, char genero);
// What a character alone is read as ("bê", "abre parênteses", " código dez ").
std::string nomeCaractereTts(unsigned char c);
