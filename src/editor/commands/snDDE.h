// The link to an outside speech server: block command S hands the marked block to the
// server named in the configuration (SERVIDOR, TOPICO, ITEM of section PLUMAR).
#pragma once

#include <string_view>

#include "editor/editor.h"

// True when a server of that application and topic answered and the text (sent with its
// final NUL) reached it.
bool enviaServidorFala(std::string_view aplicacao, std::string_view topico, std::string_view item,
                       std::string_view texto);
// Block command S: silent on success, "EDGRANDE" for a block of 65,001 bytes or more,
// "EDERRSRV" when no server answers.
void enviaBlocoServidor(Editor& e);
