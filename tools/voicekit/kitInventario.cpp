#include "voicekit/kitInventario.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "speech/bancoDifones.h"
#include "speech/concatenador.h"
#include "speech/tradutor.h"

namespace {

// The letters a word can hold: a..z and the accented letters of Portuguese.
std::vector<std::string> alfabeto() {
    std::vector<std::string> letras;
    for (char c = 'a'; c <= 'z'; ++c) letras.emplace_back(1, c);
    // á à â ã é ê í ó ô õ ú ü ç
    for (unsigned char c :
         {0xE1, 0xE0, 0xE2, 0xE3, 0xE9, 0xEA, 0xED, 0xF3, 0xF4, 0xF5, 0xFA, 0xFC, 0xE7})
        letras.emplace_back(1, static_cast<char>(c));
    return letras;
}

bool soLetras(std::string_view s) {
    for (char c : s)
        if (c < 'A' || c > 'Z') return false;
    return !s.empty();
}

}  // namespace

std::vector<std::string> palavrasDeVarredura(const Regras& regras) {
    const std::vector<std::string> letras = alfabeto();
    std::vector<std::string> palavras;
    // Left contexts decide too (r strong at the word start, soft after a vowel, strong
    // after n): each word is also swept after a vowel and after an n.
    for (const char* antes : {"", "a", "n"})
        for (const std::string& a : letras) {
            palavras.push_back(antes + a);
            for (const std::string& b : letras) {
                palavras.push_back(antes + a + b);
                for (const std::string& c : letras) palavras.push_back(antes + a + b + c);
            }
        }
    for (int codigo = 'A'; codigo <= 'Z'; ++codigo)
        for (const Regra& r : regras.lista(static_cast<unsigned char>(codigo))) {
            if (r.centro.size() != 2 || !soLetras(r.centro)) continue;
            std::string grupo = r.centro;
            for (char& c : grupo) c = static_cast<char>(c - 'A' + 'a');
            for (const std::string& b : letras)
                for (const std::string& c : letras) {
                    palavras.push_back(grupo + b + c);
                    palavras.push_back("a" + grupo + b + c);
                }
        }
    return palavras;
}

std::vector<std::string> foneticasDeVarredura(const Regras& regras) {
    std::vector<std::string> inicios, restos;
    for (int codigo = Regras::kPrimeiroCodigo; codigo < Regras::kPrimeiroCodigo + Regras::kListas;
         ++codigo)
        for (const Regra& r : regras.lista(static_cast<unsigned char>(codigo))) {
            if (r.saida.empty() || r.saida.find('_') != std::string::npos) continue;
            if (r.saida[0] == ' ')
                inicios.push_back(r.saida);
            else
                restos.push_back(r.saida);
        }
    std::sort(inicios.begin(), inicios.end());
    inicios.erase(std::unique(inicios.begin(), inicios.end()), inicios.end());
    std::sort(restos.begin(), restos.end());
    restos.erase(std::unique(restos.begin(), restos.end()), restos.end());
    std::vector<std::string> foneticas;
    for (const std::string& i : inicios) {
        foneticas.push_back("[" + i + "]");
        for (const std::string& r : restos) foneticas.push_back("[" + i + "/" + r + "]");
    }
    for (const std::string& r : restos) foneticas.push_back("[" + r + "]");
    return foneticas;
}

std::map<std::string, std::string> nomesDasFoneticas(std::span<const std::string> foneticas,
                                                     std::span<const std::string> origens) {
    std::map<std::string, std::string> nomes;
    const std::string* atual = nullptr;
    // Spoken against an empty bank into nowhere: only the names asked for matter.
    SaidaSom mudo{[](std::span<const uint8_t>) {}, nullptr, nullptr};
    Concatenador concatenador(BancoDifones(), "/sem/letras", mudo);
    concatenador.observaNomes([&](const std::string& nome) { nomes.emplace(nome, *atual); });
    for (size_t i = 0; i < foneticas.size(); ++i) {
        atual = i < origens.size() ? &origens[i] : &foneticas[i];
        concatenador.fala(foneticas[i]);
    }
    return nomes;
}

std::map<std::string, std::string> nomesPedidos(const Regras& regras, const Excecoes& excecoes,
                                                std::span<const std::string> textos) {
    std::vector<std::string> foneticas;
    foneticas.reserve(textos.size());
    for (const std::string& texto : textos) foneticas.push_back(traduz(texto, regras, excecoes));
    return nomesDasFoneticas(foneticas, textos);
}

