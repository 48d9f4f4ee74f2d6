// The sound device's stream written straight to a PulseAudio server (or a server that speaks
// its protocol), where one answers. The server is asked to hold some 40 ms ahead of the
// speaker, so a stream thread the system wakes late leaves no hole; a stop or a new sound
// drops what it holds, so the ear hears neither late. The wave player's stream and the second
// voice are two streams the server mixes, so dropping one leaves the other whole.
#pragma once

#include <memory>
#include <string>

#include "platform/audioMisturado.h"

// A stream at the server's own rate, or null with the reason in `motivo` (no server, or it
// refused the streams). Never starts a server.
std::unique_ptr<FluxoSaida> abreSaidaPulse(std::string& motivo);
