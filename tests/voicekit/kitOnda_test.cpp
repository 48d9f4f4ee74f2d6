// The kit's sound processing: rate reduction, trimming, level, 8-bit conversion, the
// canonical file layout, cutting a unit at phoneme marks and the telephone tones.
#include "voicekit/kitOnda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/audio.h"

namespace {

using V16 = std::vector<int16_t>;

TEST(KitOnda, ReducesTheRateTrimsAndNormalizes) {
    const V16 a{100, 300, -50, -150, 7, 9, 1000};
    EXPECT_EQ(reduzTaxa(a, 22050), (V16{200, -100, 8}));  // the odd last sample is dropped
    EXPECT_EQ(reduzTaxa(a, 11025), a);
    EXPECT_FALSE(reduzTaxa(a, 16000));

    V16 b(20, 3);
    b[8] = 900;
    b[11] = -900;
    EXPECT_EQ(aparaSilencio(b, 100, 2), V16(b.begin() + 6, b.begin() + 14));
    EXPECT_TRUE(aparaSilencio(V16(50, 99), 100, 2).empty());

    // Scaled by loudness; above the knee bent towards the peak, never reaching it.
    V16 c{0, 1000, -2000, 500, 8000};
    escalaPorNivel(c, 3000, 1000, 20000, 28000);
    EXPECT_EQ(c, (V16{0, 3000, -6000, 1500, 20000 + 4000 * 8000 / 12000}));
    escalaPorNivel(c, 10000, 0, 20000, 28000);
    EXPECT_EQ(c[1], 3000);
    c = V16(11025, 0);
    for (size_t i = 0; i < c.size(); ++i) c[i] = (i / 50) % 2 ? 2000 : -2000;  // RMS 2000
    EXPECT_EQ(nivelVoz(c), 2000);
    std::fill(c.begin() + 4950, c.end(), 0);  // silence (from a frame on) does not lower it
    EXPECT_EQ(nivelVoz(c), 2000);
}

// A unit cut anywhere (mid-cycle, at full swing) starts and ends at rest, and loses no
// more than the search for a zero crossing.
TEST(KitOnda, SmoothedEdgesStartAndEndAtRest) {
    for (double fase : {0.0, 0.7, 1.6, 3.0}) {
        V16 a(1000);
        for (size_t i = 0; i < a.size(); ++i)
            a[i] = static_cast<int16_t>(20000 * std::sin(fase + 2 * std::numbers::pi * 180 * i / 11025.0));
        suavizaBordas(a);
        ASSERT_GE(a.size(), 1000 - 2 * kBuscaZero) << fase;
        EXPECT_LE(std::abs(a.front()), 300) << fase;
        EXPECT_LE(std::abs(a.back()), 300) << fase;
        EXPECT_LE(std::abs(a[1]), 2000) << fase;  // a ramp, not a step
        EXPECT_GE(maiorAmplitude(a), 19000) << fase;
    }
}

TEST(KitOnda, ToEightBitsAndTheCanonicalWave) {
    EXPECT_EQ(para8Bits(V16{0, -32768, 32767, 256, -256}),
              (std::vector<uint8_t>{128, 0, 255, 129, 127}));
    auto onda = ondaCanonica({1, 2, 3});
    ASSERT_EQ(onda.size(), 48u);
    EXPECT_EQ(std::vector<uint8_t>(onda.begin(), onda.begin() + 44), cabecalhoWave({}, 4));
    EXPECT_EQ(onda[47], 128);  // the pad sample is silence inside the data
}

TEST(KitOnda, TheUnitLiesBetweenThePhonemeMarks) {
    // "a k a t a" and the closing pause, as the engine marks them.
    const std::vector<MarcaFonema> m{{"a", 0},   {"k", 100}, {"a", 160}, {"t", 300},
                                     {"a", 320}, {"_:", 500}, {"_", 520}};
    struct Caso {
        size_t antes, depois;
        bool doMeio;
        size_t inicio, fim;  // fim 0: nothing
    };
    for (Caso c : {Caso{1, 2, false, 100, 300}, Caso{2, 2, true, 230, 300},
                   Caso{3, 0, false, 300, 500}, Caso{0, 0, false, 0, 500},
                   Caso{3, 2, false, 0, 0}, Caso{4, 1, false, 0, 0}}) {
        auto t = trechoDaUnidade(m, 520, c.antes, c.depois, c.doMeio);
        ASSERT_EQ(t.has_value(), c.fim != 0) << c.antes << "," << c.depois;
        if (t) { EXPECT_EQ(std::pair(t->inicio, t->fim), std::pair(c.inicio, c.fim)); }
    }
    EXPECT_FALSE(trechoDaUnidade(m, 400, 1, 0, false));  // marks past the samples
}

// Energy of the samples at frequency `f` (Goertzel).
double energia(const std::vector<uint8_t>& s, double f) {
    const double w = 2 * std::numbers::pi * f / kTaxaKit;
    double a = 0, b = 0;
    for (uint8_t x : s) {
        double c = (static_cast<double>(x) - 128) + 2 * std::cos(w) * a - b;
        b = a;
        a = c;
    }
    return a * a + b * b - 2 * std::cos(w) * a * b;
}

TEST(KitOnda, DtmfTonesHaveTheKeysTwoFrequencies) {
    struct Caso {
        char tecla;
        double linha, coluna;
    };
    for (Caso c : {Caso{'1', 697, 1209}, Caso{'0', 941, 1336}, Caso{'X', 941, 1209}}) {
        auto tom = tomDtmf(c.tecla, 100);
        ASSERT_TRUE(tom) << c.tecla;
        EXPECT_EQ(tom->size(), 1102u);
        const double forte = std::min(energia(*tom, c.linha), energia(*tom, c.coluna));
        for (double outra : {697.0, 770.0, 852.0, 941.0, 1209.0, 1336.0, 1477.0})
            if (outra != c.linha && outra != c.coluna)
                EXPECT_GT(forte, 20 * energia(*tom, outra)) << c.tecla << " " << outra;
        EXPECT_EQ(tom->front(), 128);  // ramps: no click at the edges
    }
    EXPECT_FALSE(tomDtmf('*', 100));  // the star is named X, as the player asks for it
    EXPECT_FALSE(tomDtmf('1', 0));
}

}  // namespace
