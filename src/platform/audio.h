// The audio device layer: the stream the wave player feeds block by block, and a second
// voice for whole sounds (tones, system beeps, short prompts) mixed beside it.
#pragma once

#include <cstdint>
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

class DispositivoAudio {
public:
    virtual ~DispositivoAudio() = default;

    // The wave player's stream.
    virtual bool abre(const FormatoAudio& formato) = 0;
    virtual void escreve(std::span<const uint8_t> bloco) = 0;  // queue one block
    virtual int blocosNaFila() = 0;  // blocks written and not yet played
    virtual void reinicia() = 0;     // stop at once and drop what is queued
    virtual void fecha() = 0;
    virtual bool aberto() const = 0;
    // Why the last abre failed (one of erroAudio).
    virtual int erroAbertura() const { return erroAudio::kSemDriver; }
    // The error met handing back played blocks since the last call, or 0; the call clears it.
    virtual int erroDevolucao() { return 0; }

    // The second voice: a whole RIFF WAVE in memory, played once or looping, asynchronously.
    virtual void tocaSom(std::vector<uint8_t> wave, bool repete) = 0;
    virtual void paraSom() = 0;
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

std::unique_ptr<DispositivoAudio> criaAudioNulo();
// Writes everything played (both voices, converted to 16-bit mono 22050 Hz) into `arquivo`.
std::unique_ptr<DispositivoAudio> criaAudioCaptura(const std::string& arquivo);
// SDL2 audio; the null device when no sound device opens.
std::unique_ptr<DispositivoAudio> criaAudioSistema();
