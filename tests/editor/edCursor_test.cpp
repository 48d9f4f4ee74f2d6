#include "editor/edCursor.h"

#include <random>

#include "console/despacho.h"
#include "editor/edLinha.h"
#include "sessaoEdicao.h"

namespace {

// ---- Typing ----

class Digitacao : public SessaoEdicao {
  protected:
    // A 79-character line of words, the last one "ultima".
    static std::string linha79() {
        std::string l;
        while (l.size() < 72) l += "palavra ";
        l.resize(73, ' ');
        l += "ultima";
        return l;
    }
};

TEST_F(Digitacao, AppendsOrInsertsAndEchoes) {
    texto({"ac"}, 1, 2);
    insereCaractere(e(), 'b');
    EXPECT_EQ(ed().linha(1), "abc");
    EXPECT_EQ(ed().colunaAtual, 3);
    ed().colunaAtual = 4;
    insereCaractere(e(), 'd');
    EXPECT_EQ(ed().colunaAtual, 5);
    ed().colunaAtual = 1;
    insereCaractere(e(), 'e');
    EXPECT_EQ(ed().linha(1), "eabcd");
    EXPECT_EQ(ed().colunaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"letra 98", "letra 100", "letra 101"}));
    ed().ecoDigitacao = false;
    insereCaractere(e(), 'f');
    EXPECT_TRUE(ouvido().empty());
}

TEST_F(Digitacao, WordPastTheMarginWrapsWhenBreakingIsOn) {
    texto({linha79()}, 1, 80);
    insereCaractere(e(), 'x');
    ASSERT_EQ(ed().nLinhas(), 2);
    EXPECT_EQ(ed().linha(1), linha79().substr(0, 71));  // the blanks before the word go
    EXPECT_EQ(ed().linha(2), "ultimax");
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 8);
    EXPECT_EQ(ouvido(), (Ouvido{"letra 120"}));
}

TEST_F(Digitacao, PastTheMarginWithoutBreakingBeepsAndKeeps) {
    ed().quebraLinhas = false;
    texto({linha79()}, 1, 80);
    insereCaractere(e(), 'x');
    EXPECT_EQ(ed().nLinhas(), 1);
    EXPECT_EQ(ed().linha(1), linha79() + "x");
    EXPECT_EQ(ed().colunaAtual, 81);
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "letra 120"}));
}

TEST_F(Digitacao, BlankPastTheMarginOnlyBeeps) {
    texto({std::string(72, 'a')}, 1, 73);
    insereCaractere(e(), ' ');
    EXPECT_EQ(ed().nLinhas(), 1);
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "letra 32"}));
}

TEST_F(Digitacao, LongWordMovesItsLastCharacterAlone) {
    texto({""});
    ed().ecoDigitacao = false;
    for (int i = 0; i < 73; ++i) insereCaractere(e(), 'a');
    EXPECT_EQ(linhas(), (std::vector<std::string>{std::string(72, 'a'), "a"}));
    EXPECT_EQ(ed().colunaAtual, 2);
}

TEST_F(Digitacao, BreakIndentsToTheLeftMargin) {
    ed().margemEsquerda = 5;
    ed().margemDireita = 20;
    texto({"    um dois tres quatro"}, 1, 20);  // 23 characters, cursor on the a of "quatro"
    insereCaractere(e(), 'X');
    EXPECT_EQ(linhas(), (std::vector<std::string>{"    um dois tres", "    quXatro"}));
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 8);  // after the X
}

TEST_F(Digitacao, BreakKeepsTheBlockMarksInStep) {
    texto({"antes", linha79(), "depois"}, 2, 80);
    ed().inicioBloco = 2;
    ed().fimBloco = 3;
    insereCaractere(e(), 'x');
    EXPECT_EQ(ed().nLinhas(), 4);
    EXPECT_EQ(ed().inicioBloco, 2);
    EXPECT_EQ(ed().fimBloco, 4);
}

