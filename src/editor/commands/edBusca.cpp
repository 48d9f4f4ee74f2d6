#include "editor/commands/edBusca.h"

#include "editor/pendente.h"

void procura(Editor& e) { comandoPendente(e); }
void procuraTroca(Editor& e) { comandoPendente(e); }
void procuraDeNovo(Editor& e) { comandoPendente(e); }
void familiaBusca(Editor& e) { comandoPendente(e); }
