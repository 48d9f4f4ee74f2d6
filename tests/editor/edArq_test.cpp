#include "editor/edArq.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "console/despacho.h"
#include "sessaoEdicao.h"

namespace fs = std::filesystem;

namespace {

using Linhas = std::vector<std::string>;

bool ouviu(const Ouvido& o, const std::string& linha) {
    return std::find(o.begin(), o.end(), linha) != o.end();
}

long vezes(const Ouvido& o, const std::string& linha) {
    return std::count(o.begin(), o.end(), linha);
}

// The tests that type relative names work in their own folder.
class DiretorioAtual {
  public:
    explicit DiretorioAtual(const fs::path& p) : antigo_(fs::current_path()) {
        fs::current_path(p);
    }
    ~DiretorioAtual() {
        std::error_code ec;
        fs::current_path(antigo_, ec);
    }

  private:
    fs::path antigo_;
};

class Arquivos : public SessaoEdicao {
  protected:
    std::string nome(const std::string& arquivo) { return (pasta_ / arquivo).string(); }
    // Loads `arquivo` of the test's folder as the command line would name it.
    bool carrega(const std::string& arquivo) {
        ed().nomeArquivo = nome(arquivo);
        return carregaArquivo(e());
    }
};

// ------------------------------------------------------------------ loading

using Carga = Arquivos;

TEST_F(Carga, LinesOfTheFileAndTheMessage) {
    gravaArquivoTeste(pasta_ / "a.txt", std::string("um\r\ndois\tfim\r\n\x00\xff", 16));
    texto({"antigo", "texto"}, 2, 4);
    for (int y : {10, 25}) {
        e().crt.GotoXY(1, y);
        e().crt.escreve("lixo");
    }
    ASSERT_TRUE(carrega("a.txt"));
    EXPECT_EQ(linhas(), (Linhas{"um", "dois        fim", "#\xff"}));
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ed().colunaAtual, 1);
    EXPECT_EQ(ed().nomeArquivo, nome("a.txt"));
    for (int y : {10, 25}) EXPECT_EQ(e().crt.caractereEm(1, y), ' ') << y;  // rows 9..25 cleared
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDARQCRG"));
    EXPECT_FALSE(ouviu(o, "mensagem EDLINGRA"));
    // In reading mode the first load is silent.
    ed().anunciaCarga = false;
    ASSERT_TRUE(carrega("a.txt"));
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDARQCRG"));
    EXPECT_TRUE(ed().anunciaCarga);
}

TEST_F(Carga, BareNameTakesTheDefaultExtension) {
    gravaArquivoTeste(pasta_ / "carta.txt", "querido\r\n");
    ASSERT_TRUE(carrega("carta"));
    EXPECT_EQ(ed().nomeArquivo, nome("carta.txt"));
    EXPECT_EQ(linhas(), (Linhas{"querido"}));
    // A file of the bare name is loaded as it is.
    gravaArquivoTeste(pasta_ / "leiame", "sem extensao");
    ASSERT_TRUE(carrega("leiame"));
    EXPECT_EQ(ed().nomeArquivo, nome("leiame"));
    EXPECT_EQ(linhas(), (Linhas{"sem extensao"}));
    // Neither exists: a new carta2.txt.
    ed().extensaoPadrao = "doc";
    ASSERT_TRUE(carrega("carta2"));
    EXPECT_EQ(ed().nomeArquivo, nome("carta2.doc"));
    EXPECT_EQ(linhas(), (Linhas{""}));
}

TEST_F(Carga, NewFileIsOneEmptyLine) {
    texto({"velho"});
    ASSERT_TRUE(carrega("novo.txt"));
    EXPECT_EQ(linhas(), (Linhas{""}));
    EXPECT_EQ(ed().nomeArquivo, nome("novo.txt"));
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDARQNOV"));
    EXPECT_FALSE(ouviu(o, "mensagem EDARQCRG"));
    gravaArquivoTeste(pasta_ / "vazio.txt", "");
    ASSERT_TRUE(carrega("vazio.txt"));
    EXPECT_EQ(linhas(), (Linhas{""}));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQCRG"));
}

TEST_F(Carga, LongLinesAreSaidOnceForTheWholeLoad) {
    const std::string longa = std::string(164, 'a') + " " + std::string(5, 'b');
    gravaArquivoTeste(pasta_ / "a.txt", longa + "\r\n" + longa + "\r\n" + std::string(200, 'c'));
    ASSERT_TRUE(carrega("a.txt"));
    EXPECT_EQ(ed().nLinhas(), 6);
    EXPECT_EQ(ed().linha(2), "bbbbb");
    EXPECT_EQ(vezes(ouvido(), "mensagem EDLINGRA"), 1);
}

