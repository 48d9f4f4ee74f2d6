// The translator's data: letter-to-sound rules ("regras.rgr") and the exception
// dictionary ("portug.exc"), both text files of the diphone directory.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One rule: when `centro` stands at a position of a word with `esquerda` before it and
// `direita` after it, it sounds as `saida`. Contexts and centre are upper case.
struct Regra {
    std::string esquerda;
    std::string centro;
    std::string direita;
    std::string saida;
};

// Longest parts kept from a rule line; longer parts are cut.
constexpr size_t kMaxContexto = 5;
constexpr size_t kMaxCentro = 5;
constexpr size_t kMaxSaida = 11;

// The rules in 64 lists indexed by the centre's first character (codes 32 to 95), each in
// file order.
class Regras {
  public:
    static constexpr int kPrimeiroCodigo = 32;
    static constexpr int kListas = 64;

    // Appends the rule to its centre's list; false (and nothing kept) for a rule without a
    // centre or whose centre does not start with a code of 32 to 95.
    bool acrescenta(Regra regra);
    // The rules for a centre starting with `c`; empty for codes outside 32 to 95.
    std::span<const Regra> lista(unsigned char c) const;
    size_t total() const;

  private:
    std::array<std::vector<Regra>, kListas> listas_;
};

// One rule line "esq(centro)dir=saida|comentario"; nothing for a malformed line (a missing
// or misplaced '(' ')' '=' '|', an empty centre, control or non-ASCII bytes in the contexts).
std::optional<Regra> interpretaLinhaRegra(std::string_view linha);
// Every well-formed line of a rule file; the others are skipped.
Regras interpretaRegras(std::istream& texto);
// Nothing when the file cannot be read.
std::optional<Regras> leRegras(const std::filesystem::path& arquivo);

struct Excecao {
    std::string palavra;
    std::string troca;
};

// The exception dictionary, sorted by word for binary search.
class Excecoes {
  public:
    static constexpr size_t kMaximo = 15000;

    Excecoes() = default;
    // Keeps at most kMaximo entries; when a word is listed twice the first one counts.
    explicit Excecoes(std::vector<Excecao> entradas);
    // The replacement of exactly this word, or nothing.
    const std::string* procura(std::string_view palavra) const;
    size_t tamanho() const { return entradas_.size(); }

  private:
    std::vector<Excecao> entradas_;
};

// One line "palavra=troca|"; nothing for an empty line, an empty word or a line without '='.
std::optional<Excecao> interpretaLinhaExcecao(std::string_view linha);
// The first kMaximo well-formed lines.
Excecoes interpretaExcecoes(std::istream& texto);
std::optional<Excecoes> leExcecoes(const std::filesystem::path& arquivo);
