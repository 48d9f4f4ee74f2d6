// The sound graph of a function table: the tones of its points.
#include <gtest/gtest.h>

#include "mathmode/EDNUMERALEITURA.h"

namespace {

// The pitch follows the function's value; flat steps and equal values get a tone and
// never divide by zero.
TEST(GraficoSonoro, TonesFollowTheValuesAndTheirChange) {
    const auto tons = tonsDoGrafico({{0, 0}, {1, 1}, {2, 4}, {3, 1}});
    ASSERT_EQ(tons.size(), 3u);
    EXPECT_LT(tons[0].hz, tons[1].hz);
    EXPECT_EQ(tons[0].hz, 30);
    EXPECT_EQ(tons[1].hz, 780);  // y = 1 of 0..4: 25 % -> (25 + 1) * 30
    EXPECT_EQ(tonsDoGrafico({{0, 2}, {1, 2}, {2, 2}}), (std::vector<TomGrafico>{{1530, 66}, {1530, 66}}));
    EXPECT_EQ(tonsDoGrafico({{1, 0}, {1, 5}}).size(), 1u);
    EXPECT_TRUE(tonsDoGrafico({{1, 0}}).empty());
    EXPECT_TRUE(tonsDoGrafico({}).empty());
}

}  // namespace
