// The operators and the function library: the domain edges, the degree functions and the unit
// conversions through their twins, and the number texts. Every function's value at a point of
// its domain is the acceptance case numera_funcoes_valores.
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
    int erro;
};

// Where a function has no value: DTAN(90) is a division by zero, a negative base takes an
// odd root or integer power only, and values too large are refused.
const Ponto pontos[] = {
    {"LN", 1, 0.0, 5},
    {"LN", 1, -1.0, 5},
    {"EXP", 1, 1000.0, 5},
    {"SQRT", 1, -1.0, 119},
    {"RACOS", 1, 2.0, 5},
    {"RASIN", 1, -1.5, 5},
    {"RCOT", 1, 0.0, 59},
    {"RCSC", 1, 0.0, 59},
    {"RCOTH", 1, 0.0, 59},
    {"RCSCH", 1, 0.0, 59},
    {"RASEC", 1, 0.5, 5},
    {"RASEC", 1, 0.0, 59},
    {"RACOSH", 1, 0.5, 5},
    {"RATANH", 1, 1.0, 5},
    {"INC", 1, 3000000000.0, 5},
    {"DTAN", 1, 90.0, 59},
    {"DCOT", 1, 0.0, 59},
    {"DCSC", 1, 180.0, 59},
    {"RACOTH", 1, 0.5, 5},
    {"LOG", 1, 0.0, 5},
    {"ROOT", 2.0, -16.0, 119},
    {"ROOT", 0.0, 5.0, 59},
    {"POW", -2.0, 0.5, 119},
    {"POW", -2.0, 2.5, 119},
    {"POW", 0.0, -1.0, 59},
    {"POW", 10.0, 400.0, 5},
    {"LOGB", 8.0, 1.0, 59},
    {"LOGB", -8.0, 2.0, 5},
};

ResultadoOperacao aplica(std::string_view nome, double a, double b) {
    return aplicaOperador(static_cast<unsigned char>(codigoPrimeiraFuncao + indiceFuncao(nome)), a, b);
}

bool iguais(const ResultadoOperacao& x, const ResultadoOperacao& y) {
    return x.erro == y.erro && std::fabs(x.valor - y.valor) <= 1e-9 * (1 + std::fabs(x.valor));
}

// Each function's domain edges give their faults; a degree function is its radian twin on
// the angle in radians (an inverse trigonometric one gives its angle in degrees); a
// conversion A_B undoes B_A.
TEST(FuncoesNumera, DomainEdgesDegreeTwinsAndConversionsBothWays) {
    for (const Ponto& p : pontos) {
        ASSERT_GE(indiceFuncao(p.nome), 0) << p.nome;
        EXPECT_EQ(aplica(p.nome, p.a, p.b).erro, p.erro) << p.nome << "(" << p.a << ", " << p.b << ")";
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
        } else if (traco != std::string::npos) {
            const std::string inverso = nome.substr(traco + 1) + "_" + nome.substr(0, traco);
            ASSERT_GE(indiceFuncao(inverso), 0) << nome;
            EXPECT_NEAR(aplica(nome, 1, aplica(inverso, 1, 3.5).valor).valor, 3.5, 1e-9) << nome;
        }
    }
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
