#include "editor/edArq.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "editor/edArqDisco.h"
#include "programa/despacho.h"
#include "sessao.h"

namespace fs = std::filesystem;

namespace {

class Arquivos : public SessaoEdicao {
  protected:
    std::string nome(const std::string& arquivo) { return (pasta_ / arquivo).string(); }
    bool carrega(const std::string& arquivo) {
        ed().nomeArquivo = nome(arquivo);
        return carregaArquivo(e());
    }
};

// ------------------------------------------------------------------ loading

using Carga = Arquivos;

TEST_F(Carga, WhatIsLoadedAndWhatIsSaid) {
    gravaArquivoTeste(pasta_ / "leiame", "sem extensao");
    gravaArquivoTeste(pasta_ / "vazio.txt", "");
    gravaArquivoTeste(pasta_ / "longas.txt", std::string(164, 'a') + " b\r\n" + std::string(200, 'c'));
    fs::create_directory(pasta_ / "pasta.d");
    ASSERT_EQ(mkfifo((pasta_ / "tubo").c_str(), 0600), 0);
    gravaArquivoTeste(pasta_ / "x\\y.txt", "barra");
    // Above the limit (a sparse file: no disk taken), and UTF-16 that cannot be decoded.
    gravaArquivoTeste(pasta_ / "grande.txt", "");
    fs::resize_file(pasta_ / "grande.txt", kMaiorArquivoTexto + 1);
    gravaArquivoTeste(pasta_ / "impar.txt", std::string("\xFF\xFEo\0i\0!", 7));
    const struct {
        const char* nome;
        Linhas linhas;
        const char* nomeFinal;  // empty: a save must ask for a name
        Ouvido mensagens;
    } casos[] = {
        // A plain load, a new file and the default extension are in the acceptance cases
        // (f3_outro_arquivo, nome_pedido_ctrl_u).
        {"leiame", {"sem extensao"}, "leiame", {"mensagem EDARQCRG"}},
        {"vazio.txt", {""}, "vazio.txt", {"mensagem EDARQCRG"}},
        // Long lines are said once for the whole load.
        {"longas.txt", {std::string(164, 'a'), "b", std::string(180, 'c'), std::string(20, 'c')},
         "longas.txt", {"mensagem EDLINGRA", "mensagem EDARQCRG"}},
        // Something that cannot be read is no new file: never written over by a save.
        {"pasta.d", {""}, "", {"mensagem EDERRLEI"}},
        // A pipe or a device is what was named, never a new "tubo.txt".
        {"tubo", {""}, "", {"mensagem EDERRLEI"}},
        // A name on disk with a '\\' in it is that file.
        {"x\\y.txt", {"barra"}, "x\\y.txt", {"mensagem EDARQCRG"}},
        // A file larger than the editor takes is refused whole, never loaded in part.
        {"grande.txt", {""}, "", {"mensagem EDARQGRD"}},
        // UTF-16 read as bytes would lose its NULs on a save: the name goes.
        {"impar.txt", {"\xFF\xFEo#i#!"}, "", {"mensagem EDUTF16R", "mensagem EDARQCRG"}},
    };
    for (const auto& c : casos) {
        texto({"antigo", "texto"}, 2, 4);
        e().crt.GotoXY(1, 25);
        e().crt.escreve("lixo");
        ouvido();
        ASSERT_TRUE(carrega(c.nome)) << c.nome;
        EXPECT_EQ(linhas(), c.linhas) << c.nome;
        EXPECT_EQ(ed().nomeArquivo, *c.nomeFinal ? nome(c.nomeFinal) : "") << c.nome;
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(1, 1)) << c.nome;
        EXPECT_EQ(e().crt.caractereEm(1, 25), ' ') << c.nome;  // rows 9..25 cleared
        Ouvido mensagens;
        for (const std::string& l : ouvido())
            if (l.rfind("mensagem ", 0) == 0) mensagens.push_back(l);
        EXPECT_EQ(mensagens, c.mensagens) << c.nome;
    }
}

TEST_F(Carga, ReadingModeAndOemConversionLastOneLoad) {
    gravaArquivoTeste(pasta_ / "dos.txt", "a\x87\xc6o\r\n\r\n");  // "ação" in code page 850
    ed().anunciaCarga = false;
    ed().converteOem = true;
    ASSERT_TRUE(carrega("dos.txt"));
    EXPECT_EQ(linhas(), (Linhas{"a\xe7\xe3o", ""}));
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDARQCRG"));
    EXPECT_FALSE(ed().converteOem);
    EXPECT_TRUE(ed().anunciaCarga);
    ASSERT_TRUE(carrega("dos.txt"));
    EXPECT_EQ(linhas(), (Linhas{"a\x87\xc6o", ""}));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQCRG"));
}

