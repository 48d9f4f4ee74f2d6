// What the speech latency benchmarks share: a front-end on the real clock whose keys the
// benchmark pushes, a sound device that plays in real time (blocks stay queued for as long
// as they sound) and notes when a first sample arrives, and a small voice made in a
// temporary folder (letter recording, one rule a letter, a synthetic diphone bank).
#pragma once

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audioFalso.h"
#include "platform/frontEnds.h"

namespace bancada {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kRodadas = 15;
constexpr const char* kFrase = "o gato comeu o peixe que estava na mesa da";

inline double ms(Relogio::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A front-end on the real clock whose keys are pushed by the benchmark.
class FrenteBanco : public FrontEndSemTela {
  public:
    std::optional<EventoEntrada> proximoEvento(bool espera) override {
        {
            std::lock_guard trava(mutex_);
            if (!eventos_.empty()) {
                EventoEntrada e = eventos_.front();
                eventos_.pop_front();
                return e;
            }
        }
        if (espera) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return std::nullopt;
    }
    uint64_t agoraMs() override {
        return static_cast<uint64_t>(ms(Relogio::now().time_since_epoch()));
    }
    void dorme(int t) override { std::this_thread::sleep_for(std::chrono::milliseconds(t)); }
    void digita(uint8_t c) {
        EventoEntrada e;
        e.tipo = EventoEntrada::Tipo::Caractere;
        e.caractere = c;
        std::lock_guard trava(mutex_);  // a benchmark may press keys from another thread
        eventos_.push_back(e);
    }

  private:
    std::mutex mutex_;
    std::deque<EventoEntrada> eventos_;
};

// Plays in real time (its queue drains on the clock) and notes when the first sample after
// `arma` arrived.
class DispositivoTempoReal : public AudioFalso {
  public:
    DispositivoTempoReal() {
        guardaBlocos = false;
        ritmado = true;
        relogio = [] { return static_cast<uint64_t>(ms(Relogio::now().time_since_epoch())); };
        aoEscrever = [this](size_t) {
            if (!armado_) return;
            primeiro_ = Relogio::now();
            armado_ = false;
        };
    }
    void arma() { armado_ = true; }
    bool chegou() const { return !armado_; }
    Relogio::time_point primeiro() const { return primeiro_; }

  private:
    bool armado_ = false;
    Relogio::time_point primeiro_;
};

inline void grava(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline Bytes tom(size_t amostras, double hz) {
    Bytes b(amostras);
    for (size_t i = 0; i < amostras; ++i)
        b[i] = static_cast<uint8_t>(128 + 60 * std::sin(2 * M_PI * hz * double(i) / 11025));
    return b;
}

// Letter recording "_97.wav", one rule a letter, and a bank of every one- and two-letter
// diphone name, sorted as the index must be.
inline void criaVoz(const fs::path& raiz) {
    fs::create_directories(raiz / "letras");
    fs::create_directories(raiz / "difones");
    Bytes letra = cabecalhoWave(FormatoAudio{1, 11025, 8}, 2000);
    const Bytes som = tom(2000, 440);
    letra.insert(letra.end(), som.begin(), som.end());
    grava(raiz / "letras" / "_97.wav", letra);

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
    Bytes ind, dif;
    const Bytes difone = tom(600, 220);
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

// A fresh family root for one bench run, holding the test voice, where the windows directory
// and the root point: nothing of the user's own configuration is read or written.
inline fs::path raizComVoz(const std::string& bancada) {
    const fs::path raiz =
        fs::temp_directory_path() / ("plumar_bench_" + bancada + "_" + std::to_string(getpid()));
    fs::remove_all(raiz);
    criaVoz(raiz);
    setenv("SONARE_WINDIR", raiz.c_str(), 1);
    setenv("SONARE_ROOT", raiz.c_str(), 1);
    return raiz;
}

// The SONARE.INI of the benchmark voice; with `servidor` texts go to the speech server of
// type `tipo` (4 espeak-ng, 5 speech-dispatcher).
inline void escreveIni(const fs::path& raiz, bool servidor, int tipo = 4) {
    std::ofstream(raiz / "SONARE.INI")
        << "[TRADUTOR]\nDIRLETRAS=" << (raiz / "letras").string()
        << "\nDIRDIFONES=" << (raiz / "difones").string() << "\nSAPI=" << (servidor ? "S" : "N")
        << "\n[SERVFALA]\nTIPOSAPI=" << tipo << "\n"
        << "[SINTETIZADOR]\nDIFONES3=BANCO\nCORTEFON3=100\nINTERPAL3=100\n";
}

struct Medida {
    std::vector<double> amostras;
    void acrescenta(double v) { amostras.push_back(v); }
    // The sample of rank `posicao` (0 to 1) in ascending order; the samples keep their order.
    double ordem(double posicao) const {
        if (amostras.empty()) return 0;
        std::vector<double> s = amostras;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, static_cast<size_t>(posicao * double(s.size())))];
    }
    double mediana() const { return ordem(0.5); }
    // Nearest rank: 19th of 20 samples.
    double p95() const { return ordem(0.95 - 1e-9); }
    double maximo() const { return ordem(1); }
};

// The median, the 95th percentile and the worst, each judged against `alvo`: a user who
// waits once in twenty keys, or once at all, waits.
inline std::string veredito(const Medida& m, double alvo) {
    std::ostringstream s;
    s << "median " << m.mediana() << " ms, p95 " << m.p95() << " ms, max " << m.maximo()
      << " ms (target < " << alvo << " ms: ";
    std::string faltas;
    for (const auto& [valor, nome] :
         {std::pair{m.mediana(), "median"}, {m.p95(), "95th percentile"}, {m.maximo(), "worst"}})
        if (valor >= alvo) faltas += (faltas.empty() ? "" : ", ") + std::string(nome);
    s << (faltas.empty() ? "met" : "MISSED at the " + faltas) << ")";
    return s.str();
}

inline void relata(const char* nome, const Medida& m, const Medida& base, const char* nomeBase,
                   double alvo) {
    std::cout << nome << ": " << veredito(m, alvo) << "\n"
              << "  baseline, " << nomeBase << ": median " << base.mediana() << " ms, p95 "
              << base.p95() << " ms, max " << base.maximo() << " ms\n";
}

}  // namespace bancada
