#include "platform/audioSdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "platform/sdlRecursos.h"
#ifdef PLUMAR_COM_PULSE
#include "platform/saidaPulse.h"
#endif

namespace {

// The device's own rate: the one the sound server mixes at, so nothing converts twice.
int taxaPreferida() {
    SDL_AudioSpec formato{};
    if (SDL_GetDefaultAudioInfo(nullptr, &formato, 0) == 0 && formato.freq >= 8000 &&
        formato.freq <= 192000)
        return formato.freq;
    return 48000;
}

// The largest power of two of samples that lasts at most `ms`, and at least 128.
Uint16 amostrasPorBuffer(int taxa, int ms) {
    int n = 128;
    while (n * 2 * 1000 <= taxa * ms) n *= 2;
    return static_cast<Uint16>(n);
}

// At PulseAudio SDL asks the server to hold one buffer ahead and writes a whole buffer as
// soon as half of one is free: the server has only half a buffer (2.7 ms of a 5.3 ms one)
// left when it asks, and a stream's thread that late leaves a hole. The server is asked to
// hold 10 ms instead and the buffer is made smaller, so the stream refills in small steps
// with about 7 ms to spare, while a new sound or a stop waits behind at most 11 ms.
constexpr const char* kVariavelLatencia = "PULSE_LATENCY_MSEC";
constexpr const char* kMsFilaServidor = "10";
constexpr int kMsBufferServidor = 3;
constexpr int kMsBuffer = 10;  // elsewhere the buffer is all the device holds ahead

bool emServidorPulse() {
    const char* driver = SDL_GetCurrentAudioDriver();
    return driver != nullptr && std::string_view(driver) == "pulseaudio";
}

// libpulse's own latency setting, the only way to the server's target length through SDL,
// for the stream opened while this lives. A value of the user's is left alone, and none is
// left behind for the programs started later.
class LatenciaServidor {
  public:
    explicit LatenciaServidor(bool pede) : posta_(pede && std::getenv(kVariavelLatencia) == nullptr) {
        if (posta_) setenv(kVariavelLatencia, kMsFilaServidor, 0);
    }
    ~LatenciaServidor() {
        if (posta_) unsetenv(kVariavelLatencia);
    }
    LatenciaServidor(const LatenciaServidor&) = delete;
    LatenciaServidor& operator=(const LatenciaServidor&) = delete;

  private:
    bool posta_;
};

// A stream SDL opened, with its own start of the audio subsystem: a sound server that went
// away and came back is only found again by a new connection.
class SaidaSdl final : public FluxoSaida {
  public:
    explicit SaidaSdl(std::unique_ptr<SubsistemaSdl> audio) : audio_(std::move(audio)) {}
    // Closing waits out the callback.
    ~SaidaSdl() override {
        if (id_ != 0) SDL_CloseAudioDevice(id_);
    }
    SaidaSdl(const SaidaSdl&) = delete;
    SaidaSdl& operator=(const SaidaSdl&) = delete;

    // Opens the device (paused), or says why not.
    bool abre(std::string& motivo) {
        SDL_AudioSpec pedido{};
        pedido.freq = taxaPreferida();
        pedido.format = AUDIO_S16SYS;
        pedido.channels = 2;
        const bool servidor = emServidorPulse();
        pedido.samples = amostrasPorBuffer(pedido.freq, servidor ? kMsBufferServidor : kMsBuffer);
        pedido.callback = preenche;
        pedido.userdata = this;
        // Only the rate may change (the mixer follows it); SDL converts anything else.
        const LatenciaServidor latencia(servidor);
        id_ = SDL_OpenAudioDevice(nullptr, 0, &pedido, &obtido_, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (id_ == 0) motivo = std::string("nenhum dispositivo de som abriu: ") + SDL_GetError();
        return id_ != 0;
    }

    int taxa() const override { return obtido_.freq; }
    int amostrasBuffer() const override { return obtido_.samples; }
    void inicia(MisturaSaida& mistura) override {
        mistura_ = &mistura;
        SDL_PauseAudioDevice(id_, 0);
    }
    void trava() override { SDL_LockAudioDevice(id_); }
    void destrava() override { SDL_UnlockAudioDevice(id_); }
    bool perdida() override { return SDL_GetAudioDeviceStatus(id_) == SDL_AUDIO_STOPPED; }

  private:
    static void preenche(void* dados, Uint8* saida, int bytes) {
        const std::span<int16_t> amostras{reinterpret_cast<int16_t*>(saida),
                                          static_cast<size_t>(std::max(bytes, 0)) / 2};
        auto* self = static_cast<SaidaSdl*>(dados);
        if (self->mistura_)
            self->mistura_->preenche(amostras);
        else
            std::fill(amostras.begin(), amostras.end(), int16_t{0});
    }

    std::unique_ptr<SubsistemaSdl> audio_;  // ended after the device closes
    SDL_AudioDeviceID id_ = 0;
    SDL_AudioSpec obtido_{};
    MisturaSaida* mistura_ = nullptr;
};

std::unique_ptr<FluxoSaida> abreSaidaSdl(std::string& motivo) {
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "PLUMAR");
    auto audio = std::make_unique<SubsistemaSdl>(SDL_INIT_AUDIO);
    if (!audio->iniciado()) {
        motivo = std::string("o áudio do SDL não iniciou: ") + SDL_GetError();
        return nullptr;
    }
    auto saida = std::make_unique<SaidaSdl>(std::move(audio));
    if (!saida->abre(motivo)) return nullptr;
    return saida;
}

// The sound server directly where one answers, unless SDL_AUDIODRIVER names another of
// SDL's outputs (a test's dummy device, or the user's choice); else SDL's.
std::unique_ptr<FluxoSaida> abreSaidaSistema(std::string& motivo) {
#ifdef PLUMAR_COM_PULSE
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver == nullptr || *driver == '\0' || std::string_view(driver) == "pulseaudio") {
        std::string porque;
        if (auto saida = abreSaidaPulse(porque)) return saida;
    }
#endif
    return abreSaidaSdl(motivo);
}

}  // namespace

AudioSdl::AudioSdl(int intervaloTentativaMs, bool soSdl)
    : AudioMisturado(soSdl ? abreSaidaSdl : abreSaidaSistema, intervaloTentativaMs) {}

std::unique_ptr<AudioSdl> AudioSdl::cria() {
    return std::make_unique<AudioSdl>();
}

std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    return AudioSdl::cria();
}
