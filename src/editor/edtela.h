// The editor's screen and the reading commands.
//
// Screen: rows 1..7 the banner (with the status "L: C:" on row 1 from column 66), row 9
// the messages, rows 10..25 the lines around the cursor, the current line always on row
// 15. Only larguraTela columns of a line are shown, from column deslocamentoTela + 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "speech/abreviaturas.h"

// The screen row of the current line.
inline constexpr int kLinhaAtualTela = 15;

// Waits until the speech has ended; a key pressed meanwhile stops it.
void esperaFimDaFala(Editor& e);

// Clears the screen and draws the banner (at start-up and when the width changes).
void configuraTela(Editor& e);
// "Sem dispositivo de som" in the banner when no sound device is open (everything else is
// mute): a lasting state, kept apart from the message row's messages.
void avisaSemSom(Editor& e);
// Full redraw: waits for the speech to end, clears the message row (unless a message was
// written since the last key), draws rows 10..25 and the file's name in the banner.
void redesenhaTela(Editor& e);
// The message row, the current line and the status; a full redraw when the line has to
// scroll sideways.
void atualizaLinhaTela(Editor& e);
// The name the cursor commands use for atualizaLinhaTela.
inline void redesenhaLinhaAtual(Editor& e) {
    atualizaLinhaTela(e);
}
// Ctrl+F7: larguraTela between 79 and 39, and the screen set up again.
void alternaLargura(Editor& e);

// Text columns scrolled off to the left for the cursor at `coluna`: none while it fits,
// else enough in steps of 8 to bring it on screen.
int calculaDeslocamento(int coluna, int largura);
// What row 10..25 shows of `linha`: recognised marks left out when `apenasTexto`, then
// `largura` characters from column `deslocamento` + 1, control codes as blanks.
std::string parteVisivel(std::string_view linha, int deslocamento, int largura, bool apenasTexto);

// Speaks `texto` honouring modoFalaFormatacao: N whole, or cut at the marks (B a beep
// for each, F announced, M silent).
void falaLinha(Editor& e, std::string_view texto);
// The whole current line.
void falaLinha(Editor& e);
// With the automatic reading on, the line the cursor landed on: spoken whole, or one beep
// when it is empty and no key waits. The column is kept.
void leLinhaDeChegada(Editor& e);

// A segment for a speech server, cut at the signs it would swallow: ! ( ) , . / : ; < ?
// and backslash, each a piece of its own to be spelled; the full stop of an abbreviation of
// the list stays with it ("Sr. Silva"), for the server writes it out.
struct PecaFalada {
    std::string texto;
    bool sinal = false;
    bool operator==(const PecaFalada&) const = default;
};
std::vector<PecaFalada> cortaNaPontuacao(std::string_view segmento,
                                         const Abreviaturas& abreviaturas = {});

// F1: the word (or mark, number, character) at the cursor, moving past it.
void proximaPalavra(Editor& e);
// Ctrl+F1: the line from the cursor to its end.
void restoDaLinha(Editor& e);
// The line from its start up to the cursor, which stays where it was.
void inicioDaLinha(Editor& e);
// Ctrl+F: the sentence from the cursor; true when the text has ended.
bool proximaFrase(Editor& e);
// Ctrl+F11, Alt+F1: sentence after sentence to the end of the text, until a key.
void leAteOFim(Editor& e);
// Alt+I: the formatting in force at the cursor.
void informaFormatacao(Editor& e);
// F12: opens the word under the cursor (a program, a document or a web address).
void executaPalavra(Editor& e);
// F9 F: the reading family.
void familiaFala(Editor& e);

// The word under the cursor at `coluna` (between the blanks around it) with the
// punctuation that often wraps names stripped from both ends.
std::string palavraParaExecutar(std::string_view linha, int coluna);
