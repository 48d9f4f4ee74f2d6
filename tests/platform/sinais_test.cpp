// Requests to end the program from outside, as the system's handler notes them. Each case
// runs in a child process: the noted request is the whole process's.
#include "platform/sinais.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {

// The first request is noted and the program ends through its own path, with 128 + its
// number; a later one ends it at once, but not within the reaction time of the first nor
// while the text is being kept, and it never changes the status.
TEST(SinaisFim, ALaterRequestEndsAtOnceButNeverWhileTheTextIsKept) {
    EXPECT_EXIT(
        {
            bool ok = sinalFim() == 0 && codigoSaida(3) == 3;
            ok = ok && !notaPedidoFim(SIGHUP, 1000) && sinalFim() == SIGHUP &&
                 codigoSaida(0) == 128 + SIGHUP;
            ok = ok && !notaPedidoFim(SIGTERM, 1000 + kPrazoReacaoMs - 1);
            {
                AdiaSinaisFim adia;
                ok = ok && !notaPedidoFim(SIGTERM, 1000 + 10 * kPrazoReacaoMs);
            }
            ok = ok && notaPedidoFim(SIGTERM, 1000 + kPrazoReacaoMs) && sinalFim() == SIGHUP;
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
