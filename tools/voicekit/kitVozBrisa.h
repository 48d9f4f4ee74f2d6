// The voice of the own speech engine (br4) made from the speech engine the kit records
// from: each diphone is said inside a carrier at a flat pitch, brought to 16 kHz, cut at
// the phoneme marks the engine reports (from the middle of one phoneme to the middle of
// the next) and given pitch marks, one per period where it is voiced.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "speech/tts/mbrola/bancoVoz.h"
#include "voicekit/kitOnda.h"

// The engine's mnemonic for a phoneme of the voice ("an" -> "&~", "L" -> "l^"); empty for
// one the voice does not have.
std::string mnemonicoDoFonema(std::string_view fonema);

// Samples from one rate to another, through a windowed-sinc low-pass.
std::vector<int16_t> reamostra(std::span<const int16_t> amostras, int de, int para);

// The period (in samples) of the loudest voiced stretch; 0 when nothing is voiced.
double periodoDominante(std::span<const int16_t> amostras, int taxa);

// One mark per period on the voiced stretches (on the period's peak), marks at the same
// steady spacing elsewhere. A stretch is voiced when it repeats at the period and its
// phoneme (the first before `fronteira`, the second after) is one said with the voice.
std::vector<MarcaPitch> marcasPitch(std::span<const int16_t> amostras, double periodo,
                                    size_t fronteira, bool sonoro1, bool sonoro2);

// The carrier of a diphone in the engine's mnemonics, and where the pair sits in it.
struct PortadoraBrisa {
    std::string fonemas;
    size_t indice = 0;  // of the first phoneme of the pair among the carrier's phonemes
    std::vector<std::string> mnemonicos;  // the carrier's phonemes one by one
};
PortadoraBrisa portadoraBrisa(std::string_view primeiro, std::string_view segundo);

using SintetizaFonemas = std::function<std::optional<Sintese>(const std::string& fonemas)>;

// The diphone cut from its carrier, at 16 kHz; nothing, with the reason, when the engine
// fails or does not report the phonemes it was given.
std::optional<DifoneVoz> fazDifone(const SintetizaFonemas& sintetiza, int taxa,
                                const std::string& primeiro, const std::string& segundo,
                                std::string& erro);

// All the diphones of the list, set to one loudness, with their pitch marks.
std::optional<BancoVoz> fazBancoVoz(const SintetizaFonemas& sintetiza, int taxa,
                                    std::span<const std::pair<std::string, std::string>> lista,
                                    std::string& erro);
