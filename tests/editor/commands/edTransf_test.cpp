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

// Copying the selection, the block or the cursor line, pasting as the block with line ends
// of any kind, the Word form and decoding the block are in the transferencia_blocos case; an
// empty clipboard in cola_clipboard_vazio.
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

// The Word form ends with a line end (no paste shows whether it does).
TEST_F(Transferencia, WordFormJoinsTheBlockIntoParagraphs) {
    texto({"Titulo", "", "    Texto um", "dois"}, 1);
    ed().inicioBloco = 1;
    ed().fimBloco = 4;
    copiaBlocoWord(e());
    EXPECT_EQ(clipboard(), "Titulo\r\n\r\n\tTexto um dois\r\n");
}

}  // namespace
