#include "editor/edHistorico.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/edVars.h"

namespace {

// A text of `n` lines `largura` characters long, its history begun.
void comLinhas(EdVars& ed, int n, size_t largura) {
    for (int i = 1; i <= n; ++i) ed.texto.insere(i, std::string(largura, 'a'));
    ed.historico.reinicia(ed.texto);
}

// Line 1 becomes `texto` in a command of its own.
void trocaComando(EdVars& ed, const std::string& texto) {
    const PosicaoTexto antes = posicaoTexto(ed);
    ed.trocaLinha(1, texto);
    ed.historico.fechaComando(ed, antes, {});
}

int desfazTudo(EdVars& ed) {
    int n = 0;
    while (ed.historico.desfaz(ed)) ++n;
    return n;
}

TEST(Historico, KeepsTheLastThousandStepsFreedFromTheOldest) {
    EdVars ed;
    comLinhas(ed, 3, 5);
    for (int i = 0; i < 1100; ++i) trocaComando(ed, std::to_string(i));
    EXPECT_EQ(ed.historico.passos(), Historico::kPassos);
    EXPECT_EQ(desfazTudo(ed), 1000);
    EXPECT_EQ(ed.linha(1), "99");  // as the 100th step left it
}

// Large steps: no more than 64 MB are kept, the newest always.
TEST(Historico, KeepsNoMoreThanItsBytes) {
    EdVars ed;
    comLinhas(ed, 300, 255);
    for (int i = 0; i < 1000; ++i) {
        const PosicaoTexto antes = posicaoTexto(ed);
        ed.texto.substitui(1, 300, std::vector<std::string>(300, std::string(255, char('b' + i % 20))));
        ed.historico.fechaComando(ed, antes, {});
        ASSERT_LE(ed.historico.bytes(), Historico::kBytes);
    }
    const size_t passos = ed.historico.passos();
    EXPECT_LT(passos, 1000u);
    EXPECT_GT(passos, 500u);
    EXPECT_EQ(desfazTudo(ed), static_cast<int>(passos));
    EXPECT_EQ(ed.linha(300), std::string(255, char('b' + (999 - passos) % 20)));
}

// Marks the step itself changed come back with it; marks set since stay on their lines.
TEST(Historico, MarksComeBackOrFollowTheirLines) {
    EdVars ed;
    comLinhas(ed, 5, 1);
    ed.inicioBloco = 2;
    ed.fimBloco = 3;
    PosicaoTexto antes = posicaoTexto(ed);
    ed.removeLinhas(2, 2);  // block R
    ed.limpaBloco();
    ed.historico.fechaComando(ed, antes, {});
    ed.historico.desfaz(ed);
    EXPECT_EQ(std::pair(ed.inicioBloco, ed.fimBloco), std::pair(2, 3));
    antes = posicaoTexto(ed);
    ed.linhaAtual = 1;
    ed.insereNaLinhaAtual("nova");
    ed.historico.fechaComando(ed, antes, {});
    ed.inicioBloco = 5;  // marked after the insertion
    ed.fimBloco = 6;
    ed.historico.desfaz(ed);
    EXPECT_EQ(std::pair(ed.inicioBloco, ed.fimBloco), std::pair(4, 5));
}

}  // namespace
