#include "platform/sinais.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "platform/processos.h"

namespace {

constexpr int kSinaisFim[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// Process-wide by nature: a signal handler reaches nothing else.
std::atomic<int> gSinal{0};
std::atomic<int64_t> gPrimeiroMs{0};  // when the first signal came
std::atomic<int> gAdiando{0};
std::atomic<void (*)()> gRestauro{nullptr};

// A clock a signal handler may read.
int64_t agoraMs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

extern "C" void aoSinalFim(int sinal) {
    const int errnoAntes = errno;
    int nenhum = 0;
    if (gSinal.compare_exchange_strong(nenhum, sinal)) {
        gPrimeiroMs.store(agoraMs());
        errno = errnoAntes;
        return;
    }
    // The program is keeping the text, or has just been told to end and will see it.
    const int64_t primeiro = gPrimeiroMs.load();
    if (gAdiando.load() > 0 || primeiro == 0 || agoraMs() - primeiro < kPrazoReacaoMs) {
        errno = errnoAntes;
        return;
    }
    if (void (*restauro)() = gRestauro.load()) restauro();
    encerraFilhosJa();
    ::signal(sinal, SIG_DFL);
    ::raise(sinal);
}

}  // namespace

void instalaSinaisFim() {
    struct sigaction acao {};
    acao.sa_handler = aoSinalFim;
    // One handler at a time: the first signal is the one that counts.
    sigemptyset(&acao.sa_mask);
    for (int sinal : kSinaisFim) sigaddset(&acao.sa_mask, sinal);
    // No SA_RESTART: a wait in progress returns, so the signal is seen at once.
    for (int sinal : kSinaisFim) {
        struct sigaction anterior {};
        if (::sigaction(sinal, nullptr, &anterior) != 0 || anterior.sa_handler == SIG_IGN)
            continue;
        ::sigaction(sinal, &acao, nullptr);
    }
}

int sinalFim() { return gSinal.load(); }

int codigoSaida(int codigo) {
    const int sinal = sinalFim();
    return sinal != 0 ? 128 + sinal : codigo;
}

void defineRestauroImediato(void (*restauro)()) { gRestauro.store(restauro); }

AdiaSinaisFim::AdiaSinaisFim() { ++gAdiando; }
AdiaSinaisFim::~AdiaSinaisFim() { --gAdiando; }
