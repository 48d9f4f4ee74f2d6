#include <speex/speex_resampler.h>

#include "platform/filtroReamostragem.h"

namespace {

// Quality 5 of 10: images well over 100 dB down on speech, a filter of a few milliseconds
// and little work; the higher levels only cost time.
constexpr int kQualidade = 5;

}  // namespace

struct FiltroReamostragem {
    SpeexResamplerState* estado = nullptr;
    size_t canais = 1;
    uint64_t taxaEntrada = 1, taxaSaida = 1;
};

void ApagaFiltro::operator()(FiltroReamostragem* f) const noexcept {
    if (f && f->estado) speex_resampler_destroy(f->estado);
    delete f;
}

PonteiroFiltro criaFiltro(int canais, int taxaEntrada, int taxaSaida) {
    int erro = 0;
    PonteiroFiltro f(new FiltroReamostragem);
    f->estado = speex_resampler_init(static_cast<spx_uint32_t>(canais),
                                     static_cast<spx_uint32_t>(taxaEntrada),
                                     static_cast<spx_uint32_t>(taxaSaida), kQualidade, &erro);
    if (!f->estado) return nullptr;
    f->canais = static_cast<size_t>(canais);
    f->taxaEntrada = static_cast<uint64_t>(taxaEntrada);
    f->taxaSaida = static_cast<uint64_t>(taxaSaida);
    // The first output sample is the first input sample, not the filter's delay of zeros.
    speex_resampler_skip_zeros(f->estado);
    return f;
}

void reiniciaFiltro(FiltroReamostragem& f) {
    speex_resampler_reset_mem(f.estado);
    speex_resampler_skip_zeros(f.estado);
}

size_t latenciaFiltro(const FiltroReamostragem& f) {
    return static_cast<size_t>(speex_resampler_get_input_latency(f.estado));
}

void filtra(FiltroReamostragem& f, std::span<const float> entrada, std::vector<float>& saida) {
    const size_t canais = f.canais;
    while (entrada.size() >= canais) {
        const size_t inicio = saida.size();
        const size_t quadrosEntrada = entrada.size() / canais;
        saida.resize(inicio + (quadrosEntrada * f.taxaSaida / f.taxaEntrada + 16) * canais);
        spx_uint32_t usados = static_cast<spx_uint32_t>(quadrosEntrada);
        spx_uint32_t feitos = static_cast<spx_uint32_t>((saida.size() - inicio) / canais);
        speex_resampler_process_interleaved_float(f.estado, entrada.data(), &usados,
                                                  saida.data() + inicio, &feitos);
        saida.resize(inicio + feitos * canais);
        entrada = entrada.subspan(usados * canais);
        if (usados == 0 && feitos == 0) break;
    }
}
