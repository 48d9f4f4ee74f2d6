// The speech engine the kit records from: the espeak-ng library's Brazilian Portuguese
// voice, synthesizing into memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "voicekit/kitOnda.h"

class VozEspeak {
  public:
    // Nothing, with the reason in `erro`, when the library or its Portuguese voice is missing.
    static std::unique_ptr<VozEspeak> abre(int palavrasPorMinuto, std::string& erro);
    ~VozEspeak();
    VozEspeak(const VozEspeak&) = delete;
    VozEspeak& operator=(const VozEspeak&) = delete;

    int taxa() const { return taxa_; }
    std::string versao() const;
    void mudaVelocidade(int palavrasPorMinuto);
    // Speech on one pitch, without intonation (pieces whose periods are all alike).
    void entonacaoPlana();
    // A UTF-8 text, or phoneme mnemonics inside "[[ ]]"; nothing when the engine fails.
    std::optional<std::vector<int16_t>> sintetiza(std::string_view textoUtf8);
    // The same, with where each phoneme starts in the samples.
    std::optional<Sintese> sintetizaComFonemas(std::string_view textoUtf8);

    // Only `abre` makes one: the engine is started once it exists.
    class Chave {
        friend class VozEspeak;
        Chave() = default;
    };
    VozEspeak(Chave, int taxa) : taxa_(taxa) {}

  private:
    int taxa_;
};
