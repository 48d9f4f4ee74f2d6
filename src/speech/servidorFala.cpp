#include "speech/servidorFala.h"

#include <algorithm>
#include <cmath>

#include "platform/servidorEspeak.h"
#include "platform/servidorSpeechd.h"
#include "speech/tts/uttsBrisa.h"

namespace {

bool naEscala(int taxa) {
    return taxa >= -10 && taxa <= 10;
}

}  // namespace

int taxaEmPalavras(int taxa) {
    if (!naEscala(taxa) || taxa == 0) return taxa;
    return static_cast<int>(std::lround(kPalavrasPorMinuto * std::pow(3.0, taxa / 10.0)));
}

int taxaNaEscala(int taxa) {
    if (naEscala(taxa)) return taxa;
    if (taxa < 0) return -10;
    const double passos = 10.0 * std::log(static_cast<double>(taxa) / kPalavrasPorMinuto) / std::log(3.0);
    return static_cast<int>(std::clamp(std::lround(passos), -10L, 10L));
}

std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente) {
    if (tipo == kServidorSapi5) return std::make_unique<ServidorSpeechd>();
    if (tipo == kServidorProprio) return std::make_unique<ServidorBrisa>(ambiente);
    return std::make_unique<ServidorEspeak>(ambiente);
}
