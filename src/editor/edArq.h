// Files: loading, saving, the file name prompts and the file command family.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

// Reads the lines of a file's bytes: CR, LF or CR LF end a line, TAB becomes 8 blanks,
// other control characters '#', long lines are split after 160 characters at a blank and
// at 180 at once. `dividiu` tells whether a line was split.
std::vector<std::string> separaLinhas(std::string_view bytes, bool& dividiu);

// The file-name prompt at the cursor: the name typed (trimmed), empty when the user gave
// none. `linhas` is the height of the file list offered for Tab, wildcards and folders.
std::string pedeNomeArquivo(Editor& e, int linhas);
// False when the user gave no name.
bool carregaArquivo(Editor& e);
// Saves lines primeira..ultima (the empty lines at the end of the range left out).
void gravaArquivo(Editor& e, int primeira, int ultima);
void gravaTexto(Editor& e);  // the whole text
bool pedeNomeGravacao(Editor& e);
void gravaComoOutro(Editor& e);
void novoArquivo(Editor& e);
void informaNome(Editor& e, bool soletrar);
void imprime(Editor& e);
[[noreturn]] void terminaEditor(Editor& e);
void familiaArquivos(Editor& e);
std::string caminhoCompleto(std::string_view nome);
// The window title for the file being edited.
std::string tituloJanela(std::string_view nomeArquivo);
