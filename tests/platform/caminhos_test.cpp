#include "platform/caminhos.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <optional>

#include "apoio.h"

namespace fs = std::filesystem;

namespace {

// A family root whose folder has its name in mixed case. (Names found without regard to
// case, and programs without their .exe, are how the scripted cases find their prompts
// and converters.)
class Caminhos : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(raiz_ / "Som");
    }
    PastaTemporaria pasta_;
    fs::path raiz_ = pasta_.caminho();
    Variavel v_{"SONARE_ROOT", raiz_.string()};
};

// A name that does not exist in any case comes back as it was asked.
TEST_F(Caminhos, ANameFoundInNoCaseComesBackAsAsked) {
    EXPECT_EQ(arquivoWindows("c:\\ornato\\som\\nada.wav"), raiz_ / "som/nada.wav");
    EXPECT_EQ(achaPrograma("c:\\ornato\\nada.exe"), raiz_ / "nada.exe");
}

// c:\ornato\plumar.exe is the installed program beside this one, not the family root's
// folder of prompts of the same name; a folder is never taken for a program.
TEST_F(Caminhos, AFamilyProgramIsTheInstalledOneNeverAFolder) {
    fs::create_directories(raiz_ / "plumar");
    fs::create_directories(raiz_ / "outro");
    const fs::path aqui = fs::read_symlink("/proc/self/exe").parent_path();
    ASSERT_TRUE(fs::is_regular_file(aqui / "plumar"));
    EXPECT_EQ(achaPrograma("c:\\ornato\\plumar.exe"), aqui / "plumar");
    EXPECT_EQ(achaPrograma("c:\\ornato\\outro.exe"), raiz_ / "outro.exe");
}

// A configuration or a state folder is never relative to the folder the program starts in
// (a folder received from someone else): a relative XDG path is ignored, as the XDG rules
// say, and without HOME (or with a relative one) the home is the system's. (The cases run
// with SONARE_WINDIR and an absolute XDG_STATE_HOME.)
TEST(DiretorioWindows, NeverRelativeToTheStartFolder) {
    Variavel w("SONARE_WINDIR", nullptr);
    const passwd* usuario = getpwuid(getuid());
    ASSERT_NE(usuario, nullptr);
    const fs::path casa = usuario->pw_dir;
    for (const char* home : {static_cast<const char*>(nullptr), "", "cfg", "/home/ana"}) {
        std::optional<Variavel> h;
        if (home) h.emplace("HOME", home); else h.emplace("HOME", nullptr);
        Variavel x("XDG_CONFIG_HOME", ".config");
        Variavel e("XDG_STATE_HOME", "cfg/estado");
        Variavel c("XDG_CACHE_HOME", "cache");
        const fs::path pessoal = home && home[0] == '/' ? fs::path(home) : casa;
        EXPECT_EQ(diretorioWindows(), pessoal / ".config" / "sonare") << (home ? home : "(none)");
        EXPECT_EQ(diretorioEstado(), pessoal / ".local" / "state" / "sonare");
        EXPECT_EQ(pastaXdg("XDG_CACHE_HOME", ".cache"), pessoal / ".cache");
    }
    Variavel x("XDG_CONFIG_HOME", "/tmp/xdg");
    EXPECT_EQ(diretorioWindows(), fs::path("/tmp/xdg/sonare"));
}

}  // namespace
