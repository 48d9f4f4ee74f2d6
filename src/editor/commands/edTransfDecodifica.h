// Decoding of the e-mail transfer encodings found in pasted mail: quoted-printable, UTF-8,
// the list-archive leftovers and the MIME encoded words of headers. Each works on one line
// of Windows-1252 bytes and never makes it longer.
#pragma once

#include <string>
#include <string_view>

// "=E1" becomes the byte 0xE1; a final "=" (soft line break) is dropped; anything that is
// not "=" and two hexadecimal digits stays as it is.
std::string decodificaQuotedPrintable(std::string_view linha);
// Valid UTF-8 sequences become the Windows-1252 character they stand for, or the nearest
// one (a letter without its accent, a plain dash or blank), or "?"; every other byte stays.
std::string decodificaUtf8(std::string_view linha);
// The bytes 128 160 and the byte after them, left by list archives, are removed.
std::string limpaArquivoLista(std::string_view linha);
// "=?charset?Q?...?=" and "=?charset?B?...?=" decoded in place; UTF-8, ISO-8859-15 and
// the Latin-1 charsets brought to Windows-1252, others kept as bytes. Leading blanks of a
// line that held an encoded word are removed.
std::string decodificaPalavrasCodificadas(std::string_view linha);
// Base64 with the standard alphabet: stops at "=", skips anything else.
std::string decodificaBase64(std::string_view texto);

// The conversion of block command X for the letter Q, U, G or T; the line unchanged for
// any other letter.
std::string decodificaLinha(std::string_view linha, char letra);
