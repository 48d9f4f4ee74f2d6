#include "platform/processos.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// How the terminal reads the desktop's clipboard: the output of a program that ends in
// time and well; nothing from one that fails, is missing or hangs.
TEST(SaidaDePrograma, OutputOnlyFromAProgramThatEndsWellInTime) {
    EXPECT_EQ(saidaDePrograma({"printf", "a\\nb"}, 2s, 100), "a\nb");
    EXPECT_EQ(saidaDePrograma({"printf", "abcdef"}, 2s, 3), "abc");
    EXPECT_FALSE(saidaDePrograma({"false"}, 2s, 100));
    EXPECT_FALSE(saidaDePrograma({"programa-que-nao-existe-xyz"}, 2s, 100));
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_FALSE(saidaDePrograma({"sleep", "5"}, 200ms, 100));
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, 1s);
}

}  // namespace
