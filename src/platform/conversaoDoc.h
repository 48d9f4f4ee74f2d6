// Document conversion: the outside programs that turn word-processor documents into text
// and back (LibreOffice, catdoc, unrtf, the family's docconv) and the font list of
// fontconfig. Each runs from an argument vector, never through a shell, and is ended when
// it takes longer than its time limit or the user gives up.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arquivoNovo.h"

enum class FimConversor {
    Concluido,    // ended by itself with exit code 0
    Falhou,       // ended with another code, or by a signal
    NaoIniciado,  // could not be started
    Expirou,      // ran past its time limit and was ended
    Desistiu,     // the user gave up and it was ended
};

struct ResultadoConversor {
    FimConversor fim = FimConversor::NaoIniciado;
    int codigo = -1;  // the exit code when it ended by itself
};

// Runs `argumentos` (the first an absolute program path) to its end, its standard output
// into `saida` (none when empty). `aguarda` is called about every 100 ms while it runs
// (the caller keeps the screen and the keys alive) and returns false when the user gives
// up; past `limite` the program is ended.
ResultadoConversor executaConversor(const std::vector<std::string>& argumentos,
                                    const std::filesystem::path& saida,
                                    std::chrono::milliseconds limite,
                                    const std::function<bool()>& aguarda);

// The program `configurado` names (a Windows path of the configuration), or, when that is
// empty, the first of `nomes` found in the folders of PATH. Empty when there is none, or
// when the configuration says "N" (the program is not to be used).
std::filesystem::path achaConversor(std::string_view configurado,
                                    std::initializer_list<std::string_view> nomes);
// LibreOffice, as achaConversor finds it.
std::filesystem::path achaLibreOffice(std::string_view configurado);

// The arguments that make LibreOffice convert `documento` into `formato` (its
// "--convert-to" value) inside `pasta`, headless, with a profile folder of the family's
// own so that it works while the user has LibreOffice open.
std::vector<std::string> argumentosLibreOffice(const std::filesystem::path& soffice,
                                               const std::filesystem::path& documento,
                                               std::string_view formato,
                                               const std::filesystem::path& pasta);

// A "file://" address of a path, with every byte outside the unreserved set escaped.
std::string enderecoArquivo(const std::filesystem::path& caminho);

// A private folder for a conversion's intermediate files, removed with its contents when
// the object ends. `valida()` is false when it could not be made.
class PastaConversao {
  public:
    PastaConversao();
    ~PastaConversao();
    PastaConversao(const PastaConversao&) = delete;
    PastaConversao& operator=(const PastaConversao&) = delete;
    bool valida() const { return !caminho_.empty(); }
    const std::filesystem::path& caminho() const { return caminho_; }

  private:
    std::filesystem::path caminho_;
};

// Reads a whole file; false when it cannot be read or is larger than `maximo` bytes.
bool leArquivoInteiro(const std::filesystem::path& arquivo, std::string& conteudo,
                      uintmax_t maximo);
