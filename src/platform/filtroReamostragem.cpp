#include "platform/filtroReamostragem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <numeric>

// One windowed-sinc filter on every system, so that a sound converted on Linux and on Windows
// gives the same samples: the kernel is tabulated with plain arithmetic of our own (a library's
// sine may differ in its last bits from one system to another), each output's time is an exact
// fraction of input frames, and the sums run in one fixed order.
//
// The kernel: a sinc cut at 91 % of the lower rate's half, under a Kaiser window (beta 10) 48
// frames of the lower rate to each side. Its images stay some 100 dB down, the pass band is
// flat to a thousandth of a decibel, and it holds back 48 frames (2.2 ms at 22050 Hz).
namespace {

constexpr double kCorte = 0.91;
constexpr int kMeia = 48;       // half the kernel, in frames of the lower rate
constexpr int kFases = 512;     // table points per frame; between them, a straight line
constexpr double kBeta = 10;

// sin(pi y): y brought into [-1/2, 1/2], then its series.
double senoPi(double y) {
    y -= 2 * std::nearbyint(y / 2);
    if (y > 0.5) y = 1 - y;
    if (y < -0.5) y = -1 - y;
    const double x = std::numbers::pi * y, x2 = x * x;
    double termo = x, soma = x;
    for (int n = 1; n <= 12; ++n) {
        termo *= -x2 / ((2.0 * n) * (2.0 * n + 1));
        soma += termo;
    }
    return soma;
}

// The modified Bessel function I0, by its series.
double besselI0(double z) {
    const double q = z * z / 4;
    double termo = 1, soma = 1;
    for (int k = 1; k < 80 && termo > soma * 1e-18; ++k) {
        termo *= q / (static_cast<double>(k) * k);
        soma += termo;
    }
    return soma;
}

// The kernel at 0, 1/kFases, ... kMeia frames of the lower rate (and one zero past the end).
std::vector<float> fazTabela() {
    std::vector<float> t(kMeia * kFases + 2, 0.0f);
    const double normal = besselI0(kBeta);
    for (int i = 0; i < kMeia * kFases; ++i) {
        const double x = static_cast<double>(i) / kFases, u = x / kMeia;
        const double janela = besselI0(kBeta * std::sqrt(1 - u * u)) / normal;
        const double sinc = i == 0 ? 1 : senoPi(kCorte * x) / (std::numbers::pi * kCorte * x);
        t[static_cast<size_t>(i)] = static_cast<float>(kCorte * sinc * janela);
    }
    return t;
}

const std::vector<float>& tabela() {
    static const std::vector<float> t = fazTabela();
    return t;
}

// The kernel at x frames of the lower rate from the output's time.
double nucleo(const std::vector<float>& t, double x) {
    const double p = std::abs(x) * kFases;
    const auto i = static_cast<size_t>(p);
    if (i >= static_cast<size_t>(kMeia * kFases)) return 0;
    const double f = p - static_cast<double>(i);
    return t[i] + f * (static_cast<double>(t[i + 1]) - t[i]);
}

}  // namespace

struct FiltroReamostragem {
    size_t canais = 1;
    int64_t passo = 1, fases = 1;  // each output is passo/fases input frames after the last
    double escala = 1;             // the lower rate over the input's
    int64_t alcance = kMeia;       // input frames on each side of an output's time
    const std::vector<float>* tabela = nullptr;
    std::vector<float> historico;  // input frames from `base` on, interleaved
    int64_t base = 0;
    int64_t quadro = 0, fase = 0;  // the next output's time: quadro + fase/fases
    // The taps of every phase, each made when first used, when there are few phases (the
    // common rates); else those of the output being made.
    std::vector<float> pesos;
    std::vector<bool> fasesFeitas;
    bool todasAsFases = false;
};