// A typed name loads in the nome_pedido_ctrl_u case; these load nothing.
TEST_F(Carga, AskedNameGivenUpOrAFolder) {
    DiretorioAtual aqui(pasta_.caminho());
    for (const char* teclas : {"{Esc}", "{Enter}", "pasta/{Enter}", "pasta\\{Enter}"}) {
        abre(teclas);
        EXPECT_FALSE(carregaArquivo(e())) << teclas;
    }
}

TEST(NomesArquivo, FullPathAndWindowTitle) {
    EXPECT_EQ(caminhoCompleto("carta.txt"), nomeEditor(fs::current_path()) + "/carta.txt");
    EXPECT_EQ(caminhoCompleto("docs\\carta.txt"), "docs\\carta.txt");
    CodificacaoArquivo ansi, utf8;
    utf8.utf8 = true;
    EXPECT_EQ(tituloJanela("c:\\docs\\carta.txt", ansi), "carta.txt (ANSI) - PLUMAR");
    EXPECT_EQ(tituloJanela("/x/" + std::string(124, 'n'), utf8),
              std::string(124, 'n') + " (UTF-8) - PLUMAR");
    EXPECT_EQ(tituloJanela("/x/" + std::string(130, 'n'), ansi),
              std::string(124, 'n') + "... (ANSI) - PLUMAR");
}

// ------------------------------------------------------------------ saving

using Gravacao = Arquivos;

// Empty lines at the end are left out (f2_grava_crlf, and bloco_grava_linhas for a range):
// a text of empty lines only is an empty file, the text itself keeps them.
TEST_F(Gravacao, AReadOnlyTextIsSavedWithAWarning) {
    ed().nomeArquivo = nome("a.txt");
    texto({"", ""});
    ed().modoLeitura = true;
    EXPECT_TRUE(gravaTexto(e()));
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "");
    EXPECT_EQ(linhas(), (Linhas{"", ""}));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDSOMLEI"));
}

// Writing over after "s" is the bloco_grava_junta case.
TEST_F(Gravacao, AskedNameGivenUpOrNotWrittenOver) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "velha.txt", "guardado");
    const struct {
        std::string teclas;
        bool grava;
        const char* mensagem;
    } casos[] = {
        {"{Esc}", false, "mensagem EDDESIST"},
        {"velha{Enter}n", false, "mensagem EDESCCAN"},
        {"velha{Enter}{Del}", false, "mensagem EDESCCAN"},  // never the "S" of a scan code
    };
    for (const auto& c : casos) {
        abre(c.teclas);
        texto({"novo"});
        EXPECT_EQ(gravaTexto(e()), c.grava) << c.teclas;
        EXPECT_TRUE(ouviu(ouvido(), c.mensagem)) << c.teclas;
    }
    EXPECT_EQ(leArquivo(pasta_ / "velha.txt"), "guardado");
}

// A file that cannot be created is the grava_falha_pede_nome case; these fail writing.
TEST_F(Gravacao, WriteErrorsKeepTheTextAndTheFileOnDisk) {
    ed().nomeArquivo = "/dev/full";
    texto({"um", "dois"});
    EXPECT_FALSE(gravaTexto(e()));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
    EXPECT_EQ(ed().nomeArquivo, "/dev/full");
    EXPECT_FALSE(gravaParagrafos(e(), 1, 2));
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));

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

// Written in one piece by the bloco_grava_junta case.
TEST(FormatoParagrafos, LinesJoinIntoParagraphs) {
    const std::pair<Linhas, std::string> casos[] = {
        // A line after a break still brings its blank: each line adds its own separator.
        {{"um dois", "tres", "", "quatro"}, "um dois tres\r\n quatro"},
        {{"a", "    recuo", "        dois", "      seis"}, "a\r\n\trecuo\r\n\t\tdois\r\n\t  seis"},
        {{"a", " um", "   tres"}, "a\r\num\r\n  tres"},
        {{"a", "   ", "b"}, "a\r\n b"},  // blanks only: a break
        {{}, ""},
        // The separator in front of the first line is dropped whole.
        {{"", "a"}, " a"},
        {{"    a"}, "\ta"},
        {{" a", "b"}, "a b"},
    };
    for (const auto& [linhas, esperado] : casos) EXPECT_EQ(formatoParagrafos(linhas), esperado);
}

