// Letter-to-sound rules and exception dictionaries: the translator's ("regras.rgr" and
// "portug.exc" of the diphone directory) and, with their own limits, the text-to-speech
// engine's, whose files have the same line forms.
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

// A word seen by the rules: positions 1..n; 0 and n + 1 are its edges and read as 0.
class Posicoes {
  public:
    explicit Posicoes(std::string_view p) : p_(p) {}
    int n() const { return static_cast<int>(p_.size()); }
    bool borda(int i) const { return i < 1 || i > n(); }
    unsigned char at(int i) const { return borda(i) ? 0 : static_cast<unsigned char>(p_[i - 1]); }

  private:
    std::string_view p_;
};

// Longest parts kept from a rule line; longer parts are cut.
constexpr size_t kMaxContexto = 5;
constexpr size_t kMaxCentro = 5;
constexpr size_t kMaxSaida = 11;

// How a rule file is read. The translator's rules have ASCII centres (codes 32 to 95) and
// outputs of up to 11 characters; another engine's may take Windows-1252 upper-case letters
// and longer outputs.
struct FormaRegras {
    int ultimoCodigo = 95;  // the centres' first characters run from 32 to this
    size_t maxSaida = kMaxSaida;
    bool latin1 = false;  // bytes 192..255 allowed in contexts and centres
    char comentario = 0;  // lines beginning with it are skipped (0: none)
};

// The rules in one list per centre's first character (codes 32 to 95 for the translator),
// each in file order.
class Regras {
  public:
    static constexpr int kPrimeiroCodigo = 32;
    static constexpr int kListas = 64;

    explicit Regras(const FormaRegras& forma = {});
    // Appends the rule to its centre's list; false (and nothing kept) for a rule without a
    // centre or whose centre does not start with a code of the lists.
    bool acrescenta(Regra regra);
    // The rules for a centre starting with `c`; empty for codes outside the lists.
    std::span<const Regra> lista(unsigned char c) const;
    size_t total() const;

  private:
    std::vector<std::vector<Regra>> listas_;
};

// One rule line "esq(centro)dir=saida|comentario"; nothing for a malformed line (a missing
// or misplaced '(' ')' '=' '|', an empty centre, control or non-ASCII bytes in the contexts).
std::optional<Regra> interpretaLinhaRegra(std::string_view linha, const FormaRegras& forma = {});
// Every well-formed line of a rule file; the others are skipped.
Regras interpretaRegras(std::istream& texto, const FormaRegras& forma = {});
// Nothing when the file cannot be read.
std::optional<Regras> leRegras(const std::filesystem::path& arquivo, const FormaRegras& forma = {});

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
    const std::vector<Excecao>& entradas() const { return entradas_; }

  private:
    std::vector<Excecao> entradas_;
};

// One line "palavra=troca|"; nothing for an empty line, an empty word or a line without '='.
std::optional<Excecao> interpretaLinhaExcecao(std::string_view linha);
// The first kMaximo well-formed lines; with `maiusculas` each line is upper-cased first.
Excecoes interpretaExcecoes(std::istream& texto, bool maiusculas = false);
std::optional<Excecoes> leExcecoes(const std::filesystem::path& arquivo, bool maiusculas = false);

// The replacement of the word, looked up again without each final letter of `finais` until
// found; the stripped letters follow the replacement. The word itself when nothing is found.
std::string trocaPorExcecao(std::string palavra, const Excecoes& excecoes, std::string_view finais);
