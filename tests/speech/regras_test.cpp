#include "speech/regras.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fixturasVoz.h"

namespace {

Regras regrasDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaRegras(in);
}

Excecoes excecoesDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaExcecoes(in);
}

TEST(CarregaRegras, SplitsALineAndCutsOverLongParts) {
    auto r = interpretaLinhaRegra("#:(CH)E=x|comentario (A)=b|\r");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->esquerda + "," + r->centro + "," + r->direita + "," + r->saida, "#:,CH,E,x");
    r = interpretaLinhaRegra("ABCDEFG(HIJKLMN)OPQRSTU=abcdefghijklmnop|");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->esquerda + "," + r->centro + "," + r->direita + "," + r->saida,
              "ABCDE,HIJKL,OPQRS,abcdefghijk");
}

TEST(CarregaRegras, SkipsMalformedLines) {
    for (const char* linha : {"", "comentario", "A)B=c|", "(A=c|", "(A)c|", "(A)=c", "()=c|",
                              ")A(=c|", "(A)|=c", "\xC7(A)=c|", "(\xC7)=c|", "(A)\t=c|"})
        EXPECT_FALSE(interpretaLinhaRegra(linha)) << linha;
    Regras r = regrasDe("(A=x|\nlixo\n(B)=b|\n(\xE1)=a|\n(a)=a|\n");
    EXPECT_EQ(r.total(), 1u);  // the lower-case centre is outside codes 32..95 too
    ASSERT_EQ(r.lista('B').size(), 1u);
    EXPECT_EQ(r.lista('B')[0].saida, "b");
}

TEST(CarregaRegras, ListsByCentreInFileOrderEvenWhenNotContiguous) {
    Regras r = regrasDe("(A)B=1|\n(B)=2|\n(AB)=3|\n(A)=4|\n");
    ASSERT_EQ(r.lista('A').size(), 3u);
    EXPECT_EQ(r.lista('A')[0].saida, "1");
    EXPECT_EQ(r.lista('A')[1].saida, "3");
    EXPECT_EQ(r.lista('A')[2].saida, "4");
    EXPECT_EQ(r.lista('B').size(), 1u);
    EXPECT_TRUE(r.lista('a').empty());
    EXPECT_TRUE(r.lista(200).empty());
}

TEST(CarregaRegras, ReadsAFileAndFailsOnAMissingOne) {
    fixturas::DiretorioTemporario dir("regras");
    fixturas::escreve(dir.caminho() / "regras.rgr", "(A)=a|\r\n(B)=b|\r\n");
    auto r = leRegras(dir.caminho() / "regras.rgr");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->total(), 2u);
    EXPECT_FALSE(leRegras(dir.caminho() / "nada.rgr"));
    EXPECT_FALSE(leRegras(dir.caminho()));  // a directory is not a rule file
}

TEST(CarregaExcecoes, ParsesWordAndReplacement) {
    auto e = interpretaLinhaExcecao("taxi=tackssi|nota\r");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->palavra, "taxi");
    EXPECT_EQ(e->troca, "tackssi");
    auto semBarra = interpretaLinhaExcecao("a=b");
    ASSERT_TRUE(semBarra);
    EXPECT_EQ(semBarra->troca, "b");
    EXPECT_FALSE(interpretaLinhaExcecao(""));
    EXPECT_FALSE(interpretaLinhaExcecao("=vazia|"));
    EXPECT_FALSE(interpretaLinhaExcecao("semigual"));
}

TEST(CarregaExcecoes, SortsForBinarySearchAndKeepsTheFirstOfTwins) {
    Excecoes e = excecoesDe("zebra=z|\n\nabacaxi=a|\nmeio=m1|\nmeio=m2|\n=x|\nbeta=b|\n");
    EXPECT_EQ(e.tamanho(), 4u);
    for (auto [palavra, troca] :
         {std::pair{"zebra", "z"}, {"abacaxi", "a"}, {"meio", "m1"}, {"beta", "b"}}) {
        const std::string* t = e.procura(palavra);
        ASSERT_NE(t, nullptr) << palavra;
        EXPECT_EQ(*t, troca);
    }
    EXPECT_EQ(e.procura("Meio"), nullptr);  // case-sensitive
    EXPECT_EQ(e.procura("mei"), nullptr);
    EXPECT_EQ(e.procura(""), nullptr);
}

TEST(CarregaExcecoes, ReadsAtMost15000Entries) {
    std::string texto;
    for (int i = 0; i < 20000; ++i)
        texto += "p" + std::to_string(i) + "=t" + std::to_string(i) + "|\n";
    Excecoes e = excecoesDe(texto);
    EXPECT_EQ(e.tamanho(), Excecoes::kMaximo);
    EXPECT_NE(e.procura("p14999"), nullptr);
    EXPECT_EQ(e.procura("p15000"), nullptr);
}

}  // namespace
