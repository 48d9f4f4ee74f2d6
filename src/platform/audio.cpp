#include "platform/audio.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <utility>

namespace {

uint32_t le32(std::span<const uint8_t> d, size_t p) {
    return d[p] | (d[p + 1] << 8) | (d[p + 2] << 16) | (static_cast<uint32_t>(d[p + 3]) << 24);
}
uint16_t le16(std::span<const uint8_t> d, size_t p) {
    return static_cast<uint16_t>(d[p] | (d[p + 1] << 8));
}
void poe32(std::vector<uint8_t>& d, size_t p, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[p + i] = static_cast<uint8_t>(v >> (8 * i));
}
void poe16(std::vector<uint8_t>& d, size_t p, uint16_t v) {
    d[p] = static_cast<uint8_t>(v);
    d[p + 1] = static_cast<uint8_t>(v >> 8);
}
bool marca(std::span<const uint8_t> d, size_t p, const char* m) {
    return p + 4 <= d.size() && std::memcmp(d.data() + p, m, 4) == 0;
}

class AudioNulo : public DispositivoAudio {
  public:
    bool abre(const FormatoAudio&) override {
        aberto_ = true;
        return true;
    }
    void escreve(std::span<const uint8_t>) override {}
    int blocosNaFila() override { return 0; }
    void reinicia() override {}
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t>, bool) override {}
    void paraSom() override {}

  private:
    bool aberto_ = false;
};

}  // namespace

std::vector<uint8_t> cabecalhoWave(const FormatoAudio& f, uint32_t bytesDados) {
    std::vector<uint8_t> c(44);
    std::memcpy(c.data(), "RIFF", 4);
    poe32(c, 4, bytesDados + 36);
    std::memcpy(c.data() + 8, "WAVEfmt ", 8);
    poe32(c, 16, 16);
    poe16(c, 20, 1);
    poe16(c, 22, static_cast<uint16_t>(f.canais));
    poe32(c, 24, static_cast<uint32_t>(f.taxa));
    poe32(c, 28, static_cast<uint32_t>(f.taxa * f.bytesPorAmostra()));
    poe16(c, 32, static_cast<uint16_t>(f.bytesPorAmostra()));
    poe16(c, 34, static_cast<uint16_t>(f.bits));
    std::memcpy(c.data() + 36, "data", 4);
    poe32(c, 40, bytesDados);
    return c;
}

bool leOndaPcm(std::span<const uint8_t> d, OndaPcm& saida) {
    if (!marca(d, 0, "RIFF") || !marca(d, 8, "WAVE")) return false;
    bool temFormato = false;
    size_t p = 12;
    while (p + 8 <= d.size()) {
        const uint32_t tamanho = le32(d, p + 4);
        const size_t corpo = p + 8;
        const size_t disponivel = d.size() - corpo;
        if (marca(d, p, "fmt ")) {
            if (tamanho < 16 || disponivel < 16 || le16(d, corpo) != 1) return false;
            saida.formato.canais = le16(d, corpo + 2);
            saida.formato.taxa = static_cast<int>(le32(d, corpo + 4));
            saida.formato.bits = le16(d, corpo + 14);
            temFormato = true;
        } else if (marca(d, p, "data")) {
            if (!temFormato) return false;
            const size_t n = std::min<size_t>(tamanho, disponivel);
            saida.dados.assign(d.begin() + static_cast<long>(corpo),
                               d.begin() + static_cast<long>(corpo + n));
            const auto& f = saida.formato;
            return f.canais >= 1 && f.taxa > 0 && (f.bits == 8 || f.bits == 16);
        }
        // Chunks of odd size are followed by a pad byte.
        p = corpo + tamanho + (tamanho & 1u);
    }
    return false;
}

std::unique_ptr<DispositivoAudio> criaAudioNulo() {
    return std::make_unique<AudioNulo>();
}

bool formatoSuportado(const FormatoAudio& f) {
    return (f.bits == 8 || f.bits == 16) && f.canais >= 1 && f.canais <= 2 && f.taxa >= 1000 &&
           f.taxa <= 192000;
}

// Resamples one voice to the file's 16-bit mono 44100 Hz by linear interpolation. The
// position of the next output sample and the last input sample carry over from one block
// to the next, so a sound cut into blocks converts exactly as it would whole.
class AudioCaptura::Conversor {
  public:
    explicit Conversor(const FormatoAudio& f) : formato_(f) {}

    // Appends the output samples that fall between the input samples seen so far.
    void converte(std::span<const uint8_t> bloco, std::vector<int16_t>& saida) {
        amostras_.clear();
        if (temAnterior_) amostras_.push_back(anterior_);
        acrescentaMono(bloco);
        if (amostras_.empty()) return;
        const uint64_t ultimo = (amostras_.size() - 1) * kSaida;
        for (; posicao_ <= ultimo; posicao_ += passo()) {
            const size_t i = static_cast<size_t>(posicao_ / kSaida);
            const int64_t fracao = static_cast<int64_t>(posicao_ % kSaida);
            int64_t y = amostras_[i];
            if (fracao != 0) y += (amostras_[i + 1] - y) * fracao / static_cast<int64_t>(kSaida);
            saida.push_back(static_cast<int16_t>(y));
        }
        posicao_ -= ultimo;
        anterior_ = amostras_.back();
        temAnterior_ = true;
    }

