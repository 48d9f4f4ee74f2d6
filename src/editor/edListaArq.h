// The file list of the file-name prompt: the plain files of a folder matching a pattern,
// shown under the prompt and walked through by ear.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

// The folder part of a name, up to and including its last '/' or '\' (empty when none).
std::string parteDiretorio(std::string_view nome);
// The pattern the list shows for a name: the name itself when it holds a '*'; otherwise
// its folder part followed by "*.*", or by "*" when the name holds a '.'.
std::string padraoDaLista(std::string_view nome);
// Whether a file name matches a pattern of '*' (any run) and '?' (any one character),
// without regard to case; "*.*" matches every name, as "x.*" matches "x".
bool casaPadrao(std::string_view padrao, std::string_view nome);
// The names (as the editor writes them) of the plain files matching `padrao`, whose
// folder part names the folder (the current one when empty), in order of name. Hidden
// files (a name beginning with '.') only when the pattern asks for them.
std::vector<std::string> arquivosDoPadrao(std::string_view padrao);

enum class FimLista { Escolheu, Desistiu, Volta };
struct EscolhaArquivo {
    FimLista fim = FimLista::Desistiu;
    std::string nome;  // the file chosen with Enter
};

// Shows `nomes` from screen row `linha`, `altura` rows high, 80 columns wide (79 when the
// list reaches the screen's last row), white on brown, and lets the user walk through it:
// arrows, PgUp/PgDn by ten, Home/End and Ctrl+PgUp/Ctrl+PgDn (with Shift marking the
// entries passed over), F5 and a character to find the next name beginning with it and
// Ctrl+F5 again, Left/Right to spell the name, space, '+', '-', '*', '/' to mark. Each
// entry that becomes current is spoken, after one beep when it is marked. Enter chooses,
// Esc gives up, Tab goes back to the name (two clicks). The screen under the list is put
// back at the end. `nomes` must not be empty.
EscolhaArquivo escolheArquivo(Editor& e, const std::vector<std::string>& nomes, int linha,
                              int altura);
