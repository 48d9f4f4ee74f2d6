#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "editor/edMarcas.h"
#include "editor/edtela.h"
#include "sessaoTela.h"
#include "speech/servidorFala.h"

namespace fs = std::filesystem;

namespace {

using Ouvido = std::vector<std::string>;

// ---- Marks -------------------------------------------------------------------------------

TEST(Marcas, EveryMarkOfTheTableIsRecognisedInAnyCase) {
    const std::pair<const char*, TipoMarca> casos[] = {{"<TF=Arial>", TipoMarca::Fonte},
                                                       {"<SF=12>", TipoMarca::Tamanho},
                                                       {"<CE=6>", TipoMarca::Cor},
                                                       {"<AF>", TipoMarca::Justificado},
                                                       {"<C>", TipoMarca::Centrado},
                                                       {"<AL>", TipoMarca::Esquerda},
                                                       {"<AR>", TipoMarca::Direita},
                                                       {"<IN>", TipoMarca::NegritoLiga},
                                                       {"<FN>", TipoMarca::NegritoDesliga},
                                                       {"<II>", TipoMarca::ItalicoLiga},
                                                       {"<FI>", TipoMarca::ItalicoDesliga},
                                                       {"<IS>", TipoMarca::SublinhadoLiga},
                                                       {"<FS>", TipoMarca::SublinhadoDesliga},
                                                       {"<in>", TipoMarca::NegritoLiga},
                                                       {"<tf=Times New Roman>", TipoMarca::Fonte}};
    for (const auto& [texto, tipo] : casos) {
        auto m = reconheceMarca(texto);
        ASSERT_TRUE(m) << texto;
        EXPECT_EQ(m->tipo, tipo) << texto;
    }
    EXPECT_EQ(reconheceMarca("<TF=Times New Roman>")->valor, "Times New Roman");
    EXPECT_EQ(reconheceMarca("<SF=12>")->numero, 12);
    EXPECT_EQ(reconheceMarca("<SF=abc>")->numero, 0);
    EXPECT_EQ(reconheceMarca("<SF=12pt>")->numero, 0);
    EXPECT_EQ(reconheceMarca("<SF=99999999999>")->numero, 0);
    EXPECT_EQ(reconheceMarca("<CE=999>")->numero, 999);
}

TEST(Marcas, WhatIsNotAMark) {
    for (const char* t : {"<IN", "IN>", "<XX>", "<IN=3>", "<TF>", "<>", "<", "", "< IN>", "<IN<FN>",
                          "<IN> ", "<CE>"})
        EXPECT_FALSE(reconheceMarca(t)) << t;
    EXPECT_EQ(semMarcas("<IN<FN>>x<FN"), "<IN<FN>>x<FN");
    EXPECT_EQ(semMarcas("a<IN>b<C>c<xyz>"), "abc<xyz>");
    EXPECT_EQ(semMarcas(std::string(255, '<')), std::string(255, '<'));
}

class Leitura : public SessaoTela {};

TEST_F(Leitura, MarksAnnouncedByKindAndStateKept) {
    EstadoFormatacao estado;
    EXPECT_TRUE(interpretaMarca(e(), estado, "<IN>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<CE=6>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<CE=16>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<CE=999>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<SF=abc>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<TF=Arial>", false));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<AR>", false));
    EXPECT_FALSE(interpretaMarca(e(), estado, "<XX>", false));
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{
                                     "mensagem EDININEG",
                                     "mensagem EDVERMEL",
                                     "mensagem EDCINZ25",
                                     "texto 999",
                                     "mensagem EDTAMANH",
                                     "texto 0",
                                     "texto Arial",
                                     "mensagem EDALIDIR",
                                 }));
    EXPECT_TRUE(estado.negrito);
    EXPECT_EQ(estado.cor, "<CE=999>");
    EXPECT_EQ(estado.tamanho, "<SF=abc>");
    EXPECT_EQ(estado.fonte, "<TF=Arial>");
    EXPECT_EQ(estado.alinhamento, "<AR>");

    EXPECT_TRUE(interpretaMarca(e(), estado, "<FN>", true));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<II>", true));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<IS>", true));
    EXPECT_TRUE(interpretaMarca(e(), estado, "<C>", true));
    EXPECT_TRUE(ouvidoSemTextos().empty());  // silently
    EXPECT_FALSE(estado.negrito);
    EXPECT_TRUE(estado.italico);
    EXPECT_TRUE(estado.sublinhado);
    EXPECT_EQ(estado.alinhamento, "<C>");
}

