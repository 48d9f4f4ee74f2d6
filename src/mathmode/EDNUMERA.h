// Math mode.
#pragma once

#include <string>

#include "editor/editor.h"
#include "mathmode/EDNUMERAVARS.h"

void leituraLinha(Editor& e);
void menuNumera(Editor& e);
std::string versaoNumera();
