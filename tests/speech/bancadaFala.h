// The speech tests' fixtures. Small voice files made inside the tests (diphone index and
// samples, letter recordings, rules) and a checker for the sample runs the synthesizer
// produces; a speech server that notes what it is asked; and the speech front end on a
// headless console, with recordings that each hold one sample value of their own, so what
// reaches the (fake) sound device can be read back as the names of the recordings played,
// the clicks, the beeps, the synthesizer's phrases and the pauses between them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "apoio.h"
#include "audioFalso.h"
#include "console/SnCrt.h"
#include "console/teclaFila.h"
#include "platform/codigos.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/fala.h"
#include "speech/regras.h"
#include "speech/servidorFala.h"

namespace bancada {


inline Regras regrasDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaRegras(in);
}

inline Excecoes excecoesDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaExcecoes(in);
}

// One 15-byte index record.
inline void acrescentaRegistro(std::vector<uint8_t>& ind, std::string_view nome, uint16_t amostras,
                               uint32_t deslocamento, uint8_t tamanhoNome = 0) {
    ind.push_back(tamanhoNome ? tamanhoNome : static_cast<uint8_t>(nome.size()));
    for (size_t i = 0; i < 8; ++i)
        ind.push_back(i < nome.size() ? static_cast<uint8_t>(nome[i]) : 0);
    ind.push_back(static_cast<uint8_t>(amostras));
    ind.push_back(static_cast<uint8_t>(amostras >> 8));
    for (int i = 0; i < 4; ++i) ind.push_back(static_cast<uint8_t>(deslocamento >> (8 * i)));
}

// A diphone whose samples all hold `valor`, so that it can be recognized in the output.
struct DifoneTeste {
    std::string nome;
    uint16_t amostras;
    uint8_t valor;
};

// Writes BANCO.IND and BANCO.DIF into `dir`, the records in the order given.
inline void escreveBanco(const std::filesystem::path& dir, const std::string& banco,
                         const std::vector<DifoneTeste>& difones) {
    std::vector<uint8_t> ind, dif;
    for (const DifoneTeste& d : difones) {
        acrescentaRegistro(ind, d.nome, d.amostras, static_cast<uint32_t>(dif.size()));
        dif.insert(dif.end(), d.amostras, d.valor);
    }
    gravaArquivoTeste(dir / (banco + ".IND"), ind);
    gravaArquivoTeste(dir / (banco + ".DIF"), dif);
}

// An expected run of output samples: a diphone's value, silence (128), noise, which is
// 88 plus a value below 80 and not all silence, or a ramp: the fade of a sound into a pause
// (33 samples from the value before them down to silence), the fade out of a pause (33
// samples from silence up to the value after them) and the crossfade that joins two units
// (from the value before to the value after), each step by step.
constexpr int kRuido = -1;
constexpr int kEsvai = -2;
constexpr int kSobe = -3;
constexpr int kFunde = -4;
struct Trecho {
    int valor;  // 0..255, kRuido or a ramp
    size_t amostras;
};
inline Trecho silencio(size_t n) { return {128, n}; }
inline Trecho ruido(size_t n) { return {kRuido, n}; }
inline Trecho esvaindo() { return {kEsvai, 33}; }
inline Trecho subindo() { return {kSobe, 33}; }
inline Trecho fundindo(size_t n = 44) { return {kFunde, n}; }

// Whether the samples go from `de` towards `para` without a step back, a jump or
// overshooting, reaching `para` at the end when `chega`.
inline bool rampa(std::vector<uint8_t>::const_iterator ini, std::vector<uint8_t>::const_iterator fim,
                  int de, int para, bool chega) {
    const int menor = std::min(de, para), maior = std::max(de, para);
    int antes = de;
    for (auto i = ini; i != fim; ++i) {
        if (*i < menor || *i > maior || std::abs(*i - antes) > 8) return false;
        if ((para - de) * (*i - antes) < 0) return false;
        antes = *i;
    }
    return ini == fim || !chega || *(fim - 1) == para;
}

inline ::testing::AssertionResult confere(const std::vector<uint8_t>& amostras,
                                          const std::vector<Trecho>& esperado) {
    size_t total = 0;
    for (const Trecho& t : esperado) total += t.amostras;
    if (total != amostras.size())
        return ::testing::AssertionFailure()
               << "expected " << total << " samples, got " << amostras.size();
    size_t p = 0;
    for (size_t k = 0; k < esperado.size(); ++k) {
        const Trecho& t = esperado[k];
        const auto ini = amostras.begin() + static_cast<std::ptrdiff_t>(p);
        const auto fim = ini + static_cast<std::ptrdiff_t>(t.amostras);
        const bool ok =
            t.valor == kRuido   ? std::all_of(ini, fim, [](int a) { return a >= 88 && a < 168; }) &&
                                      std::any_of(ini, fim, [](int a) { return a != 128; })
            : t.valor == kEsvai ? p > 0 && rampa(ini, fim, amostras[p - 1], 128, true)
            : t.valor == kSobe  ? fim != amostras.end() && *ini == 128 &&
                                      rampa(ini, fim, 128, *fim, false)
            : t.valor == kFunde ? p > 0 && fim != amostras.end() &&
                                      rampa(ini, fim, amostras[p - 1], *fim, false)
                                : std::all_of(ini, fim, [&](int a) { return a == t.valor; });
        if (!ok) return ::testing::AssertionFailure() << "run " << k << " (value " << t.valor << ")";
        p += t.amostras;
    }
    return ::testing::AssertionSuccess();
}