// ---- Speaking a line -----------------------------------------------------------------------

TEST_F(Leitura, LineInEachFormattingMode) {
    const std::string linha = "Texto <IN>forte<FN> fim";
    ed().modoFalaFormatacao = 'N';
    falaLinha(e(), linha);
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto " + linha});
    ed().modoFalaFormatacao = 'B';
    falaLinha(e(), linha);
    EXPECT_EQ(ouvidoSemTextos(),
              (Ouvido{"texto Texto ", "bip", "texto forte", "bip", "texto  fim"}));
    ed().modoFalaFormatacao = 'M';
    falaLinha(e(), linha);
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto Texto ", "texto forte", "texto  fim"}));
    ed().modoFalaFormatacao = 'F';
    falaLinha(e(), linha);
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto Texto ", "mensagem EDININEG", "texto forte",
                                         "mensagem EDFIMNEG", "texto  fim"}));
}

TEST_F(Leitura, UnrecognisedAndBrokenMarksAreText) {
    ed().modoFalaFormatacao = 'B';
    falaLinha(e(), "a <nota> b <IN<FN>> c <IN");
    EXPECT_EQ(ouvidoSemTextos(),
              (Ouvido{"texto a ", "texto <nota>", "texto  b ", "texto <IN<FN>", "texto > c <IN"}));
    falaLinha(e(), std::string(255, '<'));
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto " + std::string(255, '<')});
    falaLinha(e(), "");
    falaLinha(e(), "<IN><FN>");
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"bip", "bip"}));
    ed().modoFalaFormatacao = 'X';  // a mistyped option reads naturally
    falaLinha(e(), "x<IN>y");
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto x<IN>y"});
}

TEST(Pontuacao, PiecesCutAtTheSignsAServerWouldSwallow) {
    EXPECT_EQ(cortaNaPontuacao("Ola, mundo! (sim) a/b\\c"),
              (std::vector<PecaFalada>{{"Ola", false},
                                       {",", true},
                                       {" mundo", false},
                                       {"!", true},
                                       {" ", false},
                                       {"(", true},
                                       {"sim", false},
                                       {")", true},
                                       {" a", false},
                                       {"/", true},
                                       {"b", false},
                                       {"\\", true},
                                       {"c", false}}));
    EXPECT_EQ(cortaNaPontuacao("sem sinais"), (std::vector<PecaFalada>{{"sem sinais", false}}));
    EXPECT_EQ(cortaNaPontuacao("..."),
              (std::vector<PecaFalada>{{".", true}, {".", true}, {".", true}}));
    EXPECT_EQ(cortaNaPontuacao("x-y=z"), (std::vector<PecaFalada>{{"x-y=z", false}}));
}

// A speech server that only notes whether recordings were asynchronous when it was
// handed a text.
class ServidorDeTeste : public ServidorFala {
  public:
    ServidorDeTeste(Fala& fala, std::vector<bool>& assincronos)
        : fala_(fala), assincronos_(assincronos) {}
    bool abre(int, int, int) override { return true; }
    void fala(std::string_view) override { assincronos_.push_back(fala_.tocador().assincrono); }
    bool falando() override { return false; }
    void para() override {}
    void fecha() override {}

  private:
    Fala& fala_;
    std::vector<bool>& assincronos_;
};

class LeituraComServidor : public SessaoTela {
  protected:
    void SetUp() override {
        SessaoTela::SetUp();
        e().fala.defineFabricaServidores([this](int, const AmbienteServidor&) {
            return std::make_unique<ServidorDeTeste>(e().fala, assincronos_);
        });
        e().fala.mudaServidorFala(3, true, kServidorSapi4, 0, 0, 1);
        ASSERT_TRUE(e().fala.servidorAtivo());
    }
    std::vector<bool> assincronos_;
};