TEST_F(Digitacao, FullLineTakesNothingMore) {
    const std::string cheia(255, 'z');
    ed().quebraLinhas = false;
    texto({cheia}, 1, 100);
    insereCaractere(e(), 'x');
    EXPECT_EQ(ed().linha(1), cheia);
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(Digitacao, CursorFarPastTheEndTypesAtTheEnd) {
    texto({"abc"}, 1, 200);
    insereCaractere(e(), 'd');
    EXPECT_EQ(ed().linha(1), "abcd");
    EXPECT_EQ(ed().colunaAtual, 5);
}

TEST_F(Digitacao, SpecialLetters) {
    abre("?o{Left}");
    texto({""});
    letraEspecial(e());
    letraEspecial(e());
    EXPECT_EQ(ed().linha(1), "\xBF\xBA");  // ¿º
    ouvido();
    letraEspecial(e());  // an arrow chooses nothing, and its scan code is not typed
    EXPECT_EQ(ed().linha(1), "\xBF\xBA");
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(Digitacao, SpecialLetterRefusesOtherKeys) {
    abre("x");
    texto({""});
    letraEspecial(e());
    EXPECT_EQ(ed().linha(1), "");
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

// ---- Deleting ----

class Apagar : public SessaoEdicao {};

TEST_F(Apagar, BackspaceSaysDelAndTheCharacter) {
    texto({"abc"}, 1, 3);
    apagaEsquerda(e(), true, true);
    EXPECT_EQ(ed().linha(1), "ac");
    EXPECT_EQ(ed().colunaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDDEL", "texto DEL", "letra 98"}));
    ed().colunaAtual = 1;
    apagaEsquerda(e(), true, true);
    EXPECT_EQ(ed().linha(1), "ac");
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(Apagar, BackspaceTakesAFormattingMarkWhole) {
    texto({"x<IN>forte"}, 1, 6);
    apagaEsquerda(e(), true, true);
    EXPECT_EQ(ed().linha(1), "xforte");
    EXPECT_EQ(ed().colunaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDDEL", "texto DEL", "texto <IN>"}));
    texto({"a<tf=Arial>b"}, 1, 12);
    apagaEsquerda(e(), false, true);
    EXPECT_EQ(ed().linha(1), "ab");
}

TEST_F(Apagar, AngleBracketsThatAreNoMarkGoOneByOne) {
    for (const char* l : {"a<XY>", "a<IN=3>", "a<TF>", "<>", "a<IN>>"}) {
        texto({l}, 1, static_cast<int>(std::string(l).size()) + 1);
        apagaEsquerda(e(), false, false);
        EXPECT_EQ(ed().linha(1), std::string(l).substr(0, std::string(l).size() - 1)) << l;
    }
}

TEST_F(Apagar, BackspacePastTheEndOnlyMovesBack) {
    texto({"ab"}, 1, 6);
    apagaEsquerda(e(), false, true);
    EXPECT_EQ(ed().linha(1), "ab");
    EXPECT_EQ(ed().colunaAtual, 5);
}

TEST_F(Apagar, DelRemovesTheCharacterUnderTheCursor) {
    texto({"abc"}, 1, 2);
    EXPECT_TRUE(apagaDireita(e(), true, true));
    EXPECT_EQ(ed().linha(1), "ac");
    EXPECT_EQ(ed().colunaAtual, 2);
    ed().colunaAtual = 3;
    ouvido();
    EXPECT_FALSE(apagaDireita(e(), true, true));
    EXPECT_EQ(ed().linha(1), "ac");
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

TEST_F(Apagar, ShiftLeftThreeTimesThenDel) {
    texto({"0123456789abc"}, 1, 10);
    modificadores(true, false, false);
    for (int i = 0; i < 3; ++i) despachaEstendida(e(), 75);
    EXPECT_EQ(ed().selecaoInicio, 10);
    EXPECT_EQ(ed().selecaoFim, 7);
    modificadores(false, false, false);
    ouvido();
    despachaEstendida(e(), 83);
    EXPECT_EQ(ed().linha(1), "0123459abc");  // columns 7..9 ("678") went
    EXPECT_EQ(ed().colunaAtual, 7);
    EXPECT_EQ(ed().selecaoInicio, 0);
    EXPECT_EQ(ed().selecaoFim, 0);
    EXPECT_EQ(ouvido(),
              (Ouvido{"mensagem EDDEL", "texto DEL", "letra 54", "letra 55", "letra 56"}));
}

TEST_F(Apagar, LongSelectionSpeaksThreeThenTwoClicks) {
    texto({"abcdefghij"}, 1, 1);
    ed().selecaoInicio = 8;
    ed().selecaoFim = 2;
    apagaSelecao(e());
    EXPECT_EQ(ed().linha(1), "ahij");
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDDEL", "texto DEL", "letra 98", "letra 99", "letra 100",
                                "clique", "clique"}));
}

TEST_F(Apagar, SelectionPastTheEndStopsAtTheEnd) {
    texto({"abc"}, 1, 1);
    ed().selecaoInicio = 2;
    ed().selecaoFim = 40;
    apagaSelecao(e());
    EXPECT_EQ(ed().linha(1), "a");
}

TEST_F(Apagar, ToTheEndAndFromTheStart) {
    texto({"abcdef"}, 1, 3);
    apagaFimLinha(e());
    EXPECT_EQ(ed().linha(1), "ab");
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDAPAFIM", "texto Apagado a direita"}));
    texto({"abcdef"}, 1, 3);
    apagaInicioLinha(e());
    EXPECT_EQ(ed().linha(1), "cdef");
    EXPECT_EQ(ed().colunaAtual, 1);
    texto({"abc"}, 1, 90);  // far past the end: nothing lost beyond the line
    apagaInicioLinha(e());
    EXPECT_EQ(ed().linha(1), "");
    texto({"abc"}, 1, 90);
    apagaFimLinha(e());
    EXPECT_EQ(ed().linha(1), "abc");
}

TEST_F(Apagar, WordLeftOfTheCursor) {
    texto({"abc def "}, 1, 9);
    apagaPalavraEsquerda(e());
    EXPECT_EQ(ed().linha(1), "abc ");
    EXPECT_EQ(ed().colunaAtual, 5);
    EXPECT_EQ(ouvido(), (Ouvido{"som EDDEL", "letra 100", "letra 101", "letra 102", "letra 32"}));
    texto({"abc def"}, 1, 4);
    apagaPalavraEsquerda(e());
    EXPECT_EQ(ed().linha(1), "def");
    EXPECT_EQ(ed().colunaAtual, 1);
    texto({""}, 1, 1);
    ouvido();
    apagaPalavraEsquerda(e());
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
    EXPECT_EQ(ed().colunaAtual, 1);
}

// ---- Within the line ----

class NaLinha : public SessaoEdicao {};

TEST_F(NaLinha, LeftAndRightSpeakTheCharacter) {
    texto({"ab"}, 1, 1);
    esquerda(e());
    direita(e());
    direita(e());
    direita(e());
    esquerda(e());
    EXPECT_EQ(ed().colunaAtual, 2);
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "letra 97", "letra 98", "bip", "letra 98"}));
}

TEST_F(NaLinha, AltRightSpellsTheLetterPhonetically) {
    texto({"A1"}, 1, 1);
    modificadores(false, false, true);
    direita(e());
    direita(e());
    EXPECT_EQ(ouvido(), (Ouvido{"som _FON65", "letra 49"}));
}

TEST_F(NaLinha, HomeAndEndClick) {
    texto({"abcd"}, 1, 3);
    fimLinha(e());
    EXPECT_EQ(ed().colunaAtual, 5);
    inicioLinha(e());
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique"}));
}

TEST_F(NaLinha, WordRightOverPunctuation) {
    texto({"abc, def"}, 1, 2);
    palavraDireita(e(), true);
    EXPECT_EQ(ed().colunaAtual, 4);  // the comma
    palavraDireita(e(), true);
    EXPECT_EQ(ed().colunaAtual, 6);  // the d
    EXPECT_TRUE(ouvido().empty());
    palavraDireita(e(), true);
    EXPECT_EQ(ed().colunaAtual, 9);  // no next word: the end, and a beep
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
    ed().colunaAtual = 50;
    palavraDireita(e(), false);
    EXPECT_EQ(ed().colunaAtual, 9);
}

TEST_F(NaLinha, WordLeftNeverSticks) {
    texto({"abc, def  "}, 1, 11);
    palavraEsquerda(e(), true);
    EXPECT_EQ(ed().colunaAtual, 6);
    palavraEsquerda(e(), true);
    EXPECT_EQ(ed().colunaAtual, 4);  // the comma, a step of its own
    EXPECT_TRUE(ouvido().empty());
    palavraEsquerda(e(), true);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
    ed().colunaAtual = 300;
    palavraEsquerda(e(), false);
    EXPECT_EQ(ed().colunaAtual, 6);
}

TEST_F(NaLinha, SpokenWordMoves) {
    texto({"um  dois tres"}, 1, 1);
    palavraDireitaFalada(e());
    EXPECT_EQ(ed().colunaAtual, 5);
    palavraDireitaFalada(e());
    palavraEsquerdaFalada(e());
    EXPECT_EQ(ed().colunaAtual, 5);
    EXPECT_EQ(ouvido(), (Ouvido{"texto um", "texto dois", "texto dois"}));
    ed().colunaAtual = 1;
    palavraEsquerdaFalada(e());
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "clique"}));
}

