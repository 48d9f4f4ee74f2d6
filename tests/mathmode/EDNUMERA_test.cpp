#include "mathmode/EDNUMERA.h"

#include <algorithm>
#include <fstream>
#include <set>

#include "editor/sessao.h"
#include "mathmode/EDNUMERAMENU.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

class Numera : public SessaoEdicao {};

// F2 puts the run's lines between two marks after "\END;", in place of the block the last
// run left there, says "M2" and reads them; an error is said from its line when there is
// no recording. A block the user broke (its closing mark gone) is theirs and stays.
TEST_F(Numera, ResultsReplaceTheLastRunsBlockAndAreRead) {
    Variavel c("LC_ALL", "C");
    ed().diretorioMensagens = "c:\\ornato\\plumar\\";
    const std::string inicio(kInicioResultados), fim(kFimResultados);
    texto({"\\BEGIN;", "X=2;", "\\PRINT{\"Soma\"+X};", "\\N;", "\\END;", "depois"}, 2);
    ouvido();
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=2;", "\\PRINT{\"Soma\"+X};", "\\N;", "\\END;", inicio,
                                "Soma 2 ", "", fim, "depois"}));
    EXPECT_EQ(ed().linhaAtual, 6);
    Ouvido o = ouvido();
    ASSERT_GE(o.size(), 2u);
    EXPECT_EQ(o[o.size() - 2], "onda \\COMANDOS\\MENSAJES\\M2 espera");
    EXPECT_EQ(o.back(), "texto Soma 2 ");

    ed().trocaLinha(2, "X=3;");
    ed().linhaAtual = 2;
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=3;", "\\PRINT{\"Soma\"+X};", "\\N;", "\\END;", inicio,
                                "Soma 3 ", "", fim, "depois"}));

    // An error's lines take the block's place, said from the text with no recording.
    ed().trocaLinha(2, "X=1/0;");
    ed().linhaAtual = 2;
    ouvido();
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1/0;", "\\PRINT{\"Soma\"+X};", "\\N;", "\\END;", inicio,
                                "#E59 Erro: Divis\xE3o por 0.", "Linha: 2", fim, "depois"}));
    o = ouvido();
    EXPECT_NE(std::find(o.begin(), o.end(), "texto #E59 Erro: Divis\xE3o por 0."), o.end());
    EXPECT_NE(std::find(o.begin(), o.end(), "texto 2"), o.end());

    // The block at the text's end goes whole; one without its closing mark stays.
    texto({"\\BEGIN;", "X=1;", "\\END;", inicio, "antigo", fim}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1;", "\\END;", inicio, fim}));
    texto({"\\BEGIN;", "X=1;", "\\END;", inicio, "meu texto"}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1;", "\\END;", inicio, fim, inicio, "meu texto"}));
}

// F2 leaves in "resultados.txt" the run's lines led by an empty one, in place of whatever
// an earlier run left there: an error's lines in place of the output before it.
TEST_F(Numera, TheResultsFileHoldsWhatTheTextReceived) {
    Variavel c("LC_ALL", "C");
    ed().diretorioMensagens = "c:\\ornato\\plumar\\";
    const auto arquivo = [] { return leArquivo(arquivoNumeraEscrita("resultados.txt")); };
    gravaLinhasNumera("resultados.txt", {"", "X = 99"});
    texto({"\\BEGIN;", "X=1;", "\\END;"}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(arquivo(), "\r\n");

    texto({"\\BEGIN;", "\\PRINT{\"A\"};", "Y=1/0;", "\\END;"}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(arquivo(), "\r\n#E59 Erro: Divis\xE3o por 0.\r\nLinha: 3\r\n");
}

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
