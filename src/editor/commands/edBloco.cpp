#include "editor/commands/edBloco.h"

#include <algorithm>
#include <string>
#include <vector>

#include "editor/commands/edMargem.h"
#include "editor/commands/edTransf.h"
#include "editor/commands/eddicion.h"
#include "editor/commands/edembel.h"
#include "editor/commands/snDDE.h"
#include "editor/edMensag.h"
#include "platform/texto.h"

namespace {

constexpr uint8_t kEsc = 27;

// Commands that need a block say "EDBLKINV" and do nothing without one.
bool exigeBloco(Editor& e) {
    if (blocoValido(e.ed)) return true;
    falaMensagem(e, "EDBLKINV");
    return false;
}

// Move and copy put the block before the cursor line, which must lie outside it.
bool exigeAlvoFora(Editor& e) {
    if (!exigeBloco(e)) return false;
    const EdVars& ed = e.ed;
    if (ed.linhaAtual < ed.inicioBloco || ed.linhaAtual > ed.fimBloco) return true;
    falaMensagem(e, "EDBLKINV");
    return false;
}

bool emBranco(std::string_view linha) { return aparaControles(linha).empty(); }

// Runs the command of `letra`; false when no command has that letter.
bool executaLetra(Editor& e, uint8_t letra) {
    switch (letra) {
        case 'I': marcaInicioBloco(e); break;
        case 'F': marcaFimBloco(e); break;
        case 'M': moveBloco(e); break;
        case 'C': copiaBloco(e); break;
        case 'A': adicionaBlocoArquivo(e); break;
        case 'O': ordenaBloco(e); break;
        case 'R': removeBloco(e); break;
        case 'D': desmarcaBloco(e); break;
        case 'L': leArquivoBloco(e); break;
        case 'G': gravaBloco(e); break;
        case 'E':
            if (exigeBloco(e)) menuEmbeleza(e);
            break;
        case 'P': paragrafoViraBloco(e); break;
        case 'J': justificaParagrafo(e); break;
        case 'U': menuConversao(e); break;
        case 'B': removeLinhasEmBranco(e); break;
        case 'T': selecionaTudo(e); break;
        case 'V':
            if (exigeBloco(e)) verificaBloco(e);
            break;
        case 'X':
            if (exigeBloco(e)) decodificaBloco(e);
            break;
        case 'S': enviaBlocoServidor(e); break;
        case 'W': copiaBlocoWord(e); break;
        default: return false;
    }
    return true;
}

// The block family's question: the letter typed, or the one chosen in the help list an
// extended key opens (Esc when none was chosen).
uint8_t perguntaLetra(Editor& e, std::string_view pergunta) {
    falaMensagem(e, pergunta);
    const uint8_t c = leTeclaFalada(e);
    if (c != 0) return c;
    return menuAjuda(e, e.crt.leTecla(), "EDAJBL", 21);
}

}  // namespace

void familiaBlocos(Editor& e) {
    if (!executaLetra(e, perguntaLetra(e, "EDCMDBLK"))) falaMensagem(e, "EDDESIST");
}

void familiaBlocosMenu(Editor& e) {
    const uint8_t c = perguntaLetra(e, "EDOPCAO");
    if (c == kEsc) return falaMensagem(e, "EDDESIST");
    if (!executaLetra(e, c)) e.fala.bip();
}

bool blocoValido(const EdVars& ed) {
    return ed.blocoMarcado() && ed.fimBloco <= ed.nLinhas();
}

std::pair<int, int> paragrafoDoCursor(const EdVars& ed) {
    int inicio = ed.linhaAtual, fim = ed.linhaAtual;
    while (inicio >= 2 && !ed.texto.vista(inicio - 1).empty()) --inicio;
    while (fim < ed.nLinhas() && !ed.texto.vista(fim + 1).empty()) ++fim;
    return {inicio, fim};
}

void marcaInicioBloco(Editor& e) {
    e.ed.inicioBloco = e.ed.linhaAtual;
    falaMensagem(e, "EDINIBLK");
}

void marcaFimBloco(Editor& e) {
    e.ed.fimBloco = e.ed.linhaAtual;
    falaMensagem(e, "EDFIMBLK");
}

void desmarcaBloco(Editor& e) {
    e.ed.limpaBloco();
    falaMensagem(e, "EDBLKDSM");
}

void selecionaTudo(Editor& e) {
    e.ed.inicioBloco = 1;
    e.ed.fimBloco = e.ed.nLinhas();
    falaMensagem(e, "EDBLKMAR");
}

