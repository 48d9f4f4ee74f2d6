// The wave player's reading of RIFF WAVE headers: the chunk walk up to the samples, the same
// over a file and over a wave in memory. Kept apart from the player so that it can be
// checked on its own, by the tests and by the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>

#include "platform/audio.h"

// Formats the player takes: 8- or 16-bit, 1 to 8 channels, 1 Hz to 1 MHz.
bool formatoOndaValido(const FormatoAudio& formato);

struct DadosOnda {
    FormatoAudio formato;
    uint64_t tamanho = 0;  // as the data chunk declares it; the source may hold less
    uint64_t inicio = 0;   // offset of the first sample
};

// Walks the chunks of a RIFF WAVE up to its data chunk, skipping unknown chunks and the pad
// byte that follows an odd size. nullopt when it is not PCM in a format the player takes.
// The stream is left at the first sample.
std::optional<DadosOnda> procuraDadosOnda(std::istream& entrada);
std::optional<DadosOnda> procuraDadosOnda(std::span<const uint8_t> onda);

// The samples of a wave in memory: the declared data cut to what is there.
std::span<const uint8_t> amostrasOnda(std::span<const uint8_t> onda, const DadosOnda& dados);
