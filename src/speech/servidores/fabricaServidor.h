// The factory of speech servers: the one place that knows every server the program has.
#pragma once

#include <memory>

#include "speech/servidorFala.h"

// The engine of `tipo`: 5 the speech service, 3 the own engine (when its voice or rule
// files are missing it fails to open, which leaves the program in recorded speech), any
// other the espeak-ng library.
std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente);
