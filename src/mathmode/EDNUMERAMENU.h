// The math mode's menu (commands, variables, functions, constants, conversions and stored
// expressions, one column each) and the assistant that writes the chosen item into the
// document, asking for its parameters one question at a time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "mathmode/EDNUMERAVARS.h"

inline constexpr int kColunasMenuNumera = 11;

// Ctrl+F10: the menu, until Esc, Enter on an entry (the assistant) or F2 (the program run).
void menuNumera(Editor& e);

// The column lists as the menu builds them on opening: entry 0 the heading, entry 1
// empty, the items from entry 2.
std::vector<std::vector<std::string>> listasMenuNumera(const Editor& e);
// The prompt that names the entry `item` of column `coluna` (empty when it is spelled).
std::string promptEntradaMenu(int coluna, int item);
// F1's help prompt of an entry (empty when it has none); F3's unit prompt of a constant.
std::string promptAjudaMenu(int coluna, int item);
std::string promptUnidadeConstante(int item);

// Enter on an entry of the menu: the item written into the document.
void assistenteComando(Editor& e, int coluna, int item);

// The answer field of the assistant: the question on row 22, the prompt played, the
// answer typed on row 23 (at most 71 characters); Esc gives an empty text.
std::string perguntaTexto(Editor& e, std::string_view pergunta, std::string_view prompt);
// A question answered by one of two letters: the first (or Enter) gives 1, the second
// (or Esc) 0.
int perguntaEscolha(Editor& e, std::string_view pergunta, std::string_view prompt, char letra1,
                    char letra2);

// Every recorded prompt name the math mode can play, for the voice kit's check.
std::vector<std::string> promptsNumera();
