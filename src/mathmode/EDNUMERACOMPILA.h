// The math mode's run-time: the code lines loaded, their blocks checked and the statements
// carried out, with the evaluator's memory and the exchange statements' files.
#pragma once

#include <string>
#include <vector>

struct Editor;

// Runs the translator's code lines with the constants and the stored expressions; the
// outcome is in e.numera. Returns the lines the run wrote or, after an error, the error's
// lines in their place (an abandoned run keeps what it wrote before them).
std::vector<std::string> executaPrograma(Editor& e, const std::vector<std::string>& codigo);
