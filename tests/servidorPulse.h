// A private PulseAudio whose only sink is a null sink, and a listener at the sink's monitor
// that notes when sound was first and last heard (and keeps the samples when asked): for the
// tests and benches that play to a real sound server. Needs pulseaudio and libpulse-dev.
#pragma once

#include <pulse/error.h>
#include <pulse/simple.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace pulseTeste {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;

constexpr int kLimiar = 1000;  // a sample this loud is sound

inline pid_t inicia(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
    return pid;
}

inline void termina(pid_t pid, int sinal = SIGTERM) {
    if (pid <= 0) return;
    kill(pid, sinal);
    waitpid(pid, nullptr, 0);
}

// A private PulseAudio whose only sink is the null sink "medida", at `taxa` Hz.
class ServidorPulse {
  public:
    explicit ServidorPulse(fs::path pasta, int taxa = 48000) : pasta_(std::move(pasta)), taxa_(taxa) {
        fs::create_directories(pasta_);
        setenv("PULSE_RUNTIME_PATH", pasta_.c_str(), 1);
        setenv("PULSE_STATE_PATH", pasta_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + (pasta_ / "native").string()).c_str(), 1);
    }
    ~ServidorPulse() { para(); }
    bool liga() {
        fs::remove(pasta_ / "native");
        pid_ = inicia({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                       "--log-target=file:" + (pasta_ / "pulse.log").string(), "--log-level=debug",
                       "--load=module-null-sink sink_name=medida rate=" + std::to_string(taxa_),
                       "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                           (pasta_ / "native").string()});
        for (int i = 0; i < 100 && !fs::exists(pasta_ / "native"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return pid_ > 0 && fs::exists(pasta_ / "native");
    }
    void para() {
        termina(pid_);
        pid_ = 0;
    }
    // How often the server has found a client's stream empty while playing it (its log says
    // so at the debug level): the silence it played meanwhile is the server's, not the
    // client's.
    int subFluxos() const {
        std::ifstream log(pasta_ / "pulse.log");
        int n = 0;
        for (std::string linha; std::getline(log, linha);)
            n += linha.find("Implicit underrun of") != std::string::npos;
        return n;
    }

    // The latency the server settled on for the last stream a client opened to play.
    std::string latenciaFluxo() const {
        std::ifstream log(pasta_ / "pulse.log");
        std::string ultima;
        for (std::string linha; std::getline(log, linha);)
            if (const size_t p = linha.find("Final latency"); p != std::string::npos)
                ultima = linha.substr(p);
        return ultima;
    }

  private:
    fs::path pasta_;
    int taxa_;
    pid_t pid_ = 0;
};

// Listens at the sink's monitor at `taxa` Hz, mono; every sample gets the time it sounded,
// told from its place in the stream: sample 0 is put at the earliest time any fragment's
// arrival allows, so a fragment read late (the listener kept off the processor) does not
// make old sound look recent. The monitor's own delay is the same for the editor and the
// baseline.
class Ouvinte {
  public:
    explicit Ouvinte(int taxa = 48000) : taxa_(taxa), fio_([this] { escuta(); }) {}
    ~Ouvinte() {
        fim_ = true;
        fio_.join();
    }
    // Forget what was heard before now.
    void arma() {
        std::lock_guard t(m_);
        primeiro_.reset();
        ultimo_.reset();
    }
    std::optional<Relogio::time_point> primeiro(int esperaMs = 1500) {
        for (int i = 0; i < esperaMs; ++i) {
            {
                std::lock_guard t(m_);
                if (primeiro_) return quando(*primeiro_);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return std::nullopt;
    }
    std::optional<Relogio::time_point> ultimo() {
        std::lock_guard t(m_);
        if (!ultimo_) return std::nullopt;
        return quando(*ultimo_);
    }
    // Keeps every sample heard from now on, until `gravados`.
    void grava() {
        std::lock_guard t(m_);
        amostras_.clear();
        gravando_ = true;
    }
    std::vector<int16_t> gravados() {
        std::lock_guard t(m_);
        gravando_ = false;
        return std::move(amostras_);
    }

  private:
    void escuta() {
        const pa_sample_spec formato{PA_SAMPLE_S16LE, static_cast<uint32_t>(taxa_), 1};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(taxa_ / 1000 * 2);
        std::vector<int16_t> b(static_cast<size_t>(taxa_ / 1000));
        while (!fim_) {
            int erro = 0;
            pa_simple* s = pa_simple_new(nullptr, "plumar-bench", PA_STREAM_RECORD,
                                         "medida.monitor", "monitor", &formato, nullptr, &attr, &erro);
            if (!s) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
            {
                std::lock_guard t(m_);  // a new stream counts its samples from 0
                lidas_ = 0;
                origem_.reset();
                primeiro_.reset();
                ultimo_.reset();
            }
            while (!fim_ && pa_simple_read(s, b.data(), b.size() * 2, &erro) == 0) {
                const auto chegou = Relogio::now();
                std::lock_guard t(m_);
                if (gravando_) amostras_.insert(amostras_.end(), b.begin(), b.end());
                for (size_t i = 0; i < b.size(); ++i) {
                    if (std::abs(b[i]) < kLimiar) continue;
                    if (!primeiro_) primeiro_ = lidas_ + i;
                    ultimo_ = lidas_ + i;
                }
                lidas_ += b.size();
                const auto origem = chegou - duracao(lidas_);
                if (!origem_ || origem < *origem_) origem_ = origem;
            }
            pa_simple_free(s);
        }
    }

    Relogio::duration duracao(uint64_t amostras) const {
        return std::chrono::microseconds(amostras * 1'000'000 / static_cast<uint64_t>(taxa_));
    }
    Relogio::time_point quando(uint64_t amostra) const { return *origem_ + duracao(amostra); }

    const int taxa_;
    std::mutex m_;
    uint64_t lidas_ = 0;                         // samples read from the stream
    std::optional<Relogio::time_point> origem_;  // when its sample 0 sounded
    std::optional<uint64_t> primeiro_, ultimo_;  // loud samples since `arma`
    bool gravando_ = false;
    std::vector<int16_t> amostras_;
    std::atomic<bool> fim_{false};
    std::thread fio_;
};

}  // namespace pulseTeste
