#include "speech/servidores/fabricaServidor.h"

#include "speech/tts/uttsBrisa.h"

// The Windows build has the own engine; SAPI 5 for the speech-service types is still to
// come, and until then those types leave the program in recorded speech, as a server that
// fails to open does.
std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente) {
    if (tipo == kServidorProprio) return std::make_unique<ServidorBrisa>(ambiente);
    return nullptr;
}
