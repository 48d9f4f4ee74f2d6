// Where keys become commands: the control keys, the extended keys, the F9 command menu
// and the leaving confirmation.
#pragma once

#include <cstdint>

#include "editor/editor.h"

// Selection anchors and the other per-key state of the loop.
void despachaControle(Editor& e, uint8_t codigo);
void despachaEstendida(Editor& e, uint8_t scan);
void menuComandos(Editor& e);
void menuWord(Editor& e);
bool confirmaSaida(Editor& e);
void executaOutroEditor(Editor& e);
void teclaEnter(Editor& e);
void teclaCtrlEnter(Editor& e);
