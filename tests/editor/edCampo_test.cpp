#include "editor/edCampo.h"

#include <gtest/gtest.h>

#include <random>

#include "sessaoEditor.h"

namespace {

struct Edicao {
    std::string texto;
    FimCampo fim;
};

// Edits `inicial` with the keys of `teclas` in a field at (10, 9).
Edicao edita(SessaoEditor& s, std::string inicial, Campo campo = {10, 9, 71, 255, true, 1}) {
    Edicao r{std::move(inicial), {}};
    r.fim = editaCampo(s.editor(), r.texto, campo);
    return r;
}

// ------------------------------------------------------------------ typing

TEST(EditaCampo, TypedTextIsEchoedAndEnterEndsIt) {
    SessaoEditor s("abc  {Enter}");
    Edicao r = edita(s, "");
    EXPECT_EQ(r.texto, "abc");  // trailing blanks are not part of the answer
    EXPECT_EQ(r.fim.tecla, 13);
    EXPECT_FALSE(r.fim.estendida);
    EXPECT_EQ(r.fim.coluna, 6);
    EXPECT_EQ(s.linhaTela(9).substr(9, 4), "abc ");
    EXPECT_EQ(s.rastro(), "letra 97\nletra 98\nletra 99\nletra 32\nletra 32\n");
}

TEST(EditaCampo, KeysThatEndEditingAreReturned) {
    const std::pair<const char*, FimCampo> casos[] = {
        {"{Tab}", {9, false, 1}},         {"{Esc}", {27, false, 1}},
        {"{Ctrl+Enter}", {10, false, 1}}, {"{Up}", {72, true, 1}},
        {"{PgDn}", {81, true, 1}},        {"{Alt+F1}", {104, true, 1}},
        {"{Ctrl+F9}", {102, true, 1}},    {"{Alt+2}", {121, true, 1}},
        {"{F10}", {68, true, 1}}};
    for (const auto& [teclas, esperado] : casos) {
        SessaoEditor s(teclas);
        Edicao r = edita(s, "");
        EXPECT_EQ(r.fim.tecla, esperado.tecla) << teclas;
        EXPECT_EQ(r.fim.estendida, esperado.estendida) << teclas;
    }
}

TEST(EditaCampo, ProposedValueIsReplacedByTheFirstKeyTyped) {
    SessaoEditor s("n{Enter}");
    EXPECT_EQ(edita(s, "velho").texto, "n");
    EXPECT_EQ(s.rastro(), "clique\nclique\nletra 110\n");

    SessaoEditor movendo("{End}x{Enter}");  // a key before typing keeps the value to edit
    EXPECT_EQ(edita(movendo, "velho").texto, "velhox");
    EXPECT_EQ(movendo.rastro(), "clique\nletra 120\n");

    SessaoEditor brancos("a{Enter}");  // a blank value is no proposal
    EXPECT_EQ(edita(brancos, "   ").texto, "a");
    EXPECT_EQ(brancos.rastro(), "letra 97\n");

    SessaoEditor soLeitura("n{Enter}");  // without the editing flag the value stays
    EXPECT_EQ(edita(soLeitura, "velho", {10, 9, 71, 255, false, 1}).texto, "velho");
    EXPECT_EQ(soLeitura.rastro(), "clique\nclique\nletra 110\n");
}

TEST(EditaCampo, CtrlURestoresTheEntryTextWithThreeBeeps) {
    SessaoEditor s("{End}{Backspace}{Backspace}zz{Ctrl+U}{Enter}");
    Edicao r = edita(s, "abc");
    EXPECT_EQ(r.texto, "abc");
    EXPECT_TRUE(contemEmOrdem(
        s.rastro(), {"letra 99", "letra 98", "letra 122", "letra 122", "bip", "bip", "bip"}));
    EXPECT_EQ(s.linhaTela(9).substr(9, 5), "abc  ");
}

TEST(EditaCampo, FullFieldDropsItsLastCharacterAndRefusesPastTheEnd) {
    SessaoEditor s("{End}y{Home}z{Enter}");
    Edicao r = edita(s, std::string(254, 'x') + "w");
    ASSERT_EQ(r.texto.size(), 255u);
    EXPECT_EQ(r.texto, "z" + std::string(254, 'x'));
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"clique", "bip", "clique", "letra 122"}));
    EXPECT_EQ(s.rastro().find("letra 121"), std::string::npos);

    SessaoEditor curto("abcdef{Enter}");
    EXPECT_EQ(edita(curto, "", {1, 5, 80, 4, true, 1}).texto, "abcd");
}

