// Reads a dictionary in the affix-rule format (an .aff file of prefix and suffix rules and a
// .dic file of words with flags) and expands each word into the forms its flags make:
// a rule strips letters from the word's end (or start), adds its own, and applies only when
// the word matches its condition; a prefix and a suffix combine when both allow it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// One flag, whatever the file's FLAG type (one character, two characters, a number).
using Marca = uint64_t;

class RegrasAfixos {
public:
    // `aff`: the text of the .aff file, in the encoding its SET line names (UTF-8, else
    // ISO-8859-1/Windows-1252). Unknown lines are ignored.
    explicit RegrasAfixos(std::string_view aff);

    // The forms of one .dic entry, in Unicode: `base` holds the word and its suffixed
    // forms; each prefix rule applied gives one group of its own in `prefixadas`.
    struct Formas {
        std::vector<std::u32string> base;
        std::vector<std::vector<std::u32string>> prefixadas;
        bool proibida = false;  // the entry forbids its word (FORBIDDENWORD)
    };
    // `linha`: one line of the .dic file, decoded ("word/flags", optional fields after it).
    Formas expande(std::u32string_view linha) const;

    // Decodes a text of the dictionary's encoding, without a leading byte-order mark.
    std::u32string decodifica(std::string_view texto) const;

private:
    // One position of a condition: a set of characters, or its complement.
    struct Posicao {
        std::u32string letras;
        bool negada = true;  // "." is the complement of nothing
        bool aceita(char32_t c) const;
    };
    struct Regra {
        std::u32string tira, poe;
        std::vector<Posicao> condicao;
        std::vector<Marca> seguintes;  // continuation flags of the added part
    };
    struct Afixo {
        bool prefixo = false, cruza = false;
        std::vector<Regra> regras;
    };
    enum class TipoMarca { caractere, longa, numero };

    // `apelido`: a number stands for the AF flag set of that number (in words and rules).
    std::vector<Marca> leMarcas(std::u32string_view texto, bool apelido = true) const;
    void leRegra(const std::vector<std::u32string>& campos);
    static bool condicaoNoFim(const Regra& r, std::u32string_view palavra);
    static bool condicaoNoInicio(const Regra& r, std::u32string_view palavra);
    void sufixa(const Afixo& a, const std::u32string& palavra, std::vector<std::u32string>& formas,
                int nivel) const;

    bool utf8_ = false;
    TipoMarca tipo_ = TipoMarca::caractere;
    std::vector<std::vector<Marca>> apelidos_;  // AF: flag sets named by number
    std::map<Marca, Afixo> afixos_;
    Marca proibida_ = 0, precisaAfixo_ = 0;
    bool temProibida_ = false, temPrecisaAfixo_ = false;
};

// Calls `f` with the forms of every entry of the .dic text (its first line, the count, is
// skipped), in file order.
void expandeDicionario(const RegrasAfixos& regras, std::string_view dic,
                       const std::function<void(const RegrasAfixos::Formas&)>& f);
