// A sound device for tests that keeps everything it is given: the stream's blocks (with
// their format and, when a clock is set, the time they came) and the second voice's sounds.
// The queue drains at once unless `naFila` says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "platform/audio.h"

class AudioGravador : public DispositivoAudio {
  public:
    using Bytes = std::vector<uint8_t>;
    struct Bloco {
        FormatoAudio formato;
        Bytes bytes;
        uint64_t quando;
    };
    bool abre(const FormatoAudio& f) override {
        formato_ = f;
        return aberto_ = true;
    }
    void escreve(std::span<const uint8_t> b) override {
        blocos.push_back({formato_, Bytes(b.begin(), b.end()), relogio ? relogio() : 0});
        if (aoEscrever) aoEscrever(blocos.size());
    }
    int blocosNaFila() override { return naFila; }
    void reinicia() override {}
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    void tocaSom(Bytes onda, bool repete) override {
        sons.push_back(std::move(onda));
        repeticoes.push_back(repete);
    }
    void paraSom() override {}

    // Every block's bytes, one after the other.
    Bytes tocados() const {
        Bytes t;
        for (const auto& b : blocos) t.insert(t.end(), b.bytes.begin(), b.bytes.end());
        return t;
    }

    std::vector<Bloco> blocos;
    std::function<uint64_t()> relogio;
    std::function<void(size_t blocos)> aoEscrever;
    int naFila = 0;
    std::vector<Bytes> sons;
    std::vector<bool> repeticoes;

  private:
    FormatoAudio formato_;
    bool aberto_ = false;
};