namespace {

struct Som {
    std::string_view letras;  // as in the name
    std::string_view fonemas;
};

// Onsets, longest first so that "TCH" wins over "T".
constexpr std::array<Som, 27> kConsoantes{{
    {"TCH", "tS"}, {"DJ", "dZ"}, {"LH", "L"}, {"NH", "n^"}, {"RR", "x"}, {"KW", "kw"}, {"KS", "ks"},
    {"GW", "gw"},  {"P", "p"},   {"B", "b"},  {"T", "t"},   {"D", "d"},  {"K", "k"},   {"G", "g"},
    {"F", "f"},    {"V", "v"},   {"S", "s"},  {"Z", "z"},   {"X", "S"},  {"J", "Z"},   {"M", "m"},
    {"N", "n"},    {"L", "l"},   {"R", "*"},  {"C", "k"},   {"Q", "k"},  {"H", ""},
}};

// Vowels and glides; an apostrophe after E or O opens it.
std::string_view vogal(char c, bool aberta, bool nasal) {
    switch (c) {
        case 'A':
            return nasal ? "&~" : "a";
        case 'E':
            return nasal ? "e~" : (aberta ? "E" : "e");
        case 'I':
            return nasal ? "i~" : "i";
        case 'O':
            return nasal ? "o~" : (aberta ? "O" : "o");
        case 'U':
            return nasal ? "u~" : "u";
        default:
            return {};
    }
}

bool tiraFim(std::string_view& s, std::string_view fim) {
    if (s.size() < fim.size() || s.substr(s.size() - fim.size()) != fim) return false;
    s.remove_suffix(fim.size());
    return true;
}

// The vowels and glides after the onset; empty fonemas with an error when something else
// is there.
Pronuncia nucleo(std::string_view resto, bool nasal) {
    Pronuncia p;
    bool tonica = false;
    for (size_t i = 0; i < resto.size(); ++i) {
        char c = resto[i];
        if (c == '\'') continue;
        const bool aberta = i + 1 < resto.size() && resto[i + 1] == '\'';
        if (c == 'W' || c == 'Y') {
            // A glide alone is its vowel; after a vowel it is the closing glide.
            if (!tonica) {
                p.fonemas += '\'';
                p.fonemas += c == 'W' ? 'u' : 'i';
                tonica = true;
            } else {
                p.fonemas += c == 'W' ? "U" : "I";
            }
            continue;
        }
        std::string_view v = vogal(c, aberta, nasal && !tonica);
        if (v.empty()) return {{}, std::string("som desconhecido '") + c + "'"};
        if (!tonica) p.fonemas += '\'';
        p.fonemas += v;
        tonica = true;
    }
    // The nasal diphthong of "mao" is written with the mark after the glide.
    if (nasal && p.fonemas.ends_with("&~U")) p.fonemas.replace(p.fonemas.size() - 3, 3, "&U~");
    return p;
}

}  // namespace

Pronuncia pronunciaDifone(std::string_view nome) {
    if (nome.size() < 2 || nome[0] != '$') return {{}, "nome sem '$'"};
    if (nome.size() > kMaxNomeDifone) return {{}, "nome com mais de 8 letras"};
    std::string_view corpo = nome.substr(1);
    const bool nasal = tiraFim(corpo, "TIL") || tiraFim(corpo, "CIRC");
    std::string inicio;
    for (const Som& s : kConsoantes)
        if (corpo.starts_with(s.letras)) {
            inicio = s.fonemas;
            corpo.remove_prefix(s.letras.size());
            break;
        }
    if (corpo.empty()) {
        if (inicio.empty() || nasal) return {{}, "nome sem som"};
        // Alone these cannot be said: a final r sounds as the strong r, lh and nh as l and n.
        if (inicio == "*") return {"x", {}};
        if (inicio == "L" || inicio == "n^") return {inicio == "L" ? "l" : "n", {}};
        return {inicio, {}};
    }
    Pronuncia p = nucleo(corpo, nasal);
    if (!p.erro.empty()) return p;
    p.fonemas = inicio + p.fonemas;
    return p;
}

namespace {

bool comecaComOclusiva(std::string_view fonemas) {
    return !fonemas.empty() && std::string_view("pbtdkg").find(fonemas[0]) != std::string_view::npos;
}

bool comecaComVogal(std::string_view fonemas) {
    return fonemas.starts_with('\'');
}

}  // namespace

Portadora portadoraDifone(std::string_view fonemas) {
    Portadora p;
    const std::string unidade(fonemas);
    if (comecaComVogal(fonemas)) {
        // After a t the vowel has a clean start; a glide behind it ("aU", "&U~") means the
        // piece is played after the same vowel cut short, so it starts at the vowel's middle.
        p.fonemas = "t" + unidade + "ta";
        p.doMeio = unidade.find_first_of("UI", 1) != std::string::npos;
        p.depois = 2;
    } else if (unidade.find('\'') == std::string::npos) {
        // A consonant alone ends a syllable ("mal", "paz") or opens a cluster: said after a
        // vowel at the end, where a coda is not swallowed by a following stop.
        p.fonemas = "a" + unidade;
    } else {
        // After an unstressed vowel a consonant starts where it would inside a word.
        p.fonemas = "a" + unidade + "ta";
        p.depois = 2;
    }
    p.antes = 1;
    p.aparaInicio = !comecaComOclusiva(fonemas);
    return p;
}
