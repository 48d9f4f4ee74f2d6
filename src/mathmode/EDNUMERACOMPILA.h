// The math mode's run-time: the code lines loaded, their blocks checked and the statements
// carried out, with the evaluator's memory and the exchange statements' files.
#pragma once

struct Editor;

// Loads "codigo.txt" and the constant and expression files, and runs the program; the
// outcome is in e.numera and the output in "resultados.txt".
void executaPrograma(Editor& e);
