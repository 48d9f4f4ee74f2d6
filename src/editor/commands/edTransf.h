// Clipboard transfer: copy and paste of whole lines or of the Shift selection, the copy in
// word-processor form (block command W), and the decoding of mail encodings in a block
// (block command X).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

// Ctrl+C and Ctrl+V, speaking what they did.
void copiaParaClipboard(Editor& e);
void colaLinhas(Editor& e);
// Shift+Ins and Ctrl+Ins: the same with a click instead of the message.
void colaNaLinha(Editor& e);
// Text pasted into the terminal (the key queue's paste), inserted as Ctrl+V inserts the
// clipboard's; how many lines were inserted is said, and how many characters the text
// could not hold (an ANSI text holds only Windows-1252).
void colaDoTerminal(Editor& e);
void copiaSelecao(Editor& e);
// Block command W: the block (the cursor line when nothing is marked) joined into
// paragraphs for a word processor.
void copiaBlocoWord(Editor& e);
// Block command X: asks Q, U, G or T and decodes every line of the block.
void decodificaBloco(Editor& e);

// The clipboard's text cut into the lines a paste inserts: at LF, CR LF or a lone CR,
// after a blank once a line has 160 characters, and at 255 characters.
std::vector<std::string> linhasDaColagem(std::string_view texto);
