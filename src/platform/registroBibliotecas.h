// The program's log, plumar.log beside SONARE.INI: what the sound, font and display
// libraries report goes there and never to the terminal, where it would land in the middle
// of the screen a screen reader is reading. What the user needs to know the editor says
// itself; the details are in the log.
#pragma once

#include <filesystem>
#include <string_view>

std::filesystem::path arquivoLog();
// The log opened for appending (made for this user alone, never through a link), else
// /dev/null: the descriptor, or -1.
int abreRegistro();
// Sends the messages of the sound library (ALSA's error handler) and of SDL (its log
// output) to the log, for the rest of the run.
void registraBibliotecasNoLog();
// One line of the program's own into the log.
void anotaNoLog(std::string_view linha);
// In the terminal, anything a library prints on the standard error would land in the
// middle of the screen: it goes to the log instead.
void desviaErrosParaLog();
