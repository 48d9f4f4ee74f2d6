// Small text helpers shared by the configuration, path and command-line readers.
#pragma once

#include <string>
#include <string_view>

// Without the blanks, tabs and line ends at both ends.
std::string_view apara(std::string_view s);
// Equal when compared without regard to the case of ASCII letters.
bool igualSemCaixa(std::string_view a, std::string_view b);
// Whether `s` begins with `prefixo`, without regard to case.
bool comecaSemCaixa(std::string_view s, std::string_view prefixo);
// ASCII letters in upper case; other bytes unchanged.
std::string maiusculasAscii(std::string_view s);
