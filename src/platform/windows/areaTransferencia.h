// The Windows clipboard, in the program's text: Windows-1252 with CR LF line ends, carried
// as Unicode text, so other programs get every accented letter and the program gets '?'
// only for a character Windows-1252 lacks. (On Linux the front-ends reach the desktop's
// clipboard themselves.)
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Whether the text went on the system's clipboard.
bool copiaAreaSistema(std::string_view texto);
// The system clipboard's text; nothing when it holds none.
std::optional<std::string> leAreaSistema();
