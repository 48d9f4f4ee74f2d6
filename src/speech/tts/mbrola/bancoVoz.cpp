#include "speech/tts/mbrola/bancoVoz.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

constexpr char kAssinatura[] = "PLUMARVZ";
constexpr uint32_t kVersao = 1;
constexpr uint32_t kBitSonora = 0x80000000u;
// Bounds that no real voice comes near: a corrupt count is refused before it allocates.
constexpr uint32_t kMaxDifones = 100000;
constexpr uint32_t kMaxAmostras = 10 * kTaxaBancoVoz;
constexpr size_t kMaxNome = 8;

void poe32(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

void poeNome(std::vector<uint8_t>& b, const std::string& nome) {
    b.push_back(static_cast<uint8_t>(nome.size()));
    b.insert(b.end(), nome.begin(), nome.end());
}

class Leitor {
  public:
    explicit Leitor(std::span<const uint8_t> b) : b_(b) {}
    bool le32(uint32_t& v) {
        if (b_.size() - pos_ < 4) return false;
        v = 0;
        for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(b_[pos_ + k]) << (8 * k);
        pos_ += 4;
        return true;
    }
    bool leNome(std::string& s) {
        if (pos_ >= b_.size()) return false;
        const size_t n = b_[pos_++];
        if (n == 0 || n > kMaxNome || b_.size() - pos_ < n) return false;
        s.assign(reinterpret_cast<const char*>(b_.data() + pos_), n);
        pos_ += n;
        return true;
    }
    bool leAmostras(std::vector<int16_t>& a, uint32_t n) {
        if ((b_.size() - pos_) / 2 < n) return false;
        a.resize(n);
        for (uint32_t i = 0; i < n; ++i, pos_ += 2)
            a[i] = static_cast<int16_t>(b_[pos_] | (b_[pos_ + 1] << 8));
        return true;
    }
    bool pula(std::string_view s) {
        if (b_.size() - pos_ < s.size() ||
            !std::equal(s.begin(), s.end(), b_.begin() + static_cast<std::ptrdiff_t>(pos_)))
            return false;
        pos_ += s.size();
        return true;
    }
    bool fim() const { return pos_ == b_.size(); }

  private:
    std::span<const uint8_t> b_;
    size_t pos_ = 0;
};

bool leDifone(Leitor& l, DifoneVoz& d, std::string& erro) {
    uint32_t n = 0, nMarcas = 0;
    if (!l.leNome(d.primeiro) || !l.leNome(d.segundo) || !l.le32(n) || !l.le32(d.fronteira) ||
        !l.le32(nMarcas)) {
        erro = "difone truncado";
        return false;
    }
    if (n == 0 || n > kMaxAmostras || d.fronteira > n || nMarcas > n) {
        erro = "difone " + d.primeiro + "-" + d.segundo + " com tamanhos impossíveis";
        return false;
    }
    d.marcas.resize(nMarcas);
    uint32_t anterior = 0;
    for (uint32_t i = 0; i < nMarcas; ++i) {
        uint32_t v = 0;
        if (!l.le32(v)) {
            erro = "marcas truncadas";
            return false;
        }
        d.marcas[i] = {v & ~kBitSonora, (v & kBitSonora) != 0};
        if (d.marcas[i].posicao >= n || (i > 0 && d.marcas[i].posicao <= anterior)) {
            erro = "marcas fora de ordem em " + d.primeiro + "-" + d.segundo;
            return false;
        }
        anterior = d.marcas[i].posicao;
    }
    if (!l.leAmostras(d.amostras, n)) {
        erro = "amostras truncadas";
        return false;
    }
    return true;
}

}  // namespace

void BancoVoz::ordena() {
    std::sort(difones.begin(), difones.end(), [](const DifoneVoz& a, const DifoneVoz& b) {
        return std::tie(a.primeiro, a.segundo) < std::tie(b.primeiro, b.segundo);
    });
}

const DifoneVoz* BancoVoz::procura(std::string_view primeiro, std::string_view segundo) const {
    auto it = std::lower_bound(difones.begin(), difones.end(), 0, [&](const DifoneVoz& d, int) {
        const std::string_view a = d.primeiro;
        return a < primeiro || (a == primeiro && std::string_view(d.segundo) < segundo);
    });
    if (it == difones.end() || it->primeiro != primeiro || it->segundo != segundo) return nullptr;
    return &*it;
}

bool BancoVoz::conhece(std::string_view fonema) const {
    return std::any_of(difones.begin(), difones.end(), [&](const DifoneVoz& d) {
        return d.primeiro == fonema || d.segundo == fonema;
    });
}

std::vector<uint8_t> serializaBancoVoz(const BancoVoz& banco) {
    std::vector<uint8_t> b(kAssinatura, kAssinatura + 8);
    poe32(b, kVersao);
    poe32(b, banco.taxa);
    poe32(b, banco.hertzBase);
    poe32(b, static_cast<uint32_t>(banco.difones.size()));
    for (const DifoneVoz& d : banco.difones) {
        poeNome(b, d.primeiro);
        poeNome(b, d.segundo);
        poe32(b, static_cast<uint32_t>(d.amostras.size()));
        poe32(b, d.fronteira);
        poe32(b, static_cast<uint32_t>(d.marcas.size()));
        for (const MarcaPitch& m : d.marcas) poe32(b, m.posicao | (m.sonora ? kBitSonora : 0));
        for (int16_t a : d.amostras) {
            const auto v = static_cast<uint16_t>(a);
            b.push_back(static_cast<uint8_t>(v & 0xFF));
            b.push_back(static_cast<uint8_t>(v >> 8));
        }
    }
    return b;
}

std::optional<BancoVoz> interpretaBancoVoz(std::span<const uint8_t> bytes, std::string& erro) {
    Leitor l(bytes);
    BancoVoz banco;
    uint32_t versao = 0, n = 0;
    if (!l.pula(std::string_view(kAssinatura, 8)) || !l.le32(versao) || versao != kVersao) {
        erro = "não é uma base de difones desta versão";
        return std::nullopt;
    }
    if (!l.le32(banco.taxa) || !l.le32(banco.hertzBase) || !l.le32(n) ||
        banco.taxa != kTaxaBancoVoz || banco.hertzBase < 40 || banco.hertzBase > 600 ||
        n == 0 || n > kMaxDifones) {
        erro = "cabeçalho da base de difones inválido";
        return std::nullopt;
    }
    banco.difones.resize(n);
    for (DifoneVoz& d : banco.difones)
        if (!leDifone(l, d, erro)) return std::nullopt;
    if (!l.fim()) {
        erro = "sobram bytes depois do último difone";
        return std::nullopt;
    }
    banco.ordena();
    return banco;
}

std::optional<BancoVoz> leBancoVoz(const std::filesystem::path& arquivo, std::string& erro) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) {
        erro = "base de difones não encontrada: " + arquivo.string();
        return std::nullopt;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f),
                                     std::istreambuf_iterator<char>()};
    return interpretaBancoVoz(bytes, erro);
}
