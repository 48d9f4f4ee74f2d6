#include "mathmode/EDNUMERA.h"

#include <algorithm>

#include "editor/edtela.h"
#include "mathmode/EDNUMERACOMPILA.h"
#include "mathmode/EDNUMERASINTAXES.h"

namespace {

constexpr std::string_view kMensagens = "\\COMANDOS\\MENSAJES\\";
constexpr int kMaxLinha = 255;

std::string mensagemNumera(std::string_view nome) { return std::string(kMensagens) + std::string(nome); }

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
    // The results as the text receives them and the user's copy in the file: the same
    // lines, led by an empty one.
    std::vector<std::string> linhas{std::string()};
    linhas.insert(linhas.end(), resultados.begin(), resultados.end());
    gravaLinhasNumera("resultados.txt", linhas);
    insereResultados(e, std::move(linhas));
    if (n.estadoNumera == 1) {
        e.crt.Delay(500);
        e.fala.tocaOnda(mensagemNumera("M2"), TocadorOnda::Modo::Assincrono);
    } else {
        e.fala.tocaOnda(mensagemNumera(n.estadoNumera == 2 ? "M3" : "M5"), TocadorOnda::Modo::Assincrono);
    }
    redesenhaTela(e);
}

void insereResultados(Editor& e, std::vector<std::string> linhas) {
    EdVars& ed = e.ed;
    const int linhaResultados = e.numera.linhaResultados;
    for (std::string& l : linhas)
        if (l.size() > kMaxLinha) l.resize(kMaxLinha);
    // A results line outside the text (no "\END;" was found) puts them at its nearest end.
    const int antes = std::clamp(linhaResultados - 1, 0, ed.nLinhas());
    if (!linhas.empty() && !ed.insereLinhas(antes + 1, linhas)) e.fala.bip();
    falaErroNumera(e);
    ed.linhaAtual = std::clamp(linhaResultados, 1, ed.nLinhas());
    ed.colunaAtual = 1;
}

void falaErroNumera(Editor& e) {
    const EstadoNumera& n = e.numera;
    if (n.estadoNumera != 2) return;
    e.fala.tocaSom("\\COMANDOS\\ERROS\\E" + std::to_string(n.codigoErro));
    if (!n.parametroErro.empty()) {
        e.fala.tocaSom(mensagemNumera("M9"));
        e.crt.Delay(300);
        e.fala.soletra(n.parametroErro);
    }
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
