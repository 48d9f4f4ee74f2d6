#include "dicgen/afixos.h"

#include <algorithm>

#include "platform/codigos.h"

namespace {

bool espaco(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::u32string> campos(std::u32string_view linha) {
    std::vector<std::u32string> v;
    for (size_t i = 0; i < linha.size();) {
        while (i < linha.size() && espaco(linha[i])) ++i;
        const size_t inicio = i;
        while (i < linha.size() && !espaco(linha[i])) ++i;
        if (i > inicio) v.emplace_back(linha.substr(inicio, i - inicio));
    }
    return v;
}

std::string ascii(std::u32string_view s) {
    std::string a;
    for (char32_t c : s) a += c < 0x80 ? char(c) : '?';
    return a;
}

// Calls `f` with each line of the text.
template <class F>
void cadaLinha(std::u32string_view texto, F f) {
    while (!texto.empty()) {
        const size_t fim = texto.find(U'\n');
        f(texto.substr(0, fim));
        if (fim == std::u32string_view::npos) break;
        texto.remove_prefix(fim + 1);
    }
}

// "0" stands for nothing in the strip and add fields.
std::u32string semZero(std::u32string_view s) { return s == U"0" ? std::u32string() : std::u32string(s); }

bool temMarca(const std::vector<Marca>& marcas, Marca m) {
    return std::find(marcas.begin(), marcas.end(), m) != marcas.end();
}

}  // namespace

bool RegrasAfixos::Posicao::aceita(char32_t c) const {
    return (letras.find(c) != std::u32string::npos) != negada;
}

std::u32string RegrasAfixos::decodifica(std::string_view texto) const {
    if (texto.starts_with("\xEF\xBB\xBF")) texto.remove_prefix(3);
    std::u32string s;
    s.reserve(texto.size());
    for (size_t pos = 0; pos < texto.size();) {
        if (utf8_)
            s += proximoUtf8(texto, pos);
        else
            s += win1252ParaUnicode(static_cast<uint8_t>(texto[pos++]));
    }
    return s;
}

RegrasAfixos::RegrasAfixos(std::string_view aff) {
    // The encoding comes first, as every other line is read in it.
    for (size_t p = aff.find("SET"); p != std::string_view::npos; p = aff.find("SET", p + 1))
        if (p == 0 || aff[p - 1] == '\n' || aff[p - 1] == '\xBF')
            utf8_ = aff.substr(p + 3, 8).find("UTF-8") != std::string_view::npos ||
                    aff.substr(p + 3, 8).find("utf-8") != std::string_view::npos;
    bool cabecalhoAf = true;
    cadaLinha(decodifica(aff), [&](std::u32string_view linha) {
        const std::vector<std::u32string> c = campos(linha);
        if (c.size() < 2 || c[0].starts_with(U"#")) return;
        const std::string chave = ascii(c[0]);
        if (chave == "FLAG") {
            const std::string t = ascii(c[1]);
            tipo_ = t == "long" ? TipoMarca::longa : t == "num" ? TipoMarca::numero : TipoMarca::caractere;
        } else if (chave == "AF") {
            // The first AF line gives the count; each next one a flag set, numbered from 1.
            if (!cabecalhoAf) apelidos_.push_back(leMarcas(c[1], false));
            cabecalhoAf = false;
        } else if (chave == "FORBIDDENWORD" || chave == "NEEDAFFIX") {
            const std::vector<Marca> m = leMarcas(c[1], false);
            if (m.empty()) return;
            (chave == "FORBIDDENWORD" ? proibida_ : precisaAfixo_) = m[0];
            (chave == "FORBIDDENWORD" ? temProibida_ : temPrecisaAfixo_) = true;
        } else if ((chave == "PFX" || chave == "SFX") && c.size() >= 4) {
            leRegra(c);
        }
    });
}

std::vector<Marca> RegrasAfixos::leMarcas(std::u32string_view texto, bool apelido) const {
    std::vector<Marca> v;
    if (apelido && !apelidos_.empty() && !texto.empty() &&
        std::all_of(texto.begin(), texto.end(), [](char32_t c) { return c >= '0' && c <= '9'; })) {
        size_t n = 0;
        for (char32_t c : texto) n = std::min<size_t>(n * 10 + (c - '0'), apelidos_.size() + 1);
        if (n >= 1 && n <= apelidos_.size()) return apelidos_[n - 1];
        return v;
    }
    switch (tipo_) {
        case TipoMarca::caractere:
            for (char32_t c : texto) v.push_back(c);
            break;
        case TipoMarca::longa:
            for (size_t i = 0; i + 1 < texto.size(); i += 2)
                v.push_back(Marca(texto[i]) << 32 | texto[i + 1]);
            break;
        case TipoMarca::numero: {
            Marca n = 0;
            bool temDigito = false;
            for (char32_t c : std::u32string(texto) + U",") {
                if (c >= '0' && c <= '9') {
                    n = n * 10 + (c - '0');
                    temDigito = true;
                } else {
                    if (temDigito) v.push_back(n);
                    n = 0;
                    temDigito = false;
                }
            }
            break;
        }
    }
    return v;
}

void RegrasAfixos::leRegra(const std::vector<std::u32string>& c) {
    const std::vector<Marca> nome = leMarcas(c[1], false);
    if (nome.size() != 1) return;
    const bool cabecalho = (c[2] == U"Y" || c[2] == U"N") && !afixos_.count(nome[0]);
    Afixo& a = afixos_[nome[0]];
    if (cabecalho) {
        a.prefixo = c[0] == U"PFX";
        a.cruza = c[2] == U"Y";
        return;
    }
    Regra r;
    r.tira = semZero(c[2]);
    std::u32string_view poe = c[3];
    if (const size_t barra = poe.find(U'/'); barra != std::u32string_view::npos) {
        r.seguintes = leMarcas(poe.substr(barra + 1));
        poe = poe.substr(0, barra);
    }
    r.poe = semZero(poe);
    const std::u32string condicao = c.size() > 4 ? c[4] : U".";
    for (size_t i = 0; i < condicao.size(); ++i) {
        Posicao p;
        if (condicao[i] == '[') {
            const size_t fim = condicao.find(U']', i);
            std::u32string_view dentro = std::u32string_view(condicao).substr(i + 1, fim - i - 1);
            p.negada = dentro.starts_with(U"^");
            if (p.negada) dentro.remove_prefix(1);
            p.letras = dentro;
            i = fim == std::u32string::npos ? condicao.size() : fim;
        } else if (condicao[i] != '.') {
            p.letras = condicao[i];
            p.negada = false;
        }
        r.condicao.push_back(std::move(p));
    }
    a.regras.push_back(std::move(r));
}

bool RegrasAfixos::condicaoNoFim(const Regra& r, std::u32string_view palavra) {
    if (palavra.size() <= r.tira.size() || !palavra.ends_with(r.tira) ||
        palavra.size() < r.condicao.size())
        return false;
    const size_t inicio = palavra.size() - r.condicao.size();
    for (size_t i = 0; i < r.condicao.size(); ++i)
        if (!r.condicao[i].aceita(palavra[inicio + i])) return false;
    return true;
}

bool RegrasAfixos::condicaoNoInicio(const Regra& r, std::u32string_view palavra) {
    if (palavra.size() <= r.tira.size() || !palavra.starts_with(r.tira) ||
        palavra.size() < r.condicao.size())
        return false;
    for (size_t i = 0; i < r.condicao.size(); ++i)
        if (!r.condicao[i].aceita(palavra[i])) return false;
    return true;
}

void RegrasAfixos::sufixa(const Afixo& a, const std::u32string& palavra,
                          std::vector<std::u32string>& formas, int nivel) const {
    if (a.prefixo) return;
    for (const Regra& r : a.regras) {
        if (!condicaoNoFim(r, palavra)) continue;
        std::u32string forma = palavra.substr(0, palavra.size() - r.tira.size()) + r.poe;
        // A suffix may allow one more suffix after it (continuation flags).
        if (nivel == 0)
            for (Marca m : r.seguintes)
                if (const auto it = afixos_.find(m); it != afixos_.end())
                    sufixa(it->second, forma, formas, 1);
        formas.push_back(std::move(forma));
    }
}

RegrasAfixos::Formas RegrasAfixos::expande(std::u32string_view linha) const {
    Formas f;
    // The word runs to the first unescaped '/' or blank; "\/" is a slash of the word.
    std::u32string palavra;
    size_t i = 0;
    for (; i < linha.size() && linha[i] != '/' && !espaco(linha[i]); ++i) {
        if (linha[i] == '\\' && i + 1 < linha.size() && linha[i + 1] == '/') ++i;
        palavra += linha[i];
    }
    if (palavra.empty()) return f;
    std::vector<Marca> marcas;
    if (i < linha.size() && linha[i] == '/') {
        const size_t inicio = ++i;
        while (i < linha.size() && !espaco(linha[i])) ++i;
        marcas = leMarcas(linha.substr(inicio, i - inicio));
    }
    if (temProibida_ && temMarca(marcas, proibida_)) {
        f.proibida = true;
        f.base.push_back(std::move(palavra));
        return f;
    }
    if (!temPrecisaAfixo_ || !temMarca(marcas, precisaAfixo_)) f.base.push_back(palavra);
    std::vector<std::u32string> cruzadas;  // the suffixed forms a prefix may combine with
    for (Marca m : marcas)
        if (const auto it = afixos_.find(m); it != afixos_.end() && !it->second.prefixo) {
            const size_t antes = f.base.size();
            sufixa(it->second, palavra, f.base, 0);
            if (it->second.cruza) cruzadas.insert(cruzadas.end(), f.base.begin() + long(antes), f.base.end());
        }
    for (Marca m : marcas) {
        const auto it = afixos_.find(m);
        if (it == afixos_.end() || !it->second.prefixo) continue;
        for (const Regra& r : it->second.regras) {
            if (!condicaoNoInicio(r, palavra)) continue;
            std::vector<std::u32string> grupo{r.poe + palavra.substr(r.tira.size())};
            if (it->second.cruza)
                for (const std::u32string& s : cruzadas)
                    if (s.starts_with(r.tira)) grupo.push_back(r.poe + s.substr(r.tira.size()));
            f.prefixadas.push_back(std::move(grupo));
        }
    }
    return f;
}

void expandeDicionario(const RegrasAfixos& regras, std::string_view dic,
                       const std::function<void(const RegrasAfixos::Formas&)>& f) {
    bool primeira = true;
    cadaLinha(regras.decodifica(dic), [&](std::u32string_view linha) {
        if (primeira) {  // the number of entries
            primeira = false;
            return;
        }
        const RegrasAfixos::Formas formas = regras.expande(linha);
        if (!formas.base.empty() || !formas.prefixadas.empty()) f(formas);
    });
}
