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

// Every conversion and function, tapes added up and broken, and the chooser's refusals are
// in the calculadora_tabela case. Lines of 254 nines (longer than a loaded line may be).
TEST_F(Calculadora, TapesOfTheLongestNumbers) {
    const std::string noves(254, '9');
    EXPECT_EQ(calcula({noves + "*", noves + "="})[2], "Total: Infinito positivo");
    // 1e254 in full: the line keeps its first 255 characters.
    EXPECT_EQ(calcula({noves + "+", "1="})[2], "Total: 1" + std::string(247, '0'));
}

// More than 8 places, and a whole total's zeros dropped, are the calculadora_casas_decimais case.
TEST_F(Calculadora, DecimalPlacesComeFromTheIniAndAreRepairedThere) {
    const Linhas tape = {"2.5+", "0="};
    struct Caso {
        const char* valor;  // nullptr: the key is absent
        const char* total;
        const char* escrito;
    };
    for (const Caso& c : {Caso{nullptr, "Total: 2.50", "2"}, Caso{"0", "Total: 3", "0"},
                          Caso{"abc", "Total: 2.50", "2"}}) {
        std::ofstream(ini()) << "[PLUMAR]\n" << (c.valor ? "PARTEDECIMAL=" : "") << (c.valor ? c.valor : "");
        EXPECT_EQ(calcula(tape)[2], c.total);
        EXPECT_EQ(leIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL"), c.escrito);
    }
    // A configuration that cannot be written: the result all the same.
    std::ofstream(ini()) << "[PLUMAR]\n";
    {
        const LimiteGravacao nadaCresce(0);
        EXPECT_EQ(calcula({"10+", "5*", "2="})[3], "Total: 30");
    }
    EXPECT_EQ(leIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL"), "");
}

// SEPARADORDECIMAL="," (its thousands mark, refusals, roots and the power's answer) is the
// calculadora_separador_virgula case. With "." the comma marks thousands; missing, empty or
// unknown: the calculator's own reading.
TEST_F(Calculadora, TheOtherSeparatorsReadTheTape) {
    auto separador = [&](const char* valor) {
        std::ofstream(ini()) << "[PLUMAR]\nPARTEDECIMAL=2\n" << (valor ? std::string("SEPARADORDECIMAL=") + valor : "");
    };
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
