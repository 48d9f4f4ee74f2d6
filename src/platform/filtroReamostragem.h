// The resampling filter of the sound conversion (audioConversor.h): one windowed-sinc filter
// of our own, the same samples on every system.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

struct FiltroReamostragem;
struct ApagaFiltro {
    void operator()(FiltroReamostragem* f) const noexcept;
};
using PonteiroFiltro = std::unique_ptr<FiltroReamostragem, ApagaFiltro>;

// A filter for interleaved frames of `canais` channels; nothing when it cannot be made.
// The first output frame is the first input frame (no delay of zeros in front).
PonteiroFiltro criaFiltro(int canais, int taxaEntrada, int taxaSaida);
// Drops whatever the filter holds: the next input starts a new sound.
void reiniciaFiltro(FiltroReamostragem& filtro);
// Input frames of zeros that push the last real input through.
size_t latenciaFiltro(const FiltroReamostragem& filtro);
// Appends the output frames (interleaved floats) of `entrada`.
void filtra(FiltroReamostragem& filtro, std::span<const float> entrada, std::vector<float>& saida);
