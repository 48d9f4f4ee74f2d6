// The prosody stage on phoneme lists built here: contours from the word classes, the lines
// the synthesizer gets (durations, stress, shortening of long words, pauses, factors from
// rate and pitch, pitch targets, bridges over missing diphones) and the prosody file's
// failures.
#include "speech/tts/uttsProsodia.h"

#include <gtest/gtest.h>

namespace {

// Windows-1252, as the file is.
const std::string kProsodia =
    "; test prosody\n"
    "[DURA\xC7\xC3O]\n"
    "a=100\nk = 80\ns=120\n_,=250\n"
    "[CHAVES]\n"
    "e=cj\n"
    "[PROS\xD3""DIA]\n"
    "HERTZ=200\n"
    "TABHERTZ=50,60,70,80,90,100,110,120,130,0\n"
    "|XX|..=582\n"
    "|cj|=?44\n"
    "|XX|!!=599\n";

ProsodiaTts prosodia() {
    ProsodiaTts p;
    std::string mensagem;
    EXPECT_TRUE(interpretaProsodia(kProsodia, p, mensagem)) << mensagem;
    return p;
}

ListaDifones difones(const char* texto) {
    ListaDifones l;
    l.define(ListaDifones::interpreta(texto));
    return l;
}

TEST(ProsodiaTts, ClassesAndContoursFollowTheRulesAndAWordWithoutOneIsFlat) {
    const ProsodiaTts p = prosodia();
    const auto itens = tokeniza("casa  e casa... Sim!", p);
    EXPECT_EQ(itens, (std::vector<std::string>{"[--]", "[XX]casa", "[CJ]e", "[XX]casa", "[..].-",
                                               "[--]", "[XX]Sim", "[!!]!", "[--]"}));
    // "e" starts where "casa" (no rule: 555) ended; "Sim" before "!" takes its rule.
    EXPECT_EQ(daContornos(itens, p),
              (std::vector<std::string>{"555|", "555|casa", "544|e", "582|casa", "555|.-", "555|",
                                        "599|Sim", "555|!", "555|"}));
    EXPECT_EQ(daContornos(tokeniza("?!,.", p), p).size(), 8u);  // only punctuation: no word
    // A text without its full stop ends a sentence all the same.
    ProsodiaTts fim = p;
    fim.regras.insert(fim.regras.begin(), RegraContorno{"", "XX", "--", "571"});
    EXPECT_EQ(daContornos(tokeniza("bom dia", fim), fim),
              (std::vector<std::string>{"555|", "555|bom", "571|dia"}));
}

// Phoneme lists made into the synthesizer's lines: durations, stress, pitch targets, pauses
// and bridges over the diphones the list lacks.
TEST(ProsodiaTts, LinesCarryDurationsStressPitchAndBridges) {
    const ProsodiaTts p = prosodia();
    ProsodiaTts alta = p;  // a table whose top level is not 0, on 100 Hz
    alta.tabHertz = {50, 60, 70, 80, 90, 100, 110, 120, 130, 140};
    alta.hertz = 100;
    using L = std::vector<std::string>;
    const struct {
        const ProsodiaTts& prosodia;
        const char* difones;
        FatoresFala fatores;
        L fonemas, linhas;
    } casos[] = {
        // Rate 0, pitch 0: durations at 80 %, pitch as the table says; "y" bridges "s-a".
        {p, "_ k\nk a\na s\ny a\na _\n_ _\n", fatoresDaFala(0, 0),
         {";582|casa", "k", ">a", "\xA8s", "a", "", ";555|,", "_,", "", ";555|", "__", "_ 250", "_"},
         {";casa", "k 64 50 200", "a 116 80 260", "s 96", "y 50", "a 80 50 140", ";,", "_ 200 50 200", ";",
          "_ 80 50 200", "_ 200", "_ 80"}},
        // Level 9 is 0 in the table: no targets; "x" is stressed on its only phoneme.
        {p, "", {1.0, 1.0}, {";599|s", "k", ">a", ";555|x", ">s"},
         {";s", "k 80 50 200", "a 145", ";x", "s 174 50 200 85 200"}},
        // A word's end level lands on its last vowel, which the voice still sounds, and a
        // final s or r after it holds it; stressed on that vowel, the word peaks at its middle
        // and has ended by 85 % of it.
        {alta, "", {1.0, 1.0}, {";159|gatos", "g", ">a", "\xA8t", "u", "s2", ""},
         {";gatos", "g 100 50 60", "a 145 80 100", "t 100", "u 100 50 140", "s2 100 50 140"}},
        {alta, "", {1.0, 1.0}, {";159|mar", "m", ">a", "\xA8r2", ""},
         {";mar", "m 100 50 60", "a 145 50 100 85 140", "r2 100 50 140"}},
        // A final r2 bridges with a pause where the pause diphone exists; "_-k" missing, no
        // "y-k": a pause; "k-a" missing, "y-a" there.
        {p, "_ r2\nr2 _\n_ a\ny a\n", {1.0, 1.0}, {";555|ar", "r2", "a"},
         {";ar", "r2 100 50 200", "_ 50", "a 100"}},
        {p, "_ r2\nr2 _\n_ a\ny a\n", {1.0, 1.0}, {";555|ar", "k", "a"},
         {";ar", "_ 50", "k 80 50 200", "y 50", "a 100"}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(linhasFonemas(c.fonemas, c.prosodia, difones(c.difones), c.fatores), c.linhas) << c.fonemas[0];
}

TEST(ProsodiaTts, LongWordsShortenBeforeTheStressAndRateScalesEverything) {
    const ProsodiaTts p = prosodia();
    const ListaDifones semLista;
    auto duracaoDoK = [&](const std::string& palavra, const FatoresFala& f, bool depois) {
        std::vector<std::string> fonemas{";555|" + palavra, "a", ">a", "\xA8k"};
        if (!depois) fonemas.insert(fonemas.begin() + 2, "k");
        const auto l = linhasFonemas(fonemas, p, semLista, f);
        return std::stoi(l[depois ? 3 : 2].substr(2));
    };
    const FatoresFala normal{1.0, 1.0};
    EXPECT_EQ(duracaoDoK("paralelepipedos", normal, false), 64);  // 15 letters: 80 %
    EXPECT_EQ(duracaoDoK("paralelepipedos", normal, true), 80);   // after the stress: whole
    EXPECT_EQ(duracaoDoK("abcdefghi", normal, false), 72);        // 9 letters and ';': 90 %
    EXPECT_EQ(duracaoDoK("abcdefgh", normal, false), 80);
    EXPECT_EQ(duracaoDoK("ab", fatoresDaFala(6, 0), false), 32);  // rate 6: factor 0.4
    EXPECT_DOUBLE_EQ(fatoresDaFala(6, 11).pitch, 2.0);  // an octave up at 11
    // Beyond the scales the factors stay above zero.
    EXPECT_GT(fatoresDaFala(100, -100).duracao, 0);
    EXPECT_GT(fatoresDaFala(100, -100).pitch, 0);
    // Every pitch step is a different pitch, and the lowest is still 70 % of the base.
    for (int tom = -10; tom < 10; ++tom)
        EXPECT_LT(fatoresDaFala(0, tom).pitch, fatoresDaFala(0, tom + 1).pitch) << tom;
    EXPECT_DOUBLE_EQ(fatoresDaFala(0, -10).pitch, 0.7);
    EXPECT_DOUBLE_EQ(fatoresDaFala(0, -100).pitch, 0.7);
}

TEST(ProsodiaTts, DiphoneListTakesTwoPhonemesALineAndIgnoresCase) {
    const auto pares = ListaDifones::interpreta("! note\na-b\n  c\t D \n*x y\nq\n;z w\n\x01\x02##\nr2_e s2\n");
    EXPECT_EQ(pares, (std::vector<std::pair<std::string, std::string>>{{"a", "b"}, {"c", "D"}, {"r2_e", "s2"}}));
    ListaDifones l;
    l.define(pares);
    EXPECT_TRUE(l.tem("C", "d"));
    EXPECT_FALSE(l.tem("b", "a"));
}

TEST(ProsodiaTts, EachBrokenFileGivesItsMessage) {
    const std::string semDuracao = "[CHAVES]\n[PROS\xD3""DIA]\n";
    const std::pair<std::string, std::string> casos[] = {
        {semDuracao, "Dura\xE7\xE3o dos difones errada ou ausente"},
        {"[DURA\xC7\xC3O]\na 100\n", "Configura\xE7\xE3o da pros\xF3""dia: fonema errado: a 100"},
        {"[DURA\xC7\xC3O]\na=100\n", "Pros\xF3""dia: palavras chaves ausentes"},
        {"[DURA\xC7\xC3O]\n[CHAVES]\nDE PR\n", "Configura\xE7\xE3o da pros\xF3""dia: chave errada: DE PR"},
        {"[DURA\xC7\xC3O]\n[CHAVES]\n", "Pros\xF3""dia: especifica\xE7\xF5""es ausentes"},
        {"[DURA\xC7\xC3O]\n[CHAVES]\n[PROS\xD3""DIA]\n|XX|\n",
         "Configura\xE7\xE3o da pros\xF3""dia: chave errada: |XX|"},
        {"[DURA\xC7\xC3O]\n[CHAVES]\n[PROS\xD3""DIA]\n|XX|=5x5\n",
         "Configura\xE7\xE3o da pros\xF3""dia: chave errada: |XX|=5x5"},
    };
    for (const auto& [texto, esperada] : casos) {
        ProsodiaTts p;
        std::string mensagem;
        EXPECT_FALSE(interpretaProsodia(texto, p, mensagem)) << texto;
        EXPECT_EQ(mensagem, esperada);
    }
    ProsodiaTts p;
    std::string mensagem;
    EXPECT_FALSE(carregaProsodia("/nao/existe/portug.pro", p, mensagem));
    EXPECT_EQ(mensagem, "Configura\xE7\xE3o da pros\xF3""dia n\xE3o foi achada");
}

}  // namespace
