#include "mathmode/EDNUMERA.h"

#include <fstream>
#include <set>

#include "editor/sessao.h"
#include "mathmode/EDNUMERAMENU.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

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
