#include "editor/commands/edTransf.h"

#include "editor/pendente.h"

void copiaParaClipboard(Editor& e) { comandoPendente(e); }
void colaLinhas(Editor& e) { comandoPendente(e); }
void colaNaLinha(Editor& e) { comandoPendente(e); }
void copiaSelecao(Editor& e) { comandoPendente(e); }
