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
    // A run that writes nothing must not bring back the results of an earlier one.
    esvaziaArquivo("resultados.txt");
    traduzPrograma(e);
    if (n.estadoNumera != 2) {
        executaPrograma(e);
        // The run was abandoned (the user's Esc): reported as a system error.
        if (n.estadoNumera != 1 && n.estadoNumera != 2) {
            n.codigoErro = 5;
            n.estadoNumera = 2;
            anexaResultado(textosErroNumera[5]);
        }
    }
    insereResultados(e);
    if (n.estadoNumera == 1) {
        e.crt.Delay(500);
        e.fala.tocaOnda(mensagemNumera("M2"), TocadorOnda::Modo::Assincrono);
    } else {
        e.fala.tocaOnda(mensagemNumera(n.estadoNumera == 2 ? "M3" : "M5"), TocadorOnda::Modo::Assincrono);
    }
    redesenhaTela(e);
}

void insereResultados(Editor& e) {
    EdVars& ed = e.ed;
    const int linhaResultados = e.numera.linhaResultados;
    std::vector<std::string> linhas = leLinhasNumera(arquivoNumeraLeitura(e, "resultados.txt"));
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
