// Word-processor documents, the work behind the commands: a document opened is turned
// into a text file by an outside converter; the font list comes from fontconfig.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"
#include "platform/conversaoDoc.h"

// File loading hands every name with a '.' here. A .DOC, .RTF, .DOCX or .ODT that exists
// is offered for conversion to the text file of the same name with the extension "txt":
// the name to load comes back (the text file, or the document itself when the user does
// not want it converted), or an empty name when nothing is to be loaded (the user gave
// up, or the conversion failed: said). Any other name comes back unchanged.
std::string importaDocumento(Editor& e, const std::string& nome);

// The font names: the file ARQFONTES when it holds any; else made from fontconfig and
// written there. Empty when there are none (said).
std::vector<std::string> listaFontes(Editor& e);

// How long a converter may run: TEMPOCONVERSAO seconds of section PLUMAR (60).
std::chrono::milliseconds limiteConversao(Editor& e);
// Runs a converter while the editor waits: a click every second, and Esc gives up.
ResultadoConversor aguardaConversor(Editor& e, const std::vector<std::string>& argumentos,
                                    const std::filesystem::path& saida,
                                    std::chrono::milliseconds limite);

// A converter's UTF-8 text (with or without a byte-order mark) in Windows-1252; a
// character the code page lacks becomes '?'.
std::string textoConvertido(std::string_view utf8);
// unrtf's text output without the lines it puts before the text.
std::string_view semCabecalhoUnrtf(std::string_view texto);
// fc-list's family lines as font names: the first name of each line, sorted, each once.
std::vector<std::string> nomesDeFontes(std::string_view saidaFcList);
