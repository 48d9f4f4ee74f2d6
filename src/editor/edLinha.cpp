#include "editor/edLinha.h"

#include <algorithm>
#include <string>

#include "editor/edCampo.h"
#include "editor/edCursor.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"

void insereLinha(Editor& e, std::string_view texto, bool falar) {
    if (!e.ed.insereNaLinhaAtual(texto)) e.fala.bip();
    if (falar) falaMensagem(e, "EDLINSER");
}

void insereLinhaAbaixo(Editor& e, std::string_view texto, bool falar) {
    ++e.ed.linhaAtual;
    insereLinha(e, texto, false);
    if (falar && e.ed.linhaAtual != e.ed.nLinhas()) falaMensagem(e, "EDLINSER");
}

void removeLinha(Editor& e, bool falar) {
    bool ultima = e.ed.removeLinhaAtual();
    if (ultima && falar) e.fala.bip();
    if (!falar) return;
    falaMensagem(e, "EDLINREM");
    e.ed.chegouALinha = true;
}

void restauraLinha(Editor& e) {
    if (e.ed.linhaRemovida.empty()) return e.fala.bip();
    std::string texto = std::move(e.ed.linhaRemovida);
    e.ed.linhaRemovida.clear();
    insereLinha(e, texto, true);
}

void quebraLinha(Editor& e) {
    EdVars& ed = e.ed;
    const std::string atual = ed.linha(ed.linhaAtual);
    if (ed.colunaAtual <= 1) {
        insereLinha(e, "", false);
        ++ed.linhaAtual;
    } else if (ed.colunaAtual <= static_cast<int>(atual.size())) {
        const size_t corte = static_cast<size_t>(ed.colunaAtual - 1);
        ed.trocaLinha(ed.linhaAtual, atual.substr(0, corte));
        ++ed.linhaAtual;
        insereLinha(e, atual.substr(corte), false);
    } else {
        return juntaLinhas(e);
    }
    ed.colunaAtual = 1;
    falaMensagem(e, "EDLINQUE");
}

void juntaLinhas(Editor& e) {
    EdVars& ed = e.ed;
    // On the last line there is nothing to join: the refusal is heard.
    if (ed.linhaAtual >= ed.nLinhas()) return e.fala.bip();
    const std::string& a = ed.linha(ed.linhaAtual);
    const std::string& b = ed.linha(ed.linhaAtual + 1);
    if (a.size() + b.size() >= 251) return falaMensagem(e, "EDLGRAND");
    const std::string junta = a + " " + b;
    ed.trocaLinha(ed.linhaAtual, junta);
    ed.retiraLinha(ed.linhaAtual + 1);
    falaMensagem(e, "EDLINJUN");
}

bool insereTextoNaLinha(Editor& e, std::string_view texto) {
    EdVars& ed = e.ed;
    std::string l = ed.linha(ed.linhaAtual);
    const size_t pos = static_cast<size_t>(std::max(1, ed.colunaAtual) - 1);
    // What would not fit in the line is refused rather than cut off its end.
    if (std::max(pos, l.size()) + texto.size() > TipoTexto::kMaxLinha) {
        e.fala.bip();
        return false;
    }
    if (l.size() < pos) l.resize(pos, ' ');
    l.insert(pos, texto);
    // The line is replaced in place: removing and inserting it again would add an empty
    // line after the last one, forget a position memorised on it and lose the line that
    // Ctrl+U restores.
    ed.trocaLinha(ed.linhaAtual, l);
    ed.colunaAtual = static_cast<int>(pos + texto.size()) + 1;
    return true;
}

uint8_t pedeTodoOuBloco(Editor& e) {
    uint8_t c;
    do {
        falaMensagem(e, "EDTODBLK");
        c = leTeclaFalada(e);
        // An extended key answers nothing; its scan code must not count as a letter.
        if (c == 0 && e.crt.teclaPressionada()) e.crt.leTecla();
    } while (c != 27 && c != 'T' && c != 'B');
    return c;
}

