// Math mode: the banner, the F2 run (translate, run, insert the results, report) and the
// spoken error report.
#pragma once

#include <string>
#include <vector>

#include "editor/editor.h"
#include "mathmode/EDNUMERAVARS.h"

std::string versaoNumera();

// "NUMERA - v.1.0" beside the editor's banner, white on red.
void mostraBannerNumera(Editor& e);
// F2 of the menu: the program around the cursor translated and run under the looping
// working sound; the results inserted after "\END;" and any error spoken.
void compilaEExecuta(Editor& e);
// The results' lines inserted after line linhaResultados - 1, then the error spoken; the
// cursor ends on line linhaResultados.
void insereResultados(Editor& e, std::vector<std::string> linhas);
// The error of the last run (its prompt, the offending piece spelled, its line), when
// there was one.
void falaErroNumera(Editor& e);
// The math mode's part of the version announcement.
void falaVersaoNumera(Editor& e);
