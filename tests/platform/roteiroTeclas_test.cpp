#include "platform/roteiroTeclas.h"

#include <gtest/gtest.h>

#include <memory>

#include "console/SnCrt.h"
#include "platform/frontEnds.h"

namespace {

// The key codes a script produces in the console (Alt keys handed to the program).
std::vector<int> codigosDoRoteiro(std::string_view texto) {
    Roteiro r = leRoteiro(texto);
    EXPECT_EQ(r.erro, "");
    auto audio = criaAudioNulo();
    SnCrt crt(criaFrontEndHeadless(r.teclas), *audio, "/nonexistent/SONARE.INI");
    crt.ligaVerificaInterrupcao(false);
    std::vector<int> codigos;
    for (size_t i = 0; i < r.teclas.size(); ++i) {
        crt.esperaMensagem();
        while (crt.teclaPressionada()) codigos.push_back(crt.leTecla());
    }
    return codigos;
}

TEST(Roteiro, TextNamedKeysAndCommentsBecomeCodes) {
    EXPECT_EQ(codigosDoRoteiro("aB\n1 {Enter}"), (std::vector<int>{'a', 'B', '1', ' ', 13}));
    EXPECT_EQ(codigosDoRoteiro("{Ctrl+B}{Alt+F4}{Shift+Right}{Ctrl+Alt+F9}"),
              (std::vector<int>{2, 0, 62, 0, 77, 0, 102}));
    EXPECT_EQ(codigosDoRoteiro("{Ctrl+\\}{{}{code:222}{Esc}{Tab}{Backspace}{Ctrl+Enter}"),
              (std::vector<int>{28, '{', 222, 27, 9, 8, 10}));
    EXPECT_EQ(codigosDoRoteiro("{F1}{F12}{Ctrl+F11}{Alt+1}{Alt+x}{Shift+Ins}{Ctrl+Ins}{Del}"),
              (std::vector<int>{0, 59, 0, 70, 0, 104, 0, 120, 0, 45, 0, 254, 0, 255, 0, 83}));
    EXPECT_EQ(codigosDoRoteiro("ação"), (std::vector<int>{'a', 0xE7, 0xE3, 'o'}));
    EXPECT_EQ(codigosDoRoteiro("{Ctrl+Right}{Alt+0}{Ctrl+Backspace}{F11}{Ctrl+F12}{Alt+F1}"
                               "{Ctrl+PgUp}{Ctrl+Del}"),
              (std::vector<int>{0, 116, 0, 129, 127, 0, 69, 0, 105, 0, 59, 0, 132, 0, 83}));
    // A comment and the blanks before it type nothing, not even a brace left open; {#} types
    // the sign, and blanks not followed by a comment are typed.
    const char* roteiro = "# what the case proves {Foo\r\na{Enter}  # why {Ctrl+\nb{#}c \t#\n d#";
    EXPECT_EQ(codigosDoRoteiro(roteiro), (std::vector<int>{'a', 13, 'b', '#', 'c', ' ', 'd'}));
}

TEST(Roteiro, BadScriptsAreReported) {
    for (const char* mau :
         {"abc{Enter", "{Foo}", "{code:300}", "{F13}", "{Ctrl+}", "{paste:/nao/existe}"})
        EXPECT_NE(leRoteiro(mau).erro, "") << mau;
    EXPECT_EQ(leRoteiro("").teclas.size(), 0u);
}

TEST(Roteiro, VirtualClockAdvancesOnlyWithDelays) {
    auto audio = criaAudioNulo();
    SnCrt crt(criaFrontEndHeadless({}), *audio, "/nonexistent/SONARE.INI");
    uint64_t antes = crt.agoraMs();
    crt.Delay(1500);
    EXPECT_EQ(crt.agoraMs() - antes, 1500u);
    crt.Delay(100000);  // clamped as the console's delays are
    EXPECT_EQ(crt.agoraMs() - antes, 1500u + 65535u);
}

}  // namespace
