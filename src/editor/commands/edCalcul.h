// The tape calculator and the one-step conversions. Numbers are written on successive
// lines, each ending with the operator that joins it to the next line, the last one with
// "="; Ctrl+F6 on the first line inserts the result under the last and speaks it. On a
// line such as "5=" Ctrl+F6 offers the conversions and functions, chosen by a letter.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

// Ctrl+F6: the conversion chooser on a line ending with "=", else the tape from the
// cursor line.
void calculadoraLinha(Editor& e);

// The part of a tape line that makes up its arithmetic: the characters of numbers and
// operators at its end, with the character before them (or the blank before them).
std::string_view termoDaLinha(std::string_view linha);
// The number a term stands for.
double valorTermo(std::string_view termo);
// A result as written into the text: fixed notation with `decimais` places (rounded half
// away from zero), the places dropped when there are two or more and all are zeros;
// undefined and infinite results as words.
std::string formataResultado(double x, int decimais);