// ---- Between lines ----

class EntreLinhas : public SessaoEdicao {};

TEST_F(EntreLinhas, DownAndUpClickAndTrimTheLineLeft) {
    texto({"um  ", "dois "}, 1, 3);
    linhaAbaixo(e());
    EXPECT_EQ(ed().linha(1), "um");
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 1);
    linhaAcima(e());
    EXPECT_EQ(ed().linha(2), "dois");
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique"}));
}

TEST_F(EntreLinhas, DownOnTheLastLineKeepsItAndSaysSo) {
    texto({"um", "fim  "}, 2, 4);
    linhaAbaixo(e());
    EXPECT_EQ(linhas(), (std::vector<std::string>{"um", "fim  "}));
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDFIMTEX", "texto Fim do texto"}));
    texto({"um"}, 1, 2);
    linhaAcima(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDINITEX", "texto Inicio do texto"}));
}

TEST_F(EntreLinhas, IndentationIsAnnouncedWhenAskedFor) {
    texto({"a", "   b", "    ", "c"});
    linhaAbaixo(e());
    EXPECT_EQ(ouvido(), (Ouvido{"clique"}));
    ed().falaEspacos = true;
    linhaAcima(e());
    linhaAbaixo(e());
    linhaAbaixo(e());  // a blank line says nothing
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "texto 3", "clique", "clique"}));
}