TEST_F(Carga, OemTextIsConvertedOnceAndOnlyThen) {
    gravaArquivoTeste(pasta_ / "dos.txt", "a\x87\xc6o\r\n\r\n");  // "ação" in code page 850
    ed().converteOem = true;
    ASSERT_TRUE(carrega("dos.txt"));
    EXPECT_EQ(linhas(), (Linhas{"a\xe7\xe3o", ""}));
    EXPECT_FALSE(ed().converteOem);
    ASSERT_TRUE(carrega("dos.txt"));
    EXPECT_EQ(linhas(), (Linhas{"a\x87\xc6o", ""}));
}

TEST_F(Carga, UnreadableNameIsNotTakenForANewFile) {
    fs::create_directory(pasta_ / "pasta.d");
    texto({"algo"});
    ASSERT_TRUE(carrega("pasta.d"));
    EXPECT_EQ(linhas(), (Linhas{""}));
    // No name: a save asks for one instead of writing where nothing could be read.
    EXPECT_EQ(ed().nomeArquivo, "");
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDERRLEI"));
    EXPECT_FALSE(ouviu(o, "mensagem EDARQNOV"));
}

TEST_F(Carga, NameAskedWhenThereIsNone) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "carta.txt", "oi");
    abre("carta{Enter}");
    ASSERT_TRUE(carregaArquivo(e()));
    EXPECT_EQ(ed().nomeArquivo, nomeEditor(fs::current_path() / "carta.txt"));
    EXPECT_EQ(linhas(), (Linhas{"oi"}));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDDIGNOM"));
    for (const char* teclas : {"{Esc}", "{Enter}", "pasta/{Enter}", "pasta\\{Enter}"}) {
        abre(teclas);
        EXPECT_FALSE(carregaArquivo(e())) << teclas;
    }
}

TEST(NomesArquivo, FullPathAndWindowTitle) {
    const std::string atual = nomeEditor(fs::current_path());
    EXPECT_EQ(caminhoCompleto("carta.txt"), atual + "/carta.txt");
    EXPECT_EQ(caminhoCompleto("docs/carta.txt"), "docs/carta.txt");
    EXPECT_EQ(caminhoCompleto("docs\\carta.txt"), "docs\\carta.txt");
    EXPECT_EQ(tituloJanela("/home/ana/carta.txt"), "carta.txt - PLUMAR");
    EXPECT_EQ(tituloJanela("c:\\docs\\carta.txt"), "carta.txt - PLUMAR");
    EXPECT_EQ(tituloJanela("/x/" + std::string(124, 'n')), std::string(124, 'n') + " - PLUMAR");
    EXPECT_EQ(tituloJanela("/x/" + std::string(130, 'n')), std::string(124, 'n') + "... - PLUMAR");
}

// ------------------------------------------------------------------ saving

using Gravacao = Arquivos;

TEST_F(Gravacao, EmptyLinesAtTheEndAreLeftOut) {
    ed().nomeArquivo = nome("a.txt");
    texto({"um", "", "dois", "", "", ""});
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "um\r\n\r\ndois\r\n");
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQGRV"));
    EXPECT_TRUE(gravaArquivo(e(), 2, 3));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "\r\ndois\r\n");
    ouvido();
    texto({"", ""});
    ed().modoLeitura = true;  // a file opened for reading: saved with a warning
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "");
    EXPECT_EQ(linhas(), (Linhas{"", ""}));  // the text itself keeps them
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDSOMLEI"));
    EXPECT_FALSE(ouviu(o, "mensagem EDARQGRV"));
}

TEST_F(Gravacao, LoadedTextIsWrittenBackWithCrLf) {
    gravaArquivoTeste(pasta_ / "a.txt",
                      "um\ndois\rtr\xea"
                      "s");
    ASSERT_TRUE(carrega("a.txt"));
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"),
              "um\r\ndois\r\ntr\xea"
              "s\r\n");
}

TEST_F(Gravacao, NameAskedGetsTheExtensionAndIsKept) {
    DiretorioAtual aqui(pasta_.caminho());
    abre("carta{Enter}");
    texto({"oi"});
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "carta.txt"), "oi\r\n");
    EXPECT_EQ(ed().nomeArquivo, "carta.txt");
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDNOMGRV"));
    abre("{Esc}");
    texto({"oi"});
    EXPECT_FALSE(gravaTexto(e()));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDDESIST"));
}

