#include "console/despacho.h"

#include <algorithm>
#include <string>

#include "editor/edArq.h"
#include "editor/edConfig.h"
#include "editor/edCursor.h"
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

namespace {

void limpaSelecao(EdVars& ed) { ed.selecaoInicio = ed.selecaoFim = 0; }

template <size_t N>
bool entre(uint8_t scan, const uint8_t (&lista)[N]) {
    return std::find(std::begin(lista), std::end(lista), scan) != std::end(lista);
}

// Scan codes after which the anchors are cleared even with Shift held.
constexpr uint8_t kLimpamSelecao[] = {61, 63, 64, 65, 67, 68, 72, 73, 80, 81, 98, 99, 100, 104, 118, 132};
constexpr uint8_t kRedesenhoTotal[] = {61, 63, 64, 65, 67, 68, 70, 72, 73, 80, 81, 83, 94, 98, 104,
                                       113, 114, 115, 116, 117, 118, 119, 132, 254};
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
    e.fala.soletra("6.1");
    e.crt.Delay(300);
    e.fala.tocaSom("\\COMANDOS\\MENSAJES\\NUMERA");
    e.fala.soletra(versaoNumera());
}

void apagaComDel(Editor& e) {
    if (e.crt.modificadores().ctrl) return removeLinha(e, true);
    if (e.ed.selecaoInicio > 0 && e.ed.selecaoFim > 0) return apagaSelecao(e);
    apagaCaractere(e);
}

void alternaOpcao(Editor& e, bool& opcao, const char* liga, const char* desliga) {
    opcao = !opcao;
    falaMensagem(e, opcao ? liga : desliga);
}

// Runs the command of an extended key; false when the key has none.
bool executaEstendida(Editor& e, uint8_t scan, bool alt) {
    EdVars& ed = e.ed;
    switch (scan) {
        case 23: falaFormatacaoCursor(e); break;
        case 24: alternaMarcasTela(e); break;
        case 33: insereMarcasFormatacao(e); break;
        case 34: geraDoc(e); break;
        case 50: escolheModoFalaFormatacao(e); break;
        case 59:
            if (alt) return executaEstendida(e, 104, false);
            falaProximaPalavra(e);
            break;
        case 60: gravaTexto(e); break;
        case 61:
            novoArquivo(e);
            ed.limpaBloco();
            break;
        case 62:
            if (alt) terminaEditor(e);
            alternaOpcao(e, ed.ecoDigitacao, "EDSOLETR", "EDNSOLET");
            break;
        case 63: procura(e); break;
        case 64: procuraTroca(e); break;
        case 65: removeLinha(e, true); break;
        case 66: e.fala.falaHora(); break;
        case 67: menuComandos(e); break;
        case 68: defineMargens(e); break;
        case 69: alternaDicionario(e); break;
        case 70: executaPalavraCursor(e); break;
        case 71:
            ed.colunaAtual = 1;
            e.fala.clique();
            break;
        case 72: linhaAnterior(e); break;
        case 73: sobePagina(e); break;
        case 75: caractereEsquerda(e); break;
        case 77: caractereDireita(e); break;
        case 79:
            ed.colunaAtual = static_cast<int>(ed.linha(ed.linhaAtual).size()) + 1;
            e.fala.clique();
            break;
        case 80: proximaLinha(e); break;
        case 81: descePagina(e); break;
        case 82: alternaOpcao(e, ed.enterInsereLinha, "EDENTINS", "EDENTNIN"); break;
        case 83: apagaComDel(e); break;
        case 94: leRestoLinha(e); break;
        case 95: gravaComoOutro(e); break;
        case 96: executaOutroEditor(e); break;
        case 97: painelConfiguracao(e); break;
        case 98: procuraDeNovo(e); break;
        case 99: calculadoraLinha(e); break;
        case 100: mudaLarguraTela(e); break;
        case 101: e.fala.falaData(); break;
        case 102: leituraLinha(e); break;
        case 103: menuNumera(e); break;
        case 104:
            leAteFim(e);
            limpaSelecao(ed);
            break;
        case 105: versao(e); break;
        case 113: linhaAnteriorMesmaColuna(e); break;
        case 114: proximaLinhaMesmaColuna(e); break;
        case 115: palavraEsquerda(e); break;
        case 116: palavraDireita(e); break;
        case 117:
        case 118: fimTexto(e); break;
        case 119:
        case 132: inicioTexto(e); break;
        case 120:
        case 121:
        case 122: vozSapi(e, scan - 119); break;
        case 129: vozPropria(e); break;
        case 254: colaNaLinha(e); break;
        case 255: copiaSelecao(e); break;
        default: return false;
    }
    return true;
}

void leituraAutomatica(Editor& e, uint8_t scan) {
    EdVars& ed = e.ed;
    const int coluna = ed.colunaAtual;
    if (entre(scan, kLeLinhaToda)) {
        if (!ed.linha(ed.linhaAtual).empty())
            falaLinha(e);
        else if (!e.crt.teclaPressionada())
            e.fala.bip();
    } else if (entre(scan, kLeRestoLinha)) {
        leRestoLinha(e);
    }
    ed.colunaAtual = coluna;
}

}  // namespace

