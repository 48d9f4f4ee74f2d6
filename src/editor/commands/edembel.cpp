#include "editor/commands/edembel.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>

#include "editor/commands/edMargem.h"
#include "editor/edCampo.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"

namespace {

constexpr size_t kMaxLinha = TipoTexto::kMaxLinha;

std::string_view semBrancosNoInicio(std::string_view l) {
    return l.substr(std::min(l.find_first_not_of(' '), l.size()));
}

std::string_view semBrancosNoFim(std::string_view l) {
    return l.substr(0, l.find_last_not_of(' ') + 1);
}

// `brancos` blanks and then `t`, the blanks cut so that no character of `t` is lost.
std::string comRecuo(size_t brancos, std::string_view t) {
    std::string r(std::min(brancos, kMaxLinha - std::min(t.size(), kMaxLinha)), ' ');
    r.append(t);
    return r;
}

// Rewrites every line of the block in place with `muda`; the marks stay, the cursor goes
// to the block's first line, column 1, and `mensagem` is said.
void mudaLinhasDoBloco(Editor& e, const std::function<std::string(std::string_view)>& muda,
                       std::string_view mensagem) {
    EdVars& ed = e.ed;
    const int ate = std::min(ed.fimBloco, ed.nLinhas());
    for (int i = ed.inicioBloco; i <= ate; ++i) ed.trocaLinha(i, muda(ed.texto.vista(i)));
    ed.linhaAtual = ed.inicioBloco;
    ed.colunaAtual = 1;
    falaMensagem(e, mensagem);
}

void centraBloco(Editor& e) {
    const int centro = (e.ed.margemEsquerda + e.ed.margemDireita) / 2;
    mudaLinhasDoBloco(
        e,
        [centro](std::string_view l) {
            const std::string_view t = semBrancosNoFim(semBrancosNoInicio(l));
            if (t.empty()) return std::string(static_cast<size_t>(std::max(centro - 1, 0)), ' ');
            const int p = std::max(centro - static_cast<int>(t.size()) / 2, 1);
            return comRecuo(static_cast<size_t>(p - 1), t);
        },
        "EDBLKCNT");
}

// A number asked with `pergunta`; an empty answer is 0.
int pedeNumero(Editor& e, std::string_view pergunta) {
    falaMensagem(e, pergunta);
    return leNumeroFalado(e, 0);
}

void tabulaBloco(Editor& e) {
    const int n = pedeNumero(e, "EDCOLMAR");
    if (n < 1) return falaMensagem(e, "EDDESIST");
    mudaLinhasDoBloco(
        e,
        [n](std::string_view l) {
            return comRecuo(static_cast<size_t>(n - 1), semBrancosNoInicio(l));
        },
        "EDBLKTAB");
}

void indentaBloco(Editor& e) {
    const int n = pedeNumero(e, "EDNCLIND");
    if (n == 0) return falaMensagem(e, "EDDESIST");
    mudaLinhasDoBloco(
        e,
        [n](std::string_view l) {
            if (n > 0) return comRecuo(static_cast<size_t>(n), l);
            const size_t brancos = std::min(l.find_first_not_of(' '), l.size());
            return std::string(l.substr(std::min(brancos, static_cast<size_t>(-(n + 1)) + 1)));
        },
        "EDBLKALI");
}

// A paragraph's first line after a fill: its first esquerda + 1 characters (all of them
// when it is shorter) are blanks.
bool comecaParagrafo(std::string_view l, int esquerda) {
    return semBrancosNoInicio(l.substr(0, static_cast<size_t>(esquerda) + 1)).empty();
}

// Fill, then every line that is followed by more of its paragraph reaches the right
// margin.
void alinhaBloco(Editor& e) {
    EdVars& ed = e.ed;
    acertaMargens(e, false);
    const int esq = ed.margemEsquerda, dir = ed.margemDireita;
    for (int i = ed.inicioBloco; i <= ed.fimBloco && i < ed.nLinhas(); ++i) {
        const std::string_view l = ed.texto.vista(i), seguinte = ed.texto.vista(i + 1);
        if (static_cast<int>(l.size()) >= dir || seguinte.empty() || comecaParagrafo(seguinte, esq))
            continue;
        ed.trocaLinha(i, justificaLinha(std::string(l), esq, dir));
    }
    ed.linhaAtual = ed.inicioBloco;
    ed.colunaAtual = 1;
    falaMensagem(e, "EDBLKALI");
}

}  // namespace

std::string justificaLinha(std::string l, int esquerda, int direita) {
    const size_t fim = l.find_last_not_of(' ');
    if (fim == std::string::npos) return l;  // blanks only: left alone
    l.resize(fim + 1);
    const size_t alvo = static_cast<size_t>(std::clamp(direita, 1, static_cast<int>(kMaxLinha)));
    // s0, 0-based: the first non-blank at or after the left margin.
    const size_t s0 = l.find_first_not_of(' ', static_cast<size_t>(std::max(esquerda, 1) - 1));
    if (l.size() >= alvo || s0 == std::string::npos || l.find(' ', s0 + 1) == std::string::npos)
        return l;
    // Passes from the right: each blank met gets one more after it; a pass that ends before
    // the line is long enough is followed by another.
    for (;;) {
        // p, 1-based, from the length - 1 down to the position after the first non-blank.
        for (size_t p = l.size() - 1; p > s0 + 1; --p) {
            if (l[p - 1] != ' ') continue;
            l.insert(p, 1, ' ');
            if (l.size() == alvo) return l;
        }
    }
}

void menuEmbeleza(Editor& e) {
    // Marks left past the end of the text by deletions mark nothing either.
    if (!e.ed.blocoMarcado() || e.ed.inicioBloco > e.ed.nLinhas())
        return falaMensagem(e, "EDBLKINV");
    switch (perguntaFamilia(e, {.ajuda = "EDAJEM", .linhas = 6})) {
        case 'C': centraBloco(e); break;
        case 'M': acertaMargens(e, true); break;
        case 'A': alinhaBloco(e); break;
        case 'T': tabulaBloco(e); break;
        case 'I': indentaBloco(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: e.fala.bip(); break;
    }
}
