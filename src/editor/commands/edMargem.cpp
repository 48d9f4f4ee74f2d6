#include "editor/commands/edMargem.h"

#include "editor/pendente.h"

void tabulacao(Editor& e) { comandoPendente(e); }
void comandoMargensTabs(Editor& e) { comandoPendente(e); }
void defineMargens(Editor& e) { comandoPendente(e); }
void familiaMargens(Editor& e) { comandoPendente(e); }
