#include "editor/edLinha.h"

#include "sessao.h"

namespace {

class Linha : public SessaoEdicao {};

TEST_F(Linha, SplitAndJoin) {
    struct Caso {
        void (*comando)(Editor&);
        Linhas antes;
        int linha, coluna;
        Linhas depois;
        int linhaDepois, colunaDepois;
        const char* mensagem;
    };
    const std::string a(120, 'a'), b(130, 'b');
    const Caso casos[] = {
        // At column 1 an empty line goes above.
        {quebraLinha, {"1", "quinta", "3"}, 2, 1, {"1", "", "quinta", "3"}, 3, 1, "EDLINQUE"},
        // After the last character it joins.
        {quebraLinha, {"abc", "def"}, 1, 4, {"abc def"}, 1, 4, "EDLINJUN"},
        {juntaLinhas, {a, b, "resto"}, 1, 5, {a + " " + b, "resto"}, 1, 5, "EDLINJUN"},  // 251
        {juntaLinhas, {a + "a", b}, 1, 1, {a + "a", b}, 1, 1, "EDLGRAND"},
        {juntaLinhas, {"um", "dois", "tres"}, 2, 1, {"um", "dois tres"}, 2, 1, "EDLINJUN"},
    };
    for (const Caso& c : casos) {
        texto(c.antes, c.linha, c.coluna);
        ouvido();
        c.comando(e());
        EXPECT_EQ(linhas(), c.depois) << c.antes[0];
        EXPECT_EQ(ed().linhaAtual, c.linhaDepois) << c.antes[0];
        EXPECT_EQ(ed().colunaAtual, c.colunaDepois) << c.antes[0];
        EXPECT_EQ(ouvidoSemTextos(), Ouvido{std::string("mensagem ") + c.mensagem}) << c.antes[0];
    }
    juntaLinhas(e());  // nothing below the last line: refused
    EXPECT_EQ(linhas(), (Linhas{"um", "dois tres"}));
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(Linha, JoinKeepsTheBlockAndTheMemorisedLineInStep) {
    texto({"a", "b", "c", "d"}, 1, 1);
    ed().inicioBloco = 3;
    ed().fimBloco = 4;
    juntaLinhas(e());
    EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(2, 3));
    texto({"um", "dois", "tres"}, 2, 1);
    ed().linhaMemorizada = 3;
    juntaLinhas(e());
    EXPECT_EQ(ed().linhaMemorizada, 1);  // its line is gone
}

// Removing, restoring and inserting a line above are in the comandos_linha case.
TEST_F(Linha, InsertBelowRestoreOnceAndTheOnlyLine) {
    texto({"um", "dois"}, 1, 2);
    insereLinhaAbaixo(e(), "", true);
    EXPECT_EQ(linhas(), (Linhas{"um", "", "dois"}));
    EXPECT_EQ(ed().linhaAtual, 2);
    ed().linhaAtual = 3;
    insereLinhaAbaixo(e(), "ultima", true);  // a new last line is not announced
    EXPECT_EQ(ed().linha(4), "ultima");
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDLINSER"}));

    texto({"um", "dois", "tres"}, 2, 3);
    removeLinha(e(), true);
    restauraLinha(e());
    restauraLinha(e());  // nothing left to restore
    EXPECT_EQ(linhas(), (Linhas{"um", "dois", "tres"}));
    EXPECT_EQ(ouvidoSemTextos().back(), "bip");

    texto({"unica"}, 1, 3);  // the only line is emptied, with a beep
    removeLinha(e(), true);
    EXPECT_EQ(linhas(), (Linhas{""}));
    EXPECT_EQ(ed().linhaRemovida, "unica");
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"bip", "mensagem EDLINREM"}));
}

TEST_F(Linha, TextInsideTheLine) {
    texto({"ab", "cd"}, 2, 2);
    ed().linhaRemovida = "guardada";
    ed().linhaMemorizada = 2;
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

    // What would not fit is refused and the line kept.
    const std::pair<std::string, int> cheias[] = {{std::string(250, 'a'), 10}, {"a", 300}};
    for (const auto& [linha, coluna] : cheias) {
        texto({linha}, 1, coluna);
        EXPECT_FALSE(insereTextoNaLinha(e(), "<TF=Arial>"));
        EXPECT_EQ(ed().linha(1), linha);
        EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
    }
}

TEST_F(Linha, FamilyLettersChooseCommands) {
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
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDOPCAO", "letra 27", "mensagem EDDESIST"}));
}

// Adding a text to many lines, removing the lines that hold one.
TEST_F(Linha, TextOnManyLines) {
    // The family's letters: E removes the lines holding the text, S adds it at their start,
    // D at their end.
    struct Caso {
        const char* teclas;
        char letra;
        Linhas antes;
        int linha;
        Linhas depois;
        int linhaDepois;
        const char* ouvida;
        std::pair<int, int> bloco{1, 0};
    };
    const std::string longa(250, 'a');
    const Caso casos[] = {
        // A star compares only at the start; the cursor line went, the one above it stays.
        {"Cap*{Enter}t", 'E', {"Capitulo", "O Cap", "Capa"}, 3, {"O Cap"}, 1, "mensagem EDOK"},
        {"> {Enter}b",
         'S',
         {"um", "", "dois", "fim"},
         1,
         {"> um", "", "> dois", "fim"},
         1,
         "mensagem EDOK",
         {1, 3}},
        // A line that would not fit keeps its text.
        {"123456{Enter}t", 'S', {longa, "b"}, 1, {longa, "123456b"}, 1, "bip"},
        {"x{Enter}b", 'D', {"um"}, 1, {"um"}, 1, "mensagem EDBLKINV"},
        // Giving up: Esc, nothing, blanks, a star alone, Esc at the range question.
        {"abc{Esc}", 'E', {"abc"}, 1, {"abc"}, 1, "mensagem EDDESIST"},
        {"{Enter}", 'E', {"abc"}, 1, {"abc"}, 1, "mensagem EDDESIST"},
        {"   {Enter}", 'E', {"abc"}, 1, {"abc"}, 1, "mensagem EDDESIST"},
        {"*{Enter}t", 'E', {"abc"}, 1, {"abc"}, 1, "mensagem EDDESIST"},
        {"x{Enter}{Esc}", 'E', {"abc"}, 1, {"abc"}, 1, "mensagem EDDESIST"},
    };
    for (const Caso& c : casos) {
        abre(c.teclas);
        texto(c.antes, c.linha);
        std::tie(ed().inicioBloco, ed().fimBloco) = c.bloco;
        alteraLinhasComTexto(e(), c.letra == 'S', c.letra == 'E');
        EXPECT_EQ(linhas(), c.depois) << c.teclas;
        EXPECT_EQ(ed().linhaAtual, c.linhaDepois) << c.teclas;
        EXPECT_TRUE(ouviu(ouvido(), c.ouvida)) << c.teclas;
    }
}

// Without a star any line holding the text goes, case mattering; the block follows.
TEST_F(Linha, RemovedLinesMoveTheBlock) {
    abre("Cap{Enter}T");
    texto({"Capitulo 1", "texto", "O Cap", "capa", "Capa"}, 2, 1);
    ed().inicioBloco = 2;
    ed().fimBloco = 4;
    alteraLinhasComTexto(e(), false, true);
    EXPECT_EQ(linhas(), (Linhas{"texto", "capa"}));
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(1, 2));
}

TEST_F(Linha, OtherKeysAskAgain) {
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

}  // namespace
