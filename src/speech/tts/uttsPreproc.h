// The own text-to-speech engine's first stage: text normalisation. Numbers, abbreviations,
// acronyms and symbols become Portuguese words; only words and plain punctuation remain.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class PreprocTts {
public:
    // The abbreviation file ("portug.abr"); false when it cannot be read.
    bool carregaAbreviaturas(const std::filesystem::path& arquivo);
    // The text (Windows-1252) rewritten into words and kept punctuation.
    std::string normaliza(std::string_view texto) const;
};
