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
// The lines that enclose a run's results in the text: the next run of the program finds
// them right after "\END;" and replaces the block. Math-mode comments, so a block that
// finds its way into a program changes nothing.
inline constexpr std::string_view kInicioResultados = "%% Resultados do NUMERA";
inline constexpr std::string_view kFimResultados = "%% Fim dos resultados";

// F2 of the menu: the program around the cursor translated and run under the looping
// working sound; the results inserted after "\END;" in place of the last run's, then
// read out, or the error spoken.
void compilaEExecuta(Editor& e);
// The run's lines inserted between the marks after line linhaResultados - 1, in place of
// an earlier run's block there; then the error spoken. The cursor ends on the block's
// first line (line linhaResultados).
void insereResultados(Editor& e, const std::vector<std::string>& linhas);
// The error of the last run (its prompt, the offending piece spelled, its line), when
// there was one.
void falaErroNumera(Editor& e);
// The math mode's part of the version announcement.
void falaVersaoNumera(Editor& e);
