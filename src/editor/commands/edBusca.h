// Search and replace.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/editor.h"

// F5: asks for a text and finds it from the cursor line on, ignoring case and accents.
void procura(Editor& e);
// F6: replaces a text, exactly as typed, in the whole text or the block.
void procuraTroca(Editor& e);
// Ctrl+F5: the last text searched, from the line after the cursor.
void procuraDeNovo(Editor& e);
// F9 P.
void familiaBusca(Editor& e);

// Finds a comparison form (formaBusca) in lines as they stand: each byte is folded as it
// is compared, so no folded copy of a line is ever made, and the search skips ahead by
// the pattern's length where it can.
class BuscaDobrada {
  public:
    explicit BuscaDobrada(std::string_view forma);
    // The 1-based column of the first occurrence in `linha`, 0 when there is none (or the
    // pattern is empty).
    int procura(std::string_view linha) const;

  private:
    std::string padrao_;
    std::array<uint8_t, 256> dobra_{};  // byte -> its comparison form
    std::array<uint8_t, 256> salto_{};  // how far the last byte of a window lets it move
};
