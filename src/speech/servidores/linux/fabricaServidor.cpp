#include "speech/servidores/fabricaServidor.h"

#include "speech/servidores/servidorEspeak.h"
#include "speech/servidores/servidorSpeechd.h"
#include "speech/tts/uttsBrisa.h"

std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente) {
    if (tipo == kServidorSapi5) return std::make_unique<ServidorSpeechd>();
    if (tipo == kServidorProprio) return std::make_unique<ServidorBrisa>(ambiente);
    return std::make_unique<ServidorEspeak>(ambiente);
}
