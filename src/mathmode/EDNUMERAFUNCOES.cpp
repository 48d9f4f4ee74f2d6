#include "mathmode/EDNUMERAFUNCOES.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

namespace {

constexpr double pi = std::numbers::pi;

ResultadoOperacao valor(double v) { return {v, 0}; }
ResultadoOperacao erro(int codigo) { return {0, codigo}; }

// 1/d, with division by zero reported as such (cot, sec, csc and their kin).
ResultadoOperacao inverso(double d) { return d == 0 ? erro(59) : valor(1 / d); }
ResultadoOperacao quociente(double n, double d) { return d == 0 ? erro(59) : valor(n / d); }

double radianos(double graus) { return graus * pi / 180; }
double graus(double radianos) { return radianos * 180 / pi; }

// Sine and cosine of an angle in degrees, exact where the value is 0 or 1 so that a
// student's DCOS(90) is 0 and DTAN(90) a division by zero, not a tiny or huge number.
double senoGraus(double g) {
    const double r = std::fmod(g, 360.0);
    if (r == 0 || r == 180 || r == -180) return 0;
    if (r == 90 || r == -270) return 1;
    if (r == 270 || r == -90) return -1;
    return std::sin(radianos(r));
}
double cossenoGraus(double g) { return senoGraus(g + 90); }

// ln and log10 are defined for positive values only.
ResultadoOperacao logaritmo(double x, double (*f)(double)) { return x > 0 ? valor(f(x)) : erro(5); }

// Whole once written with the language's 15 digits (1/(2e) of a root index carries the
// error of 1/a, which the text form drops).
bool inteiro15(double v) {
    double lido = 0;
    if (!leNumero(textoGeral(v, '.'), '.', lido)) return false;
    return std::isfinite(lido) && lido == std::trunc(lido);
}

// x^e, where a negative base has a real result only for the exponents the language
// accepts: never for an even root, never when q (e, or 1/e below 1) has an odd decimal,
// and then negative when trunc(q) is odd.
ResultadoOperacao potencia(double x, double e) {
    if (x >= 0) {
        if (x == 0 && e < 0) return erro(59);
        return valor(std::pow(x, e));
    }
    if (e == 0) return valor(1);
    if (inteiro15(1 / (2 * e))) return erro(119);
    const double q = std::fabs(e) >= 1 ? e : 1 / e;
    const std::string textoQ = textoGeral(q, '.');
    const size_t ponto = textoQ.find('.');
    if (ponto != std::string::npos) {
        for (size_t i = ponto + 1; i < textoQ.size() && textoQ[i] != 'E'; ++i)
            if ((textoQ[i] - '0') % 2 == 1) return erro(119);
    }
    const double r = std::pow(-x, e);
    const std::string inteira = textoGeral(std::trunc(q), '.');
    const char ultimo = inteira.back();
    const bool impar = ultimo >= '0' && ultimo <= '9' && (ultimo - '0') % 2 == 1;
    return valor(impar ? -r : r);
}

ResultadoOperacao raiz(double indice, double radicando) {
    if (indice == 0) return erro(59);
    return potencia(radicando, 1 / indice);
}

// a LOGB b: the logarithm of a to the base trunc(b).
ResultadoOperacao logaritmoBase(double a, double b) {
    const double base = std::trunc(b);
    if (a <= 0 || base <= 0) return erro(5);
    return quociente(std::log(a), std::log(base));
}

// Halves go to the even neighbour.
double arredonda(double x) {
    const double r = std::round(x);
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2 * std::round(x / 2);
    return r;
}

// INC and DEC work on 32-bit integers.
ResultadoOperacao inteiro32(double v) {
    if (v > INT32_MAX || v < INT32_MIN) return erro(5);
    return valor(v);
}

ResultadoOperacao raizQuadrada(double x) { return x < 0 ? erro(119) : valor(std::sqrt(x)); }

double arcoCotangente(double x) { return pi / 2 - std::atan(x); }

using Unaria = ResultadoOperacao (*)(double);

enum class Forma { coeficiente, semCoeficiente, binaria };

struct Funcao {
    Forma forma;
    Unaria f;
};

constexpr Funcao coef(Unaria f) { return {Forma::coeficiente, f}; }
constexpr Funcao puro(Unaria f) { return {Forma::semCoeficiente, f}; }
constexpr Funcao binaria() { return {Forma::binaria, nullptr}; }

// The conversions multiply or divide by the table's factor.
#define FATOR(f) [](double x) { return valor((f) * x); }
#define DIVISOR(f) [](double x) { return valor(x / (f)); }

// In table order: index i is the function with code 126 + i.
const std::array<Funcao, totalFuncoes> funcoes = {{
    coef([](double x) { return valor(std::cos(x)); }),                     // RCOS
    coef([](double x) { return valor(std::sin(x)); }),                     // RSIN
    coef([](double x) { return valor(std::tan(x)); }),                     // RTAN
    coef([](double x) { return logaritmo(x, std::log); }),                 // LN
    coef([](double x) { return valor(std::exp(x)); }),                     // EXP
    coef([](double x) { return valor(-x); }),                              // NEG
    coef([](double x) { return valor(std::atan(x)); }),                    // RATAN
    coef([](double x) { return valor(x * x); }),                           // SQR
    coef(raizQuadrada),                                                    // SQRT
    coef([](double x) { return valor(std::fabs(x)); }),                    // ABS
    coef([](double x) { return valor(arredonda(x)); }),                    // ROUND
    coef([](double x) { return valor(std::trunc(x)); }),                   // TRUNC
    coef([](double x) { return valor(x - std::trunc(x)); }),               // FRAC
    coef([](double x) { return valor(std::trunc(x)); }),                   // INT
    binaria(),                                                             // ROOT
    binaria(),                                                             // POW
    coef([](double x) { return valor(std::acos(x)); }),                    // RACOS
    coef([](double x) { return valor(std::asin(x)); }),                    // RASIN
    coef([](double x) { return quociente(std::cos(x), std::sin(x)); }),    // RCOT
    coef([](double x) { return inverso(std::cos(x)); }),                   // RSEC
    coef([](double x) { return inverso(std::sin(x)); }),                   // RCSC
    coef([](double x) { return valor(std::cosh(x)); }),                    // RCOSH
    coef([](double x) { return valor(std::tanh(x)); }),                    // RTANH
    coef([](double x) { return inverso(std::tanh(x)); }),                  // RCOTH
    coef([](double x) { return inverso(std::cosh(x)); }),                  // RSECH
    coef([](double x) { return inverso(std::sinh(x)); }),                  // RCSCH
    coef([](double x) { return valor(arcoCotangente(x)); }),               // RACOT
    coef([](double x) { return x == 0 ? erro(59) : valor(std::acos(1 / x)); }),   // RASEC
    coef([](double x) { return x == 0 ? erro(59) : valor(std::asin(1 / x)); }),   // RACSC
    coef([](double x) { return valor(std::acosh(x)); }),                   // RACOSH
    coef([](double x) { return valor(std::asinh(x)); }),                   // RASINH
    coef([](double x) { return valor(std::atanh(x)); }),                   // RATANH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::acosh(1 / x)); }),  // RASECH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::asinh(1 / x)); }),  // RACSCH
    coef([](double x) { return valor(std::sinh(x)); }),                    // RSINH
    puro([](double x) { return inteiro32(std::trunc(x) + 1); }),           // INC
    puro([](double x) { return inteiro32(std::trunc(x) - 1); }),           // DEC
    coef([](double x) { return valor(cossenoGraus(x)); }),                 // DCOS
    coef([](double x) { return valor(senoGraus(x)); }),                    // DSIN
    coef([](double x) { return quociente(senoGraus(x), cossenoGraus(x)); }),   // DTAN
    coef([](double x) { return valor(graus(std::atan(x))); }),             // DATAN
    coef([](double x) { return valor(graus(std::acos(x))); }),             // DACOS
    coef([](double x) { return valor(graus(std::asin(x))); }),             // DASIN
    coef([](double x) { return quociente(cossenoGraus(x), senoGraus(x)); }),   // DCOT
    coef([](double x) { return inverso(cossenoGraus(x)); }),               // DSEC
    coef([](double x) { return inverso(senoGraus(x)); }),                  // DCSC
    coef([](double x) { return valor(std::cosh(radianos(x))); }),          // DCOSH
    coef([](double x) { return valor(std::tanh(radianos(x))); }),          // DTANH
    coef([](double x) { return inverso(std::tanh(radianos(x))); }),        // DCOTH
    coef([](double x) { return inverso(std::cosh(radianos(x))); }),        // DSECH
    coef([](double x) { return inverso(std::sinh(radianos(x))); }),        // DCSCH
    coef([](double x) { return valor(graus(arcoCotangente(x))); }),        // DACOT
    coef([](double x) { return x == 0 ? erro(59) : valor(graus(std::acos(1 / x))); }),  // DASEC
    coef([](double x) { return x == 0 ? erro(59) : valor(graus(std::asin(1 / x))); }),  // DACSC
    coef([](double x) { return valor(std::acosh(radianos(x))); }),         // DACOSH
    coef([](double x) { return valor(std::asinh(radianos(x))); }),         // DASINH
    coef([](double x) { return valor(std::atanh(radianos(x))); }),         // DATANH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::acosh(1 / radianos(x))); }),  // DASECH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::asinh(1 / radianos(x))); }),  // DACSCH
    coef([](double x) { return valor(std::sinh(radianos(x))); }),          // DSINH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::atanh(1 / x)); }),  // RACOTH
    coef([](double x) { return x == 0 ? erro(59) : valor(std::atanh(1 / radianos(x))); }),  // DACOTH
    binaria(),                                                             // LOGB
    puro(FATOR(39.3701)),      // M_IN
    puro(FATOR(3.28084)),      // M_FT
    puro(FATOR(1.09361)),      // M_YD
    puro(DIVISOR(39.3701)),    // IN_M
    puro(DIVISOR(3.28084)),    // FT_M
    puro(DIVISOR(1.09361)),    // YD_M
    puro(FATOR(35.274)),       // KG_OZ
    puro(FATOR(2.2046)),       // KG_LB
    puro(FATOR(0.001)),        // KG_TN
    puro(DIVISOR(35.274)),     // OZ_KG
    puro(DIVISOR(2.2046)),     // LB_KG
    puro(DIVISOR(0.001)),      // TN_KG
    puro(FATOR(33.81402)),     // L_OZ
    puro(FATOR(0.26417)),      // L_GAL
    puro(DIVISOR(33.81402)),   // OZ_L
    puro(DIVISOR(0.26417)),    // GAL_L
    puro(FATOR(1.01325)),      // ATM_BAR
    puro(FATOR(101.325)),      // ATM_KPA
    puro(FATOR(14.696)),       // ATM_PSI
    puro(FATOR(760.00212)),    // ATM_TORR
    puro(DIVISOR(1.01325)),    // BAR_ATM
    puro(DIVISOR(101.325)),    // KPA_ATM
    puro(DIVISOR(14.696)),     // PSI_ATM
    puro(DIVISOR(760.00212)),  // TORR_ATM
    puro(FATOR(0.00134)),      // W_HP
    puro(FATOR(0.23906)),      // W_CALS
    puro(DIVISOR(0.00134)),    // HP_W
    puro(DIVISOR(0.23906)),    // CALS_W
    puro(FATOR(3.28084)),      // MS_FTS
    puro(FATOR(1.94385)),      // MS_KN
    puro(FATOR(2.23694)),      // MS_MPH
    puro(FATOR(3.6)),          // MS_KPH
    puro(DIVISOR(3.28084)),    // FTS_MS
    puro(DIVISOR(1.94385)),    // KN_MS
    puro(DIVISOR(2.23694)),    // MPH_MS
    puro(DIVISOR(3.6)),        // KPH_MS
    puro(FATOR(100000.0)),     // N_DYN
    puro(FATOR(1.0)),          // N_JM
    puro(FATOR(0.10197)),      // N_KIN
    puro(DIVISOR(100000.0)),   // DYN_N
    puro(FATOR(1.0)),          // JM_N
    puro(DIVISOR(0.10197)),    // KIN_N
    puro([](double x) { return valor(x + 273.15); }),            // DC_DK
    puro([](double x) { return valor(1.8 * x + 32); }),          // DC_DF
    puro([](double x) { return valor(x - 273.15); }),            // DK_DC
    puro([](double x) { return valor((x - 32) * 5 / 9); }),      // DF_DC
    puro([](double x) { return valor(1.8 * x - 459.67); }),      // DK_DF
    puro([](double x) { return valor((x + 459.67) * 5 / 9); }),  // DF_DK
    puro(DIVISOR(57.29578)),   // D_RAD
    puro(FATOR(57.29578)),     // RAD_D
    puro([](double x) { return logaritmo(x, std::log10); }),     // LOG
}};

#undef FATOR
#undef DIVISOR

constexpr int indicePotencia = 15;  // POW; ROOT is 14, LOGB 62
constexpr int indiceRaiz = 14;
constexpr int indiceLogaritmoBase = 62;

ResultadoOperacao aplicaFuncao(int indice, double a, double b) {
    const Funcao& f = funcoes[static_cast<size_t>(indice)];
    switch (f.forma) {
    case Forma::coeficiente: {
        ResultadoOperacao r = f.f(b);
        r.valor *= a;
        return r;
    }
    case Forma::semCoeficiente: return f.f(b);
    case Forma::binaria: break;
    }
    if (indice == indiceRaiz) return raiz(a, b);
    if (indice == indicePotencia) return potencia(a, b);
    return logaritmoBase(a, b);
}

}  // namespace

