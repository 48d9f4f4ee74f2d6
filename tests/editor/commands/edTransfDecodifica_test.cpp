#include "editor/commands/edTransfDecodifica.h"

#include <gtest/gtest.h>

namespace {

struct CasoMail {
    const char* linha;
    const char* esperado;
};

// Made by geraTabelaMail.py beside this file (Python 3.11.7).
const CasoMail kCasosQ[] = {
    {"Ol=E1, tudo bem\? Estou enviando o relat=F3rio de mar=E7o.",
     "Ol\xE1, tudo bem\? Estou enviando o relat\xF3rio de mar\xE7o."},
    {"A reuni=E3o ser=E1 na ter=E7a-feira =E0s 10h, na sala de confer=EAncias=",
     "A reuni\xE3o ser\xE1 na ter\xE7" "a-feira \xE0s 10h, na sala de confer\xEAncias"},
    {"Subject: =\?ISO-8859-1\?Q\?Reuni=E3o_de_pais_e_mestres\?=",
     "Subject: Reuni\xE3o de pais e mestres"},
    {"From: =\?iso-8859-1\?q\?Jo=E3o_da_Silva\?= <joao@exemplo.com.br>",
     "From: Jo\xE3o da Silva <joao@exemplo.com.br>"},
    {"Subject: =\?UTF-8\?B\?UmVsYXTDs3JpbyBkZSB2ZW5kYXMgLSBkZXplbWJybw==\?=",
     "Subject: Relat\xF3rio de vendas - dezembro"},
    {"Subject: =\?utf-8\?Q\?Promo=C3=A7=C3=A3o_=E2=82=AC_10_=E2=80=94_s=C3=B3_hoje\?=",
     "Subject: Promo\xE7\xE3o \x80 10 \x97 s\xF3 hoje"},
    {"Subject: =\?windows-1252\?Q\?Confer=EAncia_=96_inscri=E7=F5es_abertas\?=",
     "Subject: Confer\xEAncia \x96 inscri\xE7\xF5" "es abertas"},
    {"To: =\?iso-8859-15\?B\?pCAxMDAgcGFyYSBh528=\?=",
     "To: \x80 100 para a\xE7o"},
    {"Subject: Re: =\?iso-8859-1\?Q\?Ol=E1\?= e =\?UTF-8\?B\?Y2hhbWFkYQ==\?= de hoje",
     "Subject: Re: Ol\xE1 e chamada de hoje"},
    {"Content-Type: text/plain; charset=\"utf-8\"",
     "Content-Type: text/plain; charset=\"utf-8\""},
};
const CasoMail kCasosU[] = {
    {"Ol\xC3\xA1 mundo \xE2\x80\x94 at\xC3\xA9 logo, Jos\xC3\xA9!",
     "Ol\xE1 mundo \x97 at\xE9 logo, Jos\xE9!"},
    {"\xE2\x80\x9C" "Cita\xC3\xA7\xC3\xA3o\xE2\x80\x9D custa \xE2\x82\xAC 5,00",
     "\x93" "Cita\xE7\xE3o\x94 custa \x80 5,00"},
    {"Cora\xC3\xA7\xC3\xA3o, ma\xC3\xA7\xC3\xA3, p\xC3\xA3o e \xC3\xA1gua",
     "Cora\xE7\xE3o, ma\xE7\xE3, p\xE3o e \xE1gua"},
};
const CasoMail kCasosBase64[] = {
    {"UmVsYXTDs3JpbyBkZSB2ZW5kYXM", "Relat\xC3\xB3rio de vendas"},
    {"T2zh IG11bmRv", "Ol\xE1 mundo"},
    {"b2zhIG*11bmRvIQ", "ol\xE1 mundo!"},
};

TEST(DecodificaMail, RealMailLinesDecodeAsPythonsMailModulesDo) {
    for (const CasoMail& c : kCasosQ) EXPECT_EQ(decodificaLinha(c.linha, 'Q'), c.esperado) << c.linha;
    for (const CasoMail& c : kCasosU) EXPECT_EQ(decodificaLinha(c.linha, 'U'), c.esperado) << c.linha;
    for (const CasoMail& c : kCasosBase64) EXPECT_EQ(decodificaBase64(c.linha), c.esperado) << c.linha;
}

TEST(DecodificaMail, EncodedWordsKeepTheTextAroundThem) {
    EXPECT_EQ(decodificaLinha("Assunto: =?iso-8859-1?Q?Ol=E1_mundo?= hoje", 'Q'),
              "Assunto: Ol\xE1 mundo hoje");
    EXPECT_EQ(decodificaLinha("=?iso-8859-1?Q?Ol=E1?= =?iso-8859-1?Q?mundo?=", 'Q'), "Ol\xE1 mundo");
    // Leading blanks go only from a line that held an encoded word.
    EXPECT_EQ(decodificaLinha("   =?utf-8?B?w6E=?=", 'Q'), "\xE1");
    EXPECT_EQ(decodificaLinha("   sem palavras", 'Q'), "   sem palavras");
}

TEST(DecodificaMail, MalformedInputIsKeptAsItStands) {
    EXPECT_EQ(decodificaQuotedPrintable("a=G1b=4"), "a=G1b=4");
    EXPECT_EQ(decodificaQuotedPrintable("fim="), "fim");
    EXPECT_EQ(decodificaQuotedPrintable("=4="), "=4");
    EXPECT_EQ(decodificaQuotedPrintable("=e1=E1"), "\xE1\xE1");
    // No "?=": the rest of the line as it is; "=?" that opens nothing is kept.
    EXPECT_EQ(decodificaPalavrasCodificadas("a =?utf-8?Q?Ol=C3=A1 e mais"), "a =?utf-8?Q?Ol=C3=A1 e mais");
    EXPECT_EQ(decodificaPalavrasCodificadas("x =?abc?= y =?utf-8?B?w6E=?="), "x =?abc?= y \xE1");
    EXPECT_EQ(decodificaBase64("w6\n*E=garbage"), "\xC3\xA1");
    EXPECT_EQ(decodificaBase64(""), "");
}

TEST(DecodificaMail, Utf8GivesTheNearestWindows1252Character) {
    EXPECT_EQ(decodificaUtf8("\xC3\xA1"), "\xE1");
    EXPECT_EQ(decodificaUtf8("\xC5\x82\xC3\xB3" "d\xC5\xBA"), "l\xF3" "dz");
    EXPECT_EQ(decodificaUtf8("a\xCC\x81 c\xCC\xA7 \xE2\x80\x90 \xE4\xB8\xAD \xE2\x80\x8B!"), "\xE1 \xE7 - ? !");
    // Bytes that are not UTF-8 (a Windows-1252 text) stay as they are.
    EXPECT_EQ(decodificaUtf8("\xC0s vezes \xE1gua \xC3"), "\xC0s vezes \xE1gua \xC3");
}

TEST(DecodificaMail, ListArchiveLeftoversGoWithTheByteAfterThem) {
    EXPECT_EQ(decodificaLinha("a\x80\xA0xb\x80\xA0yc", 'G'), "abc");
    // The pair in the last three bytes is not looked at.
    EXPECT_EQ(decodificaLinha("ab\x80\xA0", 'G'), "ab\x80\xA0");
    EXPECT_EQ(decodificaLinha("Ol=C3=A1\x80\xA0x =?utf-8?Q?j=C3=A1?=", 'T'), "Ol\xC3\xA1 j\xE1");
    EXPECT_EQ(decodificaLinha("sem mudan\xE7" "a", 'Z'), "sem mudan\xE7" "a");
}

}  // namespace
