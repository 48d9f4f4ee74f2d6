// Where keys become commands: the control keys, the extended keys, the F9 command menu
// and the leaving confirmation.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/editor.h"

// A key's command, named so the keyboard's vocabulary can be listed and checked. `passo`
// names the undo step of a command that changes the text without a confirmation that
// names it.
struct ComandoTecla {
    uint8_t codigo;
    const char* nome;
    void (*executa)(Editor&);
    std::string_view passo = {};
};
const std::vector<ComandoTecla>& tabelaControle();   // codes 1..31 and 127
const std::vector<ComandoTecla>& tabelaEstendida();  // scan codes after a 0
const ComandoTecla* procuraComando(const std::vector<ComandoTecla>& tabela, uint8_t codigo);

// Each runs the key's command and says how the undo history groups it.
ComandoHistorico despachaControle(Editor& e, uint8_t codigo);
ComandoHistorico despachaEstendida(Editor& e, uint8_t scan);
void menuComandos(Editor& e);
void menuWord(Editor& e);
bool confirmaSaida(Editor& e);
void executaOutroEditor(Editor& e);
void teclaEnter(Editor& e);
void teclaCtrlEnter(Editor& e);
