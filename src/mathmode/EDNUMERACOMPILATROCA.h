// The statements of a run that keep constants and expressions and exchange data with the
// user's files: SAVECONSTANT, DELETECONSTANT, SAVEEXPRESSION, DELETEEXPRESSION, SAVEMEMORY,
// READMEMORY, EVALUATE, IMPORTTABELARO, EXPORTTABELARO, IMPORTTEXT and EXPORTTEXT.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct Editor;
struct EstadoNumera;
class MemoriaNumera;

// The user's files a run reads and changes, kept in memory from one statement to the next
// and written back when the run ends: a table filled cell by cell is not rewritten whole
// for every cell, and every statement sees what the ones before it wrote.
class ArquivosRun {
public:
    // A file's lines, read on first use; nullptr when it neither exists nor was written.
    std::vector<std::string>* existente(const std::filesystem::path& arquivo);
    // The lines to change (empty for a new file); the file is written at the end.
    std::vector<std::string>& muda(const std::filesystem::path& arquivo);
    // Where a name the program gave was found, so a table filled cell by cell looks for its
    // file once.
    std::map<std::string, std::filesystem::path, std::less<>> resolvidos;

    // Writes every changed file; the name of the first that could not be, else empty.
    std::string gravaTodos();

private:
    struct Aberto {
        std::vector<std::string> linhas;
        bool mudado = false;
    };
    std::map<std::filesystem::path, Aberto> abertos_;
};

// What an exchange statement works on: the run's memory and state, the stored expressions
// (pairs of lines name and expression) and the files the run has open.
struct ContextoTroca {
    Editor& e;
    MemoriaNumera& m;
    EstadoNumera& s;
    std::vector<std::string>& expressoes;
    ArquivosRun& arquivos;
};

// Carries out the statement `comando` («\SAVEMEMORY{}») with its parameter (function calls
// rewritten) and the parameter as written; false when the command is not one of these.
bool executaTroca(const ContextoTroca& c, std::string_view comando, std::string_view parametro,
                  std::string_view original);
