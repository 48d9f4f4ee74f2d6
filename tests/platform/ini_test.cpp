#include "platform/ini.h"

#include <gtest/gtest.h>

#include "apoio.h"

namespace fs = std::filesystem;

namespace {

class Ini : public ::testing::Test {
  protected:
    void grava(const std::string& texto) { gravaArquivoTeste(arquivo_, texto); }
    std::string conteudo() const { return leArquivo(arquivo_); }
    PastaTemporaria dir_;
    fs::path arquivo_ = dir_ / "SONARE.INI";
};

TEST_F(Ini, ReadsWithoutRegardToCaseTrimsAndTakesFirstMatch) {
    grava(
        "; comentario\r\n[Plumar]\r\n  margdir =  72  \r\nMARGDIR=80\r\n;ENTER=S\r\n"
        "[video]\r\nFONTE=\"Lucida Console\"\r\n[PLUMAR]\r\nOUTRA=1\r\n");
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "MargDir", "x"), "72");
    EXPECT_EQ(leIniArquivo(arquivo_, "VIDEO", "fonte"), "Lucida Console");
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "ENTER", "padrao"), "padrao");
    EXPECT_EQ(leIniArquivo(arquivo_, "NADA", "MARGDIR", "d"), "d");
    EXPECT_FALSE(procuraIni(arquivo_, "PLUMAR", "ENTER").has_value());
}

TEST_F(Ini, MissingFileGivesDefaultsAndLongValuesAreCut) {
    EXPECT_EQ(leIniArquivo(dir_ / "nao.ini", "A", "B", "padrao"), "padrao");
    grava("[A]\nB=" + std::string(400, 'x') + "\n");
    EXPECT_EQ(leIniArquivo(arquivo_, "a", "b").size(), kMaxValorIni);
}

TEST_F(Ini, WriteReplacesKeyAndKeepsEveryOtherLine) {
    grava(
        "; topo\r\n[PLUMAR]\r\nMARGDIR=72\r\n; "
        "nota\r\nEXTENSAOPADRAO=\r\n\r\n[VIDEO]\r\nLENTO=N\r\n");
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "plumar", "extensaopadrao", "txt"));
    EXPECT_EQ(conteudo(),
              "; topo\r\n[PLUMAR]\r\nMARGDIR=72\r\n; nota\r\nextensaopadrao=txt\r\n\r\n[VIDEO]\r\n"
              "LENTO=N\r\n");
}

TEST_F(Ini, WriteAddsKeyAtEndOfSectionAndCreatesSectionAndFile) {
    grava("[PLUMAR]\nMARGDIR=72\n\n[VIDEO]\nLENTO=N\n");
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "PLUMAR", "EXTENSAOPADRAO", "txt"));
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "BRAILLE", "MODO", "2"));
    EXPECT_EQ(conteudo(),
              "[PLUMAR]\nMARGDIR=72\nEXTENSAOPADRAO=txt\n\n[VIDEO]\nLENTO=N\n[BRAILLE]\nMODO=2\n");

    fs::path novo = dir_.caminho() / "sub" / "NOVO.INI";
    ASSERT_TRUE(escreveIniArquivo(novo, "PLUMAR", "A", "1"));
    EXPECT_EQ(leIniArquivo(novo, "PLUMAR", "A"), "1");
}

// A SONARE.INI that is a link (kept elsewhere by the user) is written where it leads and
// stays a link; a link planted where the old writer put its temporary file is ignored.
TEST_F(Ini, ALinkIsWrittenThroughAndAPlantedOneIsNeverFollowed) {
    fs::create_directories(dir_ / "meus");
    gravaArquivoTeste(dir_ / "meus" / "real.ini", "[A]\nB=1\n");
    fs::permissions(dir_ / "meus" / "real.ini", fs::perms(0640));
    std::error_code ec;
    fs::create_symlink("meus/real.ini", arquivo_, ec);
    if (ec) GTEST_SKIP() << "this system makes no symbolic links here";
    gravaArquivoTeste(dir_ / "fora.txt", "de outro\n");
    fs::create_symlink("fora.txt", dir_ / "SONARE.INI.novo");
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "A", "B", "2"));
    EXPECT_TRUE(fs::is_symlink(arquivo_));
    EXPECT_EQ(leArquivo(dir_ / "meus" / "real.ini"), "[A]\nB=2\n");
    EXPECT_EQ(fs::status(dir_ / "meus" / "real.ini").permissions(), fs::perms(0640));
    EXPECT_EQ(leArquivo(dir_ / "fora.txt"), "de outro\n");
    std::vector<std::string> nomes;
    for (const auto& f : fs::directory_iterator(dir_ / "meus"))
        nomes.push_back(f.path().filename().string());
    EXPECT_EQ(nomes, std::vector<std::string>{"real.ini"}) << "no temporary file left";
}

// A configuration over 1 MB would be read whole at every lookup: it is read as empty, and
// never written, which would cut it down to what could be read.
TEST_F(Ini, AFileOverTheLimitIsNeitherReadNorWritten) {
    const std::string grande = "[PLUMAR]\nMARGDIR=40\n;" + std::string(kMaiorIni, 'x') + "\n";
    grava(grande);
    EXPECT_TRUE(iniGrandeDemais(arquivo_));
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "MARGDIR", "72"), "72");
    EXPECT_FALSE(escreveIniArquivo(arquivo_, "PLUMAR", "MARGDIR", "50"));
    EXPECT_EQ(conteudo(), grande);
    grava("[PLUMAR]\nMARGDIR=40\n");
    EXPECT_FALSE(iniGrandeDemais(arquivo_));
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "MARGDIR", "72"), "40");
}

TEST(IniNumero, WholeTextMustBeAnInteger) {
    EXPECT_EQ(inteiroIni(" 72 "), 72);
    EXPECT_EQ(inteiroIni("-3"), -3);
    EXPECT_EQ(inteiroIni("+5"), 5);
    for (const char* mau : {"abc", "12x", "", "99999999999999999999999"})
        EXPECT_FALSE(inteiroIni(mau).has_value()) << mau;
}

}  // namespace
