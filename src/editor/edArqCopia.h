// The copies that keep a changed text the editor could not save: the emergency copy,
// written when the editor is ended from outside (NAME.save beside the file, else in the
// user's state folder), and the recovery copy, kept in the state folder in idle time
// while the text is not saved. Both are announced when that file is opened again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"

// Lines primeira..ultima as a save writes them: the empty lines at the end of the range
// left out, each line followed by CR LF; handed over in pieces.
void bytesDoTexto(const EdVars& ed, int primeira, int ultima,
                  const std::function<void(std::string_view)>& escreve);

// Writes the emergency copy of a changed text and says where, or nothing when the text is
// unchanged or no copy could be written. `aoLado`: NAME.save beside the file first; the
// state folder when that cannot be written or the text has no name. Never over an existing
// file: NAME.1.save, NAME.2.save...
std::optional<std::filesystem::path> gravaCopiaEmergencia(const EdVars& ed, bool aoLado);

// Idle time: the recovery copy is written once the text has been changed and not copied
// for 60 seconds (never twice in one second), atomically and readable by the user alone;
// it is removed once the text is saved.
constexpr uint64_t kIntervaloRecuperacaoMs = 60'000;
void verificaRecuperacao(Editor& e);
// Removes the recovery copy (after a save, at a normal exit).
void removeRecuperacao(EdVars& ed);
// The recovery copy's name for the file being edited.
std::filesystem::path arquivoRecuperacao(const EdVars& ed);

// The editor keeps its text: the emergency copy when ended from outside, the recovery
// copy in idle time.
void protegeTexto(Editor& e);

// A copy of the file `nomeArquivo` newer than the file itself (or of a file that does not
// exist), the newest one.
struct CopiaEncontrada {
    std::filesystem::path arquivo;
    bool recuperacao = false;  // else an emergency copy
    std::filesystem::file_time_type quando;
};
std::optional<CopiaEncontrada> copiaMaisNova(std::string_view nomeArquivo);
// Says so on the message row and aloud: which copy, its time.
void anunciaCopia(Editor& e);
