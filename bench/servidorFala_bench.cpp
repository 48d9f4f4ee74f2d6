// Latency of a spoken sentence through the espeak-ng speech server: from falaTexto of a
// 10-word sentence to its first sample at a sound device that plays in real time, beside
// the same sentence through the built-in synthesizer (recorded speech) in the same run.
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "bancadaTempoReal.h"
#include "console/SnCrt.h"
#include "speech/fala.h"

using namespace bancada;

namespace {

// Latencies of kRodadas sentences; empty when the server did not open.
Medida mede(const fs::path& raiz, bool servidor) {
    escreveIni(raiz, servidor);
    DispositivoTempoReal audio;
    SnCrt crt(std::make_unique<FrenteBanco>(), audio, raiz / "SONARE.INI");
    Fala fala(crt, audio);
    fala.inicializaFala(3, raiz.string());
    Medida m;
    if (servidor && !fala.servidorAtivo()) return m;
    for (int i = 0; i < kRodadas; ++i) {
        fala.paraFala();
        audio.arma();
        const auto t0 = Relogio::now();
        fala.falaTexto(kFrase);
        if (audio.chegou()) m.acrescenta(ms(audio.primeiro() - t0));
    }
    fala.paraFala();
    fala.terminaFala();
    return m;
}

}  // namespace

int main() {
    const fs::path raiz = raizComVoz("servidor");
    const Medida espeak = mede(raiz, true);
    const Medida proprio = mede(raiz, false);
    fs::remove_all(raiz);
    if (espeak.amostras.empty() || proprio.amostras.empty()) {
        std::cerr << "espeak-ng did not open or nothing was heard\n";
        return 1;
    }
    relata("10-word sentence, espeak-ng server", espeak, proprio, "built-in synthesizer", 10);
    return 0;
}
