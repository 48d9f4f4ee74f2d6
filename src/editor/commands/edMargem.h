// Margins, tabs and beautify.
#pragma once

#include "editor/editor.h"

void tabulacao(Editor& e);
void comandoMargensTabs(Editor& e);
void defineMargens(Editor& e);
void familiaMargens(Editor& e);
// Fills the block's lines to the margins; `falar` says what was done.
void acertaMargens(Editor& e, bool falar);
// Breaks the current line after a typed character took it past the right margin: the
// last word goes to a new line below, indented to the left margin, and the cursor
// follows it.
void quebraAutomatica(Editor& e);
