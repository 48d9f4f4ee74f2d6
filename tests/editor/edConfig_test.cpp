// The voice presets of Alt+1..Alt+3 and the way back to the family's own voice (Alt+0).
#include "editor/edConfig.h"

#include <gtest/gtest.h>

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
};

class ServidorAnotado : public ServidorFala {
  public:
    explicit ServidorAnotado(Aberto& a) : a_(a) {}
    bool abre(int voz, int taxa, int tom) override {
        a_.voz = voz, a_.taxa = taxa, a_.tom = tom;
        return true;
    }
    void fala(std::string_view) override {}
    bool falando() override { return false; }
    void para() override {}
    void fecha() override {}

  private:
    Aberto& a_;
};

class VozPreset : public SessaoEdicao {
  protected:
    void SetUp() override {
        gravaArquivoTeste(pasta_ / "SONARE.INI",
                          "[PLUMAR]\nVELOCIDADE=2\n[SAPIUTIL]\nVOZ2=3 -2 5 0\nVOZ3=1 4 0 5\n");
        SessaoEdicao::SetUp();
        e().fala.defineFabricaServidores([this](int tipo, const AmbienteServidor&) {
            aberto_.tipo = tipo;
            return std::make_unique<ServidorAnotado>(aberto_);
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

}  // namespace
