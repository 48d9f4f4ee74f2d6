// The spelling dictionary: stems with suffix classes, proper names, forms that do not exist
// and substitution rules for suggestions, read from five Windows-1252 text files. It knows
// nothing of the editor: the console messages of a load come back to the caller.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Case folding of Windows-1252 (letters only; accents stay distinct): the order and the
// equality of the dictionary's case-insensitive lists.
char minusculaDic(char c);
std::string formaDic(std::string_view texto);

// Word characters of the block check, and of the word before the cursor (a slightly
// different set of accented letters).
bool letraBloco(uint8_t c);
bool letraCursor(uint8_t c);

// One dictionary entry: the stem and its class list ("=" or class names), with the
// classes resolved once at load and kept, for all entries, in one list of the dictionary's.
struct TDicio {
    std::string radical;  // folded
    bool proprio = false;  // "=": the stem is a word itself
    uint32_t primeiraClasse = 0, nClasses = 0;  // its run in that list
};

// The entries sorted by stem without regard to case.
class TDicList {
public:
    void reserva(size_t n) { itens_.reserve(n); }
    void adiciona(TDicio d) { itens_.push_back(std::move(d)); }
    void ordena();
    // Whether the stem is present; `indice` is the first equal entry or the insertion point.
    bool Find(std::string_view radical, size_t& indice) const;
    const TDicio& operator[](size_t i) const { return itens_[i]; }
    size_t size() const { return itens_.size(); }

private:
    std::vector<TDicio> itens_;
};

class Dicionario {
public:
    Dicionario() = default;
    // Its list of names points into its own text: never copied.
    Dicionario(const Dicionario&) = delete;
    Dicionario& operator=(const Dicionario&) = delete;

    // Takes the texts of the five files, read in the order suffixes, dictionary,
    // exceptions, names, rules (a text saved as UTF-8 by mistake is decoded). False when a
    // rules line has no '=' after its first character; `mensagens` receives the console
    // lines to write (that line, unknown classes).
    bool carrega(std::string_view sufixos, std::string_view dicionario,
                 std::string_view inexistentes, std::string_view nomes,
                 std::string_view sugestoes, const std::string& nomeSugestoes,
                 std::vector<std::string>& mensagens);

    // Whether the word is right: in the files, or hyphenated of parts that are.
    bool verificaPalavra(std::string_view palavra) const;
    // The corrections of a word, sorted without regard to case, without repetitions.
    std::vector<std::string> sugestoes(std::string_view palavra) const;

    size_t nEntradas() const { return entradas_.size(); }

    // The user's own words (the personal dictionary): right in any case.
    void definePessoais(const std::vector<std::string>& palavras);
    // False when the word was there already.
    bool adicionaPessoal(std::string_view palavra);

private:
    struct Classe {
        std::string nome;                 // folded
        std::vector<std::string> sufixos;  // folded, sorted
    };
    struct Regra {
        std::string esquerda, direita;
    };

    void leSufixos(std::string_view texto);
    void leDicionario(std::string_view texto, std::vector<std::string>& mensagens);
    bool leRegras(std::string_view texto, const std::string& nome,
                  std::vector<std::string>& mensagens);
    int achaClasse(std::string_view nomeDobrado) const;
    bool verificaInteira(std::string_view palavra) const;
    bool formaDaEntrada(const TDicio& d, std::string_view restoDobrado) const;

    std::vector<Classe> classes_;  // sorted by name
    TDicList entradas_;
    std::vector<int> classesDasEntradas_;  // each entry's classes, a run for each
    // The proper names, exact and sorted: views of the names file's text, kept whole (a
    // string apiece would cost the start-up load hundreds of thousands of allocations).
    std::string textoNomes_;
    std::vector<std::string_view> nomes_;
    std::vector<std::string> inexistentes_;  // folded, sorted
    std::vector<std::string> pessoais_;      // folded, sorted
    std::vector<Regra> regras_;
};
