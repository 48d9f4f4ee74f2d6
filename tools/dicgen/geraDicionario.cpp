#include "dicgen/geraDicionario.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "dicgen/afixos.h"
#include "editor/commands/sndic.h"
#include "platform/codigos.h"
#include "platform/texto.h"

namespace {

// The Windows-1252 spelling of a form; empty when it has a character without one, or a blank.
std::string emWin1252(std::u32string_view forma) {
    std::string s;
    for (char32_t c : forma) {
        const uint8_t b = unicodeParaWin1252(c);
        if ((b == '?' && c != '?') || b <= ' ' || b == 127) return {};
        s += char(b);
    }
    return s;
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

size_t prefixoComum(const std::vector<std::string>& formas) {
    size_t n = formas.front().size();
    for (const std::string& f : formas) {
        n = std::min(n, f.size());
        n = size_t(std::mismatch(f.begin(), f.begin() + long(n), formas.front().begin()).first -
                   f.begin());
    }
    return n;
}

class Montador {
public:
    void grupo(const std::vector<std::u32string>& formas);
    void proibida(const std::u32string& palavra);
    ArquivosGerados arquivos() const;

private:
    struct Radical {
        bool proprio = false;
        std::set<size_t> classes;
    };
    void radical(const std::vector<std::string>& minusculas);

    std::map<std::string, Radical> radicais_;
    std::map<std::string, size_t> classeDe_;  // the endings, one a line, and the class
    std::vector<size_t> usos_;  // how many stems name each class
    std::set<std::string> nomes_, proibidas_;
    size_t nFormas_ = 0;
};

void Montador::grupo(const std::vector<std::u32string>& formas) {
    std::vector<std::string> minusculas;
    for (const std::u32string& f : formas) {
        std::string s = emWin1252(f);
        if (s.empty()) continue;
        ++nFormas_;
        if (formaDic(s) == s) {
            minusculas.push_back(std::move(s));
        } else {
            // A capitalised word is also right in capitals (BRASIL beside Brasil).
            nomes_.insert(maiusculasLatin1(s));
            nomes_.insert(std::move(s));
        }
    }
    if (!minusculas.empty()) radical(minusculas);
}

void Montador::radical(const std::vector<std::string>& formas) {
    const size_t n = prefixoComum(formas);
    if (n == 0) {  // nothing in common: each form is a stem of its own
        for (const std::string& f : formas) radicais_[f].proprio = true;
        return;
    }
    Radical& r = radicais_[formas.front().substr(0, n)];
    std::vector<std::string> finais;
    for (const std::string& f : formas) {
        if (f.size() == n)
            r.proprio = true;
        else
            finais.push_back(f.substr(n));
    }
    if (finais.empty()) return;
    std::sort(finais.begin(), finais.end());
    finais.erase(std::unique(finais.begin(), finais.end()), finais.end());
    std::string linhas;
    for (const std::string& f : finais) linhas += f + "\r\n";
    const auto [it, nova] = classeDe_.try_emplace(std::move(linhas), usos_.size());
    if (nova) usos_.push_back(0);
    if (r.classes.insert(it->second).second) ++usos_[it->second];
}

void Montador::proibida(const std::u32string& palavra) {
    // The exceptions ignore case: a capitalised forbidden spelling (Kg beside kg) cannot be
    // told from the right one there and stays out.
    const std::string s = emWin1252(palavra);
    if (!s.empty() && formaDic(s) == s) proibidas_.insert(s);
}

ArquivosGerados Montador::arquivos() const {
    std::vector<size_t> ordem(usos_.size());
    for (size_t i = 0; i < ordem.size(); ++i) ordem[i] = i;
    std::stable_sort(ordem.begin(), ordem.end(),
                     [&](size_t a, size_t b) { return usos_[a] > usos_[b]; });
    std::vector<std::string> nome(usos_.size());
    for (size_t i = 0; i < ordem.size(); ++i) nome[ordem[i]] = nomeClasse(i);
    std::vector<const std::string*> finais(usos_.size());
    for (const auto& [f, id] : classeDe_) finais[id] = &f;

    ArquivosGerados g;
    g.suf = "* Classes de terminacoes\r\n";
    for (size_t id : ordem) {
        g.suf += "[" + nome[id] + "]\r\n" + *finais[id];
    }
    g.dic = "* Radicais e suas classes\r\n";
    for (const auto& [radical, r] : radicais_) {
        g.dic += radical;
        if (!r.classes.empty() && r.proprio) g.dic += " =";
        for (size_t c : r.classes) g.dic += " " + nome[c];
        g.dic += "\r\n";
    }
    g.nom = "* Nomes proprios\r\n";
    for (const std::string& n : nomes_) g.nom += n + "\r\n";
    g.exc = "* Formas que nao existem\r\n";
    for (const std::string& p : proibidas_) g.exc += p + "\r\n";
    g.nRadicais = radicais_.size();
    g.nClasses = usos_.size();
    g.nFormas = nFormas_;
    return g;
}

}  // namespace

ArquivosGerados geraDicionario(std::string_view aff, std::string_view dic) {
    const RegrasAfixos regras(aff);
    Montador m;
    expandeDicionario(regras, dic, [&](const RegrasAfixos::Formas& f) {
        if (f.proibida) {
            m.proibida(f.base.front());
            return;
        }
        if (!f.base.empty()) m.grupo(f.base);
        for (const auto& g : f.prefixadas) m.grupo(g);
    });
    return m.arquivos();
}

void cadaForma(std::string_view aff, std::string_view dic,
               const std::function<void(const std::string&)>& f) {
    const RegrasAfixos regras(aff);
    expandeDicionario(regras, dic, [&](const RegrasAfixos::Formas& formas) {
        if (formas.proibida) return;
        auto envia = [&](const std::vector<std::u32string>& grupo) {
            for (const std::u32string& forma : grupo)
                if (std::string s = emWin1252(forma); !s.empty()) f(s);
        };
        envia(formas.base);
        for (const auto& g : formas.prefixadas) envia(g);
    });
}