TEST_F(EntreLinhas, SameColumnPadsAndSpeaks) {
    texto({"abcdef", "xy", "0123456"}, 1, 5);
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2), "xy  ");
    EXPECT_EQ(ed().colunaAtual, 5);
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2), "xy");
    EXPECT_EQ(ouvido(), (Ouvido{"letra 32", "letra 52"}));
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDFIMTEX", "texto Fim do texto"}));
    linhaAcimaMesmaColuna(e());
    linhaAcimaMesmaColuna(e());
    linhaAcimaMesmaColuna(e());
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ouvido(),
              (Ouvido{"letra 32", "letra 101", "mensagem EDINITEX", "texto Inicio do texto"}));
}

TEST_F(EntreLinhas, SameColumnFarPastTheEndStaysWithinALine) {
    texto({"a", "b"}, 1, 100000);
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2).size(), 255u);
    EXPECT_EQ(ed().linha(2)[0], 'b');
    EXPECT_EQ(ed().colunaAtual, 256);
}

TEST_F(EntreLinhas, PagesOfFifteenLines) {
    std::vector<std::string> t(40, "linha");
    texto(t, 1, 7);
    paginaAbaixo(e());
    EXPECT_EQ(ed().linhaAtual, 16);
    EXPECT_EQ(ed().colunaAtual, 1);
    paginaAbaixo(e());
    paginaAbaixo(e());
    EXPECT_EQ(ed().linhaAtual, 40);
    paginaAcima(e());
    EXPECT_EQ(ed().linhaAtual, 25);
    ed().linhaAtual = 3;
    paginaAcima(e());
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique", "clique", "clique", "mensagem EDFIMTEX",
                                "texto Fim do texto", "clique", "clique", "mensagem EDINITEX",
                                "texto Inicio do texto"}));
}

TEST_F(EntreLinhas, StartAndEndOfText) {
    texto({"a", "b", "c"}, 2, 2);
    fimTexto(e());
    EXPECT_EQ(ed().linhaAtual, 3);
    inicioTexto(e());
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDFIMTEX", "texto Fim do texto", "mensagem EDINITEX",
                                "texto Inicio do texto"}));
}

TEST_F(EntreLinhas, RememberedPositionComesBackWithinTheText) {
    texto({"abc", "defgh", "x"}, 2, 5);
    memorizaPosicao(e());
    ed().linhaAtual = 1;
    ed().colunaAtual = 1;
    voltaPosicao(e());
    EXPECT_EQ(ed().linhaAtual, 2);
    EXPECT_EQ(ed().colunaAtual, 5);
    ed().linhaMemorizada = 9;
    ed().colunaMemorizada = 3;
    voltaPosicao(e());
    EXPECT_EQ(ed().linhaAtual, 3);
    EXPECT_EQ(ed().colunaAtual, 1);  // column 3 is past "x"
}

