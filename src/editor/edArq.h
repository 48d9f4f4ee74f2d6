// Files: loading, saving, the file name prompts and the file command family.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edArqDisco.h"
#include "editor/editor.h"

// The file-name prompt at the cursor: the name typed (trimmed), empty when the user gave
// none. Tab, a '*' in the name or a folder open the list of the files that match, `linhas`
// rows high under the prompt; choosing one gives its folder part and its name.
std::string pedeNomeArquivo(Editor& e, int linhas);
// Loads the file named by nomeArquivo (asked for when empty). False when the user gave no
// name. A file that exists but cannot be read says "EDERRLEI" and leaves nomeArquivo
// empty, so that a later save asks for a name instead of writing over it; with
// `outroTexto` (a text is being edited) it asks for another name instead, and nothing of
// the text changes until a file is loaded.
bool carregaArquivo(Editor& e, bool outroTexto = false);

// Saves lines primeira..ultima (the empty lines at the end of the range left out), each
// followed by CR LF. True when the file on disk now holds them; on any failure the file
// on disk is as it was.
bool gravaArquivo(Editor& e, int primeira, int ultima);
bool gravaTexto(Editor& e);  // the whole text
// Makes sure nomeArquivo names a file that may be written, asking for one when empty.
bool pedeNomeGravacao(Editor& e);
// Lines primeira..ultima in the paragraph export format, written as one piece.
bool gravaParagrafos(Editor& e, int primeira, int ultima);
// The paragraph export format: lines joined into paragraphs for a word processor.
std::string formatoParagrafos(const std::vector<std::string>& linhas);

void gravaComoOutro(Editor& e);
// F3: the offer to save, then another file chosen and loaded (the block marks cleared).
// Giving up at the name leaves the text as it was, still changed when it was.
void novoArquivo(Editor& e);
void informaNome(Editor& e, bool soletrar);
void imprime(Editor& e);
// Ends the program; a changed text that was not saved leaves its copy in the state
// folder, and the last words say where.
[[noreturn]] void terminaEditor(Editor& e);
// Saves the whole text and ends the program; stays when the text was not saved.
void gravaESai(Editor& e);
void familiaArquivos(Editor& e);
// A key answering a question, echoed and upper-cased. Focus changes are no answer, and an
// extended key gives 0 with its scan code taken out of the queue, so that it is never
// read as a letter (Del would be an "S").
uint8_t leResposta(Editor& e);
// A name without a folder gets the current folder in front.
std::string caminhoCompleto(std::string_view nome);
// The name part of a path, Windows or Linux separators alike.
std::string_view parteArquivo(std::string_view nome);
// The window title for the file being edited: its name (no folder) and encoding.
std::string tituloJanela(std::string_view nomeArquivo, const CodificacaoArquivo& cod);
