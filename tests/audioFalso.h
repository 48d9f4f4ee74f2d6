// The sound device of the tests and benchmarks: it keeps every block of the stream (with
// its format and, when a clock is set, the time it came) and the second voice's sounds.
// Its queue drains at once; `ritmado` keeps each block queued as long as it takes to play
// on the clock, `preso` for ever. It can refuse to open (busy a number of times, or with
// an error) and report an error handing back played blocks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "platform/audio.h"

class AudioFalso : public DispositivoAudio {
  public:
    using Bytes = std::vector<uint8_t>;
    struct Bloco {
        FormatoAudio formato;
        Bytes bytes;
        uint64_t quando;
    };
    bool abre(const FormatoAudio& f) override {
        ++aberturas;
        erro_ = ocupado-- > 0 ? erroAudio::kOcupado : erroAbre;
        if (erro_ != 0) return false;
        formato_ = f;
        return aberto_ = true;
    }
    void escreve(std::span<const uint8_t> b) override {
        const uint64_t agora = relogio ? relogio() : 0;
        if (guardaBlocos) blocos.push_back({formato_, Bytes(b.begin(), b.end()), agora});
        fim_ = std::max(ritmado ? double(agora) : 0.0, fim_) +
               b.size() * 1000.0 / (formato_.taxa * formato_.bytesPorAmostra());
        fins_.push_back(fim_);
        if (aoEscrever) aoEscrever(blocos.size());
    }
    int blocosNaFila() override {
        if (!preso) {
            const double agora = ritmado && relogio ? double(relogio()) : 1e300;
            std::erase_if(fins_, [&](double fim) { return fim <= agora; });
        }
        return static_cast<int>(fins_.size());
    }
    void reinicia() override {
        ++reinicios;
        fins_.clear();
        fim_ = 0;
    }
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    int erroAbertura() const override { return erro_; }
    int erroDevolucao() override { return std::exchange(erroDevolvido, 0); }
    void tocaSom(Bytes onda, bool repete) override {
        sons.push_back(std::move(onda));
        repeticoes.push_back(repete);
    }
    void paraSom() override {}

    // Every block's bytes, one after the other; their sizes; how long they sound.
    Bytes tocados() const {
        Bytes t;
        for (const auto& b : blocos) t.insert(t.end(), b.bytes.begin(), b.bytes.end());
        return t;
    }
    std::vector<size_t> tamanhos() const {
        std::vector<size_t> t;
        for (const auto& b : blocos) t.push_back(b.bytes.size());
        return t;
    }
    double segundos() const {
        double s = 0;
        for (const auto& b : blocos)
            s += double(b.bytes.size()) / (b.formato.taxa * b.formato.bytesPorAmostra());
        return s;
    }

    std::vector<Bloco> blocos;
    std::vector<Bytes> sons;
    std::vector<bool> repeticoes;
    std::function<uint64_t()> relogio;             // milliseconds
    std::function<void(size_t blocos)> aoEscrever;  // after each block
    bool ritmado = false, preso = false, guardaBlocos = true;
    int ocupado = 0, erroAbre = 0, erroDevolvido = 0, aberturas = 0, reinicios = 0;

  private:
    FormatoAudio formato_;
    bool aberto_ = false;
    int erro_ = 0;
    double fim_ = 0;  // when the last block queued ends playing
    std::vector<double> fins_;
};
