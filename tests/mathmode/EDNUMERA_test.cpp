#include "mathmode/EDNUMERA.h"

#include <fstream>
#include <set>

#include "editor/sessao.h"
#include "mathmode/EDNUMERAMENU.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

class Numera : public SessaoEdicao {};

// Results go after "\END;" each run, led by an empty line; an error is spoken with its
// piece and line, and the cursor ends on the first result.
TEST_F(Numera, ResultsAreInsertedAfterTheEndAndTheErrorSpoken) {
    texto({"\\BEGIN;", "X=1;", "\\END;", "depois"}, 2, 3);
    e().numera.linhaResultados = 4;
    e().numera.estadoNumera = 1;
    ouvido();
    insereResultados(e(), {"", "X = 1"});
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1;", "\\END;", "", "X = 1", "depois"}));
    EXPECT_EQ(ed().linhaAtual, 4);
    EXPECT_TRUE(ouvido().empty());

    e().numera.estadoNumera = 2;
    e().numera.codigoErro = 59;
    e().numera.parametroErro = "B";
    e().numera.linhaErro = 2;
    insereResultados(e(), {"", "#E59 Erro: Divis\xE3o por 0.", "Linha: 2"});
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1;", "\\END;", "", "#E59 Erro: Divis\xE3o por 0.", "Linha: 2",
                                "", "X = 1", "depois"}));
    EXPECT_EQ(ouvido(), (Ouvido{"som \\COMANDOS\\ERROS\\E59", "som \\COMANDOS\\MENSAJES\\M9", "soletra B",
                                "som \\COMANDOS\\MENSAJES\\M4", "texto 2"}));

    // A results line past the text (no END found) puts them at its end, without harm.
    texto({"so uma linha"}, 1, 1);
    e().numera.linhaResultados = 50;
    e().numera.parametroErro.clear();
    insereResultados(e(), {"", "#E55 Erro"});
    EXPECT_EQ(linhas(), (Linhas{"so uma linha", "", "#E55 Erro"}));
    EXPECT_EQ(ed().linhaAtual, 3);
}

// F2 leaves in "resultados.txt" the very lines the text received, in place of whatever an
// earlier run left there: nothing but the empty line for a run that writes nothing, and an
// error's lines in place of the output before it.
TEST_F(Numera, TheResultsFileHoldsWhatTheTextReceived) {
    Variavel c("LC_ALL", "C");
    ed().diretorioMensagens = "c:\\ornato\\plumar\\";
    const auto arquivo = [] { return leArquivo(arquivoNumeraEscrita("resultados.txt")); };
    gravaLinhasNumera("resultados.txt", {"", "X = 99"});
    texto({"\\BEGIN;", "X=1;", "\\END;"}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "X=1;", "\\END;", ""}));
    EXPECT_EQ(arquivo(), "\r\n");

    texto({"\\BEGIN;", "\\PRINT{\"A\"};", "Y=1/0;", "\\END;"}, 2);
    compilaEExecuta(e());
    EXPECT_EQ(linhas(), (Linhas{"\\BEGIN;", "\\PRINT{\"A\"};", "Y=1/0;", "\\END;", "",
                                "#E59 Erro: Divis\xE3o por 0.", "Linha: 3"}));
    EXPECT_EQ(arquivo(), "\r\n#E59 Erro: Divis\xE3o por 0.\r\nLinha: 3\r\n");
}

TEST_F(Numera, MenuPromptsFollowTheColumnsKeys) {
    EXPECT_EQ(promptEntradaMenu(0, 0), "\\COMANDOS\\MENU\\F62");
    EXPECT_EQ(promptEntradaMenu(0, 13), "\\COMANDOS\\MENU\\C11");  // FOR
    EXPECT_EQ(promptAjudaMenu(0, 15), "\\COMANDOS\\AYUDA\\A35");   // EXPRESSION
    EXPECT_EQ(promptAjudaMenu(0, 16), "\\COMANDOS\\AYUDA\\A14");
    EXPECT_EQ(promptAjudaMenu(0, 31), "\\COMANDOS\\AYUDA\\A34");
    EXPECT_EQ(promptAjudaMenu(1, 6), "\\COMANDOS\\AYUDA\\A28");
    EXPECT_EQ(promptEntradaMenu(2, 2), "\\COMANDOS\\MENU\\F3");     // LN
    EXPECT_EQ(promptEntradaMenu(2, 16), "\\COMANDOS\\MENU\\F121");  // LOG
    EXPECT_EQ(promptEntradaMenu(2, 17), "\\COMANDOS\\MENU\\F70");   // LOGB
    EXPECT_EQ(promptEntradaMenu(9, 2), "\\COMANDOS\\MENU\\F71");    // M_IN
    EXPECT_EQ(promptEntradaMenu(9, 51), "\\COMANDOS\\MENU\\F120");  // RAD_D
    EXPECT_EQ(promptAjudaMenu(9, 0), "\\COMANDOS\\AYUDA\\F122");
    EXPECT_EQ(promptEntradaMenu(7, 3), "\\COMANDOS\\CONSTANTES\\NE");
    EXPECT_EQ(promptEntradaMenu(7, 4), "\\COMANDOS\\CONSTANTES\\C1");
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
