#include "programa/despacho.h"

#include <algorithm>
#include <optional>
#include <string>

#include "editor/edArq.h"
#include "editor/edConfig.h"
#include "editor/edCursor.h"
#include "editor/edDesfazer.h"
#include "editor/edLinha.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "editor/commands/edBloco.h"
#include "editor/commands/edBusca.h"
#include "editor/commands/edCalcul.h"
#include "editor/commands/edMargem.h"
#include "editor/commands/edTransf.h"
#include "editor/commands/eddicion.h"
#include "editor/commands/eddoc.h"
#include "editor/pendente.h"
#include "mathmode/EDNUMERA.h"
#include "mathmode/EDNUMERALEITURA.h"
#include "mathmode/EDNUMERAMENU.h"

namespace {

void limpaSelecao(EdVars& ed) { ed.selecaoInicio = ed.selecaoFim = 0; }

template <size_t N>
bool entre(uint8_t scan, const uint8_t (&lista)[N]) {
    return std::find(std::begin(lista), std::end(lista), scan) != std::end(lista);
}

// Scan codes after which the anchors are cleared even with Shift held.
constexpr uint8_t kLimpamSelecao[] = {61, 63, 64, 65, 67, 68, 72, 73, 80, 81, 98, 99, 100, 104, 118, 132};
constexpr uint8_t kRedesenhoTotal[] = {61, 63, 64, 65, 67, 68, 70, 72, 73, 80, 81, 83, 94, 98, 104,
                                       113, 114, 115, 116, 117, 118, 119, 132, 254,
                                       SnCrt::kScanColagem};
constexpr uint8_t kLeLinhaToda[] = {61, 72, 73, 80, 81, 117, 118, 119, 132};
constexpr uint8_t kLeRestoLinha[] = {63, 64, 98};

// The indent of a new line: margemEsquerda - 1 blanks, announced by one click, two when
// there is an indent.
std::string recuoComCliques(Editor& e) {
    e.fala.clique();
    if (e.ed.margemEsquerda > 1) e.fala.clique();
    return std::string(static_cast<size_t>(std::max(0, e.ed.margemEsquerda - 1)), ' ');
}

void versao(Editor& e) {
    e.fala.tocaSom("EDMSGINI");
    e.fala.soletra(PLUMAR_VERSAO);
    falaVersaoNumera(e);
}

void apagaComDel(Editor& e) {
    if (e.crt.modificadores().ctrl) return removeLinha(e, true);
    if (e.ed.selecaoInicio > 0 && e.ed.selecaoFim > 0) return apagaSelecao(e);
    apagaDireita(e, true, true);
}

void ecoOuSaida(Editor& e) {
    if (e.crt.modificadores().alt) terminaEditor(e);  // Alt+F4: leave without saving
    alternaEco(e);
}

// Ctrl+Alt+F9 reviews the screen (the status row, the messages), as in the line editor.
void leituraOuRevisao(Editor& e) {
    if (e.crt.modificadores().alt) return revisaTelaAvisada(e);
    mostraBannerNumera(e);
    leituraLinha(e);
}

// Ctrl+F10: the math mode's banner and its menu's first title, then the menu.
void abreMenuNumera(Editor& e) {
    mostraBannerNumera(e);
    e.fala.tocaSom("\\COMANDOS\\MENU\\F62");
    menuNumera(e);
}

void leAteOFimLimpandoSelecao(Editor& e) {
    leAteOFim(e);
    limpaSelecao(e.ed);
}

void proximaPalavraOuLeitura(Editor& e) {
    if (e.crt.modificadores().alt) return leAteOFimLimpandoSelecao(e);  // Alt+F1 as Ctrl+F11
    proximaPalavra(e);
}

// A braille display's routing key: the cursor to the column pressed, its character said.
void vaiParaRota(Editor& e) {
    if (const std::optional<int> coluna = e.crt.tomaRota()) {
        e.ed.colunaAtual = std::clamp(*coluna, 1, static_cast<int>(TipoTexto::kMaxLinha) + 1);
        const std::string& linha = e.ed.linha(e.ed.linhaAtual);
        const size_t i = static_cast<size_t>(e.ed.colunaAtual - 1);
        e.fala.falaLetra(i < linha.size() ? static_cast<uint8_t>(linha[i]) : ' ');
    }
}

const std::vector<ComandoTecla> kControle = {
    {1, "avancaParagrafo", [](Editor& e) { avancaParagrafo(e, false); }},
    {2, "familiaBlocos", familiaBlocos},
    {3, "copiaParaClipboard", copiaParaClipboard},
    {4, "apagaFimLinha", apagaFimLinha},
    {5, "letraEspecial", letraEspecial},
    {6, "proximaFrase", [](Editor& e) { proximaFrase(e); }},
    {7, "vaiParaLinha", vaiParaLinha},
    {8, "apagaEsquerda", [](Editor& e) { apagaEsquerda(e, true, true); }, "EDAPAGAD"},
    {9, "tabulacao", tabulacao, "EDDIGITA"},
    {10, "teclaCtrlEnter", teclaCtrlEnter, "EDLINSER"},
    {11, "informaColuna", informaColuna},
    {12, "informaLinha", informaLinha},
    {13, "teclaEnter", teclaEnter, "EDLINSER"},
    {14, "informaNome", [](Editor& e) { informaNome(e, false); }},
    {15, "alternaEspacos", alternaEspacos},
    {16, "imprime", imprime},
    {17, "quebraLinha", quebraLinha},
    {18, "recuaParagrafo", [](Editor& e) { recuaParagrafo(e, false); }},
    {19, "apagaInicioLinha", apagaInicioLinha},
    {20, "comandoMargensTabs", comandoMargensTabs},
    {21, "restauraLinha", restauraLinha},
    {22, "colaLinhas", colaLinhas},
    {23, "trocaPorSugestao", trocaPorSugestao, "EDCORRIG"},
    {24, "gravaESai", gravaESai},
    {25, "removeLinha", [](Editor& e) { removeLinha(e, true); }},
    {26, "desfaz", desfaz},
    {28, "tocaDTMF", [](Editor& e) { e.fala.tocaDTMF(e.ed.linha(e.ed.linhaAtual)); }},
    {127, "apagaPalavraEsquerda", apagaPalavraEsquerda, "EDAPAGAD"},
};

const std::vector<ComandoTecla> kEstendida = {
    {23, "informaFormatacao", informaFormatacao},
    {24, "alternaMarcasTela", alternaMarcasTela},
    {33, "insereMarcasFormatacao", insereMarcasFormatacao},
    {34, "geraDoc", geraDoc},
    {44, "refaz", refaz},
    {50, "escolheModoFalaFormatacao", escolheModoFalaFormatacao},
    {59, "proximaPalavra", proximaPalavraOuLeitura},
    {60, "gravaTexto", [](Editor& e) { gravaTexto(e); }},
    {61, "novoArquivo", novoArquivo},
    {62, "alternaEco", ecoOuSaida},
    {63, "procura", procura},
    {64, "procuraTroca", procuraTroca},
    {65, "removeLinha", [](Editor& e) { removeLinha(e, true); }},
    {66, "falaHora", [](Editor& e) { e.fala.falaHora(); }},
    {67, "menuComandos", menuComandos},
    {68, "defineMargens", defineMargens},
    {69, "alternaDicionario", alternaDicionario},
    {70, "executaPalavra", executaPalavra},
    {71, "inicioLinha", inicioLinha},
    {72, "linhaAcima", linhaAcima},
    {73, "paginaAcima", paginaAcima},
    {75, "esquerda", esquerda},
    {77, "direita", direita},
    {79, "fimLinha", fimLinha},
    {80, "linhaAbaixo", linhaAbaixo},
    {81, "paginaAbaixo", paginaAbaixo},
    {82, "alternaEnterInsere", alternaEnterInsere},
    {83, "apagaComDel", apagaComDel, "EDAPAGAD"},
    {94, "restoDaLinha", restoDaLinha},
    {95, "gravaComoOutro", gravaComoOutro},
    {96, "executaOutroEditor", executaOutroEditor},
    {97, "painelConfiguracao", painelConfiguracao},
    {98, "procuraDeNovo", procuraDeNovo},
    {99, "calculadoraLinha", calculadoraLinha, "EDCALCUL"},
    {100, "alternaLargura", alternaLargura},
    {101, "falaData", [](Editor& e) { e.fala.falaData(); }},
    {102, "leituraLinha", leituraOuRevisao},
    {103, "menuNumera", abreMenuNumera, "EDNUMINS"},
    {104, "leAteOFim", leAteOFimLimpandoSelecao},
    {105, "versao", versao},
    {113, "linhaAcimaMesmaColuna", linhaAcimaMesmaColuna},
    {114, "linhaAbaixoMesmaColuna", linhaAbaixoMesmaColuna},
    {115, "palavraEsquerdaFalada", palavraEsquerdaFalada},
    {116, "palavraDireitaFalada", palavraDireitaFalada},
    {117, "fimTexto", fimTexto},
    {118, "fimTexto", fimTexto},
    {119, "inicioTexto", inicioTexto},
    {132, "inicioTexto", inicioTexto},
    {120, "vozSapi", [](Editor& e) { vozSapi(e, 1); }},
    {121, "vozSapi", [](Editor& e) { vozSapi(e, 2); }},
    {122, "vozSapi", [](Editor& e) { vozSapi(e, 3); }},
    {129, "vozPropria", vozPropria},
    {SnCrt::kScanRota, "vaiParaRota", vaiParaRota},
    {SnCrt::kScanUnicode, "digitaUnicode", digitaUnicode, "EDDIGITA"},
    {SnCrt::kScanColagem, "colaDoTerminal", colaDoTerminal},
    {254, "colaNaLinha", colaNaLinha, "EDBLKADC"},
    {255, "copiaSelecao", copiaSelecao},
};

// Runs the command of a key; two beeps when the key has none. How the history groups it:
// runs of one deleting key are one step; the table names the steps of the others.
ComandoHistorico executa(Editor& e, const std::vector<ComandoTecla>& tabela, uint8_t codigo,
                         bool apaga) {
    ComandoHistorico h;
    if (apaga) {
        h.tipo = ComandoHistorico::Tipo::Apagamento;
        h.tecla = codigo;
    }
    if (const ComandoTecla* c = procuraComando(tabela, codigo)) {
        h.rotulo = c->passo;
        c->executa(e);
        return h;
    }
    e.fala.bip();
    e.fala.bip();
    return h;
}

void leituraAutomatica(Editor& e, uint8_t scan) {
    EdVars& ed = e.ed;
    if (!ed.falaAutomatica) return;
    if (entre(scan, kLeLinhaToda) || ed.chegouALinha) return leLinhaDeChegada(e);
    if (!entre(scan, kLeRestoLinha)) return;
    const int coluna = ed.colunaAtual;
    restoDaLinha(e);
    ed.colunaAtual = coluna;
}

}  // namespace