TEST_F(Gravacao, ExistingFileIsOnlyWrittenOverWithYes) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "carta.txt", "guardado");
    for (const char* resposta : {"n", "{Del}", "{Esc}"}) {
        abre(std::string("carta{Enter}") + resposta);
        texto({"novo"});
        EXPECT_FALSE(gravaTexto(e())) << resposta;
        EXPECT_TRUE(ouviu(ouvido(), "mensagem EDESCCAN")) << resposta;
        EXPECT_EQ(leArquivo(pasta_ / "carta.txt"), "guardado");
        EXPECT_EQ(ed().nomeArquivo, "");
    }
    abre("carta{Enter}s");
    texto({"novo"});
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDREESCR"));
    EXPECT_EQ(leArquivo(pasta_ / "carta.txt"), "novo\r\n");
}

TEST_F(Gravacao, FailedCreationSaysSoAndAsksAgain) {
    fs::create_directory(pasta_ / "pasta.txt");
    const std::string bom = nome("bom.txt");
    for (const std::string& ruim : {nome("falta/a.txt"), nome("pasta.txt")}) {
        abre(bom + "{Enter}");
        ed().nomeArquivo = ruim;
        texto({"texto"});
        EXPECT_TRUE(gravaTexto(e())) << ruim;
        const Ouvido o = ouvido();
        EXPECT_TRUE(ouviu(o, "mensagem EDERRESC"));
        EXPECT_TRUE(ouviu(o, "mensagem EDNOMGRV"));
        EXPECT_EQ(ed().nomeArquivo, bom);
        EXPECT_EQ(leArquivo(pasta_ / "bom.txt"), "texto\r\n");
        fs::remove(pasta_ / "bom.txt");
    }
    EXPECT_TRUE(fs::is_directory(pasta_ / "pasta.txt"));
    // Giving up after the failure: nothing written, the text as it was.
    abre("{Esc}");
    ed().nomeArquivo = nome("falta/a.txt");
    texto({"texto"});
    EXPECT_FALSE(gravaTexto(e()));
    EXPECT_EQ(linhas(), (Linhas{"texto"}));
    EXPECT_EQ(ed().nomeArquivo, "");
}

TEST_F(Gravacao, WriteErrorIsSaidAndTheTextStays) {
    ed().nomeArquivo = "/dev/full";
    texto({"um", "dois"});
    EXPECT_FALSE(gravaTexto(e()));
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDERRESC"));
    EXPECT_FALSE(ouviu(o, "mensagem EDARQGRV"));
    EXPECT_EQ(linhas(), (Linhas{"um", "dois"}));
    EXPECT_EQ(ed().nomeArquivo, "/dev/full");
}

TEST_F(Gravacao, WriteErrorHalfWayLeavesTheFileOnDiskWhole) {
    const std::string velho = "linha antiga\r\n";
    gravaArquivoTeste(pasta_ / "a.txt", velho);
    ed().nomeArquivo = nome("a.txt");
    texto(Linhas(20000, std::string(60, 'n')));
    // Files may not grow past 64 KB for a moment: the new text does not fit.
    const sighandler_t sinal = ::signal(SIGXFSZ, SIG_IGN);
    rlimit antigo{};
    ::getrlimit(RLIMIT_FSIZE, &antigo);
    rlimit limite = antigo;
    limite.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limite);
    const bool gravou = gravaTexto(e());
    ::setrlimit(RLIMIT_FSIZE, &antigo);
    ::signal(SIGXFSZ, sinal);
    EXPECT_FALSE(gravou);
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), velho);
    EXPECT_EQ(std::distance(fs::directory_iterator(pasta_.caminho()), fs::directory_iterator()),
              2);  // a.txt and the trace, no temporary file left
    EXPECT_EQ(ed().nLinhas(), 20000);
}

// ------------------------------------------------------------------ paragraph export

TEST(FormatoParagrafos, LinesJoinIntoParagraphs) {
    // A line after a break still brings its blank: each line adds its own separator.
    EXPECT_EQ(formatoParagrafos({"um dois", "tres", "", "quatro"}), "um dois tres\r\n quatro");
    EXPECT_EQ(formatoParagrafos({"a", "    recuo", "        dois", "      seis"}),
              "a\r\n\trecuo\r\n\t\tdois\r\n\t  seis");
    EXPECT_EQ(formatoParagrafos({"a", " um", "   tres"}), "a\r\num\r\n  tres");
    EXPECT_EQ(formatoParagrafos({"a", "   ", "b"}), "a\r\n b");  // blanks only: a break
    EXPECT_EQ(formatoParagrafos({}), "");
}

