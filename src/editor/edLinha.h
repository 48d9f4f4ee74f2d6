// Line commands: adding, removing, splitting and joining whole lines.
#pragma once

#include <cstdint>
#include <string_view>

#include "editor/editor.h"

void insereLinha(Editor& e, std::string_view texto, bool falar);
void insereLinhaAbaixo(Editor& e, std::string_view texto, bool falar);
void removeLinha(Editor& e, bool falar);
void restauraLinha(Editor& e);
void quebraLinha(Editor& e);
void juntaLinhas(Editor& e);
// Inserts a text at the cursor inside the current line; false (one beep) when the line
// would pass 255 characters.
bool insereTextoNaLinha(Editor& e, std::string_view texto);
// "Todo texto (T) ou bloco (B)": asked until the answer is T, B or Esc (27), returned.
uint8_t pedeTodoOuBloco(Editor& e);
void alteraLinhasComTexto(Editor& e, bool noInicio, bool excluir);
void familiaLinhas(Editor& e);
