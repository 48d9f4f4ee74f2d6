// The devices that record instead of playing: the WAV file of what a listener hears, and
// the exact record of every block handed over.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <utility>

#include "platform/audio.h"
#include "platform/audioConversor.h"

namespace {

void poe16(std::vector<uint8_t>& d, size_t p, uint16_t v) {
    d[p] = static_cast<uint8_t>(v);
    d[p + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

// The WAV file: samples appended, the header rewritten and everything flushed after each
// append, so a program that dies leaves a whole file behind.
class AudioCaptura::Arquivo {
  public:
    Arquivo(const std::string& nome, uint64_t maximo)
        : f_(nome, std::ios::binary | std::ios::trunc | std::ios::in | std::ios::out),
          maximo_(std::min(maximo, OpcoesCaptura::kMaximoWav) & ~uint64_t{1}) {
        escreveCabecalho();
    }

    bool bom() const { return static_cast<bool>(f_); }

    void acrescentaSilencio(uint64_t n) {
        const std::vector<int16_t> zeros(4096, 0);
        for (; n > 0 && bom(); n -= std::min<uint64_t>(n, zeros.size()))
            acrescenta(std::span(zeros).first(static_cast<size_t>(std::min<uint64_t>(n, zeros.size()))));
    }

    void acrescenta(std::span<const int16_t> amostras) {
        const size_t n =
            static_cast<size_t>(std::min<uint64_t>(amostras.size(), (maximo_ - total_) / 2));
        if (!f_ || n == 0) return;
        bytes_.resize(n * 2);
        for (size_t i = 0; i < n; ++i) poe16(bytes_, i * 2, static_cast<uint16_t>(amostras[i]));
        f_.seekp(0, std::ios::end);
        f_.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<long>(bytes_.size()));
        total_ += bytes_.size();
        escreveCabecalho();
    }

  private:
    void escreveCabecalho() {
        const std::vector<uint8_t> cab =
            cabecalhoWave(AudioCaptura::kFormatoArquivo, static_cast<uint32_t>(total_));
        f_.seekp(0);
        f_.write(reinterpret_cast<const char*>(cab.data()), static_cast<long>(cab.size()));
        f_.flush();
    }

    std::fstream f_;
    uint64_t maximo_;
    uint64_t total_ = 0;
    std::vector<uint8_t> bytes_;
};

AudioCaptura::AudioCaptura(OpcoesCaptura opcoes)
    : opcoes_(std::move(opcoes)),
      fluxo_(std::make_unique<ConversorAudio>(kFormatoArquivo.taxa, kFormatoArquivo.canais)) {
    if (!opcoes_.arquivo.empty())
        arquivo_ = std::make_unique<Arquivo>(opcoes_.arquivo, opcoes_.maximoBytes);
}

AudioCaptura::~AudioCaptura() {
    if (!gravando()) return;
    // The program ends: what is still queued is written whole (the clock may be gone).
    soltaCauda();
    arquivo_->acrescenta(pendentes_);
}

bool AudioCaptura::gravando() const {
    return arquivo_ && arquivo_->bom();
}

void AudioCaptura::defineTempoReal(bool tempoReal, std::function<uint64_t()> relogioMs) {
    opcoes_.tempoReal = tempoReal;
    if (relogioMs) opcoes_.relogioMs = std::move(relogioMs);
    const uint64_t escritoUs = amostrasEscritas_ * 1'000'000 / kFormatoArquivo.taxa;
    const uint64_t agora = agoraUs();
    origemUs_ = agora > escritoUs ? agora - escritoUs : 0;
    temOrigem_ = true;
}

bool AudioCaptura::abre(const FormatoAudio& formato) {
    fecha();
    if (!formatoSuportado(formato)) return false;
    formato_ = formato;
    fluxo_->inicia(formato);
    aberto_ = true;
    return true;
}

void AudioCaptura::escreve(std::span<const uint8_t> bloco) {
    if (!aberto_) return;
    if (opcoes_.guardaBlocos)
        blocos_.push_back({BlocoCapturado::Voz::Fluxo, formato_, {bloco.begin(), bloco.end()}});
    if (opcoes_.tempoReal) {
        const uint64_t porSegundo =
            static_cast<uint64_t>(formato_.taxa * formato_.bytesPorAmostra());
        const uint64_t inicio = fins_.empty() ? agoraUs() : std::max(agoraUs(), fins_.back());
        fins_.push_back(inicio + bloco.size() * 1'000'000 / porSegundo);
    }
    if (gravando()) {
        avanca();
        convertidas_.clear();
        fluxo_->converte(bloco, convertidas_);
        misturaFluxo();
    }
}

int AudioCaptura::blocosNaFila() {
    if (!opcoes_.tempoReal) fins_.clear();
    const uint64_t agora = fins_.empty() ? 0 : agoraUs();
    std::erase_if(fins_, [agora](uint64_t fim) { return fim <= agora; });
    return static_cast<int>(fins_.size());
}

void AudioCaptura::reinicia() {
    fins_.clear();
    // A listener hears the sound up to now, and nothing of what was still queued.
    avanca();
    pendentes_.clear();
    fimFluxo_ = 0;
    fluxo_->inicia(formato_);
}

void AudioCaptura::fecha() {
    if (!aberto_) return;
    terminaFluxo();
    aberto_ = false;
}

void AudioCaptura::tocaSom(std::vector<uint8_t> wave, bool repete) {
    OndaPcm onda;
    if (!leOndaPcm(wave, onda) || !formatoSuportado(onda.formato)) return;
    const size_t quadro = static_cast<size_t>(onda.formato.bytesPorAmostra());
    onda.dados.resize(onda.dados.size() - onda.dados.size() % quadro);
    if (onda.dados.empty()) return;
    if (gravando()) {
        avanca();
        ConversorAudio conversor(kFormatoArquivo.taxa, kFormatoArquivo.canais);
        conversor.inicia(onda.formato);
        convertidas_.clear();
        conversor.converte(onda.dados, convertidas_);
        conversor.termina(convertidas_);
        // Mixed in from now; without a clock, after everything before it.
        mistura(convertidas_, 0);
        if (!opcoes_.tempoReal) avanca();
    }
    if (opcoes_.guardaBlocos)
        blocos_.push_back({BlocoCapturado::Voz::Som, onda.formato, std::move(onda.dados), repete});
}

uint64_t AudioCaptura::agoraUs() const {
    if (opcoes_.relogioMs) return opcoes_.relogioMs() * 1000;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// The file follows the clock: what has played by now is written, and a quiet device
// writes silence, so the file lines up with the keys. Without a clock, everything queued
// is written at once.
void AudioCaptura::avanca() {
    if (!gravando()) return;
    uint64_t ate = amostrasEscritas_ + pendentes_.size();
    if (opcoes_.tempoReal) {
        const uint64_t agora = agoraUs();
        if (!temOrigem_) {
            // The file starts with the first sound.
            origemUs_ = agora;
            temOrigem_ = true;
        }
        ate = agora > origemUs_ ? (agora - origemUs_) * kFormatoArquivo.taxa / 1'000'000 : 0;
        // The clock past the stream's end means its sound has ended: what the filter still
        // holds plays right after it, before any silence, as at the sound device.
        if (fluxo_->pendente() && ate > amostrasEscritas_ + fimFluxo_) soltaCauda();
    }
    if (ate <= amostrasEscritas_) return;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(pendentes_.size(), ate - amostrasEscritas_));
    arquivo_->acrescenta(std::span(pendentes_).first(n));
    pendentes_.erase(pendentes_.begin(), pendentes_.begin() + static_cast<long>(n));
    fimFluxo_ -= std::min(fimFluxo_, n);
    amostrasEscritas_ += n;
    if (ate > amostrasEscritas_) {
        arquivo_->acrescentaSilencio(ate - amostrasEscritas_);
        amostrasEscritas_ = ate;
    }
}

// Adds `amostras` to what is queued, from position `de`.
void AudioCaptura::mistura(std::span<const int16_t> amostras, size_t de) {
    if (pendentes_.size() < de + amostras.size()) pendentes_.resize(de + amostras.size());
    for (size_t i = 0; i < amostras.size(); ++i) {
        int16_t& s = pendentes_[de + i];
        s = static_cast<int16_t>(std::clamp(s + amostras[i], -32768, 32767));
    }
}

// The stream's sound goes on after what of it is queued.
void AudioCaptura::misturaFluxo() {
    mistura(convertidas_, fimFluxo_);
    fimFluxo_ += convertidas_.size();
    if (!opcoes_.tempoReal) avanca();
}

// What the filter holds of the stream's sound is queued after it.
void AudioCaptura::terminaFluxo() {
    if (!gravando()) return;
    avanca();
    soltaCauda();
    if (!opcoes_.tempoReal) avanca();
}

void AudioCaptura::soltaCauda() {
    cauda_.clear();
    fluxo_->termina(cauda_);
    mistura(cauda_, fimFluxo_);
    fimFluxo_ += cauda_.size();
}

std::unique_ptr<DispositivoAudio> criaAudioCaptura(const std::string& arquivo) {
    OpcoesCaptura opcoes;
    opcoes.arquivo = arquivo;
    opcoes.guardaBlocos = false;
    return std::make_unique<AudioCaptura>(std::move(opcoes));
}

namespace {

// Passes everything on to another device and writes each block and sound, as it came and
// before any conversion, to a file: a text line "bloco VOZ TAXA BITS CANAIS BYTES" (VOZ
// "fluxo" or "som") followed by exactly BYTES raw bytes.
class AudioRegistro : public DispositivoAudio {
  public:
    AudioRegistro(std::unique_ptr<DispositivoAudio> interno, const std::string& arquivo)
        : interno_(std::move(interno)), f_(arquivo, std::ios::binary | std::ios::trunc) {}

    bool bom() const { return static_cast<bool>(f_); }

    bool abre(const FormatoAudio& formato) override {
        formato_ = formato;
        return interno_->abre(formato);
    }
    void escreve(std::span<const uint8_t> bloco) override {
        if (interno_->aberto()) registra("fluxo", formato_, bloco);
        interno_->escreve(bloco);
    }
    int blocosNaFila() override { return interno_->blocosNaFila(); }
    void reinicia() override { interno_->reinicia(); }
    void fecha() override { interno_->fecha(); }
    bool aberto() const override { return interno_->aberto(); }
    int erroAbertura() const override { return interno_->erroAbertura(); }
    int erroDevolucao() override { return interno_->erroDevolucao(); }
    void tocaSom(std::vector<uint8_t> wave, bool repete) override {
        OndaPcm onda;
        if (leOndaPcm(wave, onda)) registra("som", onda.formato, onda.dados);
        interno_->tocaSom(std::move(wave), repete);
    }
    void paraSom() override { interno_->paraSom(); }
    std::string semDispositivo() override { return interno_->semDispositivo(); }

  private:
    void registra(const char* voz, const FormatoAudio& f, std::span<const uint8_t> bytes) {
        f_ << "bloco " << voz << ' ' << f.taxa << ' ' << f.bits << ' ' << f.canais << ' '
           << bytes.size() << '\n';
        f_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        f_.flush();  // the program may end at any key
    }

    std::unique_ptr<DispositivoAudio> interno_;
    std::ofstream f_;
    FormatoAudio formato_;
};

}  // namespace

std::unique_ptr<DispositivoAudio> criaAudioRegistro(std::unique_ptr<DispositivoAudio> interno,
                                                    const std::string& arquivo) {
    auto r = std::make_unique<AudioRegistro>(std::move(interno), arquivo);
    if (!r->bom()) return nullptr;
    return r;
}
