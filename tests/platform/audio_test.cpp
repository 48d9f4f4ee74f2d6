#include "platform/audio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

void acrescenta32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

TEST(OndaPcm, HeaderIsCanonical) {
    std::vector<uint8_t> c = cabecalhoWave({2, 22050, 16}, 1000);
    ASSERT_EQ(c.size(), 44u);
    EXPECT_EQ(std::string(c.begin(), c.begin() + 4), "RIFF");
    EXPECT_EQ(c[4] | (c[5] << 8), 1036);
    EXPECT_EQ(std::string(c.begin() + 8, c.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(c[28] | (c[29] << 8) | (c[30] << 16), 22050 * 4);  // byte rate
    EXPECT_EQ(c[32], 4);                                          // block align
    EXPECT_EQ(std::string(c.begin() + 36, c.begin() + 40), "data");
}

TEST(OndaPcm, WalksChunksAndHonoursThePadByte) {
    std::vector<uint8_t> w = cabecalhoWave({1, 11025, 8}, 0);
    w.resize(36);  // keep RIFF and fmt, then an odd-sized LIST chunk and its pad byte
    for (uint8_t b : bytes("LIST")) w.push_back(b);
    acrescenta32(w, 3);
    w.insert(w.end(), {'a', 'b', 'c', 0});
    for (uint8_t b : bytes("data")) w.push_back(b);
    acrescenta32(w, 4);
    w.insert(w.end(), {1, 2, 3, 4});
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(w, onda));
    EXPECT_EQ(onda.dados, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(OndaPcm, RejectsWhatIsNotPcmWave) {
    OndaPcm onda;
    EXPECT_FALSE(leOndaPcm(bytes("RIFF"), onda));
    EXPECT_FALSE(leOndaPcm(bytes("not a wave file at all, really not"), onda));
    std::vector<uint8_t> semDados = cabecalhoWave({1, 11025, 8}, 0);
    semDados.resize(36);
    EXPECT_FALSE(leOndaPcm(semDados, onda));
    std::vector<uint8_t> tamanhoEnorme = cabecalhoWave({1, 11025, 8}, 0xFFFFFFF0u);
    tamanhoEnorme.push_back(7);
    ASSERT_TRUE(leOndaPcm(tamanhoEnorme, onda));  // cut to what is there
    EXPECT_EQ(onda.dados.size(), 1u);
}

TEST(AudioCaptura, FileIsAWholeWaveAfterEveryBlock) {
    auto arquivo = std::filesystem::temp_directory_path() / "plumar_captura.wav";
    auto captura = criaAudioCaptura(arquivo.string());
    ASSERT_TRUE(captura->abre({1, 11025, 8}));
    std::vector<uint8_t> bloco(11025, 200);
    captura->escreve(bloco);
    std::ifstream f(arquivo, std::ios::binary);
    std::vector<uint8_t> conteudo((std::istreambuf_iterator<char>(f)), {});
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(conteudo, onda));
    EXPECT_EQ(onda.formato, (FormatoAudio{1, 22050, 16}));
    ASSERT_EQ(onda.dados.size(), 22050u * 2);
    EXPECT_EQ(static_cast<int16_t>(onda.dados[0] | (onda.dados[1] << 8)), (200 - 128) * 256);
    std::filesystem::remove(arquivo);
}

}  // namespace