// ------------------------------------------------------------------ file commands

using Comandos = Arquivos;

// A save under a new name is the ctrl_f2_grava_como case.
TEST_F(Comandos, SaveAsGivenUpOrRefused) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "outro.txt", "do outro");
    const std::pair<const char*, const char*> casos[] = {
        {"{Enter}", "mensagem EDDESIST"},
        {"novo{Enter}{Esc}", "mensagem EDDESIST"},
        {"outro.txt{Enter}sn", "mensagem EDESCCAN"},  // another file: asked first
    };
    for (const auto& [teclas, mensagem] : casos) {
        abre(teclas);
        ed().nomeArquivo = nome("a.txt");
        texto({"x"});
        gravaComoOutro(e());
        EXPECT_TRUE(ouviu(ouvido(), mensagem)) << teclas;
        EXPECT_EQ(ed().nomeArquivo, nome("a.txt"));
    }
    EXPECT_FALSE(fs::exists(pasta_ / "novo.txt"));
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "do outro");
    // Its own name is no other file: no question. The file is no longer read-only.
    abre("outro.txt{Enter}s");
    ed().nomeArquivo = nome("outro.txt");
    ed().modoLeitura = true;
    texto({"y"});
    gravaComoOutro(e());
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDREESCR"));
    EXPECT_EQ(leArquivo(pasta_ / "outro.txt"), "y\r\n");
    EXPECT_FALSE(ed().modoLeitura);
    EXPECT_EQ(ed().nomeArquivo, nomeEditor(fs::current_path() / "outro.txt"));
}

TEST_F(Comandos, NewFileAfterTheSaveOffer) {
    gravaArquivoTeste(pasta_ / "b.txt", "de b");
    abre("xs" + nome("b.txt") + "{Enter}");
    ed().nomeArquivo = nome("a.txt");
    texto({"de a"});
    novoArquivo(e());
    const Ouvido o = ouvido();
    EXPECT_EQ(std::count(o.begin(), o.end(), "mensagem EDQUERSV"), 2);  // asked again after "x"
    EXPECT_EQ(leArquivo(pasta_ / "a.txt"), "de a\r\n");
    EXPECT_EQ(ed().nomeArquivo, nome("b.txt"));
    EXPECT_EQ(linhas(), (Linhas{"de b"}));
    // Given up, the save failed, or no other file loaded after "n" (Esc, an empty name, a
    // file that cannot be read, then Esc): the text stays as it was, still changed, its
    // block marks kept.
    ASSERT_EQ(mkfifo((pasta_ / "tubo.txt").c_str(), 0600), 0);
    for (const std::string& teclas : {std::string("{Esc}"), std::string("s"), std::string("n{Esc}"),
                                      std::string("n{Enter}"), std::string("n/dev/null{Enter}{Esc}"),
                                      "n" + nome("tubo.txt") + "{Enter}{Enter}"}) {
        abre(teclas);
        ed().nomeArquivo = "/dev/full";
        texto({"fica", "linha"}, 2, 3);
        ed().trocaLinha(1, "ficou");
        ed().inicioBloco = ed().fimBloco = 2;
        novoArquivo(e());
        EXPECT_EQ(linhas(), (Linhas{"ficou", "linha"})) << teclas;
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(2, 3)) << teclas;
        EXPECT_EQ(ed().nomeArquivo, "/dev/full");
        EXPECT_TRUE(ed().modificado()) << teclas;
        EXPECT_EQ(std::pair(ed().inicioBloco, ed().fimBloco), std::pair(2, 2)) << teclas;
        EXPECT_EQ(ouvidoSemTextos().back(), teclas == "s" ? "mensagem EDERRESC" : "mensagem EDDESIST")
            << teclas;
    }
}

