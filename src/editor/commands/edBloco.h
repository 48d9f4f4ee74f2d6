// Block commands.
#pragma once

#include "editor/editor.h"

void familiaBlocos(Editor& e);
