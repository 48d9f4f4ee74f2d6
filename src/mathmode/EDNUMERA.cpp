#include "mathmode/EDNUMERA.h"

#include <algorithm>

#include "editor/edtela.h"
#include "mathmode/EDNUMERACOMPILA.h"
#include "mathmode/EDNUMERASINTAXES.h"

namespace {

constexpr std::string_view kMensagens = "\\COMANDOS\\MENSAJES\\";
constexpr int kMaxLinha = 255;

std::string mensagemNumera(std::string_view nome) { return std::string(kMensagens) + std::string(nome); }

// Takes out the block an earlier run left at line `inicio`: from the opening mark to the
// closing one. Without both marks nothing is taken: the lines are then the user's.
void retiraBlocoAnterior(EdVars& ed, int inicio) {
    if (inicio < 1 || inicio > ed.nLinhas() || ed.vista(inicio) != kInicioResultados) return;
    int fim = inicio + 1;
    while (fim <= ed.nLinhas() && ed.vista(fim) != kFimResultados) {
        if (ed.vista(fim) == kInicioResultados) return;
        ++fim;
    }
    if (fim > ed.nLinhas()) return;
    // The line the user can restore stays the one they removed.
    const std::string removida = ed.linhaRemovida;
    const int n = fim - inicio + 1;
    const bool ultima = fim == ed.nLinhas();
    ed.removeLinhas(inicio, ultima ? n - 1 : n);
    if (ultima) ed.retiraLinha(inicio);
    ed.linhaRemovida = removida;
}

// The results read as a line the cursor moves to is, one after another, until a key.
void leResultados(Editor& e, size_t quantas) {
    const EdVars& ed = e.ed;
    for (size_t i = 1; i <= quantas && !e.crt.teclaPressionada(); ++i) {
        const int linha = ed.linhaAtual + static_cast<int>(i);
        if (linha <= ed.nLinhas() && !ed.linha(linha).empty()) falaLinha(e, ed.linha(linha));
    }
}

}  // namespace

std::string versaoNumera() { return EstadoNumera{}.versaoNumera; }

void mostraBannerNumera(Editor& e) {
    SnCrt& crt = e.crt;
    crt.TextColor(15);
    crt.TextBackground(4);
    crt.GotoXY(57, 2);
    crt.escreve("Atualiza\xE7\xE3o:");
    crt.GotoXY(57, 3);
    crt.escreve("NUMERA - v." + e.numera.versaoNumera);
    crt.TextBackground(0);
}

void compilaEExecuta(Editor& e) {
    EstadoNumera& n = e.numera;
    mostraBannerNumera(e);
    // The working sound loops while the program is translated and run; the final prompt
    // takes its place.
    e.fala.tocaOnda(mensagemNumera("M7"), TocadorOnda::Modo::Repetindo);
    // The one place the results file is emptied: while this run goes on, it never shows
    // the results of an earlier one.
    esvaziaArquivo("resultados.txt");
    const std::vector<std::string> codigo = traduzPrograma(e);
    const std::vector<std::string> resultados =
        n.estadoNumera == 2 ? linhasErroNumera(n) : executaPrograma(e, codigo);
    // The user's copy in the file: the run's lines, led by an empty one.
    std::vector<std::string> arquivo{std::string()};
    arquivo.insert(arquivo.end(), resultados.begin(), resultados.end());
    gravaLinhasNumera("resultados.txt", arquivo);
    insereResultados(e, resultados);
    if (n.estadoNumera == 1) {
        e.crt.Delay(500);
        // Heard whole before the results are read.
        e.fala.tocaOnda(mensagemNumera("M2"), TocadorOnda::Modo::Sincrono);
    } else {
        e.fala.tocaOnda(mensagemNumera(n.estadoNumera == 2 ? "M3" : "M5"), TocadorOnda::Modo::Assincrono);
    }
    redesenhaTela(e);
    if (n.estadoNumera == 1) leResultados(e, resultados.size());
}

void insereResultados(Editor& e, const std::vector<std::string>& resultados) {
    EdVars& ed = e.ed;
    const int linhaResultados = e.numera.linhaResultados;
    // A results line outside the text (no "\END;" was found) puts them at its nearest end.
    const int antes = std::clamp(linhaResultados - 1, 0, ed.nLinhas());
    retiraBlocoAnterior(ed, antes + 1);
    std::vector<std::string> linhas{std::string(kInicioResultados)};
    for (const std::string& l : resultados) linhas.push_back(l.substr(0, kMaxLinha));
    linhas.emplace_back(kFimResultados);
    if (!ed.insereLinhas(antes + 1, linhas)) e.fala.bip();
    falaErroNumera(e);
    ed.linhaAtual = std::clamp(linhaResultados, 1, ed.nLinhas());
    ed.colunaAtual = 1;
}

void falaErroNumera(Editor& e) {
    const EstadoNumera& n = e.numera;
    if (n.estadoNumera != 2) return;
    // The error's recording, or its line as the text shows it when there is none.
    const std::string gravacao = "\\COMANDOS\\ERROS\\E" + std::to_string(n.codigoErro);
    if (e.fala.existeSom(gravacao)) e.fala.tocaSom(gravacao);
    else falaLinha(e, textosErroNumera[static_cast<size_t>(n.codigoErro)]);
    if (!n.parametroErro.empty()) {
        e.fala.tocaSom(mensagemNumera("M9"));
        e.crt.Delay(300);
        e.fala.soletra(n.parametroErro);
    }
    if (!n.notaErro.empty()) e.fala.falaTexto(n.notaErro);
    e.crt.Delay(200);
    e.fala.tocaSom(mensagemNumera("M4"));
    e.crt.Delay(300);
    e.fala.falaTexto(std::to_string(n.linhaErro));
    e.crt.Delay(1000);
}

void falaVersaoNumera(Editor& e) {
    e.crt.Delay(300);
    e.fala.tocaSom(mensagemNumera("NUMERA"));
    e.fala.soletra(e.numera.versaoNumera);
}
