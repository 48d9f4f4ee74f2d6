// The own text-to-speech engine's second stage: letter-to-phoneme rules, exceptions and
// stress, from items "contour|word" to the phoneme list the prosody stage reads (word
// markers ";contour|word", phonemes with ">" on the stressed one, pause items "_...").
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class PortugTts {
public:
    // The rule and exception files ("portug.nrl", "portug.exc"); false when either fails.
    bool carrega(const std::filesystem::path& regras, const std::filesystem::path& excecoes);
    void libera();
    std::vector<std::string> converte(const std::vector<std::string>& itens) const;
};
