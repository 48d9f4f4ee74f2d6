// The sound device through SDL2 audio: a queued stream for the wave player and a second
// device, mixed beside it by the sound server, for whole sounds.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "platform/audio.h"
#include "platform/sdlRecursos.h"

// Which written blocks are still waiting, told from how many bytes the device still holds:
// the oldest blocks leave the queue first, so every byte gone belongs to the front ones.
class ContadorBlocos {
  public:
    void escreveu(size_t bytes);
    int naFila(size_t bytesNaFila);
    void limpa();

  private:
    std::deque<size_t> blocos_;
    size_t pendentes_ = 0;  // bytes of the blocks in `blocos_`
};

// A sound of the second voice, read by the audio thread while its device is open.
struct SomTocando {
    std::vector<uint8_t> dados;
    size_t posicao = 0;
    bool repete = false;
    uint8_t silencio = 0;
    // Fills `saida` with the next bytes: from the start again when looping, else silence.
    void preenche(std::span<uint8_t> saida);
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

class AudioSdl final : public DispositivoAudio {
  public:
    AudioSdl();
    ~AudioSdl() override;
    // nullptr when SDL has no audio or no output device opens.
    static std::unique_ptr<AudioSdl> cria();

    bool abre(const FormatoAudio& formato) override;
    void escreve(std::span<const uint8_t> bloco) override;
    int blocosNaFila() override;
    void reinicia() override;
    void fecha() override;
    bool aberto() const override { return static_cast<bool>(fluxo_); }
    void tocaSom(std::vector<uint8_t> wave, bool repete) override;
    void paraSom() override;

  private:
    // Declared in the order they must be created; destroyed in reverse, so each device
    // closes before what its callback reads and before the subsystem goes.
    SubsistemaSdl audio_;
    DispositivoSdl fluxo_;
    ContadorBlocos blocos_;
    std::unique_ptr<SomTocando> som_;
    FormatoAudio formatoSom_;
    DispositivoSdl voz_;
};
