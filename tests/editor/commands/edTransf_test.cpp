#include "editor/commands/edTransf.h"

#include "editor/sessao.h"

namespace {

class Transferencia : public SessaoEdicao {
  protected:
    std::string clipboard() {
        std::string t;
        EXPECT_TRUE(crt().leClipboard(t, 1 << 24));
        return t;
    }
    void poeClipboard(const std::string& t) { crt().frente().copiaTexto(t); }
};

TEST_F(Transferencia, CopyTakesTheSelectionOrTheBlockOrTheCursorLine) {
    texto({"um", "dois tres", "quatro"}, 2, 3);
    copiaParaClipboard(e());
    EXPECT_EQ(clipboard(), "dois tres\r\n");
    EXPECT_EQ(ed().inicioBloco, 2);
    EXPECT_EQ(ed().fimBloco, 2);
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKCRG"}));

    ed().inicioBloco = 1;
    ed().fimBloco = 3;
    copiaSelecao(e());
    EXPECT_EQ(clipboard(), "um\r\ndois tres\r\nquatro\r\n");
    EXPECT_EQ(ouvido(), (Ouvido{"clique"}));

    ed().selecaoInicio = 9;  // the selection, in either order, without the larger column
    ed().selecaoFim = 6;
    copiaParaClipboard(e());
    EXPECT_EQ(clipboard(), "tre");
    EXPECT_EQ(ouvido(), (Ouvido{"clique", "clique"}));

    ed().selecaoInicio = ed().selecaoFim = 0;
    ed().inicioBloco = 3;
    ed().fimBloco = 2;
    copiaParaClipboard(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKINV"}));
}

TEST_F(Transferencia, PasteInsertsTheLinesBeforeTheCursorLineAsTheBlock) {
    for (const char* colado : {"a\r\nb\r\n\r\nc", "a\nb\n\nc\n", "a\rb\r\rc"}) {
        texto({"x", "y"}, 2, 2);
        ed().selecaoInicio = 1;
        ed().selecaoFim = 2;
        poeClipboard(colado);
        colaLinhas(e());
        EXPECT_EQ(linhas(), (Linhas{"x", "a", "b", "", "c", "y"})) << colado;
        EXPECT_EQ(ed().linhaAtual, 6);
        EXPECT_EQ(ed().colunaAtual, 1);
        EXPECT_EQ(ed().inicioBloco, 2);
        EXPECT_EQ(ed().fimBloco, 5);
        EXPECT_EQ(ed().selecaoInicio, 0);
        EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKADC"}));
    }
    // An empty clipboard: nothing happens.
    poeClipboard("");
    colaNaLinha(e());
    EXPECT_EQ(ed().nLinhas(), 6);
    EXPECT_TRUE(ouvido().empty());
}

TEST_F(Transferencia, LongPastedParagraphsAreCutWithoutLosingText) {
    const std::string palavras = std::string(158, 'p') + " ab cd";
    const std::string corrido(300, 'z');
    EXPECT_EQ(linhasDaColagem(palavras + "\n" + corrido + "\n\n"),
              (Linhas{std::string(158, 'p') + " ab ", "cd", std::string(255, 'z'), std::string(45, 'z'), ""}));
    // A line cut for its length and ended right there gives no empty line after it.
    EXPECT_EQ(linhasDaColagem(std::string(255, 'z') + "\r\n" + std::string(159, 'p') + " \nx"),
              (Linhas{std::string(255, 'z'), std::string(159, 'p') + " ", "x"}));
    // NUL ends the clipboard's text; a megabyte of lines is pasted whole.
    texto({"fim"});
    std::string grande;
    for (int i = 0; i < 100000; ++i) grande += "linha de teste\r\n";
    poeClipboard(grande + std::string(1, '\0') + "depois");
    colaNaLinha(e());
    EXPECT_EQ(ed().nLinhas(), 100001);
    EXPECT_EQ(ed().linha(100001), "fim");
    EXPECT_EQ(ed().fimBloco, 100000);
}

TEST_F(Transferencia, WordFormJoinsTheBlockIntoParagraphs) {
    texto({"Titulo", "", "    Texto um", "dois"}, 1);
    ed().inicioBloco = 1;
    ed().fimBloco = 4;
    copiaBlocoWord(e());
    EXPECT_EQ(clipboard(), "Titulo\r\n\r\n\tTexto um dois\r\n");
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDBLKCRG"}));
}

TEST_F(Transferencia, DecodingChangesTheBlockOnlyAndKeepsCursorAndMarks) {
    abre("qZ");
    texto({"=E1", "Assunto: =?iso-8859-1?Q?Ol=E1_mundo?= hoje", "Ol=C3=A1=", "=E1"}, 4, 2);
    ed().inicioBloco = 2;
    ed().fimBloco = 3;
    decodificaBloco(e());
    EXPECT_EQ(linhas(), (Linhas{"=E1", "Assunto: Ol\xE1 mundo hoje", "Ol\xC3\xA1", "=E1"}));
    EXPECT_EQ(ed().linhaAtual, 4);
    EXPECT_EQ(ed().colunaAtual, 2);
    EXPECT_EQ(ed().inicioBloco, 2);
    EXPECT_EQ(ed().fimBloco, 3);
    ouvido();
    decodificaBloco(e());  // Z is no choice
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDUTF8", "letra 90", "mensagem EDDESIST"}));
    EXPECT_EQ(ed().linha(3), "Ol\xC3\xA1");
}

}  // namespace
