// The kit's diphone inventory: the names a rule set asks for and how each is pronounced.
#include "voicekit/kitInventario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

Regras regrasDe(const std::string& texto) {
    std::istringstream f(texto);
    return interpretaRegras(f);
}

std::set<std::string> chaves(const std::map<std::string, std::string>& m) {
    std::set<std::string> s;
    for (const auto& [k, v] : m) s.insert(k);
    return s;
}

TEST(KitInventario, PronunciaOnsetVogalGlideENasal) {
    struct Caso {
        const char* nome;
        const char* fonemas;
    };
    for (Caso c :
         {Caso{"$KA", "k'a"}, Caso{"$A", "'a"}, Caso{"$TCHI", "tS'i"}, Caso{"$DJI", "dZ'i"},
          Caso{"$LHA", "L'a"}, Caso{"$NHO", "n^'o"}, Caso{"$RRA", "x'a"}, Caso{"$RA", "*'a"},
          Caso{"$KE'", "k'E"}, Caso{"$SO'", "s'O"}, Caso{"$KATIL", "k'&~"}, Caso{"$MACIRC", "m'&~"},
          Caso{"$AWTIL", "'&U~"}, Caso{"$AY", "'aI"}, Caso{"$KWA", "kw'a"}, Caso{"$S", "s"},
          Caso{"$R", "x"}, Caso{"$Y", "'i"}, Caso{"$PAW", "p'aU"}}) {
        Pronuncia p = pronunciaDifone(c.nome);
        EXPECT_EQ(p.erro, "") << c.nome;
        EXPECT_EQ(p.fonemas, c.fonemas) << c.nome;
    }
}

TEST(KitInventario, NomesImpossiveisDizemPorque) {
    for (const char* nome : {"$KATILXYZ", "KA", "$", "$KQA", "$K1", "$TIL", "$ASW"}) {
        Pronuncia p = pronunciaDifone(nome);
        EXPECT_FALSE(p.erro.empty()) << nome;
        EXPECT_TRUE(p.fonemas.empty()) << nome;
    }
}

TEST(KitInventario, NomesPedidosSeguemAsUnidades) {
    // Consonants open a unit with a blank; vowels join it; a final s is split off.
    Regras r = regrasDe("(C)= k|\n(A~)=a~|\n(A)=a|\n(S)%=s|\n(S)= s|\n(O)=o|\n");
    Excecoes e;
    std::vector<std::string> textos{"casa", "cas", "o", "c\xE3"};  // "cã"
    auto nomes = nomesPedidos(r, e, textos);
    EXPECT_EQ(chaves(nomes), (std::set<std::string>{"$KA", "$SA", "$S", "$O", "$KATIL"}));
    EXPECT_EQ(nomes.at("$KA"), "casa");  // the first text that asked
    EXPECT_EQ(nomes.at("$S"), "cas");
}

TEST(KitInventario, SiglasSoletradasNaoPedemDifones) {
    Regras r = regrasDe("(B)= b|\n(C)= k|\n");
    std::vector<std::string> textos{"bcb", ",", "."};
    EXPECT_TRUE(nomesPedidos(r, Excecoes(), textos).empty());
}

TEST(KitInventario, VarreduraCobreTresLetrasEOsGruposDasRegras) {
    const size_t letras = 26 + 13;
    const size_t base = 3 * (letras + letras * letras + letras * letras * letras);
    EXPECT_EQ(palavrasDeVarredura(regrasDe("(A)=a|\n")).size(), base);
    auto v = palavrasDeVarredura(regrasDe("(LH)= lh|\n(L)= l|\n(CH)= x|\n(A)=a|\n"));
    EXPECT_EQ(v.size(), base + 2 * 2 * letras * letras);
    EXPECT_NE(std::find(v.begin(), v.end(), "lh\xE3o"), v.end());   // "lhão"
    EXPECT_NE(std::find(v.begin(), v.end(), "alh\xE3o"), v.end());  // inside a word
    EXPECT_NE(std::find(v.begin(), v.end(), "aro\xED"), v.end());   // soft r: "aroí"
}

}  // namespace
