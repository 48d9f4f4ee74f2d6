// The program's one home for handling Windows-1252 byte texts: trimming and case.
#pragma once

#include <string>
#include <string_view>

// Without the blanks, tabs and line ends at both ends.
std::string_view apara(std::string_view s);
// Without every control byte (blanks, tabs, line ends, 1..31, DEL) at both ends: for texts
// read from files whose lines may carry any of them.
std::string_view aparaControles(std::string_view s);
// Equal when compared without regard to the case of ASCII letters.
bool igualSemCaixa(std::string_view a, std::string_view b);
// Whether `s` begins with `prefixo`, without regard to case.
bool comecaSemCaixa(std::string_view s, std::string_view prefixo);
// ASCII letters in upper case; other bytes unchanged.
std::string maiusculasAscii(std::string_view s);

// Windows-1252 case, accented letters included, and the four letters of 0x80..0x9F that
// have a case (š, œ, ž, ÿ).
char maiuscula1252(char c);
char minuscula1252(char c);
std::string maiusculas1252(std::string_view s);
std::string minusculas1252(std::string_view s);
// Letters of Windows-1252: the ASCII ones, the accented ones of 0xC0..0xFF (not the
// multiplication and division signs), the ordinals ª º, µ, and ƒ š œ ž Š Œ Ž Ÿ.
bool letra1252(char c);
// Vowels among them: a e i o u in either case with or without accents, æ œ ø, ª º.
bool vogal1252(char c);
// Upper case by the Latin-1 rule the speech rules and the dictionary's files were written
// for: ASCII letters and 0xE0..0xFE but 0xF7; ÿ and the letters of 0x80..0x9F stay.
char maiusculaLatin1(char c);
std::string maiusculasLatin1(std::string_view s);
