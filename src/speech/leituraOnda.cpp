#include "speech/leituraOnda.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <istream>

namespace {

constexpr int kTaxaMaxima = 1'000'000;
constexpr int kCanaisMaximo = 8;

uint16_t le16(std::span<const uint8_t> d, size_t p) {
    return static_cast<uint16_t>(d[p] | (d[p + 1] << 8));
}
uint32_t le32(std::span<const uint8_t> d, size_t p) {
    return d[p] | (d[p + 1] << 8) | (d[p + 2] << 16) | (static_cast<uint32_t>(d[p + 3]) << 24);
}
bool marca(std::span<const uint8_t> d, size_t p, const char* m) {
    return std::memcmp(d.data() + p, m, 4) == 0;
}

// The body of a format chunk (at most its first 40 bytes): plain PCM, or the extensible
// form whose sub-format is PCM.
std::optional<FormatoAudio> leFormato(std::span<const uint8_t> corpo) {
    if (corpo.size() < 16) return std::nullopt;
    const uint16_t tipo = le16(corpo, 0);
    const bool pcm = tipo == 1 || (tipo == 0xFFFE && corpo.size() >= 26 && le16(corpo, 24) == 1);
    const uint32_t taxa = le32(corpo, 4);
    if (!pcm || taxa > static_cast<uint32_t>(kTaxaMaxima)) return std::nullopt;
    FormatoAudio f{le16(corpo, 2), static_cast<int>(taxa), le16(corpo, 14)};
    if (!formatoOndaValido(f)) return std::nullopt;
    return f;
}

class FonteArquivo {
  public:
    explicit FonteArquivo(std::istream& entrada) : entrada_(entrada) {}
    bool le(std::span<uint8_t> destino) {
        entrada_.read(reinterpret_cast<char*>(destino.data()),
                      static_cast<std::streamsize>(destino.size()));
        return entrada_.gcount() == static_cast<std::streamsize>(destino.size());
    }
    bool pula(uint64_t n) {
        entrada_.seekg(static_cast<std::streamoff>(n), std::ios::cur);
        return static_cast<bool>(entrada_);
    }
    uint64_t posicao() {
        const std::streamoff p = entrada_.tellg();
        return p < 0 ? 0 : static_cast<uint64_t>(p);
    }

  private:
    std::istream& entrada_;
};

class FonteMemoria {
  public:
    explicit FonteMemoria(std::span<const uint8_t> onda) : onda_(onda) {}
    bool le(std::span<uint8_t> destino) {
        if (destino.size() > onda_.size() - pos_) return false;
        std::copy_n(onda_.begin() + static_cast<std::ptrdiff_t>(pos_), destino.size(),
                    destino.begin());
        pos_ += destino.size();
        return true;
    }
    bool pula(uint64_t n) {
        if (n > onda_.size() - pos_) return false;
        pos_ += static_cast<size_t>(n);
        return true;
    }
    uint64_t posicao() const { return pos_; }

  private:
    std::span<const uint8_t> onda_;
    size_t pos_ = 0;
};

template <class Fonte>
std::optional<DadosOnda> procuraDados(Fonte& fonte) {
    std::array<uint8_t, 12> riff;
    if (!fonte.le(riff) || !marca(riff, 0, "RIFF") || !marca(riff, 8, "WAVE")) return std::nullopt;
    std::optional<FormatoAudio> formato;
    for (;;) {
        std::array<uint8_t, 8> cabecalho;
        if (!fonte.le(cabecalho)) return std::nullopt;
        const uint64_t tamanho = le32(cabecalho, 4);
        if (marca(cabecalho, 0, "data")) {
            if (!formato) return std::nullopt;
            return DadosOnda{*formato, tamanho, fonte.posicao()};
        }
        uint64_t pular = tamanho + (tamanho & 1u);
        if (marca(cabecalho, 0, "fmt ")) {
            std::array<uint8_t, 40> corpo{};
            const auto lido = std::span(corpo).first(std::min<uint64_t>(tamanho, corpo.size()));
            if (!fonte.le(lido)) return std::nullopt;
            formato = leFormato(lido);
            if (!formato) return std::nullopt;
            pular -= lido.size();
        }
        if (!fonte.pula(pular)) return std::nullopt;
    }
}

}  // namespace

bool formatoOndaValido(const FormatoAudio& f) {
    return f.canais >= 1 && f.canais <= kCanaisMaximo && f.taxa >= 1 && f.taxa <= kTaxaMaxima &&
           (f.bits == 8 || f.bits == 16);
}

std::optional<DadosOnda> procuraDadosOnda(std::istream& entrada) {
    FonteArquivo fonte(entrada);
    return procuraDados(fonte);
}

std::optional<DadosOnda> procuraDadosOnda(std::span<const uint8_t> onda) {
    FonteMemoria fonte(onda);
    return procuraDados(fonte);
}

std::span<const uint8_t> amostrasOnda(std::span<const uint8_t> onda, const DadosOnda& dados) {
    if (dados.inicio >= onda.size()) return {};
    const size_t inicio = static_cast<size_t>(dados.inicio);
    return onda.subspan(
        inicio, static_cast<size_t>(std::min<uint64_t>(dados.tamanho, onda.size() - inicio)));
}
