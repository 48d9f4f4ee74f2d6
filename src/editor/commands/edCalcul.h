// Calculator and unit conversions.
#pragma once

#include "editor/editor.h"

void calculadoraLinha(Editor& e);
