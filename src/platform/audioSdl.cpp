#include "platform/audioSdl.h"

#include <algorithm>
#include <cstring>
#include <limits>

void ContadorBlocos::escreveu(size_t bytes) {
    blocos_.push_back(bytes);
    pendentes_ += bytes;
}

int ContadorBlocos::naFila(size_t bytesNaFila) {
    size_t tocados = pendentes_ > bytesNaFila ? pendentes_ - bytesNaFila : 0;
    while (!blocos_.empty() && blocos_.front() <= tocados) {
        tocados -= blocos_.front();
        pendentes_ -= blocos_.front();
        blocos_.pop_front();
    }
    return static_cast<int>(blocos_.size());
}

void ContadorBlocos::limpa() {
    blocos_.clear();
    pendentes_ = 0;
}

void SomTocando::preenche(std::span<uint8_t> saida) {
    while (!saida.empty()) {
        if (posicao >= dados.size()) {
            if (!repete || dados.empty()) break;
            posicao = 0;
        }
        const size_t n = std::min(saida.size(), dados.size() - posicao);
        std::memcpy(saida.data(), dados.data() + posicao, n);
        posicao += n;
        saida = saida.subspan(n);
    }
    std::fill(saida.begin(), saida.end(), silencio);
}

DispositivoSdl& DispositivoSdl::operator=(DispositivoSdl&& o) noexcept {
    if (this != &o) {
        fecha();
        id_ = o.id_;
        o.id_ = 0;
    }
    return *this;
}

void DispositivoSdl::fecha() {
    if (id_ != 0) SDL_CloseAudioDevice(id_);
    id_ = 0;
}

namespace {

bool formatoValido(const FormatoAudio& f) {
    return (f.bits == 8 || f.bits == 16) && f.canais >= 1 && f.canais <= 2 && f.taxa >= 1000 &&
           f.taxa <= 192000;
}

// About 40 ms a buffer: short enough for the queued count to follow the sound closely.
Uint16 amostrasPorBuffer(int taxa) {
    int n = 256;
    while (n < taxa / 25 && n < 4096) n *= 2;
    return static_cast<Uint16>(n);
}

// Opens the default output in exactly `formato` (SDL converts for the hardware), paused.
DispositivoSdl abreSaida(const FormatoAudio& formato, SDL_AudioCallback callback, void* dados,
                         SDL_AudioSpec* obtido) {
    SDL_AudioSpec pedido{};
    pedido.freq = formato.taxa;
    pedido.format = formato.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    pedido.channels = static_cast<Uint8>(formato.canais);
    pedido.samples = amostrasPorBuffer(formato.taxa);
    pedido.callback = callback;
    pedido.userdata = dados;
    SDL_AudioSpec aux{};
    return DispositivoSdl(SDL_OpenAudioDevice(nullptr, 0, &pedido, obtido ? obtido : &aux, 0));
}

void tocaCallback(void* dados, Uint8* saida, int bytes) {
    static_cast<SomTocando*>(dados)->preenche({saida, static_cast<size_t>(std::max(bytes, 0))});
}

Uint32 iniciaAudio() {
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "PLUMAR");
    return SDL_INIT_AUDIO;
}

}  // namespace

AudioSdl::AudioSdl() : audio_(iniciaAudio()) {}

AudioSdl::~AudioSdl() = default;

std::unique_ptr<AudioSdl> AudioSdl::cria() {
    auto a = std::make_unique<AudioSdl>();
    if (!a->audio_.iniciado()) return nullptr;
    // A driver may load with no card behind it; only a device that opens proves there is sound.
    if (!abreSaida(FormatoAudio{}, nullptr, nullptr, nullptr)) return nullptr;
    return a;
}

std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    if (auto a = AudioSdl::cria()) return a;
    return criaAudioNulo();
}

bool AudioSdl::abre(const FormatoAudio& formato) {
    fecha();
    if (!audio_.iniciado() || !formatoValido(formato)) return false;
    fluxo_ = abreSaida(formato, nullptr, nullptr, nullptr);
    if (!fluxo_) return false;
    SDL_PauseAudioDevice(fluxo_.id(), 0);
    return true;
}

void AudioSdl::escreve(std::span<const uint8_t> bloco) {
    if (!fluxo_ || bloco.size() > std::numeric_limits<Uint32>::max()) return;
    // A block the device refused is not counted, or the player would wait for it forever.
    if (!bloco.empty() &&
        SDL_QueueAudio(fluxo_.id(), bloco.data(), static_cast<Uint32>(bloco.size())) != 0)
        return;
    blocos_.escreveu(bloco.size());
}

int AudioSdl::blocosNaFila() {
    if (!fluxo_) return 0;
    // A device that went away (unplugged, server gone) plays nothing more: drop its queue.
    if (SDL_GetAudioDeviceStatus(fluxo_.id()) == SDL_AUDIO_STOPPED) {
        SDL_ClearQueuedAudio(fluxo_.id());
        blocos_.limpa();
        return 0;
    }
    return blocos_.naFila(SDL_GetQueuedAudioSize(fluxo_.id()));
}

void AudioSdl::reinicia() {
    if (fluxo_) SDL_ClearQueuedAudio(fluxo_.id());
    blocos_.limpa();
}

void AudioSdl::fecha() {
    fluxo_.fecha();
    blocos_.limpa();
}

void AudioSdl::tocaSom(std::vector<uint8_t> wave, bool repete) {
    OndaPcm onda;
    if (!audio_.iniciado() || !leOndaPcm(wave, onda) || !formatoValido(onda.formato)) {
        paraSom();
        return;
    }
    // Whole frames only, so a loop never shifts the channels or the sample bytes.
    const size_t quadro = static_cast<size_t>(onda.formato.bytesPorAmostra());
    onda.dados.resize(onda.dados.size() - onda.dados.size() % quadro);
    if (onda.dados.empty()) {
        paraSom();
        return;
    }
    if (voz_ && onda.formato == formatoSom_) {
        // Same format: swap the sound under the device's lock instead of reopening it.
        SDL_LockAudioDevice(voz_.id());
        som_->dados = std::move(onda.dados);
        som_->posicao = 0;
        som_->repete = repete;
        SDL_UnlockAudioDevice(voz_.id());
        return;
    }
    paraSom();
    som_ = std::make_unique<SomTocando>();
    som_->dados = std::move(onda.dados);
    som_->repete = repete;
    SDL_AudioSpec obtido{};
    voz_ = abreSaida(onda.formato, tocaCallback, som_.get(), &obtido);
    if (!voz_) {
        som_.reset();
        return;
    }
    som_->silencio = obtido.silence;
    formatoSom_ = onda.formato;
    SDL_PauseAudioDevice(voz_.id(), 0);
}

void AudioSdl::paraSom() {
    voz_.fecha();  // waits for the callback, so the sound can go after it
    som_.reset();
}
