// One running editor: the console, the speech front end and the editor state. Every
// command takes it; tests build one on the headless front-end.
#pragma once

#include <memory>
#include <utility>

#include "console/SnCrt.h"
#include "editor/edVars.h"
#include "speech/fala.h"

// The math mode's run state. The editor carries it for the math mode, which sits above the
// editor and defines it; whoever assembles an editor creates it.
struct EstadoNumera;

struct Editor {
    Editor(SnCrt& c, Fala& f, std::shared_ptr<EstadoNumera> n)
        : crt(c), fala(f), estadoNumera_(std::move(n)), numera(*estadoNumera_) {}
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    SnCrt& crt;
    Fala& fala;
    EdVars ed;

private:
    // A shared owner keeps the deleter of the complete type, so the editor's layer never needs
    // the math mode's definition.
    std::shared_ptr<EstadoNumera> estadoNumera_;

public:
    EstadoNumera& numera;
};
