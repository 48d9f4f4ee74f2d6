// The diphone synthesizer on the voice made here (vozDeTeste.h): lengths and pitches come
// out as the lines ask; wrong lines and wrong databases are refused without harm.
#include "speech/tts/mbrola/motorDifones.h"

#include <gtest/gtest.h>

#include <cmath>

#include "apoio.h"
#include "speech/tts/mbrola/mbrola.h"
#include "vozDeTeste.h"

namespace {

// The samples of `linhas`; `antes` gets how many were ready before the flush.
std::vector<int16_t> sintetiza(MotorDifones& m, std::initializer_list<const char*> linhas, size_t* antes = nullptr) {
    std::string erro;
    for (const char* l : linhas) EXPECT_TRUE(m.escreve(l, erro)) << l << ": " << erro;
    std::vector<int16_t> x(2'000'000);
    const size_t prontas = m.le(x.data(), x.size());
    if (antes) *antes = prontas;
    m.descarrega();
    x.resize(prontas + m.le(x.data() + prontas, x.size() - prontas));
    return x;
}

// Pitch of the 40 ms around `centro`, by autocorrelation (the first lag near the best).
double pitch(const std::vector<int16_t>& x, size_t centro) {
    std::vector<double> r(330, 0);
    double melhor = 0;
    for (int l = 20; l < 330; ++l) {
        double s = 0, a = 0, b = 0;
        for (size_t i = centro - 320; i < centro + 320; ++i) {
            s += double(x[i]) * x[i + l];
            a += double(x[i]) * x[i];
            b += double(x[i + l]) * x[i + l];
        }
        r[l] = s / std::sqrt(a * b + 1);
        melhor = std::max(melhor, r[l]);
    }
    for (int l = 21; l < 329; ++l)
        if (r[l] >= 0.85 * melhor && r[l] >= r[l - 1] && r[l] >= r[l + 1]) return 16000.0 / l;
    return 0;
}

int maior(const std::vector<int16_t>& x, size_t de, size_t ate) {
    int m = 0;
    for (size_t i = de; i < ate && i < x.size(); ++i) m = std::max(m, std::abs(int(x[i])));
    return m;
}

TEST(MotorDifones, LengthsAndPitchesComeOutAsAsked) {
    MotorDifones m(vozDeTeste());
    // The first vowel glides from 120 to 180 Hz; the second holds 80 Hz from its middle.
    size_t antes = 0;
    const auto x = sintetiza(m, {"_ 100", "a 400 0 120 100 180", "s 100", "a 400 50 80", "_ 100"}, &antes);
    ASSERT_EQ(x.size(), 1100u * 16);
    // Samples come before the flush, one phoneme behind: up into the second vowel.
    EXPECT_GT(antes, 700u * 16);
    for (auto [ms, hz] : {std::pair{200, 135.0}, {300, 150.0}, {400, 165.0}})
        EXPECT_NEAR(pitch(x, ms * 16), hz, hz * 0.05) << ms;
    EXPECT_NEAR(pitch(x, 850 * 16), 80, 80 * 0.05);
    EXPECT_GT(maior(x, 250 * 16, 350 * 16), 3000);  // the vowel sounds
    EXPECT_EQ(maior(x, 0, 40 * 16), 0);             // the pause is silent
}

TEST(MotorDifones, WrongLinesAreRefusedAndExtremeOnesKeptInBounds) {
    MotorDifones m(vozDeTeste());
    std::string erro;
    for (const char* l : {"a", "a -5", "a 100 50", "a abc", "a 100 50 0", "a nan", "muito_longo 10"})
        EXPECT_FALSE(m.escreve(l, erro)) << l;
    EXPECT_FALSE(m.escreve("x 100", erro));  // no such phoneme
    EXPECT_TRUE(m.escreve("; a comment", erro));
    m.permiteDesconhecidos(true);
    std::string cinquenta = "a 500";
    for (int i = 0; i < 50; ++i) cinquenta += " " + std::to_string(i * 2) + " " + std::to_string(60 + i * 9);
    const auto x = sintetiza(m, {"x 100", "a 0", cinquenta.c_str(), "a 200 0 1 100 20000", "s 100000"});
    // An unknown phoneme is silence; 100 s are cut to 10 s.
    EXPECT_EQ(x.size(), static_cast<size_t>(16 * (100 + 500 + 200 + kDuracaoMaximaMs)));
    EXPECT_EQ(maior(x, 0, 40 * 16), 0);
    // Pitches far out of range are held to it: no burst louder than the voice allows.
    EXPECT_LT(maior(x, 0, x.size()), 3 * 8000);
}

TEST(BancoVoz, ACorruptDatabaseIsRefusedAndAGoodOneOpens) {
    const std::vector<uint8_t> bom = serializaBancoVoz(vozDeTeste());
    std::string erro;
    ASSERT_TRUE(interpretaBancoVoz(bom, erro)) << erro;
    for (size_t n : {size_t{0}, size_t{7}, size_t{20}, size_t{30}, bom.size() / 2, bom.size() - 1}) {
        EXPECT_FALSE(interpretaBancoVoz(std::span(bom).first(n), erro)) << n;
        EXPECT_FALSE(erro.empty());
    }
    std::vector<uint8_t> ruim = bom;
    ruim[28] = 0xFF;  // the first diphone's sample count
    EXPECT_FALSE(interpretaBancoVoz(ruim, erro));

    PastaTemporaria pasta;
    EXPECT_LT(init_MBR((pasta / "nada").c_str()), 0);
    char motivo[200];
    EXPECT_GT(lastErrorStr_MBR(motivo, sizeof motivo), 0);
    gravaArquivoTeste(pasta / "ruim", std::span<const uint8_t>(ruim));
    EXPECT_LT(init_MBR((pasta / "ruim").c_str()), 0);
    gravaArquivoTeste(pasta / "voz", std::span<const uint8_t>(bom));
    ASSERT_EQ(init_MBR((pasta / "voz").c_str()), 0);
    EXPECT_EQ(getFreq_MBR(), 16000);
    EXPECT_NE(write_MBR("x 100\r\n"), 0);
    EXPECT_EQ(lastError_MBR(), MBR_ERRO_FONEMA);
    reset_MBR();
    EXPECT_EQ(lastError_MBR(), 0);
    EXPECT_EQ(write_MBR("a 100\r\n"), 0);
    flush_MBR();
    int16_t amostras[4000];
    EXPECT_EQ(read_MBR(amostras, 4000), 1600);
    close_MBR();
    EXPECT_NE(write_MBR("a 100"), 0);  // closed
}

}  // namespace
