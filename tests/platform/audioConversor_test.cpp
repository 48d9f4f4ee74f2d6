#include "platform/audioConversor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A tone of `hz` at half scale, 16-bit mono or 8-bit.
std::vector<uint8_t> tom(const FormatoAudio& f, double hz, int quadros) {
    std::vector<uint8_t> b;
    for (int i = 0; i < quadros; ++i) {
        const double v = 0.5 * std::sin(2 * std::numbers::pi * hz * i / f.taxa);
        for (int c = 0; c < f.canais; ++c) {
            if (f.bits == 8) {
                b.push_back(static_cast<uint8_t>(std::lround(128 + 127 * v)));
            } else {
                const auto s = static_cast<int16_t>(std::lround(32767 * v));
                b.push_back(static_cast<uint8_t>(s));
                b.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
            }
        }
    }
    return b;
}

// How far below the tone everything else is (images, noise), in dB: the tone is fitted by
// least squares over the middle of the signal and taken away.
double restoDb(const std::vector<int16_t>& s, int canais, double hz, int taxa) {
    const size_t de = s.size() / canais / 4, ate = s.size() / canais * 3 / 4;
    double cc = 0, ss = 0, cs = 0, xc = 0, xs = 0;
    for (size_t i = de; i < ate; ++i) {
        const double c = std::cos(2 * std::numbers::pi * hz * i / taxa), n = std::sin(2 * std::numbers::pi * hz * i / taxa);
        const double x = s[i * canais];
        cc += c * c, ss += n * n, cs += c * n, xc += x * c, xs += x * n;
    }
    const double det = cc * ss - cs * cs;
    const double a = (xc * ss - xs * cs) / det, b = (xs * cc - xc * cs) / det;
    double sinal = 0, resto = 0;
    for (size_t i = de; i < ate; ++i) {
        const double t = a * std::cos(2 * std::numbers::pi * hz * i / taxa) + b * std::sin(2 * std::numbers::pi * hz * i / taxa);
        sinal += t * t;
        resto += (s[i * canais] - t) * (s[i * canais] - t);
    }
    return 10 * std::log10(resto / sinal);
}

TEST(ConversorAudio, ToneKeepsItsLengthAndLeavesNoImagesAtEveryPlayerFormat) {
    // The player's rates, the 1.5 x speed-up of 11025 Hz, and the capture's rate; 11025 Hz
    // also in 16 bits, exact to the quantizer, so only the filter's images are left.
    for (int saida : {48000, 44100}) {
        for (FormatoAudio f : {FormatoAudio{1, 11025, 8}, {1, 11025, 16}, {1, 16000, 16},
                               {2, 22050, 16}, {1, 44100, 16}, {1, 16538, 8}}) {
            ConversorAudio c(saida, 2);
            c.inicia(f);
            std::vector<int16_t> s;
            const double hz = 3000;  // its images fall between 5 and 22 kHz
            c.converte(tom(f, hz, f.taxa / 2), s);
            c.termina(s);
            const size_t esperado = static_cast<size_t>(f.taxa / 2) * saida / f.taxa;
            EXPECT_NEAR(static_cast<double>(s.size() / 2), esperado, 2) << f.taxa << " " << saida;
            EXPECT_EQ(s[100], s[101]);  // both sides from one channel
            // 8-bit samples carry their own quantizing noise, about 44 dB down.
            EXPECT_LT(restoDb(s, 2, hz, saida), f.bits == 8 ? -40 : -60)
                << f.taxa << " " << saida;
        }
    }
}

// A sound cut into blocks converts as if whole: the capture device's test
// (AudioCapturaTest.ASoundCutIntoBlocksConvertsAsIfWhole) runs it through this converter.

TEST(ConversorAudio, EqualRatesCopyAndStereoFoldsToMono) {
    ConversorAudio c(22050, 1);
    c.inicia({2, 22050, 16});
    std::vector<int16_t> s;
    const std::vector<uint8_t> b = {0xE8, 0x03, 0x48, 0xF4, 0xA0, 0x0F, 0, 0};  // 1000 -3000 4000 0
    c.converte(b, s);
    EXPECT_FALSE(c.pendente());
    EXPECT_EQ(s, (std::vector<int16_t>{-1000, 2000}));
    c.inicia({1, 22050, 8});
    s.clear();
    c.converte(std::vector<uint8_t>{128, 132, 124}, s);
    EXPECT_EQ(s, (std::vector<int16_t>{0, 1024, -1024}));
}

}  // namespace
