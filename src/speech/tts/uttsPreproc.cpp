#include "speech/tts/uttsPreproc.h"

#include <algorithm>
#include <array>

#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/numeros.h"
#include "speech/regras.h"
#include "speech/tts/uttsLetras.h"

using letrasTts::consoante;
using letrasTts::em;
using letrasTts::letra;

namespace {

constexpr uint64_t kLimite = 1'000'000'000'000'000ULL;  // numbers hold at most 15 digits
constexpr unsigned char kOrdinalMasculino = 186, kOrdinalFeminino = 170;

// The tables are written in UTF-8 here and kept in Windows-1252, the engine's text.
std::string w(std::string_view utf8) { return utf8ParaWin1252(utf8); }

const std::array<std::string, 256>& nomes() {
    static const std::array<std::string, 256> tabela = [] {
        std::array<std::string, 256> t;
        const char* visiveis[] = {
            "espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento", "é comercial",
            "apóstrofo", "abre parênteses", "fecha parênteses", "asterisco", "mais", "vírgula",
            "traço", "ponto", "barra", "zéro", "um", "dois", "três", "quatro", "cinco", "seis",
            "séte", "oito", "nóve", "dois pontos", "ponto e vírgula", "menor que", "igual",
            "maior que", "interrogação", "arrôba", "a", "bê", " sê", " dê", "é", "éfe", "jê",
            "agá", "i", "jóta", "cá", "éle", "ême", "êne", "ó", "pê", "quê", "érre", "ésse", "tê",
            "u", "vê", "dábliu", "xis", "ípsilon", "zê", "abre colchete", "barra invertida",
            "fecha colchete", "circunflexo", "sublinhado", "crase"};
        int c = 32;
        for (const char* n : visiveis) t[c++] = w(n);
        for (int l = 'a'; l <= 'z'; ++l) t[l] = t[l - 32];
        t['j'] = "jota";
        t['n'] = "ene";
        const char* fim[] = {"abre chave", "barra vertical", "fecha chave", "til"};
        c = 123;
        for (const char* n : fim) t[c++] = w(n);
        const char* altos[] = {
            "exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
            "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino",
            "Aspas angulares esquerdas", "negação", "hífen", "Marca registrada", "mácron",
            "grau", "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo",
            "mi", "pi", "ponto no meio", "cedilha", "expoente um", "ordinal masculino",
            "aspas angulares direitas", "um quarto", "um meio", "três quartos",
            "interrogação reversa", "A grave", "A agudo", "A circunflexo", "A com til",
            "A com trema", "A bola", "A É", "Cê cedilha", "É grave", "É agudo", "É circunflexo",
            "É com trema", "I grave", "I agudo", "I circunflexo", "I com trema", "Dê cortado",
            "N com til", "Ó grave", "Ó agudo", "Ó circunflexo", "Ó com til", "Ó tremado",
            "vezes", "Ó cortado", "U grave", "U agudo", "U circunflexo", "U com trema",
            // Ý, Þ and ß have names of their own rather than those of ½, ¾ and ¿.
            "Ípsilon agudo", "tórn", "ésse duplo"};
        c = 161;
        for (const char* n : altos) t[c++] = w(n);
        for (c = 224; c <= 255; ++c) t[c] = t[c - 32];
        t[247] = w("dividido");  // ÷ is not ×
        t[255] = w("ípsilon com trema");
        for (c = 0; c < 256; ++c)
            if (t[c].empty()) t[c] = w(" código ") + cardinalTts(static_cast<uint64_t>(c)) + " ";
        return t;
    }();
    return tabela;
}

bool digito(unsigned char c) { return c >= '0' && c <= '9'; }

// A blank, or a line end or tab, or the end of the text: what may follow a full stop that
// ends an abbreviation or a sentence.
bool separador(std::string_view t, size_t i) {
    return i >= t.size() || static_cast<unsigned char>(t[i]) <= ' ';
}

unsigned char naPosicao(std::string_view t, size_t i) {
    return i < t.size() ? static_cast<unsigned char>(t[i]) : 0;
}

std::string digitoADigito(std::string_view corrida) {
    std::string s;
    for (char c : corrida) {
        if (!s.empty()) s += ' ';
        s += c == '-' ? w("traço") : cardinalTts(static_cast<uint64_t>(c - '0'));
    }
    return s;
}

// The number at `i` (a digit) in words between blanks; the position after it.
size_t numero(std::string_view t, size_t i, std::string& saida) {
    size_t fim = i;
    while (digito(naPosicao(t, fim)) || naPosicao(t, fim) == '-') ++fim;
    const std::string_view corrida = t.substr(i, fim - i);
    if (corrida.find('-') != std::string_view::npos) {
        saida += " " + digitoADigito(corrida) + " ";
        return fim;
    }
    std::string palavras;
    for (; naPosicao(t, i) == '0' && digito(naPosicao(t, i + 1)); ++i) palavras += "zero ";
    uint64_t valor = 0;
    while (true) {
        const unsigned char c = naPosicao(t, i);
        if (digito(c)) {
            const uint64_t proximo = valor * 10 + (c - '0');
            if (proximo >= kLimite) break;  // the rest is the next number
            valor = proximo;
            ++i;
        } else if (c == '.' && digito(naPosicao(t, i + 1)) && digito(naPosicao(t, i + 2)) &&
                   digito(naPosicao(t, i + 3)) && !digito(naPosicao(t, i + 4))) {
            ++i;  // a thousands separator
        } else {
            break;
        }
    }
    const std::string_view resto = t.substr(i);
    char genero = 0;
    std::string plural;
    if (naPosicao(t, i) == kOrdinalMasculino || naPosicao(t, i) == kOrdinalFeminino) {
        genero = naPosicao(t, i) == kOrdinalMasculino ? 'm' : 'f';
        i += 1;
    } else if (resto.starts_with("o.") || resto.starts_with("a.")) {
        genero = resto[0] == 'o' ? 'm' : 'f';
        i += 2;
    } else if (resto.starts_with("os.") || resto.starts_with("as.")) {
        genero = resto[0] == 'o' ? 'm' : 'f';
        plural = "s";
        i += 3;
    }
    palavras += genero ? ordinalTts(valor, genero) + plural : cardinalTts(valor);
    saida += " " + palavras + " ";
    return i;
}

// Blanks run together and trimmed, so that the words stand one blank apart.
std::string compacta(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != ' ' || (!r.empty() && r.back() != ' ')) r += c;
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

}  // namespace

