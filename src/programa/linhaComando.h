// The program's command line: the family's "/L" and "/D" with a file name, and the
// Linux options of this build.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct OpcoesLinux {
    std::string frontEnd;     // "window", "terminal", "headless" or empty (choose)
    std::string roteiro;      // --keys=SCRIPT
    std::string rastro;       // --trace=FILE
    std::string despejoTela;  // --screen-dump=FILE
    std::string saidaAudio;   // --audio-out=FILE.wav
    std::string clipboard;    // --clipboard=FILE: the headless clipboard's first text
    std::string registroAudio;  // --audio-raw=FILE
    bool ajuda = false;
    bool versao = false;
    std::string erro;                // an option this program does not know
    std::vector<std::string> resto;  // the family's own arguments, in order
};

// The local path a "file://" address names (host empty or localhost, %XX escapes decoded);
// nothing for an argument that is no such address, and then `erro` is set when it names
// another machine's file.
std::optional<std::string> caminhoDeEndereco(std::string_view arg, std::string& erro);
OpcoesLinux separaOpcoes(const std::vector<std::string>& argumentos);
std::string textoAjuda();
