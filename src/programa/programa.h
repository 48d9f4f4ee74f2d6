// The editor's program body: start-up from the INI file and the command line, then the
// one loop that reads keys and hands each to its command.
#pragma once

#include <string>
#include <vector>

#include "editor/editor.h"

// The family's arguments ("/L", "/D", the file name), without the Linux options.
void inicializaEditor(Editor& e, const std::vector<std::string>& argumentos);
// Loads the first file and runs the key loop; never returns (the program ends through
// the leaving commands or the window's closing).
[[noreturn]] void executaEditor(Editor& e);
