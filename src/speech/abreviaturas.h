// The abbreviation list that the sentence rule of the reading commands and both voices share:
// the own engine's file ("portug.abr" where BRISATTS in the family INI points), lines
// "abbreviation=expansion", `;` comments. An abbreviation is read as its expansion, and its
// full stop is no sentence end unless nothing follows it in the paragraph, or it is written
// in the file with its stop ("etc.=etcétera": one that often closes a sentence) and a
// capitalised word follows ("leite etc. Depois"). A title or an address word keeps the
// sentence going before a name ("Sr. Silva", "av. Paulista").
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using LeIniFala = std::function<std::string(std::string_view secao, std::string_view chave)>;

// A key of the family INI's section BRISATTS, trimmed, or `padrao` where it is empty.
std::string leBrisatts(const LeIniFala& leIni, const char* chave, const char* padrao);

// The file `nome` of the own engine's folder, BRISATTS/DIR (default \ornato\brisatts\).
std::string arquivoDaPastaBrisatts(const LeIniFala& leIni, std::string_view nome);

// A file of the own engine's folder named after its BASE (default portug), with `extensao`
// (".abr", ".exc", ...) after the base.
std::string arquivoBrisatts(const LeIniFala& leIni, std::string_view extensao);

// How a listed word is read: its expansion, and whether the full stop right after it goes
// with it (false when there is none, or when it also ends the sentence).
struct LeituraAbreviatura {
    const std::string& expansao;
    bool levaPonto;
};

class Abreviaturas {
  public:
    // False when the file cannot be read (the list is then empty).
    bool carrega(const std::filesystem::path& arquivo);
    void carregaTexto(std::string_view texto);
    bool vazia() const { return lista_.empty(); }

    // The expansion of an abbreviation (any case), or nullptr.
    const std::string* expansao(std::string_view palavra) const;

    // `palavra` (Windows-1252 letters) as read before `depois`, the text right after it: a
    // listed word followed by a full stop and a blank or the end, or a listed word of
    // consonants only ("km", "Dr") with or without the stop. Nothing for any other word.
    std::optional<LeituraAbreviatura> leitura(std::string_view palavra, std::string_view depois) const;

    // Whether a full stop goes with the word before it, read as an abbreviation inside a
    // sentence: `antes` is the text up to the stop, `depois` the text after it.
    bool pontoDeAbreviatura(std::string_view antes, std::string_view depois) const;

    // The text with its abbreviations written out, each full stop that goes with one
    // dropped: what the built-in voice reads. A text of one character stays as it is.
    std::string expande(std::string_view texto) const;

  private:
    struct Entrada {
        std::string chave;  // upper case, without the stop
        std::string expansao;
        bool fechaFrase;  // written with its stop: a capital after it starts a new sentence
    };
    const Entrada* procura(std::string_view palavra) const;
    // The same, `ponto` telling whether a full stop follows and `aposPonto` what follows it.
    std::optional<LeituraAbreviatura> leitura(std::string_view palavra, bool ponto,
                                              std::string_view aposPonto) const;

    std::vector<Entrada> lista_;
};
