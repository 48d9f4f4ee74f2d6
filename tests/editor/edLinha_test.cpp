#include "editor/edLinha.h"

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

}  // namespace
