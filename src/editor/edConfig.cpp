#include "editor/edConfig.h"

#include "editor/pendente.h"

void painelConfiguracao(Editor& e) { comandoPendente(e); }
void vozPropria(Editor& e) { comandoPendente(e); }
void familiaConfiguracao(Editor& e) { comandoPendente(e); }
void vozSapi(Editor& e, int) { comandoPendente(e); }
