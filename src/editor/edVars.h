// The text being edited and the editor state that more than one command uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of the text, numbered from 1; each holds at most 255 Windows-1252 characters.
class TipoTexto {
public:
    static constexpr size_t kMaxLinha = 255;

    explicit TipoTexto(int capacidade = 10000);

    int nLinhas() const { return static_cast<int>(linhas_.size()); }
    int capacidade() const { return capacidade_; }
    // Line i (1..nLinhas); an empty text for a number outside the text.
    const std::string& linha(int i) const;
    // Replaces line i's text, keeping its first 255 characters.
    void trocaLinha(int i, std::string_view texto);
    // Inserts before line i (1..nLinhas + 1). False when room had to be made the hard way
    // (the caller then beeps).
    bool insere(int i, std::string_view texto);
    void remove(int i);
    void liberaTexto() { linhas_.clear(); }

private:
    std::vector<std::string> linhas_;  // line 1 is element 0
    int capacidade_;
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
    std::string extensaoPadrao = "txt";
    std::string diretorioMensagens;
    std::string textoProcurado = std::string(1, '\0');  // matches nothing
    bool modoLeitura = false, converteOem = false, anunciaCarga = true;
    bool semFala = false;

    bool ecoDigitacao = true, enterInsereLinha = false, quebraLinhas = true, falaPontuacao = true,
         falaEspacos = false, falaAutomatica = false, escreveApenasTexto = false,
         dicionarioAtivo = false, sapiAtivo = false;
    char modoFalaFormatacao = 'N';  // N natural, F formatting, B beeps, M mute

    int nLinhas() const { return texto.nLinhas(); }
    const std::string& linha(int i) const { return texto.linha(i); }
    void trocaLinha(int i, std::string_view t) { texto.trocaLinha(i, t); }
    bool blocoMarcado() const { return inicioBloco >= 1 && fimBloco >= inicioBloco; }
    void limpaBloco() {
        inicioBloco = 1;
        fimBloco = 0;
    }

    // Inserts a line at linhaAtual, keeping the marks in step; false when the text had to
    // grow the hard way (one beep).
    bool insereNaLinhaAtual(std::string_view texto);
    // Removes the current line, keeping the marks in step. The last line is emptied
    // instead, so the text never has fewer than one line; then the result is true (the
    // speaking command beeps).
    bool removeLinhaAtual();
    // Takes line i out of the text with the marks in step (the text keeps one line at least).
    void retiraLinha(int i);
};

// The same-length comparison form of a text: upper case, accents folded.
std::string formaBusca(std::string_view texto);
