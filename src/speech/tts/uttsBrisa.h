// The top of the own text-to-speech engine: opens the diphone synthesizer on its voice and
// loads the five rule files; speaks a text phrase by phrase, normalising each, cutting it
// into classed words with intonation contours, converting them to phonemes, writing the
// phoneme-file lines to the synthesizer and playing the samples it gives back as they come,
// so speech starts after the first phrase is made, however long the text. As speech server
// type 3 it stands behind the speech front end like the other servers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "speech/servidorFala.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"
#include "speech/tts/uttsProsodia.h"

// The files the engine opens; empty names take "br4", "portug.nrl", "portug.exc",
// "portug.dfn", "portug.pro", "portug.abr". Names are Linux paths.
struct ArquivosBrisa {
    std::string base, regras, excecoes, difones, prosodia, abreviaturas;
};

// Plays one wave (44-byte header and 16 kHz 16-bit mono samples); false asks to stop.
using TocaOnda = std::function<bool(std::span<const uint8_t> onda)>;

// The synthesizer's samples gathered into waves for the player: when what is gathered plus
// the next block would reach 16000 bytes, what is gathered is played first; the rest is
// played at the end, padded with silence to at least 256 bytes.
class BufferOnda {
  public:
    static constexpr size_t kLimite = 16000;
    static constexpr size_t kMinimoFinal = 256;

    explicit BufferOnda(const TocaOnda& toca) : toca_(toca) {}
    // False once the player asked to stop.
    bool acrescenta(std::span<const int16_t> bloco);
    bool termina();
    bool seguindo() const { return seguir_; }

  private:
    bool toca();

    const TocaOnda& toca_;
    std::vector<uint8_t> dados_;
    bool seguir_ = true;
};

// A text's phoneme-file lines, made a phrase at a time. The text is cut at a blank after a
// sentence end (not after an abbreviation or an initial), or, in a long stretch without one,
// at a blank after a word; each phrase is normalised, classed, contoured, converted and
// written. What a stage needs of the next phrase (an item's contour the item after it, a
// word's final r or s the next word's first sound) waits for it, so the lines are the same
// as those of the whole text made at once.
class FrasesTts {
  public:
    // A phrase with no sentence end is cut at the first blank past this many bytes.
    static constexpr size_t kFraseLonga = 300;

    // The parts are referenced, not copied: they must outlive this.
    FrasesTts(const PreprocTts& preproc, const PortugTts& portug, const ProsodiaTts& prosodia,
              const ListaDifones& difones, const FatoresFala& fatores, std::string_view texto);
    // The lines of the next phrase (none while a stage waits for more) added to `linhas`;
    // false once the text is done.
    bool proxima(std::vector<std::string>& linhas);

  private:
    size_t fimDaFrase(size_t inicio) const;

    const PreprocTts& preproc_;
    const PortugTts& portug_;
    const ProsodiaTts& prosodia_;
    const ListaDifones& difones_;
    const FatoresFala& fatores_;
    std::string_view texto_;
    size_t posicao_ = 0;
    Contornos contornos_;
    std::vector<std::string> pendentes_;  // the last item's marker and phonemes
    EstadoLinhas estado_;
};

class MotorBrisa {
  public:
    static constexpr size_t kAmostrasPorLeitura = 16000;

    MotorBrisa() = default;
    ~MotorBrisa();
    MotorBrisa(const MotorBrisa&) = delete;
    MotorBrisa& operator=(const MotorBrisa&) = delete;

    // False with the reason in ultimoErro(); the engine then stays closed.
    bool abre(const ArquivosBrisa& arquivos);
    void fecha();
    bool aberto() const { return aberto_; }
    void fatores(double pitch, double duracao) { fatores_ = {duracao, pitch}; }
    const FatoresFala& fatores() const { return fatores_; }
    // False when the synthesizer refused a line (the others are still written). Once the
    // player asks to stop, no further phrase is made.
    bool fala(std::string_view texto, const TocaOnda& toca);
    // How many phrases the last `fala` made.
    size_t frasesFeitas() const { return frases_; }
    // The phoneme-file lines of a text, as `fala` writes them.
    std::vector<std::string> linhas(std::string_view texto) const;
    const std::string& ultimoErro() const { return erro_; }
    const ProsodiaTts& prosodia() const { return prosodia_; }

  private:
    bool falha(std::string mensagem);

    bool aberto_ = false;
    std::string erro_;
    PreprocTts preproc_;
    PortugTts portug_;
    ProsodiaTts prosodia_;
    ListaDifones difones_;
    FatoresFala fatores_;
    size_t frases_ = 0;
};

// Server type 3: the engine above with its files where BRISATTS in the family INI says
// (MBROLA_DB, DIR, BASE), its samples going to the wave player.
class ServidorBrisa : public ServidorFala {
  public:
    explicit ServidorBrisa(const AmbienteServidor& ambiente) : ambiente_(ambiente) {}
    ~ServidorBrisa() override;
    // `taxa` on the -10..10 scale (words a minute are brought to it), `tom` -10..10.
    bool abre(int voz, int taxa, int tom) override;
    void fala(std::string_view texto) override;
    bool falando() override;
    void para() override;
    void fecha() override;

    // The engine's files as BRISATTS sets them, with the defaults of the family.
    static ArquivosBrisa arquivosDoIni(const AmbienteServidor& ambiente);

  private:
    AmbienteServidor ambiente_;
    MotorBrisa motor_;
};
