// Clipboard transfer.
#pragma once

#include "editor/editor.h"

void copiaParaClipboard(Editor& e);
void colaLinhas(Editor& e);
void colaNaLinha(Editor& e);
void copiaSelecao(Editor& e);
