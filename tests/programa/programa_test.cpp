#include "programa/programa.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "editor/sessao.h"

namespace {

class Inicio : public ::testing::Test, public SessaoHeadless {
protected:
    // Starts an editor with `ini` as SONARE.INI (without one: the SONARE.INI there is) and
    // the family arguments `args`.
    Editor& inicia(const std::optional<std::string>& ini,
                   std::vector<std::string> args = {"texto.txt"}) {
        if (ini) gravaArquivoTeste(pasta_ / "SONARE.INI", *ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre("");
        inicializaEditor(e(), args);
        return e();
    }
};

// The file named is trimmed (the command-line modes themselves are heard in the acceptance cases).
TEST_F(Inicio, TheFileNamedIsTrimmed) {
    EXPECT_EQ(inicia("", {"/l", " nome.txt "}).ed.nomeArquivo, "nome.txt");
}

// The welcome is written into the banner; the rest of its row keeps white on blue.
TEST_F(Inicio, TheWelcomeLeavesTheBannerRowWhiteOnBlue) {
    inicia("");
    for (int x = 71; x <= 80; ++x) EXPECT_EQ(crt().atributoEm(x, 7), 0x1F) << x;
}

// A SONARE.INI that is a pipe (reading it would wait for a writer) or over the size limit
// (read at every lookup it would stall the start): one message, the defaults, no wait, and
// the file as it was.
TEST_F(Inicio, AnUnreadableSonareIniGivesOneMessageAndTheDefaults) {
    const std::filesystem::path ini = pasta_ / "SONARE.INI";
    const std::string grande = "[PLUMAR]\nMARGDIR=40\n;" + std::string(2 << 20, 'x') + "\n";
    for (bool pipe : {true, false}) {
        std::filesystem::remove_all(ini);
        if (pipe) ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
        inicia(pipe ? std::nullopt : std::optional(grande));
        EXPECT_EQ(ed().margemDireita, 72);
        EXPECT_EQ(ed().extensaoPadrao, "txt");
        const std::string mensagem = pipe ? "mensagem EDINIINV" : "mensagem EDINIGRD";
        const std::string r = rastro();
        EXPECT_NE(r.find(mensagem), std::string::npos);
        EXPECT_EQ(r.find(mensagem), r.rfind(mensagem)) << "said once";
        EXPECT_EQ(pipe, std::filesystem::is_fifo(ini));
    }
    EXPECT_TRUE(leArquivo(ini) == grande);
}

}  // namespace
