#include "speech/tts/mbrola/motorDifones.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

// The widest window: half of the longest period a mark may stand for. Samples further back
// than this from the next pulse can no longer change, so they are handed out.
constexpr int64_t kMaxJanela = 400;
constexpr int64_t kMinJanela = 8;
constexpr double kPeriodoSurdo = 160;  // 10 ms, where a piece has no marks
constexpr size_t kMaxNomeFonema = 8;

bool numero(std::string_view s, double& v) {
    const char* fim = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), fim, v);
    return ec == std::errc() && p == fim && std::isfinite(v);
}

std::vector<std::string_view> palavras(std::string_view linha) {
    std::vector<std::string_view> r;
    size_t i = 0;
    while (i < linha.size()) {
        while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
        const size_t ini = i;
        while (i < linha.size() && linha[i] != ' ' && linha[i] != '\t') ++i;
        if (i > ini) r.push_back(linha.substr(ini, i - ini));
    }
    return r;
}

}  // namespace

std::optional<LinhaFonema> interpretaLinhaFonema(std::string_view linha, std::string& erro) {
    while (!linha.empty() && (linha.back() == '\r' || linha.back() == '\n')) linha.remove_suffix(1);
    const std::vector<std::string_view> p = palavras(linha);
    LinhaFonema r;
    if (p.empty() || p[0][0] == ';') return r;
    if (p[0] == "#" && p.size() == 1) {
        r.tipo = LinhaFonema::Tipo::descarga;
        return r;
    }
    if (p[0].size() > kMaxNomeFonema) {
        erro = "nome de fonema longo demais";
        return std::nullopt;
    }
    if (p.size() < 2 || !numero(p[1], r.duracaoMs) || r.duracaoMs < 0) {
        erro = "duração ausente ou inválida";
        return std::nullopt;
    }
    if (p.size() % 2 != 0) {
        erro = "par de pitch incompleto";
        return std::nullopt;
    }
    for (size_t i = 2; i + 1 < p.size(); i += 2) {
        double pos = 0, hz = 0;
        if (!numero(p[i], pos) || !numero(p[i + 1], hz) || hz <= 0) {
            erro = "par de pitch inválido";
            return std::nullopt;
        }
        r.alvos.emplace_back(std::clamp(pos, 0.0, 100.0), std::clamp(hz, kHertzMinimo, kHertzMaximo));
    }
    std::stable_sort(r.alvos.begin(), r.alvos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    r.tipo = LinhaFonema::Tipo::fonema;
    r.fonema = std::string(p[0]);
    r.duracaoMs = std::min(r.duracaoMs, kDuracaoMaximaMs);
    return r;
}

bool MotorDifones::escreve(std::string_view linha, std::string& erro) {
    auto l = interpretaLinhaFonema(linha, erro);
    if (!l) return false;
    if (l->tipo == LinhaFonema::Tipo::descarga) descarrega();
    if (l->tipo != LinhaFonema::Tipo::fonema) return true;
    if (auto it = nomes_.find(l->fonema); it != nomes_.end()) l->fonema = it->second;
    if (!semErro_ && !banco_.conhece(l->fonema)) {
        erro = "fonema desconhecido: " + l->fonema;
        return false;
    }
    Fonema f{l->fonema, fim_, std::llround(l->duracaoMs * banco_.taxa / 1000.0)};
    for (const auto& [pos, hz] : l->alvos) {
        const double t = static_cast<double>(f.inicio) + pos / 100.0 * static_cast<double>(f.duracao);
        if (!pitch_.empty() && t < pitch_.back().first) continue;  // keeps time order
        pitch_.emplace_back(t, hz);
    }
    fim_ += f.duracao;
    fonemas_.push_back(std::move(f));
    // A diphone waits for the phoneme after it, so the pitch across it is known.
    if (fonemas_.size() >= 2) sintetizaAte(fonemas_.size() - 1);
    return true;
}

void MotorDifones::descarrega() {
    if (!fonemas_.empty()) {
        sintetizaAte(fonemas_.size());
        const Fonema& u = fonemas_.back();
        sintetizaDifone(u.nome, "_", u.inicio + u.duracao / 2, fim_, fim_);
    }
    liberaAte(fim_);
    soma_.clear();
    base_ = fim_;
    proximaMarca_ = static_cast<double>(fim_);
    fonemas_.clear();
    pitch_.clear();
    difonesFeitos_ = 0;
}

size_t MotorDifones::le(int16_t* destino, size_t max) {
    const size_t n = std::min(max, prontas_.size());
    std::copy_n(prontas_.begin(), n, destino);
    prontas_.erase(prontas_.begin(), prontas_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void MotorDifones::reinicia() {
    fonemas_.clear();
    pitch_.clear();
    difonesFeitos_ = 0;
    fim_ = 0;
    proximaMarca_ = 0;
    soma_.clear();
    base_ = 0;
    prontas_.clear();
    trilhaF0_.clear();
}

void MotorDifones::sintetizaAte(size_t k) {
    for (; difonesFeitos_ < k; ++difonesFeitos_) {
        const Fonema& b = fonemas_[difonesFeitos_];
        if (difonesFeitos_ == 0) {
            sintetizaDifone("_", b.nome, b.inicio, b.inicio, b.inicio + b.duracao / 2);
        } else {
            const Fonema& a = fonemas_[difonesFeitos_ - 1];
            sintetizaDifone(a.nome, b.nome, a.inicio + a.duracao / 2, b.inicio,
                            b.inicio + b.duracao / 2);
        }
    }
    liberaAte(static_cast<int64_t>(proximaMarca_) - kMaxJanela - 1);
}

// The window's weights from its centre out (it is symmetric), worked out once per width:
// the cosine was most of the synthesis time.
const std::vector<double>& MotorDifones::janela(int64_t w) {
    const auto largura = static_cast<size_t>(w);
    if (janelas_.size() <= largura) janelas_.resize(largura + 1);
    std::vector<double>& j = janelas_[largura];
    if (j.empty())
        for (int64_t i = 0; i < w; ++i)
            j.push_back(0.5 * (1 + std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(w))));
    return j;
}

double MotorDifones::hertzEm(double t) const {
    if (pitch_.empty()) return banco_.hertzBase;
    auto it = std::lower_bound(pitch_.begin(), pitch_.end(), t,
                               [](const auto& p, double v) { return p.first < v; });
    if (it == pitch_.begin()) return it->second;
    if (it == pitch_.end()) return pitch_.back().second;
    const auto& [ta, ha] = *(it - 1);
    const auto& [tb, hb] = *it;
    return tb > ta ? ha + (hb - ha) * (t - ta) / (tb - ta) : hb;
}

// The piece of diphone a-b fills the output from t0 to t1: its first phoneme's half from t0
// to tm, its second's from tm to t1. Each pulse of the output takes the analysis pulse
// nearest the time it maps to, windowed over one period each side.
void MotorDifones::sintetizaDifone(const std::string& a, const std::string& b, int64_t t0,
                                   int64_t tm, int64_t t1) {
    const size_t precisa = static_cast<size_t>(std::max<int64_t>(0, t1 + kMaxJanela + 1 - base_));
    if (soma_.size() < precisa) soma_.resize(precisa, 0.0f);
    const DifoneVoz* d = banco_.procura(a, b);
    if (!d || t1 <= t0) {
        proximaMarca_ = std::max(proximaMarca_, static_cast<double>(t1));
        return;
    }
    const double fr = d->fronteira, n = static_cast<double>(d->amostras.size());
    const auto& marcas = d->marcas;
    while (proximaMarca_ < static_cast<double>(t1)) {
        const double t = proximaMarca_;
        double ta = t < tm ? fr * (t - t0) / static_cast<double>(tm - t0)
                           : fr + (n - fr) * (t - tm) / std::max<double>(1, t1 - tm);
        ta = std::clamp(ta, 0.0, n - 1);
        double centro = ta, pa = kPeriodoSurdo;
        bool sonora = false;
        if (!marcas.empty()) {
            auto it = std::lower_bound(marcas.begin(), marcas.end(), ta,
                                       [](const MarcaPitch& m, double v) { return m.posicao < v; });
            if (it == marcas.end() || (it != marcas.begin() && ta - (it - 1)->posicao < it->posicao - ta))
                --it;
            const size_t j = static_cast<size_t>(it - marcas.begin());
            centro = it->posicao;
            sonora = it->sonora;
            const double antes = j > 0 ? centro - marcas[j - 1].posicao : 0;
            const double depois = j + 1 < marcas.size() ? marcas[j + 1].posicao - centro : 0;
            if (antes > 0 || depois > 0)
                pa = antes > 0 && depois > 0 ? (antes + depois) / 2 : std::max(antes, depois);
        }
        const double ps = sonora ? banco_.taxa / hertzEm(t) : pa;
        if (guardaF0_ && sonora) trilhaF0_.emplace_back(t, banco_.taxa / std::max(1.0, ps));
        auto w = std::clamp<int64_t>(std::llround(sonora ? std::min(pa, ps) : pa), kMinJanela, kMaxJanela);
        auto c = static_cast<int64_t>(centro);
        // A window must lie inside the piece: one cut by the piece's edge would start or end
        // on a step, a click. A mark too near an edge gives way to its neighbour inward, and
        // what still overhangs narrows the window.
        const auto total = static_cast<int64_t>(n);
        if (c - w < 0 || c + w > total) {
            auto it = std::lower_bound(marcas.begin(), marcas.end(), static_cast<uint32_t>(c),
                                       [](const MarcaPitch& m, uint32_t v) { return m.posicao < v; });
            if (c - w < 0 && it != marcas.end() && it + 1 != marcas.end() && (it + 1)->posicao + w <= total)
                c = (it + 1)->posicao;
            else if (c + w > total && it != marcas.begin() && (it - 1)->posicao >= w)
                c = (it - 1)->posicao;
            w = std::max<int64_t>(1, std::min({w, c, total - c}));
        }
        const int64_t saida = std::llround(t) - base_;
        const std::vector<double>& jan = janela(w);
        for (int64_t i = -w + 1; i < w; ++i) {
            const int64_t s = c + i, o = saida + i;
            if (s < 0 || s >= static_cast<int64_t>(n) || o < 0 || o >= static_cast<int64_t>(soma_.size()))
                continue;
            soma_[static_cast<size_t>(o)] +=
                static_cast<float>(d->amostras[static_cast<size_t>(s)] * jan[static_cast<size_t>(std::abs(i))]);
        }
        proximaMarca_ += std::max(1.0, ps);
    }
}

void MotorDifones::liberaAte(int64_t t) {
    while (base_ < t && !soma_.empty()) {
        const double v = std::round(soma_.front() * volume_);
        prontas_.push_back(static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0)));
        soma_.pop_front();
        ++base_;
    }
    // Silence asked for beyond what the buffer holds (a piece with no diphone).
    while (base_ < t && base_ < fim_) {
        prontas_.push_back(0);
        ++base_;
    }
}
