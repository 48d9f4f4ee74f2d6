#include <regex>

#include "apoio.h"
#include "platform/conversaoDoc.h"
#include "platform/leituraRtf.h"
#include "rtf.h"

namespace fs = std::filesystem;

namespace {

// UTF-8 text: the code page's characters as such, those beyond it as \uN with a '?' for
// readers without Unicode; read back, the own reader gives the code page's bytes.
TEST(Docconv, UnicodeBeyondTheCodePageIsWrittenAsUAndReadBack) {
    const std::string rtf = geraRtf("caf\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92 ok\n");
    EXPECT_NE(rtf.find("caf\\'e9 \\'80 \\u8594? ok\\par"), std::string::npos) << rtf;
    EXPECT_EQ(textoDeRtf(rtf), "caf\xE9 \x80 ? ok\r\n");
}

int rodaDocconv(std::vector<std::string> args) {
    args.insert(args.begin(), PLUMAR_DOCCONV);
    return ProgramaTeste(args).espera();
}

// The codes the editor does not meet (it always passes a text it saved, and the default
// form): an RTF-only request, a missing text and wrong arguments.
TEST(Docconv, ExitCodesOfAnRtfOnlyRequestAMissingTextAndWrongArguments) {
    PastaTemporaria pasta;
    const fs::path texto = pasta / "carta.txt";
    gravaArquivoTeste(texto, "<IN>Oi<FN>\r\n");
    EXPECT_EQ(rodaDocconv({"--formato=rtf", texto.string()}), 0);
    EXPECT_EQ(leArquivo(pasta / "carta.rtf").substr(0, 6), "{\\rtf1");
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
