// Messages and spoken prompts: every prompt, confirmation and error is named by a key
// ("EDDESIST"), shown on screen row 9 and spoken from its recording or its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

std::string textoMensagem(std::string_view chave);
std::vector<std::string> chavesMensagens();
void escreveMensagem(Editor& e, std::string_view chave);
void falaMensagem(Editor& e, std::string_view chave);
// A key read with spoken echo, letters upper-cased; 0 for an extended key (its scan code
// stays in the queue).
uint8_t leTeclaFalada(Editor& e);
// The help and choice routine of the command families; returns the chosen letter or Esc.
uint8_t menuAjuda(Editor& e, uint8_t scan, std::string_view prefixo, int linhas);
