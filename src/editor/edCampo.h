// The spoken line editor: every prompt that asks for a text or a number edits a field of
// one screen row with it. Keys speak what they pass over; a proposed value is replaced by
// typing over it; the keys it does not handle end editing and are handed to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/editor.h"

struct Campo {
    int coluna = 1, linha = 1;  // screen position of the field's first cell
    int largura = 80;           // visible cells; cut to the right edge of the screen
    size_t maximo = 255;        // longest text the field holds
    bool editando = true;       // false: the text cannot be changed, only read
    int cursor = 1;             // where the cursor starts (1-based)
};

struct FimCampo {
    // The key that ended editing: Tab 9, Ctrl+Enter 10, Enter 13, Esc 27, or with
    // `estendida` the scan code of an extended key (Alt+F1 gives 104).
    uint8_t tecla = 0;
    bool estendida = false;
    int coluna = 1;  // the cursor position in the field at the end (1-based)
};

// Edits `texto` in `campo` until a key ends it; `texto` then holds the field's text
// without trailing blanks.
FimCampo editaCampo(Editor& e, std::string& texto, const Campo& campo);

// A line of up to 255 characters typed at the cursor; empty when left with Esc (what was
// typed is blanked). The cursor then goes to the start of the next screen row.
std::string leLinhaFalada(Editor& e);
// A whole number typed at the cursor; `atual` when the entry is empty, left with Esc or
// not a number.
int leNumeroFalado(Editor& e, int atual);

// Word moves inside a text, 1-based columns, as the text's own word commands move: the
// start of the next word (at most length + 1) and the start of the word before (at least
// 1); `bateu` tells whether the move ran into the end or the start of the text.
int inicioProximaPalavra(std::string_view texto, int coluna, bool* bateu = nullptr);
int inicioPalavraAnterior(std::string_view texto, int coluna, bool* bateu = nullptr);
