// Decoder of what a terminal sends for the keyboard: UTF-8 text, control bytes and the
// escape sequences of the usual terminals (VT/xterm with modifiers, the Linux console,
// rxvt, modifyOtherKeys and the CSI u keyboard protocol), focus reports and bracketed
// paste. It turns them into the Windows-style key events the console expects; a bracketed
// paste becomes one event holding the pasted bytes. It keeps no clock: the front-end
// tells it how long the input has been silent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/frontEnd.h"

class DecodificadorTerminal {
  public:
    // Silence after which a lone ESC is the Esc key. Terminals write a key's sequence in
    // one go, so the bytes after an ESC come in the same read or right after it: a short
    // wait keeps Esc quick without taking the start of a sequence for it.
    static constexpr int kEsperaEscMs = 5;
    // Silence after which a sequence cut short is given up.
    static constexpr int kEsperaSequenciaMs = 50;
    // Silence after which a paste whose end mark never came is taken as ended.
    static constexpr int kEsperaColagemMs = 1000;
    // Longest control sequence kept; longer ones are garbage and skipped to their end.
    static constexpr size_t kMaximoSequencia = 64;

    // Bytes just read from the terminal; the events of everything they complete.
    std::vector<EventoEntrada> alimenta(std::string_view bytes);
    // No byte arrived for `msSilencio` ms: whatever waits for more input is decided now.
    std::vector<EventoEntrada> expira(int msSilencio);
    // Whether bytes are held waiting to see what follows (the caller then sets a timer).
    bool aguardaMais() const { return !pendentes_.empty() || colando_ || descartando_; }
    // The silence after which expira decides what is held now: short for lone ESCs,
    // longer for a sequence or character cut short, longest inside a paste.
    int esperaMs() const;

    // How far a decoding step got: the bytes it used and what they mean. No value
    // means the bytes so far are the start of something longer.
    struct Leitura {
        size_t bytes = 0;
        std::vector<EventoEntrada> eventos;
    };

  private:
    std::string pendentes_;
    bool colando_ = false;      // inside a bracketed paste
    std::string colagem_;       // what was pasted so far
    bool descartando_ = false;  // skipping the rest of an overlong sequence

    void processa(bool definitivo, std::vector<EventoEntrada>& saida);
    EventoEntrada colagemPronta();
    std::optional<Leitura> passo(std::string_view s, bool definitivo);
    std::optional<Leitura> passoColagem(std::string_view s, bool definitivo);
    std::optional<Leitura> passoDescarte(std::string_view s, bool definitivo);
    std::optional<Leitura> escape(std::string_view s, bool definitivo);
    std::optional<Leitura> csi(std::string_view s, bool definitivo);
};
