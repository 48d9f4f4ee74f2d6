// Beautify: the block's centring, margins, alignment, tabs and indent.
#pragma once

#include "editor/editor.h"

void menuEmbeleza(Editor& e);
