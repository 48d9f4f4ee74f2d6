#include "platform/audioConversor.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t paraInt16(float v) {
    return static_cast<int16_t>(std::lround(std::clamp(v, -32768.0f, 32767.0f)));
}

}  // namespace

ConversorAudio::ConversorAudio(int taxaSaida, int canaisSaida)
    : taxaSaida_(taxaSaida), canaisSaida_(std::clamp(canaisSaida, 1, 2)) {}

ConversorAudio::~ConversorAudio() = default;

void ConversorAudio::inicia(const FormatoAudio& entrada) {
    resto_.clear();
    pendente_ = false;
    if (filtro_ && entrada.taxa == entrada_.taxa && entrada.canais == entrada_.canais) {
        reiniciaFiltro(*filtro_);
        entrada_ = entrada;
        return;
    }
    entrada_ = entrada;
    filtro_.reset();
    if (entrada.taxa == taxaSaida_ || entrada.taxa <= 0 || entrada.canais < 1) return;
    filtro_ = criaFiltro(entrada.canais, entrada.taxa, taxaSaida_);
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
        const size_t quadros = latenciaFiltro(*filtro_);
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
        filtra(*filtro_, entrada, convertidas_);
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
