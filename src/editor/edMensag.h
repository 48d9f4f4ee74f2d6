// Messages and spoken prompts: every prompt, confirmation and error is named by a key
// ("EDDESIST"), shown on screen row 9 and spoken from its recording or its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edAjuda.h"
#include "editor/editor.h"

// The built-in text of a message key; an error text for a key the program does not have.
std::string textoMensagem(std::string_view chave);
std::vector<std::string> chavesMensagens();
// Every message key with its text, in table order (what the recordings are made from).
std::vector<TextoFalado> textosMensagens();

// Writes the message at the cursor, clears the rest of the row and speaks it: its
// recording when the messages directory has one, else its text.
void escreveMensagem(Editor& e, std::string_view chave);
// The same on row 9, the prompts' row.
void falaMensagem(Editor& e, std::string_view chave);
// A key read with spoken echo, letters upper-cased; 0 for an extended key (its scan code
// stays in the queue).
uint8_t leTeclaFalada(Editor& e);

// The help and choice routine of the command families, called with the scan code of the
// extended key that answered a family prompt. F1 shows and reads the list `prefixo` and
// returns the next key upper-cased; any other key opens the pop-up list of its lines
// 2..`linhas` and returns the chosen line's command letter, or Esc (27).
uint8_t menuAjuda(Editor& e, uint8_t scan, std::string_view prefixo, int linhas);
// The pop-up list part alone: the command letter of the chosen line as it stands (case
// kept), or Esc (27).
uint8_t escolheNaLista(Editor& e, std::string_view prefixo, int linhas);
