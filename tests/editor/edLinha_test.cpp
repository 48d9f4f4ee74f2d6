#include "editor/edLinha.h"

#include <algorithm>

#include "sessaoEdicao.h"

namespace {

using Linhas = std::vector<std::string>;

// ---- Splitting and joining ----

class QuebraJunta : public SessaoEdicao {};

TEST_F(QuebraJunta, AtColumnOneAnEmptyLineGoesAbove) {
    texto({"1", "2", "3", "4", "quinta", "6"}, 5, 1);
    quebraLinha(e());
    EXPECT_EQ(ed().linha(5), "");
    EXPECT_EQ(ed().linha(6), "quinta");
    EXPECT_EQ(ed().linhaAtual, 6);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ed().nLinhas(), 7);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINQUE", "texto Linha quebrada"}));
}

TEST_F(QuebraJunta, InsideTheLineTwoLines) {
    texto({"abcdef", "fim"}, 1, 3);
    quebraLinha(e());
    EXPECT_EQ(linhas(), (Linhas{"ab", "cdef", "fim"}));
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINQUE", "texto Linha quebrada"}));
}

TEST_F(QuebraJunta, AfterTheLastCharacterJoins) {
    texto({"abc", "def"}, 1, 4);
    quebraLinha(e());
    EXPECT_EQ(linhas(), (Linhas{"abc def"}));
    EXPECT_EQ(ed().colunaAtual, 4);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINJUN", "texto Linhas juntadas"}));
}

TEST_F(QuebraJunta, JoinUpTo251Characters) {
    const std::string a(120, 'a'), b(130, 'b');
    texto({a, b, "resto"}, 1, 5);
    juntaLinhas(e());
    EXPECT_EQ(ed().linha(1), a + " " + b);
    EXPECT_EQ(ed().linha(1).size(), 251u);
    EXPECT_EQ(ed().nLinhas(), 2);
    EXPECT_EQ(ed().colunaAtual, 5);

    texto({a + "a", b}, 1, 1);
    ouvido();
    juntaLinhas(e());
    EXPECT_EQ(linhas(), (Linhas{a + "a", b}));
    EXPECT_EQ(ouvido(),
              (Ouvido{"mensagem EDLGRAND", "texto Linha excederia 150 letras, nao juntei"}));
}

TEST_F(QuebraJunta, JoiningTheLastTwoLeavesNoEmptyLine) {
    texto({"um", "dois", "tres"}, 2, 1);
    ed().linhaMemorizada = 3;
    juntaLinhas(e());
    EXPECT_EQ(linhas(), (Linhas{"um", "dois tres"}));
    EXPECT_EQ(ed().linhaMemorizada, 1);  // its line is gone
    ouvido();
    juntaLinhas(e());  // nothing below: refused
    EXPECT_EQ(linhas(), (Linhas{"um", "dois tres"}));
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(QuebraJunta, JoinKeepsTheBlockInStep) {
    texto({"a", "b", "c", "d"}, 1, 1);
    ed().inicioBloco = 3;
    ed().fimBloco = 4;
    juntaLinhas(e());
    EXPECT_EQ(ed().inicioBloco, 2);
    EXPECT_EQ(ed().fimBloco, 3);
}

// ---- Adding, removing, restoring ----

class InsereRemove : public SessaoEdicao {};

TEST_F(InsereRemove, InsertAboveAndBelow) {
    texto({"um", "dois"}, 1, 2);
    insereLinha(e(), "novo", true);
    EXPECT_EQ(linhas(), (Linhas{"novo", "um", "dois"}));
    EXPECT_EQ(ed().colunaAtual, 5);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINSER", "texto Linha nova"}));
    insereLinhaAbaixo(e(), "", true);
    EXPECT_EQ(linhas(), (Linhas{"novo", "", "um", "dois"}));
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINSER", "texto Linha nova"}));
    ed().linhaAtual = 4;
    insereLinhaAbaixo(e(), "ultima", true);  // the new last line is not announced
    EXPECT_EQ(ed().linha(5), "ultima");
    EXPECT_TRUE(ouvido().empty());
}

TEST_F(InsereRemove, RemoveAndRestore) {
    texto({"um", "dois", "tres"}, 2, 3);
    removeLinha(e(), true);
    EXPECT_EQ(linhas(), (Linhas{"um", "tres"}));
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINREM", "texto Linha removida"}));
    restauraLinha(e());
    EXPECT_EQ(linhas(), (Linhas{"um", "dois", "tres"}));
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDLINSER", "texto Linha nova"}));
    restauraLinha(e());  // nothing left to restore
    EXPECT_EQ(ed().nLinhas(), 3);
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(InsereRemove, RemovingTheOnlyLineEmptiesItAndBeeps) {
    texto({"unica"}, 1, 3);
    removeLinha(e(), true);
    EXPECT_EQ(linhas(), (Linhas{""}));
    EXPECT_EQ(ed().linhaRemovida, "unica");
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "mensagem EDLINREM", "texto Linha removida"}));
}

