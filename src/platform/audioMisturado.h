// The system's sound device as the program keeps it, whatever system plays it: one output
// stream, opened once at the device's own rate in 16-bit stereo with buffers of a few
// milliseconds and kept for the program's whole life, fed by a mixer (see MisturaSaida).
// A device that goes away (a sound server restarted, a headset unplugged) or never opened
// is tried again every few seconds; meanwhile sound is dropped as if played.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/misturaSaida.h"

// An open output stream of the system, whose callback plays from a mixer. Destroying it
// closes the stream and waits out its callback.
class FluxoSaida {
  public:
    virtual ~FluxoSaida() = default;
    virtual int taxa() const = 0;            // samples per second the stream plays
    virtual int amostrasBuffer() const = 0;  // samples per buffer of the stream
    // Starts the callback, which from now on fills every buffer from `mistura`.
    virtual void inicia(MisturaSaida& mistura) = 0;
    // While locked, the callback does not run.
    virtual void trava() = 0;
    virtual void destrava() = 0;
    // The stream stopped on its own: the device went away.
    virtual bool perdida() = 0;
    // Called locked when the wave player's sound stops at once, and when the second voice
    // stops or changes: a system that holds sound ahead of the speaker drops that voice's.
    virtual void descartaFluxo() {}
    virtual void descartaSom() {}
    // Called locked: frames of the wave player's stream taken from the mixer and not yet
    // played, where the system holds more than a buffer or two ahead (else 0).
    virtual uint64_t quadrosAdiante() { return 0; }
};

// Opens the system's stream (two channels) or says in `motivo` why none opened.
using AbreFluxoSaida = std::function<std::unique_ptr<FluxoSaida>(std::string& motivo)>;

class AudioMisturado : public DispositivoAudio {
  public:
    static constexpr int kIntervaloTentativaMs = 3000;

    explicit AudioMisturado(AbreFluxoSaida abreSaida,
                            int intervaloTentativaMs = kIntervaloTentativaMs);
    ~AudioMisturado() override;

    bool abre(const FormatoAudio& formato) override;
    void escreve(std::span<const uint8_t> bloco) override;
    int blocosNaFila() override;
    void reinicia() override;
    void fecha() override;
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t> wave, bool repete) override;
    void paraSom() override;
    std::string semDispositivo() override;

    // The open stream's rate, channels and samples per buffer (0 when none is open).
    int taxaSaida() const { return mistura_ ? mistura_->taxa() : 0; }
    int canaisSaida() const { return mistura_ ? mistura_->canais() : 0; }
    int amostrasBuffer() const { return saida_ ? saida_->amostrasBuffer() : 0; }

  private:
    class Trava;
    // Opens the stream when none is open and the last try is old enough; drops a stream
    // that went away. Whether a stream is open.
    bool vigia();
    bool tentaAbrir();
    void perde(const std::string& motivo);

    AbreFluxoSaida abreSaida_;
    std::unique_ptr<MisturaSaida> mistura_;  // read by the callback: outlives the stream
    std::unique_ptr<FluxoSaida> saida_;
    FormatoAudio formato_;
    bool aberto_ = false;
    int intervaloTentativaMs_;
    uint64_t proximaTentativaMs_ = 0;
    std::string motivo_;  // why there is no device
};
