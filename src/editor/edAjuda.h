// The help lists of the command families: a prefix ("EDAJLI") and numbered lines. Line 1
// is usually the list's title; each further line is two blanks, a command letter, " - "
// and a description. Help line n of a list is also the name of its recording ("EDAJLI3").
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Number of lines of the list `prefixo`; 0 for a list the program does not have.
int linhasAjuda(std::string_view prefixo);
// Line `linha` (1-based) of the list; empty outside the list.
std::string_view textoAjuda(std::string_view prefixo, int linha);
// The command letter of a help line: its first non-blank character (0 when none).
char letraComando(std::string_view linhaAjuda);

// One spoken text of the program with the name of its recording.
struct TextoFalado {
    std::string chave;
    std::string texto;
};
// Every help line with its recording name ("EDAJLI3"), list by list, in order.
std::vector<TextoFalado> textosAjuda();