void despachaControle(Editor& e, uint8_t codigo) {
    EdVars& ed = e.ed;
    if (codigo != 3 && codigo != 22) limpaSelecao(ed);
    switch (codigo) {
        case 1: proximoParagrafo(e); break;
        case 2: familiaBlocos(e); break;
        case 3: copiaParaClipboard(e); break;
        case 4: apagaAteFim(e); break;
        case 5: letrasEspeciais(e); break;
        case 6: leProximaFrase(e); break;
        case 7: vaiParaLinha(e); break;
        case 8: apagaAnterior(e); break;
        case 9: tabulacao(e); break;
        case 10: teclaCtrlEnter(e); break;
        case 11: falaColuna(e); break;
        case 12: falaNumeroLinha(e); break;
        case 13: teclaEnter(e); break;
        case 14: informaNome(e, false); break;
        case 15:
            ed.falaEspacos = !ed.falaEspacos;
            e.fala.bip();
            break;
        case 16: imprime(e); break;
        case 17: quebraLinha(e); break;
        case 18: paragrafoAnterior(e); break;
        case 19: apagaAteInicio(e); break;
        case 20: comandoMargensTabs(e); break;
        case 21: restauraLinha(e); break;
        case 22: colaLinhas(e); break;
        case 23: trocaPorSugestao(e); break;
        case 24:
            gravaTexto(e);
            terminaEditor(e);
        case 25: removeLinha(e, true); break;
        case 28: e.fala.tocaDTMF(ed.linha(ed.linhaAtual)); break;
        case 127: apagaPalavraAnterior(e); break;
        default:
            e.fala.bip();
            e.fala.bip();
    }
    redesenhaTela(e);
}

void despachaEstendida(Editor& e, uint8_t scan) {
    EdVars& ed = e.ed;
    const Modificadores mod = e.crt.modificadores();
    const bool shiftDaTecla = mod.shift;
    const bool shift = shiftDaTecla || scan == 83 || scan == 254 || scan == 255;
    if (!shift || entre(scan, kLimpamSelecao))
        limpaSelecao(ed);
    else if (ed.selecaoInicio <= 0)
        ed.selecaoInicio = ed.colunaAtual;

    inicializaTabelas(e);
    if (!executaEstendida(e, scan, mod.alt)) {
        e.fala.bip();
        e.fala.bip();
    }
    if (scan == 99) return;  // the calculator answers for itself

    if (shiftDaTecla) ed.selecaoFim = ed.colunaAtual;
    if (entre(scan, kRedesenhoTotal))
        redesenhaTela(e);
    else
        redesenhaLinhaAtual(e);
    if (ed.falaAutomatica) leituraAutomatica(e, scan);
}

void menuComandos(Editor& e) {
    falaMensagem(e, "EDCOMAND");
    uint8_t c = leTeclaFalada(e);
    if (c != 27) redesenhaTela(e);
    if (c == 0) {
        c = menuAjuda(e, e.crt.leTecla(), "EDAJIN", 11);
        if (c != 27) redesenhaTela(e);
    }
    switch (c) {
        case 'A': familiaArquivos(e); break;
        case 'B': familiaBlocos(e); break;
        case 'C': familiaCursor(e); break;
        case 'E': letrasEspeciais(e); break;
        case 'F': familiaLeitura(e); break;
        case 'I': familiaConfiguracao(e); break;
        case 'L': familiaLinhas(e); break;
        case 'M': familiaMargens(e); break;
        case 'P': familiaBusca(e); break;
        case 'W': menuWord(e); break;
        case 27: return falaMensagem(e, "EDDESIST");
        default: e.fala.bip(); return;
    }
    redesenhaTela(e);
}

void menuWord(Editor& e) {
    falaMensagem(e, "EDOPCAO");
    uint8_t c = leTeclaFalada(e);
    redesenhaTela(e);
    if (c == 0) c = menuAjuda(e, e.crt.leTecla(), "EDAJFW", 6);
    switch (c) {
        case 'G': geraDoc(e); break;
        case 'F': insereMarcasFormatacao(e); break;
        case 'I': falaFormatacaoCursor(e); break;
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
        c = leTeclaFalada(e);
    } while (c != 27 && c != 'N' && c != 'S');
    if (c != 'S') {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    do {
        e.crt.Delay(500);
        falaMensagem(e, "EDQUERSV");
        c = leTeclaFalada(e);
    } while (c != 27 && c != 'N' && c != 'S');
    if (c == 27) {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    if (c == 'S') gravaTexto(e);
    return true;
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
        proximaLinha(e);
        std::string l = ed.linha(ed.linhaAtual);
        if (static_cast<int>(l.size()) < ed.margemEsquerda)
            l.resize(static_cast<size_t>(ed.margemEsquerda), ' ');
        ed.trocaLinha(ed.linhaAtual, l);
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
