#include "programa/programa.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "programa/despacho.h"
#include "editor/edArq.h"
#include "editor/sessao.h"
#include "platform/ini.h"

namespace {

class Inicio : public ::testing::Test, public SessaoHeadless {
protected:
    // Starts an editor with `ini` as SONARE.INI and the family arguments `args`.
    Editor& inicia(const std::string& ini, std::vector<std::string> args = {"texto.txt"}) {
        gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre("");
        inicializaEditor(e(), args);
        return e();
    }
};

TEST_F(Inicio, RightMarginFallsBackTo72) {
    const std::pair<const char*, int> casos[] = {
        {"MARGDIR=5", 72}, {"MARGDIR=300", 72}, {"MARGDIR=abc", 72},
        {"MARGDIR=250", 250}, {"MARGDIR=10", 10}, {"", 72}};
    for (const auto& [linha, margem] : casos)
        EXPECT_EQ(inicia(std::string("[PLUMAR]\n") + linha + "\n").ed.margemDireita, margem) << linha;
}

TEST_F(Inicio, DefaultExtensionIsWrittenBack) {
    EXPECT_EQ(inicia("[PLUMAR]\nMARGDIR=72\n").ed.extensaoPadrao, "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "EXTENSAOPADRAO"), "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "MARGDIR"), "72");
    EXPECT_EQ(inicia("[PLUMAR]\nEXTENSAOPADRAO=doc\n").ed.extensaoPadrao, "doc");
}

// Yes/no options are decided on the first character as stored ("s" is not "S"); the
// formatting mode and the dictionary are upper-cased first.
TEST_F(Inicio, OptionsAreDecidedOnTheStoredFirstCharacter) {
    auto opcoes = [](const EdVars& ed) {
        return std::vector<int>{ed.enterInsereLinha, ed.quebraLinhas,   ed.falaPontuacao,
                                ed.falaEspacos,      ed.falaAutomatica, ed.modoFalaFormatacao,
                                ed.dicionarioAtivo};
    };
    EXPECT_EQ(opcoes(inicia("[PLUMAR]\nENTERINSLINHA=s\nQUEBRARLINHAS=n\nFALARPONTUACAO=Nao\n"
                            "FALAESPACOS=Sim\nFALAAUTOMATICA=S\nMODOFALAFORMATACAO= b\n"
                            "DICIONARIOATIVADO=n\n")
                         .ed),
              (std::vector<int>{0, 1, 0, 1, 1, 'B', 0}));
    EXPECT_EQ(rastro().find("EDCARDIC"), std::string::npos);
    EXPECT_EQ(opcoes(inicia("[PLUMAR]\n").ed), (std::vector<int>{0, 1, 1, 0, 0, 'N', 1}));
    EXPECT_NE(rastro().find("mensagem EDCARDIC"), std::string::npos);
}

// The last argument is the file, trimmed; the system hands it over in UTF-8 and the editor
// keeps it in Windows-1252. Reading modes give no welcome.
TEST_F(Inicio, CommandLineModes) {
    const struct {
        std::vector<std::string> args;
        bool leitura, oem;
        std::string nome;
    } casos[] = {{{"/l", " nome.txt "}, true, false, "nome.txt"},
                 {{"/D"}, true, true, ""},
                 {{"a.txt", "b.txt"}, false, false, "b.txt"},
                 {{"a\xC3\xA7\xC3\xA3o.txt"}, false, false, "a\xE7\xE3o.txt"}};
    for (const auto& c : casos) {
        const EdVars& ed = inicia("", c.args).ed;
        EXPECT_EQ(ed.modoLeitura, c.leitura) << c.nome;
        EXPECT_EQ(ed.converteOem, c.oem) << c.nome;
        EXPECT_EQ(ed.nomeArquivo, c.nome);
        EXPECT_EQ(rastro().find("mensagem EDMSGINI") == std::string::npos, c.leitura) << c.nome;
    }
}

