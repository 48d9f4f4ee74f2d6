// What every build of sonare-servidor-fala shares: its command line, a block's text as the
// voices take it, and the listening loop. Each system brings its own voice.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct OpcoesServidorFala {
    std::string aplicacao = "MONOLOG";
    std::string topico = "TALK";
    // --audio-out: read with the own engine into this WAV, which follows the clock as the
    // sound would play, instead of through the sound device (so a test can hear it)
    std::string saidaAudio;
};

// The options of the command line (UTF-8). Nothing when the program must end at once, with
// its exit status in `saida`: 0 after --help, 2 after an option it does not know.
std::optional<OpcoesServidorFala> leOpcoesServidorFala(int argc, char** argv, int& saida);

// The text as poked: up to its NUL, line ends as the speech engines like them.
std::string textoFalado(const std::string& dados);

// Listens as the options say, prints where, and hands every block poked to `fala` (an
// empty one asks only to stop) until the program is asked to end (Ctrl+C, a console
// closed, SIGTERM or SIGHUP). The program's exit status.
int atendeBlocos(const OpcoesServidorFala& opcoes,
                 const std::function<void(std::string_view texto)>& fala);
