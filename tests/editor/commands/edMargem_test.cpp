#include "editor/commands/edMargem.h"

#include "editor/sessao.h"

namespace {

class Margem : public SessaoEdicao {};

TEST_F(Margem, MarginsAreCheckedAndTheCursorReachesTheLeftOne) {
    struct Caso {
        const char* teclas;
        int esquerda, direita;
        const char* mensagem;
        std::string linha;  // the cursor line afterwards ("abc" before, cursor at 2)
        int coluna;
    };
    const Caso casos[] = {
        {"10{Enter}5{Enter}", 3, 50, "EDMARINV", "abc", 2},  // the old margins stay
        {"10{Enter}300{Enter}", 3, 50, "EDMARINV", "abc", 2},
        {"0{Enter}0{Enter}", 1, 72, "EDMARACI", "abc", 2},
        {"250{Enter}251{Enter}", 250, 251, "EDMARACI", "abc" + std::string(246, ' '), 250},
    };
    for (const Caso& c : casos) {
        abre(c.teclas);
        texto({"abc"}, 1, 2);
        ed().margemEsquerda = 3;
        ed().margemDireita = 50;
        defineMargens(e());
        EXPECT_EQ(std::pair(ed().margemEsquerda, ed().margemDireita),
                  std::pair(c.esquerda, c.direita)) << c.teclas;
        EXPECT_EQ(ed().linha(1), c.linha) << c.teclas;
        EXPECT_EQ(ed().colunaAtual, c.coluna) << c.teclas;
        EXPECT_TRUE(ouviu(ouvidoSemTextos(), std::string("mensagem ") + c.mensagem)) << c.teclas;
    }
}

TEST_F(Margem, TabAndNextTabColumn) {
    for (const auto& [coluna, depois] : {std::pair(1, 5), {4, 5}, {5, 9}}) {
        texto({"abcdef"}, 1, coluna);
        tabulacao(e());
        EXPECT_EQ(ed().linha(1).size(), static_cast<size_t>(6 + depois - coluna)) << coluna;
        EXPECT_EQ(ed().colunaAtual, depois) << coluna;
        EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique"}));
    }

    // The margin menu's T, R and Tab are also in the margens_digitacao case.
    abre("r" + std::string(33, 't'));
    ed().tabulacoes = {10, 20};
    struct Caso {
        int coluna, esquerda, depois;
        bool clique;
    };
    for (const Caso& c : {Caso{10, 1, 20, false}, {25, 1, 29, true}, {24, 1, 25, true},
                          {21, 30, 30, true}, {3, 1, 10, false}}) {
        texto({"abc"}, 1, c.coluna);
        ed().margemEsquerda = c.esquerda;
        comandoMargensTabs(e());
        EXPECT_EQ(ed().colunaAtual, c.depois) << c.coluna;
        EXPECT_EQ(ed().linha(1).size(), std::max<size_t>(3, static_cast<size_t>(c.depois - 1)));
        EXPECT_EQ(ouvido(), c.clique ? Ouvido{"clique"} : Ouvido{}) << c.coluna;
    }

    familiaMargens(e());  // R
    EXPECT_TRUE(ed().tabulacoes.empty());
    for (int i = 1; i <= 33; ++i) {
        ed().colunaAtual = i;
        familiaMargens(e());
    }
    EXPECT_EQ(ed().tabulacoes.size(), 32u);  // the 33rd refused, silently
    EXPECT_EQ(ed().tabulacoes.back(), 32);
    EXPECT_EQ(ouvidoSemTextos().back(), "letra 116");
}

TEST_F(Margem, FillKeepsParagraphsAndCutsOnlyOverlongWords) {
    struct Caso {
        Linhas bloco;
        int esquerda, direita;
        Linhas depois;
    };
    const std::string p255(255, 'p');
    const Caso casos[] = {
        {{"  Um texto", "que segue"}, 1, 72, {"  Um texto que segue"}},
        {{"  Um texto", "  que segue"}, 1, 72, {"Um texto que segue"}},
        {{"um  dois   tres", "quatro cinco seis", "", " novo paragrafo"}, 3, 12,
         {"  um dois", "  tres", "  quatro", "  cinco seis", "  ", "   novo", "  paragrafo"}},
        {{"", "", ""}, 5, 20, {"    ", "    ", "    "}},
        {{p255}, 1, 72, {p255.substr(0, 72), p255.substr(0, 72), p255.substr(0, 72), p255.substr(0, 39)}},
    };
    for (const Caso& c : casos) {
        std::vector<std::string_view> vistas(c.bloco.begin(), c.bloco.end());
        EXPECT_EQ(preencheMargens(vistas, c.esquerda, c.direita), c.depois) << c.bloco[0];
    }

    // In the text: the marks cover the lines made, the rest of the text moves with them.
    texto({"antes", "a b c d", "e f", "depois"}, 4, 3);
    ed().margemDireita = 3;
    ed().inicioBloco = 2;
    ed().fimBloco = 3;
    ed().linhaMemorizada = 4;
    acertaMargens(e(), true);
    EXPECT_EQ(linhas(), (Linhas{"antes", "a b", "c d", "e f", "depois"}));
    EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(2, 4));
    EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(2, 1));
    EXPECT_EQ(ed().linhaMemorizada, 5);
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKMRG"}));
    ed().margemDireita = 72;
    acertaMargens(e(), false);  // silent, as block command J asks; fewer lines now
    EXPECT_TRUE(ouvido().empty());
    EXPECT_EQ(linhas(), (Linhas{"antes", "a b c d e f", "depois"}));
    EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(2, 2));
    EXPECT_EQ(ed().linhaMemorizada, 3);
}

}  // namespace
