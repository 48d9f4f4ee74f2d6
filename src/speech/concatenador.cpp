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
constexpr size_t kEsvai = 33;  // 3 ms: a sound cut short fades out over this many samples
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
    if (!parado_ && nivel_ > kCabecalho) toca();
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

void Concatenador::observaJuncoes(std::function<void(size_t amostra)> observador) {
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
        anunciaJuncao();
        acrescenta(onda.dados);
    } else if (saida_.tocaArquivo) {
        // Joined to the buffer it would play at the wrong speed: keep the order, play it apart.
        if (nivel_ > kCabecalho) toca();
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
    if (amostras >= static_cast<int>(kBlocoSilencio)) anunciaJuncao();
    for (int i = 0; i < amostras / static_cast<int>(kBlocoSilencio) && !parado_; ++i)
        acrescenta(kBloco);
}

// The last samples of the buffer, from `desde` at most, ramp down to silence.
void Concatenador::esvaiFim(size_t desde) {
    const size_t m = std::min(kEsvai, nivel_ - std::min(desde, nivel_));
    for (size_t j = 0; j < m; ++j) {
        uint8_t& a = buffer_[nivel_ - 1 - j];
        a = static_cast<uint8_t>(kSilencio + (a - kSilencio) * static_cast<int>(j) / static_cast<int>(m));
    }
}

void Concatenador::acrescentaRuido(int amostras) {
    std::vector<uint8_t> ruido(static_cast<size_t>(amostras));
    for (size_t i = 0; i < ruido.size(); ++i) {
        const int borda = static_cast<int>(std::min({i, ruido.size() - 1 - i, kEsvai}));
        ruido[i] = static_cast<uint8_t>(kSilencio + (static_cast<int>(88 + ruido_() % 80) - kSilencio) *
                                                        borda / static_cast<int>(kEsvai));
    }
    anunciaJuncao();
    acrescenta(ruido);
}

void Concatenador::acrescentaDifone(const Difone& difone, size_t amostras) {
    inicioPeca_ = nivel_;
    anunciaJuncao();
    size_t feitas = 0;
    while (feitas < amostras && abreEspaco(amostras - feitas)) {
        size_t cabe = std::min(amostras - feitas, kTamanhoBuffer - 1 - nivel_);
        size_t lidas = banco_.le(difone, feitas, std::span(buffer_).subspan(nivel_, cabe));
        nivel_ += lidas;
        feitas += lidas;
        if (lidas < cabe) break;  // the sample file shrank since it was opened
    }
    // A unit cut short (CORTEFON, a length factor) would end mid-sound: it fades out.
    if (feitas < difone.amostras) esvaiFim(inicioPeca_);
}

void Concatenador::anunciaJuncao() {
    if (juncoes_ && !parado_) juncoes_(tocadas_ + nivel_ - kCabecalho);
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
    if (!parado_ && nivel_ + n >= kTamanhoBuffer && nivel_ > kCabecalho) toca();
    return !parado_;
}

void Concatenador::toca() {
    if (saida_.teclaEsperando && saida_.teclaEsperando()) {
        parado_ = true;
    } else {
        std::vector<uint8_t> cabecalho =
            cabecalhoWave(kFormato, static_cast<uint32_t>(nivel_ - kCabecalho));
        std::copy(cabecalho.begin(), cabecalho.end(), buffer_.begin());
        if (saida_.tocaOnda) saida_.tocaOnda(std::span<const uint8_t>(buffer_.data(), nivel_));
    }
    tocadas_ += nivel_ - kCabecalho;
    nivel_ = kCabecalho;
    inicioPeca_ = kCabecalho;
}