TEST_F(InsereRemove, TextInsideTheLine) {
    texto({"ab", "cd"}, 2, 2);
    ed().linhaRemovida = "guardada";
    ed().linhaMemorizada = 2;
    ed().colunaMemorizada = 2;
    EXPECT_TRUE(insereTextoNaLinha(e(), "<IN>"));
    EXPECT_EQ(linhas(), (Linhas{"ab", "c<IN>d"}));  // no empty line after the last one
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 6);
    EXPECT_EQ(ed().linhaMemorizada, 2);
    EXPECT_EQ(ed().linhaRemovida, "guardada");
    EXPECT_TRUE(ouvido().empty());

    ed().colunaAtual = 10;  // past the end: blanks up to the cursor
    EXPECT_TRUE(insereTextoNaLinha(e(), "x"));
    EXPECT_EQ(ed().linha(2), "c<IN>d   x");
}

TEST_F(InsereRemove, TextThatWouldNotFitIsRefused) {
    const std::string longa(250, 'a');
    texto({longa}, 1, 10);
    EXPECT_FALSE(insereTextoNaLinha(e(), "<TF=Arial>"));
    EXPECT_EQ(ed().linha(1), longa);
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
    texto({"a"}, 1, 300);
    EXPECT_FALSE(insereTextoNaLinha(e(), "x"));
    EXPECT_EQ(ed().linha(1), "a");
}

// ---- The line family ----

class FamiliaLinhas : public SessaoEdicao {};

TEST_F(FamiliaLinhas, LettersChooseCommands) {
    abre("jai{Esc}");
    texto({"um", "dois"}, 1, 1);
    familiaLinhas(e());  // J
    EXPECT_EQ(linhas(), (Linhas{"um dois"}));
    familiaLinhas(e());  // A
    familiaLinhas(e());  // I
    EXPECT_EQ(linhas(), (Linhas{"um dois", "", ""}));
    EXPECT_EQ(ed().linhaAtual, 2);
    ouvido();
    familiaLinhas(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDOPCAO", "texto Qual opcao? ", "letra 27",
                                "mensagem EDDESIST", "texto Desistiu... "}));
}

// ---- Adding a text to many lines, removing the lines that hold one ----

class AlteraLinhas : public SessaoEdicao {
  protected:
    // Whether the trace since the last look holds `linha`.
    bool ouviu(const std::string& linha) {
        const Ouvido o = ouvido();
        return std::find(o.begin(), o.end(), linha) != o.end();
    }
};

TEST_F(AlteraLinhas, StarComparesOnlyAtTheStart) {
    abre("Cap*{Enter}t");
    texto({"Capitulo 1", "texto", "O Cap", "Capa"}, 4, 2);
    alteraLinhasComTexto(e(), false, true);
    EXPECT_EQ(linhas(), (Linhas{"texto", "O Cap"}));
    EXPECT_EQ(ed().linhaAtual, 2);  // the cursor line went; the one above it stays
    const Ouvido o = ouvido();
    EXPECT_EQ(o.front(), "mensagem EDQUATRE");
    EXPECT_NE(std::find(o.begin(), o.end(), "mensagem EDTODBLK"), o.end());
    EXPECT_EQ(o[o.size() - 2], "mensagem EDOK");
}

