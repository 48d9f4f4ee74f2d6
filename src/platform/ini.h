// INI files with the semantics of the Windows private-profile functions: sections and
// keys compared without regard to case, the first match wins, values trimmed and cut
// to 255 characters, ';' comments; a write keeps every other line and creates the file,
// the section or the key when they are missing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

constexpr size_t kMaxValorIni = 255;
// A configuration file larger than this is neither read (every key is missing) nor
// written: read at every lookup it would stall the program.
constexpr uintmax_t kMaiorIni = uintmax_t{1} << 20;

// The value of `chave` in `secao`, or nothing when the file, the section or the key is missing.
std::optional<std::string> procuraIni(const std::filesystem::path& arquivo, std::string_view secao,
                                      std::string_view chave);
// As the private-profile read: `padrao` when the key is missing.
std::string leIniArquivo(const std::filesystem::path& arquivo, std::string_view secao,
                         std::string_view chave, std::string_view padrao = {});
// Writes `chave=valor` into `secao`; false when the file cannot be written (it is then
// left as it was: the new text goes to a temporary file first and replaces it whole).
// Through a link the file it leads to is written, and the link stays a link.
bool escreveIniArquivo(const std::filesystem::path& arquivo, std::string_view secao,
                       std::string_view chave, std::string_view valor);

// Number reading as the family's programs do it: the whole trimmed text must be an
// integer (an optional sign and decimal digits), else nothing.
std::optional<long> inteiroIni(std::string_view texto);

// Whether something that is not a regular file (a folder, a pipe, a device) has that name.
// Such a file is read as an empty one and never written.
bool existeNaoRegular(const std::filesystem::path& arquivo);
// Whether it is a regular file over kMaiorIni bytes: read as an empty one, never written.
bool iniGrandeDemais(const std::filesystem::path& arquivo);

// The family's configuration file, SONARE.INI in the Windows directory; the only one read
// (a SONARE.INI in the folder the editor starts in could choose the programs it runs).
std::filesystem::path arquivoSonareIni();