const ComandoTecla* procuraComando(const std::vector<ComandoTecla>& tabela, uint8_t codigo) {
    for (const ComandoTecla& c : tabela)
        if (c.codigo == codigo) return &c;
    return nullptr;
}

const std::vector<ComandoTecla>& tabelaControle() { return kControle; }
const std::vector<ComandoTecla>& tabelaEstendida() { return kEstendida; }

ComandoHistorico despachaControle(Editor& e, uint8_t codigo) {
    EdVars& ed = e.ed;
    if (codigo != 3 && codigo != 22) limpaSelecao(ed);
    ed.chegouALinha = false;
    const ComandoHistorico h = executa(e, kControle, codigo, codigo == 8 || codigo == 127);
    redesenhaTela(e);
    if (ed.chegouALinha) leLinhaDeChegada(e);
    return h;
}

ComandoHistorico despachaEstendida(Editor& e, uint8_t scan) {
    EdVars& ed = e.ed;
    const Modificadores mod = e.crt.modificadores();
    const bool shiftDaTecla = mod.shift;
    const bool shift = shiftDaTecla || scan == 83 || scan == 254 || scan == 255;
    if (!shift || entre(scan, kLimpamSelecao))
        limpaSelecao(ed);
    else if (ed.selecaoInicio <= 0)
        ed.selecaoInicio = ed.colunaAtual;

    inicializaTabelas(e);
    ed.chegouALinha = false;
    // Ctrl+Del removes the line: a step of its own each time.
    const ComandoHistorico h = executa(e, kEstendida, scan, scan == 83 && !mod.ctrl);
    if (scan == 99) return h;  // the calculator answers for itself

    if (shiftDaTecla) ed.selecaoFim = ed.colunaAtual;
    if (entre(scan, kRedesenhoTotal))
        redesenhaTela(e);
    else
        redesenhaLinhaAtual(e);
    leituraAutomatica(e, scan);
    return h;
}

