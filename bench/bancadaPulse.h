// What the benchmarks at a real sound server share: the private server and its listener
// (servidorPulse.h), and the measures taken with them. Needs pulseaudio, pulseaudio-utils and
// libpulse-dev (tools/pacotes.sh, PACOTES_BANCADA).
#pragma once

#include "bancadaTempoReal.h"
#include "servidorPulse.h"

namespace bancada {

using pulseTeste::inicia;
using pulseTeste::kLimiar;
using pulseTeste::Ouvinte;
using pulseTeste::ServidorPulse;
using pulseTeste::termina;

inline void pausa(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// From `t0` to the last sound heard (0 when it was already quiet), into `m`.
inline void anotaSilencio(Ouvinte& o, Relogio::time_point t0, Medida& m) {
    pausa(400);
    const auto u = o.ultimo();
    m.acrescenta(u && *u > t0 ? ms(*u - t0) : 0.0);
}

}  // namespace bancada
