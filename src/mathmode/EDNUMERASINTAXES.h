// The math language's translator: the program around the cursor into "codigo.txt".
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Editor;

// Translates the program around the cursor; the outcome is in e.numera.
void traduzPrograma(Editor& e);
// A source line normalised: decimal separator, no blanks, upper case, comments removed.
std::string normalizaLinha(std::string_view texto);
// The same with the separator given ('.' or ',').
std::string normalizaLinha(std::string_view texto, char separador);
// The implicit products of a code line made explicit: "2X" -> "2*X", "2(X)" -> "2*(X)",
// "(A)(B)" -> "(A)*(B)", "SQRT(X)" -> "SQRT*(X)".
std::string insereMultiplicacoes(std::string linha);
