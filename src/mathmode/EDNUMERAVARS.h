// The math mode's shared run state, its language tables and its small file routines.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Editor;

// A label of the program and the number of its statement (1 = BEGIN), for GOTO.
struct EtiquetaNumera {
    std::string nome;
    int instrucao = 0;
};

// What a translation or a run left behind; lives in the Editor, reset by inicializaTabelas.
struct EstadoNumera {
    // 0 reset, 1 valid so far / ended normally, 2 error found, 3 abandoned by the user.
    int estadoNumera = 0;
    int codigoErro = 0;          // index into textosErroNumera
    std::string parametroErro;   // the offending piece, spelled to the user
    // When the offending character is one the decimal separator rule put in the line (the
    // user's "," read as "."), a line that says so.
    std::string notaErro;
    int linhaErro = 0;           // document line reported with the error
    int linhaResultados = 0;     // results go after this document line
    std::string versaoNumera = "1.0";
    // Statement index in the code lines (0 = BEGIN, "\NOP;" lines not counted) -> document
    // line on which it begins (for run-time errors).
    std::array<int, 3001> mapaLinhas{};
    // The labels of the last translation, in the order they were defined.
    std::vector<EtiquetaNumera> etiquetas;
};

// The language's tables; constant, so "rebuilding" them is resetting the state above.
extern const std::array<std::string_view, 30> palavrasChave;
extern const std::array<std::string_view, 7> prefixosTipo;
// Function and conversion names; the one at index i has operator code 126 + i.
extern const std::array<std::string_view, 114> nomesFuncoes;
// First match at the start of a line identifies a command.
extern const std::array<std::string_view, 29> prefixosComando;
// Searched in this order.
extern const std::array<std::string_view, 6> operadoresComparacao;
// Error n's text, Windows-1252; each begins with "#E" and the number.
extern const std::array<std::string_view, 120> textosErroNumera;

// The lines that report the error in `estado`: its text, the offending piece when there is
// one, the word on the decimal separator when there is one, and its document line.
std::vector<std::string> linhasErroNumera(const EstadoNumera& estado);

// Index of a function name in nomesFuncoes, -1 when it is none.
int indiceFuncao(std::string_view nome);

// The language's characters: a digit; a letter (A-Z, for lines are upper-cased first); a
// character of a name, which adds "[", "]", "_" and the "a" that parts a matrix element's
// two indices.
bool digitoNumera(char c);
bool letraNumera(char c);
bool caractereDeNome(char c);
// A number as the user writes one: a sign, digits with at most one separator, and an
// exponent "E", "E+" or "E-" with its digits.
bool numeroEscrito(std::string_view s, char separador);
// A text variable, vector or matrix: a name beginning STR, V_S or M_S.
bool nomeDeTexto(std::string_view nome);
// The pieces of a text between the separators, as written (one empty piece for an empty
// text).
std::vector<std::string> separaCampos(std::string_view texto, char separador);
// Splits at the first separator; false when there is none.
bool cortaNoPrimeiro(std::string_view s, char separador, std::string_view& antes,
                     std::string_view& depois);

// Resets the run state and the statement-to-line map before an extended key.
void inicializaTabelas(Editor& e);

// The configuration files of "\COMANDOS\CONFIG\": written ones live beside SONARE.INI
// (created on first use); a file never written there is read from the family's prompts.
std::filesystem::path arquivoNumeraEscrita(std::string_view nome);
std::filesystem::path arquivoNumeraLeitura(const Editor& e, std::string_view nome);
// The lines of a file (CR LF or LF ends), empty when it cannot be read.
std::vector<std::string> leLinhasNumera(const std::filesystem::path& arquivo);
// Replaces a configuration file whole (a temporary file renamed over it), one CR LF after
// every line, so an interrupted write never leaves half a file. False when it cannot.
bool gravaLinhasNumera(std::string_view nome, const std::vector<std::string>& linhas);

// An exchange file a program names ("DADOS" and ".csv"): in the folder of the document (the
// working folder for a text without a name), found without regard to case; a link there
// stands for its target when that lies in the same folder. Nothing when the name would leave
// the folder (a separator, "..") or what stands there is not a plain file of the folder's
// own (a FIFO, a device, a folder, a link leading out, a file with other hard links), so a
// program received from someone else touches nothing else. A missing file is given too.
std::optional<std::filesystem::path> arquivoTroca(const Editor& e, std::string_view nome,
                                                  std::string_view extensao);
// The lines of an exchange file (CR LF or LF ends); nothing when it is missing or not a plain
// file with one name. It is opened without following a link and without waiting on a FIFO.
std::optional<std::vector<std::string>> leLinhasTroca(const std::filesystem::path& arquivo);
// Replaces an exchange file whole, one CR LF after every line: a new file made beside it
// (never an existing one) renamed over it, keeping its permissions. False when it cannot be
// written, or when what stands there now is not a plain file with one name.
bool gravaLinhasTroca(const std::filesystem::path& arquivo, const std::vector<std::string>& linhas);
// "Emptying": the file then holds one CR LF. False when it cannot be written.
bool esvaziaArquivo(std::string_view nome);

// The decimal separator of the user's numbers: '.' when the system's conversion under the
// user's LC_NUMERIC reads "2.3" whole, else ','. The process's own locale is not touched.
char separadorDecimal();
// The one the user chose for the whole program (SEPARADORDECIMAL), else the locale's.
char separadorDecimal(Editor& e);

// Rows 22 and 23 cleared and `pergunta` written on row 22, white on red.
void mostraPerguntaNumera(Editor& e, std::string_view pergunta);
// The one-line input field of row 23 (the question is already on row 22): returns the text
// typed, empty on Esc. `nomeVariavel` is spelled after the extended keys, as a reminder.
std::string leLinhaNumera(Editor& e, std::string_view nomeVariavel);
