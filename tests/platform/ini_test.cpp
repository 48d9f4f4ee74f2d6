#include "platform/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class IniTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("plumar_ini_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        arquivo_ = dir_ / "SONARE.INI";
    }
    void TearDown() override { fs::remove_all(dir_); }
    void grava(const std::string& texto) { std::ofstream(arquivo_, std::ios::binary) << texto; }
    std::string conteudo() {
        std::ifstream f(arquivo_, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    fs::path dir_, arquivo_;
};

TEST_F(IniTest, ReadsWithoutRegardToCaseTrimsAndTakesFirstMatch) {
    grava("; comentario\r\n[Plumar]\r\n  margdir =  72  \r\nMARGDIR=80\r\n;ENTER=S\r\n"
          "[video]\r\nFONTE=\"Lucida Console\"\r\n[PLUMAR]\r\nOUTRA=1\r\n");
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "MargDir", "x"), "72");
    EXPECT_EQ(leIniArquivo(arquivo_, "VIDEO", "fonte"), "Lucida Console");
    EXPECT_EQ(leIniArquivo(arquivo_, "PLUMAR", "ENTER", "padrao"), "padrao");
    EXPECT_EQ(leIniArquivo(arquivo_, "NADA", "MARGDIR", "d"), "d");
    EXPECT_FALSE(procuraIni(arquivo_, "PLUMAR", "ENTER").has_value());
}

TEST_F(IniTest, MissingFileGivesDefaultsAndLongValuesAreCut) {
    EXPECT_EQ(leIniArquivo(dir_ / "nao.ini", "A", "B", "padrao"), "padrao");
    grava("[A]\nB=" + std::string(400, 'x') + "\n");
    EXPECT_EQ(leIniArquivo(arquivo_, "a", "b").size(), kMaxValorIni);
}

TEST_F(IniTest, WriteReplacesKeyAndKeepsEveryOtherLine) {
    grava("; topo\r\n[PLUMAR]\r\nMARGDIR=72\r\n; nota\r\nEXTENSAOPADRAO=\r\n\r\n[VIDEO]\r\nLENTO=N\r\n");
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "plumar", "extensaopadrao", "txt"));
    EXPECT_EQ(conteudo(),
              "; topo\r\n[PLUMAR]\r\nMARGDIR=72\r\n; nota\r\nextensaopadrao=txt\r\n\r\n[VIDEO]\r\n"
              "LENTO=N\r\n");
}

TEST_F(IniTest, WriteAddsKeyAtEndOfSectionAndCreatesSectionAndFile) {
    grava("[PLUMAR]\nMARGDIR=72\n\n[VIDEO]\nLENTO=N\n");
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "PLUMAR", "EXTENSAOPADRAO", "txt"));
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "BRAILLE", "MODO", "2"));
    EXPECT_EQ(conteudo(),
              "[PLUMAR]\nMARGDIR=72\nEXTENSAOPADRAO=txt\n\n[VIDEO]\nLENTO=N\n[BRAILLE]\nMODO=2\n");

    fs::path novo = dir_ / "sub" / "NOVO.INI";
    ASSERT_TRUE(escreveIniArquivo(novo, "PLUMAR", "A", "1"));
    EXPECT_EQ(leIniArquivo(novo, "PLUMAR", "A"), "1");
}

TEST_F(IniTest, FailedWriteLeavesFileAsItWas) {
    grava("[A]\nB=1\n");
    // A directory where the new text would be written makes the write fail.
    fs::create_directories(fs::path(arquivo_.string() + ".novo"));
    EXPECT_FALSE(escreveIniArquivo(arquivo_, "A", "B", "2"));
    EXPECT_EQ(conteudo(), "[A]\nB=1\n");
}

TEST(IniNumero, WholeTextMustBeAnInteger) {
    EXPECT_EQ(inteiroIni(" 72 "), 72);
    EXPECT_EQ(inteiroIni("-3"), -3);
    EXPECT_EQ(inteiroIni("+5"), 5);
    EXPECT_FALSE(inteiroIni("abc").has_value());
    EXPECT_FALSE(inteiroIni("12x").has_value());
    EXPECT_FALSE(inteiroIni("").has_value());
    EXPECT_FALSE(inteiroIni("99999999999999999999999").has_value());
}

}  // namespace
