#include "editor/edVars.h"

#include <gtest/gtest.h>

namespace {

EdVars comLinhas(int n) {
    EdVars ed;
    for (int i = 1; i <= n; ++i) {
        ed.linhaAtual = i;
        ed.insereNaLinhaAtual("linha " + std::to_string(i));
    }
    ed.linhaAtual = 1;
    return ed;
}

TEST(TipoTexto, InsertIntoEmptyTextAndCut) {
    EdVars ed;
    ASSERT_EQ(ed.nLinhas(), 0);
    ed.insereNaLinhaAtual("primeira");
    EXPECT_EQ(ed.nLinhas(), 1);
    EXPECT_EQ(ed.linha(1), "primeira");
    EXPECT_EQ(ed.colunaAtual, 9);
    ed.trocaLinha(1, std::string(300, 'x'));
    EXPECT_EQ(ed.linha(1).size(), 255u);
    ed.insereNaLinhaAtual(std::string(300, 'y'));
    EXPECT_EQ(ed.linha(1), std::string(255, 'y'));
    EXPECT_EQ(ed.colunaAtual, 256);
    EXPECT_EQ(ed.linha(0), "");   // outside the text: nothing, never a crash
    EXPECT_EQ(ed.linha(99), "");
}

TEST(TipoTexto, CapacityGrowsBeforeItRunsOut) {
    TipoTexto t(12);
    EXPECT_TRUE(t.insere(1, "a"));
    EXPECT_TRUE(t.insere(1, "b"));
    EXPECT_EQ(t.capacidade(), 12);
    EXPECT_TRUE(t.insere(1, "c"));  // 12 <= 2 + 10: room for 50000 more
    EXPECT_EQ(t.capacidade(), 50002);
}

TEST(TipoTexto, RemovingTheOnlyLineLeavesOneEmptyLine) {
    EdVars ed = comLinhas(1);
    EXPECT_TRUE(ed.removeLinhaAtual());
    EXPECT_EQ(ed.nLinhas(), 1);
    EXPECT_EQ(ed.linha(1), "");
    EXPECT_EQ(ed.linhaRemovida, "linha 1");
}

TEST(TipoTexto, MarksFollowInsertions) {
    EdVars ed = comLinhas(10);
    ed.inicioBloco = 4;
    ed.fimBloco = 6;
    ed.linhaMemorizada = 8;
    ed.linhaAtual = 2;  // above the block: both marks move
    ed.insereNaLinhaAtual("nova");
    EXPECT_EQ(ed.inicioBloco, 5);
    EXPECT_EQ(ed.fimBloco, 7);
    EXPECT_EQ(ed.linhaMemorizada, 9);
    ed.linhaAtual = 6;  // inside the block: only the end moves
    ed.insereNaLinhaAtual("dentro");
    EXPECT_EQ(ed.inicioBloco, 5);
    EXPECT_EQ(ed.fimBloco, 8);
    ed.linhaAtual = 5;  // on the first line of the block: it moves down with its line
    ed.insereNaLinhaAtual("acima");
    EXPECT_EQ(ed.inicioBloco, 5);
    EXPECT_EQ(ed.fimBloco, 9);
    EXPECT_EQ(ed.linha(6), "linha 4");
}

TEST(TipoTexto, MarksFollowRemovals) {
    EdVars ed = comLinhas(10);
    ed.inicioBloco = 4;
    ed.fimBloco = 6;
    ed.linhaMemorizada = 8;
    ed.colunaMemorizada = 5;
    ed.linhaAtual = 2;
    EXPECT_FALSE(ed.removeLinhaAtual());
    EXPECT_EQ(ed.inicioBloco, 3);
    EXPECT_EQ(ed.fimBloco, 5);
    EXPECT_EQ(ed.linhaMemorizada, 7);
    ed.linhaAtual = 7;  // the memorised line itself: the position goes back to (1, 1)
    ed.removeLinhaAtual();
    EXPECT_EQ(ed.linhaMemorizada, 1);
    EXPECT_EQ(ed.colunaMemorizada, 1);
    EXPECT_EQ(ed.nLinhas(), 8);
    ed.linhaAtual = 8;  // the last line is emptied, never removed
    EXPECT_TRUE(ed.removeLinhaAtual());
    EXPECT_EQ(ed.nLinhas(), 8);
    EXPECT_EQ(ed.linha(8), "");
}

TEST(FormaBusca, FoldsCaseAndAccentsKeepingLength) {
    EXPECT_EQ(formaBusca("abc XYZ 123 !"), "ABC XYZ 123 !");
    const std::pair<const char*, char> grupos[] = {
        {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'A'},
        {"\xC7\xE7", 'C'},
        {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'E'},
        {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'I'},
        {"\xD1\xF1", 'N'},
        {"\xD2\xD3\xD4\xD5\xD6\xF2\xF3\xF4\xF5\xF6", 'O'},
        {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'U'},
        {"\xDD\xFD", 'Y'},
        {"\xD7\xF7", 'X'},
        {"\xC6\xE6", '\x91'},
        // The DOS code page's accented letters.
        {"\x80\x87", 'C'},
        {"\x81\x96\x97\x9A\xA3", 'U'},
        {"\x82\x88\x89\x8A\x90", 'E'},
        {"\x83\x84\x85\x86\x8E\x8F\xA0", 'A'},
        {"\x8B\x8C\x8D\xA1", 'I'},
        {"\x93\x94\x95\x99\xA2", 'O'},
        {"\x98", 'Y'},
        {"\xA4\xA5", 'N'},
    };
    for (const auto& [letras, forma] : grupos) {
        std::string s(letras);
        EXPECT_EQ(formaBusca(s), std::string(s.size(), forma)) << "group of " << forma;
    }
    // Everything else above 127 becomes 254, and 254 stays.
    EXPECT_EQ(formaBusca("\x91\x9B\xA6\xBF\xDE\xDF\xFE\xFF"), std::string(8, '\xFE'));
}

}  // namespace
