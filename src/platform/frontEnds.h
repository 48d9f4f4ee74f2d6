// Factories of the three front-ends, and the base of those without a display.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/frontEnd.h"

// The SDL2 window; nullptr when this build has no SDL or no display is reachable.
std::unique_ptr<FrontEnd> criaFrontEndJanela();
// The ANSI/xterm terminal on standard input and output; nullptr when they are not a terminal.
std::unique_ptr<FrontEnd> criaFrontEndTerminal();
// No display; `eventos` are the script's keys, handed over one key at a time when the
// program waits for a key with an empty queue. The clock is virtual.
struct TeclaRoteiro;
std::unique_ptr<FrontEnd> criaFrontEndHeadless(std::vector<TeclaRoteiro> teclas);

// The base of a front-end with no display: nothing to open, paint or name (the headless
// runs, the speech server's voice, tests).
class FrontEndSemTela : public FrontEnd {
public:
    bool abre(const ConfigJanela&, const ModeloTela&) override { return true; }
    void fecha() override {}
    void pinta(const Retangulo&) override {}
    void atualizaCursor() override {}
    void titulo(const std::string&) override {}
};