    // The output samples up to the end of the last input sample, which is held; the next
    // block starts a new sound.
    void termina(std::vector<int16_t>& saida) {
        if (temAnterior_) {
            for (; posicao_ < kSaida; posicao_ += passo())
                saida.push_back(static_cast<int16_t>(anterior_));
        }
        temAnterior_ = false;
        posicao_ = 0;
        resto_.clear();
    }

  private:
    static constexpr uint64_t kSaida = AudioCaptura::kFormatoArquivo.taxa;

    uint64_t passo() const { return static_cast<uint64_t>(formato_.taxa); }

    // Channels averaged; 8-bit samples are unsigned around 128. A frame cut by the end of a
    // block is completed by the next one.
    void acrescentaMono(std::span<const uint8_t> bloco) {
        const size_t quadro = static_cast<size_t>(formato_.bytesPorAmostra());
        if (!resto_.empty()) {
            const size_t falta = std::min(quadro - resto_.size(), bloco.size());
            resto_.insert(resto_.end(), bloco.begin(), bloco.begin() + static_cast<long>(falta));
            bloco = bloco.subspan(falta);
            if (resto_.size() < quadro) return;
            amostras_.push_back(mono(resto_));
            resto_.clear();
        }
        const size_t inteiros = bloco.size() - bloco.size() % quadro;
        for (size_t p = 0; p < inteiros; p += quadro) amostras_.push_back(mono(bloco.subspan(p)));
        resto_.assign(bloco.begin() + static_cast<long>(inteiros), bloco.end());
    }

    int32_t mono(std::span<const uint8_t> q) const {
        const size_t largura = static_cast<size_t>(formato_.bits / 8);
        int32_t soma = 0;
        for (size_t c = 0; c < static_cast<size_t>(formato_.canais); ++c) {
            const size_t p = c * largura;
            soma += largura == 1 ? (q[p] - 128) * 256 : static_cast<int16_t>(le16(q, p));
        }
        return soma / formato_.canais;
    }

    FormatoAudio formato_;
    std::vector<int32_t> amostras_;  // the previous block's last sample, then this block's
    std::vector<uint8_t> resto_;     // the start of a frame the next block completes
    int32_t anterior_ = 0;
    bool temAnterior_ = false;
    uint64_t posicao_ = 0;  // next output sample, in 1/44100 of an input sample
};

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

AudioCaptura::AudioCaptura(OpcoesCaptura opcoes) : opcoes_(std::move(opcoes)) {
    if (!opcoes_.arquivo.empty())
        arquivo_ = std::make_unique<Arquivo>(opcoes_.arquivo, opcoes_.maximoBytes);
}

AudioCaptura::~AudioCaptura() {
    terminaFluxo();
}

bool AudioCaptura::gravando() const {
    return arquivo_ && arquivo_->bom();
}

bool AudioCaptura::abre(const FormatoAudio& formato) {
    fecha();
    if (!formatoSuportado(formato)) return false;
    formato_ = formato;
    fluxo_ = std::make_unique<Conversor>(formato);
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
        std::vector<int16_t> saida;
        fluxo_->converte(bloco, saida);
        arquivo_->acrescenta(saida);
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
    terminaFluxo();
}

void AudioCaptura::fecha() {
    reinicia();
    fluxo_.reset();
    aberto_ = false;
}

void AudioCaptura::tocaSom(std::vector<uint8_t> wave, bool repete) {
    OndaPcm onda;
    if (!leOndaPcm(wave, onda) || !formatoSuportado(onda.formato)) return;
    const size_t quadro = static_cast<size_t>(onda.formato.bytesPorAmostra());
    onda.dados.resize(onda.dados.size() - onda.dados.size() % quadro);
    if (onda.dados.empty()) return;
    if (gravando()) {
        std::vector<int16_t> saida;
        Conversor conversor(onda.formato);
        conversor.converte(onda.dados, saida);
        conversor.termina(saida);
        arquivo_->acrescenta(saida);
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

// The stream's last sample is held to its full length before another sound starts.
void AudioCaptura::terminaFluxo() {
    if (!fluxo_) return;
    std::vector<int16_t> saida;
    fluxo_->termina(saida);
    if (gravando()) arquivo_->acrescenta(saida);
}

std::unique_ptr<DispositivoAudio> criaAudioCaptura(const std::string& arquivo) {
    OpcoesCaptura opcoes;
    opcoes.arquivo = arquivo;
    opcoes.guardaBlocos = false;
    return std::make_unique<AudioCaptura>(std::move(opcoes));
}

#ifndef PLUMAR_COM_SDL
std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    return criaAudioNulo();
}
#endif