TEST(FormatoParagrafos, LeadingSeparatorIsDroppedWhole) {
    EXPECT_EQ(formatoParagrafos({"primeira"}), "primeira");
    EXPECT_EQ(formatoParagrafos({"", "a"}), " a");
    EXPECT_EQ(formatoParagrafos({"    a"}), "\ta");
    EXPECT_EQ(formatoParagrafos({" a", "b"}), "a b");
}

TEST_F(Gravacao, ParagraphsAreWrittenInOnePiece) {
    ed().nomeArquivo = nome("p.txt");
    ed().modoLeitura = true;
    texto({"x", "um", "dois", "", "tres", "y"});
    EXPECT_TRUE(gravaParagrafos(e(), 2, 5));
    EXPECT_EQ(leArquivo(pasta_ / "p.txt"), "um dois\r\n tres");
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQGRV"));
    ed().nomeArquivo = "/dev/full";
    EXPECT_FALSE(gravaParagrafos(e(), 1, 6));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
}

// ------------------------------------------------------------------ file commands

using Comandos = Arquivos;

TEST_F(Comandos, SaveAsTakesTheNewNameWithItsFullPath) {
    DiretorioAtual aqui(pasta_.caminho());
    abre("outro{Enter}x");
    ed().nomeArquivo = nome("a.txt");
    ed().modoLeitura = true;
    texto({"conteudo"});
    gravaComoOutro(e());
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "conteudo\r\n");
    EXPECT_FALSE(fs::exists(pasta_ / "a.txt"));
    EXPECT_EQ(ed().nomeArquivo, nomeEditor(fs::current_path() / "outro.txt"));
    EXPECT_FALSE(ed().modoLeitura);
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDFORTXT"));
    EXPECT_TRUE(ouviu(o, "mensagem EDARQGRV"));
}

TEST_F(Comandos, SaveAsGivenUp) {
    DiretorioAtual aqui(pasta_.caminho());
    for (const char* teclas : {"{Enter}", "outro{Enter}{Esc}"}) {
        abre(teclas);
        ed().nomeArquivo = nome("a.txt");
        texto({"x"});
        gravaComoOutro(e());
        EXPECT_TRUE(ouviu(ouvido(), "mensagem EDDESIST")) << teclas;
        EXPECT_EQ(ed().nomeArquivo, nome("a.txt"));
        EXPECT_FALSE(fs::exists(pasta_ / "outro.txt"));
    }
}

TEST_F(Comandos, SaveAsOverAnotherFileAsksFirst) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "outro.txt", "do outro");
    abre("outro.txt{Enter}sn");
    ed().nomeArquivo = nome("a.txt");
    texto({"x"});
    gravaComoOutro(e());
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDESCCAN"));
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "do outro");
    EXPECT_EQ(ed().nomeArquivo, nome("a.txt"));
    abre("outro.txt{Enter}ss");
    ed().nomeArquivo = nome("a.txt");
    texto({"x"});
    gravaComoOutro(e());
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "x\r\n");
    // Its own name is no other file: no question.
    abre("outro.txt{Enter}s");
    ed().nomeArquivo = nome("outro.txt");
    texto({"y"});
    gravaComoOutro(e());
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDREESCR"));
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "y\r\n");
}

TEST_F(Comandos, NewFileAfterTheSaveOffer) {
    gravaArquivoTeste(pasta_ / "b.txt", "de b");
    abre("xn" + nome("b.txt") + "{Enter}");
    ed().nomeArquivo = nome("a.txt");
    texto({"de a"});
    novoArquivo(e());
    EXPECT_EQ(vezes(ouvido(), "mensagem EDQUERSV"), 2);  // asked again after "x"
    EXPECT_FALSE(fs::exists(pasta_ / "a.txt"));
    EXPECT_EQ(ed().nomeArquivo, nome("b.txt"));
    EXPECT_EQ(linhas(), (Linhas{"de b"}));

    abre("s" + nome("c.txt") + "{Enter}");
    ed().nomeArquivo = nome("a.txt");
    texto({"de a"});
    novoArquivo(e());
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "de a\r\n");
    EXPECT_EQ(ed().nomeArquivo, nome("c.txt"));
}