TEST(EditaCampo, WithoutTheEditingFlagNothingChanges) {
    SessaoEditor s(
        "{End}{Backspace}{Del}{Home}{Del}{Ctrl+D}{Ctrl+S}{Ctrl+Y}{Ctrl+U}{Ctrl+Backspace}{Ctrl+V}{"
        "Enter}");
    s.crt().copiaClipboard("colado");
    Edicao r = edita(s, "fixo", {10, 9, 71, 255, false, 1});
    EXPECT_EQ(r.texto, "fixo");
    EXPECT_EQ(s.rastro(), "clique\nbip\nbip\nclique\nbip\nbip\nbip\nbip\nbip\nbip\nbip\n");
}

// ------------------------------------------------------------------ moving

TEST(EditaCampo, ArrowsSpeakWhatTheyPassAndBeepAtTheEnds) {
    SessaoEditor s("{Left}{Right}{Right}{Right}{Left}{Enter}");
    Edicao r = edita(s, "ab");
    EXPECT_EQ(r.fim.coluna, 2);
    EXPECT_EQ(s.rastro(), "bip\nletra 97\nletra 98\nbip\nletra 98\n");
    SessaoEditor alt("{Alt+Right}{Alt+Right}{Enter}");  // a letter's phonetic prompt
    edita(alt, "A1");
    EXPECT_EQ(alt.rastro(), "som _FON65\nletra 49\n");
}

TEST(EditaCampo, HomeEndAndWordMoves) {
    SessaoEditor s("{End}{Ctrl+Left}{Ctrl+Left}{Ctrl+Right}{Home}{Enter}");
    Edicao r = edita(s, "abc, def   ");
    EXPECT_EQ(r.fim.coluna, 1);
    EXPECT_EQ(s.rastro(), "clique\ntexto def\ntexto ,\ntexto ,\nclique\n");
}

TEST(PalavrasCampo, MovesAsTheTextsWordCommands) {
    bool bateu = false;
    EXPECT_EQ(inicioProximaPalavra("abc, def", 2, &bateu), 4);  // stops at the comma
    EXPECT_EQ(inicioProximaPalavra("abc, def", 4, &bateu), 6);
    EXPECT_FALSE(bateu);
    EXPECT_EQ(inicioProximaPalavra("abc, def", 6, &bateu), 9);
    EXPECT_TRUE(bateu);
    EXPECT_EQ(inicioProximaPalavra("", 1, &bateu), 1);
    EXPECT_EQ(inicioPalavraAnterior("abc def", 8, &bateu), 5);
    EXPECT_FALSE(bateu);
    EXPECT_EQ(inicioPalavraAnterior("abc, def", 6, &bateu), 4);  // the comma is a word
    EXPECT_EQ(inicioPalavraAnterior("abc, def", 4, &bateu), 1);
    EXPECT_TRUE(bateu);
    EXPECT_EQ(inicioPalavraAnterior("abc", 1, &bateu), 1);
    EXPECT_EQ(inicioPalavraAnterior("abc   ", 40, &bateu), 1);  // past the end counts as blanks
}

// ------------------------------------------------------------------ deleting

TEST(EditaCampo, DeletingKeys) {
    SessaoEditor s("{Home}{Del}{End}{Backspace}{Ctrl+Backspace}{Enter}");
    EXPECT_EQ(edita(s, "xum dois!").texto, "um");
    EXPECT_EQ(s.rastro(), "clique\nletra 120\nclique\nletra 33\ntexto dois\n");
}

TEST(EditaCampo, CtrlDSYBlankPartsOfTheField) {
    SessaoEditor fim("{Right}{Right}{Ctrl+D}{Enter}");
    EXPECT_EQ(edita(fim, "abcd").texto, "ab");
    EXPECT_TRUE(contemEmOrdem(fim.rastro(), {"som _APFCPO"}));
    SessaoEditor inicio("{Right}{Right}{Ctrl+S}{Enter}");
    Edicao r = edita(inicio, "abcd");
    EXPECT_EQ(r.texto, "cd");
    EXPECT_EQ(r.fim.coluna, 1);
    EXPECT_TRUE(contemEmOrdem(inicio.rastro(), {"som _APICPO"}));
    SessaoEditor tudo("{Right}{Ctrl+Y}{Enter}");
    EXPECT_EQ(edita(tudo, "abcd").texto, "");
    EXPECT_TRUE(contemEmOrdem(tudo.rastro(), {"som _CPOAPA"}));
}

