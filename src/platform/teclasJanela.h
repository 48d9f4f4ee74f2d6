// The window front-end's keyboard: SDL's key and text events as the program's key events.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/frontEnd.h"

namespace janela {

// The Windows virtual key of an SDL key; nothing for keys the program has no use for.
// Keypad keys follow Num Lock as on Windows: digits with it, cursor keys without.
std::optional<uint16_t> teclaVirtual(SDL_Keycode tecla, Uint16 modSdl);

// Modifiers as the program sees them. The right Alt is AltGr on the keyboards our users
// have, a key that writes text, so only the left Alt counts as Alt.
Modificadores modificadores(Uint16 modSdl);

// Turns SDL key and text events into the program's key events. Keys without text (Enter,
// Esc, Ctrl+letter...) produce their character message on key-down; text comes from the
// text-input events, which carry layout, dead keys and AltGr already resolved.
class TradutorTeclado {
  public:
    std::vector<EventoEntrada> tecla(const SDL_KeyboardEvent& e);
    std::vector<EventoEntrada> texto(std::string_view utf8) const;

  private:
    uint16_t ultimaTecla_ = 0xFF;  // the key that produced the text that follows
    Uint16 ultimoMod_ = 0;         // modifiers of the latest key event
};

}  // namespace janela
