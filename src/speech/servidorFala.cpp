#include "speech/servidorFala.h"

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

}  // namespace

std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente) {
    if (tipo == kServidorSapi5) return std::make_unique<ServidorSpeechd>();
    if (tipo == kServidorProprio) return std::make_unique<ServidorIndisponivel>();
    return std::make_unique<ServidorEspeak>(ambiente);
}
