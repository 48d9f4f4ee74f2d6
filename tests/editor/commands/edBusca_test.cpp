#include "editor/commands/edBusca.h"

#include <random>

#include "editor/sessao.h"

namespace {

class Busca : public SessaoEdicao {};

TEST_F(Busca, FindsFoldedFromTheCursorLineAndAgainFromTheNext) {
    struct Caso {
        std::string teclas;
        Linhas antes;
        int linha, coluna;
        int linhaDepois, colunaDepois;
        const char* mensagem;
    };
    const std::string a255(255, 'a'), a254(254, 'a');
    const Caso casos[] = {
        {"acao{Enter}", {"nada", "A A\xC7\xC3O"}, 1, 1, 2, 3, "EDTXTENC"},  // A AÇÃO
        // The cursor line counts whole, even before the cursor.
        {"um{Enter}", {"x", "um dois", "um"}, 2, 6, 2, 1, "EDTXTENC"},
        {"tres{Enter}", {"um", "dois"}, 2, 3, 2, 3, "EDTXNENC"},
        {"{Esc}", {"um"}, 1, 2, 1, 2, "EDDESIST"},
        {a255 + "{Enter}", {a254, "b" + a254, a255}, 1, 1, 3, 1, "EDTXTENC"},
    };
    for (const Caso& c : casos) {
        abre(c.teclas);
        texto(c.antes, c.linha, c.coluna);
        procura(e());
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual),
                  std::pair(c.linhaDepois, c.colunaDepois)) << c.teclas;
        EXPECT_EQ(ouvidoSemTextos().back(), std::string("mensagem ") + c.mensagem) << c.teclas;
    }

    abre("o{Enter}");
    texto({"outro dois", "nada", "do"}, 1, 1);
    procura(e());
    procuraDeNovo(e());  // the second "o" of line 1 is never reached
    EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(3, 2));
    procuraDeNovo(e());
    EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDTXNENC");
    EXPECT_EQ(ed().linhaAtual, 3);
}

// The skipping search agrees with folding the whole line and finding the form in it.
TEST(BuscaDobradaTest, AgreesWithTheFoldedLine) {
    std::mt19937 sorte(7);
    const std::string letras = "aAbB \xE1\xC1\xE7\xC7\xD7x\x80";
    auto sorteia = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s += letras[sorte() % letras.size()];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string linha = sorteia(sorte() % 40), forma = formaBusca(sorteia(1 + sorte() % 4));
        const size_t esperado = formaBusca(linha).find(forma);
        EXPECT_EQ(BuscaDobrada(forma).procura(linha),
                  esperado == std::string::npos ? 0 : static_cast<int>(esperado) + 1)
            << linha << " / " << forma;
    }
}

TEST_F(Busca, ReplacesExactlyInTheTextOrTheBlock) {
    struct Caso {
        const char* teclas;
        Linhas antes;
        std::pair<int, int> bloco;
        Linhas depois;
        Ouvido ouvido;
    };
    const std::string a250(250, 'a');
    const Caso casos[] = {
        {"aa{Enter}a{Enter}t", {"aaaa", "Aa"}, {1, 0}, {"aa", "Aa"}, {"mensagem EDTXTTRC"}},
        {"Ana{Enter}Bia{Enter}xb", {"Ana", "Ana e Ana", "Ana"}, {2, 2},
         {"Ana", "Bia e Bia", "Ana"}, {"mensagem EDTXTTRC"}},
        {"Ana{Enter}Bia{Enter}b", {"Ana"}, {1, 0}, {"Ana"}, {"mensagem EDTXNENC"}},
        {"a{Enter}{Enter}t", {"banana"}, {1, 0}, {"bnn"}, {"mensagem EDTXTTRC"}},
        {"x{Enter}xxxxxxx{Enter}t", {a250 + "x"}, {1, 0}, {a250 + "xxxxx"},
         {"bip", "mensagem EDTXTTRC"}},  // cut at 255, heard
        {"a{Enter}b{Enter}{Esc}", {"a"}, {1, 0}, {"a"}, {"mensagem EDDESIST"}},
    };
    for (const Caso& c : casos) {
        abre(c.teclas);
        texto(c.antes, 1, 2);
        std::tie(ed().inicioBloco, ed().fimBloco) = c.bloco;
        ed().textoProcurado = "GUARDADO";
        procuraTroca(e());
        EXPECT_EQ(linhas(), c.depois) << c.teclas;
        Ouvido o = ouvidoSemTextos();
        o.erase(o.begin(), o.end() - static_cast<long>(c.ouvido.size()));
        EXPECT_EQ(o, c.ouvido) << c.teclas;
        EXPECT_EQ(ed().textoProcurado, "GUARDADO");
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(1, 2));
    }
}

}  // namespace
