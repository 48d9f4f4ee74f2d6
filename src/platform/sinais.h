// Ending the program from outside: SIGTERM, SIGHUP (the terminal closed), SIGINT and
// SIGQUIT. The handler only notes the signal; the program notices it where it waits for
// input and ends through its ordinary path, after keeping what must not be lost, with the
// exit status 128 + the signal, as shells expect. A later such signal ends the program at
// once, for a program that cannot get that far: one that came more than kPrazoReacaoMs
// after the first while nothing is being kept.
#pragma once

#include <cstdint>

constexpr int64_t kPrazoReacaoMs = 2000;

// Installed once, before any front-end (a library that would install its own handlers
// leaves these alone). Signals ignored when the program started (nohup) stay ignored.
void instalaSinaisFim();
// The signal that asked the program to end; 0 while none came.
int sinalFim();
// The exit status of a program ending now: 128 + the signal that ended it, else `codigo`.
int codigoSaida(int codigo);
// Run by a signal that ends the program at once; it must be async-signal-safe (it puts the
// terminal back). nullptr: nothing.
void defineRestauroImediato(void (*restauro)());

// While it lives the program is keeping the user's text: a signal to end waits (the
// program is ending already), so the copy is never cut half-way.
class AdiaSinaisFim {
  public:
    AdiaSinaisFim();
    ~AdiaSinaisFim();
    AdiaSinaisFim(const AdiaSinaisFim&) = delete;
    AdiaSinaisFim& operator=(const AdiaSinaisFim&) = delete;
};

// For the system's own handler (a signal handler, or the console's event thread); both are
// async-signal-safe. `agoraMs` is the handler's monotonic clock.
// Notes a request to end. True when it must end the program at once: a later request,
// more than kPrazoReacaoMs after the first, while nothing is being kept; the handler then
// calls encerraJa.
bool notaPedidoFim(int sinal, int64_t agoraMs);
// Puts back what must be put back (see defineRestauroImediato) and ends the children.
void encerraJa();