void paragrafoViraBloco(Editor& e) {
    std::tie(e.ed.inicioBloco, e.ed.fimBloco) = paragrafoDoCursor(e.ed);
    falaMensagem(e, "EDBLKPAR");
}

void justificaParagrafo(Editor& e) {
    std::tie(e.ed.inicioBloco, e.ed.fimBloco) = paragrafoDoCursor(e.ed);
    acertaMargens(e, false);
    e.ed.limpaBloco();
    falaMensagem(e, "EDJUSTIF");
}

// The lines are moved as one piece, with the same result as moving them one at a time
// from the block's end to the cursor line: the block covers them before the line that
// held the cursor, the cursor and the memorised line on their first line. The text's
// last line can only be emptied, so a block that ended there leaves an empty line at the
// end.
void moveBloco(Editor& e) {
    if (!exigeAlvoFora(e)) return;
    EdVars& ed = e.ed;
    const int inicio = ed.inicioBloco, n = ed.fimBloco - ed.inicioBloco + 1;
    const bool ateOFim = ed.fimBloco == ed.nLinhas();
    ed.linhaRemovida = ed.linha(inicio);  // the last line the one-by-one move removes
    ed.texto.move(inicio, n, ed.linhaAtual);
    if (ateOFim && !ed.texto.insere(ed.nLinhas() + 1, "")) e.fala.bip();
    const int alvo = ed.linhaAtual < inicio ? ed.linhaAtual : ed.linhaAtual - n;
    ed.inicioBloco = alvo;
    ed.fimBloco = alvo + n - 1;
    ed.linhaMemorizada = alvo;
    ed.linhaAtual = alvo;
    ed.colunaAtual = 1;
    falaMensagem(e, "EDBLKMOV");
}

// The copies go before the cursor line in the block's order; the marks stay on the
// copied-from lines and the cursor on the first copy.
void copiaBloco(Editor& e) {
    if (!exigeAlvoFora(e)) return;
    EdVars& ed = e.ed;
    std::vector<std::string> copias;
    copias.reserve(static_cast<size_t>(ed.fimBloco - ed.inicioBloco + 1));
    for (int i = ed.inicioBloco; i <= ed.fimBloco; ++i) copias.emplace_back(ed.texto.vista(i));
    if (!ed.insereLinhas(ed.linhaAtual, copias)) e.fala.bip();
    ed.colunaAtual = static_cast<int>(copias.front().size()) + 1;
    falaMensagem(e, "EDBLKCPY");
}

void removeBloco(Editor& e) {
    if (!exigeBloco(e)) return;
    EdVars& ed = e.ed;
    const int n = ed.fimBloco - ed.inicioBloco + 1;
    const bool ateOFim = ed.fimBloco == ed.nLinhas();
    ed.linhaAtual = ed.inicioBloco;
    ed.removeLinhas(ed.linhaAtual, n);
    if (ateOFim) ed.removeLinhaAtual();  // the text's last line is emptied instead
    ed.colunaAtual = 1;
    falaMensagem(e, "EDBLKREM");
    ed.limpaBloco();
    ed.chegouALinha = true;
}

// From the block's end up to its start (as many steps as it had lines), each blank line
// goes with the blank lines that follow it, past the block's end too, but never the
// text's last line; one click for each blank line found.
void removeLinhasEmBranco(Editor& e) {
    if (!exigeBloco(e)) return;
    EdVars& ed = e.ed;
    const int passos = ed.fimBloco - ed.inicioBloco + 1;
    ed.historico.nomeia("EDBLKBRA");
    for (int k = ed.fimBloco, p = 0; p < passos; --k, ++p) {
        if (!emBranco(ed.texto.vista(k))) continue;
        int n = 0;
        while (k + n < ed.nLinhas() && emBranco(ed.texto.vista(k + n))) ++n;
        ed.linhaAtual = k;
        ed.removeLinhas(k, n);
        e.fala.clique();
    }
    ed.linhaAtual = std::clamp(ed.inicioBloco, 1, ed.nLinhas());
    ed.colunaAtual = 1;
}

void ordenaBloco(Editor& e) {
    if (!exigeBloco(e)) return;
    EdVars& ed = e.ed;
    std::vector<std::string> formas;
    formas.reserve(static_cast<size_t>(ed.fimBloco - ed.inicioBloco + 1));
    for (int i = ed.inicioBloco; i <= ed.fimBloco; ++i)
        formas.push_back(formaBusca(ed.texto.vista(i)));
    ed.texto.reordena(ed.inicioBloco, ordemDaTroca(formas));
    falaMensagem(e, "EDBLKORD");
}
