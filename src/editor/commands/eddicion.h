// Spelling dictionary: the F11 switch, the check while typing, the block check and the
// suggestions of Ctrl+W.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor.h"

// Ctrl+W: offers the dictionary's corrections of the word at the cursor.
void trocaPorSugestao(Editor& e);
// F11: loads the dictionary when needed and switches the check while typing.
void alternaDicionario(Editor& e);
// Two beeps when the word that ends before the cursor is not in the dictionary.
void verificaPalavraAnterior(Editor& e);
// Loads the five files unless already loaded; false when they cannot be loaded.
bool carregaDicionario(Editor& e);
// Marks with '#' the wrong words of lines primeira..ultima and says how many there were;
// false when the dictionary cannot be loaded.
bool verificaLinhas(Editor& e, int primeira, int ultima);
// Block command V.
void verificaBloco(Editor& e);

// The word that ends before `coluna` (1-based) of the line: the line up to that column,
// stripped, then its trailing run of word characters.
std::string_view palavraAntes(std::string_view linha, int coluna);
