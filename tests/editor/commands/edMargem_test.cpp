#include "editor/commands/edMargem.h"

#include "editor/sessao.h"

namespace {

class Margem : public SessaoEdicao {};

// F10's checks and Ctrl+I are in the margens_limites case; Ctrl+T and the margin menu's T
// and R in margens_digitacao; a block refilled in the text in embeleza_margens.
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

}

}  // namespace
