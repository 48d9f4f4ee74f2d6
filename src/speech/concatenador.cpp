#include "speech/concatenador.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/audio.h"
#include "platform/caminhos.h"

namespace {

constexpr size_t kBlocoSilencio = 100;
constexpr uint8_t kSilencio = 128;
constexpr int kAmostrasRuido = 300;
constexpr size_t kEsvai = 33;  // 3 ms: a sound fades in from a pause and out into one
constexpr size_t kFunde = 44;  // 4 ms: neighbouring units cross over this many samples
constexpr size_t kMaxLetraNaFrase = 9;  // a '/' inside a shorter unit does not end it
constexpr double kFatorGlide = 0.6;
constexpr double kFatorAntesDoS = 0.7;
constexpr double kFatorFaltante = 0.9;
// Letter recordings are short; anything bigger than this is not one.
constexpr uintmax_t kMaxGravacaoLetra = 16u << 20;

const FormatoAudio kFormato{1, Concatenador::kTaxa, 8};

// In this step only lower-case letters are consonants, and w, y are glides counted as vowels.
bool consoante(char c) {
    return std::string_view("bcdfgjklmnpqrstvxz").find(c) != std::string_view::npos;
}
bool vogal(char c) {
    return c != 0 && std::string_view("aeiouAEIOUwy").find(c) != std::string_view::npos;
}
bool vogalNoNome(char c) {
    return c != 0 && std::string_view("AEIOUWY").find(c) != std::string_view::npos;
}
bool vogalTonica(char c) {
    return c != 0 && std::string_view("AEIOU").find(c) != std::string_view::npos;
}

// Consonant pairs that form one sound and stay together at the start of a unit.
bool grupoInicial(std::string_view u) {
    std::string_view par = u.substr(0, 2);
    return par == "dj" || par == "nh" || par == "rr" || par == "ks" || u.substr(0, 3) == "tch";
}

bool terminaEm(std::string_view s, std::string_view fim) {
    return s.size() >= fim.size() && s.substr(s.size() - fim.size()) == fim;
}

int pausaDe(std::string_view unidade) {
    if (unidade == "_,") return kPausaVirgula;
    if (unidade == "_.") return kPausaPonto;
    if (unidade == "_:") return kPausaDoisPontos;
    if (unidade == "_;") return kPausaPontoVirgula;
    return -1;
}

std::vector<uint8_t> leArquivoPequeno(const std::filesystem::path& caminho) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(caminho, ec) ||
        std::filesystem::file_size(caminho, ec) > kMaxGravacaoLetra || ec)
        return {};
    std::ifstream f(caminho, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

Concatenador::Concatenador(BancoDifones banco, std::filesystem::path dirLetras, SaidaSom saida)
    : banco_(std::move(banco)),
      dirLetras_(std::move(dirLetras)),
      saida_(std::move(saida)),
      buffer_(kTamanhoBuffer) {}

void Concatenador::mudaCortes(const Cortes& cortes) {
    cortes_.corteFon = std::max(cortes.corteFon, 0);
    cortes_.sobraFon = std::max(cortes.sobraFon, 0);
    cortes_.interPal = std::max(cortes.interPal, 0);
}

void Concatenador::fala(std::string_view fonetica) {
    nivel_ = kCabecalho;
    tocadas_ = 0;
    somNoFim_ = false;
    prolongamento_.clear();
    tonica_ = kInicioPalavra;
    parado_ = false;
    size_t pos = 0;
    while (pos < fonetica.size() && !parado_) {
        if (saida_.teclaEsperando && saida_.teclaEsperando()) {
            parado_ = true;
            break;
        }
        std::string unidade = leUnidade(fonetica, pos);
        if (int pausa = pausaDe(unidade); pausa >= 0)
            acrescentaSilencio(pausa);
        else
            divide(unidade, 1.0);
        bool fimDePalavra = pos > 0 && fonetica[pos - 1] != ' ';
        if (pos < fonetica.size() && fimDePalavra) acrescentaSilencio(cortes_.interPal);
    }
    if (!parado_) esvaiFim();
    if (!parado_ && nivel_ > kCabecalho) toca(false);
    nivel_ = kCabecalho;
}

// One unit from `pos`: '[' starts a word; a blank, ']' or (once the unit holds 9 characters)
// '/' ends it and is consumed; "_c" is kept as a letter; at most 40 characters are kept.
std::string Concatenador::leUnidade(std::string_view f, size_t& pos) {
    if (pos < f.size() && f[pos] == '[') {
        tonica_ = kInicioPalavra;
        ++pos;
    }
    std::string u;
    while (pos < f.size()) {
        char c = f[pos++];
        if (c == ' ' || c == ']') break;
        if (c == '/') {
            if (u.size() < kMaxLetraNaFrase) continue;
            break;
        }
        if (c == '_' && pos < f.size()) {
            if (u.size() + 2 <= kMaxUnidade) {
                u += '_';
                u += f[pos];
            }
            ++pos;
        } else if (u.size() < kMaxUnidade) {
            u += c;
        }
    }
    return u;
}

// Splits a unit into the pieces that are played; `fator` scales their length.
void Concatenador::divide(std::string_view u, double fator) {
    if (u.empty() || parado_) return;
    size_t n = u.size();
    if (u[0] == '_' && n >= 2) {  // a letter read from its recording, then the rest
        tocaPedaco(u.substr(0, 2), fator);
        divide(u.substr(2), fator);
    } else if (n == 1) {
        tocaPedaco(u, fator);
    } else if (n > 2 && consoante(u[0]) && consoante(u[1]) && !grupoInicial(u)) {
        tocaPedaco(u.substr(0, 1), 1.0);
        divide(u.substr(1), fator);
    } else if (terminaEm(u, "rr")) {
        divide(u.substr(0, n - 2), fator);
        tocaPedaco("rr", fator);
    } else if (u.back() == 's') {  // before the general final consonant, or it is never reached
        divide(u.substr(0, n - 1), kFatorAntesDoS);
        tocaPedaco("s", fator);
    } else if (consoante(u.back())) {
        divide(u.substr(0, n - 1), fator);
        tocaPedaco(u.substr(n - 1), fator);
    } else if (!divideGlide(u, fator)) {
        tocaPedaco(u, fator);
    }
}

// A unit ending in the glide w or y after a vowel or after a nasal/closed mark.
bool Concatenador::divideGlide(std::string_view u, double fator) {
    size_t n = u.size();
    char glide = u.back();
    if ((glide != 'w' && glide != 'y') || n < 3) return false;
    char antes = u[n - 2];
    if (vogal(antes)) {
        divide(u.substr(0, n - 1), kFatorGlide);
        tocaPedaco(u.substr(n - 2), fator);
        return true;
    }
    if (antes != '^' && antes != '~') return false;
    // The mark moves behind the glide: "a~w" is played as "aw~".
    if (n == 3) {
        tocaPedaco(std::string{u[0], u[2], u[1]}, fator);
        return true;
    }
    std::string parte(u.substr(0, n - 2));
    parte += antes == '~' ? '^' : antes;
    divide(parte, kFatorGlide);
    tocaPedaco(std::string{u[n - 3], glide, antes}, fator);
    return true;
}

// A piece is a letter ("_c") or diphone names: '^' closes a name with CIRC and '~' with TIL.
void Concatenador::tocaPedaco(std::string_view p, double fator) {
    if (p.empty() || parado_) return;
    if (p[0] == '_') {
        if (p.size() >= 2) tocaLetra(static_cast<unsigned char>(p[1]));
        return;
    }
    if (std::any_of(p.begin(), p.end(), vogalTonica)) tonica_ = kTonica;
    std::string nome = "$";
    for (char c : p) {
        if (c == '^' || c == '~') {
            pedeDifone(nome + (c == '^' ? "CIRC" : "TIL"), fator);
            nome = "$";
        } else {
            nome += c;
        }
    }
    if (nome.size() > 1) pedeDifone(nome, fator);
    if (tonica_ == kTonica) tonica_ = kNormal;
}

// The name as the bank is searched for it: upper case, at most kMaxNome characters.
std::string Concatenador::nomeNoBanco(std::string nome) {
    if (nome.size() > kMaxNome) nome.resize(kMaxNome);
    for (char& c : nome)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return nome;
}

void Concatenador::observaNomes(std::function<void(const std::string&)> observador) {
    observador_ = std::move(observador);
}

void Concatenador::observaJuncoes(std::function<void(const Juncao&)> observador) {
    juncoes_ = std::move(observador);
}

// A name a piece asks for, before any replacement of a missing one.
void Concatenador::pedeDifone(std::string nome, double fator) {
    if (parado_) return;
    if (observador_) observador_(nomeNoBanco(nome));
    tocaDifone(std::move(nome), fator);
}

void Concatenador::tocaDifone(std::string nome, double fator) {
    if (parado_) return;
    nome = nomeNoBanco(std::move(nome));
    const Difone* d = banco_.procura(nome);
    if (!d) {
        tocaFaltante(nome, fator);
        return;
    }
    size_t amostras = d->amostras;
    if (tonica_ != kTonica && nome.size() >= 3) amostras = amostrasCortadas(amostras);
    auto lidas =
        static_cast<size_t>(std::max(0L, std::lround(static_cast<double>(amostras) * fator)));
    acrescentaDifone(*d, std::min<size_t>(lidas, d->amostras));
}

// A name missing from the bank is made of smaller ones; each call works on a shorter name.
void Concatenador::tocaFaltante(const std::string& nome, double fator) {
    size_t n = nome.size();
    if (n < 3) {
        acrescentaRuido(kAmostrasRuido);
    } else if (vogalNoNome(nome.back())) {
        tocaDifone(nome.substr(0, n - 1), kFatorFaltante * fator);
        tocaDifone(std::string("$") + nome.back(), fator);
    } else if (terminaEm(nome, "CIRC") && n >= 7) {
        tocaDifone(nome.substr(0, n - 5), kFatorFaltante * fator);
        tocaDifone("$" + nome.substr(n - 5), fator);
    } else if (terminaEm(nome, "TIL")) {
        std::string resto = nome.substr(0, n - 3);
        if (resto.back() == 'I' || resto.back() == 'U') {
            tocaDifone(resto, kFatorFaltante * fator);
        } else {
            tonica_ = kTonica;
            tocaDifone(resto + "CIRC", kFatorFaltante * fator);
        }
        tonica_ = kInicioPalavra;
        tocaDifone("$NN", kFatorFaltante);
    }
}

void Concatenador::tocaLetra(unsigned char codigo) {
    std::filesystem::path arquivo =
        achaArquivo(dirLetras_ / ("_" + std::to_string(codigo) + ".wav"));
    std::vector<uint8_t> bytes = leArquivoPequeno(arquivo);
    OndaPcm onda;
    if (bytes.empty() || !leOndaPcm(bytes, onda)) return;  // a missing recording adds nothing
    if (onda.formato == kFormato) {
        acrescentaInteiro(onda.dados, Juncao::Peca::Letra);
    } else if (saida_.tocaArquivo) {
        // Joined to the buffer it would play at the wrong speed: keep the order, play it apart.
        esvaiFim();
        if (nivel_ > kCabecalho) toca(false);
        if (!parado_) saida_.tocaArquivo(arquivo);
    }
}

size_t Concatenador::amostrasCortadas(size_t amostras) const {
    auto corte = static_cast<size_t>(cortes_.corteFon);
    auto sobra = static_cast<size_t>(cortes_.sobraFon);
    size_t resto = amostras > corte ? amostras - corte : 0;
    return resto < sobra ? std::min(amostras, sobra) : resto;
}

void Concatenador::acrescentaSilencio(int amostras) {
    static constexpr auto kBloco = [] {
        std::array<uint8_t, kBlocoSilencio> b{};
        b.fill(kSilencio);
        return b;
    }();
    if (amostras < static_cast<int>(kBlocoSilencio)) return;  // the sounds stay joined
    esvaiFim();
    anunciaJuncao(Juncao::Peca::Silencio, nivel_);
    for (int i = 0; i < amostras / static_cast<int>(kBlocoSilencio) && !parado_; ++i)
        acrescenta(kBloco);
}

// A sound that meets a pause (or the end) ramps down to silence over its last samples.
void Concatenador::esvaiFim() {
    if (somNoFim_) {
        const size_t m = std::min(kEsvai, nivel_ - kCabecalho);
        for (size_t j = 0; j < m; ++j) {
            uint8_t& a = buffer_[nivel_ - 1 - j];
            a = static_cast<uint8_t>(kSilencio + (a - kSilencio) * static_cast<int>(j) / static_cast<int>(m));
        }
    }
    somNoFim_ = false;
    prolongamento_.clear();
}

void Concatenador::acrescentaRuido(int amostras) {
    std::vector<uint8_t> ruido(static_cast<size_t>(amostras));
    for (size_t i = 0; i < ruido.size(); ++i) {
        const int borda = static_cast<int>(std::min({i, ruido.size() - 1 - i, kEsvai}));
        ruido[i] = static_cast<uint8_t>(kSilencio + (static_cast<int>(88 + ruido_() % 80) - kSilencio) *
                                                        borda / static_cast<int>(kEsvai));
    }
    acrescentaInteiro(ruido, Juncao::Peca::Ruido);
}

// The first `amostras` samples of a unit, and the few after them when it was cut short:
// the next unit fades in over those, so the cut is not heard and the length stays as cut.
void Concatenador::acrescentaDifone(const Difone& difone, size_t amostras) {
    const size_t alem = std::min<size_t>(kFunde, difone.amostras - std::min<size_t>(amostras, difone.amostras));
    peca_.resize(amostras + alem);
    peca_.resize(banco_.le(difone, 0, peca_));  // less when the sample file shrank
    const size_t proprias = std::min(amostras, peca_.size());
    if (proprias == 0 || parado_) return;
    const bool depoisDeSom = somNoFim_;
    size_t sobre = 0;  // samples laid over the end of the buffer
    std::span<uint8_t> som = std::span(peca_).first(proprias);
    if (!somNoFim_) {
        sobe(som);
    } else if (!prolongamento_.empty()) {
        funde(prolongamento_, som.first(std::min(prolongamento_.size(), som.size())));
    } else {
        // The unit before ended whole: the two overlap at its end.
        sobre = std::min({kFunde, som.size(), nivel_ - kCabecalho});
        std::span<uint8_t> fim = std::span(buffer_).subspan(nivel_ - sobre, sobre);
        std::vector<uint8_t> antes(fim.begin(), fim.end());
        std::copy_n(som.begin(), sobre, fim.begin());
        funde(antes, fim);
    }
    anunciaJuncao(Juncao::Peca::Difone, nivel_ - sobre, depoisDeSom, difone.nome);
    somNoFim_ = true;  // a buffer played on from here keeps this unit's end for the next
    prolongamento_.clear();
    acrescenta(som.subspan(sobre));
    prolongamento_.assign(peca_.begin() + static_cast<std::ptrdiff_t>(proprias), peca_.end());
}

// A letter recording or a noise burst starts and ends at rest by itself: the sound before
// it fades out, and the one after it fades in.
void Concatenador::acrescentaInteiro(std::span<const uint8_t> dados, Juncao::Peca peca) {
    const bool depoisDeSom = somNoFim_;
    esvaiFim();
    anunciaJuncao(peca, nivel_, depoisDeSom);
    acrescenta(dados);
}

// The start of a sound after a pause ramps up from silence.
void Concatenador::sobe(std::span<uint8_t> som) {
    const size_t m = std::min(kEsvai, som.size());
    for (size_t j = 0; j < m; ++j)
        som[j] = static_cast<uint8_t>(kSilencio + (som[j] - kSilencio) * static_cast<int>(j) / static_cast<int>(m));
}

// Crossfade: `som` fades in over `saindo`, which fades out beneath it.
void Concatenador::funde(std::span<const uint8_t> saindo, std::span<uint8_t> som) {
    const int n = static_cast<int>(std::min(saindo.size(), som.size())) + 1;
    for (int i = 1; i < n; ++i) {
        const int velho = saindo[static_cast<size_t>(i - 1)] - kSilencio;
        const int novo = som[static_cast<size_t>(i - 1)] - kSilencio;
        const int soma = velho * (n - i) + novo * i;
        som[static_cast<size_t>(i - 1)] = static_cast<uint8_t>(
            kSilencio + (soma >= 0 ? (soma + n / 2) / n : -((-soma + n / 2) / n)));
    }
}

void Concatenador::anunciaJuncao(Juncao::Peca peca, size_t nivel, bool depoisDeSom,
                                 const std::string& nome) {
    if (juncoes_ && !parado_) juncoes_({tocadas_ + nivel - kCabecalho, peca, depoisDeSom, nome});
}

void Concatenador::acrescenta(std::span<const uint8_t> dados) {
    while (!dados.empty() && abreEspaco(dados.size())) {
        size_t cabe = std::min(dados.size(), kTamanhoBuffer - 1 - nivel_);
        std::memcpy(buffer_.data() + nivel_, dados.data(), cabe);
        nivel_ += cabe;
        dados = dados.subspan(cabe);
    }
}

bool Concatenador::abreEspaco(size_t n) {
    if (!parado_ && nivel_ + n >= kTamanhoBuffer && nivel_ > kCabecalho + kFunde) toca(true);
    return !parado_;
}

// Plays what the buffer holds. With `continua` the speech goes on at once: the wave is
// queued without waiting, and the last samples of a sound stay behind for the next unit to
// be joined over them.
void Concatenador::toca(bool continua) {
    const size_t guarda = continua && somNoFim_ ? std::min(kFunde, nivel_ - kCabecalho) : 0;
    const size_t fim = nivel_ - guarda;
    if (saida_.teclaEsperando && saida_.teclaEsperando()) {
        parado_ = true;
    } else {
        std::vector<uint8_t> cabecalho = cabecalhoWave(kFormato, static_cast<uint32_t>(fim - kCabecalho));
        std::copy(cabecalho.begin(), cabecalho.end(), buffer_.begin());
        const std::span<const uint8_t> onda(buffer_.data(), fim);
        if (continua && saida_.enfileiraOnda)
            saida_.enfileiraOnda(onda);
        else if (saida_.tocaOnda)
            saida_.tocaOnda(onda);
    }
    tocadas_ += fim - kCabecalho;
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(fim), guarda,
                buffer_.begin() + static_cast<std::ptrdiff_t>(kCabecalho));
    nivel_ = kCabecalho + guarda;
}
