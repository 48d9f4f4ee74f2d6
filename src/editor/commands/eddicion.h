// Spelling dictionary.
#pragma once

#include "editor/editor.h"

void trocaPorSugestao(Editor& e);
void alternaDicionario(Editor& e);
void verificaPalavraAnterior(Editor& e);
void carregaDicionario(Editor& e);
