// A key stopping a reading, as a user at a terminal meets it: the real program runs in a
// pseudo-terminal with its sound at a private PulseAudio null sink, reads a long text to the
// end (Ctrl+F11), and a key is typed into the terminal at a different moment of the reading
// each round: Down, and Esc at the same moments (a lone ESC byte, which the program holds a
// moment to see whether a sequence follows). Measured from the key's bytes written to the terminal to the last sound heard
// at the sink's monitor, beside paplay killed from the same moment. A loaded machine keeps
// the program off the processor: each round also gives how long its main thread waited for
// one meanwhile (the kernel's run-queue time), so such rounds are told from slow code.
// Needs pulseaudio, pulseaudio-utils and libpulse-dev (tools/pacotes.sh, PACOTES_BANCADA).
#include <poll.h>
#include <pty.h>

#include <cstdio>

#include "bancadaPulse.h"

using namespace bancada;

namespace {

constexpr int kPressoes = 20;
constexpr const char* kCtrlF11 = "\x1b[23;5~";
// The keys that stop: commands, so they only stop (a letter would be typed, and echoed);
// the reading empties the key queue after it, so Esc does not ask to leave.
constexpr const char* kBaixo = "\x1b[B";
constexpr const char* kEsc = "\x1b";
// Sentences with the signs a text has: a comma and a period are named, then paused after.
constexpr const char* kLinha =
    "o gato comeu o peixe, que estava na mesa da sala. a casa dormia, e ninguem viu nada.";

// The real program in a pseudo-terminal of 80 x 25; what it shows is read and dropped.
class ProgramaNoTerminal {
  public:
    ProgramaNoTerminal(const fs::path& texto) {
        winsize w{};
        w.ws_col = 80;
        w.ws_row = 25;
        pid_ = forkpty(&mestre_, nullptr, nullptr, &w);
        if (pid_ == 0) {
            setenv("TERM", "xterm", 1);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            execl(PLUMAR_PROGRAMA, "plumar", "--frontend=terminal", texto.c_str(), nullptr);
            _exit(127);
        }
        leitor_ = std::thread([this] {
            char buf[4096];
            for (;;) {
                pollfd p{mestre_, POLLIN, 0};
                if (poll(&p, 1, 100) < 0 || fim_) break;
                if ((p.revents & POLLIN) && read(mestre_, buf, sizeof buf) <= 0) break;
                if (p.revents & (POLLHUP | POLLERR)) break;
            }
        });
    }
    ~ProgramaNoTerminal() {
        fim_ = true;
        termina(pid_, SIGKILL);
        leitor_.join();
        close(mestre_);
    }
    bool iniciado() const { return pid_ > 0 && mestre_ >= 0; }
    // How long the main thread has waited for a processor, in ms.
    double esperaProcessador() const {
        std::ifstream f("/proc/" + std::to_string(pid_) + "/task/" + std::to_string(pid_) +
                        "/schedstat");
        double naCpu = 0, naFila = 0;
        f >> naCpu >> naFila;
        return naFila / 1e6;
    }
    void digita(std::string_view bytes) {
        if (write(mestre_, bytes.data(), bytes.size()) < 0) std::cerr << "write failed\n";
    }

  private:
    int mestre_ = -1;
    pid_t pid_ = -1;
    std::atomic<bool> fim_{false};
    std::thread leitor_;
};

// A recording for each sign the reading names, so their sound is heard as with a real voice.
void criaSinais(const fs::path& raiz) {
    for (int c : {44, 46}) {
        Bytes onda = cabecalhoWave(FormatoAudio{1, 11025, 8}, 3000);
        const Bytes som = tom(3000, 330);
        onda.insert(onda.end(), som.begin(), som.end());
        grava(raiz / "letras" / ("_" + std::to_string(c) + ".wav"), onda);
    }
}

// Waits until nothing has been heard for 300 ms (at most 15 s).
void esperaSilencio(Ouvinte& o) {
    for (int i = 0; i < 50; ++i) {
        o.arma();
        pausa(300);
        if (!o.ultimo()) return;
    }
}

void mostra(const char* nome, const Medida& m) {
    std::cout << nome << ", each round (ms):";
    for (double v : m.amostras) std::cout << ' ' << std::lround(v);
    std::cout << '\n';
}

}  // namespace

