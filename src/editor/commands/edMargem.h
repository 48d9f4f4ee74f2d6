// Margins, tabs and beautify.
#pragma once

#include "editor/editor.h"

void tabulacao(Editor& e);
void comandoMargensTabs(Editor& e);
void defineMargens(Editor& e);
void familiaMargens(Editor& e);
