// The operators and the function library: the radian functions at one point each (values
// computed apart), the language's own conventions and domain edges, the degree functions
// and the unit conversions through their twins, and the number texts.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

struct Ponto {
    const char* nome;
    double a;       // the left value: the coefficient 1 for a one-value function
    double b;
    double esperado;
    int erro;
};

// Degrees are exact at multiples of 90 (DCOS(90) is 0, DTAN(90) a division by zero);
// arccot is pi/2 - arctan; a negative base takes an odd root or integer power only; one
// conversion of each kind keeps its factor's direction.
const Ponto pontos[] = {
    {"RCOS", 1, 1.0, 0.5403023058681398, 0},
    {"RSIN", 1, 0.5, 0.479425538604203, 0},
    {"RTAN", 1, 1.0, 1.5574077246549023, 0},
    {"LN", 1, 10.0, 2.302585092994046, 0},
    {"LN", 1, 0.0, 0, 5},
    {"LN", 1, -1.0, 0, 5},
    {"EXP", 1, 1.0, 2.718281828459045, 0},
    {"EXP", 1, 1000.0, 0, 5},
    {"NEG", 1, 3.5, -3.5, 0},
    {"RATAN", 1, 1.0, 0.7853981633974483, 0},
    {"SQR", 1, -3.0, 9.0, 0},
    {"SQRT", 1, 2.0, 1.4142135623730951, 0},
    {"SQRT", 1, -1.0, 0, 119},
    {"ABS", 1, -2.5, 2.5, 0},
    {"ROUND", 1, 2.5, 2.0, 0},
    {"ROUND", 1, 3.5, 4.0, 0},
    {"ROUND", 1, -2.5, -2.0, 0},
    {"ROUND", 1, 2.6, 3.0, 0},
    {"TRUNC", 1, -2.7, -2.0, 0},
    {"FRAC", 1, -2.75, -0.75, 0},
    {"INT", 1, 2.9, 2.0, 0},
    {"RACOS", 1, 0.5, 1.0471975511965979, 0},
    {"RACOS", 1, 2.0, 0, 5},
    {"RASIN", 1, 0.5, 0.5235987755982989, 0},
    {"RASIN", 1, -1.5, 0, 5},
    {"RCOT", 1, 1.0, 0.6420926159343306, 0},
    {"RCOT", 1, 0.0, 0, 59},
    {"RSEC", 1, 0.5, 1.139493927324549, 0},
    {"RCSC", 1, 0.5, 2.085829642933488, 0},
    {"RCSC", 1, 0.0, 0, 59},
    {"RCOSH", 1, 1.0, 1.5430806348152437, 0},
    {"RTANH", 1, 0.5, 0.46211715726000974, 0},
    {"RCOTH", 1, 0.5, 2.163953413738653, 0},
    {"RCOTH", 1, 0.0, 0, 59},
    {"RSECH", 1, 1.0, 0.6480542736638855, 0},
    {"RCSCH", 1, 1.0, 0.8509181282393216, 0},
    {"RCSCH", 1, 0.0, 0, 59},
    {"RACOT", 1, 1.0, 0.7853981633974483, 0},
    {"RACOT", 1, 0.0, 1.5707963267948966, 0},
    {"RACOT", 1, -1.0, 2.356194490192345, 0},
    {"RASEC", 1, 2.0, 1.0471975511965979, 0},
    {"RASEC", 1, 0.5, 0, 5},
    {"RASEC", 1, 0.0, 0, 59},
    {"RACSC", 1, -2.0, -0.5235987755982989, 0},
    {"RACOSH", 1, 2.0, 1.3169578969248166, 0},
    {"RACOSH", 1, 0.5, 0, 5},
    {"RASINH", 1, 1.0, 0.881373587019543, 0},
    {"RATANH", 1, 0.5, 0.5493061443340548, 0},
    {"RATANH", 1, 1.0, 0, 5},
    {"RASECH", 1, 0.5, 1.3169578969248166, 0},
    {"RACSCH", 1, 2.0, 0.48121182505960347, 0},
    {"RSINH", 1, 1.0, 1.1752011936438014, 0},
    {"INC", 1, 2.7, 3.0, 0},
    {"INC", 1, -2.7, -1.0, 0},
    {"INC", 1, 3000000000.0, 0, 5},
    {"DEC", 1, -2.7, -3.0, 0},
    {"DEC", 1, 2.7, 1.0, 0},
    {"DCOS", 1, 90.0, 0, 0},
    {"DSIN", 1, 90.0, 1.0, 0},
    {"DSIN", 1, 180.0, 0, 0},
    {"DTAN", 1, 90.0, 0, 59},
    {"DCOT", 1, 0.0, 0, 59},
    {"DCSC", 1, 180.0, 0, 59},
    {"RACOTH", 1, 2.0, 0.5493061443340548, 0},
    {"RACOTH", 1, 0.5, 0, 5},
    {"LOG", 1, 1000.0, 3.0, 0},
    {"LOG", 1, 0.0, 0, 5},
    {"M_IN", 1, 2.0, 78.7402, 0},
    {"KG_LB", 1, 2.0, 4.4092, 0},
    {"L_GAL", 1, 2.0, 0.52834, 0},
    {"ATM_KPA", 1, 2.0, 202.65, 0},
    {"W_HP", 1, 2.0, 0.00268, 0},
    {"MS_KPH", 1, 2.0, 7.2, 0},
    {"N_DYN", 1, 2.0, 200000.0, 0},
    {"RAD_D", 1, 2.0, 114.59156, 0},
    {"DC_DK", 1, 0.0, 273.15, 0},
    {"DC_DF", 1, 100.0, 212.0, 0},
    {"DK_DC", 1, 0.0, -273.15, 0},
    {"DF_DC", 1, 212.0, 100.0, 0},
    {"DK_DF", 1, 0.0, -459.67, 0},
    {"DF_DK", 1, 32.0, 273.15, 0},
    {"ROOT", 3.0, 27.0, 3.0, 0},
    {"ROOT", 2.0, 16.0, 4.0, 0},
    {"ROOT", 3.0, -27.0, -3.0, 0},
    {"ROOT", 2.0, -16.0, 0, 119},
    {"ROOT", 0.0, 5.0, 0, 59},
    {"POW", 2.0, 10.0, 1024.0, 0},
    {"POW", -2.0, 3.0, -8.0, 0},
    {"POW", -2.0, 2.0, 4.0, 0},
    {"POW", -2.0, 0.5, 0, 119},
    {"POW", -2.0, 2.5, 0, 119},
    {"POW", 0.0, -1.0, 0, 59},
    {"POW", 0.0, 0.0, 1.0, 0},
    {"POW", -8.0, 0.333333333333333, -1.9999999999999984, 0},
    {"POW", -2.0, -3.0, -0.125, 0},
    {"POW", 10.0, 400.0, 0, 5},
    {"LOGB", 8.0, 2.0, 3.0, 0},
    {"LOGB", 100.0, 10.9, 2.0, 0},
    {"LOGB", 8.0, 1.0, 0, 59},
    {"LOGB", -8.0, 2.0, 0, 5},
};

