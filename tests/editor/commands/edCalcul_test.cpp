#include "editor/commands/edCalcul.h"

#include <cmath>
#include <fstream>

#include "editor/sessao.h"
#include "platform/ini.h"

namespace {

class Calculadora : public SessaoEdicao {
  protected:
    // A configuration of its own, so nothing is written beside the tests.
    void SetUp() override {
        SessaoEdicao::SetUp();
        std::ofstream(ini()) << "[PLUMAR]\nPARTEDECIMAL=2\n";
    }
    // Ctrl+F6 on line `linha` of `texto` with `teclas` to answer; the text afterwards.
    Linhas calcula(const Linhas& antes, std::string_view teclas = "", int linha = 1) {
        abre(teclas);
        texto(antes, linha);
        calculadoraLinha(e());
        return linhas();
    }
    std::filesystem::path ini() { return pasta_ / "SONARE.INI"; }
};

// Every key of the chooser on a line "V=": nothing typed into the text but the sentence
// below, the cursor on it and the sentence spoken. Expected results worked out by hand from the
// formulas (2 decimals, rounded half up on the decimal value). W, through the keys, is the
// calculadora_fita_e_conversoes case.
TEST_F(Calculadora, EveryConversionAndFunctionWritesItsSentence) {
    struct Caso {
        const char *teclas, *codigo, *linha, *frase;
    };
    const Caso casos[] = {
        {"a", "a", "3=", "3 alqueires do norte equivalem a 81675 metros quadrados"},
        {"A", "A", "2.5=", "2.50 alqueires mineiros equivalem a 121000 metros quadrados"},
        {"J", "J", "0.5=", "0.50 metros equivalem a 19.69 polegadas"},
        {"P", "P", "40=", "40 onças equivalem a 1.13 quilogramas"},
        {"u", "u", "2=", "2 quilômetros quadrados equivalem a 2391980.09 jardas quadradas"},
        {"w", "w", "98.6=", "98.60 graus Fahrenheit equivalem a 37 graus Celsius"},
        {"x3{Enter}", "x", "2.5=", "2.50 elevado a 3 = 15.63"},
        {"x0{Enter}", "x", "0=", "0 elevado a 0 = Indeterminado ou inexistente"},
        {"X", "@", "10=", "A circunferência com 10 unidades de raio tem 62.83 unidades de comprimento"},
        {"y", "#", "3=", "O círculo com 3 unidades de raio tem 28.27 unidades ao quadrado de área"},
        {"Y", "$", "2=", "A esfera com 2 unidades de raio tem 33.51 unidades cúbicas de volume"},
        {"z3{Enter}", "z", "81=", "Logarítmo de 81 na base 3 = 4"},
        {"á", "á", "30=", "Seno de 30° = 0.50"},
        {"é", "é", "270=", "Tangente de 270° = Indeterminado ou inexistente"},
        {"É", "É", "0=", "Cotangente de 0° = Indeterminado ou inexistente"},
        {"í", "í", "630=", "Secante de 630° = Indeterminado ou inexistente"},
        {"Í", "Í", "540=", "Cossecante de 540° = Indeterminado ou inexistente"},
        {"ó", "ó", "0=", "Logarítmo Neperiano de 0 = Indeterminado ou inexistente"},
        {"Ó", "Ó", "1000=", "Logarítmo de 1000 na base 10 = 3"},
        {"ú", "ú", "1=", "Logarítmo de 1 na base 2 = 0"},
    };
    for (const Caso& c : casos) {
        const std::string frase = utf8ParaWin1252(c.frase);
        EXPECT_EQ(calcula({"antes", c.linha}, c.teclas, 2), (Linhas{"antes", c.linha, frase}))
            << c.teclas;
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(3, 1)) << c.teclas;
        // The code typed by hand at the end of a tape line does the same step.
        EXPECT_EQ(calcula({std::string("1") + utf8ParaWin1252(c.codigo), c.linha}, 
                          c.teclas[0] == 'x' || c.teclas[0] == 'z' ? c.teclas + 1 : "")
                      .back(),
                  frase)
            << c.teclas;
        EXPECT_EQ(ouvido().back(), "texto " + frase) << c.teclas;
    }
}

