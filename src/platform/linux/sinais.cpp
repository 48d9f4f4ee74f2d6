#include "platform/sinais.h"

#include <time.h>

#include <cerrno>
#include <csignal>

namespace {

constexpr int kSinaisFim[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

// A clock a signal handler may read.
int64_t agoraMs() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

extern "C" void aoSinalFim(int sinal) {
    const int errnoAntes = errno;
    if (notaPedidoFim(sinal, agoraMs())) {
        encerraJa();
        ::signal(sinal, SIG_DFL);
        ::raise(sinal);
    }
    errno = errnoAntes;
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
