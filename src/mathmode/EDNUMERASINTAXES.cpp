#include "mathmode/EDNUMERASINTAXES.h"

#include "editor/editor.h"

// The translator is still to come: every program is reported as a system error.
void traduzPrograma(Editor& e) {
    e.numera.estadoNumera = 2;
    e.numera.codigoErro = 5;
}

std::string normalizaLinha(std::string_view texto) { return std::string(texto); }
