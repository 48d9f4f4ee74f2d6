// Commands still to come answer with two beeps, as keys without a command do.
#pragma once

#include "editor/editor.h"

inline void comandoPendente(Editor& e) {
    e.fala.bip();
    e.fala.bip();
}

// The screen review mode, entered with Ctrl+Alt+F9 from the line editor, is still to come:
// until then it answers as a command still to come, and editing goes on.
inline void revisaTela(Editor& e) { comandoPendente(e); }
