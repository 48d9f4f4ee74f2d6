#include "programa/programa.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "editor/sessao.h"

namespace {

class Inicio : public ::testing::Test, public SessaoHeadless {
protected:
    // Starts an editor with `ini` as SONARE.INI and the family arguments `args`.
    Editor& inicia(const std::string& ini, std::vector<std::string> args = {"texto.txt"}) {
        gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre("");
        inicializaEditor(e(), args);
        return e();
    }
};

TEST_F(Inicio, RightMarginFallsBackTo72) {
    const std::pair<const char*, int> casos[] = {
        {"MARGDIR=5", 72}, {"MARGDIR=300", 72}, {"MARGDIR=abc", 72},
        {"MARGDIR=250", 250}, {"MARGDIR=10", 10}, {"", 72}};
    for (const auto& [linha, margem] : casos)
        EXPECT_EQ(inicia(std::string("[PLUMAR]\n") + linha + "\n").ed.margemDireita, margem) << linha;
}

// Yes/no options are decided on the first character as stored ("s" is not "S"); the
// formatting mode and the dictionary are upper-cased first.
TEST_F(Inicio, OptionsAreDecidedOnTheStoredFirstCharacter) {
    auto opcoes = [](const EdVars& ed) {
        return std::vector<int>{ed.enterInsereLinha, ed.quebraLinhas,   ed.falaPontuacao,
                                ed.falaEspacos,      ed.falaAutomatica, ed.modoFalaFormatacao,
                                ed.dicionarioAtivo};
    };
    EXPECT_EQ(opcoes(inicia("[PLUMAR]\nENTERINSLINHA=s\nQUEBRARLINHAS=n\nFALARPONTUACAO=Nao\n"
                            "FALAESPACOS=Sim\nFALAAUTOMATICA=S\nMODOFALAFORMATACAO= b\n"
                            "DICIONARIOATIVADO=n\n")
                         .ed),
              (std::vector<int>{0, 1, 0, 1, 1, 'B', 0}));
    EXPECT_EQ(rastro().find("EDCARDIC"), std::string::npos);
    EXPECT_EQ(opcoes(inicia("[PLUMAR]\n").ed), (std::vector<int>{0, 1, 1, 0, 0, 'N', 1}));
    EXPECT_NE(rastro().find("mensagem EDCARDIC"), std::string::npos);
}

// The file named is trimmed, and /D alone names none. Reading modes give no welcome.
TEST_F(Inicio, CommandLineModes) {
    const struct {
        std::vector<std::string> args;
        bool leitura, oem;
        std::string nome;
    } casos[] = {{{"/l", " nome.txt "}, true, false, "nome.txt"}, {{"/D"}, true, true, ""}};
    for (const auto& c : casos) {
        const EdVars& ed = inicia("", c.args).ed;
        EXPECT_EQ(ed.modoLeitura, c.leitura) << c.nome;
        EXPECT_EQ(ed.converteOem, c.oem) << c.nome;
        EXPECT_EQ(ed.nomeArquivo, c.nome);
        EXPECT_EQ(rastro().find("mensagem EDMSGINI") == std::string::npos, c.leitura) << c.nome;
    }
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
        if (pipe)
            ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
        else
            gravaArquivoTeste(ini, grande);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre("");
        inicializaEditor(e(), {"texto.txt"});
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
