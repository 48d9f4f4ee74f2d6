#include "mathmode/EDNUMERACOMPILA.h"

#include "editor/editor.h"

// The run-time is still to come: a translated program runs as a system error.
void executaPrograma(Editor& e) {
    e.numera.estadoNumera = 2;
    e.numera.codigoErro = 5;
}
