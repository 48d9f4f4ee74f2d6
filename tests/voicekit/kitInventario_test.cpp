// The kit's diphone inventory: the names a rule set asks for, how each is pronounced and
// in which carrier it is cut.
#include "voicekit/kitInventario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "speech/bancadaFala.h"

namespace {

using bancada::regrasDe;

TEST(KitInventario, PronunciationOfEachName) {
    struct Caso {
        const char* nome;
        const char* fonemas;  // empty: the name cannot be made
    };
    for (Caso c : {Caso{"$KA", "k'a"}, Caso{"$A", "'a"}, Caso{"$TCHI", "tS'i"},
                   Caso{"$NHO", "n^'o"}, Caso{"$RRA", "x'a"}, Caso{"$RA", "*'a"},
                   Caso{"$KE'", "k'E"}, Caso{"$KATIL", "k'&~"}, Caso{"$MACIRC", "m'&~"},
                   Caso{"$AWTIL", "'&U~"}, Caso{"$AY", "'aI"}, Caso{"$KWA", "kw'a"},
                   Caso{"$S", "s"}, Caso{"$R", "x"}, Caso{"$Y", "'i"}, Caso{"$KATILXYZ", ""},
                   Caso{"KA", ""}, Caso{"$", ""}, Caso{"$KQA", ""}, Caso{"$TIL", ""},
                   Caso{"$ASW", ""}}) {
        Pronuncia p = pronunciaDifone(c.nome);
        EXPECT_EQ(p.fonemas, c.fonemas) << c.nome;
        EXPECT_EQ(p.erro.empty(), *c.fonemas != '\0') << c.nome;
    }
}

TEST(KitInventario, TheCarrierPutsTheUnitMidWord) {
    struct Caso {
        const char* fonemas;
        const char* portadora;
        size_t depois;
        bool doMeio, aparaInicio;
    };
    for (Caso c : {Caso{"k'a", "ak'ata", 2, false, false}, Caso{"s'a", "as'ata", 2, false, true},
                   Caso{"'a", "t'ata", 2, false, true}, Caso{"'aI", "t'aIta", 2, true, true},
                   Caso{"'&U~", "t'&U~ta", 2, true, true}, Caso{"s", "as", 0, false, true},
                   Caso{"p", "ap", 0, false, false}}) {
        Portadora p = portadoraDifone(c.fonemas);
        EXPECT_EQ(p.fonemas, c.portadora);
        EXPECT_EQ(p.antes, 1u) << c.fonemas;
        EXPECT_EQ(p.depois, c.depois) << c.fonemas;
        EXPECT_EQ(p.doMeio, c.doMeio) << c.fonemas;
        EXPECT_EQ(p.aparaInicio, c.aparaInicio) << c.fonemas;
    }
}

TEST(KitInventario, NamesAskedForFollowTheUnits) {
    // Consonants open a unit with a blank; vowels join it; a final s is split off; a
    // sigla is spelled and asks for nothing.
    Regras r = regrasDe("(C)= k|\n(A~)=a~|\n(A)=a|\n(S)%=s|\n(S)= s|\n(O)=o|\n(B)= b|\n");
    std::vector<std::string> textos{"casa", "cas", "o", "c\xE3", "bcb", ","};  // "cã"
    auto nomes = nomesPedidos(r, Excecoes(), textos);
    std::vector<std::string> chaves;
    for (const auto& [k, v] : nomes) chaves.push_back(k);
    EXPECT_EQ(chaves, (std::vector<std::string>{"$KA", "$KATIL", "$O", "$S", "$SA"}));
    EXPECT_EQ(nomes.at("$KA"), "casa");  // the first text that asked
    EXPECT_EQ(nomes.at("$S"), "cas");
}

TEST(KitInventario, TheSweepCoversThreeLettersAndTheRulesGroups) {
    const size_t letras = 26 + 13;
    const size_t base = 3 * (letras + letras * letras + letras * letras * letras);
    EXPECT_EQ(palavrasDeVarredura(regrasDe("(A)=a|\n")).size(), base);
    auto v = palavrasDeVarredura(regrasDe("(LH)= lh|\n(L)= l|\n(CH)= x|\n(A)=a|\n"));
    EXPECT_EQ(v.size(), base + 2 * 2 * letras * letras);
    for (const char* p : {"lh\xE3o", "alh\xE3o", "aro\xED"})  // lhão, alhão, aroí
        EXPECT_NE(std::find(v.begin(), v.end(), p), v.end()) << p;
}

}  // namespace
