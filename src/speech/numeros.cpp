#include "speech/numeros.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, 10> kUnidades = {"zero",  "um",   "dois", "tres", "quatro",
                                                   "cinco", "seis", "sete", "oito", "nove"};
constexpr std::array<const char*, 10> kDez = {"dez",      "onze",    "doze",      "treze",
                                              "quatorze", "quinze",  "dezesseis", "dezessete",
                                              "dezoito",  "dezenove"};
constexpr std::array<const char*, 10> kDezenas = {"",         "",          "vinte",    "trinta",
                                                  "quarenta", "cinquenta", "sessenta", "setenta",
                                                  "oitenta",  "noventa"};
constexpr std::array<const char*, 10> kCentenas = {
    "",           "cento",      "duzentos",   "trezentos",  "quatrocentos",
    "quinhentos", "seiscentos", "setecentos", "oitocentos", "novecentos"};

// Names of the first four groups of three digits, singular and plural (Windows-1252).
constexpr std::array<const char*, 4> kGrupoUm = {"trilh\xE3o ", "bilh\xE3o ", "milh\xE3o ", "mil "};
constexpr std::array<const char*, 4> kGrupoVarios = {
    "trilh\xF5"
    "es ",
    "bilh\xF5"
    "es ",
    "milh\xF5"
    "es ",
    "mil "};

constexpr std::array<const char*, 7> kDiasSemana = {"Domingo", "Segunda", "Terca", "Quarta",
                                                    "Quinta",  "Sexta",   "Sabado"};
constexpr std::array<const char*, 12> kMeses = {"Janeiro",  "Fevereiro", "Marco",    "Abril",
                                                "Maio",     "Junho",     "Julho",    "Agosto",
                                                "Setembro", "Outubro",   "Novembro", "Dezembro"};

constexpr int kDigitos = 15;
constexpr size_t kTamanhoNomeArquivo = 8;  // "_" and seven letters

// One group of three digits in words; empty for "000".
std::string grupoExtenso(int a, int b, int c) {
    if (a == 0 && b == 0 && c == 0) return {};
    if (a == 1 && b == 0 && c == 0) return "cem";
    std::string s;
    if (a != 0) {
        s = kCentenas[a];
        if (b == 0 && c == 0) return s;
        s += " e ";
    }
    if (b == 1) return s + kDez[c];
    if (b != 0) {
        s += kDezenas[b];
        if (c == 0) return s;
        s += " e ";
    }
    if (c != 0) s += kUnidades[c];
    return s;
}

std::string digitoADigito(const std::string& digitos) {
    std::string s;
    for (char d : digitos) {
        if (!s.empty()) s += ' ';
        s += kUnidades[d - '0'];
    }
    return s;
}

std::string nomeArquivo(std::string palavra) {
    for (char& c : palavra) {
        if (c == '\xE3') c = 'a';
        if (c == '\xF5') c = 'o';
    }
    if (palavra == "dezessete") palavra = "dezeset";
    return ("_" + palavra).substr(0, kTamanhoNomeArquivo);
}

void acrescenta(std::vector<std::string>& destino, std::vector<std::string> origem) {
    destino.insert(destino.end(), origem.begin(), origem.end());
}

}  // namespace

std::string numeroExtenso(uint64_t n) {
    if (n == 0) return "zero";
    std::string digitos = std::to_string(n);
    if (digitos.size() > kDigitos) return digitoADigito(digitos);
    digitos.insert(0, kDigitos - digitos.size(), '0');

    std::array<std::string, 5> grupos;
    for (int g = 0; g < 5; ++g) {
        const int a = digitos[3 * g] - '0', b = digitos[3 * g + 1] - '0',
                  c = digitos[3 * g + 2] - '0';
        grupos[g] = grupoExtenso(a, b, c);
        if (g < 4 && !grupos[g].empty()) {
            const bool um = a == 0 && b == 0 && c == 1;
            grupos[g] += std::string(" ") + (um ? kGrupoUm[g] : kGrupoVarios[g]);
        }
    }
    int ultimo = 4;
    while (grupos[ultimo].empty()) --ultimo;
    std::string s;
    for (int g = 0; g <= ultimo; ++g) {
        if (g == ultimo && !s.empty()) s += "e ";
        s += grupos[g];
    }
    // "um mil" is said "mil"; "um milhão" stays.
    if (s.starts_with("um mil") && !s.starts_with("um milh")) s.erase(0, 3);
    return s;
}

