#include "platform/leituraRtf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LeituraRtf, SnippetsGiveTheirText) {
    struct Caso {
        std::string rtf, texto;
    };
    const Caso casos[] = {
        // breaks, tabs, escaped braces, line ends of the source ignored
        {"{\\rtf1 a\\par b\\line c\\tab d\\\\\\{\\}\r\n e\\\ne}", "a\r\nb\r\nc\td\\{} e\r\ne"},
        // a control word ends at its space, digit or any other character
        {"{\\rtf1\\b bold\\b0  x\\fs24y\\i;z}", "bold xy;z"},
        // code page bytes, either case of hex; a broken \' shows nothing
        {"{\\rtf1\\ansi\\ansicpg1252 Ol\\'e1 \\'C7\\'80 \\'zq!}", "Ol\xE1 \xC7\x80 zq!"},
        // \uN with its stand-ins skipped as \ucN says, per group; negative N; beyond the code page
        {"{\\rtf1\\uc1 \\u233?x\\uc2 \\u8364\\'80\\'80y{\\uc0\\u-3913 z}\\u26085?}",
         "\xE9x\x80y?z?"},
        // a surrogate pair is one character; a stand-in ends at a group's brace
        {"{\\rtf1 \\u-10179?\\u-8704?a\\u233{b}}", "?a\xE9" "b"},
        // destinations left out, their groups nested or marked \*
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title T}}{\\*\\generator G;}{\\header H\\par}{\\pict 0a0b}a"
         "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}b}",
         "alinkb"},
        // symbols of the word processor
        {"{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\-\\_}",
         "\x97\x96\x91\x92\x93\x94\x95\xA0-"},
        // table cells and rows; binary data skipped by its length
        {"{\\rtf1 a\\cell b\\cell\\row\\bin3 {}}c}", "a\tb\t\r\nc"},
        // control bytes are no text, even written as \'00 or \u7
        {"{\\rtf1 a\x01\\'00\\u7?b\tc}", "ab\tc"},
        // what follows the document's group is not part of it; a document cut short ends
        {"{\\rtf1 a}b{c}", "a"},
        {"{\\rtf1 a{\\b b", "ab"},
        {"{\\rtf1 a\\'4", "a4"},
        {"{\\rtf1 a\\", "a"},
        {"{\\rtf1 \\u99999999999999999999?\\bin99999999999 x}", "?"},
    };
    for (const Caso& c : casos) EXPECT_EQ(textoDeRtf(c.rtf), c.texto) << c.rtf;
}

TEST(LeituraRtf, DeepNestingIsBoundedAndOtherFilesAreNoRtf) {
    // Nested far past the limit: read as text of the group around, and the document still
    // ends with its own brace.
    const std::string fundo(100000, '{'), fim(100000, '}');
    EXPECT_EQ(textoDeRtf("{\\rtf1 a" + fundo + "b" + fim + "c}d"), "abc");
    EXPECT_EQ(textoDeRtf("{\\rtf1{\\*" + fundo + "x" + fim + "}y}"), "y");
    EXPECT_EQ(textoDeRtf("Ol\xE1 mundo"), std::nullopt);
    EXPECT_EQ(textoDeRtf(""), std::nullopt);
}

}  // namespace
