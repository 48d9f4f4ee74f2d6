#include "voicekit/kitVozBrisa.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <numbers>

namespace {

constexpr int kMargem = 800;          // 50 ms of silence added around each carrier
constexpr int64_t kMeiaPausa = 480;   // 30 ms of the pause half of a diphone
constexpr double kPeriodoPadrao = 16000.0 / 120;  // when the carrier shows no voice
constexpr int64_t kMinimoLado = 80;
constexpr int64_t kQuadroFechamento = 32;  // 2 ms steps back over a stop's closure
constexpr int kAlvoVoz = 3277;        // -20 dBFS, as the kit's other recordings
constexpr int kJoelho = 20000, kPico = 28000;

struct Som {
    std::string_view fonema, mnemonico;
    bool vogal;
};
constexpr Som kSons[] = {
    {"a", "a", true},    {"@", "&", true},    {"e", "e", true},    {"E", "E", true},
    {"i", "i", true},    {"o", "o", true},    {"O", "O", true},    {"u", "u", true},
    {"an", "&~", true},  {"en", "e~", true},  {"in", "i~", true},  {"on", "o~", true},
    {"un", "u~", true},  {"y", "j", false},   {"w", "w", false},   {"p", "p", false},
    {"b", "b", false},   {"t", "t", false},   {"d", "d", false},   {"k", "k", false},
    {"g", "g", false},   {"f", "f", false},   {"v", "v", false},   {"s", "s", false},
    {"z", "z", false},   {"m", "m", false},   {"n", "n", false},   {"l", "l", false},
    {"S", "S", false},   {"Z", "Z", false},   {"J", "n^", false},  {"L", "l^", false},
    {"r", "*", false},   {"R", "x", false},   {"r2", "x", false},  {"s2", "s", false},
    {"tS", "tS", false}, {"dZ", "dZ", false},
};

const Som* som(std::string_view f) {
    for (const Som& s : kSons)
        if (s.fonema == f) return &s;
    return nullptr;
}

bool oclusiva(std::string_view mnemonico) {
    return mnemonico.size() == 1 ? std::string_view("ptkbdg").find(mnemonico[0]) != std::string_view::npos
                                 : mnemonico == "tS" || mnemonico == "dZ";
}

// A phoneme said with the voice, in part at least; the others never take the pitch asked for.
bool sonoro(std::string_view f) {
    const Som* s = som(f);
    if (!s) return false;
    static constexpr std::string_view kSonoras[] = {"y", "w", "m", "n", "J", "l", "L", "r",
                                                    "b", "d", "g", "v", "z", "Z", "dZ"};
    return s->vogal || std::find(std::begin(kSonoras), std::end(kSonoras), f) != std::end(kSonoras);
}

// A vowel that can carry the stress of the carrier (not the reduced one).
bool tonica(std::string_view f) {
    const Som* s = som(f);
    return s && s->vogal && f != "@";
}

double correlacao(std::span<const int16_t> x, int64_t a, int64_t b, int64_t n) {
    double sab = 0, saa = 0, sbb = 0;
    for (int64_t i = 0; i < n; ++i) {
        const double va = x[static_cast<size_t>(a + i)], vb = x[static_cast<size_t>(b + i)];
        sab += va * vb;
        saa += va * va;
        sbb += vb * vb;
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

double rms(std::span<const int16_t> x, int64_t a, int64_t n) {
    double s = 0;
    for (int64_t i = 0; i < n; ++i) s += double(x[static_cast<size_t>(a + i)]) * x[static_cast<size_t>(a + i)];
    return n > 0 ? std::sqrt(s / static_cast<double>(n)) : 0;
}

// A period around p repeats itself (at about the period), loud enough to be voice.
bool sonoroEm(std::span<const int16_t> x, int64_t p, int64_t t, double limiar) {
    const auto n = static_cast<int64_t>(x.size());
    // Two periods around p, or the first two of the piece near its start.
    const int64_t a = std::min(std::max<int64_t>(p - t, 0), n - 2 * t - t / 8);
    if (a < 0 || rms(x, a, 2 * t) <= limiar) return false;
    double melhor = 0;
    for (int64_t l = t - t / 8; l <= t + t / 8; ++l) melhor = std::max(melhor, correlacao(x, a, a + l, t));
    return melhor > 0.4;
}

}  // namespace

std::string mnemonicoDoFonema(std::string_view fonema) {
    const Som* s = som(fonema);
    return s ? std::string(s->mnemonico) : std::string();
}

std::vector<int16_t> reamostra(std::span<const int16_t> x, int de, int para) {
    if (de == para || de <= 0 || para <= 0) return {x.begin(), x.end()};
    // The filter's phases repeat every para / gcd output samples: computed once each.
    const int g = std::gcd(de, para);
    const int64_t passoEntrada = de / g, fases = para / g;
    const double razao = static_cast<double>(de) / para;
    const double corte = 0.45 * std::min(1.0, 1.0 / razao);  // cycles per input sample
    const int raio = static_cast<int>(std::ceil(12 * std::max(1.0, razao)));
    std::vector<double> filtro(static_cast<size_t>(fases * 2 * raio));
    for (int64_t f = 0; f < fases; ++f) {
        const double frac = static_cast<double>(f * passoEntrada % fases) / static_cast<double>(fases);
        for (int k = -raio + 1; k <= raio; ++k) {
            const double d = frac - k;
            const double arg = 2 * corte * d;
            const double sinc = std::abs(arg) < 1e-9 ? 1 : std::sin(std::numbers::pi * arg) / (std::numbers::pi * arg);
            const double jan = 0.5 * (1 + std::cos(std::numbers::pi * d / raio));
            filtro[static_cast<size_t>(f * 2 * raio + k + raio - 1)] = 2 * corte * sinc * jan;
        }
    }
    const auto n = static_cast<int64_t>(x.size());
    const auto total = static_cast<size_t>(n * fases / passoEntrada);
    std::vector<int16_t> y(total);
    for (size_t j = 0; j < total; ++j) {
        const int64_t c = static_cast<int64_t>(j) * passoEntrada / fases;
        const double* h = &filtro[static_cast<size_t>((static_cast<int64_t>(j) % fases) * 2 * raio)];
        double s = 0;
        for (int k = -raio + 1; k <= raio; ++k)
            if (c + k >= 0 && c + k < n) s += x[static_cast<size_t>(c + k)] * h[k + raio - 1];
        y[j] = static_cast<int16_t>(std::clamp(std::lround(s), -32768L, 32767L));
    }
    return y;
}

double periodoDominante(std::span<const int16_t> x, int taxa) {
    const int64_t quadro = taxa * 3 / 100;
    const int64_t menor = taxa / 400, maior = taxa / 60;
    const auto n = static_cast<int64_t>(x.size());
    // The loudest frames are voiced if anything is: a few of them are enough.
    std::vector<std::pair<double, int64_t>> quadros;
    for (int64_t a = 0; a + quadro + maior <= n; a += quadro / 2) quadros.emplace_back(rms(x, a, quadro), a);
    const size_t usados = std::min<size_t>(quadros.size(), 5);
    std::partial_sort(quadros.begin(), quadros.begin() + static_cast<std::ptrdiff_t>(usados), quadros.end(),
                      [](const auto& p, const auto& q) { return p.first > q.first; });
    std::vector<double> periodos;
    for (size_t i = 0; i < usados; ++i) {
        const int64_t a = quadros[i].second;
        double melhor = 0;
        int64_t lag = 0;
        for (int64_t l = menor; l <= maior; ++l)
            if (const double r = correlacao(x, a, a + l, quadro); r > melhor) melhor = r, lag = l;
        if (melhor > 0.8) periodos.push_back(static_cast<double>(lag));
    }
    if (periodos.empty()) return 0;
    std::nth_element(periodos.begin(), periodos.begin() + periodos.size() / 2, periodos.end());
    return periodos[periodos.size() / 2];
}

std::vector<MarcaPitch> marcasPitch(std::span<const int16_t> x, double periodo, size_t fronteira,
                                    bool sonoro1, bool sonoro2) {
    std::vector<MarcaPitch> marcas;
    const auto n = static_cast<int64_t>(x.size());
    const auto t = std::max<int64_t>(8, std::llround(periodo));
    if (n == 0) return marcas;
    const double limiar = 0.02 * maiorAmplitude(x) + 1;
    auto sonora = [&](int64_t p) {
        const bool classe = static_cast<size_t>(p) < fronteira ? sonoro1 : sonoro2;
        return classe && sonoroEm(x, p, t, limiar);
    };
    auto pico = [&](int64_t de, int64_t ate) {
        de = std::max<int64_t>(de, 0);
        ate = std::min(ate, n);
        int64_t m = de;
        for (int64_t i = de; i < ate; ++i)
            if (x[static_cast<size_t>(i)] > x[static_cast<size_t>(m)]) m = i;
        return m;
    };
    int64_t p = pico(0, t);
    while (p < n) {
        marcas.push_back({static_cast<uint32_t>(p), sonora(p)});
        int64_t proxima = p + t;
        if (proxima < n && sonora(proxima)) {
            // One period on, where the waveform best repeats the period just passed, so the
            // marks keep one phase (a peak search may jump between two peaks of a period).
            const int64_t de = p - t / 2;
            double melhor = -2;
            int64_t escolha = proxima;
            if (de >= 0)
                for (int64_t l = t - t / 5; l <= t + t / 5; ++l) {
                    if (de + l + t > n) break;
                    if (const double r = correlacao(x, de, de + l, t); r > melhor) melhor = r, escolha = p + l;
                }
            proxima = de >= 0 && melhor > 0 ? escolha
                                            : std::max(p + t / 2, pico(proxima - t / 5, proxima + t / 5 + 1));
        }
        p = proxima;
    }
    return marcas;
}

PortadoraBrisa portadoraBrisa(std::string_view primeiro, std::string_view segundo) {
    std::vector<std::string> seq;
    size_t indice = 0;
    const bool vogal1 = som(primeiro) && som(primeiro)->vogal;
    const bool vogal2 = som(segundo) && som(segundo)->vogal;
    if (primeiro != "_") {
        seq.push_back("t");
        if (!vogal1) seq.push_back("a");
        indice = seq.size();
        seq.emplace_back(primeiro);
    }
    if (segundo != "_") {
        seq.emplace_back(segundo);
        if (!vogal2) seq.push_back("a");
        seq.push_back("t");
        seq.push_back("a");
    }
    // The stress on the pair's own vowel when it has one, else on the vowel beside it.
    size_t acento = seq.size();
    for (size_t i : {indice, indice + 1, indice + 2, indice > 0 ? indice - 1 : seq.size()})
        if (i < seq.size() && tonica(seq[i])) {
            acento = i;
            break;
        }
    PortadoraBrisa p;
    p.indice = indice;
    for (size_t i = 0; i < seq.size(); ++i) {
        if (i == acento) p.fonemas += '\'';
        p.fonemas += mnemonicoDoFonema(seq[i]);
        p.mnemonicos.push_back(mnemonicoDoFonema(seq[i]));
    }
    return p;
}

std::optional<DifoneVoz> fazDifone(const SintetizaFonemas& sintetiza, int taxa,
                                const std::string& primeiro, const std::string& segundo,
                                std::string& erro) {
    const std::string nome = primeiro + "-" + segundo;
    if ((primeiro != "_" && !som(primeiro)) || (segundo != "_" && !som(segundo))) {
        erro = "fonema sem som no kit: " + nome;
        return std::nullopt;
    }
    if (primeiro == "_" && segundo == "_") {
        // Pause to pause: silence, so that two pauses in a row need no bridge.
        DifoneVoz d{primeiro, segundo, std::vector<int16_t>(2 * kMeiaPausa, 0),
                    static_cast<uint32_t>(kMeiaPausa), {}};
        d.marcas = marcasPitch(d.amostras, kPeriodoPadrao, d.fronteira, false, false);
        return d;
    }
    const PortadoraBrisa p = portadoraBrisa(primeiro, segundo);
    auto s = sintetiza("[[" + p.fonemas + "]]");
    if (!s) {
        erro = "o espeak-ng falhou ao falar " + nome;
        return std::nullopt;
    }
    std::vector<int16_t> x(kMargem, 0);
    const std::vector<int16_t> y = reamostra(s->amostras, taxa, static_cast<int>(kTaxaBancoVoz));
    x.insert(x.end(), y.begin(), y.end());
    x.insert(x.end(), kMargem, 0);
    auto posicao = [&](size_t amostra) {
        return static_cast<int64_t>(amostra * kTaxaBancoVoz / static_cast<uint64_t>(taxa)) + kMargem;
    };
    // Where each phoneme of the carrier starts and ends, found by name among the engine's
    // marks. It adds marks of its own between some phonemes (those belong to the phoneme
    // before them), and says some pairs as one sound ("ts"): that one is split in halves.
    std::vector<std::pair<int64_t, int64_t>> fonemas;
    const auto& marcas = s->fonemas;
    auto fimDa = [&](size_t e) {
        return e + 1 < marcas.size() ? posicao(marcas[e + 1].amostra)
                                     : static_cast<int64_t>(y.size()) + kMargem;
    };
    auto poe = [&](int64_t inicio, int64_t fim) {
        if (!fonemas.empty()) fonemas.back().second = inicio;
        fonemas.emplace_back(inicio, fim);
    };
    size_t e = 0;
    const auto& m = p.mnemonicos;
    for (size_t k = 0; k < m.size(); ++k) {
        const bool junto = k + 1 < m.size();
        while (e < marcas.size() && marcas[e].nome != m[k] && !(junto && marcas[e].nome == m[k] + m[k + 1]))
            ++e;
        if (e == marcas.size()) {
            erro = "o espeak-ng não disse " + m[k] + " em " + nome + " ([[" + p.fonemas + "]]:";
            for (const MarcaFonema& mf : marcas) erro += " " + mf.nome;
            erro += ")";
            return std::nullopt;
        }
        const int64_t inicio = posicao(marcas[e].amostra), fim = fimDa(e);
        if (marcas[e].nome == m[k]) {
            poe(inicio, fim);
        } else {
            poe(inicio, (inicio + fim) / 2);
            poe((inicio + fim) / 2, fim);
            ++k;
        }
        ++e;
    }
    // The engine starts a stop at its burst; the silence of its closure belongs to it too.
    const int pico = maiorAmplitude(x);
    for (size_t k = 0; k + 1 < fonemas.size(); ++k) {
        if (!oclusiva(m[k + 1])) continue;
        int64_t c = fonemas[k + 1].first;
        while (c - kQuadroFechamento > fonemas[k].first + kQuadroFechamento &&
               rms(x, c - kQuadroFechamento, kQuadroFechamento) < 0.05 * pico)
            c -= kQuadroFechamento;
        fonemas[k].second = fonemas[k + 1].first = c;
    }
    int64_t ini = 0, fr = 0, fim = 0;
    if (primeiro == "_") {
        fr = fonemas[0].first;
        ini = fr - kMeiaPausa;
        fim = (fonemas[0].first + fonemas[0].second) / 2;
    } else {
        const auto& a = fonemas[p.indice];
        ini = (a.first + a.second) / 2;
        fr = a.second;
        fim = segundo == "_" ? fr + kMeiaPausa
                             : (fonemas[p.indice + 1].first + fonemas[p.indice + 1].second) / 2;
    }
    // A phoneme the engine says in next to no time still gets 5 ms each side.
    ini = std::max<int64_t>(std::min(ini, fr - kMinimoLado), 0);
    fim = std::min<int64_t>(std::max(fim, fr + kMinimoLado), static_cast<int64_t>(x.size()));
    if (!(ini < fr && fr < fim)) {
        erro = "marcas de fonema impossíveis para " + nome;
        return std::nullopt;
    }
    DifoneVoz d;
    d.primeiro = primeiro;
    d.segundo = segundo;
    d.amostras.assign(x.begin() + ini, x.begin() + fim);
    d.fronteira = static_cast<uint32_t>(fr - ini);
    double periodo = periodoDominante(x, static_cast<int>(kTaxaBancoVoz));
    if (periodo <= 0) periodo = kPeriodoPadrao;
    d.marcas = marcasPitch(d.amostras, periodo, d.fronteira, sonoro(primeiro), sonoro(segundo));
    return d;
}

std::optional<BancoVoz> fazBancoVoz(const SintetizaFonemas& sintetiza, int taxa,
                                    std::span<const std::pair<std::string, std::string>> lista,
                                    std::string& erro) {
    BancoVoz banco;
    std::vector<double> periodos;
    for (const auto& [a, b] : lista) {
        auto d = fazDifone(sintetiza, taxa, a, b, erro);
        if (!d) return std::nullopt;
        for (size_t i = 1; i < d->marcas.size(); ++i)
            if (d->marcas[i].sonora && d->marcas[i - 1].sonora)
                periodos.push_back(d->marcas[i].posicao - d->marcas[i - 1].posicao);
        banco.difones.push_back(std::move(*d));
    }
    if (periodos.empty()) {
        erro = "nenhum difone saiu sonoro";
        return std::nullopt;
    }
    std::nth_element(periodos.begin(), periodos.begin() + periodos.size() / 2, periodos.end());
    banco.hertzBase = static_cast<uint32_t>(std::lround(kTaxaBancoVoz / periodos[periodos.size() / 2]));
    std::vector<std::vector<int16_t>> pecas;
    for (const DifoneVoz& d : banco.difones) pecas.push_back(d.amostras);
    const int nivel = nivelVoz(pecas);
    for (DifoneVoz& d : banco.difones) escalaPorNivel(d.amostras, kAlvoVoz, nivel, kJoelho, kPico);
    banco.ordena();
    return banco;
}
