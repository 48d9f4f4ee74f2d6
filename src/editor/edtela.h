// Screen display and reading commands.
#pragma once

#include "editor/editor.h"

void leProximaFrase(Editor& e);
void falaProximaPalavra(Editor& e);
void leRestoLinha(Editor& e);
void leAteFim(Editor& e);
void executaPalavraCursor(Editor& e);
void falaFormatacaoCursor(Editor& e);
void mudaLarguraTela(Editor& e);
void familiaLeitura(Editor& e);

// Full redraw: status, message row cleared, the lines around the cursor (the current
// line always on row 15).
void redesenhaTela(Editor& e);
// Only the current line and the status.
void redesenhaLinhaAtual(Editor& e);
// Speaks the whole current line.
void falaLinha(Editor& e);