std::string cardinalTts(uint64_t valor) {
    // The recorded-number words, with the accents the letter rules need.
    const std::string simples = numeroExtenso(valor % kLimite);
    std::string r;
    size_t pos = 0;
    while (pos <= simples.size()) {
        size_t fim = simples.find(' ', pos);
        if (fim == std::string::npos) fim = simples.size();
        const std::string_view p = std::string_view(simples).substr(pos, fim - pos);
        r += p == "tres" ? w("três") : p == "cinquenta" ? w("cinqüenta") : std::string(p);
        if (fim < simples.size()) r += ' ';
        pos = fim + 1;
    }
    return r;
}

std::string ordinalTts(uint64_t valor, char genero) {
    static const std::array<const char*, 10> unidades = {
        "", "primeiro", "segundo", "terceiro", "quarto", "quinto", "sexto", "sétimo", "oitavo", "nono"};
    static const std::array<const char*, 10> dezenas = {
        "", "décimo", "vigésimo", "trigésimo", "quadragésimo", "quinquagésimo", "sexagésimo",
        "septuagésimo", "octagésimo", "nonagésimo"};
    static const std::array<const char*, 10> centenas = {
        "", "centésimo", "ducentésimo", "tricentésimo", "quadrigentésimo", "quingentésimo",
        "seiscentésimo", "septigentésimo", "octigentésimo", "nongentésimo"};
    if (valor >= 2000) return cardinalTts(valor);
    if (valor == 0) return "zero";
    std::string r;
    auto poe = [&](std::string palavra) {
        if (palavra.empty()) return;
        if (genero == 'f') palavra.back() = 'a';
        if (!r.empty()) r += ' ';
        r += palavra;
    };
    if (valor >= 1000) poe(w("milésimo"));
    poe(w(centenas[valor / 100 % 10]));
    poe(w(dezenas[valor / 10 % 10]));
    poe(w(unidades[valor % 10]));
    return r;
}

