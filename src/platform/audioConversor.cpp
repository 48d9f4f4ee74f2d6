#include "platform/audioConversor.h"

#include <speex/speex_resampler.h>

#include <algorithm>
#include <cmath>

namespace {

// Quality 5 of 10: images well over 100 dB down on speech, a filter of a few milliseconds
// and little work; the higher levels only cost time.
constexpr int kQualidade = 5;

int16_t paraInt16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -32768.0f, 32767.0f)));
}

}  // namespace

struct ConversorAudio::Filtro {
    SpeexResamplerState* estado = nullptr;
    ~Filtro() {
        if (estado) speex_resampler_destroy(estado);
    }
};

ConversorAudio::ConversorAudio(int taxaSaida, int canaisSaida)
    : taxaSaida_(taxaSaida), canaisSaida_(std::clamp(canaisSaida, 1, 2)) {}

ConversorAudio::~ConversorAudio() = default;

void ConversorAudio::inicia(const FormatoAudio& entrada) {
    resto_.clear();
    pendente_ = false;
    if (filtro_ && entrada.taxa == entrada_.taxa && entrada.canais == entrada_.canais) {
        speex_resampler_reset_mem(filtro_->estado);
        speex_resampler_skip_zeros(filtro_->estado);
        entrada_ = entrada;
        return;
    }
    entrada_ = entrada;
    filtro_.reset();
    if (entrada.taxa == taxaSaida_ || entrada.taxa <= 0 || entrada.canais < 1) return;
    int erro = 0;
    auto f = std::make_unique<Filtro>();
    f->estado = speex_resampler_init(static_cast<spx_uint32_t>(entrada.canais),
                                     static_cast<spx_uint32_t>(entrada.taxa),
                                     static_cast<spx_uint32_t>(taxaSaida_), kQualidade, &erro);
    if (!f->estado) return;
    // The first output sample is the first input sample, not the filter's delay of zeros.
    speex_resampler_skip_zeros(f->estado);
    filtro_ = std::move(f);
}

uint64_t ConversorAudio::quadrosSaida(uint64_t quadrosEntrada) const {
    if (entrada_.taxa <= 0) return 0;
    return quadrosEntrada * static_cast<uint64_t>(taxaSaida_) /
           static_cast<uint64_t>(entrada_.taxa);
}

// Whole frames of the block (and of what the last block left) as floats on the 16-bit scale;
// 8-bit samples are unsigned around 128.
void ConversorAudio::entradaEmFloat(std::span<const uint8_t> bloco) {
    amostras_.clear();
    const size_t quadro = static_cast<size_t>(entrada_.bytesPorAmostra());
    if (quadro == 0) return;
    const size_t largura = static_cast<size_t>(entrada_.bits / 8);
    auto acrescenta = [&](std::span<const uint8_t> q) {
        for (size_t p = 0; p + largura <= q.size(); p += largura)
            amostras_.push_back(largura == 1
                                    ? static_cast<float>((q[p] - 128) * 256)
                                    : static_cast<float>(static_cast<int16_t>(q[p] | (q[p + 1] << 8))));
    };
    if (!resto_.empty()) {
        const size_t falta = std::min(quadro - resto_.size(), bloco.size());
        resto_.insert(resto_.end(), bloco.begin(), bloco.begin() + static_cast<long>(falta));
        bloco = bloco.subspan(falta);
        if (resto_.size() < quadro) return;
        acrescenta(resto_);
        resto_.clear();
    }
    const size_t inteiros = bloco.size() - bloco.size() % quadro;
    acrescenta(bloco.first(inteiros));
    resto_.assign(bloco.begin() + static_cast<long>(inteiros), bloco.end());
}

void ConversorAudio::converte(std::span<const uint8_t> bloco, std::vector<int16_t>& saida) {
    entradaEmFloat(bloco);
    if (amostras_.empty()) return;
    resample(amostras_, saida);
    pendente_ = filtro_ != nullptr;
}

void ConversorAudio::termina(std::vector<int16_t>& saida) {
    if (pendente_ && filtro_) {
        // Zeros push the filter's last input through it.
        const size_t quadros =
            static_cast<size_t>(speex_resampler_get_input_latency(filtro_->estado));
        const std::vector<float> zeros(quadros * static_cast<size_t>(entrada_.canais), 0.0f);
        resample(zeros, saida);
    }
    inicia(entrada_);
}

// Runs the filter (or copies, at equal rates) and maps the input channels to the output's.
void ConversorAudio::resample(std::span<const float> entrada, std::vector<int16_t>& saida) {
    const size_t canais = static_cast<size_t>(entrada_.canais);
    if (filtro_) {
        convertidas_.clear();
        while (entrada.size() >= canais) {
            const size_t inicio = convertidas_.size();
            const size_t quadrosEntrada = entrada.size() / canais;
            convertidas_.resize(inicio + (quadrosSaida(quadrosEntrada) + 16) * canais);
            spx_uint32_t usados = static_cast<spx_uint32_t>(quadrosEntrada);
            spx_uint32_t feitos = static_cast<spx_uint32_t>((convertidas_.size() - inicio) / canais);
            speex_resampler_process_interleaved_float(filtro_->estado, entrada.data(), &usados,
                                                      convertidas_.data() + inicio, &feitos);
            convertidas_.resize(inicio + feitos * canais);
            entrada = entrada.subspan(usados * canais);
            if (usados == 0 && feitos == 0) break;
        }
        entrada = convertidas_;
    }
    const size_t quadros = entrada.size() / canais;
    saida.reserve(saida.size() + quadros * static_cast<size_t>(canaisSaida_));
    for (size_t q = 0; q < quadros; ++q) {
        const float* f = entrada.data() + q * canais;
        if (canaisSaida_ == static_cast<int>(canais)) {
            for (size_t c = 0; c < canais; ++c) saida.push_back(paraInt16(f[c]));
        } else if (canaisSaida_ == 2) {  // mono to both sides
            saida.push_back(paraInt16(f[0]));
            saida.push_back(paraInt16(f[0]));
        } else {  // stereo folded to mono
            saida.push_back(paraInt16((f[0] + f[1]) / 2));
        }
    }
}
