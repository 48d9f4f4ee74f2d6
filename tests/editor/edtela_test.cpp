#include "editor/edtela.h"

#include <gtest/gtest.h>

#include "sessao.h"

namespace {

Linhas numeradas(int n) {
    Linhas v;
    for (int i = 1; i <= n; ++i) v.push_back("linha " + std::to_string(i));
    return v;
}

TEST(Deslocamento, StepsOfEightOnlyWhenTheCursorLeavesTheScreen) {
    const int casos[][3] = {{80, 79, 0}, {81, 79, 8},    {100, 79, 24},
                            {40, 39, 0}, {255, 39, 216}, {-7, 79, 0}};
    for (const auto& [coluna, largura, deslocamento] : casos)
        EXPECT_EQ(calculaDeslocamento(coluna, largura), deslocamento) << coluna;
    // Wherever the cursor is, its screen column stays within the visible width.
    for (int largura : {39, 79})
        for (int coluna = 1; coluna <= 2000; ++coluna) {
            const int x = coluna - calculaDeslocamento(coluna, largura);
            ASSERT_GE(x, 1) << coluna;
            ASSERT_LE(x, largura + 1) << coluna;
        }
    EXPECT_EQ(parteVisivel("abcdefghij", 8, 4, false), "ij");
    EXPECT_EQ(parteVisivel("abc", 8, 79, false), "");
    EXPECT_EQ(parteVisivel("a<IN>b<x>c", 0, 79, true), "ab<x>c");
    EXPECT_EQ(parteVisivel("a\rb\nc\ad\be", 0, 79, false), "a b c d e");  // never console commands
}

class Tela : public SessaoEdicao {};

TEST_F(Tela, ColoursOfLinesBlockAndSelection) {
    texto(numeradas(8), 3, 1);
    ed().inicioBloco = 2;
    ed().fimBloco = 4;
    ed().selecaoInicio = 6;
    ed().selecaoFim = 3;  // anchors in either order
    redesenhaTela(e());
    // The text's layout is on the acceptance cases' screens; their colours are not.
    EXPECT_EQ(fundo(1, 12), 5);  // "---- Inicio do texto ----"
    EXPECT_EQ(fundo(30, 12), 0);
    // Lines 1..5: plain, in the block, current in the block, in the block, plain.
    const int letras[] = {15, 2, 10, 2, 15};
    for (int y = 13; y <= 17; ++y) EXPECT_EQ(letra(1, y), letras[y - 13]) << y;
    for (int x = 1; x <= 7; ++x) EXPECT_EQ(fundo(x, 15), x >= 3 && x <= 5 ? 8 : 0) << x;
    EXPECT_EQ(fundo(3, 14), 0);            // only the current line shows the selection
    EXPECT_EQ(crt().atributoTexto(), 15);  // the colours are left at 15 on 0
    ed().fimBloco = 0;
    redesenhaTela(e());
    EXPECT_EQ(letra(1, 15), 14);  // the current line outside a block
}

// The banner, the status and the narrow screen are the tela_banner_status and largura_39
// cases; here their colours, the status after a line redraw and the way back to 80.
TEST_F(Tela, BannerColoursStatusAndWidthBack) {
    texto({std::string(100, 'x'), "b", "c"}, 3, 12);
    configuraTela(e());
    redesenhaTela(e());
    for (int y = 1; y <= 7; ++y) EXPECT_EQ(fundo(80, y), 1) << y;
    EXPECT_EQ(fundo(57, 3), 4);
    ed().linhaAtual = 1;
    ed().colunaAtual = 123;
    atualizaLinhaTela(e());
    EXPECT_EQ(linhaTela(1).substr(65), "L: 1 C:123     ");

    ed().colunaAtual = 1;
    alternaLargura(e());
    EXPECT_TRUE(crt().tela().larguraDupla);  // the window draws 40 columns twice as wide
    alternaLargura(e());
    EXPECT_FALSE(crt().tela().larguraDupla);
    EXPECT_EQ(textoTela(15).size(), 79u);
    EXPECT_EQ(linhaTela(1).substr(65, 8), "L: 1 C: ");
    // The banner keeps its label, yellow on blue to the edge.
    EXPECT_EQ(linhaTela(7).substr(56), "PLUMAR - v.6.1          ");
    EXPECT_EQ(letra(57, 7), 14);
    EXPECT_EQ(fundo(80, 7), 1);
}

TEST_F(Tela, HiddenMarksKeepOtherAngleBracketsAndTheSelection) {
    texto({"a<IN>bold<FN> <nota> fim", "<SF=12>x"}, 1, 1);
    ed().escreveApenasTexto = true;
    ed().selecaoInicio = 6;  // "bold", in the line's own columns
    ed().selecaoFim = 10;
    redesenhaTela(e());
    EXPECT_EQ(textoTela(15), "abold <nota> fim");
    EXPECT_EQ(textoTela(16), "x");
    for (int x = 1; x <= 6; ++x) EXPECT_EQ(fundo(x, 15), x >= 2 && x <= 5 ? 8 : 0) << x;
}

TEST_F(Tela, BadInputStaysOnTheScreen) {
    configuraTela(e());
    const std::string banner2 = linhaTela(2);
    texto({std::string(255, '<'), "x\ny\rz\a\b", ""}, 1, 255);
    ed().larguraTela = 39;
    redesenhaTela(e());
    EXPECT_EQ(ed().deslocamentoTela, 216);
    EXPECT_EQ(crt().tela().cursorColuna + 1, 39);
    EXPECT_EQ(textoTela(15), std::string(39, '<'));
    ed().deslocamentoTela = 0;
    ed().colunaAtual = 1;
    redesenhaTela(e());
    EXPECT_EQ(textoTela(16), "x y z");
    EXPECT_EQ(textoTela(17), "");
    EXPECT_EQ(linhaTela(2), banner2);  // nothing scrolled or wrapped

    ed().larguraTela = 79;
    ed().linhaAtual = 2000000000;
    ed().colunaAtual = 2000000000;
    redesenhaTela(e());
    EXPECT_EQ(linhaTela(1).substr(65), "L:2000000000 C:");  // cut at the row's end
    EXPECT_EQ(linhaTela(2), banner2);
    EXPECT_LE(crt().tela().cursorColuna, 79);

    texto({}, 1, 1);  // an empty text: one empty line
    redesenhaTela(e());
    EXPECT_EQ(textoTela(14), "---- Inicio do texto ----");
    ed().texto.liberaTexto();  // not even that
    redesenhaTela(e());
    EXPECT_EQ(textoTela(15), "");
}

}  // namespace