void menuComandos(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJIN",
                                .linhas = 13,
                                .pergunta = "EDCOMAND",
                                .redesenhaAoDesistir = false,
                                .redesenhaAposAjuda = true})) {
        case 'A': familiaArquivos(e); break;
        case 'B': familiaBlocosMenu(e); break;
        case 'C': familiaCursor(e); break;
        case 'E': letraEspecial(e); break;
        case 'F': familiaFala(e); break;
        case 'I': familiaConfiguracao(e); break;
        case 'L': familiaLinhas(e); break;
        case 'M': familiaMargens(e); break;
        case 'P': familiaBusca(e); break;
        case 'W': menuWord(e); break;
        case 'Z': desfaz(e); break;
        case 'R': refaz(e); break;
        case 27: return falaMensagem(e, "EDDESIST");
        default: e.fala.bip(); return;
    }
    redesenhaTela(e);
}

void menuWord(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJFW", .linhas = 6})) {
        case 'G': geraDoc(e); break;
        case 'F': insereMarcasFormatacao(e); break;
        case 'I': informaFormatacao(e); break;
        case 'M': escolheModoFalaFormatacao(e); break;
        case 'O': alternaMarcasTela(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: e.fala.bip();
    }
}

bool confirmaSaida(Editor& e) {
    uint8_t c;
    do {
        falaMensagem(e, "EDCNFSAI");
        c = leResposta(e);
    } while (c != 27 && c != 'N' && c != 'S');
    if (c != 'S') {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    do {
        e.crt.Delay(500);
        falaMensagem(e, "EDQUERSV");
        c = leResposta(e);
    } while (c != 27 && c != 'N' && c != 'S');
    if (c == 27) {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    // A text that could not be saved keeps the editor open: the failure was already said.
    return c == 'N' || gravaTexto(e);
}

void executaOutroEditor(Editor& e) {
    std::string editor = e.fala.leIni("SONARE", "EDITOR");
    if (editor.empty()) editor = "c:\\ornato\\plumar.exe";
    if (e.fala.executaPrograma(editor, "", "") < 32) falaMensagem(e, "EDNEXEC");
}

void teclaEnter(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.dicionarioAtivo) verificaPalavraAnterior(e);
    if (!ed.enterInsereLinha && ed.linhaAtual != ed.nLinhas()) {
        linhaAbaixo(e);
        // Blanks up to the left margin, so the cursor stands there at the line's end. The
        // line is replaced in place: removing and inserting the last line would leave an
        // empty line behind it, and the line Ctrl+U restores would be lost.
        std::string l = ed.linha(ed.linhaAtual);
        const size_t recuo = static_cast<size_t>(std::max(ed.margemEsquerda - 1, 0));
        if (l.size() < recuo) {
            l.resize(recuo, ' ');
            ed.trocaLinha(ed.linhaAtual, l);
        }
        ed.colunaAtual = ed.margemEsquerda;
        return;
    }
    insereLinhaAbaixo(e, recuoComCliques(e), true);
}

void teclaCtrlEnter(Editor& e) {
    std::string recuo = recuoComCliques(e);
    insereLinha(e, recuo, true);
    e.ed.colunaAtual = static_cast<int>(recuo.size()) + 1;
}
