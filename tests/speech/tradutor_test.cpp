#include "speech/tradutor.h"

#include <gtest/gtest.h>

#include "bancadaFala.h"

namespace {

using bancada::excecoesDe;
using bancada::regrasDe;

std::string tonica(std::string palavra) {
    marcaTonica(palavra);
    return palavra;
}

TEST(DobraCaracteres, AccentsSymbolsBlanksAndGlides) {
    struct Caso {
        const char* texto;
        const char* dobrado;
    };
    for (Caso c : {
             Caso{"\xE0\xE1\xE2\xE3\xE4", "a`a'a^a~a~"},
             Caso{"\xC9\xCA\xCB\xCD\xD3\xD4\xD5\xDA\xFC", "e'e^e\"i'o'o^o~u'u\""},
             Caso{"\xE7\xC7\xF1\xE6", "ssssnhae"},
             Caso{"\x87\xA0\x82\xA2\x94\x81\xA4", "ssa'e'o'o~u\"nh"},  // DOS code page 437
             Caso{"\xD7\xD8\x98\x92\xA7\xA8\xBF\xAB\xAD\xAE\xBB", "x0y--\xA7??\xAA!\"\xBA"},
             Caso{"\x80\xB0\xFF\x9F", "ss   "},  // 128 is the DOS C-cedilla
             Caso{"a\tb\nc\x01", "a b c "},
             Caso{"Wagner show", "uagner shou"},
             Caso{"Maya Y y W", "Maia i y W"},
             Caso{"Y.", "Y."},
             Caso{"d'agua D'Ajuda l'a", "dagua DAjuda l'a"},
         })
        EXPECT_EQ(dobraCaracteres(c.texto), c.dobrado) << c.texto;
}

TEST(ProximaPalavra, SplitsRunsOfLettersAndMarksAndSingleOtherCharacters) {
    std::string texto = dobraCaracteres("  Ol\xE1, MUNDO-ling\x81i\xE7" "a 4");
    size_t pos = 0;
    std::string visto;
    while (auto p = proximaPalavra(texto, pos))
        visto += p->letras + (p->acentoEscrito ? "!" : "") + std::to_string(p->vogais) + " ";
    // The diaeresis is not a written stress.
    EXPECT_EQ(visto, "ola'!2 ,0 mundo2 -0 lingu\"issa4 40 ");
    EXPECT_EQ(pos, texto.size());
}

TEST(AplicaExcecoes, StripsFinalSAndMRepeatedlyAndKeepsThem) {
    Excecoes e = excecoesDe("casa=kaza|\nab=XY|\nhomen=omen|\n");
    for (auto [palavra, esperado] : {std::pair{"casas", "kazas"}, {"abmss", "XYmss"},
                                     {"homens", "omens"}, {"abx", "abx"}, {"sms", "sms"},
                                     {"Casa", "Casa"}})  // exact match only
        EXPECT_EQ(aplicaExcecoes(palavra, e), esperado) << palavra;
    // The written mark in a replacement stops the rule stress.
    EXPECT_EQ(traduz("taxi", Regras(), excecoesDe("taxi=ta'ksi|\n")),
              "[ /_T/ /_A/ /_'/ /_K/ /_S/ /_I]");
}

TEST(MarcaTonica, FollowsEachStateOfTheScan) {
    EXPECT_EQ(tonica("casa"), "cAsa");      // 0 -a-> 5 -s-> 5 -a-> 6
    EXPECT_EQ(tonica("laptop"), "lAptop");  // 0 stays 0 on another letter
    EXPECT_EQ(tonica("falar"), "falAr");    // 0 -r-> 1 -a-> 6
    EXPECT_EQ(tonica("axl"), "Axl");        // 1 stays 1 on a consonant
    EXPECT_EQ(tonica("fazem"), "fAzem");    // 0 -m-> 2 -e-> 5
    EXPECT_EQ(tonica("alarm"), "Alarm");    // 2 stays 2 on a consonant
    EXPECT_EQ(tonica("bombom"), "bombOm");  // 2 -o-> 6
    EXPECT_EQ(tonica("ruim"), "rUim");      // 2 -i-> 3 -u-> 6
    EXPECT_EQ(tonica("tatu"), "tatU");      // 0 -u-> 3 -t-> 7
    EXPECT_EQ(tonica("pai"), "pAi");        // 3 -a-> 6
    EXPECT_EQ(tonica("aqui"), "aquI");      // 3 -u after q-> 7
    EXPECT_EQ(tonica("casas"), "cAsas");    // 0 -s-> 4 -a-> 5
    EXPECT_EQ(tonica("tatus"), "tatUs");    // 4 -u-> 3
    EXPECT_EQ(tonica("robots"), "rObots");  // 4 stays 4 on a consonant
    EXPECT_EQ(tonica("saia"), "sAia");      // 5 -i-> 8 -a-> 6 (s is not l m n r z)
    EXPECT_EQ(tonica("sabia"), "sabIa");    // 8 -b-> 7
    EXPECT_EQ(tonica("aguia"), "aguIa");    // 8 -u after g-> 7
    EXPECT_EQ(tonica("rainha"), "raInha");  // 8, nh to the right -> 7
    EXPECT_EQ(tonica("bairro"), "baIrro");  // 8, rr to the right -> 7
    EXPECT_EQ(tonica("ainda"), "aInda");    // 8, consonant three to the right -> 7
    EXPECT_EQ(tonica("saimo"), "sAimo");    // 8, otherwise -> 6
    EXPECT_EQ(tonica("ias"), "ias");        // the word start is reached: no stress
}

TEST(MarcaTonica, AppliesOnlyWithoutWrittenAccentAndWithEnoughVowels) {
    EXPECT_TRUE(precisaTonica(descrevePalavra("lingu\"ica")));
    EXPECT_FALSE(precisaTonica(descrevePalavra("mar")));
    Regras r = regrasDe("(A)=a|\n(E)=e|\n(F)=f|\n(C)=k|\n(M)=m|\n(L)=l|\n");
    EXPECT_EQ(traduz("cafe", r, {}), "[k/A/f/e]");
    EXPECT_EQ(traduz("caf\xE9", r, {}), "[k/a/f/e/ /_']");
    EXPECT_EQ(traduz("mal ma", r, {}), "[m/A/l][m/a]");  // one vowel ending in l
    // Words without vowels are spelled.
    EXPECT_EQ(traduz("CPF", r, {}), "[ /_c][ /_p][ /_f]");
    EXPECT_EQ(traduz("ok, c.", r, {}), "[ /_O/ /_K][ /_,][ /_c][ /_.]");
}

struct CasoRegra {
    const char* regra;  // one rule with centre C and output 1; vowels sound as themselves
    const char* palavra;
    const char* esperado;
};

// Each special context character, where it matches and where it does not.
TEST(AplicaRegras, MatchesEveryContextCharacter) {
    const CasoRegra casos[] = {
        {"%(C)=1|", "cac", "[1/a/ /_C]"},  // % left: word start only
        {"(C)%=1|", "cac", "[ /_C/a/1]"},  // % right: word end only
        {"#(C)#=1|", "aca", "[a/1/a]"},
        {"B#(C)=1|", "bae'c", "[ /_B/a/e/ /_'/1]"},  // # runs over vowels and marks
        {"(C)#=1|", "cb", "[ /_C/ /_B]"},
        {"_(C)=1|", "c", "[1]"},  // _ : word start, vowel, or mark after a vowel
        {"B_(C)=1|", "bac", "[ /_B/a/1]"},
        {"B_(C)=1|", "ba'c", "[ /_B/a/ /_'/1]"},
        {"B_(C)=1|", "bdc", "[ /_B/ /_D/ /_C]"},
        {"B_(C)=1|", "b'c", "[ /_B/ /_'/ /_C]"},
        {"|(C)=1|", "nc", "[ /_N/1]"},  // | : n, r or s
        {"|(C)=1|", "sc", "[ /_S/1]"},
        {"|(C)=1|", "tc", "[ /_T/ /_C]"},
        {"](C)=1|", "ac", "[a/1]"},  // ] : a or o, or a mark after them
        {"B](C)=1|", "bo~c", "[ /_B/o/ /_~/1]"},
        {"](C)=1|", "ic", "[i/ /_C]"},
        {"(C)+=1|", "ce", "[1/e]"},  // + : e or i and one optional mark
        {"(C)+=1|", "ca", "[ /_C/a]"},
        {"(C)+A=1|", "ce'a", "[1/e/ /_'/a]"},
        {"(C)+A=1|", "cea", "[1/e/a]"},
        {"(C)[=1|", "ac", "[a/1]"},  // [ : word end or consonant but h, not consumed
        {"(C)[B=1|", "cb", "[1/ /_B]"},
        {"(C)[=1|", "ch", "[ /_C/ /_H]"},
        {"(C)[=1|", "ca", "[ /_C/a]"},
        {"(C)*T=1|", "ct", "[1/ /_T]"},  // * : consonant but r and l, not consumed
        {"(C)*=1|", "cr", "[ /_C/ /_R]"},
        {"(C)*=1|", "ac", "[a/ /_C]"},
        {"(C)\\%=1|", "ac", "[a/1]"},  // \ : an optional s
        {"(C)\\%=1|", "acs", "[a/1/ /_S]"},
        {"(C)\\%=1|", "acb", "[a/ /_C/ /_B]"},
        {"(C)&=1|", "cl", "[1/ /_L]"},  // & : l n m r z
        {"(C)&=1|", "cs", "[ /_C/ /_S]"},
        {"A(C)O=1|", "aco", "[a/1/o]"},  // literal letters, failing at the edges
        {"A(C)O=1|", "ac", "[a/ /_C]"},
    };
    for (const CasoRegra& c : casos) {
        Regras r = regrasDe(std::string(c.regra) + "\n(A)=a|\n(E)=e|\n(I)=i|\n(O)=o|\n");
        EXPECT_EQ(aplicaRegras(c.palavra, r), c.esperado) << c.regra << " on " << c.palavra;
    }
}

TEST(AplicaRegras, FirstMatchWinsDefaultIsTheLetterAndStressMarksTheOutput) {
    Regras r = regrasDe("(CH)=x|\n(C)=k|\n(H)=|\n(A)=ka|\n(O)=hw|\n");
    EXPECT_EQ(aplicaRegras("chac", r), "[x/ka/k]");
    EXPECT_EQ(aplicaRegras("Aab", r), "[kA/ka/ /_B]");
    EXPECT_EQ(aplicaRegras("O", r), "[hw]");  // no vowel in the output: nothing to mark
    EXPECT_EQ(aplicaRegras("\xAA", Regras()), "[ /_\xAA]");
}

}  // namespace
