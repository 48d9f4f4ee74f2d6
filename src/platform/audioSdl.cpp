#include "platform/audioSdl.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <utility>

MisturaSaida::MisturaSaida(int taxa, int canais) : conversor_(taxa, canais) {}

void MisturaSaida::abre(const FormatoAudio& formato) {
    conversor_.inicia(formato);
    formato_ = formato;
    inicioSom_ = std::max(fimEscrito_, tocados_ + quadrosNaFila());
    quadrosSom_ = 0;
}

void MisturaSaida::escreve(std::span<const uint8_t> bloco) {
    reservaFiltro();
    converte(bloco);
    enfileira();
}

void MisturaSaida::converte(std::span<const uint8_t> bloco) {
    convertidas_.clear();
    conversor_.converte(bloco, convertidas_);
    quadrosConvertidos_ = bloco.size() / static_cast<size_t>(std::max(formato_.bytesPorAmostra(), 1));
}

void MisturaSaida::enfileira() {
    fila_.insert(fila_.end(), convertidas_.begin(), convertidas_.end());
    convertidas_.clear();
    // A block counts as played when the frames it makes have played, whether or not the
    // filter has let all of them out yet.
    quadrosSom_ += std::exchange(quadrosConvertidos_, 0);
    fimEscrito_ = inicioSom_ + conversor_.quadrosSaida(quadrosSom_);
    fins_.push_back(fimEscrito_);
    convertendo_ = false;
}

int MisturaSaida::blocosNaFila() {
    while (!fins_.empty() && fins_.front() <= tocados_) fins_.pop_front();
    // Everything the filter made has played: a rounding frame must not hold a block back.
    if (fila_.empty() && !conversor_.pendente()) fins_.clear();
    return static_cast<int>(fins_.size());
}

void MisturaSaida::reinicia() {
    fila_.clear();
    fins_.clear();
    conversor_.inicia(formato_);
    tocados_ = fimEscrito_ = inicioSom_ = quadrosSom_ = 0;
}

void MisturaSaida::termina() {
    convertidas_.clear();
    conversor_.termina(convertidas_);
    fila_.insert(fila_.end(), convertidas_.begin(), convertidas_.end());
}

void MisturaSaida::tocaSom(std::vector<int16_t> amostras, bool repete) {
    som_ = std::move(amostras);
    posicaoSom_ = 0;
    repeteSom_ = repete;
}

void MisturaSaida::preenche(std::span<int16_t> saida) {
    std::fill(saida.begin(), saida.end(), int16_t{0});
    const size_t canais = static_cast<size_t>(this->canais());
    // The stream running dry means its sound has ended: the filter's hold comes out now;
    // unless the main thread is converting the sound's next block, which goes on from it.
    if (!convertendo_ && fila_.size() < saida.size() && conversor_.pendente()) termina();
    const size_t n = std::min(saida.size(), fila_.size()) / canais * canais;
    std::copy_n(fila_.begin(), n, saida.begin());
    fila_.erase(fila_.begin(), fila_.begin() + static_cast<long>(n));
    tocados_ += n / canais;
    for (int16_t& s : saida) {
        if (posicaoSom_ >= som_.size()) {
            if (!repeteSom_ || som_.empty()) break;
            posicaoSom_ = 0;
        }
        s = static_cast<int16_t>(std::clamp(s + som_[posicaoSom_++], -32768, 32767));
    }
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

uint64_t agoraMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

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

// Holds the device's lock: its callback does not run meanwhile.
class TravaDispositivo {
  public:
    explicit TravaDispositivo(const DispositivoSdl& d) : id_(d.id()) {
        if (id_ != 0) SDL_LockAudioDevice(id_);
    }
    ~TravaDispositivo() {
        if (id_ != 0) SDL_UnlockAudioDevice(id_);
    }
    TravaDispositivo(const TravaDispositivo&) = delete;
    TravaDispositivo& operator=(const TravaDispositivo&) = delete;

  private:
    SDL_AudioDeviceID id_;
};

}  // namespace

AudioSdl::AudioSdl(int intervaloTentativaMs) : intervaloTentativaMs_(intervaloTentativaMs) {
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "PLUMAR");
    tentaAbrir();
}

AudioSdl::~AudioSdl() {
    saida_.fecha();  // waits out the callback before the mixer goes
}

std::unique_ptr<AudioSdl> AudioSdl::cria() {
    return std::make_unique<AudioSdl>();
}

std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    return AudioSdl::cria();
}

void AudioSdl::preencheCallback(void* dados, Uint8* saida, int bytes) {
    const std::span<int16_t> amostras{reinterpret_cast<int16_t*>(saida),
                                      static_cast<size_t>(std::max(bytes, 0)) / 2};
    auto* audio = static_cast<AudioSdl*>(dados);
    if (audio->mistura_)
        audio->mistura_->preenche(amostras);
    else
        std::fill(amostras.begin(), amostras.end(), int16_t{0});
}

