// The espeak-ng library as a speech server (server types other than 3 and 5). The library
// synthesizes on this thread and hands its samples back; they go to our wave player, so a
// key stops them and they are sped up and captured like every other sound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "speech/servidorFala.h"

class ServidorEspeak : public ServidorFala {
  public:
    explicit ServidorEspeak(const AmbienteServidor& ambiente);
    ~ServidorEspeak() override;
    ServidorEspeak(const ServidorEspeak&) = delete;
    ServidorEspeak& operator=(const ServidorEspeak&) = delete;

    // `voz` counts from 1, the Portuguese voices first (speech/servidorFala.h); 0 or out of
    // range takes the first Brazilian Portuguese voice. `taxa` in words per minute, or on the -10..10 scale
    // (speech/servidorFala.h), and `tom` 0..100, unless 0.
    bool abre(int voz, int taxa, int tom) override;
    // Returns when the last samples are queued; the tail plays on in the background.
    void fala(std::string_view texto) override;
    bool falando() override;
    void para() override;
    void fecha() override;
    void pontuacao(bool todas) override { pontuacao_ = todas; }
    // The name of the voice the last opening chose.
    const std::string& voz() const { return voz_; }

    // The text as the engine gets it: trimmed, a lone digit followed by "." so that it is
    // read as a number, in UTF-8.
    static std::string preparaTexto(std::string_view texto);

    // Called by the library with each piece of samples; true asks it to stop.
    bool recebe(const int16_t* amostras, int n);

  private:
    void despeja();

    AmbienteServidor ambiente_;
    std::string voz_;
    bool aberto_ = false;
    int taxaAmostras_ = 0;
    std::vector<uint8_t> pendente_;  // 16-bit little-endian samples not yet queued
    size_t alvo_ = 0;                // queue once this many bytes are waiting
    bool interrompido_ = false;
    bool pontuacao_ = false;  // every sign read by name, or none
};
