#include "editor/edListaArq.h"

#include <gtest/gtest.h>

#include <sstream>

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
        fs::create_directory(pasta_ / "muitos");
        for (int i = 1; i <= 15; ++i) {
            char n[16];
            std::snprintf(n, sizeof n, "f%02d.txt", i);
            gravaArquivoTeste(pasta_ / "muitos" / n, "");
        }
    }
    std::string dir() const { return pasta_.caminho().string(); }
    // The name prompt at row 9, column 25, as after "Qual o nome do Arquivo? ".
    static std::string pede(SessaoEditor& s, int linhas = 15) {
        s.crt().GotoXY(25, 9);
        return pedeNomeArquivo(s.editor(), linhas);
    }
    // What was heard from the first announcement of the list on, without the stops.
    static Nomes ouvidoNaLista(const SessaoEditor& s) {
        std::istringstream in(s.rastro());
        Nomes v;
        bool aberta = false;
        for (std::string l; std::getline(in, l);) {
            aberta = aberta || l == "texto A.txt" || l == "texto f01.txt";
            if (aberta && l != "para") v.push_back(l);
        }
        return v;
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

// The keys of the list (typed after the folder's name), the file chosen and what was heard.
TEST_F(ListaArquivos, KeysOfTheList) {
    const struct {
        const char* teclas;
        const char* escolhido;  // empty: none
        Nomes ouvido;
    } casos[] = {
        // Past the ends: a beep and the entry stays.
        {"{Enter}{Up}{End}{Down}{PgUp}{PgDn}{Home}{Ctrl+PgDn}{Ctrl+PgUp}{Esc}", "",
         {"texto A.txt", "bip", "texto elo.txt", "bip", "bip", "bip", "texto A.txt",
          "texto elo.txt", "texto A.txt"}},
        {"/muitos/{Enter}{PgDn}{PgDn}{Down}{PgUp}{Enter}", "/muitos/f02.txt",
         {"texto f01.txt", "texto f11.txt", "bip", "texto f12.txt", "texto f02.txt"}},
        // Marks only change the announcement: Shift+End marks b..elo; "/" unmarks all,
        // space toggles, "+" marks, "-" unmarks, "*" marks all.
        {"{Enter}{Down}{Shift+End}{Up}/  +-*{Enter}", "/cc.txt",
         {"texto A.txt", "texto b.txt", "bip", "texto elo.txt", "bip", "texto cc.txt",
          "texto cc.txt", "bip", "texto cc.txt", "texto cc.txt", "bip", "texto cc.txt",
          "texto cc.txt", "bip", "texto cc.txt"}},
        {"{Enter}{End}{Shift+Home}{End}{Enter}", "/elo.txt",
         {"texto A.txt", "texto elo.txt", "bip", "texto A.txt", "bip", "texto elo.txt"}},
        // F5 and a letter, Ctrl+F5 again (round from the top); no such letter: a beep.
        {"{Enter}{F5}c{Ctrl+F5}{Ctrl+F5}{F5}z{F5}{Down}{Enter}", "/c.doc",
         {"texto A.txt", "texto c.doc", "texto cc.txt", "texto c.doc", "bip", "bip"}},
        // The sideways arrows spell; other keys say the entry again; Ctrl+F5 with nothing
        // looked for yet beeps.
        {"{Enter}{Right}{Left}x{F12}{Ctrl+F5}{Enter}", "/A.txt",
         {"texto A.txt", "soletra A.txt", "soletra A.txt", "texto A.txt", "texto A.txt", "bip"}},
    };
    for (const auto& c : casos) {
        SessaoEditor s(dir() + c.teclas);
        EXPECT_EQ(pede(s), *c.escolhido ? dir() + c.escolhido : "") << c.teclas;
        EXPECT_EQ(ouvidoNaLista(s), c.ouvido) << c.teclas;
    }
}

TEST_F(ListaArquivos, NamesTypedWildcardsAndTab) {
    SessaoEditor tab(dir() + "{Enter}{Tab}{End}x.txt{Enter}");  // Tab: back to the name
    EXPECT_EQ(pede(tab), dir() + "/x.txt");
    EXPECT_TRUE(contemEmOrdem(tab.rastro(), {"texto A.txt", "clique", "clique", "letra 120"}));
    SessaoEditor curinga(dir() + "/*.doc{Enter}{Down}{Enter}");
    EXPECT_EQ(pede(curinga), dir() + "/c.doc");
    EXPECT_TRUE(contemEmOrdem(curinga.rastro(), {"texto c.doc", "bip"}));
    SessaoEditor nada(dir() + "/*.xyz{Enter}{Esc}");  // nothing matches: a beep, the name again
    EXPECT_EQ(pede(nada), "");
    EXPECT_EQ(nada.rastro().find("texto "), std::string::npos);
    SessaoEditor barra(dir() + "\\{Enter}{Enter}");  // "\" is a separator too
    EXPECT_EQ(pede(barra), dir() + "\\A.txt");
    const std::pair<const char*, const char*> digitados[] = {
        {"  carta  {Enter}", "carta"}, {"{Enter}", ""}, {"nome{Esc}", ""},
        {"nome{Up}{Enter}", "nome"},  // a key the prompt has no use for
    };
    for (const auto& [teclas, nome] : digitados) {
        SessaoEditor s(teclas);
        EXPECT_EQ(pede(s), nome) << teclas;
    }
    // Tab on an empty name lists the current folder (the lista_escolhe_arquivo case); a
    // typed name without a folder lists it too.
    DiretorioAtual aqui(pasta_.caminho());
    SessaoEditor digitado("cart{Tab}{Enter}");
    EXPECT_EQ(pede(digitado), "A.txt");
}

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
