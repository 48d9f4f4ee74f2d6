#include "editor/edListaArq.h"

#include <gtest/gtest.h>

#include "editor/edArq.h"
#include "sessao.h"

namespace fs = std::filesystem;

namespace {

using Nomes = std::vector<std::string>;

// ------------------------------------------------------------------ patterns

TEST(PadraoLista, PatternOfTheTypedName) {
    EXPECT_EQ(padraoDaLista(""), "*.*");
    EXPECT_EQ(padraoDaLista("carta"), "*.*");
    EXPECT_EQ(padraoDaLista("docs/"), "docs/*.*");
    EXPECT_EQ(padraoDaLista("docs\\"), "docs\\*.*");
    EXPECT_EQ(padraoDaLista("docs/carta.txt"), "docs/*");
    EXPECT_EQ(padraoDaLista("docs/*.txt"), "docs/*.txt");
    EXPECT_EQ(parteDiretorio("a/b\\c.txt"), "a/b\\");
    EXPECT_EQ(parteDiretorio("c.txt"), "");
}

TEST(PadraoLista, WildcardsIgnoreCase) {
    EXPECT_TRUE(casaPadrao("*.txt", "CARTA.TXT"));
    EXPECT_FALSE(casaPadrao("*.txt", "carta.txt.bak"));
    EXPECT_TRUE(casaPadrao("*.*", "semponto"));
    EXPECT_TRUE(casaPadrao("carta.*", "carta"));
    EXPECT_TRUE(casaPadrao("a?c", "abc"));
    EXPECT_FALSE(casaPadrao("a?c", "ac"));
    EXPECT_TRUE(casaPadrao("*a*b", "xaxxab"));
    EXPECT_FALSE(casaPadrao("*a*b", "xaxxa"));
    EXPECT_TRUE(casaPadrao("\xc7\xc3O*", "\xe7\xe3o.txt"));  // accented letters too
    EXPECT_FALSE(casaPadrao("", "a"));
}

// A folder of files to choose from.
class ListaArquivos : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* n : {"b.txt", "A.txt", "c.doc", "cc.txt", ".oculto.txt"})
            gravaArquivoTeste(pasta_ / n, n);
        fs::create_directory(pasta_ / "sub.txt");
        fs::create_symlink("b.txt", pasta_ / "elo.txt");
        fs::create_symlink("nada", pasta_ / "quebrado.txt");
    }
    std::string dir() const { return pasta_.caminho().string(); }
    // The name prompt at row 9, column 25, as after "Qual o nome do Arquivo? ".
    static std::string pede(SessaoEditor& s, int linhas = 15) {
        s.crt().GotoXY(25, 9);
        return pedeNomeArquivo(s.editor(), linhas);
    }
    // Not the sessions' folder, which they empty when they start.
    PastaTemporaria pasta_{"arquivos"};
};

TEST_F(ListaArquivos, PlainFilesOfThePatternInOrderOfName) {
    EXPECT_EQ(arquivosDoPadrao(dir() + "/*.*"),
              (Nomes{"A.txt", "b.txt", "c.doc", "cc.txt", "elo.txt"}));
    EXPECT_EQ(arquivosDoPadrao(dir() + "/*.TXT"), (Nomes{"A.txt", "b.txt", "cc.txt", "elo.txt"}));
    EXPECT_EQ(arquivosDoPadrao(dir() + "/.*"), (Nomes{".oculto.txt"}));
    EXPECT_EQ(arquivosDoPadrao(dir() + "\\c*"), (Nomes{"c.doc", "cc.txt"}));
    EXPECT_EQ(arquivosDoPadrao(dir() + "/falta/*.*"), Nomes{});
}

// The keys of the list and names typed at its prompt are the lista_de_arquivos case.

TEST_F(ListaArquivos, ColoursAndSizeOnTheScreen) {
    SessaoEditor s(dir() + "{Enter}{Down}");
    EXPECT_THROW(pede(s, 16), FimDoRoteiro);  // the keys end with the list open
    EXPECT_EQ(s.linhaTelaNoFim(10).substr(0, 6), "A.txt ");
    EXPECT_EQ(s.atributoNoFim(1, 10), 0x6F);   // white on brown
    EXPECT_EQ(s.atributoNoFim(1, 11), 0x6E);   // the current entry in yellow
    EXPECT_EQ(s.atributoNoFim(79, 25), 0x6F);  // down to row 25...
    EXPECT_NE(s.atributoNoFim(80, 25), 0x6F);  // ...but never its last cell
    SessaoEditor curta(dir() + "{Enter}");
    EXPECT_THROW(pede(curta, 15), FimDoRoteiro);
    EXPECT_EQ(curta.atributoNoFim(80, 24), 0x6F);  // 80 wide when it ends above row 25
    EXPECT_NE(curta.atributoNoFim(1, 25), 0x6F);
}

TEST_F(ListaArquivos, ScreenUnderTheListComesBack) {
    SessaoEditor s(dir() + "{Enter}{Esc}");
    s.crt().GotoXY(1, 12);
    s.crt().escreve("texto por baixo");
    EXPECT_EQ(pede(s), "");
    EXPECT_EQ(s.linhaTela(12).substr(0, 15), "texto por baixo");
    EXPECT_EQ(s.crt().atributoEm(1, 12), 0x0F);
}

}  // namespace
