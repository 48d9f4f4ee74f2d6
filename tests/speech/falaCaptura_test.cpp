// The measure of holes that the recordings of the acceptance cases (--audio-out) are held
// to: digital silence cut into the speech.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analiseSom.h"

namespace {

// The measure itself: silence cut into a tone is a hole; a pause the tone fades into and
// out of is not, nor a pause too long to be inside speech.
TEST(FalaCapturada, AHoleIsSilenceCutIntoSoundNotAPauseFadedInto) {
    auto tom = [](size_t n, double escala) {
        std::vector<int16_t> t(n);
        for (size_t i = 0; i < n; ++i)
            t[i] = static_cast<int16_t>(8000 * escala * std::sin(0.07 * double(i) + 1));
        return t;
    };
    auto junta = [](std::initializer_list<std::vector<int16_t>> partes) {
        std::vector<int16_t> s;
        for (const auto& p : partes) s.insert(s.end(), p.begin(), p.end());
        return s;
    };
    std::vector<int16_t> esvai = tom(441, 1), sobe = tom(441, 1);
    for (size_t i = 0; i < 441; ++i) {
        esvai[i] = static_cast<int16_t>(esvai[i] * double(440 - i) / 440);
        sobe[i] = static_cast<int16_t>(sobe[i] * double(i) / 440);
    }
    const std::vector<int16_t> cortado = junta({tom(4410, 1), std::vector<int16_t>(220), tom(4410, 1)});
    ASSERT_EQ(analise::buracos(cortado, 44100).size(), 1u);
    EXPECT_EQ(analise::buracos(cortado, 44100)[0].tamanho(), 220u);
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), esvai, std::vector<int16_t>(220), sobe}), 44100).empty());
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), std::vector<int16_t>(4410), tom(4410, 1)}), 44100).empty());
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), std::vector<int16_t>(20), tom(4410, 1)}), 44100).empty());
}

}  // namespace