TEST_F(LeituraComServidor, PunctuationIsSpelledOnlyWhenAsked) {
    ed().falaPontuacao = true;
    falaLinha(e(), "Ola, mundo.");
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto Ola", "soletra ,", "texto  mundo", "soletra ."}));
    ed().falaPontuacao = false;
    falaLinha(e(), "Ola, mundo.");
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Ola, mundo."});
}

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

TEST_F(Leitura, NextWordTakesMarksLettersDigitsOrOneCharacter) {
    texto({"  Ol\xE1, mundo42 <IN>x\t"});
    ed().modoFalaFormatacao = 'F';
    const Ouvido esperado[] = {{"texto Ol\xE1"},
                               {"texto ,"},
                               {"texto mundo"},
                               {"texto 42"},
                               {
                                   "mensagem EDININEG",
                               },
                               {"texto x"},
                               {"clique"},
                               {"bip"},
                               {"bip"}};
    const int colunas[] = {6, 7, 13, 15, 20, 21, 22, 22, 22};
    for (size_t i = 0; i < std::size(esperado); ++i) {
        proximaPalavra(e());
        EXPECT_EQ(ouvidoSemTextos(), esperado[i]) << i;
        EXPECT_EQ(ed().colunaAtual, colunas[i]) << i;
    }
    ed().colunaAtual = 500;  // far past the end: an empty word, the cursor on screen
    proximaPalavra(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"bip"});
    EXPECT_EQ(crt().tela().cursorColuna + 1, 80);
}

TEST_F(Leitura, RestOfLineWordByWordWithoutAServer) {
    texto({"abc def ghi", ""}, 1, 5);
    restoDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto def", "texto ghi"}));
    EXPECT_EQ(ed().colunaAtual, 12);
    restoDaLinha(e());  // already at the end
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"bip"});
    ed().linhaAtual = 2;
    restoDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"bip"});
    ed().linhaAtual = 1;
    ed().colunaAtual = 1;
    ed().semFala = true;
    restoDaLinha(e());
    inicioDaLinha(e());
    EXPECT_TRUE(ouvidoSemTextos().empty());
    EXPECT_EQ(ed().colunaAtual, 1);
}

TEST_F(Leitura, RestOfLineStopsAtAKey) {
    texto({"um dois tres quatro"}, 1, 1);
    crt().trataEvento(EventoEntrada{EventoEntrada::Tipo::Caractere, 0, 'x', {}});
    restoDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto um"});
    EXPECT_EQ(crt().teclasNaFila(), 1u);  // the key is left for the key loop
}

TEST_F(Leitura, StartOfLineUpToTheCursorWhichStays) {
    texto({"abc def ghi", ""}, 1, 9);
    inicioDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto abc", "texto def"}));
    EXPECT_EQ(ed().colunaAtual, 9);
    ed().colunaAtual = 6;
    inicioDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto abc", "texto def"}));
    ed().colunaAtual = 5;
    inicioDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto abc"});
    ed().linhaAtual = 2;
    inicioDaLinha(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"bip"});
}

// ---- Sentences -------------------------------------------------------------------------------

TEST_F(Leitura, SentenceStopsAfterItsSignOnTheBlank) {
    texto({"Sim. Nao"});
    EXPECT_FALSE(proximaFrase(e()));
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Sim."});
    EXPECT_EQ(ed().colunaAtual, 5);
    EXPECT_TRUE(proximaFrase(e()));
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto  Nao ", "mensagem EDFIMTEX"}));
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().colunaAtual, 9);
}

