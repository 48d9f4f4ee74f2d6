// Where the family's files live on Linux, and how the Windows paths of the
// configuration and of the program's own constants map onto them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The user's home: $HOME when it is an absolute path, else the home the password database
// gives, else "/nonexistent"; never a folder relative to where the program runs.
std::filesystem::path pastaPessoal();
// A folder of the XDG rules: the variable `variavelXdg` when it holds an absolute path (a
// relative one is ignored, as the rules say), else `padraoNaPastaPessoal` in the home.
std::filesystem::path pastaXdg(const char* variavelXdg,
                               const std::filesystem::path& padraoNaPastaPessoal);
// "The Windows directory": $SONARE_WINDIR, else $XDG_CONFIG_HOME/sonare, else ~/.config/sonare.
std::filesystem::path diretorioWindows();
// The user's state folder, where the editor keeps copies of texts: $XDG_STATE_HOME/sonare,
// else ~/.local/state/sonare.
std::filesystem::path diretorioEstado();
// `caminho` as the user is told it: a path inside the home folder as "~/...".
std::filesystem::path caminhoAbreviado(const std::filesystem::path& caminho);
// The folder of the running program, where the family's other programs are installed
// (links followed: the real file's folder); empty when it cannot be told.
std::filesystem::path pastaDoPrograma();
// The family root, where c:\ornato\ points: $SONARE_ROOT, else the share folder
// installed with this program (<prefix>/share/sonare beside <prefix>/bin) when it
// exists, else the build tree's sonare/ folder.
std::filesystem::path raizFamilia();

// A Windows path as a Linux path: '\' becomes '/', a drive letter is dropped and a first
// component "ornato" (any case) stands for the family root. Relative paths stay relative.
std::string mapeiaCaminho(std::string_view caminhoWindows);
// The file itself when it exists; else the same path with each component looked up
// without regard to case; else the path unchanged.
std::filesystem::path achaArquivo(const std::filesystem::path& caminho);
// LibreOffice where the system installs it without putting it on PATH (on Windows, under
// Program Files); empty where there is no such place or it is not there.
std::filesystem::path libreOfficeInstalado();
// A configured Windows folder ready to take a file name: a backslash is added when it has
// none at its end (users leave the last backslash out as often as not).
// Empty stays empty: the current folder.
std::string pastaComBarra(std::string pasta);
// mapeiaCaminho then achaArquivo.
std::filesystem::path arquivoWindows(std::string_view caminhoWindows);
// A program to start: as achaArquivo, and "x.exe" that does not exist is tried as the
// file "x": for a name in the family root, first the installed program x beside this one
// (never a folder x).
std::filesystem::path achaPrograma(std::string_view caminhoWindows);
