// Fuzz entry for the terminal's escape decoder: any bytes, whole or cut into pieces that
// arrive without a pause between them, give the same key events, and after a long silence
// nothing stays waiting. The events are well formed: each key down is followed by its key
// up (after its character, if any), and no character typed is a control code but those
// of keys (Backspace, Tab, Enter, Esc, Ctrl) nor comes with Alt. Read as a key script, the
// bytes are understood or refused with a reason; every key understood has its native events.
#include <algorithm>
#include <tuple>

#include "fuzz.h"
#include "platform/roteiroTeclas.h"
#include "platform/teclasTerminal.h"

namespace {

// What an event tells, its code point and pasted text included.
auto campos(const EventoEntrada& e) {
    return std::tie(e.tipo, e.tecla, e.caractere, e.mod.shift, e.mod.ctrl, e.mod.alt, e.unicode, e.texto);
}

std::vector<EventoEntrada> decodifica(std::string_view bytes, size_t passo) {
    DecodificadorTerminal d;
    std::vector<EventoEntrada> eventos;
    for (size_t de = 0, n = passo; de < bytes.size(); de += n, n = n * 5 % 11 + 1) {
        auto ev = d.alimenta(bytes.substr(de, n));
        eventos.insert(eventos.end(), ev.begin(), ev.end());
    }
    auto fim = d.expira(DecodificadorTerminal::kEsperaColagemMs);
    eventos.insert(eventos.end(), fim.begin(), fim.end());
    confirma(!d.aguardaMais());
    return eventos;
}

void confereFormas(const std::vector<EventoEntrada>& ev) {
    using T = EventoEntrada::Tipo;
    for (size_t i = 0; i < ev.size(); ++i) {
        const EventoEntrada& e = ev[i];
        if (e.tipo == T::TeclaDesce) {
            const size_t j = i + 1 < ev.size() && ev[i + 1].tipo == T::Caractere ? i + 2 : i + 1;
            confirma(j < ev.size() && ev[j].tipo == T::TeclaSobe && ev[j].tecla == e.tecla);
        }
        if (e.tipo != T::Caractere) continue;
        const bool deTecla = e.mod.ctrl || e.caractere == 8 || e.caractere == 9 ||
                             e.caractere == 13 || e.caractere == 27;
        confirma(e.caractere != 0x7F && !e.mod.alt && (e.caractere >= 0x20 || deTecla));
    }
}

}  // namespace

int fuzzTeclasTerminal(const uint8_t* dados, size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);
    const std::vector<EventoEntrada> inteiro = decodifica(bytes, bytes.size() + 1);
    const std::vector<EventoEntrada> pedacos = decodifica(bytes, 1);
    confirma(std::ranges::equal(inteiro, pedacos, {}, campos, campos));
    confereFormas(inteiro);
    const Roteiro r = leRoteiro(bytes);
    if (!r.erro.empty()) return 0;
    confirma(r.teclas.size() <= tamanho);
    for (const TeclaRoteiro& t : r.teclas) confirma(!t.eventos.empty());
    return 0;
}