TEST_F(Leitura, SentencesRunAcrossLinesUpToAParagraph) {
    texto({"Um dois", "tres; quatro", "cinco", "", "", "Seis?", "  recuo: x", "fim."});
    // The cursor after each: on the blank after the sign, or at the start of the line
    // that follows (the empty lines skipped by the next sentence).
    const Ouvido esperado[] = {
        {"texto Um dois tres;"}, {"texto  quatro cinco "}, {"texto Seis?"}, {"texto   recuo:"}};
    const std::pair<int, int> cursor[] = {{2, 6}, {5, 1}, {7, 1}, {7, 9}};
    for (size_t i = 0; i < std::size(esperado); ++i) {
        EXPECT_FALSE(proximaFrase(e())) << i;
        EXPECT_EQ(ouvidoSemTextos(), esperado[i]) << i;
        EXPECT_EQ(std::make_pair(ed().linhaAtual, ed().colunaAtual), cursor[i]) << i;
    }
    // The last sentence ends with the text.
    EXPECT_TRUE(proximaFrase(e()));
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"texto  x fim.", "mensagem EDFIMTEX"}));
    EXPECT_EQ(std::make_pair(ed().linhaAtual, ed().colunaAtual), std::make_pair(8, 5));

    ed().semFala = true;
    ed().linhaAtual = 1;
    EXPECT_TRUE(proximaFrase(e()));
    EXPECT_TRUE(ouvidoSemTextos().empty());
}

TEST_F(Leitura, ReadToTheEndGoesSentenceBySentence) {
    Linhas linhas;
    for (int i = 1; i <= 30; ++i) linhas.push_back("Frase " + std::to_string(i) + ".");
    texto(linhas);
    ed().falaPontuacao = false;
    leAteOFim(e());
    const Ouvido ouvidos = ouvidoSemTextos();
    ASSERT_EQ(ouvidos.size(), 31u);
    EXPECT_EQ(ouvidos[0], "texto Frase 1.");
    EXPECT_EQ(ouvidos[29], "texto Frase 30.");
    EXPECT_EQ(ouvidos[30], "mensagem EDFIMTEX");
    EXPECT_EQ(ed().linhaAtual, 30);
    EXPECT_EQ(ed().colunaAtual, 10);
    EXPECT_TRUE(e().fala.falaPontuacao);    // switched back on afterwards
    EXPECT_EQ(textoTela(15), "Frase 30.");  // the screen followed the reading
}

TEST_F(Leitura, ReadToTheEndStopsAtAKey) {
    texto({"Um. Dois. Tres."});
    const EventoEntrada tecla{EventoEntrada::Tipo::Caractere, 0, 'x', {}};
    crt().trataEvento(tecla);
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto Um."});
    EXPECT_EQ(ed().colunaAtual, 4);
    EXPECT_EQ(crt().teclasNaFila(), 0u);  // the key only stopped the reading

    ed().modoLeitura = true;  // there the key is a command (Esc leaves)
    crt().trataEvento(tecla);
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"texto  Dois."});
    EXPECT_EQ(crt().teclasNaFila(), 1u);

    ed().semFala = true;
    leAteOFim(e());
    EXPECT_TRUE(ouvidoSemTextos().empty());
}

TEST_F(Leitura, ReadToTheEndOfAnEmptyText) {
    texto({});
    leAteOFim(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDFIMTEX"}));
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().colunaAtual, 1);
}

// ---- Formatting at the cursor -------------------------------------------------------------