TEST_F(Comandos, NewFileKeepsTheTextWhenItsSaveFails) {
    abre("{Esc}");
    texto({"fica"});
    novoArquivo(e());
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDDESIST"));
    EXPECT_EQ(linhas(), (Linhas{"fica"}));

    abre("s");
    ed().nomeArquivo = "/dev/full";
    texto({"fica"});
    novoArquivo(e());
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
    EXPECT_EQ(linhas(), (Linhas{"fica"}));
    EXPECT_EQ(ed().nomeArquivo, "/dev/full");
}

TEST_F(Comandos, NameIsSpokenOrSpelled) {
    ed().nomeArquivo = "/tmp/carta.txt";
    informaNome(e(), false);
    EXPECT_EQ(ouvido().back(), "texto /tmp/carta.txt");
    EXPECT_EQ(e().crt.caractereEm(22, 9), '/');  // after "Nome deste arquivo: " and a blank
    informaNome(e(), true);
    const Ouvido o = ouvido();
    EXPECT_EQ(o.front(), "mensagem EDNOME");
    EXPECT_EQ(o.back(), "soletra /tmp/carta.txt");
    ed().nomeArquivo = "/" + std::string(300, 'n');  // written on its row only
    informaNome(e(), false);
    EXPECT_EQ(e().crt.WhereY(), 9);
}

TEST_F(Comandos, PrintStartsTheProgramWithTheFileName) {
    const fs::path programa = pasta_ / "imprime.sh";
    gravaArquivoTeste(programa, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/impresso\"\n");
    fs::permissions(programa, fs::perms(0755));
    gravaArquivoTeste(pasta_ / "SONARE.INI", "[PLUMAR]\nIMPRESSOR=" + programa.string() + "\n");
    ed().nomeArquivo = nome("com espaco.txt");
    ed().modoLeitura = true;
    texto({"para imprimir"});
    imprime(e());
    EXPECT_TRUE(ed().modoLeitura);
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQGRV"));  // not the read-only warning
    EXPECT_EQ(leArquivo(pasta_ / "com espaco.txt"), "para imprimir\r\n");
    for (int i = 0; i < 500 && leArquivo(pasta_ / "impresso").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(leArquivo(pasta_ / "impresso"), nome("com espaco.txt"));

    fs::remove(pasta_ / "impresso");
    ed().nomeArquivo = "/dev/full";
    imprime(e());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(pasta_ / "impresso"));  // nothing saved, nothing printed
}

TEST_F(Comandos, SaveAndLeaveStaysWhenTheSaveFails) {
    ed().nomeArquivo = "/dev/full";
    texto({"x"});
    gravaESai(e());  // returns: the program goes on
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDFIMPRC"));
    ed().nomeArquivo = nome("a.txt");
    EXPECT_THROW(gravaESai(e()), std::runtime_error);  // the console closed
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "x\r\n");
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDFIMPRC"));
}

TEST_F(Comandos, FileFamilyLetters) {
    auto familia = [&](const std::string& teclas) {
        abre(teclas);
        ed().nomeArquivo = nome("a.txt");
        texto({"x"});
        familiaArquivos(e());
        return ouvido();
    };
    EXPECT_TRUE(ouviu(familia("s"), "mensagem EDARQGRV"));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "x\r\n");
    fs::remove(pasta_ / "a.txt");
    EXPECT_TRUE(ouviu(familia("X"), "mensagem EDARQGRV"));
    EXPECT_TRUE(ouviu(familia("i"), "soletra " + nome("a.txt")));
    EXPECT_TRUE(ouviu(familia("{Esc}"), "mensagem EDDESIST"));
    EXPECT_EQ(familia("q").back(), "bip");
    EXPECT_TRUE(ouviu(familia("{F1}s"), "mensagem EDARQGRV"));  // help list, then the letter
    fs::remove(pasta_ / "a.txt");
    abre("a");
    EXPECT_THROW(familiaArquivos(e()), std::runtime_error);
    EXPECT_FALSE(fs::exists(pasta_ / "a.txt"));  // left without saving
    abre("f");
    ed().nomeArquivo = "/dev/full";
    texto({"x"});
    familiaArquivos(e());  // the save failed: still here
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
}

TEST_F(Comandos, LeavingWithSaveStaysWhenTheSaveFails) {
    abre("ss");
    ed().nomeArquivo = "/dev/full";
    texto({"x"});
    EXPECT_FALSE(confirmaSaida(e()));
    abre("sn");
    EXPECT_TRUE(confirmaSaida(e()));
    // Del is an extended key, never the "S" of its scan code.
    abre("{Del}n");
    EXPECT_FALSE(confirmaSaida(e()));
    EXPECT_EQ(vezes(ouvido(), "mensagem EDCNFSAI"), 2);
}

}  // namespace
