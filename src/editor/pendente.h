// Commands still to come answer with two beeps, as keys without a command do.
#pragma once

#include "editor/editor.h"

inline void comandoPendente(Editor& e) {
    e.fala.bip();
    e.fala.bip();
}