TEST_F(Leitura, FormattingAtTheCursorFromDefaultsAndText) {
    gravaArquivoTeste(pasta_ / "nivelador.ini", "  <TF=Arial>  \r\n<SF=\n12>\r\n");
    gravaArquivoTeste(pasta_ / "SONARE.INI",
                      "[DOCCONV]\nARQNIVELADOR=" + (pasta_ / "nivelador.ini").string() + "\n");
    texto({"<IN>um <CE=6><II>", "dois<FI> <AL>tres <FN>"}, 2, 19);
    informaFormatacao(e());
    EXPECT_EQ(ouvidoSemTextos(),
              (Ouvido{"mensagem EDNEGRIT", "mensagem EDVERMEL", "mensagem EDTAMANH", "texto 12",
                      "texto Arial", "mensagem EDALIESQ", "clique"}));

    // Bold ends at column 19 ("<FN>"): from column 20 on it is off.
    ed().colunaAtual = 23;
    ed().texto.trocaLinha(1, "<IN>um <CE=0><II>");
    gravaArquivoTeste(pasta_ / "SONARE.INI", "[DOCCONV]\nARQNIVELADOR=/nada/aqui.ini\n");
    informaFormatacao(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDALIESQ", "clique"}));
}

// ---- F12 -------------------------------------------------------------------------------------

TEST(PalavraExecutar, WordBetweenBlanksWithoutItsWrapping) {
    EXPECT_EQ(palavraParaExecutar("abrir (programa.exe) agora", 10), "programa.exe");
    EXPECT_EQ(palavraParaExecutar("abrir (programa.exe) agora", 7), "programa.exe");
    EXPECT_EQ(palavraParaExecutar("ver \"www.site.com.br\".", 8), "www.site.com.br");
    EXPECT_EQ(palavraParaExecutar("[{_carta.txt_}]", 1), "carta.txt");
    EXPECT_EQ(palavraParaExecutar("abc def", 4), "abc");  // just after a word
    EXPECT_EQ(palavraParaExecutar("a -- b", 3), "");
    EXPECT_EQ(palavraParaExecutar("", 1), "");
    EXPECT_EQ(palavraParaExecutar("fim.txt", 9999), "fim.txt");
    EXPECT_EQ(palavraParaExecutar("x", -5), "x");
}

class Executa : public SessaoTela {
  protected:
    void SetUp() override {
        SessaoTela::SetUp();
        antigo_ = fs::current_path();
        fs::current_path(pasta_.caminho());
    }
    void TearDown() override { fs::current_path(antigo_); }
    // A program of the current directory that leaves a file behind when it runs.
    void programa(const std::string& nome) {
        gravaArquivoTeste(pasta_ / nome, "#!/bin/sh\necho rodou > \"$(dirname \"$0\")/rodou\"\n");
        chmod((pasta_ / nome).c_str(), 0755);
    }
    bool rodou() {
        for (int i = 0; i < 200 && !fs::exists(pasta_ / "rodou"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(pasta_ / "rodou");
    }
    fs::path antigo_;
};

TEST_F(Executa, ParenthesesAreStrippedBeforeTheProgramRuns) {
    programa("programa");
    texto({"rode (programa.exe) agora"}, 1, 8);
    executaPalavra(e());
    EXPECT_TRUE(rodou());
    EXPECT_TRUE(ouvidoSemTextos().empty());
}

TEST_F(Executa, NothingToRunOrNotStartedIsSaid) {
    texto({"veja (--) ali"}, 1, 6);
    executaPalavra(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDNEXEC"}));
    texto({"nao_existe.exe"}, 1, 1);
    executaPalavra(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDNEXEC"}));
}

TEST_F(Executa, DocumentsGoToTheFamilysProgramForTheirKind) {
    programa("leitor");
    gravaArquivoTeste(pasta_ / "SONARE.INI",
                      "[SONARE]\nPROG.DOC=" + (pasta_ / "leitor").string() + "\n");
    texto({"carta.doc"}, 1, 1);
    executaPalavra(e());
    EXPECT_TRUE(rodou());
}

// ---- The reading family ------------------------------------------------------------------

TEST_F(Leitura, FamilyAnswersChooseTheCommand) {
    abre("f");
    texto({"abc def"}, 1, 5);
    familiaFala(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDOPCAO", "letra 102", "texto def"}));
    abre("{Esc}");
    texto({"abc def"}, 1, 5);
    familiaFala(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDOPCAO", "letra 27", "mensagem EDDESIST"}));
    abre("p");
    texto({"Sim. Nao"}, 1, 1);
    familiaFala(e());
    EXPECT_EQ(ouvidoSemTextos().back(), "texto Sim.");
    abre("t");
    texto({"Sim. Nao"}, 1, 1);
    familiaFala(e());
    EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDFIMTEX");
    abre("z");
    texto({"Sim. Nao"}, 1, 1);
    familiaFala(e());
    EXPECT_EQ(ouvidoSemTextos().size(), 2u);  // the prompt and the key's echo only
}

}  // namespace
