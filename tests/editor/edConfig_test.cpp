// The voice presets of Alt+1..Alt+3 and the way back to the family's own voice (Alt+0);
// the configuration panel and family.
#include "editor/edConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "apoio.h"
#include "programa/despacho.h"
#include "programa/programa.h"
#include "editor/sessao.h"
#include "platform/ini.h"
#include "speech/bancadaFala.h"

namespace {

TEST(PresetVoz, FourNumbersReadUpToTheFirstStrangeCharacter) {
    const std::pair<const char*, std::array<int, 4>> casos[] = {
        {"3 -2 5 0", {3, -2, 5, 0}},   {"  2  150 40 5", {2, 150, 40, 5}},
        {"7x 9 9 9", {7, 0, 0, 0}},    {"1 2,3 4", {1, 2, 0, 0}},
        {"1 - 3 4", {1, 0, 0, 0}},     {"", {0, 0, 0, 0}},
        {"99999999999 1", {1000000, 1, 0, 0}}};
    for (const auto& [texto, numeros] : casos) EXPECT_EQ(lePresetVoz(texto), numeros) << texto;
}

// Servers that note how they were opened; the engine of type 3 cannot open.
using bancada::RegistroServidor;

class VozPreset : public SessaoEdicao {
  protected:
    void SetUp() override {
        gravaArquivoTeste(pasta_ / "SONARE.INI",
                          "[PLUMAR]\nVELOCIDADE=2\n[SAPIUTIL]\nVOZ1=2 0 0 3\nVOZ2=3 -2 5 0\n"
                          "VOZ3=1 4 0 5\n");
        SessaoEdicao::SetUp();
        e().fala.defineFabricaServidores(bancada::fabricaFalsa(aberto_));
    }
    RegistroServidor aberto_{.tipoRecusado = 3};
};

// The configuration panel and family on an editor started from SONARE.INI, as the program
// starts, with a speech server that only notes how it was opened.
class Configuracao : public SessaoEdicao {
  protected:
    void inicia(const std::string& teclas) {
        abre(teclas);
        e().fala.defineFabricaServidores(bancada::fabricaFalsa(aberto_));
        inicializaEditor(e(), {"texto.txt"});
    }
    std::string plumar(const char* chave) {
        return leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", chave);
    }
    RegistroServidor aberto_{.tipoRecusado = 3};
};

// "n" typed in the eighth field, "Com servidor de fala".
constexpr const char* kDesligaSapi = "{Down}{Down}{Down}{Down}{Down}{Down}{Down}n{Esc}";

TEST_F(Configuracao, SapiSwitchedOffInThePanelStaysOffAtTheNextStart) {
    gravaArquivoTeste(pasta_ / "SONARE.INI",
                      "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nVOZ=3\n"
                      "[PLUMAR]\nSAPIATIVADO=S\nDICIONARIOATIVADO=N\n");
    inicia(kDesligaSapi);
    ASSERT_TRUE(e().fala.servidorAtivo());
    painelConfiguracao(e());
    EXPECT_FALSE(e().fala.servidorAtivo());
    EXPECT_FALSE(ed().sapiAtivo);
    EXPECT_EQ(plumar("SAPIATIVADO"), "N");
    // Keys the user left alone are not written: missing ones stay missing and keep the
    // meaning they had (the voice of SERVFALA, the line break that is on by default).
    EXPECT_EQ(plumar("NUMEROSAPI"), "");
    EXPECT_EQ(plumar("QUEBRARLINHAS"), "");
    EXPECT_TRUE(contemEmOrdem(rastro(), {"mensagem EDPAICON", "mensagem EDCFVEL",
                                         "mensagem EDAGUARC", "mensagem EDOK"}));

    inicia("");
    EXPECT_FALSE(e().fala.servidorAtivo());
    EXPECT_FALSE(ed().sapiAtivo);
    EXPECT_TRUE(ed().quebraLinhas);
}

TEST_F(Configuracao, AFileThatCannotBeWrittenStaysWholeAndTheOptionsHoldForTheRun) {
    // Longer than any file may grow below (the speech trace stays far shorter).
    const std::string ini = "[PLUMAR]\nFALAAUTOMATICA=N\nDICIONARIOATIVADO=N\nEXTENSAOPADRAO=txt\n;" +
                            std::string(64 * 1024, '-') + "\n";
    gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
    inicia("{Down}{Down}{Down}{Down}s{Esc}");
    {
        const LimiteGravacao nadaCresce(32 * 1024);  // the configuration cannot be written
        painelConfiguracao(e());
    }
    EXPECT_TRUE(ed().falaAutomatica);
    EXPECT_EQ(leArquivo(pasta_ / "SONARE.INI"), ini);
    EXPECT_TRUE(contemEmOrdem(rastro(), {"mensagem EDERRESC", "mensagem EDOK"}));
}

// Each switch answers: the new voice itself says "OK"; an engine that cannot open (type 3
// here) or a preset that is missing gives the error beep and the voice in use stays.
TEST_F(VozPreset, ASwitchIsConfirmedByTheNewVoiceAndAFailureKeepsTheOldOne) {
    ouvido();
    vozSapi(e(), 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDOK", "texto OK"}));
    EXPECT_EQ(aberto_.textos, std::vector<std::string>{"OK"});
    // Voice, rate and pitch as the preset says, type 0 meaning 4; the speed level stays.
    EXPECT_EQ(std::tuple(aberto_.tipo, aberto_.voz, aberto_.taxa, aberto_.tom), std::tuple(4, 3, -2, 5));
    EXPECT_EQ(e().fala.velocidade(), 2);
    EXPECT_EQ(textoTela(9), "OK");

    aberto_ = RegistroServidor{.tipoRecusado = 3};
    vozSapi(e(), 1);
    vozSapi(e(), 4);
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "bip"}));
    EXPECT_TRUE(e().fala.servidorAtivo());
    EXPECT_EQ(std::tuple(aberto_.tipo, aberto_.voz, aberto_.taxa), std::tuple(4, 3, -2));
    e().fala.falaTexto("ainda");
    EXPECT_EQ(aberto_.textos, std::vector<std::string>{"ainda"});
    vozSapi(e(), 3);
    EXPECT_EQ(aberto_.tipo, 5);
    ouvido();

    vozPropria(e());
    vozSapi(e(), 1);  // from the own voice: it stays too
    EXPECT_FALSE(e().fala.servidorAtivo());
    EXPECT_FALSE(ed().sapiAtivo);
    const Ouvido o = ouvido();
    EXPECT_EQ(o.front(), "mensagem EDOK");
    EXPECT_EQ(o.back(), "bip");
}

}  // namespace
