// Speed of the wave player: the delay from "play file" to the first block handed to the
// sound device, for a recording on disk, and the throughput of time compression. Each is
// set against copying the same bytes in the same run, so the ratios hold from one machine
// to another. The device is a stand-in that notes when the first block arrives and drains
// at once; the console is headless.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <vector>

#include "console/SnCrt.h"
#include "audioFalso.h"
#include "platform/audio.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"

namespace {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kRepeticoesArquivo = 300;
constexpr int kRepeticoesCompressao = 20;
constexpr int kTaxa = 11025;
constexpr double kSegundosFala = 60;

// Notes when the first block of a sound arrives; nothing stays queued.
struct DispositivoCronometrado : AudioFalso {
    DispositivoCronometrado() {
        guardaBlocos = false;
        aoEscrever = [this](size_t) {
            if (primeiro == Relogio::time_point{}) primeiro = Relogio::now();
        };
    }
    Relogio::time_point primeiro{};
};

// Voiced speech, roughly: a 120 Hz buzz of a few harmonics under a syllable-rate envelope.
Bytes fala(double segundos, int bits) {
    const size_t n = static_cast<size_t>(segundos * kTaxa);
    Bytes b;
    b.reserve(n * static_cast<size_t>(bits / 8));
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kTaxa;
        const double fase = 2 * std::numbers::pi * 120 * t;
        const double envelope = 0.5 + 0.5 * std::sin(2 * std::numbers::pi * 4 * t);
        const double v =
            envelope * (0.6 * std::sin(fase) + 0.3 * std::sin(2 * fase) + 0.1 * std::sin(3 * fase));
        if (bits == 8) {
            b.push_back(static_cast<uint8_t>(std::lround(128 + 100 * v)));
        } else {
            const auto s = static_cast<uint16_t>(static_cast<int16_t>(std::lround(25000 * v)));
            b.push_back(static_cast<uint8_t>(s));
            b.push_back(static_cast<uint8_t>(s >> 8));
        }
    }
    return b;
}

double us(Relogio::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The player's own way: the call to the first block queued.
double primeiroBloco(TocadorOnda& tocador, DispositivoCronometrado& dispositivo,
                     const fs::path& arquivo) {
    dispositivo.primeiro = {};
    const auto t0 = Relogio::now();
    tocador.tocaArquivo(arquivo);
    return us(dispositivo.primeiro - t0);
}

// The least any player must do: open the file, read the header and the first block's bytes,
// and copy them into a buffer.
double copiaPrimeiroBloco(const fs::path& arquivo, Bytes& leitura, Bytes& buffer) {
    const auto t0 = Relogio::now();
    std::ifstream f(arquivo, std::ios::binary);
    f.read(reinterpret_cast<char*>(leitura.data()), 44);
    f.read(reinterpret_cast<char*>(leitura.data()), static_cast<std::streamsize>(leitura.size()));
    std::memcpy(buffer.data(), leitura.data(), static_cast<size_t>(f.gcount()));
    return us(Relogio::now() - t0);
}

struct Medida {
    double compressao = 1e30;  // best time, us
    double copia = 1e30;
    size_t saida = 0;  // bytes left after compression
};

// The recording in the player's pieces, each copied into a work buffer and compressed there,
// against the same pieces only copied.
Medida mede(const Bytes& gravacao, int bits) {
    Bytes trabalho(TocadorOnda::kTamanhoBuffer);
    Medida m;
    for (int r = 0; r < kRepeticoesCompressao; ++r) {
        size_t saida = 0;
        auto t0 = Relogio::now();
        for (size_t p = 0; p < gravacao.size(); p += trabalho.size()) {
            const size_t n = std::min(trabalho.size(), gravacao.size() - p);
            std::memcpy(trabalho.data(), gravacao.data() + p, n);
            saida += comprimeTrecho(std::span(trabalho).first(n), bits, kTaxa);
        }
        m.compressao = std::min(m.compressao, us(Relogio::now() - t0));
        m.saida = saida;

        // Read back, so the copy is not optimized away.
        [[maybe_unused]] volatile uint8_t sumidouro = 0;
        t0 = Relogio::now();
        for (size_t p = 0; p < gravacao.size(); p += trabalho.size()) {
            const size_t n = std::min(trabalho.size(), gravacao.size() - p);
            std::memcpy(trabalho.data(), gravacao.data() + p, n);
            sumidouro = trabalho[n / 2];
        }
        m.copia = std::min(m.copia, us(Relogio::now() - t0));
    }
    return m;
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / "plumar_bench_tocador";
    fs::remove_all(dir);
    fs::create_directories(dir);

    // A 10-second recording as the stock has them: 11025 Hz, 8-bit mono, 44-byte header.
    const Bytes amostras = fala(10, 8);
    Bytes onda = cabecalhoWave({1, kTaxa, 8}, static_cast<uint32_t>(amostras.size()));
    onda.insert(onda.end(), amostras.begin(), amostras.end());
    const fs::path arquivo = dir / "gravacao.wav";
    std::ofstream(arquivo, std::ios::binary)
        .write(reinterpret_cast<const char*>(onda.data()),
               static_cast<std::streamsize>(onda.size()));

    DispositivoCronometrado dispositivo;
    SnCrt crt(criaFrontEndHeadless({}), dispositivo, dir / "SONARE.INI");
    TocadorOnda tocador(crt, dispositivo);
    tocador.assincrono = true;
    Bytes leitura(TocadorOnda::kTamanhoBuffer), buffer(TocadorOnda::kTamanhoBuffer);
    std::vector<double> atrasos, copias;
    for (int r = 0; r < kRepeticoesArquivo; ++r) {
        atrasos.push_back(primeiroBloco(tocador, dispositivo, arquivo));
        copias.push_back(copiaPrimeiroBloco(arquivo, leitura, buffer));
    }
    const double atraso = mediana(atrasos), copia = mediana(copias);
    std::sort(atrasos.begin(), atrasos.end());

    std::cout << "play file -> first block (10 s recording, 11025 Hz 8-bit mono, on disk)\n"
              << "  player:   median " << atraso << " us, worst " << atrasos.back() << " us\n"
              << "  baseline: median " << copia
              << " us (open, read and copy the same 65534 bytes)\n"
              << "  ratio:    " << atraso / copia
              << " times the baseline; target < 2000 us: " << (atraso < 2000 ? "met" : "NOT MET")
              << "\n";

    bool cumpriu = atraso < 2000;
    for (int bits : {8, 16}) {
        const Bytes gravacao = fala(kSegundosFala, bits);
        const Medida m = mede(gravacao, bits);
        const double vezes = kSegundosFala * 1e6 / m.compressao;
        cumpriu = cumpriu && vezes > 500;
        std::cout << "time compression (" << kSegundosFala << " s, 11025 Hz " << bits
                  << "-bit mono -> " << m.saida * 100 / (gravacao.size() / (bits / 8))
                  << "% of the samples)\n"
                  << "  compress: " << m.compressao / 1000 << " ms, " << vezes
                  << " times real time; target > 500: " << (vezes > 500 ? "met" : "NOT MET") << "\n"
                  << "  baseline: " << m.copia / 1000 << " ms (copying the same bytes)\n"
                  << "  ratio:    " << m.compressao / m.copia << " times the baseline\n";
    }
    fs::remove_all(dir);
    return cumpriu ? 0 : 1;
}
