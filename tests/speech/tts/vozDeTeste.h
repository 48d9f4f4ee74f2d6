// A voice made here for the diphone synthesizer: a vowel "a" of pulses at 100 Hz with its
// pitch marks, an "s" of noise and the pause, every pair of the three a diphone whose
// halves are 800 samples long.
#pragma once

#include <cmath>
#include <random>
#include <string_view>

#include "speech/tts/mbrola/bancoVoz.h"

inline BancoVoz vozDeTeste() {
    constexpr int kPeriodo = 160, kMeio = 800;
    std::mt19937 g(7);
    // Half a phoneme of the voice, with its marks from where it starts.
    auto meiaParte = [&g](std::string_view f, DifoneVoz& d) {
        const auto inicio = static_cast<uint32_t>(d.amostras.size());
        for (int i = 0; i < kMeio; ++i) {
            double v = 0;
            if (f == "a") v = 8000 * std::exp(-(i % kPeriodo) / 30.0) * std::cos(2 * M_PI * 700 * (i % kPeriodo) / 16000.0);
            if (f == "s") v = static_cast<int>(g() % 4001) - 2000;
            d.amostras.push_back(static_cast<int16_t>(v));
        }
        for (int m = 0; m < kMeio; m += kPeriodo) d.marcas.push_back({inicio + static_cast<uint32_t>(m), f == "a"});
    };
    BancoVoz b;
    b.hertzBase = 100;
    for (const char* x : {"a", "s", "_"})
        for (const char* y : {"a", "s", "_"}) {
            DifoneVoz d{x, y, {}, kMeio, {}};
            meiaParte(x, d);
            meiaParte(y, d);
            b.difones.push_back(std::move(d));
        }
    b.ordena();
    return b;
}