// Leaving with a changed text that was not saved, by any way: its copy in the state folder,
// and the last words say where; an unchanged text leaves none.
TEST_F(Comandos, LeavingWithAChangedTextKeepsItsCopyAndSaysWhere) {
    for (const char* teclas : {"", "a"}) {
        abre(teclas);
        ed().nomeArquivo = nome("a.txt");
        texto({"mudado"});
        if (*teclas == '\0') ed().versaoGravada = ed().texto.versao();
        ouvido();
        EXPECT_THROW(*teclas ? familiaArquivos(e()) : terminaEditor(e()), FimDoRoteiro);
        const Ouvido o = ouvidoSemTextos();
        std::vector<fs::path> copias;
        if (fs::exists(pasta_ / "estado/sonare"))
            for (const auto& f : fs::directory_iterator(pasta_ / "estado/sonare"))
                copias.push_back(f.path());
        if (*teclas == '\0') {
            EXPECT_TRUE(copias.empty());
            EXPECT_EQ(o.back(), "mensagem EDFIMPRC");
            continue;
        }
        ASSERT_EQ(copias.size(), 1u);
        EXPECT_EQ(leArquivo(copias[0]), "mudado\r\n");
        ASSERT_GE(o.size(), 3u);
        EXPECT_EQ(o[o.size() - 3], "mensagem EDFIMPRC");
        EXPECT_EQ(o[o.size() - 2], "mensagem EDCOPGRD");
        EXPECT_EQ(o.back(), "texto " + nomeEditor(pasta_ / "estado/sonare"));
        EXPECT_FALSE(fs::exists(pasta_ / "a.txt"));
    }
}

TEST_F(Comandos, NameIsSpokenOrSpelled) {
    ed().nomeArquivo = "/tmp/carta.txt";
    informaNome(e(), false);
    Ouvido o = ouvido();
    ASSERT_GE(o.size(), 2u);
    EXPECT_EQ(o[o.size() - 2], "texto /tmp/carta.txt");
    EXPECT_EQ(o.back(), "texto ANSI");  // and its encoding
    EXPECT_EQ(e().crt.caractereEm(22, 9), '/');  // after "Nome deste arquivo: " and a blank
    ed().codificacao.utf8 = true;
    informaNome(e(), true);
    o = ouvido();
    ASSERT_GE(o.size(), 2u);
    EXPECT_EQ(o[o.size() - 2], "soletra /tmp/carta.txt");
    EXPECT_EQ(o.back(), "texto UTF-8");
    ed().nomeArquivo = "/" + std::string(300, 'n');  // written on its row only
    informaNome(e(), false);
    EXPECT_EQ(e().crt.WhereY(), 9);
}

TEST_F(Comandos, PrintStartsTheProgramOnlyAfterASave) {
    const fs::path programa = pasta_ / "imprime.sh";
    gravaArquivoTeste(programa,
                      "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/impresso\"\n");
    fs::permissions(programa, fs::perms(0755));
    gravaArquivoTeste(pasta_ / "SONARE.INI", "[PLUMAR]\nIMPRESSOR=" + programa.string() + "\n");
    texto({"para imprimir"});
    ed().nomeArquivo = "/dev/full";
    imprime(e());  // nothing saved: nothing printed
    ed().nomeArquivo = nome("com espaco.txt");
    ed().modoLeitura = true;
    imprime(e());
    EXPECT_TRUE(ed().modoLeitura);
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDARQGRV"));  // not the read-only warning
    EXPECT_EQ(leArquivo(pasta_ / "com espaco.txt"), "para imprimir\r\n");
    for (int i = 0; i < 500 && leArquivo(pasta_ / "impresso").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(leArquivo(pasta_ / "impresso"), nome("com espaco.txt") + "\n");
}

TEST_F(Comandos, LeavingStaysWhenTheSaveFails) {
    ed().nomeArquivo = "/dev/full";
    texto({"x"});
    gravaESai(e());  // returns: the program goes on
    EXPECT_FALSE(ouviu(ouvido(), "mensagem EDFIMPRC"));
    abre("ss");
    ed().nomeArquivo = "/dev/full";
    texto({"x"});
    EXPECT_FALSE(confirmaSaida(e()));
    abre("{Del}n");  // Del is no "S"
    EXPECT_FALSE(confirmaSaida(e()));
}

TEST_F(Comandos, FileFamilyLetters) {
    auto familia = [&](const std::string& teclas) {
        abre(teclas);
        ed().nomeArquivo = nome("a.txt");
        texto({"x"});
        familiaArquivos(e());
        return ouvido();
    };
    EXPECT_TRUE(ouviu(familia("X"), "mensagem EDARQGRV"));  // "s" is familia_arquivos_salva
    fs::remove(pasta_ / "a.txt");
    EXPECT_TRUE(ouviu(familia("i"), "soletra " + nome("a.txt")));
    EXPECT_TRUE(ouviu(familia("{Esc}"), "mensagem EDDESIST"));
    EXPECT_EQ(familia("q").back(), "bip");
}

}  // namespace
