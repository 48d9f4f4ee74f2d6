#include "editor/commands/edCalcul.h"

#include <fstream>

#include "editor/sessao.h"
#include "platform/ini.h"

namespace {

class Calculadora : public SessaoEdicao {
  protected:
    // Ctrl+F6 on the first line of `antes`; the text afterwards.
    Linhas calcula(const Linhas& antes) {
        abre("");
        texto(antes, 1);
        calculadoraLinha(e());
        return linhas();
    }
    // A configuration of its own, so nothing is written beside the tests.
    std::filesystem::path ini() { return pasta_ / "SONARE.INI"; }
};

// Every conversion and function, tapes added up and broken, and the chooser's refusals are
// in the calculadora_tabela case; the places and separators the configuration gives, their
// rounding and repair, in the calculadora_arredonda_* and calculadora_casas_decimais cases.
// A configuration that cannot be written: the result all the same, the file as it was.
TEST_F(Calculadora, DecimalPlacesThatCannotBeWrittenBackStillGiveTheResult) {
    std::ofstream(ini()) << "[PLUMAR]\n";
    {
        const LimiteGravacao nadaCresce(0);
        EXPECT_EQ(calcula({"10+", "5*", "2="})[3], "Total: 30");
    }
    EXPECT_EQ(leIniArquivo(ini(), "PLUMAR", "PARTEDECIMAL"), "");
}

}  // namespace
