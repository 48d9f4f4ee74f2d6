#include "platform/teclado.h"

#include "platform/codigos.h"

std::optional<uint8_t> caractereDeControle(uint16_t tecla, Modificadores mod) {
    if (mod.alt) return std::nullopt;
    if (mod.ctrl) {
        if (tecla >= 'A' && tecla <= 'Z') return static_cast<uint8_t>(tecla - 'A' + 1);
        switch (tecla) {
            case vk::BarraInvertida: return 28;
            case vk::Enter: return 13;  // the console makes it 10
            case vk::Backspace: return 8;  // the console makes it 127
            case vk::Espaco: return 32;
            default: return std::nullopt;
        }
    }
    switch (tecla) {
        case vk::Enter: return 13;
        case vk::Tab: return 9;
        case vk::Esc: return 27;
        case vk::Backspace: return 8;
        case vk::Espaco: return 32;
        default: return std::nullopt;
    }
}

TeclaDeCaractere teclaDoCaractere(uint8_t c) {
    if (c >= 'a' && c <= 'z') return {static_cast<uint16_t>(c - 'a' + 'A'), false};
    if (c >= 'A' && c <= 'Z') return {c, true};
    if (c >= '0' && c <= '9') return {c, false};
    if (c == ' ') return {vk::Espaco, false};
    return {vk::Outra, false};
}

std::vector<EventoEntrada> eventosDeTecla(uint16_t tecla, Modificadores mod,
                                          std::optional<uint8_t> caractere) {
    using T = EventoEntrada::Tipo;
    std::vector<EventoEntrada> ev;
    ev.push_back({T::TeclaDesce, tecla, 0, mod});
    if (caractere) ev.push_back({T::Caractere, tecla, *caractere, mod});
    ev.push_back({T::TeclaSobe, tecla, 0, mod});
    return ev;
}

std::vector<EventoEntrada> eventosDeCaractere(uint8_t c) {
    TeclaDeCaractere t = teclaDoCaractere(c);
    Modificadores mod;
    mod.shift = t.shift;
    return eventosDeTecla(t.tecla, mod, c);
}

std::vector<EventoEntrada> eventosDeUnicode(char32_t u) {
    if (temWin1252(u)) return eventosDeCaractere(unicodeParaWin1252(u));
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::Unicode;
    ev.unicode = u;
    return {ev};
}