std::vector<std::string> arquivosExtenso(std::string_view palavras, bool feminino) {
    std::vector<std::string> arquivos;
    size_t pos = 0;
    while (pos < palavras.size()) {
        const size_t inicio = palavras.find_first_not_of(' ', pos);
        if (inicio == std::string_view::npos) break;
        size_t fim = palavras.find(' ', inicio);
        if (fim == std::string_view::npos) fim = palavras.size();
        arquivos.push_back(nomeArquivo(std::string(palavras.substr(inicio, fim - inicio))));
        pos = fim;
    }
    if (feminino && !arquivos.empty()) {
        std::string& ultimo = arquivos.back();
        if (ultimo == "_um") ultimo = "_uma";
        if (ultimo == "_dois") ultimo = "_duas";
    }
    return arquivos;
}

int diaDaSemana(int dia, int mes, int ano) {
    // Days since 1 March of year 0 of the proleptic Gregorian calendar, months counted
    // from March so that the leap day falls at the end of the year.
    const int64_t a = static_cast<int64_t>(ano) - (mes <= 2 ? 1 : 0);
    const int64_t era = (a >= 0 ? a : a - 399) / 400;
    const int64_t anoDaEra = a - era * 400;
    const int64_t m = ((mes + 9) % 12 + 12) % 12;
    const int64_t diaDoAno = (153 * m + 2) / 5 + dia - 1;
    const int64_t diaDaEra = anoDaEra * 365 + anoDaEra / 4 - anoDaEra / 100 + diaDoAno;
    const int64_t dias = era * 146097 + diaDaEra;  // 1 March of year 0 was a Wednesday
    return static_cast<int>(((dias + 3) % 7 + 7) % 7);
}

std::vector<std::string> arquivosHora(int horas, int minutos) {
    horas = std::max(horas, 0);
    minutos = std::max(minutos, 0);
    std::vector<std::string> a = arquivosExtenso(numeroExtenso(static_cast<uint64_t>(horas)), true);
    a.push_back(horas < 2 ? "_hora" : "_horas");
    if (minutos != 0) {
        acrescenta(a, arquivosExtenso(numeroExtenso(static_cast<uint64_t>(minutos)), false));
        a.push_back(minutos < 2 ? "_minuto" : "_minutos");
    }
    return a;
}

std::vector<std::string> arquivosData(int dia, int mes, int ano) {
    std::vector<std::string> a{std::string("_") + kDiasSemana[diaDaSemana(dia, mes, ano)]};
    if (dia == 1)
        a.push_back("_primeir");
    else
        acrescenta(a,
                   arquivosExtenso(numeroExtenso(static_cast<uint64_t>(std::max(dia, 0))), false));
    a.push_back("_de");
    if (mes >= 1 && mes <= 12) a.push_back(("_" + std::string(kMeses[mes - 1])).substr(0, 8));
    a.push_back("_de");
    // From 2000 on the whole year ("dois mil e sete", "dois mil e cem"); before, only
    // its last two digits.
    if (ano >= 2000)
        acrescenta(a, arquivosExtenso(numeroExtenso(static_cast<uint64_t>(ano)), false));
    else if (ano > 0 && ano % 100 != 0)
        acrescenta(a, arquivosExtenso(numeroExtenso(static_cast<uint64_t>(ano % 100)), false));
    return a;
}
