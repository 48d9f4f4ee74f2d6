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

#if !defined(PLUMAR_COM_SDL) && !defined(_WIN32)
std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    return criaAudioNulo();
}
#endif
