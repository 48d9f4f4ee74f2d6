// Undo (Ctrl+Z) and redo (Alt+Z): each says what it took back or made again ("Desfeito:
// bloco removido, 12 linhas"), puts the cursor on the first line the step touched and reads
// that line as the automatic reading would.
#pragma once

#include "editor/editor.h"

void desfaz(Editor& e);
void refaz(Editor& e);
