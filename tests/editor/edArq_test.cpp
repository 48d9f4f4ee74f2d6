#include "editor/edArq.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "editor/edArqDisco.h"
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
    fs::create_directory(pasta_ / "pasta.d");
    ASSERT_EQ(mkfifo((pasta_ / "tubo").c_str(), 0600), 0);
    gravaArquivoTeste(pasta_ / "x\\y.txt", "barra");
    // Above the limit (a sparse file: no disk taken).
    gravaArquivoTeste(pasta_ / "grande.txt", "");
    fs::resize_file(pasta_ / "grande.txt", kMaiorArquivoTexto + 1);
    const struct {
        const char* nome;
        Linhas linhas;
        const char* nomeFinal;  // empty: a save must ask for a name
        Ouvido mensagens;
    } casos[] = {
        // A plain load, a name without an extension, an empty file, long lines and UTF-16
        // that cannot be decoded are in the acceptance cases (f3_outro_arquivo,
        // nome_pedido_ctrl_u, carga_arquivos_diversos); these are names no case can give.
        // Something that cannot be read is no new file: never written over by a save.
        {"pasta.d", {""}, "", {"mensagem EDERRLEI"}},
        // A pipe or a device is what was named, never a new "tubo.txt".
        {"tubo", {""}, "", {"mensagem EDERRLEI"}},
        // A name on disk with a '\\' in it is that file.
        {"x\\y.txt", {"barra"}, "x\\y.txt", {"mensagem EDARQCRG"}},
        // A file larger than the editor takes is refused whole, never loaded in part.
        {"grande.txt", {""}, "", {"mensagem EDARQGRD"}},
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

// A typed name loads in the nome_pedido_ctrl_u case; Esc, an empty name and a folder's
// name load nothing in the f3_nome_de_pasta case.

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

// A read-only text saved with a warning, the name asked for a save given up or an existing
// file not written over are the grava_como_e_leitura and f3_falhas_mantem_texto cases.

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

// Save As given up or refused, F3's save offer and its failures, and the file family's
// letters are the ctrl_f2_grava_como, grava_como_e_leitura, f3_falhas_mantem_texto and
// familia_arquivos_letras cases. Leaving with a changed text keeps its copy in the state
// folder and says where (f3_n_esc_mantem_texto, familia_arquivos_letras); an unchanged text
// leaves none (lista_de_arquivos).

// The name and its encoding said are in the familia_arquivos_letras case; a long name is
// written on its row only.
TEST_F(Comandos, ALongNameIsWrittenOnItsRowOnly) {
    ed().nomeArquivo = "/" + std::string(300, 'n');
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

}  // namespace
