// Converts the wave player's PCM (8- or 16-bit, any rate, mono or stereo) to the 16-bit
// samples of an output stream at its own rate and channel count, through a real resampler
// (a windowed-sinc filter, see filtroReamostragem.h: its images stay far below the signal,
// and it holds back only a few milliseconds).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/audio.h"
#include "platform/filtroReamostragem.h"

class ConversorAudio {
  public:
    ConversorAudio(int taxaSaida, int canaisSaida);
    ~ConversorAudio();
    ConversorAudio(const ConversorAudio&) = delete;
    ConversorAudio& operator=(const ConversorAudio&) = delete;

    int taxaSaida() const { return taxaSaida_; }
    int canaisSaida() const { return canaisSaida_; }

    // Starts a new sound in `entrada`; whatever the filter still held is dropped.
    void inicia(const FormatoAudio& entrada);
    // Appends the output samples (interleaved) of one block. A sound cut into blocks
    // converts exactly as it would whole; a frame cut by the end of a block is completed
    // by the next one.
    void converte(std::span<const uint8_t> bloco, std::vector<int16_t>& saida);
    // Appends what the filter still holds of the sound; the next block starts a new one.
    void termina(std::vector<int16_t>& saida);
    // Whether the filter holds samples that only `termina` lets out.
    bool pendente() const { return pendente_; }
    // Output frames that `quadros` input frames make, at the current ratio.
    uint64_t quadrosSaida(uint64_t quadrosEntrada) const;

  private:
    void entradaEmFloat(std::span<const uint8_t> bloco);
    void resample(std::span<const float> entrada, std::vector<int16_t>& saida);

    int taxaSaida_;
    int canaisSaida_;
    FormatoAudio entrada_{};
    PonteiroFiltro filtro_;           // none when the rates are equal
    std::vector<uint8_t> resto_;      // the start of a frame the next block completes
    std::vector<float> amostras_;     // one block as floats, input channels
    std::vector<float> convertidas_;  // after the filter, input channels
    bool pendente_ = false;
};
