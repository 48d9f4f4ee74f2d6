#include "voicekit/kitOnda.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <system_error>

#include "platform/audio.h"

std::optional<std::vector<int16_t>> reduzTaxa(std::span<const int16_t> amostras, int taxa) {
    if (taxa < kTaxaKit || taxa % kTaxaKit != 0) return std::nullopt;
    const size_t passo = static_cast<size_t>(taxa / kTaxaKit);
    std::vector<int16_t> saida;
    saida.reserve(amostras.size() / passo + 1);
    // Averaging a group is a plain low-pass filter: enough for speech below 5 kHz, and
    // integer arithmetic keeps the result the same on every machine.
    for (size_t i = 0; i + passo <= amostras.size(); i += passo) {
        int32_t soma = 0;
        for (size_t k = 0; k < passo; ++k) soma += amostras[i + k];
        saida.push_back(static_cast<int16_t>(soma / static_cast<int32_t>(passo)));
    }
    return saida;
}

std::vector<int16_t> aparaSilencio(std::span<const int16_t> amostras, int limiar, size_t margem,
                                   bool inicio) {
    auto alto = [limiar](int16_t a) { return std::abs(static_cast<int>(a)) > limiar; };
    auto primeiro = std::find_if(amostras.begin(), amostras.end(), alto);
    if (primeiro == amostras.end()) return {};
    auto ultimo = std::find_if(amostras.rbegin(), amostras.rend(), alto).base();
    size_t ini = inicio ? static_cast<size_t>(primeiro - amostras.begin()) : 0;
    size_t fim = static_cast<size_t>(ultimo - amostras.begin());
    ini = ini > margem ? ini - margem : 0;
    fim = std::min(amostras.size(), fim + margem);
    return {amostras.begin() + static_cast<std::ptrdiff_t>(ini),
            amostras.begin() + static_cast<std::ptrdiff_t>(fim)};
}

int maiorAmplitude(std::span<const int16_t> amostras) {
    int maior = 0;
    for (int16_t a : amostras) maior = std::max(maior, std::abs(static_cast<int>(a)));
    return maior;
}

namespace {

bool trocaSinal(int16_t a, int16_t b) {
    return (a <= 0 && b >= 0) || (a >= 0 && b <= 0);
}

}  // namespace

void suavizaBordas(std::vector<int16_t>& a) {
    if (a.size() < 2 * kBordaSuave + 2) {
        std::fill(a.begin(), a.end(), 0);
        return;
    }
    size_t ini = 0, fim = a.size();  // [ini, fim)
    for (size_t k = 0; k < kBuscaZero && k + 1 < a.size() / 4; ++k)
        if (trocaSinal(a[k], a[k + 1])) {
            ini = std::abs(a[k]) <= std::abs(a[k + 1]) ? k : k + 1;
            break;
        }
    for (size_t k = 0; k < kBuscaZero && k + 1 < a.size() / 4; ++k) {
        const size_t i = a.size() - 1 - k;
        if (trocaSinal(a[i], a[i - 1])) {
            fim = (std::abs(a[i]) <= std::abs(a[i - 1]) ? i : i - 1) + 1;
            break;
        }
    }
    a = std::vector<int16_t>(a.begin() + static_cast<std::ptrdiff_t>(ini),
                             a.begin() + static_cast<std::ptrdiff_t>(fim));
    // Linear ramps from zero: integer steps, the same on every machine.
    const auto n = static_cast<int>(kBordaSuave);
    for (int k = 0; k < n && k < static_cast<int>(a.size()); ++k) {
        a[static_cast<size_t>(k)] = static_cast<int16_t>(a[static_cast<size_t>(k)] * k / n);
        int16_t& b = a[a.size() - 1 - static_cast<size_t>(k)];
        b = static_cast<int16_t>(b * k / n);
    }
}

namespace {

constexpr size_t kQuadro = kTaxaKit / 100;  // 10 ms
constexpr int64_t kPisoVoz = 100;           // below this a frame is silence (-50 dBFS)

// The mean square of each frame of every piece.
std::vector<int64_t> quadros(std::span<const std::vector<int16_t>> pecas) {
    std::vector<int64_t> q;
    for (const std::vector<int16_t>& p : pecas)
        for (size_t i = 0; i + kQuadro <= p.size() || (i == 0 && !p.empty()); i += kQuadro) {
            const size_t n = std::min(kQuadro, p.size() - i);
            int64_t soma = 0;
            for (size_t k = i; k < i + n; ++k) soma += static_cast<int64_t>(p[k]) * p[k];
            q.push_back(soma / static_cast<int64_t>(n));
        }
    return q;
}

int64_t raiz(int64_t v) {
    if (v <= 0) return 0;
    auto r = static_cast<int64_t>(std::sqrt(static_cast<double>(v)));
    while (r * r > v) --r;
    while ((r + 1) * (r + 1) <= v) ++r;
    return r;
}

}  // namespace

int nivelVoz(std::span<const std::vector<int16_t>> pecas) {
    const std::vector<int64_t> q = quadros(pecas);
    if (q.empty()) return 0;
    const int64_t maior = *std::max_element(q.begin(), q.end());
    // 30 dB below in power is a thousandth.
    const int64_t limiar = std::max(maior / 1000, kPisoVoz * kPisoVoz);
    int64_t soma = 0, n = 0;
    for (int64_t m : q)
        if (m >= limiar) soma += m, ++n;
    return n == 0 ? 0 : static_cast<int>(raiz(soma / n));
}

