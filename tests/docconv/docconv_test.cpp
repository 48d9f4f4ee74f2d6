#include <regex>

#include "apoio.h"
#include "platform/conversaoDoc.h"
#include "platform/leituraRtf.h"
#include "rtf.h"

namespace fs = std::filesystem;

namespace {

// The RTF as its tokens: control words with their numbers, escaped characters, groups
// and runs of text, so the checks do not depend on the blanks between them.
std::vector<std::string> fichas(const std::string& rtf) {
    static const std::regex kFicha(R"(\\'[0-9a-f]{2}|\\[a-z]+-?[0-9]*|\\[\\{}]|[{}]|[^\\{}\n]+)");
    std::vector<std::string> v;
    for (auto i = std::sregex_iterator(rtf.begin(), rtf.end(), kFicha); i != std::sregex_iterator(); ++i) {
        std::string f = i->str();
        if (f[0] != '\\') {
            f.erase(0, f.find_first_not_of(' '));
            f.erase(f.find_last_not_of(' ') + 1);
        }
        if (!f.empty()) v.push_back(f);
    }
    return v;
}

// Whether `parte` appears in `todas` as a run of consecutive tokens.
bool temSequencia(const std::vector<std::string>& todas, const std::vector<std::string>& parte) {
    return std::search(todas.begin(), todas.end(), parte.begin(), parte.end()) != todas.end();
}

TEST(Docconv, MarksBecomeRtfControlWords) {
    const std::string texto =
        "<C><TF=Arial><SF=14><IN>Carta<FN>\r\n"
        "\r\n"
        "<AF><CE=6>Ol\xE1 <II>mundo<FI> e <IS>{chaves}<FS>\r\n"
        "continua aqui\r\n"
        "    recuo <AR>\r\n"
        "<CE=99><SF=abc><XX>fim <IN>sem fechar\r\n";
    const std::vector<std::string> f = fichas(geraRtf(texto));
    EXPECT_TRUE(temSequencia(f, {"{", "\\rtf1", "\\ansi", "\\ansicpg1252"}));
    EXPECT_TRUE(temSequencia(f, {"{", "\\f1", "\\fnil", "Arial;", "}"}));
    // colour 6 is red, the seventh entry of the table after the automatic one
    EXPECT_TRUE(temSequencia(f, {"{", "\\colortbl", ";", "\\red0", "\\green0", "\\blue0", ";"}));
    EXPECT_TRUE(temSequencia(f, {"\\red255", "\\green0", "\\blue0", ";", "\\red255", "\\green255"}));
    EXPECT_TRUE(temSequencia(f, {"\\pard", "\\qc", "\\f1", "\\fs28", "\\b", "Carta", "\\b0", "\\par"}));
    // the empty line, an empty paragraph keeping the alignment
    EXPECT_TRUE(temSequencia(f, {"\\pard", "\\qc", "\\par"}));
    // the next line goes on the paragraph; the one with leading blanks starts another, its
    // alignment mark aligns it, and the last line goes on it
    EXPECT_TRUE(temSequencia(f, {"\\pard", "\\qj", "\\cf6", "Ol", "\\'e1", "\\i", "mundo", "\\i0",
                                 "e", "\\ul", "\\{", "chaves", "\\}", "\\ulnone",
                                 "continua aqui", "\\par"}));
    // nonsense values are left out, an unknown mark stays as text, bold runs to the end
    EXPECT_TRUE(temSequencia(f, {"\\pard", "\\qr", "\\tab", "recuo  <XX>fim", "\\b", "sem fechar",
                                 "\\par", "}"}));
    EXPECT_EQ(std::count(f.begin(), f.end(), "\\cf99"), 0);
}

// A document the family wrote opens again, without LibreOffice, as its text: paragraphs
// one a line, the marks gone, the characters of the code page and those beyond it.
TEST(Docconv, TheOwnRtfReaderReadsTheDocumentBackAsItsText) {
    EXPECT_EQ(textoDeRtf(geraRtf("<C><TF=Arial><IN>Carta<FN>\r\n\r\n<AF><CE=6>Ol\xE1 <II>mundo<FI> "
                                 "e <IS>{chaves}<FS>\r\ncontinua\r\n    recuo \\fim\r\n")),
              "Carta\r\n\r\nOl\xE1 mundo e {chaves} continua\r\n\trecuo \\fim\r\n");
    // UTF-8 text: the code page's characters as such, those beyond it as \uN.
    const std::string utf8 = geraRtf("caf\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92 ok\n");
    EXPECT_TRUE(temSequencia(fichas(utf8), {"caf", "\\'e9", "\\'80", "\\u8594", "? ok", "\\par"}));
    EXPECT_EQ(textoDeRtf(utf8), "caf\xE9 \x80 ? ok\r\n");
}

int rodaDocconv(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAR_DOCCONV);
    return ProgramaTeste(args).espera();
}