// What a speech server was asked. It opens unless `abre` is false or its type is
// `tipoRecusado`; after each text it says it is speaking `falaPor` more times; with `cai`
// it goes away taking the next text.
struct RegistroServidor {
    int aberturas = 0, tipo = -1, voz = -1, taxa = -1, tom = -1, paradas = 0, fechados = 0;
    int falaPor = 0, falandoAinda = 0, tipoRecusado = -1;
    std::vector<std::string> textos{};
    bool abre = true, cai = false, caiu = false;
    std::function<void()> aoFalar{};
};

class ServidorFalso : public ServidorFala {
  public:
    ServidorFalso(RegistroServidor& r, int tipo) : r_(r), tipo_(tipo) {}
    bool abre(int voz, int taxa, int tom) override {
        ++r_.aberturas;
        if (!r_.abre || tipo_ == r_.tipoRecusado) return false;
        r_.tipo = tipo_, r_.voz = voz, r_.taxa = taxa, r_.tom = tom;
        return true;
    }
    void fala(std::string_view t) override {
        r_.textos.emplace_back(t);
        r_.falandoAinda = r_.cai ? 0 : r_.falaPor;
        r_.caiu = r_.cai;
        if (r_.aoFalar) r_.aoFalar();
    }
    bool disponivel() const override { return !r_.caiu; }
    bool falando() override { return r_.falandoAinda > 0 && r_.falandoAinda--; }
    void para() override { ++r_.paradas; }
    void fecha() override { ++r_.fechados; }

  private:
    RegistroServidor& r_;
    int tipo_;
};

// Every server the front end makes is a ServidorFalso noting into `r`.
inline FabricaServidores fabricaFalsa(RegistroServidor& r) {
    return [&r](int tipo, const AmbienteServidor&) { return std::make_unique<ServidorFalso>(r, tipo); };
}


using Bytes = std::vector<uint8_t>;

struct FimDoPrograma {};

constexpr FormatoAudio kMono8{1, 11025, 8};
constexpr uint8_t kValorDifone = 100;  // the synthesizer's diphones

