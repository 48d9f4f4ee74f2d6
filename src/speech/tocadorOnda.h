// The wave player: recordings from disk and waves built in memory, streamed to the sound
// device through a fixed ring of four buffers. A waiting key cuts playback short, and two
// speed-ups serve fast listeners: a higher sample rate, and time compression (dropping
// pitch periods from mono speech).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <vector>

#include "platform/audio.h"

class SnCrt;

// Time compression of one piece of mono PCM, in place. 16-bit samples are first reduced to
// 8-bit unsigned ones; then, in pieces of at least 1000 samples, every other pitch period is
// dropped, and the piece ends with its own last samples. `taxa` selects the search constants (11025 Hz or any other rate). Returns the
// new length in bytes, always 8-bit samples; other sample sizes are left as they are.
size_t comprimeTrecho(std::span<uint8_t> trecho, int bits, int taxa);

class TocadorOnda {
  public:
    static constexpr size_t kTamanhoBuffer = 65534;
    static constexpr int kBuffers = 4;
    static constexpr size_t kTamanhoCabecalho = 44;
    static constexpr int kErroArquivo = -1;  // cannot open, not a PCM wave, or no data

    // Both must outlive the player.
    TocadorOnda(SnCrt& crt, DispositivoAudio& audio);
    ~TocadorOnda();
    TocadorOnda(const TocadorOnda&) = delete;
    TocadorOnda& operator=(const TocadorOnda&) = delete;

    // 0 when played (or cut short by a key), kErroArquivo when the file cannot be opened or
    // holds no playable data, else the device's error number. Unless `assincrono`, returns
    // when the sound has ended.
    int tocaArquivo(const std::filesystem::path& arquivo);
    // A RIFF WAVE in memory (canonical header and samples); returns once it is queued. With
    // `continua`, more of the same sound follows at once, so it does not end there.
    void tocaMemoria(std::span<const uint8_t> onda, bool continua = false);
    // Raw samples; 0, kErroArquivo for a format that cannot be played, or a device error.
    int tocaPcm(std::span<const uint8_t> dados, int taxa, int canais, int bits);
    // Whether buffers are still queued; stops playback when they are not, or when a key
    // waits and the player is interruptible.
    bool tocando();
    // Silence now and close the device.
    void para();

    // How a whole recording is handed to the second voice, as the system's own sound
    // player takes it: once and waiting for its end, once in the background, or looping in
    // the background until the next sound of that voice (a tone included) replaces it.
    enum class Modo { Sincrono, Assincrono, Repetindo };
    // 0 when started (or played), kErroArquivo when the file cannot be read or is not a
    // PCM wave: then the voice is left as it was.
    int tocaArquivoSegundaVoz(const std::filesystem::path& arquivo, Modo modo);

    // A canonical 44-byte header for `tamanhoDados` bytes of PCM samples.
    static void preencheCabecalho(std::span<uint8_t, kTamanhoCabecalho> cabecalho,
                                  uint32_t tamanhoDados, int taxa, int canais, int bits);

    bool interrompivel = true;  // a waiting key stops playback
    bool assincrono = false;    // tocaArquivo returns without waiting for the end
    bool acelerado = false;     // play at 1.5 times the recorded rate
    bool comprimeTempo = false;

  private:
    struct Alimentacao {
        int erro = 0;
        bool parou = false;  // cut short by a key, or the device stopped draining
    };

    int tocaPedacos(std::istream& entrada, uint64_t tamanho, const FormatoAudio& gravado);
    Alimentacao alimenta(std::span<const uint8_t> dados, const FormatoAudio& gravado,
                         bool terminaSom);
    int defineFormato(const FormatoAudio& formato);
    int abreDispositivo();
    bool esperaVaga();
    bool escreveBloco(std::span<const uint8_t> dados, bool ultimo);
    void observaFila();
    void mostraErroDevolucao(int erro);
    bool travado();
    void esperaFim();
    void espera10ms();

    SnCrt& crt_;
    DispositivoAudio& audio_;
    FormatoAudio formato_;  // the device's format
    std::array<std::vector<uint8_t>, kBuffers> anel_;
    int indiceAnel_ = 0;
    int naFila_ = 0;                 // buffers queued to the device
    uint64_t fimPrevisto_ = 0;       // when the queued sound should have ended (ms)
    std::vector<uint8_t> leitura_;   // file pieces
    std::vector<uint8_t> trabalho_;  // the piece being compressed
};
