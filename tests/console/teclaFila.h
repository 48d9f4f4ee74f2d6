// A key the user presses while the program is busy: its code put straight into the
// console's queue, as a front-end does between two looks at the keyboard.
#pragma once

#include <cstdint>

#include "console/SnCrt.h"

inline void pressionaTecla(SnCrt& crt, uint8_t codigo) {
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::Codigo;
    ev.caractere = codigo;
    crt.trataEvento(ev);
}
