// The sound device through SDL2 audio: a queued stream for the wave player and a second
// device, mixed beside it by the sound server, for whole sounds.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <span>
#include <vector>

#include "platform/audio.h"
#include "platform/audioConversor.h"
#include "platform/sdlRecursos.h"

// The output stream as the audio callback plays it: the wave player's blocks converted as
// they are queued, and the second voice's sound converted whole, mixed into one 16-bit
// stream at the device's rate. The main thread calls everything but `preenche` with the
// device locked; the callback calls `preenche`.
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
    // Blocks written and not yet played.
    int blocosNaFila();
    // Stop at once: the queue and the filter's hold are dropped.
    void reinicia();
    // The sound has ended: what the filter holds is queued after it.
    void termina();
    // The second voice; an empty sound stops it.
    void tocaSom(std::vector<int16_t> amostras, bool repete);

    // The next samples to play (interleaved): stream and voice added, silence after them.
    void preenche(std::span<int16_t> saida);
    // Converted frames waiting to play.
    size_t quadrosNaFila() const { return fila_.size() / static_cast<size_t>(canais()); }

  private:

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

// An open SDL audio device, closed on destruction (which also waits out its callback).
class DispositivoSdl {
  public:
    DispositivoSdl() = default;
    explicit DispositivoSdl(SDL_AudioDeviceID id) : id_(id) {}
    ~DispositivoSdl() { fecha(); }
    DispositivoSdl(DispositivoSdl&& o) noexcept : id_(o.id_) { o.id_ = 0; }
    DispositivoSdl& operator=(DispositivoSdl&& o) noexcept;
    DispositivoSdl(const DispositivoSdl&) = delete;
    DispositivoSdl& operator=(const DispositivoSdl&) = delete;

    SDL_AudioDeviceID id() const { return id_; }
    explicit operator bool() const { return id_ != 0; }
    void fecha();

  private:
    SDL_AudioDeviceID id_ = 0;
};

// The system's sound device: one output stream, opened once at the device's own rate in
// 16-bit samples with buffers of a few milliseconds and kept for the program's whole life.
// Each sound is converted to it as it is queued. A device that goes away (a sound server
// restarted, a headset unplugged) or never opened is tried again every few seconds;
// meanwhile sound is dropped as if played.
class AudioSdl final : public DispositivoAudio {
  public:
    static constexpr int kIntervaloTentativaMs = 3000;

    explicit AudioSdl(int intervaloTentativaMs = kIntervaloTentativaMs);
    ~AudioSdl() override;
    // An audio layer whether or not a device opens now (see semDispositivo).
    static std::unique_ptr<AudioSdl> cria();

    bool abre(const FormatoAudio& formato) override;
    void escreve(std::span<const uint8_t> bloco) override;
    int blocosNaFila() override;
    void reinicia() override;
    void fecha() override;
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t> wave, bool repete) override;
    void paraSom() override;
    std::string semDispositivo() override;

    // The open device's rate and channels (0 when none is open).
    int taxaSaida() const { return mistura_ ? mistura_->taxa() : 0; }
    int canaisSaida() const { return mistura_ ? mistura_->canais() : 0; }
    // Samples per device buffer.
    int amostrasBuffer() const { return amostras_; }

  private:
    // Opens the device when none is open and the last try is old enough; drops a device
    // that went away. Whether a device is open.
    bool vigia();
    bool tentaAbrir();
    static void preencheCallback(void* dados, Uint8* saida, int bytes);
    void perde(const std::string& motivo);

    std::unique_ptr<SubsistemaSdl> audio_;
    std::unique_ptr<MisturaSaida> mistura_;  // read by the callback: outlives the device
    DispositivoSdl saida_;
    int amostras_ = 0;
    FormatoAudio formato_;
    bool aberto_ = false;
    int intervaloTentativaMs_;
    uint64_t proximaTentativaMs_ = 0;
    std::string motivo_;  // why there is no device
};
