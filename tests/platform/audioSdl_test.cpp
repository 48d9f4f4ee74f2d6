#ifdef PLUMAR_COM_SDL

#include "platform/audioSdl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "apoio.h"

namespace {

std::vector<uint8_t> onda(const FormatoAudio& f, size_t bytes, uint8_t valor) {
    return ondaTeste(f, std::vector<uint8_t>(bytes, valor));
}

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

}  // namespace

#endif  // PLUMAR_COM_SDL
