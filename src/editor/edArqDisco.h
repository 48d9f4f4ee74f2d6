// The text files on disk: their names, reading them line by line, and writing them so
// that a failed save never leaves a damaged file behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gravacaoSegura.h"

// A file name as the editor keeps it (Windows-1252, '\' accepted as a separator) turned
// into a path of the system (UTF-8 names). A part that exists on disk only with its bytes
// as they are (an old name that is not UTF-8) is taken as it is.
std::filesystem::path caminhoSistema(std::string_view nome);
// A name of the system (UTF-8) as the editor shows and speaks it; a part of it that has
// characters Windows-1252 lacks is kept with its own bytes.
std::string nomeEditor(const std::filesystem::path& caminho);
// The folder of the text `nomeArquivo` (an editor's name), absolute; the current folder for
// a text without a name.
std::filesystem::path pastaDoTexto(std::string_view nomeArquivo);

// Splits bytes into text lines as they arrive, in pieces of any size: CR, LF and CR LF end
// a line (CR LF counted once, even across two pieces); a TAB is 8 blanks; other codes
// below 32 become '#'; past 160 characters the next blank ends the line (the blanks after
// it are skipped) and at 180 the line ends at once. A line end right after such a split
// adds no empty line; the end of the data ends the last line without making an empty one.
class LeitorLinhas {
  public:
    using Recebe = std::function<void(std::string_view)>;

    explicit LeitorLinhas(Recebe recebe) : recebe_(std::move(recebe)) {}
    void alimenta(std::string_view bytes);
    // The end of the data (or of what could be read): a line begun is handed over.
    void termina();
    // Back to the start of the data, as new (the lines handed over are the caller's to drop).
    void reinicia();
    // Whether a long line was split.
    bool dividiu() const { return dividiu_; }
    // Control codes 1.. below this one are placeholders of a decoded text, kept as they are.
    void aceitaMarcas(int quantas) { marcas_ = quantas; }

  private:
    void fimDeLinha();
    void caractere(char c);
    void fecha(bool divisao);

    Recebe recebe_;
    std::string atual_;
    bool temLinha_ = false;       // characters were taken for the current line
    bool pulaBrancos_ = false;    // a split at a blank: the blanks after it are dropped
    bool recemDividida_ = false;  // a split just ended the line: its line end adds nothing
    bool depoisDeCR_ = false;     // an LF right after a CR is the same line end
    bool dividiu_ = false;
    int marcas_ = 0;
};

// The lines of `bytes` read by the rules above; `dividiu` tells whether one was split.
std::vector<std::string> separaLinhas(std::string_view bytes, bool& dividiu);

enum class EstadoLeitura {
    Lido,          // read to the end
    NaoExiste,     // no file of that name (a new file)
    Ilegivel,      // it exists but is no file that can be read (a folder, a device...)
    ErroNoMeio,    // a read error: the lines before it were handed over
    GrandeDemais,  // larger than kMaiorArquivoTexto: nothing read
};
// The largest text file the editor opens: the text is kept in memory, and a larger file
// would take more of it than a machine may have (the system would end the program).
constexpr uintmax_t kMaiorArquivoTexto = uintmax_t{256} << 20;
// Reads the regular file `caminho` through `leitor`, in pieces, and ends it.
EstadoLeitura leArquivoTexto(const std::filesystem::path& caminho, LeitorLinhas& leitor);
struct CodificacaoArquivo;
// Reads the text file `caminho` (at most kMaiorArquivoTexto bytes) through `leitor`: one
// that is UTF-8, or UTF-16 with its byte-order mark, is decoded and `cod` says how to write
// it back; any other is read as Windows-1252 bytes and `cod` is reset (it says why when a
// UTF-8 or UTF-16 file could not be decoded). UTF-8 is read once, decoded as it comes; when
// a file found at last not to be UTF-8 went out as decoded text, `recomeca` drops the lines
// handed over and it is read again as bytes. `aceitaUtf8` false: always as bytes (a DOS
// file).
EstadoLeitura leArquivoCodificado(const std::filesystem::path& caminho, LeitorLinhas& leitor,
                                  CodificacaoArquivo& cod, const std::function<void()>& recomeca,
                                  bool aceitaUtf8 = true);
// Whether `caminho` is a regular file that can be opened for reading.
bool podeAbrir(const std::filesystem::path& caminho);
