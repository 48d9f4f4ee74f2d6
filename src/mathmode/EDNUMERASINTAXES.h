// The math language's translator (the program around the cursor into "codigo.txt") and
// the spoken reading of a line.
#pragma once

#include <string>
#include <string_view>

struct Editor;

// Translates the program around the cursor; the outcome is in e.numera.
void traduzPrograma(Editor& e);
// A source line normalised: decimal separator, no blanks, upper case, comments removed.
std::string normalizaLinha(std::string_view texto);
