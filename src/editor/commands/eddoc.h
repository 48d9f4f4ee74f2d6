// Word-processor documents: the family of commands (F9 W and the Alt shortcuts) that put
// formatting marks into the text, choose how they are shown and spoken, and make a
// document of the text with the family's converter.
#pragma once

#include "editor/editor.h"

void alternaMarcasTela(Editor& e);          // O, Alt+O
void insereMarcasFormatacao(Editor& e);     // F, Alt+F
void geraDoc(Editor& e);                    // G, Alt+G
void escolheModoFalaFormatacao(Editor& e);  // M, Alt+M
