#include "platform/sinais.h"

#include <atomic>

#include "platform/processos.h"

namespace {

// Process-wide by nature: a signal handler reaches nothing else.
std::atomic<int> gSinal{0};
std::atomic<int64_t> gPrimeiroMs{0};  // when the first request came
std::atomic<int> gAdiando{0};
std::atomic<void (*)()> gRestauro{nullptr};

}  // namespace

bool notaPedidoFim(int sinal, int64_t agoraMs) {
    int nenhum = 0;
    if (gSinal.compare_exchange_strong(nenhum, sinal)) {
        gPrimeiroMs.store(agoraMs);
        return false;
    }
    // The program is keeping the text, or has just been told to end and will see it.
    const int64_t primeiro = gPrimeiroMs.load();
    return gAdiando.load() == 0 && primeiro != 0 && agoraMs - primeiro >= kPrazoReacaoMs;
}

void encerraJa() {
    if (void (*restauro)() = gRestauro.load()) restauro();
    encerraFilhosJa();
}

int sinalFim() { return gSinal.load(); }

int codigoSaida(int codigo) {
    const int sinal = sinalFim();
    return sinal != 0 ? 128 + sinal : codigo;
}

void defineRestauroImediato(void (*restauro)()) { gRestauro.store(restauro); }

AdiaSinaisFim::AdiaSinaisFim() { ++gAdiando; }
AdiaSinaisFim::~AdiaSinaisFim() { --gAdiando; }
