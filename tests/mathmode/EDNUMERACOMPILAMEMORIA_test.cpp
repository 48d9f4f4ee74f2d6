// The evaluator on code-line parameters as the translator writes them (upper case, no
// blanks, implicit multiplication and unary minus already rewritten, matrix indices with
// "a"), after the once-per-run rewrite of function calls.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"

namespace {

struct Execucao {
    MemoriaNumera m;
    EstadoNumera estado;

    Execucao() {
        defineConstantes(m, {"", "Pi", "PI", "3.14159265358979", "Gravidade", "GRAV", "9.80665"},
                         {"", "TAXA", "0.5"});
    }
    // The value stored, or "#E" and the error number with its parameter.
    std::string avalia(const std::string& linha) {
        estado = EstadoNumera{};
        const std::string valor = avaliaTexto(m, estado, reescreveFuncoes(linha));
        if (estado.estadoNumera == 2)
            return "#E" + std::to_string(estado.codigoErro) + " " + estado.parametroErro;
        return valor;
    }
    double numero(const std::string& nome) const {
        const size_t i = m.indiceNumerico(nome);
        return i < m.valoresNumericos().size() ? m.valoresNumericos()[i] : -999;
    }
};

TEST(AvaliadorNumera, FunctionCallsBecomeOperatorsOnce) {
    EXPECT_EQ(reescreveFuncoes("Y=3*SQRT*(X+1)"), "Y=3*(1\x86(X+1))");
    EXPECT_EQ(reescreveFuncoes("Y=SQRT*(SQRT*(16))+1"), "Y=(1\x86((1\x86(16))))+1");
    EXPECT_EQ(reescreveFuncoes("Y=(2)*POW*(10)"), "Y=(2)\x8D(10)");
    EXPECT_EQ(reescreveFuncoes("Y=LOG*(X)+LOGB"), "Y=(1\xEF(X))+LOGB");
    // Not a call: a longer name ending in a function's name, or no "*(" after it.
    EXPECT_EQ(reescreveFuncoes("Y=XSQRT*(2)+SQRT"), "Y=XSQRT*(2)+SQRT");
}

TEST(AvaliadorNumera, OrderOfOperationsAndTheLanguagesOwnCases) {
    Execucao x;
    const std::pair<const char*, const char*> casos[] = {
        {"Y=2+3*4", "14"},          {"Y=(2+3)*4", "20"},           {"Y=8/2/2", "2"},
        {"Y=10-2-3", "5"},          {"Y=3*SQRT*(16)", "12"},       {"Y=SQRT*(16)", "4"},
        {"Y=(2)*POW*(10)", "1024"}, {"Y=(3)*ROOT*(27)", "3"},      {"Y=(8)*LOGB*(2)", "3"},
        {"Y=INC*(2.7)", "3"},       {"Y=DEC*((0-1)*2.7)", "-3"},   {"Y=ROUND*(2.5)", "2"},
        {"Y=ROUND*(3.5)", "4"},     {"Y=DACOS*(1)", "0"},          {"Y=DASIN*(1)", "90"},
        {"Y=DC_DF*(100)", "212"},   {"Y=DK_DC*(0)", "-273.15"},    {"Y=1.5E+3", "1500"},
        {"Y=2*PI", "6.28318530717958"}, {"Y=TAXA*GRAV", "4.903325"}, {"Y=1.5*E3", "#E43 E3"},
        {"Y=1/0", "#E59 "},         {"Y=LN*(0)", "#E5 LN(0)"},     {"Y=EXP*(1000)", "#E5 EXP(1000)"},
        {"Y=2=3", "#E6 ="},         {"Y=*3", "#E71 "},             {"Y=", "#E71 "},
        {"PI=3", "#E53 PI"},        {"TAXA=1", "#E53 TAXA"},       {"Y=(2+3", "#E12 "},
        {"Y=Q+1", "#E43 Q"},         {"Y=SQRT*()", "#E71 "},        {"Y=(2)*POW", "#E43 POW"},
    };
    for (const auto& [linha, esperado] : casos) EXPECT_EQ(x.avalia(linha), esperado) << linha;
}

// Values pass between operations as the general conversion's 15 digits: the evaluator's
// short ways give exactly the values and digits the texts would, at every magnitude.
TEST(AvaliadorNumera, FifteenDigitValuesAreTheTextsOwn) {
    Execucao x;
    auto texto = [](double v) {
        double r = 0;
        return leNumero(textoGeral(v, '.'), '.', r) ? r : std::nan("");
    };
    std::mt19937_64 sorte(41);
    std::vector<double> valores = {0.1, 1.0 / 3, -0.0, 1e15, 999999999999999.9, 123456789012345678.0,
                                   5e-324, 1e-305, 2.5e-300, 1e299, 0.30000000000000004};
    for (int i = 0; i < 4000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(-10, 10)(sorte);
        const int expoente = std::uniform_int_distribution<int>(-140, 140)(sorte);
        valores.push_back(i % 3 == 0 ? std::round(mantissa * 1e6) / 1e3 : std::ldexp(mantissa, expoente));
    }
    for (size_t i = 0; i + 1 < valores.size(); ++i) {
        const double a = valores[i], b = valores[i + 1];
        x.m.defineNumero("A", a);
        x.m.defineNumero("B", b);
        const double produto = texto(texto(a) * texto(b));
        ASSERT_EQ(x.avalia("Y=A*B"), textoGeral(produto, '.')) << a << " " << b;
        ASSERT_EQ(x.numero("Y"), produto);
        ASSERT_EQ(x.avalia("Y=A"), textoGeral(texto(a), '.'));
    }
}

TEST(AvaliadorNumera, LongNamesAndDeepNestingWork) {
    Execucao x;
    const std::string nome(255, 'X');
    EXPECT_EQ(x.avalia(nome + "=2"), "2");
    EXPECT_EQ(x.avalia("Y=" + nome + "*" + nome), "4");
    EXPECT_EQ(x.avalia("Y=" + std::string(200, '(') + "1+1" + std::string(200, ')') + "*3"), "6");
    std::string raizes = "1";
    for (int i = 0; i < 200; ++i) raizes = "SQRT*(" + raizes + "+3)";
    EXPECT_EQ(x.avalia("Y=" + raizes), "2.30277563773199");
}

// The shipped constants: every symbol a name an expression can hold, every value a number,
// and a program sees them by symbol only.
TEST(AvaliadorNumera, ShippedConstantsAreUsableBySymbol) {
    Execucao x;
    defineConstantes(x.m, leLinhasNumera(raizFamilia() / "plumar/COMANDOS/CONFIG/constantes.txt"), {});
    ASSERT_GE(x.m.constantesSistema.size(), 10u);
    for (const ConstanteSistema& c : x.m.constantesSistema) {
        double v = 0;
        EXPECT_TRUE(leNumero(c.valor, '.', v)) << c.simbolo;
        EXPECT_EQ(c.simbolo.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), std::string::npos);
        EXPECT_EQ(x.avalia("Y=" + c.simbolo + "*1"), textoGeral(v, '.')) << c.simbolo;
        EXPECT_EQ(x.avalia(c.simbolo + "=1"), "#E53 " + c.simbolo);
    }
    EXPECT_EQ(x.avalia("Y=DC_DK*(ZEROABS)"), "0");
}

}  // namespace
