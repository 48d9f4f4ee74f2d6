// The operators and the function library against values computed apart (Python's math
// module; by hand for the language's own conventions), and the number texts.
#include <gtest/gtest.h>

#include <cmath>

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
// arccot is pi/2 - arctan; a negative base takes an odd root or integer power only.
const Ponto pontos[] = {
    {"RCOS", 1, 0.0, 1.0, 0},
    {"RCOS", 1, 1.0, 0.5403023058681398, 0},
    {"RCOS", 1, -2.5, -0.8011436155469337, 0},
    {"RSIN", 1, 0.5, 0.479425538604203, 0},
    {"RSIN", 1, -1.0, -0.8414709848078965, 0},
    {"RTAN", 1, 1.0, 1.5574077246549023, 0},
    {"RTAN", 1, -0.3, -0.30933624960962325, 0},
    {"LN", 1, 1.0, 0.0, 0},
    {"LN", 1, 10.0, 2.302585092994046, 0},
    {"LN", 1, 0.0, 0, 5},
    {"LN", 1, -1.0, 0, 5},
    {"EXP", 1, 1.0, 2.718281828459045, 0},
    {"EXP", 1, -2.0, 0.1353352832366127, 0},
    {"EXP", 1, 1000.0, 0, 5},
    {"NEG", 1, 3.5, -3.5, 0},
    {"RATAN", 1, 1.0, 0.7853981633974483, 0},
    {"RATAN", 1, -10.0, -1.4711276743037347, 0},
    {"SQR", 1, -3.0, 9.0, 0},
    {"SQRT", 1, 16.0, 4.0, 0},
    {"SQRT", 1, 2.0, 1.4142135623730951, 0},
    {"SQRT", 1, 0.0, 0.0, 0},
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
    {"RACOS", 1, 1.0, 0.0, 0},
    {"RACOS", 1, 2.0, 0, 5},
    {"RASIN", 1, 0.5, 0.5235987755982989, 0},
    {"RASIN", 1, -1.0, -1.5707963267948966, 0},
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
    {"RACSC", 1, 2.0, 0.5235987755982989, 0},
    {"RACSC", 1, -2.0, -0.5235987755982989, 0},
    {"RACOSH", 1, 1.0, 0.0, 0},
    {"RACOSH", 1, 2.0, 1.3169578969248166, 0},
    {"RACOSH", 1, 0.5, 0, 5},
    {"RASINH", 1, 1.0, 0.881373587019543, 0},
    {"RATANH", 1, 0.5, 0.5493061443340548, 0},
    {"RATANH", 1, 1.0, 0, 5},
    {"RASECH", 1, 0.5, 1.3169578969248166, 0},
    {"RASECH", 1, 1.0, 0.0, 0},
    {"RACSCH", 1, 2.0, 0.48121182505960347, 0},
    {"RSINH", 1, 1.0, 1.1752011936438014, 0},
    {"INC", 1, 2.7, 3.0, 0},
    {"INC", 1, -2.7, -1.0, 0},
    {"INC", 1, 3000000000.0, 0, 5},
    {"DEC", 1, -2.7, -3.0, 0},
    {"DEC", 1, 2.7, 1.0, 0},
    {"DCOS", 1, 60.0, 0.5000000000000001, 0},
    {"DCOS", 1, 90.0, 0, 0},
    {"DSIN", 1, 30.0, 0.49999999999999994, 0},
    {"DSIN", 1, 90.0, 1.0, 0},
    {"DSIN", 1, 180.0, 0, 0},
    {"DTAN", 1, 45.0, 0.9999999999999999, 0},
    {"DTAN", 1, 90.0, 0, 59},
    {"DATAN", 1, 1.0, 45.0, 0},
    {"DACOS", 1, 1.0, 0.0, 0},
    {"DACOS", 1, 0.5, 60.00000000000001, 0},
    {"DASIN", 1, 1.0, 90.0, 0},
    {"DCOT", 1, 45.0, 1.0000000000000002, 0},
    {"DCOT", 1, 0.0, 0, 59},
    {"DSEC", 1, 60.0, 1.9999999999999996, 0},
    {"DCSC", 1, 30.0, 2.0000000000000004, 0},
    {"DCSC", 1, 180.0, 0, 59},
    {"DCOSH", 1, 90.0, 2.5091784786580567, 0},
    {"DTANH", 1, 45.0, 0.6557942026326724, 0},
    {"DCOTH", 1, 45.0, 1.5248686188220641, 0},
    {"DSECH", 1, 90.0, 0.3985368153383867, 0},
    {"DCSCH", 1, 90.0, 0.4345372080946958, 0},
    {"DACOT", 1, 1.0, 45.0, 0},
    {"DACOT", 1, 0.0, 90.0, 0},
    {"DASEC", 1, 2.0, 60.00000000000001, 0},
    {"DACSC", 1, 2.0, 30.000000000000004, 0},
    {"DACOSH", 1, 90.0, 1.0232274785475506, 0},
    {"DASINH", 1, 90.0, 1.233403117511217, 0},
    {"DATANH", 1, 30.0, 0.581285011694723, 0},
    {"DASECH", 1, 45.0, 0.7233675245311801, 0},
    {"DACSCH", 1, 90.0, 0.599971479517857, 0},
    {"DSINH", 1, 90.0, 2.3012989023072947, 0},
    {"RACOTH", 1, 2.0, 0.5493061443340548, 0},
    {"RACOTH", 1, 0.5, 0, 5},
    {"DACOTH", 1, 180.0, 0.32976531495669914, 0},
    {"DACOTH", 1, 30.0, 0, 5},
    {"LOG", 1, 1000.0, 3.0, 0},
    {"LOG", 1, 0.0, 0, 5},
    {"M_IN", 1, 2.0, 78.7402, 0},
    {"M_FT", 1, 2.0, 6.56168, 0},
    {"M_YD", 1, 2.0, 2.18722, 0},
    {"KG_OZ", 1, 2.0, 70.548, 0},
    {"KG_LB", 1, 2.0, 4.4092, 0},
    {"KG_TN", 1, 2.0, 0.002, 0},
    {"L_OZ", 1, 2.0, 67.62804, 0},
    {"L_GAL", 1, 2.0, 0.52834, 0},
    {"ATM_BAR", 1, 2.0, 2.0265, 0},
    {"ATM_KPA", 1, 2.0, 202.65, 0},
    {"ATM_PSI", 1, 2.0, 29.392, 0},
    {"ATM_TORR", 1, 2.0, 1520.00424, 0},
    {"W_HP", 1, 2.0, 0.00268, 0},
    {"W_CALS", 1, 2.0, 0.47812, 0},
    {"MS_FTS", 1, 2.0, 6.56168, 0},
    {"MS_KN", 1, 2.0, 3.8877, 0},
    {"MS_MPH", 1, 2.0, 4.47388, 0},
    {"MS_KPH", 1, 2.0, 7.2, 0},
    {"N_DYN", 1, 2.0, 200000.0, 0},
    {"N_JM", 1, 2.0, 2.0, 0},
    {"N_KIN", 1, 2.0, 0.20394, 0},
    {"RAD_D", 1, 2.0, 114.59156, 0},
    {"IN_M", 1, 2.0, 0.050799972568014815, 0},
    {"FT_M", 1, 2.0, 0.6095999804928006, 0},
    {"YD_M", 1, 2.0, 1.8288055156774354, 0},
    {"OZ_KG", 1, 2.0, 0.05669898508816692, 0},
    {"LB_KG", 1, 2.0, 0.9071940488070398, 0},
    {"TN_KG", 1, 2.0, 2000.0, 0},
    {"OZ_L", 1, 2.0, 0.059147063851029844, 0},
    {"GAL_L", 1, 2.0, 7.570882386342127, 0},
    {"BAR_ATM", 1, 2.0, 1.9738465334320257, 0},
    {"KPA_ATM", 1, 2.0, 0.019738465334320256, 0},
    {"PSI_ATM", 1, 2.0, 0.1360914534567229, 0},
    {"TORR_ATM", 1, 2.0, 0.0026315716066686763, 0},
    {"HP_W", 1, 2.0, 1492.5373134328358, 0},
    {"CALS_W", 1, 2.0, 8.366100560528738, 0},
    {"FTS_MS", 1, 2.0, 0.6095999804928006, 0},
    {"KN_MS", 1, 2.0, 1.0288859737119633, 0},
    {"MPH_MS", 1, 2.0, 0.8940785179754486, 0},
    {"KPH_MS", 1, 2.0, 0.5555555555555556, 0},
    {"DYN_N", 1, 2.0, 2e-05, 0},
    {"JM_N", 1, 2.0, 2.0, 0},
    {"KIN_N", 1, 2.0, 19.613611846621556, 0},
    {"D_RAD", 1, 2.0, 0.03490658474323938, 0},
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

TEST(FuncoesNumera, EveryFunctionAtItsPointsAndDomainEdges) {
    bool vistas[totalFuncoes] = {};
    for (const Ponto& p : pontos) {
        const int indice = indiceFuncao(p.nome);
        ASSERT_GE(indice, 0) << p.nome;
        vistas[indice] = true;
        const ResultadoOperacao r =
            aplicaOperador(static_cast<unsigned char>(codigoPrimeiraFuncao + indice), p.a, p.b);
        EXPECT_EQ(r.erro, p.erro) << p.nome << "(" << p.a << ", " << p.b << ")";
        if (p.erro == 0) {
            EXPECT_NEAR(r.valor, p.esperado, 1e-12 * (1 + std::fabs(p.esperado)))
                << p.nome << "(" << p.a << ", " << p.b << ")";
        }
    }
    for (int i = 0; i < totalFuncoes; ++i) EXPECT_TRUE(vistas[i]) << nomesFuncoes[i];
}

TEST(FuncoesNumera, CoefficientMultipliesExceptWhereIgnored) {
    const auto aplica = [](const char* nome, double c, double x) {
        return aplicaOperador(static_cast<unsigned char>(codigoPrimeiraFuncao + indiceFuncao(nome)), c, x).valor;
    };
    EXPECT_DOUBLE_EQ(aplica("SQRT", 3, 16), 12);
    EXPECT_DOUBLE_EQ(aplica("INC", 5, 2.7), 3);
    EXPECT_DOUBLE_EQ(aplica("LOG", 5, 100), 2);
    EXPECT_DOUBLE_EQ(aplica("KG_LB", 5, 1), 2.2046);
    EXPECT_EQ(aplicaOperador('/', 1, 0).erro, 59);
    EXPECT_EQ(aplicaOperador('*', 1e300, 1e300).erro, 5);
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
