#include "console/programa.h"

#include <gtest/gtest.h>

#include "apoio.h"
#include "console/despacho.h"
#include "console/montagem.h"
#include "editor/edArq.h"
#include "platform/ini.h"

namespace {

class Inicio : public ::testing::Test {
protected:
    // Starts an editor with `ini` as SONARE.INI and the family arguments `args`.
    Editor& inicia(const std::string& ini, std::vector<std::string> args = {"texto.txt"}) {
        gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        sessao_ = montaSessaoHeadless("");
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
        inicializaEditor(*sessao_->editor, args);
        return *sessao_->editor;
    }
    std::string rastro() { return leArquivo(pasta_ / "rastro.txt"); }

    PastaTemporaria pasta_;
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    std::unique_ptr<Sessao> sessao_;
};

TEST_F(Inicio, RightMarginFallsBackTo72) {
    const std::pair<const char*, int> casos[] = {
        {"MARGDIR=5", 72}, {"MARGDIR=300", 72}, {"MARGDIR=abc", 72},
        {"MARGDIR=250", 250}, {"MARGDIR=10", 10}, {"", 72}};
    for (const auto& [linha, margem] : casos)
        EXPECT_EQ(inicia(std::string("[PLUMAR]\n") + linha + "\n").ed.margemDireita, margem) << linha;
}

TEST_F(Inicio, DefaultExtensionIsWrittenBack) {
    EXPECT_EQ(inicia("[PLUMAR]\nMARGDIR=72\n").ed.extensaoPadrao, "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "EXTENSAOPADRAO"), "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "MARGDIR"), "72");
    EXPECT_EQ(inicia("[PLUMAR]\nEXTENSAOPADRAO=doc\n").ed.extensaoPadrao, "doc");
}

TEST_F(Inicio, OptionsAreDecidedOnTheStoredFirstCharacter) {
    EdVars& ed = inicia(
                     "[PLUMAR]\nENTERINSLINHA=s\nQUEBRARLINHAS=n\nFALARPONTUACAO=Nao\n"
                     "FALAESPACOS=Sim\nFALAAUTOMATICA=S\nMODOFALAFORMATACAO= b\n"
                     "DICIONARIOATIVADO=n\n")
                     .ed;
    EXPECT_FALSE(ed.enterInsereLinha);
    EXPECT_TRUE(ed.quebraLinhas);
    EXPECT_FALSE(ed.falaPontuacao);
    EXPECT_TRUE(ed.falaEspacos);
    EXPECT_TRUE(ed.falaAutomatica);
    EXPECT_EQ(ed.modoFalaFormatacao, 'B');
    EXPECT_FALSE(ed.dicionarioAtivo);  // upper-cased before deciding

    EdVars& padrao = inicia("[PLUMAR]\nDICIONARIOATIVADO=N\n").ed;
    EXPECT_FALSE(padrao.enterInsereLinha);
    EXPECT_TRUE(padrao.quebraLinhas);
    EXPECT_TRUE(padrao.falaPontuacao);
    EXPECT_FALSE(padrao.falaAutomatica);
    EXPECT_EQ(padrao.modoFalaFormatacao, 'N');
}

// The last argument is the file, trimmed; the system hands it over in UTF-8 and the editor
// keeps it in Windows-1252. Reading modes give no welcome.
TEST_F(Inicio, CommandLineModes) {
    const struct {
        std::vector<std::string> args;
        bool leitura, oem;
        std::string nome;
    } casos[] = {{{"/l", " nome.txt "}, true, false, "nome.txt"},
                 {{"/D"}, true, true, ""},
                 {{"a.txt", "b.txt"}, false, false, "b.txt"},
                 {{"a\xC3\xA7\xC3\xA3o.txt"}, false, false, "a\xE7\xE3o.txt"}};
    for (const auto& c : casos) {
        const EdVars& ed = inicia("", c.args).ed;
        EXPECT_EQ(ed.modoLeitura, c.leitura) << c.nome;
        EXPECT_EQ(ed.converteOem, c.oem) << c.nome;
        EXPECT_EQ(ed.nomeArquivo, c.nome);
        EXPECT_EQ(rastro().find("mensagem EDMSGINI") == std::string::npos, c.leitura) << c.nome;
    }
}

TEST_F(Inicio, AFileNamedInUtf8IsOpened) {
    gravaArquivoTeste(pasta_ / "a\xC3\xA7\xC3\xA3o.txt", "conte\xFA" "do\r\n");
    Editor& e = inicia("", {(pasta_ / "a\xC3\xA7\xC3\xA3o.txt").string()});
    ASSERT_TRUE(carregaArquivo(e));
    EXPECT_EQ(e.ed.linha(1), "conte\xFA" "do");
    EXPECT_EQ(e.ed.nomeArquivo.substr(e.ed.nomeArquivo.size() - 8), "a\xE7\xE3o.txt");
    EXPECT_NE(rastro().find("mensagem EDARQCRG"), std::string::npos);
}

// The welcome is written into the banner; the rest of its row keeps white on blue.
TEST_F(Inicio, TheWelcomeLeavesTheBannerRowWhiteOnBlue) {
    inicia("");
    for (int x = 71; x <= 80; ++x) EXPECT_EQ(sessao_->crt->atributoEm(x, 7), 0x1F) << x;
}

TEST_F(Inicio, DictionaryIsOnUnlessSaidNo) {
    EXPECT_TRUE(inicia("[PLUMAR]\n").ed.dicionarioAtivo);
    EXPECT_NE(rastro().find("mensagem EDCARDIC"), std::string::npos);
}

TEST(Despacho, ShiftSelectionAndItsClearing) {
    auto s = montaSessaoHeadless("");
    Editor& e = *s->editor;
    e.ed.texto.insere(1, "uma linha de texto");
    e.ed.texto.insere(2, "outra");
    e.ed.colunaAtual = 5;
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::TeclaDesce;
    ev.tecla = vk::End;
    ev.mod.shift = true;
    e.crt.trataEvento(ev);  // the console now sees Shift held
    despachaEstendida(e, 79);
    EXPECT_EQ(e.ed.selecaoInicio, 5);
    EXPECT_EQ(e.ed.selecaoFim, 19);
    despachaEstendida(e, 72);  // Up clears the start anchor even with Shift held
    EXPECT_EQ(e.ed.selecaoInicio, 0);
    ev.tipo = EventoEntrada::Tipo::TeclaSobe;
    ev.mod.shift = false;
    e.crt.trataEvento(ev);
    despachaEstendida(e, 72);
    EXPECT_EQ(e.ed.selecaoInicio, 0);
    EXPECT_EQ(e.ed.selecaoFim, 0);
}

}  // namespace
