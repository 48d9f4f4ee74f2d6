#include "mathmode/EDNUMERA.h"

#include "editor/pendente.h"

// The math tables are rebuilt before every extended key; there are none yet.
void inicializaTabelas(Editor&) {}
void leituraLinha(Editor& e) { comandoPendente(e); }
void menuNumera(Editor& e) { comandoPendente(e); }

std::string versaoNumera() { return "1.0"; }
