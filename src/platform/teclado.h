// What a key press becomes on the Windows keyboard: a key-down, the character message
// it produces (if any) and a key-up. Shared by every front-end and the key scripts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/frontEnd.h"

namespace vk {
constexpr uint16_t Letra(char maiuscula) { return static_cast<uint16_t>(maiuscula); }  // 'A'..'Z'
constexpr uint16_t Digito(char d) { return static_cast<uint16_t>(d); }                 // '0'..'9'
constexpr uint16_t BarraInvertida = 0xDC;  // the key that gives Ctrl+\ (code 28)
constexpr uint16_t Outra = 0xFF;           // a character key with no number of its own
}  // namespace vk

// The character message that a key without text of its own produces: Enter 13, Tab 9,
// Esc 27, Backspace 8, Ctrl+letter 1..26, Ctrl+\ 28, Ctrl+[ 27, Ctrl+] 29, Space 32.
// Nothing with Alt (those become system keys) and nothing for cursor and function keys.
std::optional<uint8_t> caractereDeControle(uint16_t tecla, Modificadores mod);

// The virtual key of a typed Windows-1252 character and whether Shift makes it.
struct TeclaDeCaractere {
    uint16_t tecla;
    bool shift;
};
TeclaDeCaractere teclaDoCaractere(uint8_t c);

// Key-down, optional character message, key-up.
std::vector<EventoEntrada> eventosDeTecla(uint16_t tecla, Modificadores mod,
                                          std::optional<uint8_t> caractere);
// A typed character: its key with the character message.
std::vector<EventoEntrada> eventosDeCaractere(uint8_t c);
// A typed character: as eventosDeCaractere when Windows-1252 has it, else the one event
// that carries its code point.
std::vector<EventoEntrada> eventosDeUnicode(char32_t u);
