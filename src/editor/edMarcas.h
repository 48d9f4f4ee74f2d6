// Formatting marks in the editor: announcing them as they are read. What a mark is, and
// the text without its marks, are in marcasTexto.h.
#pragma once

#include <string_view>

#include "editor/editor.h"
#include "editor/marcasTexto.h"

// Recognises `texto` as a mark, updates `estado` and, unless `silencioso`, announces it
// (messages through falaMensagem, names and numbers through falaTexto). False, with
// nothing changed or said, when `texto` is not a recognised mark.
bool interpretaMarca(Editor& e, EstadoFormatacao& estado, std::string_view texto, bool silencioso);

// Applies silently every recognised mark of `texto` (each "<" up to the next ">").
void aplicaMarcas(Editor& e, EstadoFormatacao& estado, std::string_view texto);
