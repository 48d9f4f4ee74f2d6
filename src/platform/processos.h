// Starting outside programs: an argument vector handed to posix_spawn (on Windows, a
// command line quoted so the program's runtime gets the same vector back), never a command
// line for a shell, so blanks, quotes and shell characters in a name reach the program as
// they are. Children are reaped as they end; those still running when the program ends,
// however it ends, are ended with it (each with the programs it started).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Processos {
  public:
    Processos() = default;
    ~Processos();
    Processos(const Processos&) = delete;
    Processos& operator=(const Processos&) = delete;

    // Starts `argumentos[0]` (as achaNoPath finds it when it holds no '/') with the rest
    // as its arguments, in `diretorio` (empty: the current one). The child never gets the
    // editor's terminal: it runs in a session of its own, its standard input is /dev/null
    // and its output goes to plumar.log beside SONARE.INI. 0 when started, else the error
    // number.
    int inicia(const std::vector<std::string>& argumentos, const std::filesystem::path& diretorio);
    // Whether the program started last still runs.
    bool rodando();
    // Waits at most `limite` for the program started last to end; true when it has.
    bool esperaFim(std::chrono::milliseconds limite);

    // A converter: a program whose work is a file. Its standard input is /dev/null, its
    // standard output goes into `saida` (created or emptied; /dev/null when empty), and
    // it runs in a session of its own, without the terminal, whose process group
    // encerra() ends with the programs it started. 0 when started, else the error number.
    int iniciaConversor(const std::vector<std::string>& argumentos,
                        const std::filesystem::path& saida);
    // Ends the program started last, and its group, at once.
    void encerra();
    // The exit code of the program started last once it has ended by itself; empty while
    // it runs, or when a signal ended it.
    std::optional<int> codigoSaida();

  private:
    int lanca(const std::vector<std::string>& argumentos, const std::filesystem::path& diretorio,
              const std::optional<std::filesystem::path>& saida);
    void recolhe();

#ifdef _WIN32
    struct Filho {
        void* processo;
        void* trabalho;  // the job object its own children join
    };
    std::vector<Filho> filhos_;
    void* ultimo_ = nullptr;
#else
    std::vector<pid_t> filhos_;
    pid_t ultimo_ = 0;
#endif
    int estadoUltimo_ = -1;  // wait status of the program started last, once reaped
};

// Runs `argumentos[0]` (as achaNoPath finds it) with its input and errors on /dev/null and
// returns what it wrote, at most `limite` bytes; nothing when it cannot start, ends with
// an error, or has not ended within `prazo` (it is then killed).
std::optional<std::string> saidaDePrograma(const std::vector<std::string>& argumentos,
                                           std::chrono::milliseconds prazo, size_t limite);

// The program `nome` in the folders of PATH, only those given as absolute paths: an empty
// or relative entry would be whatever folder the program happens to be in. Empty when
// there is none.
std::filesystem::path achaNoPath(std::string_view nome);

// Ends every child still running, and the programs each started, at once. Safe in a signal
// handler.
void encerraFilhosJa();

// Whether `arquivo` is a regular file this user may execute.
bool ehExecutavel(const std::filesystem::path& arquivo);
// The program that opens documents and web addresses with the desktop's choice.
#ifdef _WIN32
constexpr const char* kAbridorSistema = "explorer.exe";
// The command line that hands `argumentos` to a Windows program exactly as they are, by
// the quoting rules its C runtime (and CommandLineToArgvW) reads back.
std::wstring linhaDeComando(const std::vector<std::string>& argumentos);
#else
constexpr const char* kAbridorSistema = "xdg-open";
#endif
