#include "speech/servidorFala.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "platform/texto.h"

namespace {

bool naEscala(int taxa) {
    return taxa >= -10 && taxa <= 10;
}

}  // namespace

int taxaEmPalavras(int taxa) {
    if (!naEscala(taxa) || taxa == 0) return taxa;
    return static_cast<int>(std::lround(kPalavrasPorMinuto * std::pow(3.0, taxa / 10.0)));
}

int taxaNaEscala(int taxa) {
    if (naEscala(taxa)) return taxa;
    if (taxa < 0) return -10;
    const double passos = 10.0 * std::log(static_cast<double>(taxa) / kPalavrasPorMinuto) / std::log(3.0);
    return static_cast<int>(std::clamp(std::lround(passos), -10L, 10L));
}

int tomNaEscala(int tom) {
    if (naEscala(tom)) return tom;
    constexpr int kTomNormal = 50, kPassosPorPonto = 5;  // 0..100 spans the scale twice
    return std::clamp((tom - kTomNormal) / kPassosPorPonto, -10, 10);
}

int grupoLingua(std::string_view lingua) {
    if (igualSemCaixa(lingua, "pt-br") || igualSemCaixa(lingua, "pt_br")) return 0;
    if (igualSemCaixa(lingua, "pt") || comecaSemCaixa(lingua, "pt-") ||
        comecaSemCaixa(lingua, "pt_"))
        return 1;
    return 2;
}

std::vector<size_t> numeracaoVozes(std::span<const int> grupos) {
    std::vector<size_t> ordem(grupos.size());
    std::iota(ordem.begin(), ordem.end(), size_t{0});
    std::stable_sort(ordem.begin(), ordem.end(),
                     [&](size_t a, size_t b) { return grupos[a] < grupos[b]; });
    return ordem;
}