TEST(EditaCampo, ShiftSelectionIsDeletedWithDel) {
    SessaoEditor s("{Home}{Right}{Shift+Right}{Shift+Right}{Shift+Right}{Del}{Enter}");
    Edicao r = edita(s, "012345");
    EXPECT_EQ(r.texto, "045");
    EXPECT_EQ(r.fim.coluna, 2);
    SessaoEditor limpa(
        "{Home}{Shift+Right}{Shift+Right}{Right}{Del}{Enter}");  // a plain move clears it
    EXPECT_EQ(edita(limpa, "012345").texto, "01245");
}

// ------------------------------------------------------------------ clipboard

TEST(EditaCampo, PasteTakesTheFirstLineWithoutControlCharacters) {
    SessaoEditor s("{Ctrl+V}{Enter}");
    s.crt().copiaClipboard(
        "ab\tc\x07"
        "d\r\nsegunda linha");
    EXPECT_EQ(edita(s, "").texto, "ab c d");
    EXPECT_EQ(s.rastro(), "texto ab c d\n");
}

TEST(EditaCampo, PasteReplacesTheSelectionAndKeepsTheMaximum) {
    SessaoEditor s("{Home}{Right}{Shift+Right}{Shift+Right}{Shift+Ins}{Enter}");
    s.crt().copiaClipboard("ab");
    EXPECT_EQ(edita(s, "12345").texto, "1ab45");
    SessaoEditor grande("{Ctrl+V}{Ctrl+V}{Enter}");
    grande.crt().copiaClipboard(std::string(1000, 'k'));
    Edicao r = edita(grande, "");
    EXPECT_EQ(r.texto, std::string(255, 'k'));
    EXPECT_TRUE(contemEmOrdem(grande.rastro(), {"bip"}));  // the second paste has no room
    SessaoEditor vazio("{Ctrl+V}{Enter}");                 // nothing to paste
    EXPECT_EQ(edita(vazio, "").texto, "");
    EXPECT_EQ(vazio.rastro(), "bip\n");
}

TEST(EditaCampo, CopyTakesTheSelectionOrTheWholeField) {
    SessaoEditor s("{Ctrl+Ins}{Enter}");
    edita(s, "tudo isto   ");
    std::string clip;
    ASSERT_TRUE(s.crt().leClipboard(clip, 1000));
    EXPECT_EQ(clip, "tudo isto\r\n");
    SessaoEditor parte("{End}{Shift+Left}{Shift+Left}{Ctrl+C}{Enter}");
    edita(parte, "abcdef");
    ASSERT_TRUE(parte.crt().leClipboard(clip, 1000));
    EXPECT_EQ(clip, "ef");
}

// ------------------------------------------------------------------ speech keys

TEST(EditaCampo, SpeechKeys) {
    SessaoEditor s(
        "um{F1}{Home}{F1}{Ctrl+K}{Ctrl+F1}{code:222}{code:223}{Ctrl+\\}{F8}{Ctrl+F8}{F12}{Enter}");
    edita(s, "");
    const std::string r = s.rastro();
    EXPECT_TRUE(contemEmOrdem(r, {"letra 117", "letra 109", "texto um", "clique", "texto um",
                                  "texto 1", "texto um", "texto um", "dtmf um"}));
    EXPECT_NE(r.find("\nhora "), std::string::npos);
    EXPECT_NE(r.find("\ndata "), std::string::npos);
    EXPECT_EQ(r.substr(r.size() - 4), "bip\n");  // F12 has nothing to run
}

TEST(EditaCampo, F4TogglesTheEcho) {
    SessaoEditor s("{F4}ab{F4}c{Enter}");
    EXPECT_EQ(edita(s, "").texto, "abc");
    EXPECT_EQ(s.rastro(), "som _FALDLG\nsom _FALACI\nletra 99\n");
    EXPECT_TRUE(s.fala().ecoDigitacao);
}

TEST(EditaCampo, CtrlAltF9IsRefusedUntilTheScreenReviewExistsAndEditingGoesOn) {
    SessaoEditor s("{Ctrl+Alt+F9}x{Enter}");
    EXPECT_EQ(edita(s, "").texto, "x");
    EXPECT_EQ(s.rastro(), "bip\nletra 120\n");
}

TEST(EditaCampo, CtrlF4AsksForASpeedAndIgnoresAnExtendedKey) {
    SessaoEditor s("{Ctrl+F4}{Down}{Ctrl+F4}{Esc}{Ctrl+F4}2x{Enter}");
    EXPECT_EQ(edita(s, "").texto, "x");
    EXPECT_EQ(s.rastro(),
              "som _VELOC\nletra 0\nsom _VELOC\nletra 27\nsom _VELOC\nletra 50\nletra 120\n");
}

// ------------------------------------------------------------------ screen

