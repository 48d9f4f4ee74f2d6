#include "editor/commands/edembel.h"

#include "editor/edArq.h"
#include "editor/sessao.h"

namespace {

class Embeleza : public SessaoEdicao {};

TEST(Justifica, GapsWidenFromTheRightInPasses) {
    struct Caso {
        const char* antes;
        int esquerda, direita;
        const char* depois;
    };
    const Caso casos[] = {
        {"um dois", 1, 10, "um    dois"},
        {"a b c", 1, 8, "a  b   c"},  // second pass: the rightmost gap first
        {"  x y", 3, 8, "  x    y"},  // the indent before the left margin stays
        {"um dois   ", 1, 9, "um   dois"},
        {"  palavra  ", 1, 20, "  palavra"},  // no gap: only the blanks at the end go
        {"um dois", 1, 7, "um dois"},
        {"   ", 1, 10, "   "},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(justificaLinha(c.antes, c.esquerda, c.direita), c.depois) << c.antes;
}

TEST_F(Embeleza, MenuLettersRewriteTheBlock) {
    struct Caso {
        const char* teclas;
        Linhas antes, depois;
        const char* mensagem;
        int esquerda = 1, direita = 72;
    };
    const std::string b200(200, 'b'), z255(255, 'z');
    const Caso casos[] = {
        {"c", {"  abc  ", "   ", ""}, {std::string(34, ' ') + "abc", std::string(35, ' '),
                                       std::string(35, ' ')}, "EDBLKCNT"},
        // Centred past column 255 the line would lose its end: it moves left instead.
        {"c", {b200}, {std::string(55, ' ') + b200}, "EDBLKCNT", 200, 250},
        {"t5{Enter}", {"   abc", ""}, {"    abc", "    "}, "EDBLKTAB"},
        {"t0{Enter}", {"abc"}, {"abc"}, "EDDESIST"},
        {"i-3{Enter}", {"  abc", "     x"}, {"abc", "  x"}, "EDBLKALI"},
        {"i2{Enter}", {"abc", z255}, {"  abc", z255}, "EDBLKALI"},
        {"i{Enter}", {"abc"}, {"abc"}, "EDDESIST"},
        // Justify: the last line of a paragraph, and the text's last line, stay as filled.
        {"a", {"aa bb cc dd ee", "", "ff gg hh ii jj"}, {"aa bb  cc", "dd ee", "", "ff gg  hh", "ii jj"},
         "EDBLKALI", 1, 9},
        {"{Esc}", {"abc"}, {"abc"}, "EDDESIST"},
    };
    for (const Caso& c : casos) {
        abre(c.teclas);
        texto(c.antes, 1, 3);
        ed().margemEsquerda = c.esquerda;
        ed().margemDireita = c.direita;
        ed().inicioBloco = 1;
        ed().fimBloco = static_cast<int>(c.antes.size());
        menuEmbeleza(e());
        EXPECT_EQ(linhas(), c.depois) << c.teclas;
        EXPECT_EQ(ouvidoSemTextos().back(), std::string("mensagem ") + c.mensagem) << c.teclas;
        if (c.mensagem != std::string("EDDESIST")) {
            EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(1, 1)) << c.teclas;
        }
    }

    abre("z");
    texto({"abc"});
    menuEmbeleza(e());  // no block marked: nothing asked
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKINV"}));
    ed().inicioBloco = ed().fimBloco = 2;  // past the end of the text
    menuEmbeleza(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKINV"}));
    ed().inicioBloco = ed().fimBloco = 1;
    menuEmbeleza(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDOPCAO", "letra 122", "bip"}));
}

TEST_F(Embeleza, PastedParagraphReflowedJustifiedAndSaved) {
    abre("a");
    texto({"Um paragrafo colado de outro", "lugar, com linhas   de tamanhos", "diferentes.",
           "", "  Segundo."});
    ed().nomeArquivo = (pasta_ / "colado.txt").string();
    ed().margemEsquerda = 3;
    ed().margemDireita = 24;
    ed().inicioBloco = 1;
    ed().fimBloco = 5;
    menuEmbeleza(e());
    ASSERT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "colado.txt"),
              "  Um paragrafo colado de\r\n"
              "  outro    lugar,    com\r\n"
              "  linhas  de    tamanhos\r\n"
              "  diferentes.\r\n"
              "  \r\n"
              "    Segundo.\r\n");
    EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(1, 6));
}

}  // namespace
