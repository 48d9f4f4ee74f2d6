// Speaking a phonetic string: its units are split into diphones whose recorded samples,
// letter recordings and silences are concatenated into one 11025 Hz 8-bit mono wave
// built in memory, played whenever the buffer fills and at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "speech/bancoDifones.h"

// What the synthesizer needs from whoever plays its sound.
struct SaidaSom {
    // Plays a whole RIFF wave held in memory and returns when it has ended (or was stopped):
    // the synthesizer waits for its sound as it goes, and refills the same memory afterwards.
    std::function<void(std::span<const uint8_t> onda)> tocaOnda;
    // True when a key is waiting: speaking stops and what is left is dropped.
    std::function<bool()> teclaEsperando;
    // Plays a recording that cannot be joined to the buffer (not 11025 Hz 8-bit mono);
    // may be empty, and such a recording is then skipped.
    std::function<void(const std::filesystem::path& arquivo)> tocaArquivo;
    // Queues a wave that more of the same speech follows at once, and returns without
    // waiting for it (the memory is refilled at once), so that the next wave joins it
    // without a break; may be empty, and tocaOnda plays such a wave then.
    std::function<void(std::span<const uint8_t> onda)> enfileiraOnda{};
};

// A place where a piece of the speech starts.
struct Juncao {
    enum class Peca { Difone, Letra, Ruido, Silencio };
    size_t amostra = 0;  // among the samples of one `fala`
    Peca peca = Peca::Difone;
    bool depoisDeSom = false;  // right after a diphone, letter or noise: a join inside a word
    std::string nome;          // the diphone's name in the bank
};

// How much is taken off the diphones and put between words, in samples.
struct Cortes {
    int corteFon = 400;  // cut from the end of each unstressed diphone
    int sobraFon = 0;    // least left of a diphone after the cut
    int interPal = 100;  // silence between words
};

// Pauses, in samples, for the punctuation units.
constexpr int kPausaPonto = 8000;
constexpr int kPausaVirgula = 4000;
constexpr int kPausaPontoVirgula = 6000;
constexpr int kPausaDoisPontos = 8000;

class Concatenador {
  public:
    static constexpr size_t kTamanhoBuffer = 64000;
    static constexpr size_t kCabecalho = 44;
    static constexpr size_t kMaxUnidade = 40;
    static constexpr size_t kMaxNome = 12;
    static constexpr int kTaxa = 11025;

    Concatenador(BancoDifones banco, std::filesystem::path dirLetras, SaidaSom saida);

    void mudaCortes(const Cortes& cortes);
    // Tells `observador` every diphone name a piece of the speech asks the bank for first
    // (the names replacing a missing one are not told): what a bank must hold.
    void observaNomes(std::function<void(const std::string&)> observador);
    // Tells `observador` where each piece starts among the samples of one `fala`: the joins
    // whose clicks and gaps the voice kit's measures look for.
    void observaJuncoes(std::function<void(const Juncao&)> observador);
    // A name as the bank is searched for it: upper case, at most kMaxNome characters.
    static std::string nomeNoBanco(std::string nome);
    // Speaks the phonetic string; returns once its sound has been played.
    void fala(std::string_view fonetica);

  private:
    enum Tonica { kNormal = 0, kInicioPalavra = 1, kTonica = 2 };

    std::string leUnidade(std::string_view fonetica, size_t& pos);
    void divide(std::string_view unidade, double fator);
    bool divideGlide(std::string_view unidade, double fator);
    void tocaPedaco(std::string_view pedaco, double fator);
    void pedeDifone(std::string nome, double fator);
    void tocaDifone(std::string nome, double fator);
    void tocaFaltante(const std::string& nome, double fator);
    void tocaLetra(unsigned char codigo);

    size_t amostrasCortadas(size_t amostras) const;
    void acrescentaSilencio(int amostras);
    void acrescentaRuido(int amostras);
    void acrescentaDifone(const Difone& difone, size_t amostras);
    void acrescentaInteiro(std::span<const uint8_t> dados, Juncao::Peca peca);
    static void sobe(std::span<uint8_t> som);
    static void funde(std::span<const uint8_t> saindo, std::span<uint8_t> som);
    void esvaiFim();
    void anunciaJuncao(Juncao::Peca peca, size_t nivel, bool depoisDeSom = false,
                       const std::string& nome = {});
    void acrescenta(std::span<const uint8_t> dados);
    // Room for `n` more bytes, playing the buffer first when they would fill it; false once
    // speaking has stopped.
    bool abreEspaco(size_t n);
    void toca(bool continua);

    BancoDifones banco_;
    std::filesystem::path dirLetras_;
    SaidaSom saida_;
    Cortes cortes_;
    std::vector<uint8_t> buffer_;
    size_t nivel_ = kCabecalho;
    int tonica_ = kInicioPalavra;
    bool parado_ = false;
    std::minstd_rand ruido_;
    std::function<void(const std::string&)> observador_;
    std::function<void(const Juncao&)> juncoes_;
    bool somNoFim_ = false;  // the buffer ends in a unit's sound, not at rest
    std::vector<uint8_t> prolongamento_;  // that unit's samples past its cut
    std::vector<uint8_t> peca_;           // the unit being read
    size_t tocadas_ = 0;  // samples of this `fala` already played
};