ResultadoOperacao aplica(std::string_view nome, double a, double b) {
    return aplicaOperador(static_cast<unsigned char>(codigoPrimeiraFuncao + indiceFuncao(nome)), a, b);
}

bool iguais(const ResultadoOperacao& x, const ResultadoOperacao& y) {
    return x.erro == y.erro && std::fabs(x.valor - y.valor) <= 1e-9 * (1 + std::fabs(x.valor));
}

// Each function is checked at its place in the table: at its points, or against its twin.
// A degree function is its radian twin on the angle in radians (an inverse trigonometric
// one gives its angle in degrees); a conversion A_B undoes B_A.
TEST(FuncoesNumera, EveryFunctionAtItsPointsAndDomainEdges) {
    bool vistas[totalFuncoes] = {};
    for (const Ponto& p : pontos) {
        const int indice = indiceFuncao(p.nome);
        ASSERT_GE(indice, 0) << p.nome;
        vistas[indice] = true;
        const ResultadoOperacao r = aplica(p.nome, p.a, p.b);
        EXPECT_EQ(r.erro, p.erro) << p.nome << "(" << p.a << ", " << p.b << ")";
        if (p.erro == 0) {
            EXPECT_NEAR(r.valor, p.esperado, 1e-12 * (1 + std::fabs(p.esperado)))
                << p.nome << "(" << p.a << ", " << p.b << ")";
        }
    }
    const double grau = std::numbers::pi / 180;
    for (int i = 0; i < totalFuncoes; ++i) {
        const std::string nome(nomesFuncoes[i]);
        const std::string radianos = "R" + nome.substr(1);
        const size_t traco = nome.find('_');
        if (nome[0] == 'D' && indiceFuncao(radianos) >= 0) {
            const bool angulo = nome.starts_with("DA") && nome.back() != 'H';
            int validos = 0;
            for (double x : {0.5, 2.0, 100.0}) {
                ResultadoOperacao r = aplica(radianos, 1, angulo ? x : x * grau);
                if (angulo) r.valor /= grau;
                EXPECT_TRUE(iguais(aplica(nome, 1, x), r)) << nome << "(" << x << ")";
                validos += r.erro == 0;
            }
            EXPECT_GT(validos, 0) << nome;
            vistas[i] = true;
        } else if (traco != std::string::npos) {
            const std::string inverso = nome.substr(traco + 1) + "_" + nome.substr(0, traco);
            ASSERT_GE(indiceFuncao(inverso), 0) << nome;
            EXPECT_NEAR(aplica(nome, 1, aplica(inverso, 1, 3.5).valor).valor, 3.5, 1e-9) << nome;
            vistas[i] = true;
        }
    }
    for (int i = 0; i < totalFuncoes; ++i) EXPECT_TRUE(vistas[i]) << nomesFuncoes[i];
}

