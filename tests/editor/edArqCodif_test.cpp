#include "editor/edArqCodif.h"

#include <gtest/gtest.h>

#include "editor/commands/edBloco.h"
#include "editor/edArq.h"
#include "editor/edArqDisco.h"
#include "editor/edCursor.h"
#include "editor/edtela.h"
#include "decodificacaoPedacos.h"
#include "platform/codigos.h"
#include "sessao.h"

namespace fs = std::filesystem;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::optional<std::string> decodifica(std::string_view bytes) {
    CodificacaoArquivo cod;
    return decodificaUtf8(bytes, cod);
}

// `utf8` as UTF-16 with its byte-order mark, the high byte first when `be`; `solta` adds a
// lone surrogate at the end.
std::string utf16(std::string_view utf8, bool be, bool solta = false) {
    std::string s = be ? "\xFE\xFF" : "\xFF\xFE";
    auto unidade = [&](char32_t u) {
        s += static_cast<char>(be ? u >> 8 : u & 0xFF);
        s += static_cast<char>(be ? u & 0xFF : u >> 8);
    };
    for (size_t i = 0; i < utf8.size();) {
        const char32_t u = proximoUtf8(utf8, i);
        if (u >= 0x10000) {
            unidade(0xD800 + ((u - 0x10000) >> 10));
            unidade(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            unidade(u);
        }
    }
    if (solta) unidade(0xDC01);
    return s;
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

// ------------------------------------------------------------------ through the editor

namespace {

class ArquivoCodificado : public SessaoEdicao {
  protected:
    // Loads `bytes` as the file carta.txt; what loading said, message texts left out.
    Ouvido carrega(std::string_view bytes) {
        gravaArquivoTeste(pasta_ / "carta.txt", bytes);
        ed().nomeArquivo = (pasta_ / "carta.txt").string();
        ouvido();
        EXPECT_TRUE(carregaArquivo(e()));
        return ouvidoSemTextos();
    }
    std::string gravado() {
        EXPECT_TRUE(gravaTexto(e()));
        return leArquivo(pasta_ / "carta.txt");
    }
    // `texto` typed at the end of line `linha`.
    void digitaNoFim(int linha, std::string_view texto) {
        ed().linhaAtual = linha;
        ed().colunaAtual = static_cast<int>(ed().linha(linha).size()) + 1;
        for (char c : texto) insereCaractere(e(), static_cast<uint8_t>(c));
    }
};

}  // namespace

// Loading says how many placeholders the text holds (or that a UTF-8 file with too many
// opens as bytes); a save writes the file back as it was, its byte-order mark, line ends,
// missing last line end and unknown characters included, and what was typed as UTF-8.
// A file that is not strict UTF-8 stays Windows-1252 bytes.
TEST_F(ArquivoCodificado, SavesTheFileBackAsItWasRead) {
    std::string demais = "ação ";
    for (char32_t u = U'α'; u < U'α' + 27; ++u) acrescentaUtf8(demais, u);
    const struct {
        std::string bytes;
        Ouvido dito;
        std::string digitado, gravado;
    } casos[] = {
        {kBom + "αβγ 😀 ação\r\nfica ✓ α\r\n",
         {"mensagem EDCARDES", "texto 6"},
         " fim",
         kBom + "αβγ 😀 ação fim\r\nfica ✓ α\r\n"},
        {"linha 1\nΣοφία 🙂 fim",
         {"mensagem EDCARDES", "texto 6"},
         " ç",
         "linha 1 ç\nΣοφία 🙂 fim"},
        {"cora\xE7\xE3o \xC3\xA7\r\nfim\r\n", {}, "!", "cora\xE7\xE3o \xC3\xA7!\r\nfim\r\n"},
        {demais + "\r\nfim\r\n", {"mensagem EDUTFDEM"}, "", demais + "\r\nfim\r\n"},
        // UTF-16 by its byte-order mark, either byte order, ASCII alone too; a lone
        // surrogate is kept as it was.
        {utf16("ação 😀\r\nfim\r\n", false),
         {"mensagem EDCARDES", "texto 1"},
         " ç",
         utf16("ação 😀 ç\r\nfim\r\n", false)},
        {utf16("abc\nfim", true, true), {"mensagem EDCARDES", "texto 1"}, "!",
         utf16("abc!\nfim", true, true)},
    };
    for (const auto& c : casos) {
        Ouvido dito = c.dito;
        dito.push_back("mensagem EDARQCRG");
        EXPECT_EQ(carrega(c.bytes), dito) << c.bytes;
        digitaNoFim(1, utf8ParaWin1252(c.digitado));
        EXPECT_EQ(gravado(), c.gravado) << c.bytes;
    }
}

// One accented letter anywhere in a file of plain ASCII, the last bytes included, makes it
// UTF-8; without it the same file is plain bytes.
TEST_F(ArquivoCodificado, OneAccentedLetterAnywhereMakesTheFileUtf8) {
    for (size_t pos = 0; pos <= 19; ++pos) {
        std::string bytes(19, 'a');
        bytes.insert(pos, "Ã©");
        carrega(bytes);
        EXPECT_TRUE(ed().codificacao.utf8) << pos;
        std::string esperado(19, 'a');
        esperado.insert(pos, "é");
        EXPECT_EQ(ed().linha(1), esperado) << pos;
    }
    carrega(std::string(19, 'a'));
    EXPECT_FALSE(ed().codificacao.utf8);
}

// A new file is UTF-8 with LF line ends when CODIFICACAO says so, else Windows-1252 with CR LF.
TEST_F(ArquivoCodificado, ANewFileTakesTheConfiguredEncoding) {
    for (const auto& [ini, bytes] : {std::pair{"CODIFICACAO=UTF-8", "ação €\nfim\n"},
                                     std::pair{"CODIFICACAO=", "a\xE7\xE3o \x80\r\nfim\r\n"}}) {
        gravaArquivoTeste(pasta_ / "SONARE.INI", std::string("[PLUMAR]\r\n") + ini + "\r\n");
        fs::remove(pasta_ / "carta.txt");
        ed().nomeArquivo = (pasta_ / "carta.txt").string();
        ASSERT_TRUE(carregaArquivo(e()));
        texto({utf8ParaWin1252("ação €"), "fim"});
        EXPECT_EQ(gravado(), bytes) << ini;
    }
}

// A file read in as the block is decoded too, its unknown characters taken into the text's.
TEST_F(ArquivoCodificado, ABlockReadInTakesTheTextsPlaceholders) {
    abre("parte.txt{Enter}");
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_ / "parte.txt", "lido ✓ ★ é\n");
    carrega("um ✓\núltima\n");
    texto(linhas(), 2, 1);
    leArquivoBloco(e());
    EXPECT_EQ(gravado(), "um ✓\nlido ✓ ★ é\núltima\n");
}

// Block A appends in the file's own encoding and line ends, on a line of its own: a UTF-8
// file stays valid UTF-8, a UTF-16 one UTF-16, an ANSI one gets Windows-1252 ('?' for what
// it lacks).
TEST_F(ArquivoCodificado, BlocoAcrescentadoTomaACodificacaoDoArquivo) {
    DiretorioAtual aqui(pasta_.caminho());
    const struct {
        std::string antes, depois;
    } casos[] = {
        {"Olá\nmundo", "Olá\nmundo\nação ✓ fim\n"},
        {"linha\r\n", "linha\r\na\xE7\xE3o ? fim\r\n"},
        {"", "a\xE7\xE3o ? fim\r\n"},
        {kBom + "é\r\n", kBom + "é\r\nação ✓ fim\r\n"},
        {utf16("é\r\n", false), utf16("é\r\nação ✓ fim\r\n", false)},
        {utf16("é", true), utf16("é\nação ✓ fim\n", true)},
    };
    for (const auto& c : casos) {
        gravaArquivoTeste(pasta_ / "destino.txt", c.antes);
        abre("destino.txt{Enter}");
        ed().nomeArquivo = (pasta_ / "carta.txt").string();
        carrega("ação ✓ fim\n");
        ed().inicioBloco = ed().fimBloco = 1;
        adicionaBlocoArquivo(e());
        EXPECT_TRUE(ouviu(ouvido(), "mensagem EDBLKADC")) << c.antes;
        EXPECT_EQ(leArquivo(pasta_ / "destino.txt"), c.depois) << c.antes;
    }
}

// Placeholders are said as unknown characters, a run of them as its number, by every
// command that reads or moves over them, and shown as '?'.
TEST_F(ArquivoCodificado, PlaceholdersAreSaidAsUnknown) {
    carrega("alfa α e βγ, ação 😀 fim\nΣοφία\n");
    const std::string um = "texto caractere desconhecido ",
                      dois = "texto 2 caracteres desconhecidos ";
    const struct {
        void (*comando)(Editor&);
        int vezes;
        Ouvido dito;
    } casos[] = {
        {restoDaLinha,
         1,
         {"texto alfa", um, "texto e", dois, "texto ,", "texto a\xE7\xE3o", um, "texto fim"}},
        {proximaPalavra, 4, {"texto alfa", um, "texto e", dois}},
        {palavraDireitaFalada, 4, {"texto alfa", um, "texto e", um}},
    };
    for (const auto& c : casos) {
        texto(linhas(), 1, 1);
        ouvido();
        for (int i = 0; i < c.vezes; ++i) c.comando(e());
        EXPECT_EQ(ouvido(), c.dito);
    }
    texto(linhas(), 2, 1);
    ouvido();
    direita(e());
    EXPECT_EQ(ouvido(), Ouvido{"texto caractere desconhecido"});
    redesenhaTela(e());
    EXPECT_EQ(textoTela(14), utf8ParaWin1252("alfa ? e ??, ação ? fim"));
    EXPECT_EQ(textoTela(15), "?????");
}
