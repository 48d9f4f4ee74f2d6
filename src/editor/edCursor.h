// Cursor movement and character editing.
#pragma once

#include <cstdint>

#include "editor/editor.h"

void proximoParagrafo(Editor& e);
void paragrafoAnterior(Editor& e);
void apagaAteFim(Editor& e);
void letrasEspeciais(Editor& e);
void vaiParaLinha(Editor& e);
void apagaAnterior(Editor& e);
void falaColuna(Editor& e);
void falaNumeroLinha(Editor& e);
void apagaAteInicio(Editor& e);
void apagaPalavraAnterior(Editor& e);
void linhaAnterior(Editor& e);
void sobePagina(Editor& e);
void caractereEsquerda(Editor& e);
void caractereDireita(Editor& e);
void proximaLinha(Editor& e);
void descePagina(Editor& e);
void apagaSelecao(Editor& e);
void apagaCaractere(Editor& e);
void linhaAnteriorMesmaColuna(Editor& e);
void proximaLinhaMesmaColuna(Editor& e);
void palavraEsquerda(Editor& e);
void palavraDireita(Editor& e);
void fimTexto(Editor& e);
void inicioTexto(Editor& e);
void familiaCursor(Editor& e);
// Types one character at the cursor.
void insereCaractere(Editor& e, uint8_t c);
