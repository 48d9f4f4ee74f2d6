#include "speech/servidorFala.h"

#include <algorithm>
#include <cmath>

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
