#include "editor/commands/edCalcul.h"

#include "editor/pendente.h"

void calculadoraLinha(Editor& e) { comandoPendente(e); }
