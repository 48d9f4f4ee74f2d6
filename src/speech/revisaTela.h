// Screen review: a reading cursor, independent of the text cursor, that walks the console
// screen and speaks its characters, words, lines, fields and ranges, and finds a text on it.
// It lets a blind user read prompts, lists and panels the program has drawn.
#pragma once

#include <string>

#include "console/SnCrt.h"
#include "speech/fala.h"

// Runs the review until Esc; the console cursor is put back where it was. `textoBusca` is
// the last text searched for, kept by the caller between reviews.
void revisaTela(SnCrt& crt, Fala& fala, std::string& textoBusca);