TEST(EditaCampo, LongTextScrollsInsideTheFieldAndNeverPastTheScreen) {
    SessaoEditor s("abcdefghijklmno");
    s.crt().GotoXY(1, 4);
    s.crt().escreve("fora do campo");
    EXPECT_THROW(edita(s, "", {71, 3, 500, 255, true, 1}), FimDoRoteiro);
    EXPECT_EQ(s.linhaTelaNoFim(3).substr(70), "ghijklmno ");
    EXPECT_EQ(s.linhaTelaNoFim(4).substr(0, 13), "fora do campo");
    EXPECT_EQ(s.linhaTelaNoFim(3).substr(0, 70), std::string(70, ' '));
}

TEST(EditaCampo, FieldIsWrittenAgainFromItsStartWhenEditingEnds) {
    SessaoEditor s("abcdefghijklmno{Enter}");
    edita(s, "", {71, 25, 10, 255, true, 1});
    EXPECT_EQ(s.linhaTela(25).substr(70), "abcdefghij");
    EXPECT_EQ(s.linhaTela(24), std::string(80, ' '));  // the last row did not scroll
}

TEST(EditaCampo, KeyStormKeepsTheFieldWithinItsLimits) {
    const char* teclas[] = {
        "a",        "Z",        "{Left}",     "{Right}",      "{Backspace}",   "{Del}",
        "{Home}",   "{End}",    "{Ctrl+V}",   "{Shift+Left}", "{Shift+Right}", "{Ctrl+Backspace}",
        "{Ctrl+Y}", "{Ctrl+U}", "{Ctrl+D}",   "{Ctrl+S}",     "{Ctrl+Left}",   "{Ctrl+Right}",
        "{Ctrl+C}", "{code:1}", "{code:222}", "{code:223}",   "{F1}",          "{Shift+Ins}",
        " "};
    std::mt19937 gerador(1234);
    std::string roteiro;
    for (int i = 0; i < 3000; ++i) roteiro += teclas[gerador() % std::size(teclas)];
    roteiro += "{Enter}";
    SessaoEditor s(roteiro);
    s.crt().copiaClipboard(std::string("x\ty\x01z ", 6) + std::string(300, 'q'));
    Edicao r = edita(s, "inicial", {60, 9, 21, 30, true, 1});
    EXPECT_EQ(r.fim.tecla, 13);
    EXPECT_LE(r.texto.size(), 30u);
    for (char c : r.texto) EXPECT_GE(static_cast<uint8_t>(c), 32);
    EXPECT_GE(r.fim.coluna, 1);
    EXPECT_LE(r.fim.coluna, 31);
}

// ------------------------------------------------------------------ prompts

TEST(LeLinhaFalada, ReadsAtTheCursorAndMovesToTheNextRow) {
    SessaoEditor s("nome.txt{Enter}");
    s.crt().GotoXY(25, 9);
    EXPECT_EQ(leLinhaFalada(s.editor()), "nome.txt");
    EXPECT_EQ(s.linhaTela(9).substr(24, 8), "nome.txt");
    EXPECT_EQ(s.crt().WhereX(), 1);
    EXPECT_EQ(s.crt().WhereY(), 10);
}

TEST(LeLinhaFalada, EscBlanksWhatWasTypedAndGivesNothing) {
    SessaoEditor s("apagar{Esc}");
    s.crt().GotoXY(1, 9);
    s.crt().escreve("Qual? ");
    EXPECT_EQ(leLinhaFalada(s.editor()), "");
    EXPECT_EQ(s.linhaTela(9), "Qual? " + std::string(74, ' '));
}

TEST(LeLinhaFalada, LastRowDoesNotScroll) {
    SessaoEditor s("x{Enter}");
    s.crt().GotoXY(1, 1);
    s.crt().escreve("topo");
    s.crt().GotoXY(1, 25);
    EXPECT_EQ(leLinhaFalada(s.editor()), "x");
    EXPECT_EQ(s.linhaTela(1).substr(0, 4), "topo");
    EXPECT_EQ(s.crt().WhereY(), 25);
}

TEST(LeNumeroFalado, EmptyOrNotANumberLeavesTheValue) {
    const std::pair<const char*, int> casos[] = {
        {" 42 {Enter}", 42}, {"-15{Enter}", -15}, {"+8{Enter}", 8},          {"{Enter}", 7},
        {"abc{Enter}", 7},   {"12x{Enter}", 7},   {"99999999999{Enter}", 7}, {"33{Esc}", 7},
        {"+-3{Enter}", 7}};
    for (const auto& [teclas, esperado] : casos) {
        SessaoEditor s(teclas);
        EXPECT_EQ(leNumeroFalado(s.editor(), 7), esperado) << teclas;
    }
}

}  // namespace
