#include "editor/commands/edBloco.h"

#include "editor/pendente.h"

void familiaBlocos(Editor& e) { comandoPendente(e); }
