#include "editor/edArqCodif.h"

#include <gtest/gtest.h>

#include "platform/codigos.h"

namespace {

std::optional<std::string> decodifica(std::string_view bytes) {
    CodificacaoArquivo cod;
    return decodificaUtf8(bytes, cod);
}

}  // namespace

// Only strict UTF-8 with non-ASCII text is taken as UTF-8; anything else stays Windows-1252.
TEST(EdArqCodif, SoUtf8EstritoComTextoNaoAscii) {
    EXPECT_FALSE(decodifica("so ascii\r\n"));
    EXPECT_FALSE(decodifica("\xEF\xBB\xBF"));              // a BOM alone
    EXPECT_FALSE(decodifica("cora\xE7\xE3o"));             // Windows-1252
    EXPECT_FALSE(decodifica("\xC0\xAF \xC3\xA9"));         // overlong 2 bytes
    EXPECT_FALSE(decodifica("\xE0\x80\xAF \xC3\xA9"));     // overlong 3 bytes
    EXPECT_FALSE(decodifica("\xF0\x80\x80\xAF \xC3\xA9"));  // overlong 4 bytes
    EXPECT_FALSE(decodifica("\xED\xA0\x80 \xC3\xA9"));     // a surrogate
    EXPECT_FALSE(decodifica("\xF4\x90\x80\x80"));          // past U+10FFFF
    EXPECT_FALSE(decodifica("\xC3\xA9\xC3"));              // cut at the end
    EXPECT_EQ(decodifica("a\xC3\xA7\xC3\xA3o \xE2\x82\xAC"), "a\xE7\xE3o \x80");
}

// Characters Windows-1252 lacks get one placeholder each, written back as they were; a
// control code of the file is no placeholder.
TEST(EdArqCodif, EstranhosVoltamComoEram) {
    CodificacaoArquivo cod;
    const std::string bytes = "\xF0\x9F\x98\x80 \xCE\xB1\xF0\x9F\x98\x80 \x01\xC3\xA9";
    const std::optional<std::string> texto = decodificaUtf8(bytes, cod);
    ASSERT_TRUE(texto);
    EXPECT_EQ(cod.estranhos, (std::vector<char32_t>{0x1F600, 0x3B1}));
    EXPECT_EQ(*texto, std::string("\x01 \x02\x01 #\xE9"));
    EXPECT_EQ(cod.codificaLinha(*texto), "\xF0\x9F\x98\x80 \xCE\xB1\xF0\x9F\x98\x80 #\xC3\xA9");
    // Typed text of the same line goes out as UTF-8 too.
    EXPECT_EQ(cod.codificaLinha("\xE7\x80"), "\xC3\xA7\xE2\x82\xAC");
}

// More distinct characters than placeholders: the file is kept as its bytes, and said so
// only when all of it is UTF-8. Placeholders are said as unknown characters.
TEST(EdArqCodif, EstranhosDemaisFicaComoBytes) {
    std::string bytes;
    for (char32_t u = 0x3B1; u < 0x3B1 + 27; ++u) acrescentaUtf8(bytes, u);
    CodificacaoArquivo cod;
    cod.utf8 = true;
    EXPECT_FALSE(decodificaUtf8(bytes, cod));
    EXPECT_TRUE(cod.utf8Recusado && !cod.utf8);
    CodificacaoArquivo invalido;
    EXPECT_FALSE(decodificaUtf8(bytes + "\xE7", invalido));
    EXPECT_FALSE(invalido.utf8Recusado);
    bytes.resize(bytes.size() - 2);
    ASSERT_TRUE(decodificaUtf8(bytes, cod));
    EXPECT_FALSE(cod.utf8Recusado);
    EXPECT_EQ(textoFalado(cod, "a\x01\x02 b\x01\x07"),
              "a 2 caracteres desconhecidos  b caractere desconhecido \x07");
}
