#include "editor/edCursor.h"

#include <functional>
#include <random>

#include "editor/edLinha.h"
#include "sessao.h"

namespace {

using Comando = std::function<void(Editor&)>;

// ---- Typing and deleting ----

class Digitacao : public SessaoEdicao {};

// Typing and deleting through the keys is in the digitacao_limites case. A column past the
// end of the line (a braille display's routing key can put the cursor there): a character
// goes at the end, deleting loses nothing.
TEST_F(Digitacao, PastTheEndOfTheLine) {
    auto linhaColuna = [&] { return std::pair(ed().linha(ed().linhaAtual), ed().colunaAtual); };
    texto({"abc"}, 1, 200);
    insereCaractere(e(), 'd');
    EXPECT_EQ(linhaColuna(), std::pair(std::string("abcd"), 5));
    EXPECT_EQ(ouvido(), Ouvido{"letra 100"});
    texto({"ab"}, 1, 6);
    apagaEsquerda(e(), false, false);  // it only moves back over an unstored blank
    EXPECT_EQ(linhaColuna(), std::pair(std::string("ab"), 5));
    EXPECT_TRUE(ouvido().empty());
    texto({"abc"}, 1, 90);
    apagaFimLinha(e());
    EXPECT_EQ(linhaColuna(), std::pair(std::string("abc"), 90));
    apagaInicioLinha(e());
    EXPECT_EQ(linhaColuna(), std::pair(std::string(""), 1));
    texto({"abc"}, 1, 1);
    ed().selecaoInicio = 2;
    ed().selecaoFim = 40;
    apagaSelecao(e());
    EXPECT_EQ(ed().linha(1), "a");
    texto({"a", "b"}, 1, 100000);  // Ctrl+Down pads, but never past a full line
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(linhaColuna(), std::pair("b" + std::string(254, ' '), 256));
}

// ---- Key storms ----

class Tempestade : public SessaoEdicao {};

// Thousands of random editing keys on a text with long, empty and blank lines: whatever
// the order, the text keeps at least one line, no line passes 255 characters and the
// cursor and the memorised position stay within the text.
TEST_F(Tempestade, RandomKeysKeepTheInvariants) {
    texto({std::string(255, 'w'), "", "   ", "abc <IN>def, ghi", std::string(250, 'x') + " fim"});
    ed().quebraLinhas = true;
    std::mt19937 gerador(20261206);
    auto sorteia = [&](unsigned n) { return static_cast<int>(gerador() % n); };
    // clang-format off
    std::vector<Comando> comandos = {
        apagaSelecao, apagaFimLinha, apagaInicioLinha, apagaPalavraEsquerda, esquerda, direita,
        inicioLinha, fimLinha, linhaAbaixo, linhaAcima, linhaAbaixoMesmaColuna,
        linhaAcimaMesmaColuna, paginaAbaixo, paginaAcima, inicioTexto, fimTexto, memorizaPosicao,
        voltaPosicao, informaColuna, informaLinha, restauraLinha, quebraLinha, juntaLinhas,
        palavraDireitaFalada, palavraEsquerdaFalada};
    // clang-format on
    for (Comando c : {Comando([](Editor& e) { insereCaractere(e, 'q'); }),
                      Comando([](Editor& e) { insereCaractere(e, ' '); }),
                      Comando([](Editor& e) { apagaEsquerda(e, true, true); }),
                      Comando([](Editor& e) { apagaDireita(e, true, true); }),
                      Comando([](Editor& e) { avancaParagrafo(e, true); }),
                      Comando([](Editor& e) { recuaParagrafo(e, false); }),
                      Comando([](Editor& e) { removeLinha(e, true); }),
                      Comando([](Editor& e) { insereLinhaAbaixo(e, "nova", true); }),
                      Comando([](Editor& e) { insereTextoNaLinha(e, "<FN>"); })})
        comandos.push_back(c);
    for (int i = 0; i < 10000; ++i) {
        if (sorteia(10) == 0) ed().colunaAtual = 1 + sorteia(400);  // a column far off
        if (sorteia(10) == 0) {
            ed().selecaoInicio = sorteia(300);
            ed().selecaoFim = sorteia(300);
        }
        ed().margemDireita = sorteia(4) == 0 ? 250 : 72;
        comandos[static_cast<size_t>(sorteia(static_cast<unsigned>(comandos.size())))](e());
        ASSERT_GE(ed().nLinhas(), 1) << i;
        ASSERT_GE(ed().linhaAtual, 1) << i;
        ASSERT_LE(ed().linhaAtual, ed().nLinhas()) << i;
        ASSERT_GE(ed().colunaAtual, 1) << i;
        ASSERT_LE(ed().colunaAtual, 401) << i;
        ASSERT_GE(ed().linhaMemorizada, 1) << i;
        ASSERT_LE(ed().linhaMemorizada, ed().nLinhas()) << i;
        for (int l = 1; l <= ed().nLinhas(); ++l) ASSERT_LE(ed().linha(l).size(), 255u) << i;
    }
}

}  // namespace
