// The undo history. The line store notes every change it makes (which lines were replaced
// by how many, moved or put in a new order) with the texts it replaced; the key loop groups
// those notes into the steps a user recognises, and undo and redo take a step back or make
// it again. Only line texts are kept, never the store's own representation.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class TipoTexto;
struct EdVars;

// Lines de.. : the `antigas` were replaced by `novas` lines. `linhas` is how many lines a
// user would count in it (an empty line added or taken away alone counts none).
struct TrocaLinhas {
    int de = 1;
    std::vector<std::string> antigas;
    int novas = 0;
    int linhas = 0;
};
// Lines de..de+n-1 were moved before line para.
struct MoveLinhas {
    int de = 1, n = 0, para = 1;
};
// Lines primeira.. were put in a new order: the new line primeira + k is the old
// line primeira + ordem[k].
struct ReordenaLinhas {
    int primeira = 1;
    std::vector<int> ordem;
};
using MudancaTexto = std::variant<TrocaLinhas, MoveLinhas, ReordenaLinhas>;

// What the line store noted since it was last asked. `perdido`: the text was replaced in a
// way no note describes (a load), so no older step can be taken back.
struct DiarioTexto {
    std::vector<MudancaTexto> mudancas;
    bool perdido = false;
};
// Adds a note, merging it into the one before when both replace the same single line
// (the older text is what undo needs).
void anotaMudanca(std::vector<MudancaTexto>& diario, MudancaTexto m);

// The cursor and the marks that move with the text, before and after a step.
struct PosicaoTexto {
    int linha = 1, coluna = 1;
    int inicioBloco = 1, fimBloco = 0;
    int linhaMemorizada = 1, colunaMemorizada = 1;
};
PosicaoTexto posicaoTexto(const EdVars& ed);

// What the key loop says of the command that just ran, to group its changes.
struct ComandoHistorico {
    enum class Tipo { Outro, Digitacao, Apagamento };
    Tipo tipo = Tipo::Outro;
    int tecla = 0;        // a deletion's key: Backspace runs and Del runs stay apart
    bool branco = false;  // a typed blank ends the word it follows
    // The message key that names the step when the command spoke none that does.
    std::string_view rotulo;
};

// One step as the user hears it undone: its changes in the order they were made.
struct PassoHistorico {
    std::vector<MudancaTexto> mudancas;
    PosicaoTexto antes, depois;
    std::string_view rotulo;  // a message key ("EDBLKREM")
    bool contaLinhas = false;  // "..., 12 linhas" follows the name
    size_t bytes = 0;
    int linhas() const;
};

class Historico {
  public:
    // At least the last kPassos steps or kBytes of them, whichever is less.
    static constexpr size_t kPassos = 1000;
    static constexpr size_t kBytes = size_t{64} << 20;

    // A new history for the text now loaded; the store starts noting its changes.
    void reinicia(TipoTexto& texto);
    // A message was spoken, or a command names what it did: a key that names a step
    // ("EDBLKREM") names the step of the command running; other keys are let pass.
    void nomeia(std::string_view chave);
    // After each command: its changes become a step of their own, or join the step before
    // (a word still being typed, a run of deletions, blanks a cursor movement trimmed).
    void fechaComando(EdVars& ed, const PosicaoTexto& antes, const ComandoHistorico& c);
    // Takes the newest step back (desfaz) or makes the newest undone step again (refaz);
    // what it was, or nothing at the end of the history. The cursor goes to the first line
    // the step touched.
    struct Resumo {
        std::string_view rotulo;
        bool contaLinhas = false;
        int linhas = 0;
    };
    std::optional<Resumo> desfaz(EdVars& ed);
    std::optional<Resumo> refaz(EdVars& ed);

    size_t passos() const { return desfazer_.size(); }
    size_t passosRefazer() const { return refazer_.size(); }
    size_t bytes() const { return bytes_; }

  private:
    enum class Juntavel { Nada, Digitacao, Apagamento };

    void limpa();
    void esvaziaRefazer();
    void aparaLimites();
    std::optional<Resumo> volta(EdVars& ed, std::deque<PassoHistorico>& de,
                                std::deque<PassoHistorico>& para);

    std::deque<PassoHistorico> desfazer_, refazer_;  // the newest at the back
    size_t bytes_ = 0;
    std::string_view rotuloOuvido_;
    Juntavel juntavel_ = Juntavel::Nada;
    int teclaApagamento_ = 0;
    bool depoisDeBranco_ = false;
};