class Bancada : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* d : {"letras", "mensagens", "difones", "raiz", "win"})
            std::filesystem::create_directories(dir_.caminho() / d);
        iniBase_ = "[TRADUTOR]\nDIRLETRAS=" + (dir_.caminho() / "letras").string() +
                   "\nDIRDIFONES=" + (dir_.caminho() / "difones").string() +
                   "\n[SINTETIZADOR]\nCORTEFON3=0\nINTERPAL3=0\n";
        escreveVoz();
    }

    // The recordings of the characters, words and tones the tests use.
    void escreveVoz(size_t amostras = 20) {
        valores_.clear();
        proximo_ = 1;
        for (int c : {1, 32, 40, 41, 44, 45, 46, 47, 58, 61, 87, 98, 119, 120, 48, 49, 50, 51,
                      52, 53, 54, 55, 56, 57})  // and the digits
            grava(std::string("_").append(std::to_string(c)), amostras);
        for (const char* p :
             {"_zero",    "_um",      "_uma",     "_dois",  "_tres",    "_cinco",   "_seis",
              "_sete",    "_nove",    "_dezesse", "_vinte", "_cinquen", "_noventa", "_cento",
              "_quatroc", "_novecen", "_mil",     "_e",     "_MENOS",   "_hora",    "_minuto",
              "dtmf_1",   "dtmf_2",   "dtmf_X",   "dtmf_#"})
            grava(p, amostras);
    }

    // `amostras` samples of a value no other recording has, then one of silence, so that
    // joined words stay apart. Values avoid silence, noise and the click (88 to 187).
    void grava(const std::string& nome, size_t amostras) {
        const uint8_t valor = static_cast<uint8_t>(proximo_ <= 87 ? proximo_ : proximo_ + 100);
        ++proximo_;
        valores_[valor] = nome;
        Bytes dados(amostras, valor);
        dados.push_back(128);
        gravaArquivoTeste(dir_.caminho() / "letras" / (nome + ".wav"), ondaTeste(kMono8, dados));
    }

    // A rule for each letter and a diphone for each letter, so that vowel words sound; the
    // level names the bank (the base INI ends in its [SINTETIZADOR] section).
    void escreveSintetizador() {
        iniBase_ += "DIFONES3=BANCO\n";
        std::string regras;
        std::vector<DifoneTeste> difones;
        for (char c = 'A'; c <= 'Z'; ++c) {
            regras += std::string("(") + c + ")=" + char(c + 32) + "|\n";
            difones.push_back({std::string("$") + c, 30, kValorDifone});
        }
        gravaArquivoTeste(dir_.caminho() / "difones" / "regras.rgr", regras);
        gravaArquivoTeste(dir_.caminho() / "difones" / "portug.exc", "");
        escreveBanco(dir_.caminho() / "difones", "BANCO", difones);
    }

    void monta(const std::string& iniExtra = "", const std::string& teclas = "",
               int velocidade = 3) {
        fala_.reset();
        crt_.reset();
        gravaArquivoTeste(dir_.caminho() / "win" / "SONARE.INI", iniBase_ + iniExtra);
        crt_ = std::make_unique<SnCrt>(criaFrontEndHeadless(leRoteiro(teclas).teclas), audio_,
                                       dir_.caminho() / "win" / "SONARE.INI");
        crt_->defineSaida([](int) { throw FimDoPrograma{}; });
        crt_->garanteJanela();
        audio_.relogio = [this] { return crt_->agoraMs(); };
        fala_ = std::make_unique<Fala>(*crt_, audio_);
        fala_->avisaFaltaVoz = false;
        if (fabrica_) fala_->defineFabricaServidores(fabrica_);
        fala_->defineRastro((dir_.caminho() / "rastro.txt").string());
        fala_->inicializaFala(velocidade, (dir_.caminho() / "mensagens").string());
        audio_.blocos.clear();
        inicio_ = crt_->agoraMs();
    }

    // What was heard since `monta` (or the last call): names of recordings, "clique",
    // "bip", "frase" for the synthesizer's samples and "~N" for N ms of waiting.
    std::string ouvido() {
        std::vector<std::string> t;
        uint64_t antes = inicio_;
        for (const auto& b : audio_.blocos) {
            if (b.quando > antes) t.push_back("~" + std::to_string(b.quando - antes));
            antes = b.quando;
            decodifica(b.bytes, t);
        }
        if (crt_->agoraMs() > antes) t.push_back("~" + std::to_string(crt_->agoraMs() - antes));
        audio_.blocos.clear();
        inicio_ = crt_->agoraMs();
        std::string s;
        for (const auto& x : t) s += (s.empty() ? "" : " ") + x;
        return s;
    }

    // 64 samples of noise at or above the middle, then silence: 256 in all.
    static bool ehClique(const Bytes& b) {
        const auto ruido = b.begin() + std::min<size_t>(64, b.size());
        return b.size() == 256 &&
               std::all_of(b.begin(), ruido, [](int v) { return v >= 128 && v < 188; }) &&
               std::any_of(b.begin(), ruido, [](int v) { return v != 128; }) &&
               std::all_of(ruido, b.end(), [](int v) { return v == 128; });
    }
    static bool ehBip(const Bytes& b) {
        static constexpr uint8_t kPadrao[8] = {128, 112, 96, 80, 64, 80, 96, 112};
        if (b.size() != 512) return false;
        for (size_t i = 0; i + 1 < b.size(); ++i)
            if (b[i] != kPadrao[i % 8]) return false;
        return b.back() == 128;  // the player ends every sound on silence
    }

    void decodifica(const Bytes& b, std::vector<std::string>& t) const {
        if (ehClique(b)) return t.push_back("clique");
        if (ehBip(b)) return t.push_back("bip");
        bool separado = true;
        for (uint8_t v : b) {
            if (v == 128) {
                separado = true;
                continue;
            }
            auto it = valores_.find(v);
            const std::string nome = it == valores_.end() ? "frase" : it->second;
            if (separado || t.empty() || t.back() != nome) {
                if (!(nome == "frase" && !t.empty() && t.back() == "frase")) t.push_back(nome);
            }
            separado = false;
        }
    }

    // The first `largura` characters of screen row `y`.
    std::string linhaTela(int y, int largura) {
        std::string s;
        for (int x = 0; x < largura; ++x) s += static_cast<char>(crt_->tela().caractere(x, y - 1));
        return s;
    }

    std::string rastro() const { return utf8ParaWin1252(leArquivo(dir_.caminho() / "rastro.txt")); }

    PastaTemporaria dir_;
    Variavel windir_{"SONARE_WINDIR", (dir_.caminho() / "win").string()};
    Variavel raiz_{"SONARE_ROOT", (dir_.caminho() / "raiz").string()};
    std::string iniBase_;
    std::map<uint8_t, std::string> valores_;
    int proximo_ = 1;
    FabricaServidores fabrica_;
    AudioFalso audio_;
    std::unique_ptr<SnCrt> crt_;
    std::unique_ptr<Fala> fala_;
    uint64_t inicio_ = 0;
};

}  // namespace bancada
