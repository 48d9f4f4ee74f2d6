#include "editor/edCampo.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <random>
#include <vector>

#include "sessao.h"

namespace {

struct Edicao {
    std::string texto;
    FimCampo fim;
};

constexpr Campo kCampo{10, 9, 71, 255, true, 1};
constexpr Campo kSoLeitura{10, 9, 71, 255, false, 1};

// Edits `inicial` with the keys of the session's script.
Edicao edita(SessaoEditor& s, std::string inicial, Campo campo = kCampo) {
    Edicao r{std::move(inicial), {}};
    r.fim = editaCampo(s.editor(), r.texto, campo);
    return r;
}

TEST(EditaCampo, KeysThatEndEditingAreReturned) {
    // Up stands for every extended key the field has no use for.
    const std::tuple<const char*, uint8_t, bool> casos[] = {
        {"{Tab}", 9, false}, {"{Esc}", 27, false},     {"{Ctrl+Enter}", 10, false},
        {"{Up}", 72, true},  {"{Alt+F1}", 104, true}, {"{Ctrl+F9}", 102, true}};
    for (const auto& [teclas, tecla, estendida] : casos) {
        SessaoEditor s(teclas);
        Edicao r = edita(s, "");
        EXPECT_EQ(r.fim.tecla, tecla) << teclas;
        EXPECT_EQ(r.fim.estendida, estendida) << teclas;
    }
}

// Each case: the keys, the text the field starts with, what is then in the clipboard,
// the text at the end and the trace lines heard, in this order.
struct Caso {
    const char* teclas;
    std::string inicial, clipboard, texto;
    std::vector<std::string> ouvido;
    Campo campo = kCampo;
};

// Erasing, selecting (and a plain move forgetting it), pasting over a selection, moving by
// letters and words and the echo's switch are the campo_teclas_edicao case; a proposed value
// replaced or brought back, pastes, a full field, F12 and the speed are campo_colagem_e_limites.
TEST(EditaCampo, EditingKeys) {
    const Caso casos[] = {
        // A blank proposed value is not replaced, nor one in a field without the editing flag.
        {"a{Enter}", "   ", "", "a", {"letra 97"}},
        {"n{Enter}", "velho", "", "velho", {"clique", "clique", "letra 110"}, kSoLeitura},
        {"{End}{Backspace}{Del}{Home}{Del}{Ctrl+D}{Ctrl+S}{Ctrl+Y}{Ctrl+U}{Ctrl+Backspace}"
         "{Ctrl+V}{Enter}",
         "fixo", "colado", "fixo", {"bip", "bip", "bip"}, kSoLeitura},
    };
    for (const Caso& c : casos) {
        SessaoEditor s(c.teclas);
        if (!c.clipboard.empty()) s.crt().copiaClipboard(c.clipboard);
        EXPECT_EQ(edita(s, c.inicial, c.campo).texto, c.texto) << c.teclas;
        const std::string r = "\n" + s.rastro();
        size_t pos = 0;
        for (const std::string& linha : c.ouvido) {
            pos = r.find("\n" + linha + "\n", pos);
            ASSERT_NE(pos, std::string::npos) << c.teclas << ": " << linha << " in" << r;
            pos += linha.size() + 1;
        }
    }
}

// Copying a selection, and the whole field pasted in the text, are the campo_teclas_edicao
// case; the line end the whole field is copied with is seen only in the clipboard.
TEST(EditaCampo, CopyWithoutSelectionTakesTheWholeFieldAsALine) {
    std::string clip;
    SessaoEditor tudo("{Ctrl+Ins}{Enter}");
    edita(tudo, "tudo isto   ");
    ASSERT_TRUE(tudo.crt().leClipboard(clip, 1000));
    EXPECT_EQ(clip, "tudo isto\r\n");
}

TEST(EditaCampo, SpeechKeys) {
    SessaoEditor s("um{F1}{Home}{F1}{Ctrl+K}{Ctrl+F1}{code:222}{code:223}{Ctrl+\\}{F8}{Ctrl+F8}"
                   "{Enter}");
    edita(s, "");
    const std::string r = s.rastro();
    EXPECT_TRUE(contemEmOrdem(r, {"letra 117", "letra 109", "texto um", "texto um",
                                  "texto 1", "texto um", "texto um", "dtmf um"}));
    EXPECT_NE(r.find("\nhora "), std::string::npos);
    EXPECT_NE(r.find("\ndata "), std::string::npos);
}

// F12 opens the word at the cursor (the running itself is the editor's F12); a failure
// is said without writing over the prompt.
TEST(EditaCampo, F12SaysWhatCannotRunKeepingThePrompt) {
    SessaoEditor s("{F12}{Enter}");
    s.crt().GotoXY(1, 9);
    s.crt().escreve("Qual? ");
    edita(s, "nao_existe.exe", {7, 9, 74, 255, true, 10});
    EXPECT_EQ(s.rastro(), "mensagem EDNEXEC\ntexto N\xE3o pude executar\n");
    EXPECT_EQ(s.linhaTela(9).substr(0, 6), "Qual? ");
}

TEST(EditaCampo, LongTextScrollsInsideTheFieldAndIsWrittenAgainAtTheEnd) {
    SessaoEditor s("abcdefghijklmno");
    s.crt().GotoXY(1, 4);
    s.crt().escreve("fora do campo");
    EXPECT_THROW(edita(s, "", {71, 3, 500, 255, true, 1}), FimDoRoteiro);
    EXPECT_EQ(s.linhaTelaNoFim(3), std::string(70, ' ') + "ghijklmno ");
    EXPECT_EQ(s.linhaTelaNoFim(4).substr(0, 13), "fora do campo");

    SessaoEditor fim("abcdefghijklmno{Enter}");
    edita(fim, "", {71, 25, 10, 255, true, 1});
    EXPECT_EQ(fim.linhaTela(25).substr(70), "abcdefghij");
    EXPECT_EQ(fim.linhaTela(24), std::string(80, ' '));  // the last row did not scroll
}

TEST(EditaCampo, KeyStormKeepsTheFieldWithinItsLimits) {
    std::istringstream lista(
        "a Z {Left} {Right} {Backspace} {Del} {Home} {End} {Ctrl+V} {Shift+Left} {Shift+Right} "
        "{Ctrl+Backspace} {Ctrl+Y} {Ctrl+U} {Ctrl+D} {Ctrl+S} {Ctrl+Left} {Ctrl+Right} {Ctrl+C} "
        "{code:1} {code:222} {code:223} {F1} {Shift+Ins} {code:32}");
    const std::vector<std::string> teclas{std::istream_iterator<std::string>(lista), {}};
    std::mt19937 gerador(1234);
    std::string roteiro;
    for (int i = 0; i < 3000; ++i) roteiro += teclas[gerador() % teclas.size()];
    SessaoEditor s(roteiro + "{Enter}");
    s.crt().copiaClipboard(std::string("x\ty\x01z ", 6) + std::string(300, 'q'));
    Edicao r = edita(s, "inicial", {60, 9, 21, 30, true, 1});
    EXPECT_EQ(r.fim.tecla, 13);
    EXPECT_LE(r.texto.size(), 30u);
    for (char c : r.texto) EXPECT_GE(static_cast<uint8_t>(c), 32);
    EXPECT_GE(r.fim.coluna, 1);
    EXPECT_LE(r.fim.coluna, 31);
}

TEST(LeLinhaFalada, ReadsAtTheCursorMovesToTheNextRowAndEscGivesNothing) {
    SessaoEditor s("nome.txt{Enter}x{Enter}apagar{Esc}");
    s.crt().GotoXY(1, 1);
    s.crt().escreve("topo");
    s.crt().GotoXY(25, 9);
    EXPECT_EQ(leLinhaFalada(s.editor()), "nome.txt");
    EXPECT_EQ(s.linhaTela(9).substr(24, 8), "nome.txt");
    EXPECT_EQ(s.crt().WhereX(), 1);
    EXPECT_EQ(s.crt().WhereY(), 10);
    s.crt().GotoXY(1, 25);
    EXPECT_EQ(leLinhaFalada(s.editor()), "x");
    EXPECT_EQ(s.crt().WhereY(), 25);
    EXPECT_EQ(s.linhaTela(1).substr(0, 4), "topo");  // nothing scrolled
    s.crt().GotoXY(1, 12);
    s.crt().escreve("Qual? ");
    EXPECT_EQ(leLinhaFalada(s.editor()), "");  // what was typed is blanked
    EXPECT_EQ(s.linhaTela(12), "Qual? " + std::string(74, ' '));
}

}  // namespace
