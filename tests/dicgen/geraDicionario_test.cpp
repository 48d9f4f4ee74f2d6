#include "dicgen/geraDicionario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "editor/commands/sndic.h"
#include "platform/codigos.h"

namespace {

// A small affix dictionary in UTF-8, its flags written V (verb), R (prefix re-), P (plural),
// F (forbidden); each FLAG type spells them its own way.
const char* const kAff = R"(SET UTF-8
FLAG <tipo>
FORBIDDENWORD <F>
# re- before a consonant but r, rer- before r
PFX <R> Y 2
PFX <R> 0 re [^aeiour]
PFX <R> 0 rer r
SFX <V> Y 4
SFX <V> ar o ar
SFX <V> ar ou ar
SFX <V> ar ando [^c]ar
SFX <V> car quei car
SFX <P> N 4
SFX <P> 0 s [aeiu]
SFX <P> 0 s [^ã]o
SFX <P> ão ões ão
SFX <P> 0 es [rz]
)";
const char* const kDic = "9\ncantar/<V><R>\nfalar/<V>\nficar/<V><R>\nrodar/<V><R>\n"
                         "casa/<P><R>\ncarro/<P>\nnação/<P>\nmar/<P>\nBrasil\ncantou/<F>\n";

// What the entries make: stripping (ar -> o), conditions (no -ando after c, -quei only after
// it; re- or rer-), a prefix with suffixes (cross product) but not with P, which forbids it.
const std::set<std::string> kFormas = {
    "cantar", "canto", "cantando", "recantar", "recanto", "recantou", "recantando", "falar",
    "falo", "falou", "falando", "ficar", "fico", "ficou", "fiquei", "reficar", "refico",
    "reficou", "refiquei", "rodar", "rodo", "rodou", "rodando", "rerrodar", "rerrodo",
    "rerrodou", "rerrodando", "casa", "casas", "recasa", "carro", "carros", "nação",
    "nações", "mar", "mares", "Brasil", "BRASIL"};

struct Tipo {
    const char* nome;
    const char *v, *r, *p, *f;
};

std::string comMarcas(std::string texto, const Tipo& t, bool noDic) {
    texto = std::regex_replace(texto, std::regex("<tipo>"), t.nome);
    // Numbers are separated by commas in a word's flags.
    const std::string sep = std::string(t.nome) == "num" && noDic ? "," : "";
    texto = std::regex_replace(texto, std::regex("><"), ">" + sep + "<");
    for (auto [de, para] : {std::pair{"<V>", t.v}, {"<R>", t.r}, {"<P>", t.p}, {"<F>", t.f}})
        texto = std::regex_replace(texto, std::regex(de), para);
    return texto;
}

// The files accept exactly the forms, whatever the flag type (and with flag sets named by
// number); every spelling one letter away from a form that is not a form itself is refused.
TEST(GeradorDicionario, ExpandsStrippingConditionsAndCrossProducts) {
    std::vector<std::pair<std::string, std::string>> pares;  // .aff, .dic
    for (const Tipo& t : {Tipo{"char", "V", "R", "P", "!"}, Tipo{"long", "Vb", "Re", "Pl", "!!"},
                          Tipo{"num", "101", "7", "3", "65000"}, Tipo{"UTF-8", "é", "ç", "P", "ý"}})
        pares.push_back({comMarcas(kAff, t, false), comMarcas(kDic, t, true)});
    pares.push_back({pares[2].first + "AF 5\nAF 101,7\nAF 101\nAF 3\nAF 65000\nAF 3,7\n",
                     "9\ncantar/1\nfalar/2\nficar/1\nrodar/1\ncasa/5\ncarro/3\nnação/3\n"
                     "mar/3\nBrasil\ncantou/4\n"});
    for (const auto& [aff, dic] : pares) {
        SCOPED_TRACE(aff.substr(0, 30));
        const ArquivosGerados g = geraDicionario(aff, dic);
        Dicionario d;
        std::vector<std::string> m;
        ASSERT_TRUE(d.carrega(g.suf, g.dic, g.exc, g.nom, "", "", m));
        EXPECT_TRUE(m.empty());
        for (const std::string& utf8 : kFormas) {
            const std::string p = utf8ParaWin1252(utf8);
            EXPECT_TRUE(d.verificaPalavra(p)) << utf8;
            for (size_t i = 0; i <= p.size(); ++i)
                for (const std::string& outra : {p.substr(0, i), p.substr(0, i) + "s" + p.substr(i),
                                                 p.substr(0, i) + "o" + p.substr(i)})
                    if (!kFormas.count(win1252ParaUtf8(outra)) &&
                        !kFormas.count(win1252ParaUtf8(formaDic(outra))))
                        EXPECT_FALSE(d.verificaPalavra(outra)) << win1252ParaUtf8(outra);
        }
        for (const char* p : {"cantou", "ficando", "recasas", "rerodar", "recarro", "brasil"})
            EXPECT_FALSE(d.verificaPalavra(utf8ParaWin1252(p))) << p;
        // cantar, falar, rodar and their prefixed groups share one class of endings, casa and
        // carro another: five classes in all.
        EXPECT_EQ(g.nClasses, 5u);
        // The forms handed to the agreement measure: what the entries make, forbidden words too.
        std::set<std::string> formas;
        cadaForma(aff, dic, [&](const std::string& f) { formas.insert(win1252ParaUtf8(f)); });
        std::set<std::string> esperadas = kFormas;
        esperadas.erase("BRASIL");
        esperadas.insert("cantou");
        EXPECT_EQ(formas, esperadas);
    }
}

}  // namespace
