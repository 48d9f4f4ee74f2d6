#include "platform/audio.h"

#include <algorithm>
#include <cstring>
#include <fstream>

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

// Every sample played, as 16-bit mono at 22050 Hz, appended to a WAV file whose header is
// kept up to date after each block, so the file is whole however the program ends.
class AudioCaptura : public DispositivoAudio {
public:
    explicit AudioCaptura(const std::string& arquivo)
        : arquivo_(arquivo, std::ios::binary | std::ios::trunc | std::ios::in | std::ios::out) {
        std::vector<uint8_t> cab = cabecalhoWave(kSaida, 0);
        arquivo_.write(reinterpret_cast<const char*>(cab.data()), static_cast<long>(cab.size()));
        arquivo_.flush();
    }
    bool abre(const FormatoAudio& f) override {
        formato_ = f;
        aberto_ = true;
        return true;
    }
    void escreve(std::span<const uint8_t> bloco) override { grava(bloco, formato_); }
    int blocosNaFila() override { return 0; }
    void reinicia() override {}
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t> wave, bool) override {
        OndaPcm onda;
        if (leOndaPcm(wave, onda)) grava(onda.dados, onda.formato);
    }
    void paraSom() override {}

private:
    static constexpr FormatoAudio kSaida{1, 22050, 16};

    void grava(std::span<const uint8_t> bloco, const FormatoAudio& f) {
        if (!arquivo_ || f.taxa <= 0 || f.canais <= 0 || (f.bits != 8 && f.bits != 16)) return;
        const size_t passo = static_cast<size_t>(f.bytesPorAmostra());
        const size_t n = bloco.size() / passo;
        std::vector<int16_t> mono(n);
        for (size_t i = 0; i < n; ++i) {
            int soma = 0;
            for (int c = 0; c < f.canais; ++c) {
                size_t p = i * passo + static_cast<size_t>(c) * (f.bits / 8);
                soma += f.bits == 8 ? (bloco[p] - 128) * 256
                                    : static_cast<int16_t>(le16(bloco, p));
            }
            mono[i] = static_cast<int16_t>(soma / f.canais);
        }
        // Nearest-sample resampling to the capture rate.
        const size_t saida = n * static_cast<size_t>(kSaida.taxa) / static_cast<size_t>(f.taxa);
        std::vector<uint8_t> bytes(saida * 2);
        for (size_t i = 0; i < saida; ++i) {
            size_t j = std::min(n - 1, i * static_cast<size_t>(f.taxa) / kSaida.taxa);
            poe16(bytes, i * 2, static_cast<uint16_t>(mono[j]));
        }
        arquivo_.seekp(0, std::ios::end);
        arquivo_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        total_ += static_cast<uint32_t>(bytes.size());
        std::vector<uint8_t> cab = cabecalhoWave(kSaida, total_);
        arquivo_.seekp(0);
        arquivo_.write(reinterpret_cast<const char*>(cab.data()), static_cast<long>(cab.size()));
        arquivo_.flush();
    }

    std::fstream arquivo_;
    FormatoAudio formato_;
    uint32_t total_ = 0;
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

std::unique_ptr<DispositivoAudio> criaAudioNulo() { return std::make_unique<AudioNulo>(); }

std::unique_ptr<DispositivoAudio> criaAudioCaptura(const std::string& arquivo) {
    return std::make_unique<AudioCaptura>(arquivo);
}

#ifndef PLUMAR_COM_SDL
std::unique_ptr<DispositivoAudio> criaAudioSistema() { return criaAudioNulo(); }
#endif