TEST_F(Calculadora, TapesAddUpInOrderAndBrokenTapesOnlySayWhy) {
    const std::string noves(254, '9');
    struct Caso {
        Linhas antes;
        std::string resultado;  // the line written under the tape; empty: none
        std::string falado;     // the last thing heard
        int linhaFinal;
    };
    const Caso casos[] = {
        {{"10+", "5*", "2="}, "Total: 30", "texto Total: 30", 4},
        {{"Arroz 10.50+", "1,000.5+", "Leite 4.25="}, "Total: 1015.25", "texto Total: 1015.25", 4},
        {{"10/", "0="}, "Total: Infinito positivo", "", 3},
        {{"0/", "0="}, "Total: Indeterminado ou inexistente", "", 3},
        {{"(5-8)/", "0="}, "Total: Infinito negativo", "", 3},
        {{"(2x10)+", "(100z10)*", "3="}, "Total: 3078", "", 4},
        {{"50%", "9\\", "16&", "3="}, "Total: 9", "", 5},
        {{"2|", "10="}, "Total: 1024", "", 3},
        {{"1e308*", "10="}, "Total: 13080", "", 3},
        {{"7*", "(="}, "Total: 0", "", 3},
        {{noves + "*", noves + "="}, "Total: Infinito positivo", "", 3},
        {{"2|", "1,0="}, "", "mensagem EDOPRINV", 2},
        {{"5+"}, "", "mensagem EDERRLEI", 1},
        {{"5+", "", "3="}, "", "mensagem EDERRLEI", 2},
        {{"5+", "3"}, "", "mensagem EDERRLEI", 2},
        {{"5+ ", "3="}, "", "mensagem EDERRLEI", 1},
        {{""}, "", "mensagem EDERRLEI", 1},
    };
    for (const Caso& c : casos) {
        Linhas depois = c.antes;
        if (!c.resultado.empty()) depois.push_back(c.resultado);
        EXPECT_EQ(calcula(c.antes), depois) << c.antes[0];
        EXPECT_EQ(ed().linhaAtual, c.linhaFinal) << c.antes[0];
        const Ouvido o = ouvidoSemTextos();
        if (!c.falado.empty()) {
            EXPECT_EQ(o.back(), c.falado) << c.antes[0];
        }
    }
    // 1e254 in full: the line keeps its first 255 characters.
    EXPECT_EQ(calcula({noves + "+", "1="})[2], "Total: 1" + std::string(247, '0'));
}

TEST_F(Calculadora, ChooserRefusalsAndTheHelpList) {
    // Esc, a key of no conversion, and giving up at the power and base questions.
    EXPECT_EQ(calcula({"5="}, "{Esc}"), Linhas{"5="});
    EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDDESIST");
    EXPECT_EQ(calcula({"5="}, "Z"), Linhas{"5="});
    EXPECT_EQ(ouvido().back(), "bip");
    for (const char* resposta : {"{Esc}", "{Enter}", "-2{Enter}", "2*3{Enter}", "dois{Enter}"}) {
        EXPECT_EQ(calcula({"1", "5="}, std::string("x") + resposta, 2), (Linhas{"1", "5="}))
            << resposta;
        EXPECT_EQ(ed().linhaAtual, 2) << resposta;
        EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDDESIST") << resposta;
    }
    EXPECT_EQ(calcula({"8="}, "z{Esc}"), (Linhas{"8="}));
    // An arrow opens the list on its first entry; the second entry is key A; Esc gives up.
    EXPECT_EQ(calcula({"1="}, "{Down}{Down}{Enter}")[1],
              "1 alqueires mineiros equivalem a 48400 metros quadrados");
    EXPECT_EQ(calcula({"1="}, "{F1}{Esc}"), Linhas{"1="});
    EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDDESIST");
}

