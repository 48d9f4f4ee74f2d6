#include "editor/edLinha.h"

#include <string>

#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "editor/pendente.h"

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
    if (falar) falaMensagem(e, "EDLINREM");
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

// Needs the line editor of the prompts module.
void alteraLinhasComTexto(Editor& e, bool, bool) {
    comandoPendente(e);
}

void familiaLinhas(Editor& e) {
    falaMensagem(e, "EDOPCAO");
    uint8_t c = leTeclaFalada(e);
    if (c != 27) redesenhaTela(e);
    if (c == 0) c = menuAjuda(e, e.crt.leTecla(), "EDAJLI", 10);
    switch (c) {
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