// ---- Paragraphs ----

class Paragrafos : public SessaoEdicao {};

TEST_F(Paragrafos, ForwardSkipsTheParagraphThenTheBlankLines) {
    texto({"p1a", "p1b", "", "  ", "p2a", "p2b", "", " p3", "p3b"});
    avancaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 5);
    avancaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 8);
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique", "clique", "clique"}));
    avancaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 9);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDFIMTEX", "texto Fim do texto"}));
}

TEST_F(Paragrafos, BackwardGoesToTheParagraphStart) {
    texto({"p1a", "p1b", "", "p2a", "p2b", "p2c", "", ""}, 8, 3);
    recuaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 4);
    EXPECT_EQ(ed().colunaAtual, 1);
    recuaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique", "mensagem EDINITEX", "texto Inicio do texto"}));
}

TEST_F(Paragrafos, IndentedLinesStartParagraphs) {
    texto({"  a1", "a2", "  b1", "b2", "b3", "  c1"});
    avancaParagrafo(e(), true);
    EXPECT_EQ(ed().linhaAtual, 3);
    avancaParagrafo(e(), true);  // from an indented line the cursor still moves on
    EXPECT_EQ(ed().linhaAtual, 6);
    ed().linhaAtual = 5;
    recuaParagrafo(e(), true);
    EXPECT_EQ(ed().linhaAtual, 3);  // on the indented line itself
    recuaParagrafo(e(), true);
    EXPECT_EQ(ed().linhaAtual, 1);
    avancaParagrafo(e(), false);  // without the flag the indent is no stop
    EXPECT_EQ(ed().linhaAtual, 6);
}

TEST_F(Paragrafos, BlankTextsAnswerWithTheirEnds) {
    texto({"", "  ", ""}, 2);
    avancaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 3);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDFIMTEX", "texto Fim do texto"}));
    recuaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDINITEX", "texto Inicio do texto"}));
    texto({""});
    avancaParagrafo(e(), true);
    recuaParagrafo(e(), true);
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().nLinhas(), 1);
}

TEST_F(Paragrafos, LongMovesTickEveryTwentyLines) {
    std::vector<std::string> t(45, "texto");
    t.push_back("");
    t.push_back("fim");
    texto(t);
    avancaParagrafo(e(), false);
    EXPECT_EQ(ed().linhaAtual, 47);
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique", "clique", "clique"}));  // 20, 40, then two
}

// ---- Going to a line ----

class VaiParaLinha : public SessaoEdicao {
  protected:
    Ouvido fimDoOuvido(size_t n) {
        const Ouvido o = ouvido();
        return Ouvido(o.end() - static_cast<long>(std::min(n, o.size())), o.end());
    }
};

TEST_F(VaiParaLinha, ToALineOfTheText) {
    abre("3{Enter}");
    texto({"a", "b", "c", "d"}, 1, 2);
    vaiParaLinha(e());
    EXPECT_EQ(ed().linhaAtual, 3);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(fimDoOuvido(1), (Ouvido{"clique"}));
}

TEST_F(VaiParaLinha, NoSuchLine) {
    for (const char* teclas : {"5{Enter}", "0{Enter}", "{Esc}", "x{Enter}"}) {
        abre(teclas);
        texto({"a", "b", "c", "d"}, 2, 2);
        vaiParaLinha(e());
        EXPECT_EQ(ed().linhaAtual, 2) << teclas;
        EXPECT_EQ(fimDoOuvido(2), (Ouvido{"mensagem EDLINAO", "texto Linha nao existe"})) << teclas;
    }
}

// ---- Where am I ----

class Informa : public SessaoEdicao {};

