#include "editor/listaSelecao.h"

#include <gtest/gtest.h>

#include "sessaoEditor.h"

namespace {

// A list of `n` items "item 1".."item n" opened at (10, 5), 20 wide, `altura` high.
void preenche(ListaSelecao& l, int n, int altura = 5) {
    l.abreLista(10, 5, 20, 4, altura);
    for (int i = 1; i <= n; ++i) l.adicionaItem("", "item " + std::to_string(i));
}

TEST(ListaSelecao, PlacementKeepsTheListOnTheScreen) {
    SessaoEditor s("");
    ListaSelecao l(s.editor());
    l.abreLista(70, 20, 30, 4, 10);
    EXPECT_EQ(l.coluna(), 51);  // column + width <= 81
    EXPECT_EQ(l.linha(), 16);   // last row 25
    l.abreLista(5, 3, 200, 4, 60);
    EXPECT_EQ(l.coluna(), 1);
    EXPECT_EQ(l.largura(), 80);
    EXPECT_EQ(l.linha(), 1);
    EXPECT_EQ(l.altura(), 25);
    l.abreLista(-4, -7, 10, 4, 3);
    EXPECT_EQ(l.coluna(), 1);
    EXPECT_EQ(l.linha(), 1);
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
    }
    EXPECT_EQ(crt.tela().caracteres, antes.caracteres);
    EXPECT_EQ(crt.tela().atributos, antes.atributos);
    EXPECT_EQ(crt.WhereX(), 33);
    EXPECT_EQ(crt.WhereY(), 12);
    EXPECT_EQ(crt.atributoTexto(), 0x27);
}

TEST(ListaSelecao, DrawsItemsCutToTheWidthWithTheCurrentHighlighted) {
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
}

TEST(ListaSelecao, MovesByOneTenAndToTheEnds) {
    // 25 items: PgDn 1 -> 11, PgDn -> 21, Up -> 20, Home -> 1, End -> 25, PgUp -> 15,
    // Ctrl+PgUp -> 1, Ctrl+PgDn -> 25.
    SessaoEditor s("{PgDn}{PgDn}{Up}{Home}{End}{PgUp}{Ctrl+PgUp}{Ctrl+PgDn}{Enter}");
    ListaSelecao l(s.editor());
    preenche(l, 25);
    EXPECT_EQ(l.executaLista(), 25);
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"texto item 1", "texto item 11", "texto item 21",
                                           "texto item 20", "texto item 1", "texto item 25",
                                           "texto item 15", "texto item 1", "texto item 25"}));
    EXPECT_EQ(s.rastro().find("bip"), std::string::npos);
}

TEST(ListaSelecao, LeavingByAnEndBeepsAndLeavesNothingChosen) {
    SessaoEditor s("{End}{Down}{Enter}{PgDn}{PgDn}{Up}{Enter}");
    ListaSelecao l(s.editor());
    preenche(l, 4);
    EXPECT_EQ(l.executaLista(), 0);
    EXPECT_EQ(s.rastro(), "texto item 1\ntexto item 4\nbip\n");
    preenche(l, 4);
    EXPECT_EQ(l.executaLista(), 4);  // from past the end, Up comes back to the last
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"bip", "texto item 1", "bip", "texto item 4"}));
}

TEST(ListaSelecao, ScrollsToKeepTheCurrentItemVisible) {
    SessaoEditor s("{PgDn}{Down}{Down}");
    ListaSelecao l(s.editor());
    preenche(l, 30, 5);
    EXPECT_THROW(l.executaLista(), FimDoRoteiro);
    // Item 13 is current on the last row of the list: items 9..13 are shown.
    EXPECT_EQ(s.linhaTelaNoFim(5).substr(9, 6), "item 9");
    EXPECT_EQ(s.linhaTelaNoFim(9).substr(9, 7), "item 13");
    EXPECT_EQ(s.atributoNoFim(10, 9), 0x4E);
}

TEST(ListaSelecao, FirstCharacterSearchGoesForwardThenThroughNothing) {
    SessaoEditor s("aaa{Enter}az{Enter}");
    ListaSelecao l(s.editor());
    l.abreLista(1, 1, 30, 4, 5);
    l.adicionaItem("", "  Alfa");
    l.adicionaItem("", "  beta");
    l.adicionaItem("", "  alvo");
    // "a" from Alfa finds alvo; again finds nothing; again starts from the first.
    EXPECT_EQ(l.executaLista(), 1);
    EXPECT_EQ(s.rastro(), "texto   Alfa\ntexto   alvo\ntexto   Alfa\n");
    l.abreLista(1, 1, 30, 4, 5);
    l.adicionaItem("", "  Alfa");
    EXPECT_EQ(l.executaLista(), 0);            // "z" found nothing: Enter chooses nothing
    EXPECT_EQ(l.ultimoEscolhido(), "  Alfa");  // the last chosen stays
}

TEST(ListaSelecao, RightSpellsRecordingsPlayAndOtherKeysRepeat) {
    SessaoEditor s("{Right}{F5}{code:223}{Down}{Esc}");
    const std::string dir = s.pasta().caminho().string() + "/";
    gravaArquivoTeste(s.pasta() / "EDAJLI3.WAV", "RIFF");
    s.fala().inicializaFala(3, dir);
    ListaSelecao l(s.editor());
    l.abreLista(1, 1, 30, 4, 5);
    l.adicionaItem("EDAJLI2", "  I - insere");
    l.adicionaItem("EDAJLI3", "  A - abaixo");
    EXPECT_EQ(l.executaLista(), 0);
    EXPECT_EQ(s.rastro(),
              "texto   I - insere\nsoletra   I - insere\ntexto   I - insere\nsom EDAJLI3\n");
}

TEST(ListaSelecao, TenThousandItemsAndAnEmptyList) {
    SessaoEditor s("{End}{Enter}{Enter}{Down}{Enter}");
    ListaSelecao l(s.editor());
    preenche(l, 10000, 25);
    EXPECT_EQ(l.executaLista(), 10000);
    EXPECT_EQ(l.ultimoEscolhido(), "item 10000");
    l.abreLista(1, 1, 10, 4, 0);
    EXPECT_EQ(l.executaLista(), 0);
    l.abreLista(1, 1, 10, 4, 0);
    EXPECT_EQ(l.executaLista(), 0);
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"texto item 10000", "bip"}));
}

TEST(ListaSelecao, DestroyedUnrunRestoresTheScreen) {
    SessaoEditor s("");
    s.crt().GotoXY(1, 3);
    s.crt().escreve("por baixo");
    const ModeloTela antes = s.crt().tela();
    {
        ListaSelecao l(s.editor());
        preenche(l, 3);
        l.abreLista(1, 1, 80, 6, 25);  // reopening restores what the first opening saved
    }
    EXPECT_EQ(s.crt().tela().caracteres, antes.caracteres);
    EXPECT_EQ(s.crt().tela().atributos, antes.atributos);
}

}  // namespace
