// The mixer every system's sound stream plays from.
#include "platform/misturaSaida.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Plays `quadros` frames of the mixer, as the audio callback would.
std::vector<int16_t> toca(MisturaSaida& m, size_t quadros) {
    std::vector<int16_t> s(quadros * static_cast<size_t>(m.canais()));
    m.preenche(s);
    return s;
}

bool silencio(const std::vector<int16_t>& s) {
    return std::all_of(s.begin(), s.end(), [](int16_t v) { return v == 0; });
}

TEST(MisturaSaida, BlocksOfEveryFormatDrainAsTheirConvertedFramesPlay) {
    MisturaSaida m(48000, 2);
    // 0.1 s of 11025 Hz 8-bit, then 0.1 s of 22050 Hz 16-bit stereo: 4800 frames each.
    m.abre({1, 11025, 8});
    m.escreve(std::vector<uint8_t>(1103, 200));
    m.escreve(std::vector<uint8_t>(1102, 200));
    EXPECT_EQ(m.blocosNaFila(), 2);
    EXPECT_FALSE(silencio(toca(m, 2000)));
    EXPECT_EQ(m.blocosNaFila(), 2);
    toca(m, 2900);  // the first block's 4802 frames have played
    EXPECT_EQ(m.blocosNaFila(), 1);
    toca(m, 4800);  // the stream ran dry: the filter's hold came out with the rest
    EXPECT_EQ(m.blocosNaFila(), 0);
    m.termina();
    m.abre({2, 22050, 16});
    m.escreve(std::vector<uint8_t>(8820, 0x10));  // 4800 frames
    EXPECT_EQ(m.blocosNaFila(), 1);
    toca(m, 4790);
    EXPECT_EQ(m.blocosNaFila(), 1);
    toca(m, 20);
    EXPECT_EQ(m.blocosNaFila(), 0);
}

TEST(MisturaSaida, StopDropsTheQueueAtOnceAndTheVoiceMixesBeside) {
    MisturaSaida m(44100, 1);
    m.abre({1, 11025, 8});
    for (int i = 0; i < 4; ++i) m.escreve(std::vector<uint8_t>(11025, 255));  // 4 s
    toca(m, 441);
    m.reinicia();
    EXPECT_EQ(m.blocosNaFila(), 0);
    EXPECT_TRUE(silencio(toca(m, 441)));  // the very next buffer is silent
    m.escreve(std::vector<uint8_t>(110, 128 + 10));  // still usable after a stop
    EXPECT_EQ(m.blocosNaFila(), 1);
    m.tocaSom(std::vector<int16_t>(100, 31000), false);
    const std::vector<int16_t> s = toca(m, 600);
    EXPECT_EQ(s[50], 32767);                  // both voices, clipped
    EXPECT_NEAR(s[200], 2560, 40);            // the stream alone
    EXPECT_EQ(s[599], 0);                     // both over
    m.tocaSom(std::vector<int16_t>{1, 2, 3}, true);
    EXPECT_EQ(toca(m, 7), (std::vector<int16_t>{1, 2, 3, 1, 2, 3, 1}));
    m.tocaSom({}, false);
    EXPECT_TRUE(silencio(toca(m, 7)));
}

TEST(MisturaSaida, AStreamHeldAheadTakesOnlyWhatIsQueuedAndTheHoldWhenRunningDry) {
    MisturaSaida m(48000, 1);
    m.abre({1, 11025, 8});
    m.escreve(std::vector<uint8_t>(1103, 200));
    const size_t q = m.quadrosNaFila();
    std::vector<int16_t> s(q + 1000);
    // Asked for more than is queued long before running dry: the filter keeps its hold, so a
    // block that follows goes on from it.
    EXPECT_EQ(m.tiraFluxo(s, false), q);
    EXPECT_EQ(m.blocosNaFila(), 1);
    EXPECT_GT(m.tiraFluxo(s, true), 0u);  // about to run dry: the hold comes out
    EXPECT_EQ(m.blocosNaFila(), 0);
    EXPECT_EQ(m.tiraFluxo(s, true), 0u);
    // The second voice gives what it has, a loop as much as asked.
    m.tocaSom(std::vector<int16_t>{1, 2, 3}, false);
    EXPECT_EQ(m.tiraSom(s), 3u);
    m.tocaSom(std::vector<int16_t>{1, 2, 3}, true);
    EXPECT_EQ(m.tiraSom(s), s.size());
    EXPECT_EQ(s[3], 1);
}

TEST(MisturaSaida, ABlockConvertedUnlockedGoesOnFromTheLastOne) {
    // 0.2 s of a 440 Hz tone at 22050 Hz in two blocks, against the same queued at once.
    std::vector<uint8_t> tom;
    for (int i = 0; i < 4410; ++i) {
        const auto v = static_cast<int16_t>(8000 * std::sin(2 * 3.14159265 * 440 * i / 22050));
        tom.push_back(static_cast<uint8_t>(v & 0xff));
        tom.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    }
    const std::span<const uint8_t> a = std::span(tom).first(4410), b = std::span(tom).subspan(4410);
    MisturaSaida junto(48000, 1);
    junto.abre({1, 22050, 16});
    junto.escreve(a);
    junto.escreve(b);
    junto.termina();
    const std::vector<int16_t> esperado = toca(junto, 20000);

    MisturaSaida m(48000, 1);
    m.abre({1, 22050, 16});
    m.escreve(a);
    const size_t q = m.quadrosNaFila();
    m.reservaFiltro();
    m.converte(b);
    // The stream runs dry while the next block converts: the filter keeps what it holds.
    std::vector<int16_t> s = toca(m, q + 100);
    EXPECT_TRUE(silencio(std::vector<int16_t>(s.begin() + static_cast<long>(q), s.end())));
    m.enfileira();
    m.termina();
    s.resize(q);
    const std::vector<int16_t> resto = toca(m, 20000 - q);
    s.insert(s.end(), resto.begin(), resto.end());
    EXPECT_EQ(s, esperado);
}

}  // namespace
