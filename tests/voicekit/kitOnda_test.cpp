// The kit's sound processing: rate reduction, trimming, level, 8-bit conversion, the
// canonical file layout and the telephone tones.
#include "voicekit/kitOnda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/audio.h"

namespace {

// Energy of the samples at frequency `f` (Goertzel), for telling which tones a sound holds.
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

TEST(KitOnda, ReduzTaxaFazAMediaDeCadaGrupo) {
    const std::vector<int16_t> a{100, 300, -50, -150, 7, 9, 1000};
    auto r = reduzTaxa(a, 22050);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (std::vector<int16_t>{200, -100, 8}));  // the odd last sample is dropped
    auto igual = reduzTaxa(a, 11025);
    ASSERT_TRUE(igual);
    EXPECT_EQ(*igual, a);
    EXPECT_FALSE(reduzTaxa(a, 16000));
    EXPECT_FALSE(reduzTaxa(a, 0));
}

TEST(KitOnda, AparaSilencioGuardaAMargem) {
    std::vector<int16_t> a(20, 3);
    a[8] = 900;
    a[11] = -900;
    auto r = aparaSilencio(a, 100, 2);
    ASSERT_EQ(r.size(), 8u);  // samples 6..13
    EXPECT_EQ(r[2], 900);
    EXPECT_EQ(r[5], -900);
    EXPECT_TRUE(aparaSilencio(std::vector<int16_t>(50, 99), 100, 2).empty());
    EXPECT_EQ(aparaSilencio(a, 100, 100).size(), a.size());
}

TEST(KitOnda, NormalizaLevaOPicoAoNivelPedido) {
    std::vector<int16_t> a{0, 1000, -2000, 500};
    normalizaNivel(a, 20000);
    EXPECT_EQ(a, (std::vector<int16_t>{0, 10000, -20000, 5000}));
    std::vector<int16_t> mudo(4, 0);
    normalizaNivel(mudo, 20000);
    EXPECT_EQ(mudo, std::vector<int16_t>(4, 0));
}

TEST(KitOnda, Para8BitsCentraEm128) {
    EXPECT_EQ(para8Bits(std::vector<int16_t>{0, -32768, 32767, 256, -256}),
              (std::vector<uint8_t>{128, 0, 255, 129, 127}));
}

TEST(KitOnda, OndaCanonicaTemCabecalhoDe44BytesEDadosPares) {
    auto onda = ondaCanonica({1, 2, 3});
    ASSERT_EQ(onda.size(), 48u);
    FormatoAudio f;
    EXPECT_EQ(std::vector<uint8_t>(onda.begin(), onda.begin() + 44), cabecalhoWave(f, 4));
    EXPECT_EQ(onda[47], 128);  // the pad sample is silence inside the data
    EXPECT_EQ(ondaCanonica({1, 2}).size(), 46u);
}

TEST(KitOnda, TonsDtmfTemAsDuasFrequenciasDaTecla) {
    struct Caso {
        char tecla;
        double linha, coluna;
    };
    for (Caso c : {Caso{'1', 697, 1209}, Caso{'5', 770, 1336}, Caso{'9', 852, 1477},
                   Caso{'0', 941, 1336}, Caso{'#', 941, 1477}, Caso{'X', 941, 1209}}) {
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
    EXPECT_FALSE(tomDtmf('A', 100));
    EXPECT_FALSE(tomDtmf('1', 0));
}

}  // namespace
