#include "speech/servidorFala.h"

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

std::unique_ptr<ServidorFala> criaServidorFala(int, const AmbienteServidor&) {
    return std::make_unique<ServidorIndisponivel>();
}