TEST_F(Inicio, AFileNamedInUtf8IsOpened) {
    gravaArquivoTeste(pasta_ / "a\xC3\xA7\xC3\xA3o.txt", "conte\xFA" "do\r\n");
    Editor& e = inicia("", {(pasta_ / "a\xC3\xA7\xC3\xA3o.txt").string()});
    ASSERT_TRUE(carregaArquivo(e));
    EXPECT_EQ(e.ed.linha(1), "conte\xFA" "do");
    EXPECT_EQ(e.ed.nomeArquivo.substr(e.ed.nomeArquivo.size() - 8), "a\xE7\xE3o.txt");
    EXPECT_NE(rastro().find("mensagem EDARQCRG"), std::string::npos);
}

// The welcome is written into the banner; the rest of its row keeps white on blue.
TEST_F(Inicio, TheWelcomeLeavesTheBannerRowWhiteOnBlue) {
    inicia("");
    for (int x = 71; x <= 80; ++x) EXPECT_EQ(crt().atributoEm(x, 7), 0x1F) << x;
}

// Only the user's own SONARE.INI counts: one in the folder the editor starts in (a
// downloaded folder, say) chooses nothing, not even on the first run.
TEST_F(Inicio, ASonareIniInTheStartFolderIsNeverRead) {
    PastaTemporaria estranha("estranha");
    gravaArquivoTeste(estranha / "SONARE.INI",
                      "[PLUMAR]\nMARGDIR=40\nIMPRESSOR=/bin/sh\n[SONARE]\nPROG.TXT=/bin/sh\n");
    DiretorioAtual aqui(estranha.caminho());
    std::filesystem::remove(pasta_ / "SONARE.INI");
    abre("");
    inicializaEditor(e(), {"texto.txt"});
    EXPECT_EQ(ed().margemDireita, 72);
    EXPECT_EQ(e().fala.leIni("SONARE", "PROG.TXT"), "");
    EXPECT_EQ(e().fala.leIni("PLUMAR", "IMPRESSOR"), "");
    EXPECT_EQ(leIniArquivo(estranha / "SONARE.INI", "PLUMAR", "EXTENSAOPADRAO"), "");
}

// A SONARE.INI that is a folder or a pipe: one message, the defaults, no wait, no write.
TEST_F(Inicio, ASonareIniThatIsNoFileGivesOneMessageAndTheDefaults) {
    for (bool pipe : {false, true}) {
        const std::filesystem::path ini = pasta_ / "SONARE.INI";
        std::filesystem::remove_all(ini);
        if (pipe)
            ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
        else
            std::filesystem::create_directory(ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre("");
        inicializaEditor(e(), {"texto.txt"});
        EXPECT_EQ(ed().margemDireita, 72);
        EXPECT_EQ(ed().extensaoPadrao, "txt");
        const std::string r = rastro();
        EXPECT_NE(r.find("mensagem EDINIINV"), std::string::npos) << pipe;
        EXPECT_EQ(r.find("mensagem EDINIINV"), r.rfind("mensagem EDINIINV")) << "said once";
        EXPECT_EQ(pipe, std::filesystem::is_fifo(ini));
        EXPECT_EQ(!pipe, std::filesystem::is_directory(ini));
    }
}

// Lines of a text file, without their line ends.
std::vector<std::string> linhasDe(const std::string& bytes) {
    std::vector<std::string> v;
    std::istringstream in(bytes);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        v.push_back(l);
    }
    return v;
}

