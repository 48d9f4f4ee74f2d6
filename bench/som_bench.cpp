// What a listener hears, measured at a real sound server: starts a private PulseAudio with
// a null sink, runs the editor's real-time path (console, speech front end, wave player,
// the sound stream) against it, and listens at the sink's monitor.
//  - echo: from a typed letter handed to the console to its first sound at the monitor;
//  - sentence: from falaTexto of a line to its first sound;
//  - stop: from a key pressed during a long reading to the last sound;
// each beside the same sound played (or, for the stop, killed) by paplay from the same
// moment. Then the server is restarted: the editor must go on, mute, and speak again.
// Last, when the build tree holds the voice kit, its built-in voice reads sentences at every
// speed level while the monitor records: every run of digital silence inside the speech
// (tests/analiseSom.h) is a hole, beside the times the server found the stream empty (an
// underrun: the stream's thread came late, and the server played silence meanwhile).
// With --buracos only the holes are measured, first through SDL's stream (the baseline, as
// the editor played before it wrote to the server itself), then through the editor's.
// Needs pulseaudio, pulseaudio-utils and libpulse-dev (tools/pacotes.sh, PACOTES_BANCADA).
#include <memory>
#include <string_view>

#include "analiseSom.h"
#include "bancadaPulse.h"
#include "platform/codigos.h"
#include "console/SnCrt.h"
#include "platform/audioSdl.h"
#include "speech/fala.h"

using namespace bancada;

namespace {

constexpr int kRodadasSom = 20;

// From `t0` to the first sound heard, into `m`.
void anotaInicio(Ouvinte& o, Relogio::time_point t0, Medida& m) {
    if (auto p = o.primeiro()) m.acrescenta(ms(*p - t0));
}

// The kit's voice at every speed level through the editor's sound path, recorded at the
// monitor; the holes found in each. The family's SONARE.INI (its speed levels) names the
// kit's folders through SONARE_ROOT.
void relataBuracos(AudioSdl& audio, Ouvinte& ouvinte, const ServidorPulse& servidor,
                   const fs::path& pasta) {
    const fs::path kit = PLUMAR_RAIZ_KIT;
    std::error_code ec;
    fs::create_directories(pasta, ec);
    if (!fs::copy_file(kit / "SONARE.INI", pasta / "SONARE.INI", fs::copy_options::overwrite_existing, ec)) {
        std::cout << "holes: no voice kit in " << kit << "\n";
        return;
    }
    setenv("SONARE_ROOT", kit.c_str(), 1);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    const char* frases[] = {
        "A raposa rápida, que morava no mato, pulou o muro da casa velha sem fazer barulho.",
        "O editor fala tudo o que acontece na tela, também as mensagens de erro.",
        "Salve o arquivo antes de sair, para não perder o texto digitado.",
    };
    SnCrt crt(std::make_unique<FrenteBanco>(), audio, pasta / "SONARE.INI");
    Fala fala(crt, audio);
    fala.avisaFaltaVoz = false;
    constexpr int taxa = 48000;  // the listener's
    for (int nivel = 1; nivel <= 5; ++nivel) {
        fala.inicializaFala(nivel, (kit / "plumar").string());
        pausa(300);
        const int subFluxos = servidor.subFluxos();
        ouvinte.grava();
        for (const char* f : frases) fala.falaTexto(utf8ParaWin1252(f));
        pausa(300);
        const std::vector<int16_t> s = ouvinte.gravados();
        const std::vector<analise::Trecho> b = analise::buracos(s, taxa);
        const double segundos = double(s.size()) / taxa;
        std::cout << "holes at speed level " << nivel << ": " << b.size() << " in " << segundos
                  << " s recorded at the sink (" << (segundos > 0 ? 60 * double(b.size()) / segundos : 0)
                  << " a minute)";
        if (!b.empty())
            std::cout << ", the first at " << double(b[0].inicio) / taxa << " s, "
                      << 1000.0 * double(b[0].tamanho()) / taxa << " ms";
        std::cout << "; stream underruns at the server: " << servidor.subFluxos() - subFluxos << "\n";
    }
    fala.terminaFala();
}

}  // namespace