TEST(FuncoesNumera, CoefficientMultipliesExceptWhereIgnored) {
    EXPECT_DOUBLE_EQ(aplica("SQRT", 3, 16).valor, 12);
    EXPECT_DOUBLE_EQ(aplica("INC", 5, 2.7).valor, 3);
    EXPECT_DOUBLE_EQ(aplica("LOG", 5, 100).valor, 2);
    EXPECT_DOUBLE_EQ(aplica("KG_LB", 5, 1).valor, 2.2046);
    EXPECT_EQ(aplicaOperador('=', 1, 2).erro, 6);
}

TEST(FuncoesNumera, NumberTextsHaveFifteenDigitsAndReadBack) {
    EXPECT_EQ(textoGeral(1.0 / 3, '.'), "0.333333333333333");
    EXPECT_EQ(textoGeral(2.0 / 3, ','), "0,666666666666667");
    EXPECT_EQ(textoGeral(1.5e-10, ','), "1,5E-10");
    EXPECT_EQ(textoGeral(1e20, '.'), "1E+20");
    EXPECT_EQ(textoGeral(0.0001, '.'), "0.0001");
    EXPECT_EQ(textoGeral(0.00001, '.'), "1E-5");
    EXPECT_EQ(textoGeral(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(textoGeral(-273.15, '.'), "-273.15");
    EXPECT_EQ(textoGeral(-0.0, '.'), "0");
    double v = 0;
    for (const char* t : {"1.5E-3", "-2", ".5", "5.", "+7", "1E+20", "1e-400"}) EXPECT_TRUE(leNumero(t, '.', v)) << t;
    for (const char* t : {"", "INF", "NAN", "1,5", "0X10", "1E", "E3", "1.5E3X", "-", ".", "1E400", "2..3"})
        EXPECT_FALSE(leNumero(t, '.', v)) << t;
    ASSERT_TRUE(leNumero("1,5E-3", ',', v));
    EXPECT_DOUBLE_EQ(v, 0.0015);
}

}  // namespace