bool AudioSdl::tentaAbrir() {
    proximaTentativaMs_ = agoraMs() + static_cast<uint64_t>(intervaloTentativaMs_);
    // A fresh start of the audio subsystem: a sound server that went away and came back
    // is only found again by a new connection.
    saida_.fecha();
    mistura_.reset();
    audio_.reset();
    audio_ = std::make_unique<SubsistemaSdl>(SDL_INIT_AUDIO);
    if (!audio_->iniciado()) {
        motivo_ = std::string("o áudio do SDL não iniciou: ") + SDL_GetError();
        return false;
    }
    SDL_AudioSpec pedido{};
    pedido.freq = taxaPreferida();
    pedido.format = AUDIO_S16SYS;
    pedido.channels = 2;
    const bool servidor = emServidorPulse();
    pedido.samples = amostrasPorBuffer(pedido.freq, servidor ? kMsBufferServidor : kMsBuffer);
    pedido.callback = preencheCallback;
    pedido.userdata = this;
    SDL_AudioSpec obtido{};
    // Only the rate may change (the mixer follows it); SDL converts anything else.
    const LatenciaServidor latencia(servidor);
    DispositivoSdl d(
        SDL_OpenAudioDevice(nullptr, 0, &pedido, &obtido, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE));
    if (!d) {
        motivo_ = std::string("nenhum dispositivo de som abriu: ") + SDL_GetError();
        return false;
    }
    // The device starts paused: its callback has not run yet.
    mistura_ = std::make_unique<MisturaSaida>(obtido.freq, 2);
    if (aberto_) mistura_->abre(formato_);
    saida_ = std::move(d);
    amostras_ = obtido.samples;
    motivo_.clear();
    SDL_PauseAudioDevice(saida_.id(), 0);
    return true;
}

void AudioSdl::perde(const std::string& motivo) {
    saida_.fecha();  // waits out the callback before the mixer goes
    mistura_.reset();
    motivo_ = motivo;
    proximaTentativaMs_ = agoraMs() + static_cast<uint64_t>(intervaloTentativaMs_);
}

bool AudioSdl::vigia() {
    if (saida_ && SDL_GetAudioDeviceStatus(saida_.id()) == SDL_AUDIO_STOPPED)
        perde("o dispositivo de som deixou de responder");
    if (!saida_ && agoraMs() >= proximaTentativaMs_) tentaAbrir();
    return static_cast<bool>(saida_);
}

std::string AudioSdl::semDispositivo() {
    vigia();
    return motivo_;
}

bool AudioSdl::abre(const FormatoAudio& formato) {
    fecha();
    if (!formatoSuportado(formato)) return false;
    formato_ = formato;
    aberto_ = true;
    if (vigia()) {
        TravaDispositivo trava(saida_);
        mistura_->abre(formato);
    }
    return true;
}

void AudioSdl::escreve(std::span<const uint8_t> bloco) {
    if (!aberto_ || !vigia()) return;
    // The filter runs with the device unlocked: a long block takes milliseconds, and a
    // callback kept waiting that long leaves the sound server without samples.
    {
        TravaDispositivo trava(saida_);
        mistura_->reservaFiltro();
    }
    mistura_->converte(bloco);
    TravaDispositivo trava(saida_);
    mistura_->enfileira();
}

int AudioSdl::blocosNaFila() {
    if (!aberto_ || !vigia()) return 0;
    TravaDispositivo trava(saida_);
    return mistura_->blocosNaFila();
}

void AudioSdl::reinicia() {
    if (!saida_) return;
    TravaDispositivo trava(saida_);
    mistura_->reinicia();
}

void AudioSdl::fecha() {
    if (!aberto_) return;
    aberto_ = false;
    if (!saida_) return;
    TravaDispositivo trava(saida_);
    mistura_->termina();
}

void AudioSdl::tocaSom(std::vector<uint8_t> wave, bool repete) {
    OndaPcm onda;
    if (!vigia()) return;
    std::vector<int16_t> amostras;
    if (leOndaPcm(wave, onda) && formatoSuportado(onda.formato)) {
        ConversorAudio conversor(mistura_->taxa(), mistura_->canais());
        conversor.inicia(onda.formato);
        conversor.converte(onda.dados, amostras);
        conversor.termina(amostras);
    }
    // Whole frames only, so a loop never shifts the channels.
    amostras.resize(amostras.size() - amostras.size() % static_cast<size_t>(mistura_->canais()));
    TravaDispositivo trava(saida_);
    mistura_->tocaSom(std::move(amostras), repete);
}

void AudioSdl::paraSom() {
    if (!saida_) return;
    TravaDispositivo trava(saida_);
    mistura_->tocaSom({}, false);
}
