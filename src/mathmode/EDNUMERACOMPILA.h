// The math mode's run-time: the code file loaded and executed, with the expression
// evaluator and the variable memory it works on.
#pragma once

struct Editor;

// Loads "codigo.txt" and the constant and expression files, and runs the program; the
// outcome is in e.numera and the output in "resultados.txt".
void executaPrograma(Editor& e);
