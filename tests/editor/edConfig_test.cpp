// The voice presets of Alt+1..Alt+3 and the way back to the family's own voice (Alt+0).
#include "editor/edConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "apoio.h"
#include "editor/sessaoEdicao.h"

namespace {

TEST(PresetVoz, FourNumbersReadUpToTheFirstStrangeCharacter) {
    const std::pair<const char*, std::array<int, 4>> casos[] = {
        {"3 -2 5 0", {3, -2, 5, 0}},   {"  2  150 40 5", {2, 150, 40, 5}},
        {"7x 9 9 9", {7, 0, 0, 0}},    {"1 2,3 4", {1, 2, 0, 0}},
        {"1 - 3 4", {1, 0, 0, 0}},     {"", {0, 0, 0, 0}},
        {"99999999999 1", {1000000, 1, 0, 0}}};
    for (const auto& [texto, numeros] : casos) EXPECT_EQ(lePresetVoz(texto), numeros) << texto;
}

struct Aberto {
    int tipo = -1, voz = -1, taxa = -1, tom = -1;
    std::vector<std::string> falas;  // "tipo:texto" of every text spoken by a server
};

// Opens and records; the engine of type 3 cannot open.
class ServidorAnotado : public ServidorFala {
  public:
    ServidorAnotado(Aberto& a, int tipo) : a_(a), tipo_(tipo) {}
    bool abre(int voz, int taxa, int tom) override {
        if (tipo_ == 3) return false;
        a_.tipo = tipo_, a_.voz = voz, a_.taxa = taxa, a_.tom = tom;
        return true;
    }
    void fala(std::string_view texto) override {
        a_.falas.push_back(std::to_string(tipo_) + ":" + std::string(texto));
    }
    bool falando() override { return false; }
    void para() override {}
    void fecha() override {}

  private:
    Aberto& a_;
    int tipo_;
};

class VozPreset : public SessaoEdicao {
  protected:
    void SetUp() override {
        gravaArquivoTeste(pasta_ / "SONARE.INI",
                          "[PLUMAR]\nVELOCIDADE=2\n[SAPIUTIL]\nVOZ1=2 0 0 3\nVOZ2=3 -2 5 0\n"
                          "VOZ3=1 4 0 5\n");
        SessaoEdicao::SetUp();
        e().fala.defineFabricaServidores([this](int tipo, const AmbienteServidor&) {
            return std::make_unique<ServidorAnotado>(aberto_, tipo);
        });
    }
    Aberto aberto_;
};

TEST_F(VozPreset, AltTwoSwitchesToVoz2AndAltZeroBack) {
    vozSapi(e(), 2);
    EXPECT_EQ(aberto_.tipo, 4);  // 0 means 4
    EXPECT_EQ(aberto_.voz, 3);
    EXPECT_EQ(aberto_.taxa, -2);
    EXPECT_EQ(aberto_.tom, 5);
    EXPECT_TRUE(e().fala.servidorAtivo());
    EXPECT_EQ(e().fala.velocidade(), 2);
    vozSapi(e(), 3);
    EXPECT_EQ(aberto_.tipo, 5);
    vozPropria(e());
    EXPECT_FALSE(e().fala.servidorAtivo());
    EXPECT_FALSE(ed().sapiAtivo);
}

// Each switch answers: the new voice itself says "OK"; an engine that cannot open (type 3
// here) or a preset that is missing gives the error beep and the voice in use stays.
TEST_F(VozPreset, ASwitchIsConfirmedByTheNewVoiceAndAFailureKeepsTheOldOne) {
    ouvido();
    vozSapi(e(), 2);
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDOK", "texto OK"}));
    EXPECT_EQ(aberto_.falas, std::vector<std::string>{"4:OK"});
    EXPECT_EQ(textoTela(9), "OK");

    aberto_ = Aberto{};
    vozSapi(e(), 1);
    vozSapi(e(), 4);
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "bip"}));
    EXPECT_TRUE(e().fala.servidorAtivo());
    EXPECT_EQ(std::tuple(aberto_.tipo, aberto_.voz, aberto_.taxa), std::tuple(4, 3, -2));
    e().fala.falaTexto("ainda");
    EXPECT_EQ(aberto_.falas, std::vector<std::string>{"4:ainda"});
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
