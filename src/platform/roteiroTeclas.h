// Key scripts for headless runs: text is typed as it stands (UTF-8), line ends are
// ignored, # begins a comment that runs to the end of its line (the blanks before it are
// not typed), and {Name} is one key, with any of the prefixes Ctrl+, Alt+ and Shift+:
// {Enter} {Esc} {Tab} {Backspace} {Ins} {Del} {Home} {End} {PgUp} {PgDn} {Up} {Down}
// {Left} {Right} {F1}..{F12}, a letter or digit ({Ctrl+B}, {Alt+0}), {Ctrl+\},
// {code:N} for a raw key code, {{} for a brace and {#} for a number sign. The keys between
// {burst} and {/burst} arrive all at once, as from a fast typist or a braille display;
// {paste:FILE} pastes the bytes of FILE (from the current folder) as a terminal does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/frontEnd.h"

// The native events of one key press.
struct TeclaRoteiro {
    std::vector<EventoEntrada> eventos;
};

struct Roteiro {
    std::vector<TeclaRoteiro> teclas;
    std::string erro;  // empty when the whole script was understood
};

Roteiro leRoteiro(std::string_view utf8);
