// speech-dispatcher as users have it, measured at a real sound server: starts a private
// PulseAudio with a null sink and a private speech-dispatcher playing to it, and listens at
// the sink's monitor.
//  - voices: what voice 0 and voice 1 are, and where the Portuguese ones are numbered;
//  - loudness: the voiced RMS (the voice kit's measure) of a sentence at the service's own
//    volume and at the one the editor sets, beside the recorded voice's -20 dBFS, and how
//    many samples clip;
//  - pitch: the median pitch of a sentence at pitch -10, 0 and 10;
//  - stop: from CANCEL to the last sound (the service's own latency), and from a key during
//    a reading to the last sound through the editor's speech front end.
// Skips, saying why, where speech-dispatcher or PulseAudio is not installed.
#include <cmath>
#include <memory>

#include "bancadaPulse.h"
#include "console/SnCrt.h"
#include "speech/fala.h"
#include "speech/servidores/servidorSpeechd.h"
#include "voicekit/kitOnda.h"

using namespace bancada;

namespace {

constexpr int kTaxa = 11025;  // the voice kit's rate, so its measure of loudness applies
constexpr int kRodadasParada = 20;
constexpr const char* kSentenca =
    "O gato comeu o peixe que estava na mesa da cozinha, e depois dormiu no sofá da sala.";

double dbfs(double amplitude) {
    return amplitude > 0 ? 20 * std::log10(amplitude / 32768.0) : -99;
}

// The median pitch of the voiced 40 ms frames, by autocorrelation (60 to 400 Hz).
double tomMediano(const std::vector<int16_t>& x) {
    constexpr size_t kQuadro = kTaxa / 25, kMenor = kTaxa / 400, kMaior = kTaxa / 60;
    std::vector<double> tons;
    for (size_t a = 0; a + kQuadro + kMaior < x.size(); a += kQuadro / 2) {
        double energia = 0;
        for (size_t i = 0; i < kQuadro; ++i) energia += double(x[a + i]) * x[a + i];
        if (energia / kQuadro < 1000.0 * 1000.0) continue;  // quieter than -30 dBFS
        double melhor = 0;
        size_t atraso = 0;
        for (size_t d = kMenor; d <= kMaior; ++d) {
            double c = 0, e2 = 0;
            for (size_t i = 0; i < kQuadro; ++i) {
                c += double(x[a + i]) * x[a + i + d];
                e2 += double(x[a + i + d]) * x[a + i + d];
            }
            const double r = c / std::sqrt(energia * e2 + 1);
            if (r > melhor) melhor = r, atraso = d;
        }
        if (melhor > 0.6) tons.push_back(double(kTaxa) / double(atraso));
    }
    if (tons.empty()) return 0;
    std::sort(tons.begin(), tons.end());
    return tons[tons.size() / 2];
}

// The samples of the sentence as the service says it with `servidor`.
std::vector<int16_t> ouve(Ouvinte& ouvinte, ServidorSpeechd& servidor) {
    ouvinte.grava();
    servidor.fala(kSentenca);
    while (servidor.falando()) pausa(10);
    pausa(300);
    return ouvinte.gravados();
}

struct Sonoridade {
    double nivel, pico;
    size_t cortadas;
};

Sonoridade mede(const std::vector<int16_t>& x) {
    Sonoridade s{dbfs(nivelVoz(x)), 0, 0};
    int maior = 0;
    for (int16_t v : x) {
        maior = std::max(maior, std::abs(int(v)));
        if (v >= 32767 || v <= -32767) ++s.cortadas;
    }
    s.pico = dbfs(maior);
    return s;
}

// A private speech-dispatcher playing to the private PulseAudio, reached at `socket`.
pid_t iniciaSpeechd(const fs::path& pasta, const fs::path& socket) {
    fs::create_directories(pasta / "log");
    const pid_t pid = inicia({"speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S",
                              socket.string(), "-P", (pasta / "speechd.pid").string(), "-L",
                              (pasta / "log").string()});
    for (int i = 0; i < 300 && !fs::exists(socket); ++i) pausa(50);
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket.string()).c_str(), 1);
    return fs::exists(socket) ? pid : 0;
}

