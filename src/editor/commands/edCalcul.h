// The tape calculator and the one-step conversions. Numbers are written on successive
// lines, each ending with the operator that joins it to the next line, the last one with
// "="; Ctrl+F6 on the first line inserts the result under the last and speaks it. On a
// line such as "5=" Ctrl+F6 offers the conversions and functions, chosen by a letter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"

// Ctrl+F6: the conversion chooser on a line ending with "=", else the tape from the
// cursor line.
void calculadoraLinha(Editor& e);

// The part of a tape line that makes up its arithmetic: the characters of numbers and
// operators at its end, with the character before them (or the blank before them).
std::string_view termoDaLinha(std::string_view linha);
// The decimal separator the user chose for the whole program (SEPARADORDECIMAL of section
// PLUMAR, "," or "."); 0 when the key is missing, empty or neither: each part then keeps
// its own rule (the calculator's ".", the math mode's locale).
char separadorDecimalConfigurado(Editor& e);
// The number a term stands for. With no separator configured (0) the calculator's own
// reading: "," is dropped as a thousands mark. With "," or ".", the other character marks
// thousands between groups of three digits; a number that breaks the rule ("1.2,3") has
// no value.
std::optional<double> valorTermo(std::string_view termo, char separador = 0);
// A result as written into the text: fixed notation with `decimais` places (rounded half
// away from zero) and the given separator, the places dropped when there are two or more
// and all are zeros; undefined and infinite results as words.
std::string formataResultado(double x, int decimais, char separador = '.');
