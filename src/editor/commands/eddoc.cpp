#include "editor/commands/eddoc.h"

#include "editor/pendente.h"

void alternaMarcasTela(Editor& e) { comandoPendente(e); }
void insereMarcasFormatacao(Editor& e) { comandoPendente(e); }
void geraDoc(Editor& e) { comandoPendente(e); }
void escolheModoFalaFormatacao(Editor& e) { comandoPendente(e); }
