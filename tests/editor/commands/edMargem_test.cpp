#include "editor/commands/edMargem.h"

#include "editor/sessao.h"

namespace {

class Margem : public SessaoEdicao {};

// F10's checks and Ctrl+I are in the margens_limites case; Ctrl+T and the margin menu's T
// and R in the margens_digitacao case.
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
