#include "mathmode/EDNUMERA.h"

#include <fstream>
#include <set>

#include "editor/sessao.h"
#include "mathmode/EDNUMERAMENU.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

class Numera : public SessaoEdicao {};

// Titles, commands, the first variables and constants are heard in the numera_menu and
// numera_assistente cases; these are the prompts no case reaches.
TEST_F(Numera, MenuPromptsFollowTheColumnsKeys) {
    EXPECT_EQ(promptAjudaMenu(0, 15), "\\COMANDOS\\AYUDA\\A35");   // EXPRESSION
    EXPECT_EQ(promptAjudaMenu(0, 16), "\\COMANDOS\\AYUDA\\A14");
    EXPECT_EQ(promptAjudaMenu(0, 31), "\\COMANDOS\\AYUDA\\A34");
    EXPECT_EQ(promptAjudaMenu(1, 6), "\\COMANDOS\\AYUDA\\A28");
    EXPECT_EQ(promptEntradaMenu(2, 16), "\\COMANDOS\\MENU\\F121");  // LOG
    EXPECT_EQ(promptEntradaMenu(2, 17), "\\COMANDOS\\MENU\\F70");   // LOGB
    EXPECT_EQ(promptEntradaMenu(9, 2), "\\COMANDOS\\MENU\\F71");    // M_IN
    EXPECT_EQ(promptEntradaMenu(9, 51), "\\COMANDOS\\MENU\\F120");  // RAD_D
    EXPECT_EQ(promptUnidadeConstante(3), "");
    EXPECT_EQ(promptUnidadeConstante(58), "\\COMANDOS\\UNIDADES\\U4");
    EXPECT_EQ(promptUnidadeConstante(69), "\\COMANDOS\\UNIDADES\\U32");
    const auto listas = listasMenuNumera(e());
    const std::vector<size_t> ultimas = {31, 6, 17, 13, 13, 13, 13};
    for (size_t c = 0; c < ultimas.size(); ++c) EXPECT_EQ(listas[c].size() - 1, ultimas[c]) << c;
    EXPECT_EQ(listas[9].size() - 1, 51u);
}

// Every prompt the mode can play has its text for the voice kit.
TEST(NumeraGravacoes, EveryPromptHasAText) {
    std::ifstream f(std::string(PLUMAR_DIR_TESTES) + "/../tools/voicekit/numera.txt");
    ASSERT_TRUE(f);
    std::set<std::string> nomes;
    for (std::string l; std::getline(f, l);)
        if (!l.empty() && l[0] != '#') nomes.insert(utf8ParaWin1252(l.substr(0, l.find('='))));
    const auto usados = promptsNumera();
    EXPECT_GT(usados.size(), 900u);
    for (const std::string& n : usados) EXPECT_TRUE(nomes.count(n)) << n;
}

}  // namespace
