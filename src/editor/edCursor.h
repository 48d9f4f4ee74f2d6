// Cursor movement and character editing: every move is heard (the character or word
// passed over, a click for a line change, a message at either end of the text).
#pragma once

#include <cstdint>
#include <string_view>

#include "editor/editor.h"

// Digits, ASCII letters and every code from 128 up make words; the rest separates them.
bool caractereDePalavra(uint8_t c);
// True when the text holds only blanks (or nothing).
bool linhaEmBranco(std::string_view linha);
// The length of the complete formatting mark ("<IN>", "<TF=Arial>", ...) that `texto`
// ends with, 0 when it does not end with one.
size_t marcaNoFim(std::string_view texto);

// Character editing.
void insereCaractere(Editor& e, uint8_t c);
// A typed character Windows-1252 lacks (the key queue's kScanUnicode): a UTF-8 text keeps
// it as a placeholder, as loading does; an ANSI text cannot, and refuses it aloud.
void digitaUnicode(Editor& e);
void apagaEsquerda(Editor& e, bool anuncia, bool ecoa);
// False (after one beep) when there is no character under the cursor.
bool apagaDireita(Editor& e, bool anuncia, bool ecoa);
void apagaSelecao(Editor& e);
void apagaFimLinha(Editor& e);
void apagaInicioLinha(Editor& e);
void apagaPalavraEsquerda(Editor& e);
void letraEspecial(Editor& e);

// Within the line.
void esquerda(Editor& e);
void direita(Editor& e);
void inicioLinha(Editor& e);
void fimLinha(Editor& e);
void palavraDireita(Editor& e, bool bipa);
void palavraEsquerda(Editor& e, bool bipa);
// Ctrl+Right and Ctrl+Left: the word passed over is spoken.
void palavraDireitaFalada(Editor& e);
void palavraEsquerdaFalada(Editor& e);

// Between lines.
void linhaAbaixo(Editor& e);
void linhaAcima(Editor& e);
void linhaAbaixoMesmaColuna(Editor& e);
void linhaAcimaMesmaColuna(Editor& e);
void paginaAbaixo(Editor& e);
void paginaAcima(Editor& e);
void inicioTexto(Editor& e);
void fimTexto(Editor& e);
void avancaParagrafo(Editor& e, bool paraNoRecuo);
void recuaParagrafo(Editor& e, bool paraNoRecuo);
void vaiParaLinha(Editor& e);
void memorizaPosicao(Editor& e);
void voltaPosicao(Editor& e);

// Where am I.
void informaColuna(Editor& e);
void informaLinha(Editor& e);

// F9 C.
void familiaCursor(Editor& e);