std::string nomeCaractereTts(unsigned char c) { return nomes()[c]; }

bool PreprocTts::carregaAbreviaturas(const std::filesystem::path& arquivo) {
    return abreviaturas_.carrega(arquivo);
}

void PreprocTts::carregaAbreviaturasTexto(std::string_view texto) {
    abreviaturas_.carregaTexto(texto);
}

const std::string* PreprocTts::abreviatura(std::string_view palavra) const {
    return abreviaturas_.expansao(palavra);
}

// The word at `i` (a letter); a hyphen between letters is passed over. Acronyms are spelled
// and abbreviations expanded. The position after it.
size_t PreprocTts::palavra(std::string_view t, size_t i, std::string& saida) const {
    std::string p;
    for (; i < t.size(); ++i) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (letra(c)) p += t[i];
        else if (!(c == '-' && !p.empty() && letra(naPosicao(t, i + 1)))) break;
    }
    // "nº" and the like: the ordinal sign belongs to the abbreviation.
    if (naPosicao(t, i) == kOrdinalMasculino || naPosicao(t, i) == kOrdinalFeminino) {
        if (const std::string* e = abreviatura(p + t[i])) {
            saida += *e;
            return naPosicao(t, i + 1) == '.' ? i + 2 : i + 1;
        }
    }
    // Units and acronyms that the file lists ("km", "Dr") need no full stop to be found; the
    // stop of one that ends the sentence stays, for the pause ("etc.").
    if (auto a = abreviaturas_.leitura(p, t.substr(i))) {
        saida += a->expansao;
        return a->levaPonto ? i + 1 : i;
    }
    const bool soConsoantes = std::all_of(p.begin(), p.end(), [](char c) {
        return consoante(static_cast<unsigned char>(c));
    });
    if (soConsoantes) {
        for (char c : p) saida += nomeCaractereTts(static_cast<unsigned char>(c));
    } else {
        saida += p;
    }
    return i;
}

std::string PreprocTts::normaliza(std::string_view entrada) const {
    std::string umNome;
    if (entrada.size() == 1) {
        umNome = nomeCaractereTts(static_cast<unsigned char>(entrada[0]));
        entrada = umNome;
    }
    const std::string_view t = entrada;
    std::string saida;
    for (size_t i = 0; i < t.size();) {
        const auto c = static_cast<unsigned char>(t[i]);
        if (c == ' ' && t.substr(i).starts_with(" - ")) {
            saida += " ,";  // a dash between blanks is a pause
            i += 2;
        } else if (c == '-' && digito(naPosicao(t, i + 1))) {
            saida += "menos ";
            ++i;
        } else if (letra(c)) {
            i = palavra(t, i, saida);
        } else if (t.substr(i).starts_with("...")) {
            saida += "... ";
            i += 3;
        } else if (c == '.' && !separador(t, i + 1)) {
            saida += " ponto ";  // as in an address
            ++i;
        } else if (digito(c)) {
            i = numero(t, i, saida);
            while ((naPosicao(t, i) == ',' || naPosicao(t, i) == '.') && digito(naPosicao(t, i + 1))) {
                saida += naPosicao(t, i) == ',' ? w("vírgula ") : "ponto ";
                i = numero(t, i + 1, saida);
            }
        } else if (c == '\t' || c == '\n' || c == '\r') {
            saida += ' ';  // a line end still parts two words
            ++i;
        } else if (em(" !(),.:;?", c)) {
            saida += t[i++];
        } else {
            saida += " " + nomeCaractereTts(c) + " ";
            ++i;
        }
    }
    return compacta(saida);
}
