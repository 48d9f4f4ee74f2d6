#include "platform/sinais.h"

#include <atomic>
#include <csignal>

namespace {

constexpr int kSinaisFim[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// Process-wide by nature: a signal handler reaches nothing else.
std::atomic<int> gSinal{0};
std::atomic<void (*)()> gRestauro{nullptr};

extern "C" void aoSinalFim(int sinal) {
    int nenhum = 0;
    if (gSinal.compare_exchange_strong(nenhum, sinal)) return;
    if (void (*restauro)() = gRestauro.load()) restauro();
    ::signal(sinal, SIG_DFL);
    ::raise(sinal);
}

}  // namespace

void instalaSinaisFim() {
    struct sigaction acao {};
    acao.sa_handler = aoSinalFim;
    sigemptyset(&acao.sa_mask);
    // No SA_RESTART: a wait in progress returns, so the signal is seen at once.
    for (int sinal : kSinaisFim) {
        struct sigaction anterior {};
        if (::sigaction(sinal, nullptr, &anterior) != 0 || anterior.sa_handler == SIG_IGN)
            continue;
        ::sigaction(sinal, &acao, nullptr);
    }
}

int sinalFim() { return gSinal.load(); }

void defineRestauroImediato(void (*restauro)()) { gRestauro.store(restauro); }
