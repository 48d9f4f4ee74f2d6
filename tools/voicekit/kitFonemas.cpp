#include "voicekit/kitFonemas.h"

#include <utility>
#include <vector>

namespace {

// A symbol: one or two characters ("a", "e~", "tS").
using Simbolos = std::vector<std::string>;

bool ehVogal(const std::string& s) {
    return !s.empty() && std::string_view("aeEioOu").find(s[0]) != std::string_view::npos;
}
bool ehNasal(const std::string& s) {
    return s.size() == 2 && s[1] == '~';
}
bool ehConsoante(const std::string& s) {
    return !s.empty() && !ehVogal(s);
}

void nasaliza(std::string& vogal) {
    if (ehVogal(vogal) && !ehNasal(vogal)) vogal += '~';
}

bool ehConsoanteNasal(const std::string& s) {
    return s == "m" || s == "n" || s == "J";
}

// The folds shared by both sides, then the symbols joined.
std::string junta(const Simbolos& s) {
    // A vowel before m or n and a consonant is the nasal vowel (the glide of a nasal e with it).
    Simbolos r;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool antesDeConsoante = i + 1 < s.size() && ehConsoante(s[i + 1]);
        if ((s[i] == "m" || s[i] == "n") && !r.empty() && ehVogal(r.back()) && antesDeConsoante) {
            if (r.back() == "i" && r.size() >= 2 && r[r.size() - 2].starts_with('e')) r.pop_back();
            nasaliza(r.back());
            continue;
        }
        r.push_back(s[i]);
    }
    std::string saida;
    for (size_t i = 0; i < r.size(); ++i) {
        const bool antesDeConsoante = i + 1 < r.size() && ehConsoante(r[i + 1]);
        // The glide of a nasal e before a consonant.
        if (r[i] == "i" && i > 0 && r[i - 1] == "e~" && antesDeConsoante) continue;
        // A vowel before a nasal consonant and a vowel is nasal in speech, marked or not.
        const bool antesDeNasal = i + 2 < r.size() && ehConsoanteNasal(r[i + 1]) && ehVogal(r[i + 2]);
        saida += ehNasal(r[i]) && antesDeNasal ? r[i].substr(0, 1) : r[i];
    }
    return saida;
}

}  // namespace

std::string fonemasDaTraducao(std::string_view f) {
    Simbolos s;
    for (size_t i = 0; i < f.size(); ++i) {
        const char c = f[i];
        const std::string_view resto = f.substr(i);
        const char minuscula = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (c == '[' || c == ']' || c == '/' || c == ' ') continue;
        if (c == '_' && i + 1 < f.size()) {  // a letter said from its recording
            s.push_back(std::string("<") + f[++i] + ">");
        } else if (resto.starts_with("tch")) {
            s.push_back("tS");
            i += 2;
        } else if (resto.starts_with("dj")) {
            s.push_back("dZ");
            ++i;
        } else if (resto.starts_with("lh")) {
            s.push_back("l");
            s.push_back("i");
            ++i;
        } else if (resto.starts_with("nh")) {
            s.push_back("J");
            ++i;
        } else if (resto.starts_with("rr")) {
            s.push_back("R");
            ++i;
        } else if (c == '~') {
            if (!s.empty()) nasaliza(s.back());
        } else if (c == '\'') {
            if (!s.empty() && (s.back() == "e" || s.back() == "o"))
                s.back() = s.back() == "e" ? "E" : "O";
        } else if (std::string_view("aeiou").find(minuscula) != std::string_view::npos) {
            s.emplace_back(1, minuscula);
        } else if (c == 'y') {
            s.push_back("i");
        } else if (c == 'w') {
            s.push_back("u");
        } else if (c == 'x') {
            s.push_back("S");
        } else if (c == 'j') {
            s.push_back("Z");
        } else {
            s.emplace_back(1, c);
        }
    }
    return junta(s);
}

std::string fonemasDoMotor(std::string_view m) {
    Simbolos s;
    // A nasal mark or an N after a glide belongs to the vowel before the glide.
    auto nasalizaNucleo = [&s](bool depoisDeGlide) {
        if (s.empty()) return;
        if (depoisDeGlide && s.size() >= 2 && ehVogal(s[s.size() - 2]))
            nasaliza(s[s.size() - 2]);
        else
            nasaliza(s.back());
    };
    bool glide = false;  // the last symbol came from I, U, j or w
    for (size_t i = 0; i < m.size(); ++i) {
        const char c = m[i];
        const std::string_view resto = m.substr(i);
        bool eraGlide = glide;
        glide = false;
        if (c == '\'' || c == ',' || c == ';' || c == ' ' || c == ':' || c == '#') {
            glide = eraGlide;
        } else if (resto.starts_with("@-")) {  // a vowel the engine slips in after an r
            ++i;
            glide = eraGlide;
        } else if (resto.starts_with("tS") || resto.starts_with("dZ")) {
            s.emplace_back(resto.substr(0, 2));
            ++i;
        } else if (resto.starts_with("n^")) {
            s.push_back("J");
            ++i;
        } else if (resto.starts_with("l^")) {  // lh before i
            s.push_back("l");
            s.push_back("i");
            ++i;
        } else if (c == '~' || c == 'N') {
            nasalizaNucleo(eraGlide);
        } else if (c == '&') {
            s.push_back("a");
        } else if (c == 'y') {
            s.push_back("i");
        } else if (c == 'I' || c == 'j') {
            s.push_back("i");
            glide = true;
        } else if (c == 'U' || c == 'w') {
            s.push_back("u");
            glide = true;
        } else if (c == '*' || c == 'R' || c == 'r') {
            s.push_back("r");
        } else if (c == 'x' || c == 'h') {
            s.push_back("R");
        } else if (c == 'L') {
            s.push_back("l");
            s.push_back("i");
        } else if (c == '@') {
            s.push_back("e");
        } else {
            s.emplace_back(1, c);
        }
    }
    return junta(s);
}

std::string fonemasDaBrisa(const std::vector<std::string>& fonemas) {
    static const std::vector<std::pair<std::string_view, std::string_view>> kTroca = {
        {"an", "a~"}, {"en", "e~"}, {"in", "i~"}, {"on", "o~"}, {"un", "u~"},
        {"y", "i"},   {"w", "u"},   {"@", "a"},   {"r2", "R"},  {"s2", "s"}};
    Simbolos s;
    for (std::string_view f : fonemas) {
        while (!f.empty() && (f[0] == '>' || f[0] == '\xA8')) f.remove_prefix(1);
        if (f.empty() || f[0] == ';' || f[0] == '_') continue;
        if (f == "L") {  // lh
            s.push_back("l");
            s.push_back("i");
            continue;
        }
        std::string simbolo(f);
        for (const auto& [nosso, comum] : kTroca)
            if (f == nosso) simbolo = comum;
        s.push_back(simbolo);
    }
    return junta(s);
}
