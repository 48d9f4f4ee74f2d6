#include "speech/servidorFala.h"

#include <algorithm>
#include <cmath>

#include "platform/servidorEspeak.h"
#include "platform/servidorSpeechd.h"

namespace {

// An engine that is not available on this system: it never opens, so nothing is ever
// handed to it.
class ServidorIndisponivel : public ServidorFala {
  public:
    bool abre(int, int, int) override { return false; }
    void fala(std::string_view) override {}
    bool falando() override { return false; }
    void para() override {}
    void fecha() override {}
};

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
    if (tipo == kServidorProprio) return std::make_unique<ServidorIndisponivel>();
    return std::make_unique<ServidorEspeak>(ambiente);
}
