#include "speech/leituraOnda.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

void acrescenta(Bytes& b, std::string_view marca, uint32_t tamanho) {
    b.insert(b.end(), marca.begin(), marca.end());
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(tamanho >> (8 * i)));
}

// RIFF, a fmt chunk of `corpoFmt`, an odd chunk with its pad byte, and `dados`.
Bytes onda(const Bytes& corpoFmt, const Bytes& dados, uint32_t declarado) {
    Bytes b;
    acrescenta(b, "RIFF", 0);
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    acrescenta(b, "fmt ", static_cast<uint32_t>(corpoFmt.size()));
    b.insert(b.end(), corpoFmt.begin(), corpoFmt.end());
    acrescenta(b, "junk", 1);
    b.insert(b.end(), {'x', 0});
    acrescenta(b, "data", declarado);
    b.insert(b.end(), dados.begin(), dados.end());
    return b;
}

Bytes fmtPcm(uint16_t tipo, uint16_t canais, uint32_t taxa, uint16_t bits) {
    Bytes f = cabecalhoWave({canais, static_cast<int>(taxa), bits}, 0);
    f = Bytes(f.begin() + 20, f.begin() + 36);
    f[0] = static_cast<uint8_t>(tipo);
    f[1] = static_cast<uint8_t>(tipo >> 8);
    return f;
}

std::optional<DadosOnda> peloFluxo(const Bytes& b) {
    std::istringstream in(std::string(b.begin(), b.end()));
    return procuraDadosOnda(in);
}

TEST(LeituraOnda, FileAndMemoryFindTheSameSamples) {
    const Bytes b = onda(fmtPcm(1, 2, 22050, 16), {1, 2, 3, 4, 5, 6}, 8);
    const auto m = procuraDadosOnda(b);
    const auto a = peloFluxo(b);
    ASSERT_TRUE(m && a);
    EXPECT_EQ(m->formato, (FormatoAudio{2, 22050, 16}));
    EXPECT_EQ(m->tamanho, 8u);  // as declared, though only 6 bytes follow
    EXPECT_EQ(m->inicio, 12u + 8 + 16 + 8 + 2 + 8);
    EXPECT_EQ(a->inicio, m->inicio);
    EXPECT_EQ(a->formato, m->formato);
    const auto s = amostrasOnda(b, *m);
    EXPECT_EQ(Bytes(s.begin(), s.end()), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(amostrasOnda(Bytes(50, 1), DadosOnda{{1, 11025, 8}, 10, 100}).empty());
}

TEST(LeituraOnda, TakesExtensiblePcmAndRefusesTheRest) {
    Bytes extensivel = fmtPcm(0xFFFE, 1, 16000, 16);
    extensivel.insert(extensivel.end(), {22, 0, 16, 0, 4, 0, 0, 0, 1, 0});
    EXPECT_TRUE(procuraDadosOnda(onda(extensivel, {0, 0}, 2)));
    extensivel[24] = 3;  // floating-point samples
    EXPECT_FALSE(procuraDadosOnda(onda(extensivel, {0, 0}, 2)));
    for (const Bytes& f : {fmtPcm(1, 0, 11025, 8), fmtPcm(1, 9, 11025, 8), fmtPcm(1, 1, 0, 8),
                           fmtPcm(1, 1, 1'000'001, 8), fmtPcm(1, 1, 44100, 24),
                           fmtPcm(3, 1, 8000, 16), Bytes(15, 1)}) {
        EXPECT_FALSE(procuraDadosOnda(onda(f, {0, 0}, 2)));
        EXPECT_FALSE(peloFluxo(onda(f, {0, 0}, 2)));
    }
    Bytes truncada = onda(fmtPcm(1, 1, 11025, 8), {}, 0);
    truncada.resize(30);
    EXPECT_FALSE(procuraDadosOnda(truncada));
    EXPECT_FALSE(peloFluxo(truncada));
}

}  // namespace
