#include "editor/commands/sndic.h"

#include <gtest/gtest.h>

#include "platform/codigos.h"

namespace {

const char* const kSufixos = "* classes\r\nsolto\r\n[A]\r\na\r\nas\r\n[o]\r\no\r\nos\r\n[B\r\nar\r\n";
const char* const kDic = "* radicais\r\ncas A\r\ncant = A B\r\npass O A\r\nlivr X o\r\n";

struct Carregado {
    Dicionario dic;
    std::vector<std::string> mensagens;
    bool certo;
    Carregado(std::string_view suf, std::string_view d, std::string_view exc,
              std::string_view nom, std::string_view sug)
        : certo(dic.carrega(suf, d, exc, nom, sug, "regras.sug", mensagens)) {}
};

// The words a small dictionary takes and refuses, its suggestions and its hyphenated words
// are the dicionario_formas case, whose files are these with a few lines more; here what
// no text reaches.
TEST(Dicionario, AnUnknownClassIsSaidAndTheRestLoads) {
    Carregado c(kSufixos, kDic, "", "", "");
    ASSERT_TRUE(c.certo);
    EXPECT_EQ(c.mensagens, std::vector<std::string>{"problemas no dicion\xE1rio: X"});
    EXPECT_TRUE(c.dic.verificaPalavra("livros"));
    for (const char* p : {"", "livro2"}) EXPECT_FALSE(c.dic.verificaPalavra(p)) << p;
}

TEST(Dicionario, BadFiles) {
    std::vector<std::string> m;
    Dicionario d;
    // A rules line without '=' after its first character stops the load and is written.
    EXPECT_FALSE(d.carrega(kSufixos, kDic, "", "", "a=b\r\n=x\r\n", "r.sug", m));
    EXPECT_EQ(m.back(), "\a\aLinha errada no arquivo r.sug: =x");
    EXPECT_FALSE(d.carrega(kSufixos, kDic, "", "", "semigual\n", "r.sug", m));
    // LF alone, and a file saved as UTF-8 by mistake.
    ASSERT_TRUE(d.carrega("[A]\nção\nções\n", "na A\n", "", "São Paulo\n", "", "", m));
    EXPECT_TRUE(d.verificaPalavra("na\xE7\xE3o"));
    EXPECT_TRUE(d.verificaPalavra("na\xE7\xF5" "es"));
    EXPECT_TRUE(d.verificaPalavra("S\xE3o Paulo"));
    // Long words and runs of marks neither crash nor pass.
    const std::string longa(255, 'x');
    ASSERT_TRUE(d.carrega("[A]\nx\n", longa.substr(1) + " A\n", "", "", "x=xx\n", "", m));
    EXPECT_TRUE(d.verificaPalavra(longa));
    EXPECT_FALSE(d.verificaPalavra(std::string(255, '#')));
    EXPECT_EQ(d.sugestoes(longa.substr(1)), std::vector<std::string>{longa});
}

}  // namespace
