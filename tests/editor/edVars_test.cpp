#include "editor/edVars.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>

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

std::vector<std::string> linhas(const TipoTexto& t) {
    std::vector<std::string> v;
    for (int i = 1; i <= t.nLinhas(); ++i) {
        EXPECT_EQ(t.vista(i), t.linha(i)) << i;
        v.push_back(t.linha(i));
    }
    return v;
}

TEST(TipoTexto, InsertIntoEmptyTextAndCut) {
    EdVars ed;
    ed.insereNaLinhaAtual("primeira");
    EXPECT_EQ(ed.nLinhas(), 1);
    EXPECT_EQ(ed.colunaAtual, 9);
    ed.trocaLinha(1, std::string(300, 'x'));
    EXPECT_EQ(ed.linha(1), std::string(255, 'x'));
    ed.insereNaLinhaAtual(std::string(300, 'y'));
    EXPECT_EQ(ed.linha(1), std::string(255, 'y'));
    EXPECT_EQ(ed.colunaAtual, 256);
    EXPECT_EQ(ed.linha(0), "");  // outside the text: nothing, never a crash
    EXPECT_EQ(ed.texto.vista(99), "");
}

TEST(TipoTexto, CapacityGrowsBeforeItRunsOut) {
    TipoTexto t(12);
    EXPECT_TRUE(t.insere(1, "a"));
    EXPECT_TRUE(t.acrescentaLida("b"));
    EXPECT_EQ(t.capacidade(), 12);
    EXPECT_TRUE(t.acrescentaLida("c"));  // 12 <= 2 + 10: room for 50000 more
    EXPECT_EQ(t.capacidade(), 50002);
    t.liberaTexto();
    EXPECT_EQ(t.capacidade(), 50002);  // never shrunk
}

// Lines read from a file share one block; changing, inserting and removing lines around
// them, copying the text and freeing it never mixes up their texts.
TEST(TipoTexto, LinesReadMixWithOtherLines) {
    TipoTexto t;
    for (const char* l : {"um", "", "tres", "quatro"}) t.acrescentaLida(l);
    t.acrescentaLida(std::string(300, 'z'));
    t.insere(2, "novo");
    t.trocaLinha(4, "TRES");
    t.remove(5);
    const std::string& cinco = t.linha(5);
    EXPECT_EQ(cinco, std::string(255, 'z'));
    const TipoTexto copia = t;
    t.trocaLinha(1, "mudou");
    EXPECT_EQ(linhas(copia), (std::vector<std::string>{"um", "novo", "", "TRES", cinco}));
    EXPECT_EQ(linhas(t), (std::vector<std::string>{"mudou", "novo", "", "TRES", cinco}));
    t.liberaTexto();
    t.acrescentaLida("outro");
    EXPECT_EQ(linhas(t), std::vector<std::string>{"outro"});
}

TEST(TipoTexto, MarksFollowInsertions) {
    EdVars ed = comLinhas(10);
    ed.inicioBloco = 4;
    ed.fimBloco = 6;
    ed.linhaMemorizada = 8;
    const struct {
        int linha, inicio, fim, memorizada;
    } casos[] = {
        {2, 5, 7, 9},   // above the block: every mark moves
        {6, 5, 8, 10},  // inside the block: only its end
        {5, 5, 9, 11},  // on its first line: the block starts at the new line
    };
    for (const auto& c : casos) {
        ed.linhaAtual = c.linha;
        ed.insereNaLinhaAtual("nova");
        EXPECT_EQ(std::tuple(ed.inicioBloco, ed.fimBloco, ed.linhaMemorizada),
                  std::tuple(c.inicio, c.fim, c.memorizada))
            << c.linha;
    }
}

TEST(TipoTexto, MarksFollowRemovals) {
    EdVars ed = comLinhas(10);
    ed.inicioBloco = 4;
    ed.fimBloco = 6;
    ed.linhaMemorizada = 8;
    ed.colunaMemorizada = 5;
    ed.linhaAtual = 2;
    EXPECT_FALSE(ed.removeLinhaAtual());
    EXPECT_EQ(std::tuple(ed.inicioBloco, ed.fimBloco, ed.linhaMemorizada), std::tuple(3, 5, 7));
    ed.linhaAtual = 7;  // the memorised line itself: the position goes back to (1, 1)
    ed.removeLinhaAtual();
    EXPECT_EQ(std::pair(ed.linhaMemorizada, ed.colunaMemorizada), std::pair(1, 1));
    ed.linhaAtual = 8;  // the last line is emptied, never removed; its text leaves the block
    ed.fimBloco = 8;
    EXPECT_TRUE(ed.removeLinhaAtual());
    EXPECT_EQ(ed.fimBloco, 7);
    EXPECT_EQ(ed.nLinhas(), 8);
    EXPECT_EQ(ed.linha(8), "");
    EXPECT_EQ(ed.linhaRemovida, "linha 10");
}

// Every way of changing the text counts, so a block move or a fill is never left out of
// the emergency and recovery copies; rewriting a line with its own text does not.
TEST(TipoTexto, EveryChangeMovesTheVersion) {
    EdVars ed = comLinhas(6);
    const std::vector<std::string> duas = {"a", "b"};
    const int ordem[] = {1, 0};
    const std::vector<std::function<void()>> mudancas = {
        [&] { ed.texto.insere(2, std::span<const std::string>(duas)); },
        [&] { ed.texto.remove(2, 2); },
        [&] { ed.texto.reordena(1, ordem); },
        [&] { ed.texto.move(1, 2, 5); },
        [&] { ed.texto.substitui(1, 1, {"nova"}); },
        [&] { ed.texto.trocaLinha(1, "outra"); },
    };
    for (size_t i = 0; i < mudancas.size(); ++i) {
        const uint64_t antes = ed.texto.versao();
        mudancas[i]();
        EXPECT_NE(ed.texto.versao(), antes) << i;
    }
    const uint64_t antes = ed.texto.versao();
    ed.texto.trocaLinha(1, "outra");
    EXPECT_EQ(ed.texto.versao(), antes);
}

TEST(FormaBusca, FoldsCaseAndAccentsKeepingLength) {
    EXPECT_EQ(formaBusca("abc XYZ 123 !"), "ABC XYZ 123 !");
    // One group per kind of rule; the table's other letters take the same lookup.
    const std::pair<const char*, char> grupos[] = {
        {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'A'},
        {"\xC7\xE7", 'C'},
        {"\xD7\xF7", 'X'},
        {"\xC6\xE6", '\x91'},
        {"\x83\x84\x85\x86\x8E\x8F\xA0", 'A'},  // the DOS code page's accented letters
        // Everything else above 127 becomes 254, and 254 stays.
        {"\x91\x9B\xA6\xBF\xDE\xDF\xFE\xFF", '\xFE'},
    };
    for (const auto& [letras, forma] : grupos) {
        std::string s(letras);
        EXPECT_EQ(formaBusca(s), std::string(s.size(), forma)) << "group of " << forma;
    }
}

}  // namespace
