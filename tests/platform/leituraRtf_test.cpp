#include "platform/leituraRtf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each construct of a document (breaks, escapes, code page bytes, \uN and its stand-ins,
// destinations, symbols, tables, control bytes, documents cut short) is read by the
// acceptance case blocos/bloco_le_rtf_construcoes, into the text it saves; so are a file
// that is no RTF and an empty one, which read as nothing.

TEST(LeituraRtf, DeepNestingIsBounded) {
    // Nested far past the limit: read as text of the group around, and the document still
    // ends with its own brace.
    const std::string fundo(100000, '{'), fim(100000, '}');
    EXPECT_EQ(textoDeRtf("{\\rtf1 a" + fundo + "b" + fim + "c}d"), "abc");
    EXPECT_EQ(textoDeRtf("{\\rtf1{\\*" + fundo + "x" + fim + "}y}"), "y");
}

}  // namespace