int main() {
    const fs::path raiz = raizComVoz("paradaTerminal");
    criaSinais(raiz);
    escreveIni(raiz, false);
    for (const char* v : {"SONARE_WINDIR", "SONARE_ROOT", "XDG_STATE_HOME", "XDG_CONFIG_HOME"})
        setenv(v, raiz.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    const fs::path texto = raiz / "texto.txt";
    {
        std::ofstream f(texto);
        for (int i = 0; i < 2000; ++i) f << kLinha << "\r\n";
    }
    // A long sound for the baseline.
    const fs::path longo = raiz / "longo.wav";
    {
        Bytes onda = cabecalhoWave(FormatoAudio{1, 11025, 8}, 11025 * 5);
        const Bytes som = tom(11025 * 5, 440);
        onda.insert(onda.end(), som.begin(), som.end());
        grava(longo, onda);
    }

    ServidorPulse servidor(raiz / "pulse");
    if (!servidor.liga()) {
        std::cout << "skipped: pulseaudio did not start (see " << (raiz / "pulse" / "pulse.log")
                  << ")\n";
        return 0;
    }
    Ouvinte ouvinte;
    // The monitor is heard from once it has heard one sound.
    for (int i = 0; i < 20; ++i) {
        ouvinte.arma();
        waitpid(inicia({"paplay", longo.string()}), nullptr, 0);
        if (ouvinte.primeiro(500)) break;
    }

    Medida parada, paradaEsc, base, espera;
    int mudas = 0;
    {
        ProgramaNoTerminal programa(texto);
        if (!programa.iniciado()) {
            std::cerr << "the program did not start\n";
            return 1;
        }
        pausa(1500);
        programa.digita(kBaixo);  // the program reads the text when it starts: stopped here
        for (int i = 0; i < 2 * kPressoes; ++i) {
            const bool esc = i % 2 == 1;
            esperaSilencio(ouvinte);  // the last stop has ended
            ouvinte.arma();
            programa.digita(kCtrlF11);
            pausa(600 + 37 * (i / 2));  // a different moment of the reading each round
            if (!ouvinte.ultimo()) ++mudas;
            ouvinte.arma();
            const double antes = programa.esperaProcessador();
            const auto t0 = Relogio::now();
            programa.digita(esc ? kEsc : kBaixo);
            anotaSilencio(ouvinte, t0, esc ? paradaEsc : parada);
            espera.acrescenta(programa.esperaProcessador() - antes);
        }
    }
    for (int i = 0; i < kPressoes; ++i) {
        const pid_t p = inicia({"paplay", longo.string()});
        pausa(600 + 37 * i);
        ouvinte.arma();
        const auto t0 = Relogio::now();
        termina(p, SIGKILL);
        anotaSilencio(ouvinte, t0, base);
    }
    mostra("Down to silence", parada);
    mostra("Esc to silence", paradaEsc);
    mostra("paplay killed", base);
    mostra("the program's main thread waiting for a processor in the 400 ms after the key "
           "(Down and Esc in turn)",
           espera);
    double carga[3] = {};
    if (getloadavg(carga, 3) > 0)
        std::cout << "load average " << carga[0] << " on " << std::thread::hardware_concurrency()
                  << " processors\n";
    if (mudas > 0) std::cout << mudas << " of " << 2 * kPressoes << " readings were not heard\n";
    relata("Down to silence during Ctrl+F11, through a terminal", parada, base, "paplay killed",
           20);
    relata("Esc to silence during Ctrl+F11, through a terminal", paradaEsc, base, "paplay killed",
           20);
    servidor.para();
    fs::remove_all(raiz);
    return mudas > 0 ? 1 : 0;
}
