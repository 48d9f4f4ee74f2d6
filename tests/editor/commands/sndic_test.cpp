#include "editor/commands/sndic.h"

#include <gtest/gtest.h>

#include <algorithm>

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

bool contem(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

TEST(Dicionario, StemsClassesNamesAndExceptions) {
    Carregado c(kSufixos, kDic, "cantas\r\n", "Brasil\r\n", "s\xE7=ss\r\n");
    ASSERT_TRUE(c.certo);
    const Dicionario& d = c.dic;
    // cas A: the class's forms, any case, but not the bare stem; "=" adds it.
    for (const char* p : {"casa", "Casas", "CASA", "cant", "canta", "cantar", "passo", "passas"})
        EXPECT_TRUE(d.verificaPalavra(p)) << p;
    for (const char* p : {"cas", "casaa", "cantas", "brasil", "casar", "pass", "livro2", "",
                          "a", "solto"})
        EXPECT_FALSE(d.verificaPalavra(p)) << p;  // cantas: an exception; solto: no class
    EXPECT_TRUE(d.verificaPalavra("Brasil"));
    // The class names no case either ([o]), and an unknown class is said once.
    EXPECT_TRUE(d.verificaPalavra("livros"));
    EXPECT_EQ(c.mensagens, std::vector<std::string>{"problemas no dicion\xE1rio: X"});
}

TEST(Dicionario, SuggestionsFromTheRulesSortedWithoutRepeats) {
    // At position 3 the rest "s\xE7o" begins with "s\xE7"; "\xE7=s" makes the same word again.
    Carregado c(kSufixos, kDic, "", "", "s\xE7=ss\r\n\xE7=s\r\nc=x\r\na=o\r\n");
    ASSERT_TRUE(c.certo);
    EXPECT_EQ(c.dic.sugestoes("pas\xE7o"), std::vector<std::string>{"passo"});
    EXPECT_EQ(c.dic.sugestoes("pacsa"), std::vector<std::string>{});
    // The word itself when correct, with the others, sorted.
    EXPECT_EQ(c.dic.sugestoes("passa"), (std::vector<std::string>{"passa", "passo"}));
    // A vowel in front: the word raised at its first letter, and with an h.
    Carregado h(kSufixos, "hol A\r\n", "", "Ola\r\n", "x=y\r\n");
    EXPECT_EQ(h.dic.sugestoes("ola"), (std::vector<std::string>{"hola", "Ola"}));
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

TEST(Dicionario, HyphenatedWordsOfRightParts) {
    Carregado c(kSufixos, kDic + std::string("guarda-chuv A\r\ncasa-c A\r\nas\r\n"), "",
                "Brasil\r\n", "");
    for (const char* p : {"casa-cant", "as-casas", "Brasil-casas", "guarda-chuvas",
                          "guarda-chuva-casa", "casa-casa-casa-casa-casa-casa-casa"})
        EXPECT_TRUE(c.dic.verificaPalavra(p)) << p;
    // Not: a wrong piece, an empty one, a piece of two letters after a hyphen (casa-ca is only
    // right whole), a name out of its case.
    for (const char* p : {"casa-pass", "casa-", "-casa", "casa--casa", "-", "guarda", "casa-as",
                          "brasil-casa"})
        EXPECT_FALSE(c.dic.verificaPalavra(p)) << p;
    EXPECT_TRUE(c.dic.verificaPalavra("casa-ca"));
}

}  // namespace