bool existe(const char* programa) {
    for (const char* d : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
        if (access((std::string(d) + programa).c_str(), X_OK) == 0) return true;
    return false;
}

void voz(int numero) {
    ServidorSpeechd s;
    if (s.abre(numero, 0, 0)) std::cout << "voice " << numero << ": " << s.voz() << "\n";
    s.fecha();
}

void sonoridade(Ouvinte& ouvinte) {
    for (int volume : {100, ServidorSpeechd::kVolume}) {
        ServidorSpeechd s(std::chrono::milliseconds(2000), volume);
        if (!s.abre(0, 0, 0)) return;
        const Sonoridade m = mede(ouve(ouvinte, s));
        std::printf("loudness at VOLUME %d: voiced RMS %.1f dBFS, peak %.1f dBFS, %zu clipped "
                    "samples (recorded voice: -20.0 dBFS)\n",
                    volume, m.nivel, m.pico, m.cortadas);
        s.fecha();
    }
}

void tonalidade(Ouvinte& ouvinte) {
    for (int tom : {-10, 0, 10}) {
        ServidorSpeechd s;
        if (!s.abre(0, 0, tom)) return;
        std::printf("pitch %d: median %.0f Hz\n", tom, tomMediano(ouve(ouvinte, s)));
        s.fecha();
    }
}

// From CANCEL sent to the last sound, with nothing of the editor in between.
Medida paradaServico(Ouvinte& ouvinte) {
    Medida m;
    ServidorSpeechd s;
    if (!s.abre(0, 0, 0)) return m;
    for (int i = 0; i < kRodadasParada; ++i) {
        s.fala(kSentenca);
        pausa(600 + 7 * i);
        ouvinte.arma();
        const auto t0 = Relogio::now();
        s.para();
        anotaSilencio(ouvinte, t0, m);
    }
    s.fecha();
    return m;
}

// From a key during a reading to the last sound, through the speech front end as the
// editor reads to the end: a text handed over, then waiting while it sounds.
Medida paradaEditor(Ouvinte& ouvinte, const fs::path& raiz) {
    Medida m;
    escreveIni(raiz, true, kServidorSapi5);
    DispositivoTempoReal audio;
    auto frenteDono = std::make_unique<FrenteBanco>();
    FrenteBanco& frente = *frenteDono;
    SnCrt crt(std::move(frenteDono), audio, raiz / "SONARE.INI");
    Fala fala(crt, audio);
    fala.inicializaFala(3, raiz.string());
    if (!fala.servidorAtivo()) return m;
    for (int i = 0; i < kRodadasParada; ++i) {
        Relogio::time_point t0;
        std::thread tecla([&] {
            pausa(600 + 7 * i);
            ouvinte.arma();
            t0 = Relogio::now();
            frente.digita('x');
        });
        fala.falaTexto(kSentenca);
        fala.aguardaSilencio();
        tecla.join();
        crt.leTecla();
        anotaSilencio(ouvinte, t0, m);
    }
    fala.terminaFala();
    return m;
}

}  // namespace

int main() {
    for (const char* programa : {"speech-dispatcher", "pulseaudio"})
        if (!existe(programa)) {
            std::cout << "skipped: " << programa
                      << " is not installed (apt-get install speech-dispatcher "
                         "speech-dispatcher-espeak-ng pulseaudio pulseaudio-utils)\n";
            return 0;
        }
    const fs::path raiz = raizComVoz("speechd");
    ServidorPulse pulse(raiz / "pulse");
    if (!pulse.liga()) {
        std::cout << "skipped: pulseaudio did not start (see " << (raiz / "pulse" / "pulse.log")
                  << ")\n";
        return 0;
    }
    const pid_t speechd = iniciaSpeechd(raiz / "speechd", raiz / "speechd.sock");
    if (speechd == 0) {
        std::cout << "skipped: speech-dispatcher did not start\n";
        return 0;
    }
    Ouvinte ouvinte(kTaxa);
    voz(0);
    voz(1);
    sonoridade(ouvinte);
    tonalidade(ouvinte);
    Medida servico = paradaServico(ouvinte), editor = paradaEditor(ouvinte, raiz);
    std::cout << "stop, CANCEL to silence (the service's own), each round (ms):";
    for (double v : servico.amostras) std::cout << ' ' << std::lround(v);
    std::cout << "\nstop, key to silence through the editor, each round (ms):";
    for (double v : editor.amostras) std::cout << ' ' << std::lround(v);
    std::cout << "\n";
    relata("key to silence during a reading, speech-dispatcher", editor, servico,
           "CANCEL to silence", 40);
    termina(speechd);
    pulse.para();
    fs::remove_all(raiz);
    return 0;
}
