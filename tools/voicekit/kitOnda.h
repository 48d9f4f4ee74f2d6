// Sound processing of the voice kit: the synthesizer's 16-bit samples become the family's
// recordings (11025 Hz, 8-bit unsigned mono, canonical 44-byte header, even data length),
// and the telephone tones are computed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

constexpr int kTaxaKit = 11025;

// Samples at `taxa` (a whole multiple of 11025) brought to 11025 Hz by averaging each group
// of samples; nothing when the rate is not such a multiple.
std::optional<std::vector<int16_t>> reduzTaxa(std::span<const int16_t> amostras, int taxa);

// The samples without the quiet start and end: everything before the first and after the
// last sample louder than `limiar`, keeping `margem` samples of the quiet part on each side.
// Without `inicio` the start stays as it is. Empty when no sample is louder.
std::vector<int16_t> aparaSilencio(std::span<const int16_t> amostras, int limiar, size_t margem,
                                   bool inicio = true);

// The largest absolute sample value.
int maiorAmplitude(std::span<const int16_t> amostras);

// Edges without a click: the start moves forward and the end back to the nearest zero
// crossing (at most `kBuscaZero` samples), and the first and last `kBordaSuave` samples
// fade in and out, so that the first and last samples are (near) zero.
constexpr size_t kBuscaZero = 55;   // 5 ms
constexpr size_t kBordaSuave = 33;  // 3 ms
void suavizaBordas(std::vector<int16_t>& amostras);

// Loudness of speech: the RMS of the voiced part, the 10 ms frames that are no more than
// 30 dB below the loudest frame (and not near silence), as an amplitude (0 when silent).
int nivelVoz(std::span<const int16_t> amostras);
// The same over several pieces taken as one sound (a bank's units).
int nivelVoz(std::span<const std::vector<int16_t>> pecas);
// The 16-bit samples of an 8-bit recording.
std::vector<int16_t> de8Bits(std::span<const uint8_t> amostras);

// Scales by alvo / nivel (rounded, in integers) and bends every sample above `joelho` softly
// towards `pico`, which none reaches: the level is set by loudness, and the rare peak that
// would clip is rounded off. Nothing when `nivel` is not above zero.
void escalaPorNivel(std::vector<int16_t>& amostras, int alvo, int nivel, int joelho, int pico);

// What the speech engine made of a phoneme string: its samples and where each phoneme
// (named by the engine's mnemonic; pauses start with '_') starts among them.
struct MarcaFonema {
    std::string nome;
    size_t amostra = 0;
};
struct Sintese {
    std::vector<int16_t> amostras;
    std::vector<MarcaFonema> fonemas;
};

// Where a unit lies in a carrier: `antes` phonemes of context come before it and `depois`
// after it (pauses not counted). It ends where the context after it starts (with none,
// where the closing pause starts), and starts where its first phoneme starts, or at that
// phoneme's middle with `doMeio`. Nothing when the phonemes do not leave room for the unit.
struct Trecho {
    size_t inicio = 0;
    size_t fim = 0;
};
std::optional<Trecho> trechoDaUnidade(std::span<const MarcaFonema> marcas, size_t total,
                                      size_t antes, size_t depois, bool doMeio);

// 16-bit signed to 8-bit unsigned, rounding to the nearest step.
std::vector<uint8_t> para8Bits(std::span<const int16_t> amostras);

// A whole recording: the canonical header and the samples, one silent sample added when
// their count is odd so that no pad byte follows the data.
std::vector<uint8_t> ondaCanonica(std::vector<uint8_t> dados);

// The tone of a telephone key (0-9, '#', 'X' for the star): its row and column frequencies
// summed, `ms` milliseconds long, with short ramps so that it does not click. Nothing for
// another key.
std::optional<std::vector<uint8_t>> tomDtmf(char tecla, int ms);

// Writes the bytes unless the file already holds exactly them; false when it cannot be
// written.
bool gravaSeMudou(const std::filesystem::path& arquivo, std::span<const uint8_t> bytes);
bool gravaSeMudou(const std::filesystem::path& arquivo, const std::string& texto);
