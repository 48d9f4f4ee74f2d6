// Latency a user feels from the speech front end, on a sound device that plays in real
// time (blocks stay queued for as long as they sound):
//  - echo: from leTecla returning a typed letter to the first sample of its recording
//    reaching the device, beside the wave player alone playing the same file;
//  - sentence: from falaTexto of a 10-word sentence to its first sample, beside the
//    built-in synthesizer alone writing straight to the device.
// The voice is made here (letter recording, rules, a synthetic diphone bank), in a
// temporary folder that also holds the SONARE.INI used.
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "bancadaTempoReal.h"
#include "console/SnCrt.h"
#include "speech/fala.h"
#include "speech/sintetizador.h"
#include "speech/tocadorOnda.h"

using namespace bancada;

int main() {
    const fs::path raiz = raizComVoz("fala");
    escreveIni(raiz, false);
    auto frenteDono = std::make_unique<FrenteBanco>();
    FrenteBanco& frente = *frenteDono;
    DispositivoTempoReal audio;
    SnCrt crt(std::move(frenteDono), audio, raiz / "SONARE.INI");
    Fala fala(crt, audio);
    fala.inicializaFala(3, raiz.string());

    // Echo: the key loop's steps after a typed letter (stop, then say the letter).
    Medida eco, ecoBase;
    for (int i = 0; i < kRodadas; ++i) {
        frente.digita('a');
        audio.arma();
        const uint8_t c = crt.leTecla();
        const auto t0 = Relogio::now();
        fala.paraFala();
        fala.falaLetra(c);
        if (audio.chegou()) eco.acrescenta(ms(audio.primeiro() - t0));
    }
    {
        TocadorOnda tocador(crt, audio);
        for (int i = 0; i < kRodadas; ++i) {
            audio.arma();
            const auto t0 = Relogio::now();
            tocador.tocaArquivo(raiz / "letras" / "_97.wav");
            if (audio.chegou()) ecoBase.acrescenta(ms(audio.primeiro() - t0));
        }
    }

    Medida frase, fraseBase;
    for (int i = 0; i < kRodadas; ++i) {
        audio.arma();
        const auto t0 = Relogio::now();
        fala.falaTexto(kFrase);
        if (audio.chegou()) frase.acrescenta(ms(audio.primeiro() - t0));
    }
    fala.terminaFala();
    {
        Sintetizador sintetizador(
            SaidaSom{[&](std::span<const uint8_t> onda) { audio.escreve(onda.subspan(44)); },
                     [] { return false; },
                     {}});
        ConfiguracaoSintetizador config{raiz / "letras", raiz / "difones", "BANCO"};
        if (sintetizador.abre(config) != kSintetizadorPronto) {
            std::cerr << "the synthesizer did not open\n";
            return 1;
        }
        for (int i = 0; i < kRodadas; ++i) {
            audio.reinicia();
            audio.arma();
            const auto t0 = Relogio::now();
            sintetizador.falaTexto(kFrase);
            if (audio.chegou()) fraseBase.acrescenta(ms(audio.primeiro() - t0));
        }
    }

    relata("echo of a typed letter", eco, ecoBase, "wave player alone", 5);
    relata("10-word sentence", frase, fraseBase, "synthesizer alone", 15);
    fs::remove_all(raiz);
    return 0;
}
