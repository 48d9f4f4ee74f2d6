// Search and replace.
#pragma once

#include "editor/editor.h"

void procura(Editor& e);
void procuraTroca(Editor& e);
void procuraDeNovo(Editor& e);
void familiaBusca(Editor& e);
