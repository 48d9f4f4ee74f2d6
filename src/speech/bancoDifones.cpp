#include "speech/bancoDifones.h"

#include <algorithm>
#include <cerrno>

namespace {

uint32_t le32(std::span<const uint8_t> d) {
    return d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24);
}

std::string nomeMaiusculo(std::span<const uint8_t> registro) {
    size_t n = std::min<size_t>(registro[0], kMaxNomeDifone);
    std::string nome(reinterpret_cast<const char*>(registro.data()) + 1, n);
    for (char& c : nome)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return nome;
}

}  // namespace

std::vector<Difone> interpretaIndice(std::span<const uint8_t> bytes, uint64_t tamanhoAmostras) {
    std::vector<Difone> indice;
    indice.reserve(bytes.size() / kTamanhoRegistro);
    for (size_t p = 0; p + kTamanhoRegistro <= bytes.size(); p += kTamanhoRegistro) {
        auto r = bytes.subspan(p, kTamanhoRegistro);
        Difone d{nomeMaiusculo(r), static_cast<uint16_t>(r[9] | (r[10] << 8)), le32(r.subspan(11))};
        bool negativo = (d.deslocamento & 0x80000000u) != 0;
        if (d.nome.empty() || negativo || uint64_t{d.deslocamento} + d.amostras > tamanhoAmostras)
            continue;
        indice.push_back(std::move(d));
    }
    // The lookup is a binary search: an index written out of order is put in order here
    // rather than making names unfindable.
    std::stable_sort(indice.begin(), indice.end(),
                     [](const Difone& a, const Difone& b) { return a.nome < b.nome; });
    auto repetidos = std::unique(indice.begin(), indice.end(),
                                 [](const Difone& a, const Difone& b) { return a.nome == b.nome; });
    indice.erase(repetidos, indice.end());
    return indice;
}

std::optional<BancoDifones> BancoDifones::abre(const std::filesystem::path& indice,
                                               const std::filesystem::path& amostras) {
    ArquivoLeitura arquivoIndice(indice);
    ArquivoLeitura arquivoAmostras(amostras);
    if (!arquivoIndice.aberto() || !arquivoAmostras.aberto()) return std::nullopt;
    uint64_t tamanho = arquivoIndice.tamanho();
    if (tamanho > kMaxIndice) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(tamanho));
    bytes.resize(arquivoIndice.le(0, bytes));
    BancoDifones banco;
    banco.indice_ = interpretaIndice(bytes, arquivoAmostras.tamanho());
    banco.amostras_ = std::move(arquivoAmostras);
    return banco;
}

const Difone* BancoDifones::procura(std::string_view nome) const {
    auto it = std::lower_bound(indice_.begin(), indice_.end(), nome,
                               [](const Difone& d, std::string_view n) { return d.nome < n; });
    return (it != indice_.end() && it->nome == nome) ? &*it : nullptr;
}

size_t BancoDifones::le(const Difone& difone, size_t desde, std::span<uint8_t> destino) const {
    if (desde >= difone.amostras) return 0;
    size_t n = std::min<size_t>(destino.size(), difone.amostras - desde);
    return amostras_.le(uint64_t{difone.deslocamento} + desde, destino.first(n));
}