TEST(Docconv, WritesBesideTheTextAndNeverOverTheTextItself) {
    PastaTemporaria pasta;
    const fs::path texto = pasta / "carta com 'aspas'.txt";
    gravaArquivoTeste(texto, "<IN>Oi<FN>\r\n");
    EXPECT_EQ(rodaDocconv({"--soffice=", texto.string()}), 4);  // RTF made, no LibreOffice
    EXPECT_EQ(leArquivo(pasta / "carta com 'aspas'.rtf").substr(0, 6), "{\\rtf1");
    EXPECT_EQ(rodaDocconv({"--formato=rtf", texto.string()}), 0);
    // a document opened as text is never replaced by its conversion
    gravaArquivoTeste(pasta / "velho.rtf", "texto do usuario");
    EXPECT_EQ(rodaDocconv({"--formato=rtf", (pasta / "velho.rtf").string()}), 3);
    EXPECT_EQ(leArquivo(pasta / "velho.rtf"), "texto do usuario");
    EXPECT_EQ(rodaDocconv({(pasta / "nao-ha.txt").string()}), 2);
    EXPECT_EQ(rodaDocconv({"--formato=pdf", texto.string()}), 1);
}

// The whole way with LibreOffice: marked text -> docconv -> .doc -> LibreOffice's HTML.
TEST(Docconv, FormattingSurvivesTheRoundTripThroughLibreOffice) {
    const fs::path soffice = achaLibreOffice("");
    if (soffice.empty()) GTEST_SKIP() << "LibreOffice is not installed";
    PastaTemporaria pasta;
    const fs::path texto = pasta / "carta.txt";
    gravaArquivoTeste(texto, "<C><TF=Arial><SF=14><IN>T\xEDtulo<FN>\r\n\r\n"
                             "<AL><TF=Courier New><SF=10><CE=6><II>inclinado<FI> <IS>sublinhado<FS>\r\n");
    ASSERT_EQ(rodaDocconv({texto.string()}), 0);
    ASSERT_TRUE(fs::exists(pasta / "carta.doc"));
    const ResultadoConversor r = executaConversor(
        argumentosLibreOffice(soffice, pasta / "carta.doc", "html", pasta.caminho()), {},
        std::chrono::seconds(120), [] { return true; });
    ASSERT_EQ(r.fim, FimConversor::Concluido);
    const std::string html = leArquivo(pasta / "carta.html");
    auto tem = [&](const char* padrao) {
        return std::regex_search(html, std::regex(padrao, std::regex::icase));
    };
    EXPECT_TRUE(tem(R"(align="?center)")) << html;
    EXPECT_TRUE(tem(R"(align="?left)"));
    EXPECT_TRUE(tem(R"(face="Arial)"));
    EXPECT_TRUE(tem(R"(<b>(<[^>]*>)*T(í|&iacute;)tulo)"));
    EXPECT_TRUE(tem(R"(<i>(<[^>]*>)*inclinado)"));
    EXPECT_TRUE(tem(R"(<u>(<[^>]*>)*sublinhado)"));
    EXPECT_TRUE(tem(R"(color="?#ff0000)"));
    EXPECT_TRUE(tem(R"(size="?4|font-size: 14pt)"));
}

}  // namespace
