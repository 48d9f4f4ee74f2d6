#include "platform/sinais.h"

#include <windows.h>

#include <csignal>

namespace {

int64_t agoraMs() { return static_cast<int64_t>(GetTickCount64()); }

// Console close, logoff and shutdown come on a thread of their own, and the process ends
// when this returns: it waits a while, so that the program's own path keeps the text
// first. Ctrl+C and Ctrl+Break are noted the same way. The number noted is the signal a
// Linux program would have got, so the program's ending path is the same; a later event
// ends the program at once, as a later signal does on Linux.
BOOL WINAPI aoEventoConsole(DWORD evento) {
    const int sinal = evento == CTRL_C_EVENT ? SIGINT : SIGTERM;
    if (notaPedidoFim(sinal, agoraMs())) {
        encerraJa();
        return FALSE;  // the default handling ends the process
    }
    if (evento == CTRL_CLOSE_EVENT || evento == CTRL_LOGOFF_EVENT ||
        evento == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);  // Windows allows about five seconds
    return TRUE;
}

}  // namespace

void instalaSinaisFim() { SetConsoleCtrlHandler(aoEventoConsole, TRUE); }
