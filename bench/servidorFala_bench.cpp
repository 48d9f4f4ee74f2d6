// Latency of a spoken sentence through the espeak-ng speech server: from falaTexto of a
// 10-word sentence to its first sample at a sound device that plays in real time, beside
// the same sentence through the built-in synthesizer (recorded speech) in the same run.
// The built-in synthesizer's voice is made here (rules and a synthetic diphone bank) in a
// temporary folder that also holds the SONARE.INI used.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "console/SnCrt.h"
#include "platform/frontEnd.h"
#include "speech/fala.h"

namespace {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kRodadas = 15;
constexpr const char* kFrase = "o gato comeu o peixe que estava na mesa da";

double ms(Relogio::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A front-end on the real clock with no keys.
class FrenteBanco : public FrontEnd {
  public:
    bool abre(const ConfigJanela&, const ModeloTela&) override { return true; }
    void fecha() override {}
    void pinta(const Retangulo&) override {}
    void atualizaCursor() override {}
    std::optional<EventoEntrada> proximoEvento(bool espera) override {
        if (espera) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::nullopt;
    }
    uint64_t agoraMs() override {
        return static_cast<uint64_t>(ms(Relogio::now().time_since_epoch()));
    }
    void dorme(int t) override { std::this_thread::sleep_for(std::chrono::milliseconds(t)); }
    void titulo(const std::string&) override {}
};

// Plays in real time and notes when the first sample after `arma` arrived.
class DispositivoTempoReal : public DispositivoAudio {
  public:
    bool abre(const FormatoAudio& f) override {
        formato_ = f;
        return aberto_ = true;
    }
    void escreve(std::span<const uint8_t> bloco) override {
        const auto agora = Relogio::now();
        if (armado_) primeiro_ = agora;
        armado_ = false;
        const double s = double(bloco.size()) / (formato_.taxa * formato_.bytesPorAmostra());
        fim_ = std::max(fim_, agora) +
               std::chrono::duration_cast<Relogio::duration>(std::chrono::duration<double>(s));
        fins_.push_back(fim_);
    }
    int blocosNaFila() override {
        std::erase_if(fins_, [agora = Relogio::now()](auto f) { return f <= agora; });
        return static_cast<int>(fins_.size());
    }
    void reinicia() override {
        fins_.clear();
        fim_ = Relogio::now();
    }
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t>, bool) override {}
    void paraSom() override {}

    void arma() { armado_ = true; }
    bool chegou() const { return !armado_; }
    Relogio::time_point primeiro() const { return primeiro_; }

  private:
    FormatoAudio formato_;
    bool aberto_ = false, armado_ = false;
    Relogio::time_point primeiro_, fim_;
    std::vector<Relogio::time_point> fins_;
};

void grava(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// One rule a letter and a bank of every one- and two-letter diphone name, sorted as the
// index must be.
void criaVoz(const fs::path& raiz) {
    fs::create_directories(raiz / "letras");
    fs::create_directories(raiz / "difones");
    std::string regras;
    std::vector<std::string> nomes;
    for (char a = 'A'; a <= 'Z'; ++a) {
        regras += std::string("(") + a + ")=" + char(a + 32) + "|\n";
        nomes.push_back(std::string("$") + a);
        for (char b = 'A'; b <= 'Z'; ++b) nomes.push_back(std::string("$") + a + b);
    }
    std::sort(nomes.begin(), nomes.end());
    std::ofstream(raiz / "difones" / "regras.rgr") << regras;
    std::ofstream(raiz / "difones" / "portug.exc") << "";
    Bytes ind, dif, difone(600);
    for (size_t i = 0; i < difone.size(); ++i)
        difone[i] = static_cast<uint8_t>(128 + 60 * std::sin(2 * M_PI * 220 * double(i) / 11025));
    for (const std::string& n : nomes) {
        const uint32_t desloc = static_cast<uint32_t>(dif.size());
        ind.push_back(static_cast<uint8_t>(n.size()));
        for (size_t i = 0; i < 8; ++i) ind.push_back(i < n.size() ? uint8_t(n[i]) : 0);
        ind.push_back(static_cast<uint8_t>(difone.size()));
        ind.push_back(static_cast<uint8_t>(difone.size() >> 8));
        for (int i = 0; i < 4; ++i) ind.push_back(static_cast<uint8_t>(desloc >> (8 * i)));
        dif.insert(dif.end(), difone.begin(), difone.end());
    }
    grava(raiz / "difones" / "BANCO.IND", ind);
    grava(raiz / "difones" / "BANCO.DIF", dif);
}

void escreveIni(const fs::path& raiz, bool servidor) {
    std::ofstream(raiz / "SONARE.INI")
        << "[TRADUTOR]\nDIRLETRAS=" << (raiz / "letras").string()
        << "\nDIRDIFONES=" << (raiz / "difones").string() << "\nSAPI=" << (servidor ? "S" : "N")
        << "\n[SERVFALA]\nTIPOSAPI=4\n"
        << "[SINTETIZADOR]\nDIFONES3=BANCO\nCORTEFON3=100\nINTERPAL3=100\n";
}

// Median and largest latency of kRodadas sentences; nothing when no sample ever came.
std::optional<std::pair<double, double>> mede(const fs::path& raiz, bool servidor) {
    escreveIni(raiz, servidor);
    DispositivoTempoReal audio;
    SnCrt crt(std::make_unique<FrenteBanco>(), audio, raiz / "SONARE.INI");
    Fala fala(crt, audio);
    fala.inicializaFala(3, raiz.string());
    if (servidor && !fala.servidorAtivo()) return std::nullopt;
    std::vector<double> v;
    for (int i = 0; i < kRodadas; ++i) {
        fala.paraFala();
        audio.arma();
        const auto t0 = Relogio::now();
        fala.falaTexto(kFrase);
        if (audio.chegou()) v.push_back(ms(audio.primeiro() - t0));
    }
    fala.paraFala();
    fala.terminaFala();
    if (v.empty()) return std::nullopt;
    std::sort(v.begin(), v.end());
    return std::make_pair(v[v.size() / 2], v.back());
}

}  // namespace

int main() {
    const fs::path raiz =
        fs::temp_directory_path() / ("plumar_bench_servidor_" + std::to_string(getpid()));
    fs::remove_all(raiz);
    criaVoz(raiz);
    setenv("SONARE_WINDIR", raiz.c_str(), 1);
    setenv("SONARE_ROOT", raiz.c_str(), 1);

    const auto espeak = mede(raiz, true);
    const auto proprio = mede(raiz, false);
    fs::remove_all(raiz);
    if (!espeak || !proprio) {
        std::cerr << "espeak-ng did not open or nothing was heard\n";
        return 1;
    }
    constexpr double kAlvo = 10;
    std::cout << "10-word sentence, espeak-ng server: median " << espeak->first << " ms, max "
              << espeak->second << " ms (target < " << kAlvo
              << " ms: " << (espeak->first < kAlvo ? "met" : "MISSED") << ")\n"
              << "  beside, built-in synthesizer: median " << proprio->first << " ms, max "
              << proprio->second << " ms\n";
    return 0;
}
