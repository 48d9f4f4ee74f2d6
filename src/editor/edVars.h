// The text being edited and the editor state that more than one command uses.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edArqCodif.h"
#include "editor/edHistorico.h"
#include "platform/memoriaGrande.h"

class Dicionario;

// The lines of the text, numbered from 1; each holds at most 255 Windows-1252 characters.
// Lines read from a file stay in one shared block (no allocation of their own, which for a
// long file costs more than reading it); a line gets its own string when it is changed or
// first asked for as one.
class TipoTexto {
public:
    static constexpr size_t kMaxLinha = 255;

    explicit TipoTexto(int capacidade = 10000);
    TipoTexto(const TipoTexto& outro);
    TipoTexto& operator=(const TipoTexto& outro);
    TipoTexto(TipoTexto&&) noexcept = default;
    TipoTexto& operator=(TipoTexto&&) noexcept = default;

    int nLinhas() const { return static_cast<int>(linhas_.size()); }
    int capacidade() const { return capacidade_; }
    // Line i (1..nLinhas); an empty text for a number outside the text. The reference
    // lasts until the text changes.
    const std::string& linha(int i) const;
    // The same without making the line a string of its own; valid until the text changes.
    std::string_view vista(int i) const;
    // Replaces line i's text, keeping its first 255 characters.
    void trocaLinha(int i, std::string_view texto);
    // Inserts before line i (1..nLinhas + 1). False when room had to be made the hard way
    // (the caller then beeps).
    bool insere(int i, std::string_view texto);
    // A line read from a file, added after the last one into the shared block; as insere
    // otherwise.
    bool acrescentaLida(std::string_view texto);
    // Room for about `linhas` lines read from a file of `bytes` bytes.
    void reservaLidas(size_t linhas, size_t bytes);
    void remove(int i);
    // Several at once: the texts inserted before line i in their order; lines i..i+n-1
    // removed.
    bool insere(int i, std::span<const std::string> textos);
    void remove(int i, int n);
    // Lines primeira.. put in a new order: the new line primeira + k is the old line
    // primeira + ordem[k].
    void reordena(int primeira, std::span<const int> ordem);
    // Lines de..de+n-1 moved before line para (which lies outside them), in their order.
    void move(int de, int n, int para);
    // Replaces the `quantas` lines from line `de` by `novas` in one move of the lines after
    // them (a reflowed block of thousands of lines must not shift the rest of the text once
    // per line). Each new line keeps its first 255 characters.
    void substitui(int de, int quantas, std::vector<std::string> novas);
    // Frees every line (the capacity stays).
    void liberaTexto();
    // Goes up with every change of the text, so "changed since" is a comparison.
    uint64_t versao() const { return versao_; }
    // The notes of the changes since they were last taken, for the undo history: kept from
    // the first call of registraMudancas on (a text only read, or built by a test, keeps none).
    void registraMudancas();
    DiarioTexto tomaMudancas();

private:
    struct Linha {
        // The line's own text; while it has none, its text is in the block.
        mutable std::unique_ptr<std::string> propria;
        uint32_t inicio = 0;
        uint8_t tamanho = 0;
    };

    bool abreEspaco(int linhas);
    // The notes, made before the lines change (defined with the history).
    void anotaTroca(int de, int quantas, int novas, bool umaVazia);
    void anotaMove(int de, int n, int para);
    void anotaReordena(int primeira, std::span<const int> ordem);

    std::vector<Linha, AlocadorGrande<Linha>> linhas_;  // line 1 is element 0
    std::vector<char, AlocadorGrande<char>> bloco_;
    int capacidade_;
    uint64_t versao_ = 0;
    DiarioTexto diario_;
    bool registra_ = false;
};

// The recovery copy kept while the text is not saved: its file, the text's version in it,
// when the text was first seen changed after it and when it was written (virtual clock in
// tests).
struct EstadoRecuperacao {
    std::string arquivo;  // empty when none is on disk
    uint64_t versao = 0;
    std::optional<uint64_t> mudouMs, gravadaMs;
};

struct EdVars {
    TipoTexto texto{10000};
    int linhaAtual = 1;
    int colunaAtual = 1;
    int deslocamentoTela = 0;
    int larguraTela = 79;
    int selecaoInicio = 0, selecaoFim = 0;
    int colunaMemorizada = 1, linhaMemorizada = 1;

    int inicioBloco = 1, fimBloco = 0;
    int margemEsquerda = 1, margemDireita = 72;
    std::vector<int> tabulacoes;

    std::string linhaRemovida;
    std::string nomeArquivo;
    CodificacaoArquivo codificacao;  // how nomeArquivo is written
    std::string extensaoPadrao = "txt";
    std::string diretorioMensagens;
    std::string textoProcurado = std::string(1, '\0');  // matches nothing
    std::string textoRevisao;  // the last text searched for in the screen review
    bool modoLeitura = false, converteOem = false, anunciaCarga = true;
    bool semFala = false;
    // The text's version when it was last loaded or saved whole.
    uint64_t versaoGravada = 0;
    EstadoRecuperacao recuperacao;

    bool ecoDigitacao = true, enterInsereLinha = false, quebraLinhas = true, falaPontuacao = true,
         falaEspacos = false, falaAutomatica = false, escreveApenasTexto = false,
         dicionarioAtivo = false, sapiAtivo = false;
    // Set by a command that took the cursor to another line (a paragraph, a line number, a
    // removal): the automatic reading says the line it landed on.
    bool chegouALinha = false;
    // A message is on row 9: the redraws keep it there until the next key.
    bool mensagemNaTela = false;
    char modoFalaFormatacao = 'N';  // N natural, F formatting, B beeps, M mute
    // The spelling dictionary once a load succeeded (loaded on first use, kept to the end).
    std::shared_ptr<Dicionario> dicionario;
    Historico historico;

    int nLinhas() const { return texto.nLinhas(); }
    const std::string& linha(int i) const { return texto.linha(i); }
    // Line i without making it a string of its own (a walk over many lines keeps the text
    // compact); valid until the text changes.
    std::string_view vista(int i) const { return texto.vista(i); }
    void trocaLinha(int i, std::string_view t) { texto.trocaLinha(i, t); }
    // Whether the text changed since it was loaded or saved.
    bool modificado() const { return texto.versao() != versaoGravada; }
    bool blocoMarcado() const { return inicioBloco >= 1 && fimBloco >= inicioBloco; }
    void limpaBloco() {
        inicioBloco = 1;
        fimBloco = 0;
    }

    // Inserts a line at linhaAtual, keeping the marks in step; false when the text had to
    // grow the hard way (one beep).
    bool insereNaLinhaAtual(std::string_view texto);
    // Inserts the lines at linhaAtual in order, as one insertion after another with the
    // cursor moving down; the cursor ends on the line that held it.
    bool insereVariasNaLinhaAtual(const std::vector<std::string>& textos);
    // Removes the current line, keeping the marks in step. The last line is emptied
    // instead, so the text never has fewer than one line; then the result is true (the
    // speaking command beeps).
    bool removeLinhaAtual();
    // Takes line i out of the text with the marks in step (the text keeps one line at least).
    void retiraLinha(int i);
    // Inserts `linhas` before line i as that many insertions, each on the line after the
    // one before, would: the marks kept in step. False when the text grew the hard way.
    bool insereLinhas(int i, std::span<const std::string> linhas);
    // Removes n lines at line i, none of them the text's last one, as n removals of line i
    // would: the marks kept in step, linhaRemovida the last one's text.
    void removeLinhas(int i, int n);
};

// The same-length comparison form of a text: upper case, accents folded.
std::string formaBusca(std::string_view texto);
