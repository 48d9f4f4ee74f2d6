// The output stream as a system's audio callback plays it: the wave player's blocks
// converted as they are queued and the second voice's sound converted whole, mixed into one
// 16-bit stream at the device's rate, or taken voice by voice by a system that mixes them
// itself. The program's thread calls everything but `preenche` and the `tira` pair with the
// device locked (see the three steps of a block below); the device's callback calls those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "platform/audio.h"
#include "platform/audioConversor.h"

class MisturaSaida {
  public:
    MisturaSaida(int taxa, int canais);

    int taxa() const { return conversor_.taxaSaida(); }
    int canais() const { return conversor_.canaisSaida(); }

    // A new sound in `formato`; what is still queued plays out first.
    void abre(const FormatoAudio& formato);
    // Queues one block: the three steps below at once, for a caller that keeps the lock.
    void escreve(std::span<const uint8_t> bloco);
    // A block in three steps, so that the device stays unlocked while the filter runs:
    // `reservaFiltro` (locked) keeps the callback off the filter, `converte` (unlocked) runs
    // it, `enfileira` (locked) queues what it made and gives the filter back.
    void reservaFiltro() { convertendo_ = true; }
    void converte(std::span<const uint8_t> bloco);
    void enfileira();
    // Blocks written and not yet played; `adiante` frames taken from the mixer are still
    // waiting at a system that holds sound ahead of the speaker.
    int blocosNaFila(uint64_t adiante = 0);
    // Stop at once: the queue and the filter's hold are dropped.
    void reinicia();
    // The sound has ended: what the filter holds is queued after it.
    void termina();
    // The second voice; an empty sound stops it.
    void tocaSom(std::vector<int16_t> amostras, bool repete);

    // The next samples to play (interleaved): stream and voice added, silence after them.
    void preenche(std::span<int16_t> saida);
    // For a system that plays the voices as two streams and only what there is: up to
    // saida.size() samples of the wave player's stream, or of the second voice (a looping one
    // fills them all). Whole frames; how many samples were written. The stream gives what is
    // queued, and the filter's hold once the queue cannot fill `saida` while the system is
    // `secando` (about to run out of sound): a system that holds much ahead asks for more
    // than is queued long before the next block is due.
    size_t tiraFluxo(std::span<int16_t> saida, bool secando = true);
    size_t tiraSom(std::span<int16_t> saida);
    // Converted frames waiting to play.
    size_t quadrosNaFila() const { return fila_.size() / static_cast<size_t>(canais()); }

  private:
    // The second voice's next samples into `saida`, added to what is there or copied; how
    // many it covered.
    size_t passaSom(std::span<int16_t> saida, bool soma);

    ConversorAudio conversor_;
    std::deque<int16_t> fila_;  // converted samples waiting to play
    std::vector<int16_t> convertidas_;  // the block being converted
    uint64_t quadrosConvertidos_ = 0;   // its input frames
    bool convertendo_ = false;          // the main thread is running the filter
    FormatoAudio formato_;
    std::deque<uint64_t> fins_;  // where each queued block ends, in stream frames
    uint64_t tocados_ = 0;       // stream frames played
    uint64_t fimEscrito_ = 0;    // where the last block written ends
    uint64_t inicioSom_ = 0;     // where the sound being written began
    uint64_t quadrosSom_ = 0;    // input frames of that sound written so far
    std::vector<int16_t> som_;
    size_t posicaoSom_ = 0;
    bool repeteSom_ = false;
};
