// The speech server as the editor meets it, on both systems: started with --audio-out (the
// own engine into a WAV that follows the clock), a long block poked through the local link
// is heard at once, and a second block poked while it is read cuts it short: the recording
// ends soon after the second block's own words, long before the first would have ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "analiseSom.h"
#include "apoio.h"
#include "platform/audio.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/ligacaoLocal.h"
#include "platform/processos.h"

namespace {

using namespace std::chrono_literals;
using Relogio = std::chrono::steady_clock;

#ifdef _WIN32
constexpr const char* kServidor = "sonare-servidor-fala.exe";
#else
constexpr const char* kServidor = "sonare-servidor-fala";
#endif

// Seconds of the capture `s` from `de` to `ate` whose 10 ms frames are heard: their loudest
// sample passes 1000.
double segundosComSom(std::span<const int16_t> s, double de, double ate) {
    const size_t quadro = AudioCaptura::kFormatoArquivo.taxa / 100;
    const size_t fim = std::min(s.size(), static_cast<size_t>(ate * 100) * quadro);
    size_t comSom = 0;
    for (size_t i = static_cast<size_t>(de * 100) * quadro; i < fim; i += quadro)
        comSom += std::any_of(s.begin() + i, s.begin() + std::min(fim, i + quadro),
                              [](int16_t a) { return std::abs(int{a}) > 1000; });
    return comSom / 100.0;
}

ligacao::Resultado poke(const std::string& topico, const std::string& texto) {
    return ligacao::entrega("TESTEFALA", topico, "FALA", texto + '\0');
}

TEST(ServidorFala, ANewBlockCutsTheOneBeingReadShort) {
    const std::filesystem::path servidor = pastaDoPrograma() / kServidor;
    if (!std::filesystem::exists(raizFamilia() / "brisatts" / "br4"))
        GTEST_SKIP() << "no voice kit in the family root";
    ASSERT_TRUE(std::filesystem::exists(servidor)) << servidor;
    PastaTemporaria pasta;
    const std::string topico = "T" + std::to_string(Relogio::now().time_since_epoch().count());
    const std::filesystem::path wav = pasta / "fala.wav";
    Processos processo;
    ASSERT_EQ(processo.inicia({servidor.string(), "--aplicacao=TESTEFALA", "--topico=" + topico,
                               "--audio-out=" + wav.string()},
                              pasta.caminho()),
              0);

    std::string longo;
    for (int i = 1; i <= 12; ++i)
        longo += "Esta é a frase número " + std::to_string(i) + " de um bloco muito longo. ";
    // The server is up once a poke gets through (wine takes a while to start it).
    auto resultado = ligacao::Resultado::SemServidor;
    const auto limite = Relogio::now() + 30s;
    while ((resultado = poke(topico, utf8ParaWin1252(longo))) == ligacao::Resultado::SemServidor &&
           Relogio::now() < limite && processo.rodando())
        std::this_thread::sleep_for(100ms);
    ASSERT_EQ(resultado, ligacao::Resultado::Entregue);
    const auto primeiro = Relogio::now();
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(poke(topico, "Segundo bloco."), ligacao::Resultado::Entregue);
    const double intervalo = std::chrono::duration<double>(Relogio::now() - primeiro).count();
    std::this_thread::sleep_for(5s);
    processo.encerra();

    const std::vector<int16_t> onda = analise::amostrasCapturadas(wav);
    ASSERT_FALSE(onda.empty());
    const double duracao = static_cast<double>(onda.size()) / AudioCaptura::kFormatoArquivo.taxa;
    // The first block was heard from its start, and the second after it.
    EXPECT_GT(segundosComSom(onda, 0, 1.5), 0.5);
    EXPECT_GT(segundosComSom(onda, intervalo + 0.2, duracao), 0.3);
    // Twelve long sentences take far longer than this: the first block stopped when the
    // second came, and nothing of it followed the second's words.
    EXPECT_LT(duracao, intervalo + 2.5) << "the recording lasts " << duracao << " s";
}

}  // namespace