TEST_F(Calculadora, DecimalPlacesComeFromTheIniAndAreRepairedThere) {
    const Linhas tape = {"2.5+", "0="};
    struct Caso {
        const char* valor;  // nullptr: the key is absent
        const char* total;
        const char* escrito;
    };
    for (const Caso& c : {Caso{nullptr, "Total: 2.50", "2"}, Caso{"12", "Total: 2.50000000", "8"},
                          Caso{"3", "Total: 2.500", "3"}, Caso{"0", "Total: 3", "0"},
                          Caso{"abc", "Total: 2.50", "2"}}) {
        std::ofstream(ini()) << "[PLUMAR]\n" << (c.valor ? "PARTEDECIMAL=" : "") << (c.valor ? c.valor : "");
        EXPECT_EQ(calcula(tape)[2], c.total);
        EXPECT_EQ(leIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL"), c.escrito);
    }
    escreveIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL", "3");
    EXPECT_EQ(calcula({"2+", "0="})[2], "Total: 2");
    // A configuration that cannot be written: the result all the same.
    std::ofstream(ini()) << "[PLUMAR]\n";
    {
        const LimiteGravacao nadaCresce(0);
        EXPECT_EQ(calcula({"10+", "5*", "2="})[3], "Total: 30");
    }
    EXPECT_EQ(leIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL"), "");
}

// SEPARADORDECIMAL chooses how the tape reads and writes numbers: with "," the point marks
// thousands between groups of three, with "." the comma does; a number that breaks the
// rule, or a power answered with the thousands mark, is refused aloud and nothing is
// written. Missing, empty or unknown: the calculator's own reading.
TEST_F(Calculadora, TheConfiguredSeparatorReadsAndWritesTheTape) {
    auto separador = [&](const char* valor) {
        std::ofstream(ini()) << "[PLUMAR]\nPARTEDECIMAL=2\n" << (valor ? std::string("SEPARADORDECIMAL=") + valor : "");
    };
    separador(",");
    EXPECT_EQ(calcula({"10,50+", " 5,25="})[2], "Total: 15,75");
    EXPECT_EQ(calcula({"1.250,00+", "1="})[2], "Total: 1251");
    EXPECT_EQ(calcula({"1.000.000+", ",5="})[2], "Total: 1000000,50");
    EXPECT_EQ(calcula({"4|", "0,5="})[2], "Total: 2");
    EXPECT_EQ(calcula({"2="}, "x2,5{Enter}"), (Linhas{"2=", "2 elevado a 2,5 = 5,66"}));
    for (const Linhas& errado : {Linhas{"1.2,3+", "1="}, Linhas{"1+", "1,2,3="}, Linhas{"12.34+", "1="}}) {
        ouvido();
        EXPECT_EQ(calcula(errado), errado);
        EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDNUMINV") << errado[0];
    }
    EXPECT_EQ(calcula({"2|", "1.000="}), (Linhas{"2|", "1.000="}));  // the thousands mark in a power
    separador(".");
    EXPECT_EQ(calcula({"1,000.5+", "1="})[2], "Total: 1001.50");
    EXPECT_EQ(calcula({"1,2,3+", "1="}), (Linhas{"1,2,3+", "1="}));
    for (const char* outro : std::initializer_list<const char*>{"", "x", nullptr}) {
        separador(outro);
        EXPECT_EQ(calcula({"10,50+", "5,25="})[2], "Total: 1575") << (outro ? outro : "missing");
    }
}

TEST(FormataResultado, RoundsHalfAwayAndDropsZeroDecimals) {
    EXPECT_EQ(formataResultado(0.125, 2), "0.13");
    EXPECT_EQ(formataResultado(-2.5, 0), "-3");
    EXPECT_EQ(formataResultado(2.5, 1), "2.5");
    EXPECT_EQ(formataResultado(2, 1), "2.0");
    EXPECT_EQ(formataResultado(-0.001, 2), "0");
    EXPECT_EQ(formataResultado(9.999, 2), "10");
    EXPECT_EQ(formataResultado(0.000000015, 8), "0.00000002");
    EXPECT_EQ(formataResultado(1e-300, 8), "0");
    EXPECT_EQ(formataResultado(-INFINITY, 2), "Infinito negativo");
}

}  // namespace
