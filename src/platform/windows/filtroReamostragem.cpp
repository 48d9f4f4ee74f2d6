#include "platform/filtroReamostragem.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// A windowed-sinc filter (Blackman window, 16 zero crossings a side): the images of the
// conversion stay some 70 dB down, and it holds back under 2 ms at the rates of speech.
// Windows' own resampler needs Media Foundation, which not every Windows (nor Wine) has.
namespace {

constexpr double kCruzamentos = 16;

double nucleo(double x, double corte, double meia) {
    const double u = x / meia;
    if (u <= -1 || u >= 1) return 0;
    const double janela = 0.42 + 0.5 * std::cos(std::numbers::pi * u) +
                          0.08 * std::cos(2 * std::numbers::pi * u);
    const double t = std::numbers::pi * corte * x;
    const double sinc = t == 0 ? 1 : std::sin(t) / t;
    return corte * sinc * janela;
}

}  // namespace

struct FiltroReamostragem {
    size_t canais = 1;
    double passo = 1;  // input frames per output frame
    double corte = 1;  // cut-off as a fraction of the input's half rate
    double meia = kCruzamentos;  // half the filter's length, in input frames
    std::vector<float> historico;  // input frames not yet used up, interleaved
    double posicao = 0;            // the next output's time, in frames of historico
    long inicio = 0;               // historico[0]'s frame, counting the zeros before the sound
};

void ApagaFiltro::operator()(FiltroReamostragem* f) const noexcept { delete f; }

PonteiroFiltro criaFiltro(int canais, int taxaEntrada, int taxaSaida) {
    if (canais < 1 || taxaEntrada <= 0 || taxaSaida <= 0) return nullptr;
    PonteiroFiltro f(new FiltroReamostragem);
    f->canais = static_cast<size_t>(canais);
    f->passo = static_cast<double>(taxaEntrada) / taxaSaida;
    f->corte = std::min(1.0, static_cast<double>(taxaSaida) / taxaEntrada);
    f->meia = kCruzamentos / f->corte;
    return f;
}

void reiniciaFiltro(FiltroReamostragem& f) {
    f.historico.clear();
    f.posicao = 0;
    f.inicio = 0;
}

// Just enough zeros for the outputs up to the last real input's time, and no later one: the
// sound keeps its length (the frames of a tone at 11025 Hz make as many at 48000 Hz as its
// duration holds).
size_t latenciaFiltro(const FiltroReamostragem& f) {
    return static_cast<size_t>(std::ceil(f.meia));
}

// Each output frame is the sum of the input frames within half the filter's length of its
// time; frames before the sound count as silence, so the first output is the first input.
void filtra(FiltroReamostragem& f, std::span<const float> entrada, std::vector<float>& saida) {
    f.historico.insert(f.historico.end(), entrada.begin(), entrada.end());
    const long quadros = static_cast<long>(f.historico.size() / f.canais);
    while (f.posicao + f.meia < static_cast<double>(quadros + f.inicio)) {
        const double t = f.posicao;
        const long primeiro = static_cast<long>(std::floor(t - f.meia)) + 1;
        const long ultimo = static_cast<long>(std::floor(t + f.meia));
        for (size_t c = 0; c < f.canais; ++c) {
            double soma = 0;
            for (long k = std::max(primeiro, 0L); k <= ultimo; ++k) {
                const long i = k - f.inicio;
                if (i < 0 || i >= quadros) continue;
                soma += f.historico[static_cast<size_t>(i) * f.canais + c] *
                        nucleo(t - static_cast<double>(k), f.corte, f.meia);
            }
            saida.push_back(static_cast<float>(soma));
        }
        f.posicao += f.passo;
    }
    // The frames no later output reaches are let go.
    const long usados = std::clamp(static_cast<long>(std::floor(f.posicao - f.meia)) - f.inicio,
                                   0L, quadros);
    f.historico.erase(f.historico.begin(),
                      f.historico.begin() + usados * static_cast<long>(f.canais));
    f.inicio += usados;
}
