#include "editor/listaSelecao.h"

#include <gtest/gtest.h>

#include <array>

#include "sessao.h"

namespace {

// A list of `n` items "item 1".."item n" opened at (10, 5), 20 wide, `altura` high.
void preenche(ListaSelecao& l, int n, int altura = 5) {
    l.abreLista(10, 5, 20, 4, altura);
    for (int i = 1; i <= n; ++i) l.adicionaItem("", "item " + std::to_string(i));
}

TEST(ListaSelecao, PlacementKeepsTheListOnTheScreen) {
    // asked column, row, width, height; placed column, row, width, height
    const std::array<int, 8> casos[] = {{70, 20, 30, 10, 51, 16, 30, 10},
                                        {5, 3, 200, 60, 1, 1, 80, 25},
                                        {-4, -7, 10, 3, 1, 1, 10, 3}};
    SessaoEditor s("");
    ListaSelecao l(s.editor());
    for (const auto& c : casos) {
        l.abreLista(c[0], c[1], c[2], 4, c[3]);
        EXPECT_EQ((std::array{l.coluna(), l.linha(), l.largura(), l.altura()}),
                  (std::array{c[4], c[5], c[6], c[7]}));
    }
}

TEST(ListaSelecao, ScreenCursorAndAttributeComeBack) {
    SessaoEditor s("{Down}{Enter}");
    SnCrt& crt = s.crt();
    for (int y = 1; y <= 25; ++y) {
        crt.GotoXY(1, y);
        crt.TextColor(y % 16);
        crt.TextBackground(y % 8);
        crt.escreve(std::string(79, static_cast<char>('A' + y)));
    }
    crt.TextColor(7);
    crt.TextBackground(2);
    crt.GotoXY(33, 12);
    const ModeloTela antes = crt.tela();
    {
        ListaSelecao l(s.editor());
        preenche(l, 8);
        EXPECT_EQ(l.executaLista(), 2);
        EXPECT_EQ(l.ultimoEscolhido(), "item 2");
        // Opened and never run, a list puts the screen back as well; opening it again
        // first restores what the first opening saved.
        preenche(l, 3);
        l.abreLista(1, 1, 80, 6, 25);
    }
    EXPECT_EQ(crt.tela().caracteres, antes.caracteres);
    EXPECT_EQ(crt.tela().atributos, antes.atributos);
    EXPECT_EQ(crt.WhereX(), 33);
    EXPECT_EQ(crt.WhereY(), 12);
    EXPECT_EQ(crt.atributoTexto(), 0x27);
}

TEST(ListaSelecao, DrawsItemsCutToTheWidthAndScrollsToTheCurrent) {
    SessaoEditor s("{Down}");
    ListaSelecao l(s.editor());
    l.abreLista(10, 5, 12, 4, 3);
    l.adicionaItem("", "um texto longo demais para a lista");
    l.adicionaItem("", "dois\tcom\x07 controle");
    EXPECT_THROW(l.executaLista(), FimDoRoteiro);  // the script ends with the list open
    EXPECT_EQ(s.linhaTelaNoFim(5).substr(9, 13), "um texto lon ");
    EXPECT_EQ(s.linhaTelaNoFim(6).substr(9, 13), "dois com  co ");
    EXPECT_EQ(s.linhaTelaNoFim(7).substr(9, 12), std::string(12, ' '));
    EXPECT_EQ(s.atributoNoFim(10, 5), 0x4F);  // white on red
    EXPECT_EQ(s.atributoNoFim(10, 6), 0x4E);  // the current item in yellow

    SessaoEditor rola("{PgDn}{Down}{Down}");
    ListaSelecao longa(rola.editor());
    preenche(longa, 30, 5);
    EXPECT_THROW(longa.executaLista(), FimDoRoteiro);
    // Item 13 is current on the last row of the list: items 9..13 are shown.
    EXPECT_EQ(rola.linhaTelaNoFim(5).substr(9, 6), "item 9");
    EXPECT_EQ(rola.linhaTelaNoFim(9).substr(9, 7), "item 13");
    EXPECT_EQ(rola.atributoNoFim(10, 9), 0x4E);
}

}  // namespace