TEST_F(Informa, ColumnAndLine) {
    texto({"a", "b", "c", "d"}, 3, 7);
    informaColuna(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDCOLUNA", "texto Coluna: ", "texto 7"}));
    informaLinha(e());
    Ouvido falado;
    for (const std::string& l : ouvido())
        if (l.rfind("texto ", 0) == 0) falado.push_back(l);
    EXPECT_EQ(falado, (Ouvido{"texto Linha: ", "texto 3", "texto  de ", "texto 4", "texto  lido ",
                              "texto 75", "texto %"}));
}

// ---- The cursor family ----

class FamiliaCursor : public SessaoEdicao {};

TEST_F(FamiliaCursor, LettersChooseCommands) {
    abre("+");
    texto({"um", "dois", "tres"}, 2, 3);
    familiaCursor(e());  // +: end of text
    EXPECT_EQ(ed().linhaAtual, 3);
    ed().colunaAtual = 3;
    abre("mv");
    texto({"um", "dois", "tres"}, 3, 3);
    familiaCursor(e());  // M
    ed().linhaAtual = 1;
    familiaCursor(e());  // V
    EXPECT_EQ(ed().linhaAtual, 3);
    EXPECT_EQ(ed().colunaAtual, 3);
    abre("i{Esc}");
    texto({"abcd"}, 1, 3);
    familiaCursor(e());
    EXPECT_EQ(ed().linha(1), "cd");
    ouvido();
    familiaCursor(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDOPCAO", "texto Qual opcao? ", "letra 27",
                                "mensagem EDDESIST", "texto Desistiu... "}));
}

// ---- Key storms ----

class Tempestade : public SessaoEdicao {};

// Thousands of random editing keys on a text with long, empty and blank lines: whatever
// the order, the text keeps at least one line, no line passes 255 characters and the
// cursor and the memorised position stay within the text.
TEST_F(Tempestade, RandomKeysKeepTheInvariants) {
    texto({std::string(255, 'w'), "", "   ", "abc <IN>def, ghi", std::string(250, 'x') + " fim"});
    ed().quebraLinhas = true;
    std::mt19937 gerador(20261206);
    auto sorteia = [&](unsigned n) { return static_cast<int>(gerador() % n); };
    const std::vector<void (*)(Editor&)> comandos = {
        [](Editor& e) { insereCaractere(e, 'q'); },
        [](Editor& e) { insereCaractere(e, ' '); },
        [](Editor& e) { apagaEsquerda(e, true, true); },
        [](Editor& e) { apagaDireita(e, true, true); },
        apagaSelecao,
        apagaFimLinha,
        apagaInicioLinha,
        apagaPalavraEsquerda,
        esquerda,
        direita,
        inicioLinha,
        fimLinha,
        palavraDireitaFalada,
        palavraEsquerdaFalada,
        linhaAbaixo,
        linhaAcima,
        linhaAbaixoMesmaColuna,
        linhaAcimaMesmaColuna,
        paginaAbaixo,
        paginaAcima,
        inicioTexto,
        fimTexto,
        memorizaPosicao,
        voltaPosicao,
        informaColuna,
        informaLinha,
        [](Editor& e) { avancaParagrafo(e, true); },
        [](Editor& e) { recuaParagrafo(e, false); },
        [](Editor& e) { removeLinha(e, true); },
        restauraLinha,
        quebraLinha,
        juntaLinhas,
        [](Editor& e) { insereLinhaAbaixo(e, "nova", true); },
        [](Editor& e) { insereTextoNaLinha(e, "<FN>"); }};
    for (int i = 0; i < 10000; ++i) {
        if (sorteia(10) == 0) ed().colunaAtual = 1 + sorteia(400);  // a column far off
        if (sorteia(10) == 0) {
            ed().selecaoInicio = sorteia(300);
            ed().selecaoFim = sorteia(300);
        }
        ed().margemDireita = sorteia(4) == 0 ? 250 : 72;
        comandos[static_cast<size_t>(sorteia(static_cast<unsigned>(comandos.size())))](e());
        ASSERT_GE(ed().nLinhas(), 1) << i;
        ASSERT_GE(ed().linhaAtual, 1) << i;
        ASSERT_LE(ed().linhaAtual, ed().nLinhas()) << i;
        ASSERT_GE(ed().colunaAtual, 1) << i;
        ASSERT_LE(ed().colunaAtual, 401) << i;
        ASSERT_GE(ed().linhaMemorizada, 1) << i;
        ASSERT_LE(ed().linhaMemorizada, ed().nLinhas()) << i;
        for (int l = 1; l <= ed().nLinhas(); ++l) ASSERT_LE(ed().linha(l).size(), 255u) << i;
    }
}

}  // namespace