bool ehCodigoFuncao(unsigned char c) {
    return c >= codigoPrimeiraFuncao && c < codigoPrimeiraFuncao + totalFuncoes;
}

bool ehFuncaoBinaria(unsigned char c) {
    return ehCodigoFuncao(c) && funcoes[c - codigoPrimeiraFuncao].forma == Forma::binaria;
}

ResultadoOperacao aplicaOperador(unsigned char operador, double a, double b) {
    ResultadoOperacao r;
    switch (operador) {
    case '+': r = valor(a + b); break;
    case '-': r = valor(a - b); break;
    case '*': r = valor(a * b); break;
    case '/': r = quociente(a, b); break;
    default:
        if (!ehCodigoFuncao(operador)) return erro(6);
        r = aplicaFuncao(operador - codigoPrimeiraFuncao, a, b);
    }
    // Overflow and results outside a function's domain (ln 0, arccos 2) have no value.
    if (r.erro == 0 && !std::isfinite(r.valor)) return erro(5);
    return r;
}

std::string textoGeral(double v, char separador) {
    if (v == 0) return "0";
    if (!std::isfinite(v)) return std::isnan(v) ? "NAN" : (v > 0 ? "INF" : "-INF");
    char buf[48];
    const auto fim = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15).ptr;
    std::string texto;
    texto.reserve(24);
    for (const char* p = buf; p < fim; ++p) {
        if (*p == '.') {
            texto += separador;
        } else if (*p == 'e') {
            // "e-05" becomes "E-5": sign kept, leading zeros of the exponent dropped.
            texto += 'E';
            texto += *++p;
            ++p;
            while (p + 1 < fim && *p == '0') ++p;
            texto.append(p, static_cast<size_t>(fim - p));
            break;
        } else {
            texto += *p;
        }
    }
    return texto;
}