TEST_F(AlteraLinhas, WithoutTheStarAnyLineHoldingTheText) {
    abre("Cap{Enter}T");
    texto({"Capitulo 1", "texto", "O Cap", "capa", "Capa"}, 2, 1);
    ed().inicioBloco = 2;
    ed().fimBloco = 4;
    alteraLinhasComTexto(e(), false, true);
    EXPECT_EQ(linhas(), (Linhas{"texto", "capa"}));  // case matters
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().inicioBloco, 1);
    EXPECT_EQ(ed().fimBloco, 2);
}

TEST_F(AlteraLinhas, PrefixWithItsBlankOnABlock) {
    abre("> {Enter}b");
    texto({"fora", "um", "", "dois", "fim"}, 1, 1);
    ed().inicioBloco = 2;
    ed().fimBloco = 4;
    alteraLinhasComTexto(e(), true, false);
    EXPECT_EQ(linhas(), (Linhas{"fora", "> um", "", "> dois", "fim"}));
    EXPECT_TRUE(ouviu("mensagem EDOK"));
}

TEST_F(AlteraLinhas, SuffixOnTheWholeText) {
    abre("!{Enter}t");
    texto({"um", "  ", "dois"}, 3, 1);
    alteraLinhasComTexto(e(), false, false);
    EXPECT_EQ(linhas(), (Linhas{"um!", "  ", "dois!"}));
    EXPECT_EQ(ed().linhaAtual, 3);
}

TEST_F(AlteraLinhas, GivingUp) {
    abre("abc{Esc}{Enter}   {Enter}x{Enter}{Esc}");
    texto({"abc"}, 1, 1);
    for (int i = 0; i < 3; ++i) alteraLinhasComTexto(e(), false, true);  // Esc, empty, blanks
    EXPECT_EQ(linhas(), (Linhas{"abc"}));
    const Ouvido o = ouvido();
    EXPECT_EQ(std::count(o.begin(), o.end(), "mensagem EDDESIST"), 3);
    alteraLinhasComTexto(e(), false, true);  // Esc at the range question
    EXPECT_EQ(linhas(), (Linhas{"abc"}));
    EXPECT_TRUE(ouviu("mensagem EDDESIST"));
}

TEST_F(AlteraLinhas, AStarAloneMatchesNothing) {
    abre("*{Enter}t");
    texto({"um", "dois"});
    alteraLinhasComTexto(e(), false, true);
    EXPECT_EQ(linhas(), (Linhas{"um", "dois"}));
    EXPECT_TRUE(ouviu("mensagem EDDESIST"));
}

TEST_F(AlteraLinhas, NoBlockNoRange) {
    abre("x{Enter}b");
    texto({"um"});
    alteraLinhasComTexto(e(), false, false);
    EXPECT_EQ(linhas(), (Linhas{"um"}));
    EXPECT_TRUE(ouviu("mensagem EDBLKINV"));
}

TEST_F(AlteraLinhas, OtherKeysAskAgain) {
    // Tab ends the field without answering: the prompt comes again with the text kept.
    // An extended key at the range question is no answer either (F8's scan code is the
    // code of "B").
    abre("ab{Tab}{Enter}{F8}t");
    texto({"um", "dois"});
    alteraLinhasComTexto(e(), false, false);
    EXPECT_EQ(linhas(), (Linhas{"umab", "doisab"}));
    const Ouvido o = ouvido();
    EXPECT_EQ(std::count(o.begin(), o.end(), "mensagem EDTXTPRC"), 2);
    EXPECT_EQ(std::count(o.begin(), o.end(), "mensagem EDTODBLK"), 2);
}

TEST_F(AlteraLinhas, ALineThatWouldNotFitKeepsItsText) {
    const std::string longa(250, 'a');
    abre("123456{Enter}t");
    texto({longa, "b"});
    alteraLinhasComTexto(e(), true, false);
    EXPECT_EQ(linhas(), (Linhas{longa, "123456b"}));
    const Ouvido o = ouvido();
    EXPECT_NE(std::find(o.begin(), o.end(), "bip"), o.end());
}

}  // namespace