// The whole editor in a storm: a megabyte pasted with NUL, escapes and bytes that are not
// UTF-8, then 10,000 keys typed at once past the margin (blanks there beep, words break to
// the next line). Nothing is lost; only the control characters, which no line can hold,
// became '#'.
TEST_F(Inicio, AMegabytePasteAndTenThousandKeysAtOnceLoseNothing) {
    std::string colado;
    std::vector<std::string> esperadas;
    for (int i = 0; colado.size() < (1u << 20); ++i) {
        std::string linha = "linha " + std::to_string(i) + std::string(60, static_cast<char>('a' + i % 26));
        if (i % 100 == 1) linha += std::string(1, '\0') + "\x1b[31m\xff";
        colado += linha + (i % 2 ? "\r\n" : "\n");
        for (char& c : linha)
            if (c == '\0' || c == '\x1b') c = '#';
        esperadas.push_back(linha);
    }
    gravaArquivoTeste(pasta_ / "colar.txt", colado);
    std::string digitado;
    for (int i = 0; digitado.size() < 10000; ++i)
        digitado += (i ? " " : "") + std::string(1 + i % 9, static_cast<char>('a' + i % 26));
    gravaArquivoTeste(pasta_ / "SONARE.INI", "[PLUMAR]\nDICIONARIOATIVADO=N\n");
    abre("{paste:" + (pasta_ / "colar.txt").string() + "}{F4}{burst}" + digitado +
         "{/burst}{Ctrl+X}");
    inicializaEditor(e(), {(pasta_ / "texto.txt").string()});
    EXPECT_THROW(executaEditor(e()), FimDoRoteiro);

    const std::vector<std::string> salvas = linhasDe(leArquivo(pasta_ / "texto.txt"));
    ASSERT_GT(salvas.size(), esperadas.size());
    EXPECT_TRUE(std::equal(esperadas.begin(), esperadas.end(), salvas.begin()));
    std::string junto;
    for (size_t i = esperadas.size(); i < salvas.size(); ++i) {
        EXPECT_LE(salvas[i].size(), 72u) << i;
        junto += (junto.empty() ? "" : " ") + salvas[i];
    }
    EXPECT_EQ(junto, digitado);
    const std::string r = rastro();
    EXPECT_NE(r.find("mensagem EDBLKADC"), std::string::npos);
    EXPECT_NE(r.find("texto " + std::to_string(esperadas.size()) + " linhas"), std::string::npos);
}

// A SONARE.INI of 2 MB (read at every lookup it would stall the start): one message, the
// defaults, and the file as it was.
TEST_F(Inicio, ASonareIniOverTheLimitGivesOneMessageAndTheDefaults) {
    const std::filesystem::path ini = pasta_ / "SONARE.INI";
    const std::string grande = "[PLUMAR]\nMARGDIR=40\n;" + std::string(2 << 20, 'x') + "\n";
    gravaArquivoTeste(ini, grande);
    abre("");
    inicializaEditor(e(), {"texto.txt"});
    EXPECT_EQ(ed().margemDireita, 72);
    const std::string r = rastro();
    EXPECT_NE(r.find("mensagem EDINIGRD"), std::string::npos);
    EXPECT_EQ(r.find("mensagem EDINIGRD"), r.rfind("mensagem EDINIGRD")) << "said once";
    EXPECT_TRUE(leArquivo(ini) == grande);
}

class Despacho : public SessaoEdicao {
protected:
    // The console sees Shift held (or released) with the End key.
    void shift(bool preso) {
        EventoEntrada ev;
        ev.tipo = preso ? EventoEntrada::Tipo::TeclaDesce : EventoEntrada::Tipo::TeclaSobe;
        ev.tecla = vk::End;
        ev.mod.shift = preso;
        crt().trataEvento(ev);
    }
};

TEST_F(Despacho, ShiftSelectionAndItsClearing) {
    texto({"uma linha de texto", "outra"}, 1, 5);
    shift(true);
    despachaEstendida(e(), 79);  // Shift+End
    EXPECT_EQ(std::pair(ed().selecaoInicio, ed().selecaoFim), std::pair(5, 19));
    despachaEstendida(e(), 72);  // Up clears the start anchor even with Shift held
    EXPECT_EQ(ed().selecaoInicio, 0);
    shift(false);
    despachaEstendida(e(), 72);
    EXPECT_EQ(std::pair(ed().selecaoInicio, ed().selecaoFim), std::pair(0, 0));
}

}  // namespace
