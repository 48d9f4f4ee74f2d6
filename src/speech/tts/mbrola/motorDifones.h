// The diphone synthesizer: phoneme-file lines in, 16 kHz 16-bit samples out. Each phoneme
// is made of the second half of the diphone before it and the first half of the diphone
// after it; the pieces are stretched to the durations asked for and set to the pitch
// asked for by pitch-synchronous overlap-add (TD-PSOLA) on the database's pitch marks.
//
// A line reads: phoneme, duration in ms, then pairs of position (percent of the phoneme)
// and pitch in Hz; ';' starts a comment line; '#' alone flushes. Pitch between targets is
// interpolated linearly across phonemes; before the first and after the last target it
// holds, and with no target at all it is the database's own.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "speech/tts/mbrola/bancoVoz.h"

// Bounds that keep a wrong line from hanging or screeching: longer phonemes are cut to the
// limit, pitches outside the range are brought to its nearer end.
constexpr double kDuracaoMaximaMs = 10000;
constexpr double kHertzMinimo = 50, kHertzMaximo = 600;

struct LinhaFonema {
    enum class Tipo { nada, fonema, descarga } tipo = Tipo::nada;
    std::string fonema;
    double duracaoMs = 0;
    std::vector<std::pair<double, double>> alvos;  // position in percent, Hz
};

// Nothing, with the reason in `erro`, for a line that is not in the format.
std::optional<LinhaFonema> interpretaLinhaFonema(std::string_view linha, std::string& erro);

class MotorDifones {
  public:
    explicit MotorDifones(BancoVoz banco) : banco_(std::move(banco)) {}

    // False, with the reason in `erro`, for a refused line (bad format; an unknown phoneme
    // unless unknown phonemes are allowed, in which case it is silence).
    bool escreve(std::string_view linha, std::string& erro);
    void descarrega();  // everything written is synthesized
    // Up to `max` ready samples, moved into `destino`; the count.
    size_t le(int16_t* destino, size_t max);
    void reinicia();

    void permiteDesconhecidos(bool sim) { semErro_ = sim; }
    bool permiteDesconhecidos() const { return semErro_; }
    void volume(double v) { volume_ = v; }
    double volume() const { return volume_; }
    void renomeia(std::map<std::string, std::string> nomes) { nomes_ = std::move(nomes); }
    const BancoVoz& banco() const { return banco_; }
    // While kept, the pitch each voiced pulse was placed at, as (output sample, Hz) since the
    // last reinicia: the engine's own F0 track, for measuring what an intonation reaches.
    void guardaF0(bool sim) { guardaF0_ = sim; }
    const std::vector<std::pair<double, double>>& trilhaF0() const { return trilhaF0_; }

  private:
    struct Fonema {
        std::string nome;
        int64_t inicio = 0, duracao = 0;  // in samples
    };
    void sintetizaAte(size_t fonemasCompletos);
    void sintetizaDifone(const std::string& a, const std::string& b, int64_t t0, int64_t tm,
                         int64_t t1);
    double hertzEm(double t) const;
    const std::vector<double>& janela(int64_t w);
    void liberaAte(int64_t t);

    BancoVoz banco_;
    bool semErro_ = false;
    double volume_ = 1.0;
    std::map<std::string, std::string> nomes_;
    std::vector<Fonema> fonemas_;
    std::vector<std::pair<double, double>> pitch_;  // time in samples, Hz
    size_t difonesFeitos_ = 0;  // diphones (fonemas_[k-1], fonemas_[k]) made for k < this
    int64_t fim_ = 0;           // end of the last phoneme written
    double proximaMarca_ = 0;   // output time of the next pitch pulse
    std::deque<float> soma_;    // overlap-add buffer, starting at sample `base_`
    int64_t base_ = 0;
    std::deque<int16_t> prontas_;
    std::vector<std::vector<double>> janelas_;  // Hann half-windows by width, made once
    bool guardaF0_ = false;
    std::vector<std::pair<double, double>> trilhaF0_;
};
