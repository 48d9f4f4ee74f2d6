#include "platform/misturaSaida.h"

#include <algorithm>
#include <utility>

MisturaSaida::MisturaSaida(int taxa, int canais) : conversor_(taxa, canais) {}

void MisturaSaida::abre(const FormatoAudio& formato) {
    conversor_.inicia(formato);
    formato_ = formato;
    inicioSom_ = std::max(fimEscrito_, tocados_ + quadrosNaFila());
    quadrosSom_ = 0;
}

void MisturaSaida::escreve(std::span<const uint8_t> bloco) {
    reservaFiltro();
    converte(bloco);
    enfileira();
}

void MisturaSaida::converte(std::span<const uint8_t> bloco) {
    convertidas_.clear();
    conversor_.converte(bloco, convertidas_);
    quadrosConvertidos_ = bloco.size() / static_cast<size_t>(std::max(formato_.bytesPorAmostra(), 1));
}

void MisturaSaida::enfileira() {
    fila_.insert(fila_.end(), convertidas_.begin(), convertidas_.end());
    convertidas_.clear();
    // A block counts as played when the frames it makes have played, whether or not the
    // filter has let all of them out yet.
    quadrosSom_ += std::exchange(quadrosConvertidos_, 0);
    fimEscrito_ = inicioSom_ + conversor_.quadrosSaida(quadrosSom_);
    fins_.push_back(fimEscrito_);
    convertendo_ = false;
}

int MisturaSaida::blocosNaFila(uint64_t adiante) {
    while (!fins_.empty() && fins_.front() + adiante <= tocados_) fins_.pop_front();
    // Everything the filter made has played: a rounding frame must not hold a block back.
    if (fila_.empty() && !conversor_.pendente() && adiante == 0) fins_.clear();
    return static_cast<int>(fins_.size());
}

void MisturaSaida::reinicia() {
    fila_.clear();
    fins_.clear();
    conversor_.inicia(formato_);
    tocados_ = fimEscrito_ = inicioSom_ = quadrosSom_ = 0;
}

void MisturaSaida::termina() {
    convertidas_.clear();
    conversor_.termina(convertidas_);
    fila_.insert(fila_.end(), convertidas_.begin(), convertidas_.end());
}

void MisturaSaida::tocaSom(std::vector<int16_t> amostras, bool repete) {
    som_ = std::move(amostras);
    posicaoSom_ = 0;
    repeteSom_ = repete;
}

size_t MisturaSaida::tiraFluxo(std::span<int16_t> saida, bool secando) {
    const size_t canais = static_cast<size_t>(this->canais());
    // The stream running dry means its sound has ended: the filter's hold comes out now;
    // unless the main thread is converting the sound's next block, which goes on from it.
    if (secando && !convertendo_ && fila_.size() < saida.size() && conversor_.pendente()) termina();
    const size_t n = std::min(saida.size(), fila_.size()) / canais * canais;
    std::copy_n(fila_.begin(), n, saida.begin());
    fila_.erase(fila_.begin(), fila_.begin() + static_cast<long>(n));
    tocados_ += n / canais;
    return n;
}

size_t MisturaSaida::passaSom(std::span<int16_t> saida, bool soma) {
    size_t n = 0;
    for (; n < saida.size(); ++n) {
        if (posicaoSom_ >= som_.size()) {
            if (!repeteSom_ || som_.empty()) break;
            posicaoSom_ = 0;
        }
        const int16_t v = som_[posicaoSom_++];
        saida[n] = soma ? static_cast<int16_t>(std::clamp(saida[n] + v, -32768, 32767)) : v;
    }
    return n;
}

size_t MisturaSaida::tiraSom(std::span<int16_t> saida) {
    return passaSom(saida, false);
}

void MisturaSaida::preenche(std::span<int16_t> saida) {
    std::fill(saida.begin(), saida.end(), int16_t{0});
    tiraFluxo(saida);
    passaSom(saida, true);
}
