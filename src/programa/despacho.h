// Where keys become commands: the control keys, the extended keys, the F9 command menu
// and the leaving confirmation.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/editor.h"

// A key's command, named so the keyboard's vocabulary can be listed and checked.
struct ComandoTecla {
    uint8_t codigo;
    const char* nome;
    void (*executa)(Editor&);
};
const std::vector<ComandoTecla>& tabelaControle();   // codes 1..31 and 127
const std::vector<ComandoTecla>& tabelaEstendida();  // scan codes after a 0
const ComandoTecla* procuraComando(const std::vector<ComandoTecla>& tabela, uint8_t codigo);

void despachaControle(Editor& e, uint8_t codigo);
void despachaEstendida(Editor& e, uint8_t scan);
void menuComandos(Editor& e);
void menuWord(Editor& e);
bool confirmaSaida(Editor& e);
void executaOutroEditor(Editor& e);
void teclaEnter(Editor& e);
void teclaCtrlEnter(Editor& e);
