#include "speech/tts/uttsTonica.h"

#include <array>
#include <string>

#include "speech/tts/uttsLetras.h"

using letrasTts::em;

namespace {

unsigned char minuscula(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215)) return c + 32;
    return c;
}

// Written accents that carry the stress (the diaeresis does not).
constexpr std::string_view kAcentuadas = "\xE0\xE1\xE2\xE3\xE9\xEA\xED\xF3\xF4\xF5\xFA";
constexpr std::string_view kVogaisOutras = "aeiowy\xFC";  // "another vowel" after a final one
constexpr std::string_view kVogais = "aeiouwy\xFC";

// The scan from the end: the state, the candidate and whether the scan has ended.
struct Varredura {
    int estado = 0;
    int candidata = 0;
    bool fim = false;

    void toma(int p, int proximo) { candidata = p, estado = proximo; }
    void para(int p) { candidata = p, fim = true; }
};

// `antes` is the letter left of `c` (0 at the word start).
void passo(Varredura& v, unsigned char c, unsigned char antes, int p, bool depoisDeS) {
    switch (v.estado) {
        case 0:
            if (em("aeo", c)) v.toma(p, 1);
            else if (c == 'i') v.toma(p, 20);
            else if (c == 'u') v.toma(p, 10);
            // A final -ns is the plural of a final -m (homem, homens; fim, fins).
            else if (c == 'm' || (c == 'n' && depoisDeS)) v.estado = 40;
            else if (c != 's') v.estado = 30;
            break;
        case 1:  // after a final vowel
            if (c == 'u') v.estado = 4;
            // The i of meio, praia, ideia is the glide of the vowel before it.
            else if (c == 'i' && em("aeo", antes)) v.para(p - 1);
            else if (em(kVogaisOutras, c)) v.para(p);
            else v.estado = 2;
            break;
        case 2:  // looking for the vowel before
            if (em("aeo", c)) v.para(p);
            else if (em("iu", c)) v.toma(p, 3);
            break;
        case 3:  // an i or u found
            if (em("aeo", c)) v.para(p);
            else if (c == 'u') v.estado = 5;
            else v.fim = true;
            break;
        case 4:  // a u before the final vowel: silent after g and q
            if (em("gq", c)) v.toma(p + 2, 2);
            else v.para(p + 1);
            break;
        case 5:
        case 21:
            v.para(em("gq", c) ? p + 2 : p + 1);
            break;
        case 10:  // final u
            if (em("aeio", c)) v.para(p);
            else v.fim = true;
            break;
        case 20:  // final i
            if (em("aeo", c)) v.candidata = p;
            else if (c == 'u') v.estado = 21;
            else v.fim = true;
            break;
        case 30:  // final consonant
            if (em(kVogais, c)) v.para(p);
            break;
        case 40:  // final m
            if (em("iou", c)) v.para(p);
            else if (em("ae", c)) v.toma(p, 1);
            else v.estado = 0;
            break;
        default:
            v.fim = true;
    }
}

}  // namespace

bool palavraAtona(std::string_view palavra) {
    static constexpr std::array<std::string_view, 6> kAtonas = {"POR", "DAS", "DOS",
                                                                "COM", "N\xC3O", "SIM"};
    if (palavra.size() < 3) return true;
    for (std::string_view a : kAtonas)
        if (palavra == a) return true;
    return false;
}

int posicaoTonica(std::string_view palavra) {
    std::string p(palavra);
    for (char& c : p) c = static_cast<char>(minuscula(static_cast<unsigned char>(c)));
    const size_t acento = p.find_last_of(kAcentuadas);
    if (acento != std::string::npos) return static_cast<int>(acento) + 1;
    if (p.find_first_of(kVogais) == std::string::npos) return 0;
    Varredura v;
    const int n = static_cast<int>(p.size());
    for (int i = n; i >= 1 && !v.fim; --i)
        passo(v, static_cast<unsigned char>(p[i - 1]), i > 1 ? static_cast<unsigned char>(p[i - 2]) : 0,
              i, i == n - 1 && p[n - 1] == 's');
    return v.candidata;
}
