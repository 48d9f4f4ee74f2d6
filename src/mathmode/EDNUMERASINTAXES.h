// The math language's translator: the program around the cursor into the code lines the
// run-time carries out, which "codigo.txt" keeps for the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Editor;

// Translates the program around the cursor; the outcome is in e.numera. Returns the code
// lines, which "codigo.txt" also holds after its first, empty line (up to the error, after
// one).
std::vector<std::string> traduzPrograma(Editor& e);
// A source line normalised with the separator given ('.' or ','): decimal separator, no
// blanks, upper case, comments removed.
std::string normalizaLinha(std::string_view texto, char separador);
// The implicit products of a code line made explicit: "2X" -> "2*X", "2(X)" -> "2*(X)",
// "(A)(B)" -> "(A)*(B)", "SQRT(X)" -> "SQRT*(X)".
std::string insereMultiplicacoes(std::string linha);
