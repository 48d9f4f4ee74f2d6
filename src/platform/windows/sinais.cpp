#include "platform/sinais.h"

#include <windows.h>

#include <atomic>
#include <csignal>

#include "platform/processos.h"

namespace {

// Process-wide by nature, as a signal handler is on Linux. The number noted is the
// signal a Linux program would have got, so the program's ending path is the same.
std::atomic<int> gSinal{0};
std::atomic<int64_t> gPrimeiroMs{0};  // when the first event came
std::atomic<int> gAdiando{0};
std::atomic<void (*)()> gRestauro{nullptr};

int64_t agoraMs() { return static_cast<int64_t>(GetTickCount64()); }

// Console close, logoff and shutdown come on a thread of their own, and the process ends
// when this returns: it waits a while, so that the program's own path keeps the text
// first. Ctrl+C and Ctrl+Break are noted the same way. A later event ends the program at
// once, as a later signal does on Linux: not while the text is being kept, nor within
// kPrazoReacaoMs of the first.
BOOL WINAPI aoEventoConsole(DWORD evento) {
    const int sinal = evento == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int nenhum = 0;
    if (gSinal.compare_exchange_strong(nenhum, sinal)) {
        gPrimeiroMs.store(agoraMs());
    } else if (gAdiando.load() == 0 && agoraMs() - gPrimeiroMs.load() >= kPrazoReacaoMs) {
        if (void (*restauro)() = gRestauro.load()) restauro();
        encerraFilhosJa();
        return FALSE;  // the default handling ends the process
    }
    if (evento == CTRL_CLOSE_EVENT || evento == CTRL_LOGOFF_EVENT ||
        evento == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);  // Windows allows about five seconds
    return TRUE;
}

}  // namespace

void instalaSinaisFim() { SetConsoleCtrlHandler(aoEventoConsole, TRUE); }

int sinalFim() { return gSinal.load(); }

int codigoSaida(int codigo) {
    const int sinal = sinalFim();
    return sinal != 0 ? 128 + sinal : codigo;
}

void defineRestauroImediato(void (*restauro)()) { gRestauro.store(restauro); }

AdiaSinaisFim::AdiaSinaisFim() { ++gAdiando; }
AdiaSinaisFim::~AdiaSinaisFim() { --gAdiando; }
