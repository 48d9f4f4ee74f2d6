#include "speech/abreviaturas.h"

#include <gtest/gtest.h>

#include "platform/codigos.h"

namespace {

std::string w(std::string_view utf8) { return utf8ParaWin1252(utf8); }

class ListaAbreviaturas : public ::testing::Test {
  protected:
    void SetUp() override {
        a.carregaTexto(w("; titles, places and endings\nSr=senhor\n Dra = doutora \nav=avenida\n"
                         "etc.=etcétera\nkm.=quilômetros\nsem igual\n=vazia\n"));
    }
    std::string expande(std::string_view utf8) { return win1252ParaUtf8(a.expande(w(utf8))); }
    Abreviaturas a;
};

// What the built-in voice reads: the stop of a title goes with it (no pause), that of an
// ending (listed with its stop) before a capital, or at the end, stays (a sentence's pause).
TEST_F(ListaAbreviaturas, TitlesGoOnTheSentenceAnEndingBeforeACapitalEndsIt) {
    EXPECT_EQ(expande("O Sr. Silva mora na Av. Brasil."), "O senhor Silva mora na avenida Brasil.");
    EXPECT_EQ(expande("A dra. Ana e a DRA. Bia"), "A doutora Ana e a doutora Bia");
    EXPECT_EQ(expande("leite etc. Depois"), "leite etcétera. Depois");
    EXPECT_EQ(expande("leite etc. e mel, etc.\r\n"), "leite etcétera e mel, etcétera.\r\n");
    EXPECT_EQ(expande("5 km. Depois 3km. e o Sr"), "5 quilômetros. Depois 3quilômetros e o senhor");
    // Not listed, not followed by a blank, or a lone letter: as written.
    EXPECT_EQ(expande("a ave. Bela, av.x, s"), "a ave. Bela, av.x, s");
    EXPECT_EQ(expande("s"), "s");
    EXPECT_EQ(*a.expansao("DRA"), "doutora");
    EXPECT_EQ(a.expansao("sem igual"), nullptr);
}

// The sentence rule of the reading commands asks the same list.
TEST_F(ListaAbreviaturas, AFullStopGoesWithTheAbbreviationOnlyInsideASentence) {
    EXPECT_TRUE(a.pontoDeAbreviatura("O Sr", " Silva"));
    EXPECT_TRUE(a.pontoDeAbreviatura("na av", " 7 de Setembro"));
    EXPECT_TRUE(a.pontoDeAbreviatura("na av", " Paulista"));
    EXPECT_FALSE(a.pontoDeAbreviatura("leite etc", " Depois"));
    EXPECT_FALSE(a.pontoDeAbreviatura("leite etc", "  "));
    EXPECT_FALSE(a.pontoDeAbreviatura("O fim", " Depois"));
    EXPECT_FALSE(a.pontoDeAbreviatura("", " Depois"));
    EXPECT_FALSE(Abreviaturas{}.pontoDeAbreviatura("O Sr", " Silva"));
}

}  // namespace
