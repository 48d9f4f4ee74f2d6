#include "platform/codigos.h"

#include <gtest/gtest.h>

namespace {

TEST(Codigos, Win1252RoundTripsThroughUtf8) {
    std::string todos;
    for (int c = 1; c < 256; ++c) todos += static_cast<char>(c);
    EXPECT_EQ(utf8ParaWin1252(win1252ParaUtf8(todos)), todos);
    EXPECT_EQ(win1252ParaUtf8("\xE7\xE3o \x80\x9B"), "ção €›");
    EXPECT_EQ(utf8ParaWin1252("ação “x” €"), "a\xE7\xE3o \x93x\x94 \x80");
}

TEST(Codigos, CharactersWithoutFormAndBrokenUtf8NeverGetLost) {
    EXPECT_EQ(utf8ParaWin1252("日"), "?");
    // A lone Latin-1 byte and a sequence cut short come through as themselves.
    EXPECT_EQ(utf8ParaWin1252("a\xE9z"), "a\xE9z");
    EXPECT_EQ(utf8ParaWin1252("ab\xC3"), "ab\xC3");
    EXPECT_EQ(utf8ParaWin1252("\xE2\x82"), "\xE2\x82");
}

TEST(Codigos, Oem850ToWindows) {
    EXPECT_EQ(oemParaWin1252("\x87\x83o \x90"), "\xE7\xE2o \xC9");  // ç â É
    EXPECT_EQ(oemParaWin1252(uint8_t{0xC4}), '-');                    // box drawing
    EXPECT_EQ(oemParaWin1252(uint8_t{'A'}), 'A');
}

}  // namespace
