// The diphone bank: an index of named sample runs ("NAME.IND", held in memory) and the
// raw 8-bit 11025 Hz samples they point into ("NAME.DIF", kept open and read by seeking).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arquivoSistema.h"

struct Difone {
    std::string nome;  // upper case, at most 8 characters, "$" first
    uint16_t amostras = 0;
    uint32_t deslocamento = 0;
};

// Index records are 15 bytes: a length byte and 8 name characters, u16 sample count,
// i32 byte offset (little-endian).
constexpr size_t kTamanhoRegistro = 15;
constexpr size_t kMaxNomeDifone = 8;

// The records of an index file whose runs lie inside a sample file of `tamanhoAmostras`
// bytes, sorted by name. A trailing partial record, a record with an empty name, a negative
// offset or a run past the end of the sample file is skipped; of two records with one name
// the first counts.
std::vector<Difone> interpretaIndice(std::span<const uint8_t> bytes, uint64_t tamanhoAmostras);

class BancoDifones {
  public:
    // Largest index accepted: far more names than any voice holds.
    static constexpr uint64_t kMaxIndice = kTamanhoRegistro * 1'000'000;

    BancoDifones() = default;  // an empty bank: every name is missing
    // Nothing when either file cannot be opened or the index is absurdly large.
    static std::optional<BancoDifones> abre(const std::filesystem::path& indice,
                                            const std::filesystem::path& amostras);

    const Difone* procura(std::string_view nome) const;
    // Reads samples of a run found by `procura`, from its sample `desde` on and never past
    // its end; the count read.
    size_t le(const Difone& difone, size_t desde, std::span<uint8_t> destino) const;
    size_t tamanho() const { return indice_.size(); }

  private:
    std::vector<Difone> indice_;
    ArquivoLeitura amostras_;
};
