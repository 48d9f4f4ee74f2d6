// Options and configuration.
#pragma once

#include <array>
#include <string_view>

#include "editor/editor.h"

void painelConfiguracao(Editor& e);
// Alt+0: back to the family's own voice (recorded speech and the built-in synthesizer).
void vozPropria(Editor& e);
void familiaConfiguracao(Editor& e);
// Alt+1..3: the speech server voice presets VOZ1..VOZ3 of section SAPIUTIL.
void vozSapi(Editor& e, int preset);
// A preset's four numbers, voice, rate, pitch and engine type, separated by blanks, each
// with an optional leading "-"; reading stops at any other character, and the numbers not
// read are 0.
std::array<int, 4> lePresetVoz(std::string_view texto);
