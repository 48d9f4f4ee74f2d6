#include "mathmode/EDNUMERA.h"

#include "editor/pendente.h"

void leituraLinha(Editor& e) { comandoPendente(e); }
void menuNumera(Editor& e) { comandoPendente(e); }

std::string versaoNumera() { return EstadoNumera{}.versaoNumera; }