int main(int argc, char** argv) {
    const bool soBuracos = argc > 1 && std::string_view(argv[1]) == "--buracos";
    const fs::path raiz = raizComVoz("som");
    escreveIni(raiz, false);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    ServidorPulse servidor(raiz / "pulse");
    if (!servidor.liga()) {
        std::cerr << "pulseaudio did not start (see " << (raiz / "pulse" / "pulse.log") << ")\n";
        return 1;
    }
    Ouvinte ouvinte;

    // The sentence as a file, for the baseline: the same sound the editor plays.
    const fs::path frase = raiz / "frase.wav";
    {
        OpcoesCaptura oc;
        oc.arquivo = frase.string();
        AudioCaptura captura(oc);
        SnCrt crt(std::make_unique<FrenteBanco>(), captura, raiz / "SONARE.INI");
        Fala fala(crt, captura);
        fala.inicializaFala(3, raiz.string());
        for (int i = 0; i < 3; ++i) fala.falaTexto(kFrase);
        fala.terminaFala();
    }

    auto frenteDono = std::make_unique<FrenteBanco>();
    FrenteBanco& frente = *frenteDono;
    auto audio = std::make_unique<AudioSdl>();
    if (!audio->semDispositivo().empty()) {
        std::cerr << "no device: " << audio->semDispositivo() << "\n";
        return 1;
    }
    std::cout << "stream: " << audio->taxaSaida() << " Hz, " << audio->canaisSaida()
              << " channels, buffers of " << audio->amostrasBuffer() << " samples ("
              << 1000.0 * audio->amostrasBuffer() / audio->taxaSaida() << " ms)\n";
    std::cout << "at the server: " << servidor.latenciaFluxo() << "\n";
    if (soBuracos) {
        std::cout << "through SDL's stream (baseline):\n";
        {
            AudioSdl sdl(AudioSdl::kIntervaloTentativaMs, true);
            relataBuracos(sdl, ouvinte, servidor, raiz / "kit");
        }
        std::cout << "through the editor's stream:\n";
        relataBuracos(*audio, ouvinte, servidor, raiz / "kit");
        fs::remove_all(raiz);
        return 0;
    }
    SnCrt crt(std::move(frenteDono), *audio, raiz / "SONARE.INI");
    Fala fala(crt, *audio);
    fala.inicializaFala(3, raiz.string());
    const std::string letra = (raiz / "letras" / "_97.wav").string();

    // The monitor is heard from once it has heard one sound.
    for (int i = 0; i < 20; ++i) {
        ouvinte.arma();
        waitpid(inicia({"paplay", letra}), nullptr, 0);
        if (ouvinte.primeiro(500)) break;
    }
    pausa(300);

    Medida eco, ecoBase, inicio, inicioBase, parada, paradaBase;
    for (int i = 0; i < kRodadasSom; ++i) {
        ouvinte.arma();
        auto t0 = Relogio::now();
        frente.digita('a');
        const uint8_t c = crt.leTecla();
        fala.paraFala();
        fala.falaLetra(c);
        anotaInicio(ouvinte, t0, eco);
        pausa(300);

        ouvinte.arma();
        t0 = Relogio::now();
        pid_t p = inicia({"paplay", letra});
        anotaInicio(ouvinte, t0, ecoBase);
        waitpid(p, nullptr, 0);
        pausa(300);

        ouvinte.arma();
        t0 = Relogio::now();
        fala.falaTexto(kFrase);
        anotaInicio(ouvinte, t0, inicio);
        pausa(300);

        ouvinte.arma();
        t0 = Relogio::now();
        p = inicia({"paplay", frase.string()});
        anotaInicio(ouvinte, t0, inicioBase);
        waitpid(p, nullptr, 0);
        pausa(300);
    }
    const std::string longo = std::string(kFrase) + " " + kFrase + " " + kFrase + " " + kFrase;
    for (int i = 0; i < kRodadasSom; ++i) {
        Relogio::time_point t0;
        std::thread tecla([&] {
            pausa(500 + 7 * i);
            ouvinte.arma();
            t0 = Relogio::now();
            frente.digita('x');
        });
        fala.falaTexto(longo);  // the reading stops at the key
        tecla.join();
        crt.leTecla();
        fala.paraFala();
        anotaSilencio(ouvinte, t0, parada);

        const pid_t p = inicia({"paplay", frase.string()});
        pausa(500 + 7 * i);
        ouvinte.arma();
        t0 = Relogio::now();
        termina(p, SIGKILL);
        anotaSilencio(ouvinte, t0, paradaBase);
    }
    std::cout << "echo, each round (ms):";
    for (double v : eco.amostras) std::cout << ' ' << std::lround(v);
    std::cout << "\nstop, each round (ms):";
    for (double v : parada.amostras) std::cout << ' ' << std::lround(v);
    std::cout << "\n";
    relata("echo of a typed letter (at the sink)", eco, ecoBase, "paplay of the letter", 20);
    relata("first sound of a read line", inicio, inicioBase, "paplay of the line", 20);
    relata("key to silence during a reading", parada, paradaBase, "paplay killed", 20);

    // The server goes away and comes back.
    servidor.para();
    const auto antes = Relogio::now();
    for (int i = 0; i < 5; ++i) fala.falaLetra('a');
    const double mudo = ms(Relogio::now() - antes);
    if (!servidor.liga()) return 1;
    pausa(AudioSdl::kIntervaloTentativaMs + 500);
    fala.falaLetra('a');  // the first use after the interval opens the device again
    pausa(300);
    ouvinte.arma();
    const auto t0 = Relogio::now();
    fala.falaLetra('a');
    const auto voltou = ouvinte.primeiro();
    std::cout << "server restarted: 5 letters while it was gone took " << mudo
              << " ms (mute), then "
              << (voltou ? "speaking again, echo " + std::to_string(ms(*voltou - t0)) + " ms"
                         : std::string("STILL MUTE"))
              << "\n";
    fala.terminaFala();
    relataBuracos(*audio, ouvinte, servidor, raiz / "kit");
    fs::remove_all(raiz);
    return voltou ? 0 : 1;
}
