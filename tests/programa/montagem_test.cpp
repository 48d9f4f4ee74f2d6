// --audio-out: the session records into the file asked for, and says so when it cannot.
#include "programa/montagem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "analiseSom.h"
#include "apoio.h"
#include "editor/edtela.h"
#include "programa/programa.h"

namespace {

class SaidaAudio : public ::testing::Test {
  protected:
    OpcoesLinux opcoes(const std::string& arquivo) {
        OpcoesLinux o;
        o.frontEnd = "headless";
        o.saidaAudio = arquivo;
        return o;
    }

    PastaTemporaria pasta_;
    Variavel windir_{"SONARE_WINDIR", (pasta_ / "win").string()};
};

TEST_F(SaidaAudio, AFileThatCannotBeCreatedStopsTheStart) {
    std::string erro;
    auto sessao = montaSessao(opcoes((pasta_ / "nao/existe/saida.wav").string()), erro);
    EXPECT_FALSE(sessao);
    EXPECT_NE(erro.find("nao/existe/saida.wav"), std::string::npos) << erro;
}

TEST_F(SaidaAudio, PausesBetweenSoundsAreSilenceOnTheVirtualClock) {
    const std::string arquivo = (pasta_ / "pausa.wav").string();
    std::string erro;
    auto sessao = montaSessao(opcoes(arquivo), erro);
    ASSERT_TRUE(sessao) << erro;
    sessao->fala->bip();
    sessao->crt->Delay(500);
    sessao->fala->bip();
    sessao.reset();
    const std::vector<int16_t> som = analise::amostrasCapturadas(arquivo);
    std::vector<size_t> sons;  // where the sound is
    for (size_t i = 0; i < som.size(); ++i)
        if (std::abs(som[i]) > 300) sons.push_back(i);
    ASSERT_FALSE(sons.empty());
    size_t maiorPausa = 0;
    for (size_t i = 1; i < sons.size(); ++i) maiorPausa = std::max(maiorPausa, sons[i] - sons[i - 1]);
    const double taxa = AudioCaptura::kFormatoArquivo.taxa;
    EXPECT_NEAR(static_cast<double>(maiorPausa), 0.5 * taxa, 0.02 * taxa);
}

#ifdef PLUMAR_COM_SDL
TEST_F(SaidaAudio, NoSoundDeviceIsShownInTheBannerNotOnTheMessageRow) {
    Variavel driver("SDL_AUDIODRIVER", "nenhum-driver");
    OpcoesLinux o;
    o.frontEnd = "terminal";  // no terminal here: the session ends up headless
    std::string erro;
    auto sessao = montaSessao(o, erro);
    ASSERT_TRUE(sessao) << erro;
    EXPECT_NE(sessao->semSom, "");
    avisaSemSom(*sessao->editor);
    const std::string tela = despejoTela(sessao->crt->tela());
    // Row 5 from column 57: the message row stays free for the messages.
    EXPECT_NE(tela.find("\n" + std::string(56, ' ') + "Sem dispositivo de som"), std::string::npos)
        << tela;
}
#endif

}  // namespace