namespace {

// Asks for the text, one screen row after another until the field is left with Enter or
// Esc; empty when the user gave up.
std::string pedeTexto(Editor& e, bool excluir) {
    std::string texto;
    FimCampo fim;
    do {
        falaMensagem(e, excluir ? "EDQUATRE" : "EDTXTPRC");
        Campo campo;
        campo.linha = e.crt.WhereY();
        fim = editaCampo(e, texto, campo);
        e.crt.GotoXY(1, std::min(campo.linha + 1, SnCrt::kLinhas));
    } while (fim.estendida || (fim.tecla != 13 && fim.tecla != 27));
    if (fim.tecla == 27) return {};
    // The field drops trailing blanks; those typed before Enter belong to the text ("> ").
    if (fim.coluna - 1 > static_cast<int>(texto.size()))
        texto.resize(std::min(static_cast<size_t>(fim.coluna - 1), TipoTexto::kMaxLinha), ' ');
    return texto;
}

// The lines to change: the whole text (T) or the marked block (B). False when the user
// gave up or the block is not valid, the reason already spoken.
bool pedeFaixa(Editor& e, int& de, int& ate) {
    const EdVars& ed = e.ed;
    const uint8_t c = pedeTodoOuBloco(e);
    if (c == 27) {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    de = c == 'T' ? 1 : std::max(ed.inicioBloco, 1);
    ate = c == 'T' ? ed.nLinhas() : std::min(ed.fimBloco, ed.nLinhas());
    if (c == 'B' && (ed.fimBloco < ed.inicioBloco || ate < de)) {
        falaMensagem(e, "EDBLKINV");
        return false;
    }
    return true;
}

}  // namespace

void alteraLinhasComTexto(Editor& e, bool noInicio, bool excluir) {
    EdVars& ed = e.ed;
    std::string texto = pedeTexto(e, excluir);
    if (texto.find_first_not_of(' ') == std::string::npos) return falaMensagem(e, "EDDESIST");
    int de = 1, ate = 0;
    if (!pedeFaixa(e, de, ate)) return;
    const bool soNoInicio = excluir && texto.back() == '*';
    if (soNoInicio) texto.pop_back();
    // "*" alone would match every line: nothing to look for.
    if (texto.empty()) return falaMensagem(e, "EDDESIST");

    int lembrada = ed.linhaAtual;
    bool naoCoube = false;
    for (int i = ate; i >= de; --i) {
        const std::string l = ed.linha(i);
        if (linhaEmBranco(l)) continue;
        if (excluir) {
            const bool tem =
                soNoInicio ? l.rfind(texto, 0) == 0 : l.find(texto) != std::string::npos;
            if (!tem) continue;
            ed.retiraLinha(i);
            if (i <= lembrada) --lembrada;
        } else if (l.size() + texto.size() > TipoTexto::kMaxLinha) {
            naoCoube = true;  // the line keeps its text rather than lose its end
        } else {
            ed.trocaLinha(i, noInicio ? texto + l : l + texto);
        }
    }
    ed.linhaAtual = std::clamp(lembrada, 1, ed.nLinhas());
    if (naoCoube) e.fala.bip();
    falaMensagem(e, "EDOK");
}

void familiaLinhas(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJLI", .linhas = 10, .redesenhaAoDesistir = false})) {
        case 'I':
            insereLinha(e, "", true);
            break;
        case 'A':
        case 'N':
            insereLinhaAbaixo(e, "", true);
            break;
        case 'R':
            removeLinha(e, true);
            break;
        case 'V':
            restauraLinha(e);
            break;
        case 'Q':
            quebraLinha(e);
            break;
        case 'J':
            juntaLinhas(e);
            break;
        case 'E':
            alteraLinhasComTexto(e, false, true);
            break;
        case 'S':
            alteraLinhasComTexto(e, true, false);
            break;
        case 'D':
            alteraLinhasComTexto(e, false, false);
            break;
        case 27:
            return falaMensagem(e, "EDDESIST");
        default:
            break;
    }
    redesenhaTela(e);
}
