// The wave player through the capture device: the bytes that reach the device, the WAV
// written of them, and the pacing that makes the player wait as long as a sound card would.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "apoio.h"
#include "console/SnCrt.h"
#include "platform/audio.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A recording with an odd-sized chunk (and its pad byte) before the samples.
Bytes gravacao(const Bytes& amostras) {
    Bytes w = cabecalhoWave({1, 11025, 8}, static_cast<uint32_t>(amostras.size()));
    const Bytes lista = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    w.insert(w.begin() + 36, lista.begin(), lista.end());
    const uint32_t riff = static_cast<uint32_t>(w.size() - 8 + amostras.size());
    for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    w.insert(w.end(), amostras.begin(), amostras.end());
    return w;
}

class TocadorCapturaTest : public ::testing::Test {
  protected:
    void monta(bool tempoReal) {
        tocador_.reset();
        crt_.reset();
        OpcoesCaptura o;
        o.arquivo = (pasta_ / "saida.wav").string();
        o.tempoReal = tempoReal;
        o.relogioMs = [this] { return crt_->agoraMs(); };
        captura_ = std::make_unique<AudioCaptura>(std::move(o));
        crt_ = std::make_unique<SnCrt>(criaFrontEndHeadless({}), *captura_, pasta_ / "SONARE.INI");
        tocador_ = std::make_unique<TocadorOnda>(*crt_, *captura_);
    }
    std::filesystem::path grava(const Bytes& conteudo) {
        gravaArquivoTeste(pasta_ / "som.wav", conteudo);
        return pasta_ / "som.wav";
    }

    PastaTemporaria pasta_;
    std::unique_ptr<AudioCaptura> captura_;
    std::unique_ptr<SnCrt> crt_;
    std::unique_ptr<TocadorOnda> tocador_;
};

TEST_F(TocadorCapturaTest, ARecordingReachesTheDeviceByteForByte) {
    monta(false);
    Bytes amostras(65600);
    for (size_t i = 0; i < amostras.size(); ++i) amostras[i] = static_cast<uint8_t>(1 + i % 251);
    const uint64_t antes = crt_->agoraMs();
    ASSERT_EQ(tocador_->tocaArquivo(grava(gravacao(amostras))), 0);
    EXPECT_LT(crt_->agoraMs() - antes, 50u);  // drained at once: no waiting on the sound

    const auto& blocos = captura_->blocos();
    ASSERT_EQ(blocos.size(), 2u);
    Bytes primeiro(amostras.begin(), amostras.begin() + 65278);
    Bytes segundo(amostras.begin() + 65278, amostras.end());
    primeiro.back() = segundo.back() = 128;  // pieces that may end the sound end on silence
    EXPECT_EQ(blocos[0].bytes, primeiro);
    EXPECT_EQ(blocos[1].bytes, segundo);
    for (const auto& b : blocos) {
        EXPECT_EQ(b.voz, BlocoCapturado::Voz::Fluxo);
        EXPECT_EQ(b.formato, (FormatoAudio{1, 11025, 8}));
    }

    // The player closed the device at the end: the file holds the whole sound, resampled.
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(leBytes(pasta_ / "saida.wav"), onda));
    EXPECT_NEAR(static_cast<double>(onda.dados.size()), 65600.0 * 4 * 2, 4);
}

TEST_F(TocadorCapturaTest, PacedTheSoundTakesItsTimeOnTheClock) {
    monta(true);
    const uint64_t antes = crt_->agoraMs();
    ASSERT_EQ(tocador_->tocaArquivo(grava(gravacao(Bytes(3 * 11025, 100)))), 0);
    const uint64_t passou = crt_->agoraMs() - antes;
    EXPECT_GE(passou, 3000u);
    EXPECT_LE(passou, 3100u);
    EXPECT_EQ(captura_->blocosNaFila(), 0);

    // Asynchronous: the call returns at once and the sound is still queued.
    tocador_->assincrono = true;
    ASSERT_EQ(tocador_->tocaArquivo(grava(gravacao(Bytes(11025, 100)))), 0);
    EXPECT_TRUE(tocador_->tocando());
    crt_->Delay(1100);
    EXPECT_FALSE(tocador_->tocando());
}

}  // namespace
