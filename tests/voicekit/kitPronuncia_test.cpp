// The family's letter rules (the regras.rgr and portug.exc of the family root) on words a
// Brazilian says in a way the spelling hides, and the shared symbols both pronunciations
// are compared in.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/codigos.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "voicekit/kitFonemas.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDifones = fs::path(PLUMAR_RAIZ_CONSTRUCAO) / "som" / "difones";

TEST(KitPronuncia, WordsSaidAsInBrazil) {
    auto regras = leRegras(kDifones / "regras.rgr");
    auto excecoes = leExcecoes(kDifones / "portug.exc");
    ASSERT_TRUE(regras && excecoes);
    const struct {
        const char* palavra;  // UTF-8
        const char* fonemas;
    } casos[] = {
        // A sounded u after q and g, in either spelling.
        {"tranquilo", "tra~kuilu"}, {"linguiça", "li~guisa"}, {"pinguim", "pi~gui~"},
        {"frequente", "frekue~tSi"}, {"freqüente", "frekue~tSi"}, {"aguentar", "ague~tar"},
        {"cinquenta", "si~kue~ta"}, {"sequência", "sekue~sia"}, {"quente", "ke~tSi"},
        {"tranquei", "tra~kei"}, {"seguinte", "segi~tSi"},
        // x as ks, s or z, and still as in xadrez.
        {"táxi", "taksi"}, {"fixo", "fiksu"}, {"complexo", "ko~pleksu"}, {"próximo", "prOsimu"},
        {"máximo", "masimu"}, {"auxílio", "ausiliu"}, {"trouxe", "trousi"}, {"exame", "ezami"},
        {"explicar", "esplikar"}, {"tórax", "tOraks"}, {"caixa", "kaiSa"}, {"mexer", "meSer"},
        // Final -ém/-êm and -éns are one nasal diphthong.
        {"também", "ta~be~i"}, {"além", "ale~i"}, {"ninguém", "ni~ge~i"}, {"têm", "te~i"},
        {"vêm", "ve~i"}, {"parabéns", "parabe~s"},
        // A marked vowel before n or m and a consonant is nasal.
        {"experiência", "esperie~sia"}, {"importância", "i~porta~sia"}, {"índice", "i~dZisi"},
        // s before a voiced consonant is z.
        {"mesmo", "mezmu"}, {"desde", "dezdZi"}, {"hoje", "oZi"},
    };
    for (const auto& c : casos) {
        const std::string fonetica = traduz(utf8ParaWin1252(c.palavra), *regras, *excecoes);
        EXPECT_EQ(fonemasDaTraducao(fonetica), c.fonemas) << c.palavra << " " << fonetica;
    }
}

// The engine's mnemonics in the shared symbols: stress marks and the vowel slipped in after
// an r go, glides and nasal codas fold, and both sides meet on the same string.
TEST(KitPronuncia, TheEnginesAndTheTranslationsSymbols) {
    const struct {
        const char* motor;
        const char* traducao;
        const char* simbolos;
    } casos[] = {
        {"k'az&", "[ k/A/ z/a]", "kaza"},
        {"tR,&~Nkw'ilU", "[ tr/a~/ kw/I/ l/u]", "tra~kuilu"},
        {"t&~mb'eIN", "[ t/a~/ b/E~y]", "ta~be~i"},
        {"p'O*@-t&", "[ p/O'/ r/ t/a]", "pOrta"},
        {"m'&U~", "[ m/A~w]", "ma~u"},
        {"f'iljU", "[ f/I/ lh/u]", "filiu"},
        {"k'&~m&", "[ k/A/ m/a]", "kama"},
        {"Z'eINtSy", "[ j/E~/ tch/i]", "Ze~tSi"},
        {"x'atU", "[ rr/A/ t/u]", "Ratu"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(fonemasDoMotor(c.motor), c.simbolos) << c.motor;
        EXPECT_EQ(fonemasDaTraducao(c.traducao), c.simbolos) << c.traducao;
    }
}

}  // namespace
