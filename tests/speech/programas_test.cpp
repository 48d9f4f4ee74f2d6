// Starting outside programs from the speech front end: an argument vector, never a shell.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bancadaFala.h"
#include "platform/processos.h"

namespace fs = std::filesystem;
using namespace bancada;

namespace {

class Programas : public Bancada {
  protected:
    void SetUp() override {
        Bancada::SetUp();
        monta();
    }

    // A program that writes each of its arguments on a line of `args.txt` beside it, after
    // `antes` (a shell command) has run.
    fs::path criaPrograma(const std::string& pasta, const std::string& nome,
                          const std::string& antes = "") {
        const fs::path dir = dir_.caminho() / pasta;
        fs::create_directories(dir);
        const fs::path p = dir / nome;
        gravaArquivoTeste(p, "#!/bin/sh\n" + antes +
                                 "\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                                 "\"$(dirname \"$0\")/args.txt\"\n");
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }

    // Headless keeps the focus, so the wait lasts until the program ends: its file is
    // complete then, even when the program takes its time.
    std::string argumentosRecebidos(const fs::path& programa) {
        fala_->esperaRetorno();
        const fs::path args = programa.parent_path() / "args.txt";
        std::string lido = leArquivo(args);
        fs::remove(args);
        return lido;
    }
};

TEST_F(Programas, BlanksQuotesAndShellCharactersReachTheProgramAsTheyAre) {
    const fs::path p = criaPrograma("a b'c;$(touch INVADIDO)", "prog &x");
    const std::string parametro = "um; rm -rf \"$HOME\" `touch INVADIDO` | dois";
    EXPECT_GT(fala_->executaPrograma(p.string(), parametro, dir_.caminho().string()), 32);
    EXPECT_EQ(argumentosRecebidos(p), parametro + "\n");
    EXPECT_FALSE(fs::exists(dir_.caminho() / "INVADIDO"));
    EXPECT_FALSE(fs::exists(p.parent_path() / "INVADIDO"));
}

TEST_F(Programas, AQuotedCommandCarriesItsOwnArgumentsBeforeTheParameters) {
    const fs::path p = criaPrograma("q", "prog", "sleep 0.3");
    const std::string comando = "  \"" + p.string() + "\"  -a \"b c\"  ";
    EXPECT_GT(fala_->executaPrograma(comando, "arq.txt", ""), 32);
    EXPECT_EQ(argumentosRecebidos(p), "-a\nb c\narq.txt\n");
    EXPECT_GT(fala_->executaPrograma(p.string(), "", ""), 32);  // no parameters, no arguments
    EXPECT_EQ(argumentosRecebidos(p), "");
}

// F12 on an .exe starts the file of exactly that name in the text's folder, and nothing
// else: not a path, not a link (another case and a name without ".exe" are acceptance cases).
TEST_F(Programas, AnExeIsStartedOnlyFromTheTextsFolderByItsExactName) {
    const fs::path p = criaPrograma("e", "ferramenta.exe");
    const fs::path pasta = p.parent_path();
    EXPECT_TRUE(fala_->abreComPrograma("ferramenta.exe", pasta));
    EXPECT_EQ(argumentosRecebidos(p), "");
    fs::create_symlink(p, pasta / "atalho.exe");
    for (const std::string& nome :
         {p.string(), std::string("../e/ferramenta.exe"), std::string("atalho.exe")})
        EXPECT_FALSE(fala_->abreComPrograma(nome, pasta)) << nome;
    EXPECT_FALSE(fala_->abreComPrograma("ferramenta.exe", dir_.caminho()));
    fala_->esperaRetorno();
    EXPECT_FALSE(fs::exists(pasta / "args.txt"));
}

TEST_F(Programas, TheFamilysProgramForTheExtensionGetsTheFileName) {
    const fs::path p = criaPrograma("t", "leitor");
    iniBase_ += "[SONARE]\nPROG.TXT=" + p.string() + "\n";
    monta();
    EXPECT_TRUE(fala_->abreComPrograma("rel.atorio/nota.txt", dir_.caminho()));
    EXPECT_EQ(argumentosRecebidos(p), "rel.atorio/nota.txt\n");
}

// A word of the text is never looked up in PATH nor started: without an extension it is a
// document, and a document that is not there opens nothing; nor is a program that is missing.
TEST_F(Programas, AWordOrAMissingProgramIsNeverStarted) {
    EXPECT_LE(fala_->executaPrograma((dir_.caminho() / "nada" / "prog").string(), "x", ""), 32);
    EXPECT_LE(fala_->executaPrograma("", "x", ""), 32);
    EXPECT_LE(fala_->executaPrograma("\"", "", ""), 32);
    EXPECT_LE(fala_->executaPrograma("programa-que-nao-existe-em-lugar-algum", "", ""), 32);
    const fs::path p = criaPrograma("bin", "marcador");
    Variavel caminho("PATH", p.parent_path().string() + ":" + std::getenv("PATH"));
    EXPECT_FALSE(fala_->abreComPrograma("marcador", dir_.caminho()));
    EXPECT_LE(fala_->executaPrograma("marcador", "x", ""), 32);
    fala_->esperaRetorno();
    EXPECT_FALSE(fs::exists(p.parent_path() / "args.txt"));
}

TEST(Processos, ReapsAndReportsTheLastProgram) {
    Processos processos;
    EXPECT_FALSE(processos.rodando());
    ASSERT_EQ(processos.inicia({"sleep", "1"}, {}), 0);
    EXPECT_TRUE(processos.rodando());
    EXPECT_FALSE(processos.esperaFim(std::chrono::milliseconds(50)));
    ASSERT_EQ(processos.inicia({"true"}, {}), 0);
    EXPECT_TRUE(processos.esperaFim(std::chrono::milliseconds(5000)));
    EXPECT_NE(processos.inicia({"/nao/existe/prog"}, {}), 0);
    EXPECT_NE(processos.inicia({}, {}), 0);
    EXPECT_NE(processos.inicia({"true"}, "/nao/existe"), 0);
}

}  // namespace