int nivelVoz(std::span<const int16_t> amostras) {
    const std::vector<int16_t> uma(amostras.begin(), amostras.end());
    return nivelVoz(std::span(&uma, 1));
}

std::vector<int16_t> de8Bits(std::span<const uint8_t> amostras) {
    std::vector<int16_t> s;
    s.reserve(amostras.size());
    for (uint8_t v : amostras) s.push_back(static_cast<int16_t>((v - 128) * 256));
    return s;
}

void escalaPorNivel(std::vector<int16_t>& amostras, int alvo, int nivel, int joelho, int pico) {
    if (nivel <= 0) return;
    const int64_t folga = pico - joelho;
    for (int16_t& a : amostras) {
        int64_t v = static_cast<int64_t>(a) * alvo;
        v = v >= 0 ? (v + nivel / 2) / nivel : -((-v + nivel / 2) / nivel);
        const int64_t m = std::abs(v);
        if (m > joelho && folga > 0) {
            const int64_t acima = m - joelho;
            const int64_t curvado = joelho + acima * folga / (acima + folga);
            v = v >= 0 ? curvado : -curvado;
        }
        a = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
    }
}

std::vector<uint8_t> para8Bits(std::span<const int16_t> amostras) {
    std::vector<uint8_t> saida;
    saida.reserve(amostras.size());
    for (int16_t a : amostras) {
        int v = (static_cast<int>(a) + 32768 + 128) >> 8;
        saida.push_back(static_cast<uint8_t>(std::min(v, 255)));
    }
    return saida;
}

std::optional<Trecho> trechoDaUnidade(std::span<const MarcaFonema> marcas, size_t total,
                                      size_t antes, size_t depois, bool doMeio) {
    std::vector<size_t> fonemas;  // indices of the marks that are not pauses
    for (size_t i = 0; i < marcas.size(); ++i)
        if (!marcas[i].nome.starts_with('_')) fonemas.push_back(i);
    if (fonemas.size() < antes + depois + 1) return std::nullopt;
    const size_t primeiro = fonemas[antes];
    Trecho t{marcas[primeiro].amostra, total};
    if (depois > 0) {
        t.fim = marcas[fonemas[fonemas.size() - depois]].amostra;
    } else {
        // With nothing after it, the unit ends where the closing pause begins.
        for (size_t i = primeiro + 1; i < marcas.size(); ++i)
            if (marcas[i].nome.starts_with('_')) {
                t.fim = marcas[i].amostra;
                break;
            }
    }
    if (t.fim > total || t.inicio >= t.fim) return std::nullopt;
    if (doMeio) {
        const size_t fimPrimeiro =
            primeiro + 1 < marcas.size() ? std::min(marcas[primeiro + 1].amostra, t.fim) : t.fim;
        if (fimPrimeiro > t.inicio) t.inicio += (fimPrimeiro - t.inicio) / 2;
    }
    return t;
}

std::vector<uint8_t> ondaCanonica(std::vector<uint8_t> dados) {
    if (dados.size() % 2 != 0) dados.push_back(128);
    FormatoAudio formato;  // 11025 Hz, 8 bits, mono
    std::vector<uint8_t> onda = cabecalhoWave(formato, static_cast<uint32_t>(dados.size()));
    onda.insert(onda.end(), dados.begin(), dados.end());
    return onda;
}

namespace {

struct ParDtmf {
    char tecla;
    int linha;
    int coluna;
};

// The keypad: rows 697, 770, 852, 941 Hz; columns 1209, 1336, 1477 Hz.
constexpr ParDtmf kPares[] = {
    {'1', 697, 1209}, {'2', 697, 1336}, {'3', 697, 1477}, {'4', 770, 1209},
    {'5', 770, 1336}, {'6', 770, 1477}, {'7', 852, 1209}, {'8', 852, 1336},
    {'9', 852, 1477}, {'X', 941, 1209}, {'0', 941, 1336}, {'#', 941, 1477},
};

}  // namespace

std::optional<std::vector<uint8_t>> tomDtmf(char tecla, int ms) {
    const ParDtmf* par = nullptr;
    for (const ParDtmf& p : kPares)
        if (p.tecla == tecla) par = &p;
    if (!par || ms <= 0) return std::nullopt;
    const int n = kTaxaKit * ms / 1000;
    const int rampa = std::min(n / 2, kTaxaKit / 200);  // 5 ms
    std::vector<uint8_t> dados;
    dados.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kTaxaKit;
        double v = std::sin(2 * std::numbers::pi * par->linha * t) +
                   std::sin(2 * std::numbers::pi * par->coluna * t);
        const int borda = std::min(i, n - 1 - i);
        if (borda < rampa) v *= static_cast<double>(borda) / rampa;
        dados.push_back(static_cast<uint8_t>(std::lround(128 + 55 * v)));
    }
    return dados;
}

bool gravaSeMudou(const std::filesystem::path& arquivo, std::span<const uint8_t> bytes) {
    {
        std::ifstream f(arquivo, std::ios::binary);
        if (f) {
            std::vector<uint8_t> atual{std::istreambuf_iterator<char>(f),
                                       std::istreambuf_iterator<char>()};
            if (std::equal(atual.begin(), atual.end(), bytes.begin(), bytes.end())) return true;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(arquivo.parent_path(), ec);
    std::ofstream f(arquivo, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

bool gravaSeMudou(const std::filesystem::path& arquivo, const std::string& texto) {
    return gravaSeMudou(arquivo,
                        std::span(reinterpret_cast<const uint8_t*>(texto.data()), texto.size()));
}
