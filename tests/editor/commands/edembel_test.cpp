#include "editor/commands/edembel.h"

#include "editor/edArq.h"
#include "editor/sessao.h"

namespace {

class Embeleza : public SessaoEdicao {};

// Gaps widened from the right in passes, and an indent kept, are the bloco_margens_alinha
// case; here the lines a fill never leaves: blanks at the end, blanks only, a full line.
TEST(Justifica, LinesAFillNeverLeaves) {
    struct Caso {
        const char* antes;
        int esquerda, direita;
        const char* depois;
    };
    const Caso casos[] = {
        {"um dois   ", 1, 9, "um   dois"},
        {"  palavra  ", 1, 20, "  palavra"},  // no gap: only the blanks at the end go
        {"um dois", 1, 7, "um dois"},
        {"   ", 1, 10, "   "},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(justificaLinha(c.antes, c.esquerda, c.direita), c.depois) << c.antes;
}

// The menu's letters, its refusals and no block are in the bloco_embeleza case; here lines
// longer than a loaded text may hold and a block past the text's end.
TEST_F(Embeleza, LongLinesAndABlockPastTheEnd) {
    const std::string b200(200, 'b'), z255(255, 'z');
    const std::tuple<const char*, Linhas, Linhas, int, int> casos[] = {
        // Centred past column 255 the line would lose its end: it moves left instead.
        {"c", {b200}, {std::string(55, ' ') + b200}, 200, 250},
        {"i2{Enter}", {"abc", z255}, {"  abc", z255}, 1, 72},
    };
    for (const auto& [teclas, antes, depois, esquerda, direita] : casos) {
        abre(teclas);
        texto(antes, 1, 3);
        ed().margemEsquerda = esquerda;
        ed().margemDireita = direita;
        ed().inicioBloco = 1;
        ed().fimBloco = static_cast<int>(antes.size());
        menuEmbeleza(e());
        EXPECT_EQ(linhas(), depois) << teclas;
    }
    abre("");
    texto({"abc"});
    ed().inicioBloco = ed().fimBloco = 2;
    menuEmbeleza(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKINV"}));
}

}  // namespace
