// The own text-to-speech engine's second stage: letter-to-phoneme rules, exceptions and
// stress, from items "contour|word" to the phoneme list the prosody stage reads (word
// markers ";contour|word", phonemes with ">" on the stressed one, pause items "_...").
// The phoneme symbols are listed at the head of data/brisatts/portug.nrl.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "speech/regras.h"

class PortugTts {
public:
    // The rule and exception files ("portug.nrl", "portug.exc"); false when either fails.
    bool carrega(const std::filesystem::path& regras, const std::filesystem::path& excecoes);
    void libera();
    std::vector<std::string> converte(const std::vector<std::string>& itens) const;
    // The items' markers and phonemes added to `fonemas`, as `converte` gives them but
    // without the closing pause and the joins between words (ligaPalavras), so a text may be
    // converted a piece at a time.
    void acrescentaFonemas(const std::vector<std::string>& itens, std::vector<std::string>& fonemas) const;

    // The rule file's form: centres from 32 to 255, outputs of up to 20 characters,
    // accented upper-case letters in the contexts, `;` comments.
    static FormaRegras formaRegras();
    // The same from texts already read (tests and fuzzing).
    void carregaTextos(std::string_view regras, std::string_view excecoes);
    // One upper-case word's phonemes, after the exceptions, with its stress marks, then the
    // empty item that ends every word.
    void convertePalavra(std::string_view palavra, std::vector<std::string>& saida) const;

    // The character that ends a stressed stretch: the phoneme after the stressed one begins
    // with it (the word's closing empty item, when the stressed phoneme is the last).
    static constexpr char kFimTonica = '\xA8';

private:
    Regras regras_{formaRegras()};
    Excecoes excecoes_;
};

// r2 and s2, the final r and s of a word, said r and z before a word that begins with a
// vowel or a glide; a list in pieces is joined right when each word marker comes with the
// phoneme after it and the two before it.
void ligaPalavras(std::vector<std::string>& fonemas);
