#include "editor/edArqCodif.h"

#include <gtest/gtest.h>

#include "editor/edArqDisco.h"
#include "decodificacaoPedacos.h"
#include "platform/codigos.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::optional<std::string> decodifica(std::string_view bytes) {
    CodificacaoArquivo cod;
    return decodificaUtf8(bytes, cod);
}

}  // namespace

// Only strict UTF-8 with non-ASCII text is taken as UTF-8; anything else stays Windows-1252.
TEST(EdArqCodif, OnlyStrictUtf8WithNonAsciiTextIsUtf8) {
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

// Characters Windows-1252 lack get one placeholder each, written back as they were (through
// the editor below); a control code of the file is no placeholder.
TEST(EdArqCodif, AControlCodeIsNoPlaceholder) {
    CodificacaoArquivo cod;
    const std::optional<std::string> texto = decodificaUtf8("\xCE\xB1 \x01\xC3\xA9", cod);
    ASSERT_TRUE(texto);
    EXPECT_EQ(*texto, "\x01 #\xE9");
    EXPECT_EQ(cod.codificaLinha(*texto), "\xCE\xB1 #\xC3\xA9");
}

// More distinct characters than placeholders: the file is kept as its bytes, and said so
// only when all of it is UTF-8; as many as there are placeholders still fit.
TEST(EdArqCodif, TooManyUnknownCharactersKeepTheBytes) {
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
}

// A line read from another file into this text: a character this text already holds keeps
// its placeholder, a new one gets the next while there is room in a UTF-8 text, else '?'.
TEST(EdArqCodif, ALineFromAnotherFileTakesTheTextsPlaceholders) {
    CodificacaoArquivo parte;
    const std::string lida = *decodificaUtf8("lido ✓ ★ é", parte);
    const struct {
        bool utf8;
        std::vector<char32_t> antes, depois;
        std::string linha;
    } casos[] = {
        {true, {U'✓'}, {U'✓', U'★'}, "lido \x01 \x02 \xE9"},
        {true, {U'★', U'α'}, {U'★', U'α', U'✓'}, "lido \x03 \x01 \xE9"},
        {false, {}, {}, "lido ? ? \xE9"},  // a Windows-1252 text has no placeholders
    };
    for (const auto& c : casos) {
        CodificacaoArquivo texto;
        texto.utf8 = c.utf8;
        texto.estranhos = c.antes;
        EXPECT_EQ(texto.adota(parte, lida), c.linha);
        EXPECT_EQ(texto.estranhos, c.depois);
    }
    CodificacaoArquivo cheio;
    cheio.utf8 = true;
    cheio.estranhos.assign(26, U'x');
    EXPECT_EQ(cheio.adota(parte, lida), "lido ? ? \xE9");
}

// Typed or pasted UTF-8: placeholders in a UTF-8 text while some are left, nothing in an
// ANSI text (counted); bytes that are not UTF-8 as Windows-1252, controls as '#'.
TEST(EdArqCodif, TypedTextKeepsOrRefusesForeignCharacters) {
    const std::string entrada = std::string("a→b\xff") + '\0' + "\x1b[m\tő→\r\n";
    const struct {
        bool utf8;
        size_t jaUsadas;
        std::string texto;
        size_t recusados;
    } casos[] = {
        {true, 0, "a\x01" "b\xFF##[m\t\x02\x01\r\n", 0},
        {true, 25, "a\x1F" "b\xFF##[m\t\x1F\r\n", 1},  // one placeholder left: → takes it
        {false, 0, "ab\xFF##[m\t\r\n", 3},
    };
    for (const auto& c : casos) {
        CodificacaoArquivo cod;
        cod.utf8 = c.utf8;
        cod.estranhos.assign(c.jaUsadas, U'x');
        size_t recusados = 0;
        EXPECT_EQ(cod.textoDigitado(entrada, recusados), c.texto) << c.jaUsadas;
        EXPECT_EQ(recusados, c.recusados);
    }
}

// ------------------------------------------------------------------ decoded while read

// Pieces of any size, a character cut between two included, give what the whole gives: the
// text when it is UTF-8; the bytes as they are when it is not and nothing else went out;
// else a new reading as bytes (said as refused when it was UTF-8 with too many characters).
TEST(EdArqCodif, DecodedInPiecesAsWhole) {
    using Fim = DecodificadorUtf8::Fim;
    std::string demais = "a\x01\r\n";
    for (char32_t u = U'α'; u < U'α' + 27; ++u) acrescentaUtf8(demais, u);
    const struct {
        std::string bytes;
        Fim fim;
        std::vector<std::string> linhas;  // for Utf8 and Bytes
        bool recusado;
    } casos[] = {
        {"a\x01" "b\r\nα é 😀\r\n\x01ção", Fim::Utf8, {"a#b", "\x01 \xE9 \x02", "#\xE7\xE3o"}, false},
        {"ascii\x01\r\n\tfim\xE7", Fim::Bytes, {"ascii#", "        fim\xE7"}, false},
        {"ascii\r\nfim\xC3", Fim::Bytes, {"ascii", "fim\xC3"}, false},  // cut at the end
        {kBom + "so ascii", Fim::Reler, {}, false},
        {"\xC3\xA9 e depois \xE7", Fim::Reler, {}, false},
        {demais, Fim::Reler, {}, true},
        {demais + "\xFF", Fim::Reler, {}, false},
    };
    for (const auto& c : casos) {
        const Decodificada inteira = decodificaEmPedacos(c.bytes, c.bytes.size());
        EXPECT_EQ(inteira.fim, c.fim) << c.bytes;
        EXPECT_EQ(inteira.cod.utf8Recusado, c.recusado) << c.bytes;
        if (c.fim != Fim::Reler) {
            EXPECT_EQ(inteira.linhas, c.linhas) << c.bytes;
        }
        for (size_t passo = 1; passo <= 4; ++passo) {
            const Decodificada pedacos = decodificaEmPedacos(c.bytes, passo);
            EXPECT_EQ(pedacos.fim, inteira.fim) << c.bytes << passo;
            EXPECT_EQ(pedacos.cod.utf8Recusado, c.recusado) << c.bytes << passo;
            EXPECT_EQ(pedacos.cod.estranhos, inteira.cod.estranhos) << c.bytes << passo;
            if (c.fim != Fim::Reler) {
                EXPECT_EQ(pedacos.linhas, inteira.linhas) << c.bytes << passo;
            }
        }
    }
}

// One accented letter anywhere in a file of plain ASCII, the last bytes included, makes the
// file UTF-8; without it the same file is plain bytes. Files saved back in their encodings,
// the block appended to or read from one, and unknown characters said are the acceptance
// cases codificacoes_gravadas_de_volta, bloco_arquivos_codificados and estranhos_falados.
TEST(EdArqCodif, OneAccentedLetterAnywhereMakesTheFileUtf8) {
    for (size_t pos = 0; pos <= 19; ++pos) {
        std::string bytes(19, 'a'), texto(19, 'a');
        bytes.insert(pos, "\xC3\xA9");
        texto.insert(pos, "\xE9");
        const Decodificada d = decodificaEmPedacos(bytes, bytes.size());
        EXPECT_EQ(d.fim, DecodificadorUtf8::Fim::Utf8) << pos;
        EXPECT_EQ(d.linhas, std::vector<std::string>{texto}) << pos;
    }
    EXPECT_EQ(decodificaEmPedacos(std::string(19, 'a'), 19).fim, DecodificadorUtf8::Fim::Bytes);
}
