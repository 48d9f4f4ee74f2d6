// The beautify commands: the lines of the marked block centred, filled to the margins,
// justified, put at a left column or indented.
#pragma once

#include <string>

#include "editor/editor.h"

// Block command E: the beautify menu.
void menuEmbeleza(Editor& e);
// The line justified between the margins: blanks added to its gaps, from the right, until
// it reaches column `direita`.
std::string justificaLinha(std::string linha, int esquerda, int direita);
