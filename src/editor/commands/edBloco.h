// Block commands: a block is a run of whole lines, inicioBloco..fimBloco, on which these
// commands work. Ctrl+B and the command menu's B ask for the command's letter.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/editor.h"

// Ctrl+B: asks "EDCMDBLK"; any key without a command gives up ("EDDESIST").
void familiaBlocos(Editor& e);
// The command menu's B: asks "EDOPCAO"; Esc gives up, any other key without a command
// beeps (the menu redraws the screen afterwards).
void familiaBlocosMenu(Editor& e);

// Whether the marks name lines of the text: start 1 or more, end not below it and not
// past the last line.
bool blocoValido(const EdVars& ed);
// The lines of the cursor's paragraph: the cursor line and the non-empty lines touching
// it above and below (a line of blanks is not empty).
std::pair<int, int> paragrafoDoCursor(const EdVars& ed);

void marcaInicioBloco(Editor& e);
void marcaFimBloco(Editor& e);
void desmarcaBloco(Editor& e);
void selecionaTudo(Editor& e);
void paragrafoViraBloco(Editor& e);
void moveBloco(Editor& e);
void copiaBloco(Editor& e);
void removeBloco(Editor& e);
void removeLinhasEmBranco(Editor& e);
void justificaParagrafo(Editor& e);
void ordenaBloco(Editor& e);
// U: case conversions, UTF-8 and the word count.
void menuConversao(Editor& e);
// L, G and A: a file read in as the block, the block written to a file or appended to one.
void leArquivoBloco(Editor& e);
void gravaBloco(Editor& e);
void adicionaBlocoArquivo(Editor& e);

// The order the block sort leaves its lines in, from their comparison forms: the new k-th
// line is the old line ordem[k]. The same order as the exchange loop below, found without
// running it.
std::vector<int> ordemDaTroca(std::span<const std::string> formas);

// Lower case, then the first character of each word raised by the plain ASCII rule (a
// word beginning with an accented letter keeps it small).
std::string primeirasMaiusculas(std::string_view texto);
// The words of a line: runs of characters between blanks.
int contaPalavras(std::string_view linha);
