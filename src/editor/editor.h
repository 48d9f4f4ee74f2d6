// One running editor: the console, the speech front end and the editor state. Every
// command takes it; tests build one on the headless front-end.
#pragma once

#include "console/SnCrt.h"
#include "editor/edVars.h"
#include "mathmode/EDNUMERAVARS.h"
#include "speech/fala.h"

struct Editor {
    SnCrt& crt;
    Fala& fala;
    EdVars ed;
    EstadoNumera numera;
};
