#include "platform/audioMisturado.h"

#include <chrono>

namespace {

uint64_t agoraMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

// Holds the stream's lock: its callback does not run meanwhile.
class AudioMisturado::Trava {
  public:
    explicit Trava(FluxoSaida& s) : saida_(s) { saida_.trava(); }
    ~Trava() { saida_.destrava(); }
    Trava(const Trava&) = delete;
    Trava& operator=(const Trava&) = delete;

  private:
    FluxoSaida& saida_;
};

AudioMisturado::AudioMisturado(AbreFluxoSaida abreSaida, int intervaloTentativaMs)
    : abreSaida_(std::move(abreSaida)), intervaloTentativaMs_(intervaloTentativaMs) {
    tentaAbrir();
}

AudioMisturado::~AudioMisturado() {
    saida_.reset();  // waits out the callback before the mixer goes
}

bool AudioMisturado::tentaAbrir() {
    proximaTentativaMs_ = agoraMs() + static_cast<uint64_t>(intervaloTentativaMs_);
    saida_.reset();
    mistura_.reset();
    motivo_.clear();
    saida_ = abreSaida_(motivo_);
    if (!saida_) return false;
    // The stream has not started yet: nothing reads the mixer.
    mistura_ = std::make_unique<MisturaSaida>(saida_->taxa(), 2);
    if (aberto_) mistura_->abre(formato_);
    motivo_.clear();
    saida_->inicia(*mistura_);
    return true;
}

void AudioMisturado::perde(const std::string& motivo) {
    saida_.reset();  // waits out the callback before the mixer goes
    mistura_.reset();
    motivo_ = motivo;
    proximaTentativaMs_ = agoraMs() + static_cast<uint64_t>(intervaloTentativaMs_);
}

bool AudioMisturado::vigia() {
    if (saida_ && saida_->perdida()) perde("o dispositivo de som deixou de responder");
    if (!saida_ && agoraMs() >= proximaTentativaMs_) tentaAbrir();
    return static_cast<bool>(saida_);
}

std::string AudioMisturado::semDispositivo() {
    vigia();
    return motivo_;
}

bool AudioMisturado::abre(const FormatoAudio& formato) {
    fecha();
    if (!formatoSuportado(formato)) return false;
    formato_ = formato;
    aberto_ = true;
    if (vigia()) {
        Trava trava(*saida_);
        mistura_->abre(formato);
    }
    return true;
}

void AudioMisturado::escreve(std::span<const uint8_t> bloco) {
    if (!aberto_ || !vigia()) return;
    // The filter runs with the stream unlocked: a long block takes milliseconds, and a
    // callback kept waiting that long leaves the sound server without samples.
    {
        Trava trava(*saida_);
        mistura_->reservaFiltro();
    }
    mistura_->converte(bloco);
    Trava trava(*saida_);
    mistura_->enfileira();
}

int AudioMisturado::blocosNaFila() {
    if (!aberto_ || !vigia()) return 0;
    Trava trava(*saida_);
    return mistura_->blocosNaFila(saida_->quadrosAdiante());
}

void AudioMisturado::reinicia() {
    if (!saida_) return;
    Trava trava(*saida_);
    mistura_->reinicia();
    saida_->descartaFluxo();
}

void AudioMisturado::fecha() {
    if (!aberto_) return;
    aberto_ = false;
    if (!saida_) return;
    Trava trava(*saida_);
    mistura_->termina();
}

void AudioMisturado::tocaSom(std::vector<uint8_t> wave, bool repete) {
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
    Trava trava(*saida_);
    mistura_->tocaSom(std::move(amostras), repete);
    saida_->descartaSom();
}

void AudioMisturado::paraSom() {
    if (!saida_) return;
    Trava trava(*saida_);
    mistura_->tocaSom({}, false);
    saida_->descartaSom();
}
