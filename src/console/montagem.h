// Puts the console together from the command line's Linux options: the front-end
// (window when a display is reachable, else the terminal, else headless), the audio
// device, and the screen dump written when the program ends.
#pragma once

#include <memory>
#include <string>

#include "console/SnCrt.h"
#include "console/linhaComando.h"
#include "platform/audio.h"

struct Plataforma {
    std::unique_ptr<DispositivoAudio> audio;
    std::unique_ptr<SnCrt> crt;
    std::string frontEnd;  // the one chosen
};

// Nothing, with `erro` set, when the key script cannot be read or understood.
std::unique_ptr<Plataforma> montaPlataforma(const OpcoesLinux& opcoes, std::string& erro);

// The 80 x 25 characters of the screen in UTF-8, one row a line.
std::string despejoTela(const ModeloTela& tela);
