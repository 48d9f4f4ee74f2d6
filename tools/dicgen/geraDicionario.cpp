#include "dicgen/geraDicionario.h"

#include <algorithm>
#include <map>
#include <set>
#include <string_view>

#include "editor/commands/sndic.h"
#include "platform/codigos.h"

namespace {

// Inflection endings of verbs in -ar, -er and -ir, of nouns and adjectives (plural,
// feminine, -ão, diminutive, superlative) and the adverb ending. A word's stem is what
// stands before the longest of them, so the forms of one word keep one stem.
constexpr std::string_view kTerminacoes[] = {
    "ar", "o", "as", "a", "amos", "ais", "am", "ei", "aste", "ou", "astes", "aram", "ava",
    "avas", "ávamos", "áveis", "avam", "ara", "aras", "áramos", "áreis", "arei", "arás", "ará",
    "aremos", "areis", "arão", "aria", "arias", "aríamos", "aríeis", "ariam", "e", "es", "emos",
    "eis", "em", "asse", "asses", "ássemos", "ásseis", "assem", "ares", "armos", "ardes",
    "arem", "ando", "ado", "ada", "ados", "adas", "ai",
    "er", "i", "este", "eu", "estes", "eram", "ia", "ias", "íamos", "íeis", "iam", "era",
    "eras", "êramos", "êreis", "erei", "erás", "erá", "eremos", "ereis", "erão", "eria",
    "erias", "eríamos", "eríeis", "eriam", "esse", "esses", "êssemos", "êsseis", "essem",
    "eres", "ermos", "erdes", "erem", "endo", "ido", "ida", "idos", "idas",
    "ir", "imos", "is", "iste", "iu", "istes", "iram", "ira", "iras", "íramos", "íreis",
    "irei", "irás", "irá", "iremos", "ireis", "irão", "iria", "irias", "iríamos", "iríeis",
    "iriam", "isse", "isses", "íssemos", "ísseis", "issem", "ires", "irmos", "irdes", "irem",
    "indo",
    // Forms cut before an enclitic pronoun (adensamo-lo, adensá-lo).
    "amo", "emo", "imo", "aremo", "eremo", "iremo", "armo", "ermo", "irmo", "ávamo", "íamo",
    "áramo", "êramo", "íramo", "ássemo", "êssemo", "íssemo", "aríamo", "eríamo", "iríamo",
    "á", "ê", "í",
    "s", "os", "ões", "ão", "ães", "ãos", "ãs", "ã", "mente", "inho", "inha", "inhos",
    "inhas", "zinho", "zinha", "zinhos", "zinhas", "íssimo", "íssima", "íssimos", "íssimas"};

constexpr size_t kRadicalMinimo = 2;

std::set<std::string> terminacoes() {
    std::set<std::string> t;
    for (std::string_view s : kTerminacoes) t.insert(utf8ParaWin1252(s));
    return t;
}

size_t tamanhoTerminacao(const std::string& palavra, const std::set<std::string>& terms) {
    for (size_t k = std::min<size_t>(palavra.size() - std::min(palavra.size(), kRadicalMinimo), 8);
         k > 0; --k)
        if (terms.count(palavra.substr(palavra.size() - k))) return k;
    return 0;
}

// Class names: A..Z, then AA..ZZ and so on, the commonest classes first.
std::string nomeClasse(size_t i) {
    std::string nome;
    do {
        nome.insert(nome.begin(), char('A' + i % 26));
        i /= 26;
    } while (i-- > 0);
    return nome;
}

}  // namespace

ArquivosGerados geraDicionario(const std::vector<std::string>& palavras) {
    const std::set<std::string> terms = terminacoes();
    // Stem (folded) -> the stem as written, whether it is a word itself, its endings.
    struct Radical {
        bool proprio = false;
        std::set<std::string> finais;
    };
    std::map<std::string, Radical> radicais;
    std::set<std::string> nomes;
    for (const std::string& p : palavras) {
        if (p.empty() || p.find_first_of(" \t\r\n") != std::string::npos) continue;
        if (minusculaDic(p[0]) != p[0]) {
            nomes.insert(p);
            continue;
        }
        const std::string f = formaDic(p);
        const size_t k = tamanhoTerminacao(f, terms);
        Radical& r = radicais[f.substr(0, f.size() - k)];
        if (k == 0)
            r.proprio = true;
        else
            r.finais.insert(f.substr(f.size() - k));
    }

    std::map<std::set<std::string>, size_t> uso;
    for (const auto& [radical, r] : radicais)
        if (!r.finais.empty()) ++uso[r.finais];
    std::vector<std::pair<size_t, const std::set<std::string>*>> ordem;
    for (const auto& [finais, n] : uso) ordem.push_back({n, &finais});
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::map<std::set<std::string>, std::string> nomeDe;

    ArquivosGerados g;
    g.suf = "* Classes de terminacoes\r\n";
    for (size_t i = 0; i < ordem.size(); ++i) {
        const std::string nome = nomeClasse(i);
        nomeDe[*ordem[i].second] = nome;
        g.suf += "[" + nome + "]\r\n";
        for (const std::string& s : *ordem[i].second) g.suf += s + "\r\n";
    }
    g.dic = "* Radicais e suas classes\r\n";
    for (const auto& [radical, r] : radicais) {
        g.dic += radical;
        if (!r.finais.empty()) g.dic += (r.proprio ? " = " : " ") + nomeDe[r.finais];
        g.dic += "\r\n";
    }
    g.nom = "* Nomes proprios\r\n";
    for (const std::string& n : nomes) g.nom += n + "\r\n";
    g.exc = "* Formas que nao existem\r\n";
    g.nRadicais = radicais.size();
    g.nClasses = ordem.size();
    return g;
}
