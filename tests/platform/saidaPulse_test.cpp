// The sound stream written straight to a sound server, heard at the monitor of a private
// server's null sink: it follows the server's rate, a sound shorter than what the server
// waits for after running dry is still heard, a stop and a new sound drop what the server
// held, and a server that went away and came back is found again.
#if defined(PLUMAR_COM_PULSE) && defined(PLUMAR_COM_PULSE_SIMPLE)

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "apoio.h"
#include "platform/audioSdl.h"
#include "servidorPulse.h"

namespace {

using pulseTeste::Relogio;

constexpr int kTaxa = 32000;  // the sink's, unlike the server's default of 44100

void pausa(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// `ms` of a loud 440 Hz tone, 16-bit mono at `taxa`.
std::vector<uint8_t> tom(int taxa, int ms) {
    std::vector<uint8_t> b;
    for (int i = 0; i < taxa * ms / 1000; ++i) {
        const auto v = static_cast<int16_t>(20000 * std::sin(2 * M_PI * 440 * i / taxa));
        b.push_back(static_cast<uint8_t>(v & 0xff));
        b.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    }
    return b;
}

// How much longer (ms) a sound was heard than it was played for: `toca` starts it and `para`
// stops it 300 ms later. The server's delay is the same at both ends, so what remains is
// what it held ahead and kept playing after the stop.
template <class Toca, class Para>
double somAMais(pulseTeste::Ouvinte& o, Toca toca, Para para) {
    pausa(200);  // the sounds before have been heard
    o.grava();
    pausa(50);
    toca();
    const auto inicio = Relogio::now();  // the sound reached the server as toca returned
    pausa(300);
    const auto fim = Relogio::now();
    para();
    pausa(300);
    const std::vector<int16_t> s = o.gravados();
    const auto alto = [](int16_t v) { return std::abs(v) >= pulseTeste::kLimiar; };
    const auto primeiro = std::find_if(s.begin(), s.end(), alto);
    const auto ultimo = std::find_if(s.rbegin(), s.rend(), alto);
    if (primeiro == s.end()) return -1;
    const double ouvido = 1000.0 * double(ultimo.base() - primeiro) / kTaxa;
    return ouvido - std::chrono::duration<double, std::milli>(fim - inicio).count();
}

// Whether `cond` comes true within a few seconds (a loaded machine may be slow to notice).
template <class Condicao>
bool ateQue(Condicao cond) {
    for (int i = 0; i < 300; ++i) {
        if (cond()) return true;
        pausa(10);
    }
    return false;
}

bool temServidor() {
    return std::system("command -v pulseaudio >/dev/null 2>&1") == 0;
}

TEST(SaidaPulse, PlaysAtTheServerAndDropsWhatItHeldOnAStop) {
    if (!temServidor()) GTEST_SKIP() << "no pulseaudio on this machine";
    PastaTemporaria pasta("pulse");
    Variavel runtime("PULSE_RUNTIME_PATH", ""), estado("PULSE_STATE_PATH", ""), servidorVar("PULSE_SERVER", "");
    pulseTeste::ServidorPulse servidor(pasta.caminho(), kTaxa);
    ASSERT_TRUE(servidor.liga());
    // Only the server: SDL must not find another output while the server is away.
    Variavel driver("SDL_AUDIODRIVER", "pulseaudio");
    pulseTeste::Ouvinte ouvinte(kTaxa);
    AudioSdl a(50);
    ASSERT_EQ(a.semDispositivo(), "");
    EXPECT_EQ(a.taxaSaida(), kTaxa);
    ASSERT_TRUE(a.abre({1, kTaxa, 16}));
    a.escreve(tom(kTaxa, 100));
    ASSERT_NE(ouvinte.primeiro(3000), std::nullopt) << "the monitor never heard a sound";
    pausa(200);

    // A block counts as queued until the server has played it, not when it was handed over
    // (40 ms earlier): a reading would start its next phrase while the last one still plays.
    const auto t0 = Relogio::now();
    a.escreve(tom(kTaxa, 200));
    std::this_thread::sleep_until(t0 + std::chrono::milliseconds(175));
    const int naFila = a.blocosNaFila();
    if (Relogio::now() - t0 < std::chrono::milliseconds(195)) { EXPECT_EQ(naFila, 1); }
    pausa(100);
    EXPECT_EQ(a.blocosNaFila(), 0);

    // A click of 1 ms, shorter than the server waits for after the stream ran dry.
    const std::vector<uint8_t> clique = tom(kTaxa, 1);
    ouvinte.arma();
    a.tocaSom(ondaTeste({1, kTaxa, 16}, clique), false);
    EXPECT_NE(ouvinte.primeiro(), std::nullopt) << "a short sound was never heard";

    // A stop, of the wave player's stream and of a looping second voice: what the server
    // held ahead (40 ms) goes with them.
    const double aMaisFluxo = somAMais(ouvinte, [&] { a.escreve(tom(kTaxa, 2000)); }, [&] { a.reinicia(); });
    EXPECT_LT(aMaisFluxo, 15.0);
    const double aMaisSom = somAMais(
        ouvinte, [&] { a.tocaSom(ondaTeste({1, kTaxa, 16}, tom(kTaxa, 50)), true); }, [&] { a.paraSom(); });
    EXPECT_LT(aMaisSom, 15.0);

    // The server goes away and comes back: the stream is found lost and opened again.
    servidor.para();
    EXPECT_TRUE(ateQue([&] { return !a.semDispositivo().empty(); })) << "the lost server went unnoticed";
    ASSERT_TRUE(servidor.liga());
    EXPECT_TRUE(ateQue([&] { return a.semDispositivo().empty(); })) << "the server was not found again";
    ASSERT_TRUE(a.abre({1, kTaxa, 16}));
    ouvinte.arma();
    a.escreve(tom(kTaxa, 100));
    EXPECT_NE(ouvinte.primeiro(3000), std::nullopt) << "no sound after the server came back";
}

}  // namespace

#endif
