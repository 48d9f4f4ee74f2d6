// What sonare-servidor-fala does with each block: reads it through the system's speech
// service, and when the service cannot take it, through a reserve voice (espeak-ng). Every
// block is spoken: a connection that died with the service is made again for the same
// block, and a service that is gone hands that same block to the reserve.
#pragma once

#include <functional>
#include <string_view>

#include "speech/servidores/servidorSpeechd.h"

class LeitorBlocos {
  public:
    // Speaks a text, or with an empty one stops what it says.
    using VozReserva = std::function<void(std::string_view texto)>;

    LeitorBlocos(ServidorSpeechd& servico, VozReserva reserva)
        : servico_(servico), reserva_(std::move(reserva)) {}

    // A new block stops the one being read; an empty one only stops it.
    void fala(std::string_view texto);

  private:
    bool pelaServico(std::string_view texto);

    ServidorSpeechd& servico_;
    VozReserva reserva_;
};