bool leNumero(std::string_view texto, char separador, double& valor) {
    char buf[400];
    if (texto.empty() || texto.size() >= sizeof buf) return false;
    size_t i = 0, n = 0;
    auto digitos = [&] {
        size_t k = 0;
        while (i < texto.size() && texto[i] >= '0' && texto[i] <= '9') buf[n++] = texto[i++], ++k;
        return k;
    };
    if (texto[i] == '-') buf[n++] = texto[i++];
    else if (texto[i] == '+') ++i;
    size_t mantissa = digitos();
    if (i < texto.size() && texto[i] == separador) {
        buf[n++] = '.';
        ++i;
        mantissa += digitos();
    }
    if (mantissa == 0) return false;
    if (i < texto.size() && (texto[i] == 'E' || texto[i] == 'e')) {
        buf[n++] = 'e';
        ++i;
        if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) buf[n++] = texto[i++];
        if (digitos() == 0) return false;
    }
    if (i != texto.size()) return false;
    const auto r = std::from_chars(buf, buf + n, valor);
    if (r.ec == std::errc::result_out_of_range && std::string_view(buf, n).find("e-") != std::string_view::npos) {
        valor = 0;  // too small to hold: zero, as the arithmetic would make it
        return true;
    }
    return r.ec == std::errc() && r.ptr == buf + n && std::isfinite(valor);
}
