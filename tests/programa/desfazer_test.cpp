// Undo and redo through the key loop: whatever editing commands ran, as many undos give the
// loaded text back byte for byte, and as many redos the text as far as it was ever edited.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "editor/edArqCopia.h"
#include "editor/sessao.h"
#include "programa/programa.h"

namespace {

namespace fs = std::filesystem;

// Blanks at line ends (which leaving a line trims), an empty line, an indented one.
constexpr std::string_view kTexto =
    "Alfa beta  \r\n\r\ngama\r\n  delta epsilon\r\nzeta eta teta\r\niota\r\n";

// Whole commands, their questions answered, so a script never wanders into another prompt.
constexpr std::string_view kComandos[] = {
    "a", "e", " ", "x", "{Backspace}", "{Del}", "{Ctrl+Backspace}", "{Enter}",
    "{Ctrl+Enter}", "{Tab}", "{Ctrl+Y}", "{Ctrl+U}", "{Ctrl+Q}", "{Ctrl+D}", "{Ctrl+S}",
    "{Up}", "{Down}", "{Left}", "{Right}", "{End}", "{Ctrl+Home}", "{Ctrl+End}",
    "{Ctrl+Up}", "{Ctrl+Down}", "{Ctrl+B}I", "{Ctrl+B}F", "{Ctrl+B}M", "{Ctrl+B}C",
    "{Ctrl+B}R", "{Ctrl+B}O", "{Ctrl+B}B", "{Ctrl+B}J", "{Ctrl+B}UAS",
    "{F6}a{Enter}xy{Enter}T", "{F9}LDz{Enter}T", "{F9}LJ", "{Ctrl+Z}", "{Alt+Z}",
    // Blocks marked and used at once, moved up and down, sorted, removed, filled.
    "{Ctrl+B}I{Down}{Ctrl+B}F{Ctrl+Home}{Ctrl+B}M", "{Ctrl+B}I{Down}{Ctrl+B}F{Ctrl+End}{Ctrl+B}M",
    "{Ctrl+B}T{Ctrl+B}O", "{Ctrl+B}P{Ctrl+B}R", "{Ctrl+B}T{Ctrl+B}EA"};

class DesfazerTudo : public ::testing::Test, public SessaoHeadless {
  protected:
    // The editor run on a fresh copy of the text, typing `teclas` to the end of the script:
    // the text's bytes as a save would write them.
    std::string roda(const std::string& teclas) {
        for (const fs::path& p : {pasta_ / "estado", pasta_ / "texto.txt.save"}) fs::remove_all(p);
        gravaArquivoTeste(pasta_ / "SONARE.INI",
                          "[PLUMAR]\nDICIONARIOATIVADO=N\nFALAAUTOMATICA=S\n");
        gravaArquivoTeste(pasta_ / "texto.txt", std::string(kTexto));
        abre(teclas);
        inicializaEditor(e(), {(pasta_ / "texto.txt").string()});
        try {
            executaEditor(e());
        } catch (const FimDoRoteiro&) {
        }
        std::string bytes;
        bytesDoTexto(ed(), 1, ed().nLinhas(), [&](std::string_view b) { bytes += b; });
        return bytes;
    }
};

TEST_F(DesfazerTudo, AsManyUndosGiveTheLoadedTextBackAndAsManyRedosTheEditedOne) {
    std::mt19937 sorte(45);
    std::uniform_int_distribution<size_t> qual(0, std::size(kComandos) - 1);
    for (int rodada = 0; rodada < 20; ++rodada) {
        std::string teclas, desfaz, refaz;
        for (int i = 0; i < 40; ++i) {
            teclas += kComandos[qual(sorte)];
            desfaz += "{Ctrl+Z}";
            refaz += "{Alt+Z}";
        }
        EXPECT_EQ(roda(teclas + desfaz), kTexto) << teclas;
        EXPECT_EQ(roda(teclas + desfaz + refaz), roda(teclas + refaz)) << teclas;
    }
}

// A key storm of undo and redo leaves the text as the edits left it.
TEST_F(DesfazerTudo, TenThousandAlternatingUndoAndRedoKeys) {
    const std::string edicao = "{End} fim{Down}{Ctrl+Y}{Ctrl+B}I{Ctrl+B}F{Ctrl+Home}{Ctrl+B}M";
    std::string tempestade;
    for (int i = 0; i < 5000; ++i) tempestade += "{Ctrl+Z}{Alt+Z}";
    EXPECT_EQ(roda(edicao + tempestade), roda(edicao));
}

}  // namespace
