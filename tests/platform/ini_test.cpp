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

// How users spell their SONARE.INI, and how a key is replaced or added to a section, the
// acceptance case instalacao/ini_grafias shows; here what no key of the editor reaches.
TEST_F(Ini, MissingFileGivesDefaultsLongValuesAreCutAndSectionsAndFilesAreMade) {
    EXPECT_EQ(leIniArquivo(dir_ / "nao.ini", "A", "B", "padrao"), "padrao");
    const std::string longo = "[A]\nB=" + std::string(400, 'x') + "\n";
    grava(longo);
    EXPECT_EQ(leIniArquivo(arquivo_, "a", "b").size(), kMaxValorIni);
    ASSERT_TRUE(escreveIniArquivo(arquivo_, "BRAILLE", "MODO", "2"));
    EXPECT_EQ(conteudo(), longo + "[BRAILLE]\nMODO=2\n");

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
