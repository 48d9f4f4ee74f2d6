// Rates given in words a minute or on the -10..10 scale reach each engine in its own unit:
// a sensible value is never taken as the slowest (or fastest) speed.
#include "speech/servidorFala.h"

#include <gtest/gtest.h>

namespace {

TEST(TaxaServidor, WordsAMinuteAndTheScaleConvertBothWays) {
    const std::array<int, 3> casos[] = {
        // rate given, in words a minute, on the scale
        {0, 0, 0},       {175, 175, 0},   {300, 300, 5},    {80, 80, -7},
        {450, 450, 9},   {-2, 140, -2},   {5, 303, 5},      {10, 525, 10},
        {-10, 58, -10},  {100000, 100000, 10}, {-50, -50, -10}, {11, 11, -10}};
    for (const auto& [taxa, palavras, escala] : casos) {
        EXPECT_EQ(taxaEmPalavras(taxa), palavras) << taxa;
        EXPECT_EQ(taxaNaEscala(taxa), escala) << taxa;
    }
}

}  // namespace
