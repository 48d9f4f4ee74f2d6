#include "platform/caminhos.h"

#include <gtest/gtest.h>

#include "apoio.h"

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class CaminhosTest : public ::testing::Test {
protected:
    void SetUp() override {
        raiz_ = fs::temp_directory_path() /
                ("plumar_raiz_" + std::string(
                                      ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(raiz_);
        fs::create_directories(raiz_ / "Som" / "Letras");
        std::ofstream(raiz_ / "Som" / "Letras" / "_97.wav") << "x";
        std::ofstream(raiz_ / "catalogo") << "x";
    }
    void TearDown() override { fs::remove_all(raiz_); }
    fs::path raiz_;
};

TEST_F(CaminhosTest, OrnatoStandsForTheFamilyRoot) {
    Variavel v("SONARE_ROOT", raiz_.string());
    EXPECT_EQ(raizFamilia(), raiz_);
    EXPECT_EQ(mapeiaCaminho("c:\\ornato\\som\\letras\\"), (raiz_ / "som/letras/").string());
    EXPECT_EQ(mapeiaCaminho("C:\\ORNATO"), raiz_.string() + "/");
    EXPECT_EQ(mapeiaCaminho("\\Ornato\\x.wav"), (raiz_ / "x.wav").string());
    EXPECT_EQ(mapeiaCaminho("d:\\outro\\x.wav"), "/outro/x.wav");
    EXPECT_EQ(mapeiaCaminho("sub\\x.wav"), "sub/x.wav");
    EXPECT_EQ(mapeiaCaminho("ornatos\\x"), "ornatos/x");
}

TEST_F(CaminhosTest, FilesAreFoundWithoutRegardToCase) {
    Variavel v("SONARE_ROOT", raiz_.string());
    EXPECT_EQ(arquivoWindows("c:\\ornato\\SOM\\LETRAS\\_97.WAV"), raiz_ / "Som/Letras/_97.wav");
    // A name that does not exist in any case comes back as it was asked.
    EXPECT_EQ(arquivoWindows("c:\\ornato\\som\\nada.wav"), raiz_ / "som/nada.wav");
}

TEST_F(CaminhosTest, ProgramWithExeIsTriedWithout) {
    Variavel v("SONARE_ROOT", raiz_.string());
    EXPECT_EQ(achaPrograma("c:\\ornato\\CATALOGO.EXE"), raiz_ / "catalogo");
    EXPECT_EQ(achaPrograma("c:\\ornato\\nada.exe"), raiz_ / "nada.exe");
}

TEST(DiretorioWindows, FromVariablesInOrder) {
    Variavel w("SONARE_WINDIR", "/tmp/windir");
    EXPECT_EQ(diretorioWindows(), fs::path("/tmp/windir"));
    Variavel w2("SONARE_WINDIR", "");
    Variavel x("XDG_CONFIG_HOME", "/tmp/xdg");
    EXPECT_EQ(diretorioWindows(), fs::path("/tmp/xdg/sonare"));
    Variavel x2("XDG_CONFIG_HOME", "");
    Variavel h("HOME", "/home/ana");
    EXPECT_EQ(diretorioWindows(), fs::path("/home/ana/.config/sonare"));
}

}  // namespace
