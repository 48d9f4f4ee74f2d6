// --audio-out: the session records into the file asked for, and says so when it cannot.
#include "console/montagem.h"

#include <gtest/gtest.h>

#include "apoio.h"

namespace {

class SaidaAudioTest : public ::testing::Test {
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

TEST_F(SaidaAudioTest, TheSessionRecordsWhatItPlays) {
    const std::string arquivo = (pasta_ / "saida.wav").string();
    std::string erro;
    auto sessao = montaSessao(opcoes(arquivo), erro);
    ASSERT_TRUE(sessao) << erro;
    sessao->fala->bip();
    const std::string conteudo = leArquivo(arquivo);
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(
        std::span(reinterpret_cast<const uint8_t*>(conteudo.data()), conteudo.size()), onda));
    EXPECT_EQ(onda.formato, AudioCaptura::kFormatoArquivo);
    EXPECT_GT(onda.dados.size(), 0u);
    // Headless runs on the virtual clock: the capture drains at once.
    EXPECT_EQ(sessao->audio->blocosNaFila(), 0);
}

TEST_F(SaidaAudioTest, AFileThatCannotBeCreatedStopsTheStart) {
    std::string erro;
    auto sessao = montaSessao(opcoes((pasta_ / "nao/existe/saida.wav").string()), erro);
    EXPECT_FALSE(sessao);
    EXPECT_NE(erro.find("nao/existe/saida.wav"), std::string::npos) << erro;
}

}  // namespace