namespace {

constexpr size_t kPesosGuardados = size_t{1} << 17;

// The taps of the output at `fase`/fases past an input frame, the earliest frame first.
void pesosDaFase(const FiltroReamostragem& f, int64_t fase, std::span<float> pesos) {
    const double fracao = static_cast<double>(fase) / static_cast<double>(f.fases);
    for (size_t i = 0; i < pesos.size(); ++i) {
        const double x = static_cast<double>(f.alcance - 1 - static_cast<int64_t>(i)) + fracao;
        pesos[i] = static_cast<float>(f.escala * nucleo(*f.tabela, f.escala * x));
    }
}

// Four running sums, always in the same order, so the result is the same everywhere.
float somaPonderada(std::span<const float> pesos, const float* q, size_t passo) {
    double s[4] = {0, 0, 0, 0};
    size_t i = 0;
    for (; i + 4 <= pesos.size(); i += 4)
        for (size_t k = 0; k < 4; ++k) s[k] += static_cast<double>(pesos[i + k]) * q[(i + k) * passo];
    for (; i < pesos.size(); ++i) s[0] += static_cast<double>(pesos[i]) * q[i * passo];
    return static_cast<float>((s[0] + s[1]) + (s[2] + s[3]));
}

}  // namespace

void ApagaFiltro::operator()(FiltroReamostragem* f) const noexcept { delete f; }

PonteiroFiltro criaFiltro(int canais, int taxaEntrada, int taxaSaida) {
    if (canais < 1 || canais > 8 || taxaEntrada <= 0 || taxaSaida <= 0) return nullptr;
    PonteiroFiltro f(new FiltroReamostragem);
    const int64_t comum = std::gcd(taxaEntrada, taxaSaida);
    f->canais = static_cast<size_t>(canais);
    f->passo = taxaEntrada / comum;
    f->fases = taxaSaida / comum;
    f->escala = std::min(1.0, static_cast<double>(taxaSaida) / taxaEntrada);
    f->alcance = static_cast<int64_t>(std::ceil(kMeia / f->escala));
    f->tabela = &tabela();
    const auto taps = static_cast<size_t>(2 * f->alcance);
    f->todasAsFases = static_cast<size_t>(f->fases) * taps <= kPesosGuardados;
    f->pesos.resize(f->todasAsFases ? static_cast<size_t>(f->fases) * taps : taps);
    if (f->todasAsFases) f->fasesFeitas.assign(static_cast<size_t>(f->fases), false);
    reiniciaFiltro(*f);
    return f;
}

// The frames before the sound are silence, so the first output is the first input.
void reiniciaFiltro(FiltroReamostragem& f) {
    f.base = 1 - f.alcance;
    f.historico.assign(static_cast<size_t>(f.alcance - 1) * f.canais, 0.0f);
    f.quadro = 0;
    f.fase = 0;
}

// Zeros enough for every output up to the last real input's time, and no later one: a
// sound keeps its length.
size_t latenciaFiltro(const FiltroReamostragem& f) { return static_cast<size_t>(f.alcance); }

// Each output sums the input frames within the kernel's reach of its time, the earliest first.
void filtra(FiltroReamostragem& f, std::span<const float> entrada, std::vector<float>& saida) {
    f.historico.insert(f.historico.end(), entrada.begin(), entrada.end());
    const int64_t ultimo = f.base + static_cast<int64_t>(f.historico.size() / f.canais) - 1;
    const auto taps = static_cast<size_t>(2 * f.alcance);
    while (f.quadro + f.alcance <= ultimo) {
        std::span<float> pesos(f.pesos);
        if (f.todasAsFases) {
            pesos = pesos.subspan(static_cast<size_t>(f.fase) * taps, taps);
            if (!f.fasesFeitas[static_cast<size_t>(f.fase)]) {
                pesosDaFase(f, f.fase, pesos);
                f.fasesFeitas[static_cast<size_t>(f.fase)] = true;
            }
        } else {
            pesosDaFase(f, f.fase, pesos);
        }
        const size_t primeiro = static_cast<size_t>(f.quadro - f.alcance + 1 - f.base) * f.canais;
        for (size_t c = 0; c < f.canais; ++c)
            saida.push_back(somaPonderada(pesos, f.historico.data() + primeiro + c, f.canais));
        f.fase += f.passo;
        f.quadro += f.fase / f.fases;
        f.fase %= f.fases;
    }
    // The frames no later output reaches are let go.
    const int64_t livres = std::clamp<int64_t>(f.quadro - f.alcance + 1 - f.base, 0,
                                               ultimo - f.base + 1);
    f.historico.erase(f.historico.begin(),
                      f.historico.begin() + static_cast<long>(livres * static_cast<int64_t>(f.canais)));
    f.base += livres;
}
