// Character sets at the edge of the system: the program's texts are Windows-1252 bytes;
// terminals, SDL and key scripts speak UTF-8; old DOS files are in code page 850.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string win1252ParaUtf8(std::string_view texto);
// Characters with no Windows-1252 form become '?'; bytes that are not valid UTF-8 are
// taken as Windows-1252 themselves, so no input is ever lost.
std::string utf8ParaWin1252(std::string_view texto);
// Unicode code point of one Windows-1252 byte, and the byte of a code point ('?' when none).
char32_t win1252ParaUnicode(uint8_t c);
uint8_t unicodeParaWin1252(char32_t u);
// Whether Windows-1252 has the code point.
bool temWin1252(char32_t u);
// Decodes one UTF-8 sequence at `pos`, advancing it; invalid bytes come back as themselves.
char32_t proximoUtf8(std::string_view texto, size_t& pos, bool* valido = nullptr);
void acrescentaUtf8(std::string& saida, char32_t u);
// Code page 850 to Windows-1252, with box-drawing characters as + - |.
uint8_t oemParaWin1252(uint8_t c);
std::string oemParaWin1252(std::string_view texto);

// Line ends of the desktop (LF) and of the program's clipboard texts (CR LF).
std::string quebrasCrLf(std::string_view texto);
std::string quebrasLf(std::string_view texto);
