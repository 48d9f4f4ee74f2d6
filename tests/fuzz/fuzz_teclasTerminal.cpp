// Fuzz entry for the terminal's escape decoder: any bytes, whole or cut into pieces that
// arrive without a pause between them, give the same key events, and after a long silence
// nothing stays waiting.
//
// The test binary calls fuzzTeclasTerminal over the committed corpus; built as its own
// target (PLUMAR_FUZZ_TECLAS) the same check is the libFuzzer entry.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/teclasTerminal.h"

namespace {

void confirma(bool condicao) {
    if (!condicao) __builtin_trap();
}

bool iguais(const EventoEntrada& a, const EventoEntrada& b) {
    return a.tipo == b.tipo && a.tecla == b.tecla && a.caractere == b.caractere &&
           a.mod.shift == b.mod.shift && a.mod.ctrl == b.mod.ctrl && a.mod.alt == b.mod.alt;
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

}  // namespace

int fuzzTeclasTerminal(const uint8_t* dados, size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);
    const std::vector<EventoEntrada> inteiro = decodifica(bytes, bytes.size() + 1);
    const std::vector<EventoEntrada> pedacos = decodifica(bytes, 1);
    confirma(inteiro.size() == pedacos.size());
    for (size_t i = 0; i < inteiro.size(); ++i) confirma(iguais(inteiro[i], pedacos[i]));
    return 0;
}

#ifdef PLUMAR_FUZZ_TECLAS
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    return fuzzTeclasTerminal(dados, tamanho);
}
#endif
