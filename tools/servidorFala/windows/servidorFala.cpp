// sonare-servidor-fala on Windows: the speech server for block command S, listening on the
// local link as MONOLOG/TALK (or the names given) and reading every text poked to it with
// the family's own engine through the sound device (or, with --audio-out, into a WAV file).
// A new text stops the one being read; an empty text just stops it.
#include "servidorFala/atendimento.h"
#include "servidorFala/vozPropria.h"

int main(int argc, char** argv) {
    int saida = 0;
    const auto opcoes = leOpcoesServidorFala(argc, argv, saida);
    return opcoes ? atendeComVozPropria(*opcoes) : saida;
}
