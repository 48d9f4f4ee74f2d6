#include "editor/edLinha.h"

#include "sessao.h"

namespace {

class Linha : public SessaoEdicao {};

// Line commands are in the comandos_linha, linhas_junta_quebra, linhas_com_texto and
// linha_unica_e_marca cases; here a column past the line's end, which no key gives.
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

}  // namespace
