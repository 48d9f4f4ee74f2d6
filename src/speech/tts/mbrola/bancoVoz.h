// The diphone database of the synthesizer: one piece of recorded speech per pair of
// phonemes, cut from the middle of the first phoneme to the middle of the second, with the
// sample where the second starts and the pitch marks (one per period where the voice is
// voiced, at a steady spacing elsewhere). The voice kit writes it; the synthesizer reads it.
//
// File layout (little-endian): "PLUMARVZ", version, sample rate, pitch of the recordings in
// Hz, count of diphones; then each diphone: first phoneme (length byte and characters),
// second phoneme (the same), sample count, boundary, mark count, the marks (bit 31 set on a
// voiced mark), the 16-bit samples.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr uint32_t kTaxaBancoVoz = 16000;

struct MarcaPitch {
    uint32_t posicao = 0;
    bool sonora = false;
};

struct DifoneVoz {
    std::string primeiro, segundo;
    std::vector<int16_t> amostras;
    uint32_t fronteira = 0;  // where the second phoneme starts
    std::vector<MarcaPitch> marcas;
};

struct BancoVoz {
    uint32_t taxa = kTaxaBancoVoz;
    uint32_t hertzBase = 0;  // pitch the pieces were recorded at
    std::vector<DifoneVoz> difones;  // sorted by first, then second phoneme

    void ordena();
    const DifoneVoz* procura(std::string_view primeiro, std::string_view segundo) const;
    // Whether the phoneme appears in some diphone.
    bool conhece(std::string_view fonema) const;
};

std::vector<uint8_t> serializaBancoVoz(const BancoVoz& banco);
// Nothing, with the reason in `erro`, when the bytes are not a whole, consistent database.
std::optional<BancoVoz> interpretaBancoVoz(std::span<const uint8_t> bytes, std::string& erro);
std::optional<BancoVoz> leBancoVoz(const std::filesystem::path& arquivo, std::string& erro);
