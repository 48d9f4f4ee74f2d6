// Puts a running editor together from the command line's Linux options: the front-end
// (window when a display is reachable, else the terminal, else headless), the audio
// device, the console, the speech front end with its trace, and the screen dump written
// when the program ends.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "console/SnCrt.h"
#include "programa/braille.h"
#include "programa/linhaComando.h"
#include "editor/editor.h"
#include "platform/audio.h"
#include "platform/roteiroTeclas.h"
#include "speech/fala.h"

struct Sessao {
    std::unique_ptr<DispositivoAudio> audio;
    std::unique_ptr<SnCrt> crt;
    std::unique_ptr<Fala> fala;
    std::unique_ptr<Editor> editor;
    std::unique_ptr<Braille> braille;  // a braille display, when one may be reached
    std::string frontEnd;  // the one chosen
    std::string semSom;    // why no sound device opened at start-up, or empty
};

// Nothing, with `erro` set, when the key script cannot be read or understood, or the file
// of --audio-out cannot be created.
std::unique_ptr<Sessao> montaSessao(const OpcoesLinux& opcoes, std::string& erro);
// A headless editor typing `teclas` (key-script text), for tests.
std::unique_ptr<Sessao> montaSessaoHeadless(std::string_view teclas);

// The 80 x 25 characters of the screen in UTF-8, one row a line.
std::string despejoTela(const ModeloTela& tela);

// On the first run, the family's default SONARE.INI is copied into the Windows directory
// (never taken from the folder the editor starts in).
void copiaIniPadrao();
