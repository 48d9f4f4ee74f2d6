// The system's sound stream, whichever system plays it: one stream at the device's own rate
// serves every format, drains as it plays, and stops at once.
#include "platform/audioMisturado.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "apoio.h"
#ifdef PLUMAR_COM_SDL
#include "platform/audioSdl.h"
#endif

namespace {

std::vector<uint8_t> onda(const FormatoAudio& f, size_t bytes, uint8_t valor) {
    return ondaTeste(f, std::vector<uint8_t>(bytes, valor));
}

// Waits (up to a few seconds) for the device, which plays in real time, to drain the
// queue; the count never grows meanwhile.
void esperaEsvaziar(DispositivoAudio& a) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int anterior = a.blocosNaFila(); anterior > 0;) {
        ASSERT_LT(std::chrono::steady_clock::now(), limite) << "the queue never drained";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const int agora = a.blocosNaFila();
        EXPECT_LE(agora, anterior);
        anterior = agora;
    }
}

TEST(AudioSistema, OneStreamAtTheDeviceRateServesEveryFormat) {
#ifdef PLUMAR_COM_SDL
    Variavel driver("SDL_AUDIODRIVER", "dummy");  // plays in real time, with no sound card
#endif
    const std::unique_ptr<DispositivoAudio> dispositivo = criaAudioSistema();
    auto* a = dynamic_cast<AudioMisturado*>(dispositivo.get());
    if (!a) GTEST_SKIP() << "this build has no sound device";
#ifdef _WIN32
    // A machine (or wine) without a sound card.
    if (!a->semDispositivo().empty()) GTEST_SKIP() << a->semDispositivo();
#endif
    ASSERT_EQ(a->semDispositivo(), "");
    const int taxa = a->taxaSaida();
    EXPECT_GE(taxa, 8000);
    EXPECT_LE(a->amostrasBuffer() * 100, taxa);  // buffers of 10 ms or less
    EXPECT_FALSE(a->aberto());
    a->escreve(std::vector<uint8_t>(100, 128));  // not open: ignored
    EXPECT_EQ(a->blocosNaFila(), 0);
    for (FormatoAudio f : {FormatoAudio{1, 11025, 12}, {0, 11025, 8}, {1, 0, 16}, {-3, -1, -8}})
        EXPECT_FALSE(a->abre(f)) << f.canais << " " << f.taxa << " " << f.bits;

    for (FormatoAudio f : {FormatoAudio{1, 11025, 8}, {2, 22050, 16}, {1, 16538, 8}}) {
        ASSERT_TRUE(a->abre(f));
        // Blocks of 0.3 s: converting one takes far less even in a sanitizer build on a busy
        // machine, so two are queued at once after the second or the third is in.
        int naFila = 0;
        for (int i = 0; i < 3; ++i) {
            a->escreve(std::vector<uint8_t>(static_cast<size_t>(f.taxa * f.bytesPorAmostra() * 3 / 10), 128));
            naFila = std::max(naFila, a->blocosNaFila());
        }
        EXPECT_GE(naFila, 2);
        esperaEsvaziar(*a);
        a->fecha();
        EXPECT_EQ(a->taxaSaida(), taxa);  // the same stream all along
    }
    ASSERT_TRUE(a->abre({2, 22050, 16}));
    for (int i = 0; i < 3; ++i) a->escreve(std::vector<uint8_t>(22050, 0));
    a->reinicia();
    EXPECT_EQ(a->blocosNaFila(), 0);
    a->tocaSom(onda({1, 11025, 8}, 5000, 200), true);
    a->tocaSom({'R', 'I', 'F', 'F', 0, 0}, false);  // not a wave: stops the voice
    a->tocaSom(onda({2, 22050, 16}, 4001, 0), true);  // odd size: cut to whole frames
    a->paraSom();
    a->fecha();
    EXPECT_FALSE(a->aberto());
}

#ifdef PLUMAR_COM_SDL
TEST(AudioSdl, NoDeviceIsSaidAndTriedAgainUntilOneOpens) {
    Variavel driver("SDL_AUDIODRIVER", "nenhum-driver");
    AudioSdl a(50);
    EXPECT_NE(a.semDispositivo(), "");
    ASSERT_TRUE(a.abre({1, 11025, 8}));  // mute, but the player goes on
    a.escreve(std::vector<uint8_t>(11025, 128));
    EXPECT_EQ(a.blocosNaFila(), 0);
    a.tocaSom(onda({1, 11025, 8}, 100, 1), true);
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // a sound server that starts late
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(a.semDispositivo(), "");
    a.escreve(std::vector<uint8_t>(11025, 128));  // the open stream carries on
    EXPECT_EQ(a.blocosNaFila(), 1);
    a.reinicia();
}
#endif

}  // namespace
