// Word-processor documents.
#pragma once

#include "editor/editor.h"

void alternaMarcasTela(Editor& e);
void insereMarcasFormatacao(Editor& e);
void geraDoc(Editor& e);
void escolheModoFalaFormatacao(Editor& e);
