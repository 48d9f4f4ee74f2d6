// The conversation of the local link, the same on every system: frames of 4 bytes of
// length, 1 of kind and the payload, read and written within a deadline over whatever the
// system carries them on (a Unix socket, a named pipe).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ligacaoLocal.h"

namespace ligacao {

using Relogio = std::chrono::steady_clock;

// One connected end, as the system carries it.
class Canal {
  public:
    virtual ~Canal() = default;
    // The whole of `dados`, or false (the deadline passed, the peer went away).
    virtual bool escreveTudo(std::string_view dados, Relogio::time_point prazo) = 0;
    // Exactly `n` bytes, or false.
    virtual bool leExato(char* destino, size_t n, Relogio::time_point prazo) = 0;
};

// An application's or topic's name as the link's address spells it: upper-cased ASCII
// letters in UTF-8; empty when it cannot be part of a name (empty, or holding a slash,
// a backslash or a NUL).
std::string nomeEndereco(std::string_view nome);

// The client's whole conversation over a connected channel: initiate, poke, terminate.
Resultado conversaCliente(Canal& canal, std::string_view aplicacao, std::string_view topico,
                          std::string_view item, std::string_view dados,
                          Relogio::time_point prazo);
// The server's side with a connected client: the text poked, or nothing (a client that
// asked for other names, went silent or sent garbage).
std::optional<Entrega> conversaServidor(Canal& canal, std::string_view aplicacao,
                                        std::string_view topico);

}  // namespace ligacao
