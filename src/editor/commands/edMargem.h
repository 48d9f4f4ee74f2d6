// Margins, tabs and beautify.
#pragma once

#include "editor/editor.h"

#include <string>
#include <string_view>
#include <vector>

// Tab (Ctrl+I): blanks up to the next column 4k + 1.
void tabulacao(Editor& e);
// Ctrl+T: the cursor to the next tab column, the line padded with blanks to reach it.
void comandoMargensTabs(Editor& e);
// F10: asks for both margins.
void defineMargens(Editor& e);
// F9 M.
void familiaMargens(Editor& e);

// Fills the marked block to the margins, keeping its paragraphs; the marks then cover the
// lines made, the cursor is on the first. `falar`: "Bloco margeado" is said.
void acertaMargens(Editor& e, bool falar);
// The fill itself: the lines made from `linhas` between the margins `esquerda`..`direita`
// (1 <= esquerda < direita <= 255).
std::vector<std::string> preencheMargens(const std::vector<std::string_view>& linhas,
                                         int esquerda, int direita);
// Breaks the current line after a typed character took it past the right margin: the
// last word goes to a new line below, indented to the left margin, and the cursor
// follows it.
void quebraAutomatica(Editor& e);
