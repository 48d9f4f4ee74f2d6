#include "speech/regras.h"

#include <gtest/gtest.h>

#include "bancadaFala.h"

namespace {

using bancada::excecoesDe;
using bancada::regrasDe;

TEST(CarregaRegras, SplitsALineCutsLongPartsAndSkipsMalformedOnes) {
    for (auto [linha, partes] :
         {std::pair{"#:(CH)E=x|comentario (A)=b|\r", "#:,CH,E,x"},
          {"ABCDEFG(HIJKLMN)OPQRSTU=abcdefghijklmnop|", "ABCDE,HIJKL,OPQRS,abcdefghijk"}}) {
        auto r = interpretaLinhaRegra(linha);
        ASSERT_TRUE(r) << linha;
        EXPECT_EQ(r->esquerda + "," + r->centro + "," + r->direita + "," + r->saida, partes);
    }
    for (const char* linha : {"", "comentario", "A)B=c|", "(A=c|", "(A)c|", "(A)=c", "()=c|",
                              ")A(=c|", "(A)|=c", "\xC7(A)=c|", "(\xC7)=c|", "(A)\t=c|", "(a)=a|"})
        EXPECT_FALSE(interpretaLinhaRegra(linha) && regrasDe(linha).total() > 0) << linha;
}

TEST(CarregaRegras, ListsByCentreInFileOrderEvenWhenNotContiguous) {
    Regras r = regrasDe("(A)B=1|\nlixo\n(B)=2|\n(AB)=3|\n(A)=4|\n");
    std::string saidas;
    for (const Regra& regra : r.lista('A')) saidas += regra.saida;
    EXPECT_EQ(saidas, "134");
    EXPECT_EQ(r.lista('B').size(), 1u);
    EXPECT_TRUE(r.lista(200).empty());
}

TEST(CarregaExcecoes, ParsesSortsAndKeepsTheFirstOfTwins) {
    auto e = interpretaLinhaExcecao("taxi=tackssi|nota\r");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->palavra + "=" + e->troca, "taxi=tackssi");
    EXPECT_EQ(interpretaLinhaExcecao("a=b")->troca, "b");
    for (const char* ruim : {"", "=vazia|", "semigual"}) EXPECT_FALSE(interpretaLinhaExcecao(ruim));

    Excecoes ex = excecoesDe("zebra=z|\n\nabacaxi=a|\nmeio=m1|\nmeio=m2|\n=x|\nbeta=b|\n");
    EXPECT_EQ(ex.tamanho(), 4u);
    for (auto [palavra, troca] :
         {std::pair{"zebra", "z"}, {"abacaxi", "a"}, {"meio", "m1"}, {"beta", "b"}}) {
        const std::string* t = ex.procura(palavra);
        ASSERT_NE(t, nullptr) << palavra;
        EXPECT_EQ(*t, troca);
    }
    for (const char* falta : {"Meio", "mei", ""}) EXPECT_EQ(ex.procura(falta), nullptr);
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
