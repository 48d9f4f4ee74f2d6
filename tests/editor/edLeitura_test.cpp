#include <gtest/gtest.h>

#include <filesystem>

#include "editor/edMarcas.h"
#include "editor/edtela.h"
#include "sessao.h"
#include "speech/bancadaFala.h"

namespace fs = std::filesystem;

namespace {

// ---- Marks -------------------------------------------------------------------------------

// The kinds the marcas_anunciadas case does not tell apart by what it hears or keeps.
TEST(Marcas, WhatIsAMarkInAnyCaseAndWhatIsNot) {
    const std::pair<const char*, TipoMarca> casos[] = {
        {"<AF>", TipoMarca::Justificado},     {"<AL>", TipoMarca::Esquerda},
        {"<FI>", TipoMarca::ItalicoDesliga},  {"<FS>", TipoMarca::SublinhadoDesliga},
        {"<in>", TipoMarca::NegritoLiga}};
    for (const auto& [texto, tipo] : casos) {
        auto m = reconheceMarca(texto);
        ASSERT_TRUE(m) << texto;
        EXPECT_EQ(m->tipo, tipo) << texto;
    }
    EXPECT_EQ(reconheceMarca("<tf=Times New Roman>")->valor, "Times New Roman");
    const std::pair<const char*, int> tamanhos[] = {{"<SF=12>", 12},
                                                    {"<SF=abc>", 0},
                                                    {"<SF=12pt>", 0},
                                                    {"<SF=99999999999>", 0},
                                                    {"<CE=999>", 999}};
    for (const auto& [texto, numero] : tamanhos) EXPECT_EQ(reconheceMarca(texto)->numero, numero);

    for (const char* t : {"<IN", "IN>", "<XX>", "<IN=3>", "<TF>", "<>", "<", "", "< IN>", "<IN<FN>",
                          "<IN> ", "<CE>"})
        EXPECT_FALSE(reconheceMarca(t)) << t;
    EXPECT_EQ(semMarcas("a<IN>b<C>c<xyz>"), "abc<xyz>");
    EXPECT_EQ(semMarcas("<IN<FN>>x<FN"), "<IN<FN>>x<FN");
}

class Leitura : public SessaoEdicao {};

// ---- Speaking a line -----------------------------------------------------------------------

// Reading through the keys, in each formatting mode, is in the leitura_palavras_frases
// case. A mode the configuration holds but that is not known reads naturally, as N does.
TEST_F(Leitura, AnUnknownModeReadsNaturally) {
    ed().modoFalaFormatacao = 'X';
    falaLinha(e(), "Texto <IN>forte<FN> fim");
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Texto <IN>forte<FN> fim"});
}

// A tab (which no loaded text keeps) is a click; far past the end, an empty word and the
// cursor still on the screen.
TEST_F(Leitura, NextWordOverATabOrPastTheEnd) {
    texto({"x\ty"}, 1, 2);
    proximaPalavra(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"clique"});
    EXPECT_EQ(ed().colunaAtual, 3);
    ed().colunaAtual = 500;
    proximaPalavra(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"bip"});
    EXPECT_EQ(crt().tela().cursorColuna + 1, 80);
}

// The signs a speech server would swallow, cut out and spelled or left to it as the
// option says, are the servidor_pontuacao and servidor_sem_pontuacao cases.
class LeituraComServidor : public SessaoEdicao {
  protected:
    void SetUp() override {
        SessaoEdicao::SetUp();
        // Whether recordings were asynchronous when the server was handed a text.
        servidor_.aoFalar = [this] { assincronos_.push_back(e().fala.tocador().assincrono); };
        e().fala.defineFabricaServidores(bancada::fabricaFalsa(servidor_));
        e().fala.mudaServidorFala(3, true, kServidorSapi4, 0, 0, 1);
        ASSERT_TRUE(e().fala.servidorAtivo());
    }
    bancada::RegistroServidor servidor_;
    std::vector<bool> assincronos_;
};

TEST_F(LeituraComServidor, RestOfLineAtOnceAndReadingWithoutBlockingRecordings) {
    ed().falaPontuacao = false;
    texto({"abc def ghi", "Um. Dois."}, 1, 5);
    restoDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto def ghi"});
    EXPECT_EQ(ed().colunaAtual, 12);
    assincronos_.clear();
    leAteOFim(e());
    ASSERT_EQ(assincronos_.size(), 3u);  // two sentences and "Fim do texto"
    for (bool a : assincronos_) EXPECT_TRUE(a);
    EXPECT_FALSE(e().fala.tocador().assincrono);  // as it was before
}

// ---- Words and lines -------------------------------------------------------------------------

TEST_F(Leitura, ReadingToTheEndMovesTheScreenAndGivesThePunctuationBack) {
    Linhas linhas;
    for (int i = 1; i <= 30; ++i) linhas.push_back("Frase " + std::to_string(i) + ".");
    texto(linhas);
    ed().falaPontuacao = false;
    leAteOFim(e());
    EXPECT_TRUE(e().fala.falaPontuacao);    // switched back on afterwards
    EXPECT_EQ(textoTela(15), "Frase 30.");  // the screen followed the reading
    texto({});
    ouvido();
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDFIMTEX"}));
    EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(1, 1));
}

TEST_F(Leitura, AKeyStopsTheReading) {
    const EventoEntrada tecla{EventoEntrada::Tipo::Caractere, 0, 'x', {}};
    texto({"um dois tres quatro"}, 1, 1);
    crt().trataEvento(tecla);
    restoDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto um"});
    EXPECT_EQ(crt().teclasNaFila(), 1u);  // the key is left for the key loop

    texto({"Um. Dois. Tres."});
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Um."});
    EXPECT_EQ(ed().colunaAtual, 4);
    EXPECT_EQ(crt().teclasNaFila(), 1u);  // typed text is kept: it goes into the text
    crt().limpaFila();
    crt().trataEvento({EventoEntrada::Tipo::Caractere, 0, 27, {}});
    texto({"Um. Dois. Tres."});
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Um."});
    EXPECT_EQ(crt().teclasNaFila(), 0u);  // a command only stopped the reading

    ed().modoLeitura = true;  // there the key is a command (Esc leaves)
    crt().trataEvento(tecla);
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto  Dois."});
    EXPECT_EQ(crt().teclasNaFila(), 1u);

    ed().semFala = true;
    leAteOFim(e());
    EXPECT_TRUE(ouvidoSemTextos().empty());
}

// ---- F12 -------------------------------------------------------------------------------------

TEST(PalavraExecutar, WordBetweenBlanksWithoutItsWrapping) {
    const std::tuple<const char*, int, const char*> casos[] = {
        {"abrir (programa.exe) agora", 7, "programa.exe"},
        {"ver \"www.site.com.br\".", 8, "www.site.com.br"},
        {"[{_carta.txt_}]", 1, "carta.txt"},
        {"abc def", 4, "abc"},  // just after a word
        {"a -- b", 3, ""},
        {"fim.txt", 9999, "fim.txt"},
        {"x", -5, "x"}};
    for (const auto& [linha, coluna, palavra] : casos)
        EXPECT_EQ(palavraParaExecutar(linha, coluna), palavra) << linha;
}

}  // namespace
