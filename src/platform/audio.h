// The audio device layer: the stream the wave player feeds block by block, and a second
// voice for whole sounds (tones, system beeps, short prompts) mixed beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct FormatoAudio {
    int canais = 1;
    int taxa = 11025;  // samples per second
    int bits = 8;      // 8 (unsigned) or 16 (signed, little-endian)

    int bytesPorAmostra() const { return canais * (bits / 8); }
    bool operator==(const FormatoAudio&) const = default;
};

// Error numbers of the wave stream, as the wave player hands them to its callers.
namespace erroAudio {
constexpr int kOcupado = 4;  // the device is in use elsewhere; opening may work a little later
constexpr int kHandleInvalido = 5;
constexpr int kSemDriver = 6;
constexpr int kSemMemoria = 7;
constexpr int kAindaNaFila = 33;  // a block was handed back while still queued
}  // namespace erroAudio

class ConversorAudio;

class DispositivoAudio {
  public:
    virtual ~DispositivoAudio() = default;

    // The wave player's stream.
    virtual bool abre(const FormatoAudio& formato) = 0;
    virtual void escreve(std::span<const uint8_t> bloco) = 0;  // queue one block
    virtual int blocosNaFila() = 0;                            // blocks written and not yet played
    virtual void reinicia() = 0;  // stop at once and drop what is queued
    virtual void fecha() = 0;
    virtual bool aberto() const = 0;
    // Why the last abre failed (one of erroAudio).
    virtual int erroAbertura() const { return erroAudio::kSemDriver; }
    // The error met handing back played blocks since the last call, or 0; the call clears it.
    virtual int erroDevolucao() { return 0; }

    // The second voice: a whole RIFF WAVE in memory, played once or looping, asynchronously.
    virtual void tocaSom(std::vector<uint8_t> wave, bool repete) = 0;
    virtual void paraSom() = 0;

    // Why no sound reaches a speaker (a device that did not open), or empty.
    virtual std::string semDispositivo() { return {}; }
};

// A parsed RIFF WAVE held in memory.
struct OndaPcm {
    FormatoAudio formato;
    std::vector<uint8_t> dados;
};
// Walks the RIFF chunks of `wave` (skipping unknown ones and the pad byte of odd-sized
// chunks); false when it is not PCM WAVE data.
bool leOndaPcm(std::span<const uint8_t> wave, OndaPcm& saida);
// A canonical 44-byte RIFF header for `bytesDados` of PCM data.
std::vector<uint8_t> cabecalhoWave(const FormatoAudio& formato, uint32_t bytesDados);

// Formats a sound card takes, as the system device accepts them: 8- or 16-bit samples, mono
// or stereo, 1000 to 192000 Hz.
bool formatoSuportado(const FormatoAudio& formato);

std::unique_ptr<DispositivoAudio> criaAudioNulo();

// One block handed to the capture device, as it arrived.
struct BlocoCapturado {
    enum class Voz { Fluxo, Som };  // the wave player's stream, or the second voice
    Voz voz = Voz::Fluxo;
    FormatoAudio formato;
    std::vector<uint8_t> bytes;  // the stream's block, or the samples of a whole sound
    bool repete = false;         // a second-voice sound played in a loop

    bool operator==(const BlocoCapturado&) const = default;
};

struct OpcoesCaptura {
    // Largest sample data a WAV header can count (its size fields are 32-bit).
    static constexpr uint64_t kMaximoWav = 0xFFFFFFFFull - 36;

    std::string arquivo;                // one WAV of everything played; empty: no file
    bool guardaBlocos = true;           // keep every block in memory, for byte-exact checks
    bool tempoReal = false;             // blocks stay queued as long as they take to play
    uint64_t maximoBytes = kMaximoWav;  // the file's sample data stops growing here
    // The clock of tempoReal, in milliseconds; empty: the system's steady clock.
    std::function<uint64_t()> relogioMs;
};

// A device that records instead of playing. Every block keeps its format in memory; the
// file, when asked for, holds what a listener hears, converted to 16-bit mono at 44100 Hz
// by the same converter as the sound device, and its header is rewritten after each block
// so the file is a whole WAV however the program ends. A looping sound is written once.
// By default the queue drains at once and the file holds the sounds one after the other;
// with tempoReal the queue drains as the sound would play on the clock, and the file
// follows that clock: silence while nothing plays, the second voice mixed in when it
// starts, and a stopped stream cut where it stopped.
class AudioCaptura : public DispositivoAudio {
  public:
    static constexpr FormatoAudio kFormatoArquivo{1, 44100, 16};

    explicit AudioCaptura(OpcoesCaptura opcoes = {});
    ~AudioCaptura() override;
    AudioCaptura(const AudioCaptura&) = delete;
    AudioCaptura& operator=(const AudioCaptura&) = delete;

    bool abre(const FormatoAudio& formato) override;
    void escreve(std::span<const uint8_t> bloco) override;
    int blocosNaFila() override;
    void reinicia() override;
    void fecha() override;
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t> wave, bool repete) override;
    void paraSom() override {}

    // Every block and sound so far (empty unless guardaBlocos).
    const std::vector<BlocoCapturado>& blocos() const { return blocos_; }
    // Whether the file asked for was created and every write to it has succeeded.
    bool gravando() const;
    // Paces the device (and the file) by `relogioMs` when given, else by the clock in use;
    // the file goes on from where it is.
    void defineTempoReal(bool tempoReal, std::function<uint64_t()> relogioMs = {});

  private:
    class Arquivo;

    uint64_t agoraUs() const;
    void avanca();
    void mistura(std::span<const int16_t> amostras, size_t de);
    void misturaFluxo();
    void terminaFluxo();
    void soltaCauda();

    OpcoesCaptura opcoes_;
    std::unique_ptr<Arquivo> arquivo_;
    std::unique_ptr<ConversorAudio> fluxo_;  // carries the stream's filter across its blocks
    std::vector<int16_t> convertidas_;
    std::vector<int16_t> cauda_;      // what the filter held when the stream's sound ended
    std::vector<int16_t> pendentes_;  // converted and not yet heard (tempoReal), both voices
    size_t fimFluxo_ = 0;             // where the stream's sound ends in `pendentes_`
    uint64_t amostrasEscritas_ = 0;   // samples in the file, silence included
    uint64_t origemUs_ = 0;           // when the file's first sample played
    bool temOrigem_ = false;
    std::vector<BlocoCapturado> blocos_;
    std::vector<uint64_t> fins_;  // when each queued block ends playing (tempoReal, in us)
    FormatoAudio formato_;
    bool aberto_ = false;
};

// Records everything played into the WAV file `arquivo` (see AudioCaptura); nothing is kept
// in memory.
std::unique_ptr<DispositivoAudio> criaAudioCaptura(const std::string& arquivo);
// The system's sound device (SDL2 audio); the null device in a build without SDL.
std::unique_ptr<DispositivoAudio> criaAudioSistema();
// `interno`, with every block and sound written to `arquivo` as it was handed over, before
// any conversion: a line "bloco VOZ TAXA BITS CANAIS BYTES" (VOZ "fluxo" or "som") and then
// BYTES raw bytes. Nothing when the file cannot be created.
std::unique_ptr<DispositivoAudio> criaAudioRegistro(std::unique_ptr<DispositivoAudio> interno,
                                                    const std::string& arquivo);
