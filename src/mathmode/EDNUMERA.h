// Math mode.
#pragma once

#include <string>

#include "editor/editor.h"

void inicializaTabelas(Editor& e);
void leituraLinha(Editor& e);
void menuNumera(Editor& e);
std::string versaoNumera();
