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

// Speaks the message without writing it: its recording when the messages directory has
// one that can be read, else its text.
void dizMensagem(Editor& e, std::string_view chave);
// Writes the message at the cursor, clears the rest of the row and speaks it.
void escreveMensagem(Editor& e, std::string_view chave);
// The same on row 9, the prompts' row.
void falaMensagem(Editor& e, std::string_view chave);
// On row 9 too, its text spoken by the voice in use, never its recording: how a voice
// just chosen lets itself be heard.
void falaMensagemComVoz(Editor& e, std::string_view chave);
// Screen review, said on entering and on leaving (spoken only: row 9 keeps what the user
// came to read).
void revisaTelaAvisada(Editor& e);
// A key read with spoken echo, letters upper-cased; 0 for an extended key (its scan code
// stays in the queue).
uint8_t leTeclaFalada(Editor& e);

// A command family prompt: the question, its help list and how the screen is redrawn.
struct PerguntaFamilia {
    std::string_view ajuda;  // the family's help list ("EDAJLI")
    int linhas = 0;          // how many of its lines are offered
    std::string_view pergunta = "EDOPCAO";
    bool redesenhaAoDesistir = true;  // Esc also redraws the screen
    bool redesenhaAposAjuda = false;  // an answer given in the help redraws it again
};
// Says the question, reads the answer with spoken echo (letters upper-cased) and redraws
// the screen; an extended key opens the family's help, whose answer is taken instead.
// Esc comes back as 27 for the family to say "EDDESIST".
uint8_t perguntaFamilia(Editor& e, const PerguntaFamilia& p);

// The help and choice routine of the command families, called with the scan code of the
// extended key that answered a family prompt. F1 shows and reads the list `prefixo` and
// returns the next key upper-cased; any other key opens the pop-up list of its lines
// 2..`linhas` and returns the chosen line's command letter, or Esc (27).
uint8_t menuAjuda(Editor& e, uint8_t scan, std::string_view prefixo, int linhas);
// The pop-up list part alone: the command letter of the chosen line as it stands (case
// kept), or Esc (27).
uint8_t escolheNaLista(Editor& e, std::string_view prefixo, int linhas);
