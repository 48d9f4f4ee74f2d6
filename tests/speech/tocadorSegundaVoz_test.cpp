// Whole recordings handed to the second voice: looping, in the background, or waited for.
#include <gtest/gtest.h>

#include <memory>

#include "apoio.h"
#include "audioFalso.h"
#include "console/SnCrt.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"

namespace {

TEST(TocadorSegundaVoz, LoopsOnceOrWaitsAndRefusesWhatIsNoWave) {
    PastaTemporaria dir;
    AudioFalso audio;
    SnCrt crt(criaFrontEndHeadless(leRoteiro("").teclas), audio, dir / "SONARE.INI");
    TocadorOnda tocador(crt, audio);
    const std::vector<uint8_t> dados(11025, 100);  // one second at 11025 Hz, 8 bits
    const auto onda = ondaTeste(FormatoAudio{1, 11025, 8}, dados);
    gravaArquivoTeste(dir / "m7.wav", onda);
    gravaArquivoTeste(dir / "nada.wav", std::string_view("RIFF de mentira"));
    using Modo = TocadorOnda::Modo;

    EXPECT_EQ(tocador.tocaArquivoSegundaVoz(dir / "m7.wav", Modo::Repetindo), 0);
    const uint64_t antes = crt.agoraMs();
    EXPECT_EQ(tocador.tocaArquivoSegundaVoz(dir / "m7.wav", Modo::Assincrono), 0);
    EXPECT_LT(crt.agoraMs() - antes, 100u);
    EXPECT_EQ(tocador.tocaArquivoSegundaVoz(dir / "m7.wav", Modo::Sincrono), 0);
    EXPECT_GE(crt.agoraMs() - antes, 1000u);
    EXPECT_EQ(audio.repeticoes, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(audio.sons[0], onda);

    EXPECT_EQ(tocador.tocaArquivoSegundaVoz(dir / "nada.wav", Modo::Repetindo), TocadorOnda::kErroArquivo);
    EXPECT_EQ(tocador.tocaArquivoSegundaVoz(dir / "falta.wav", Modo::Repetindo), TocadorOnda::kErroArquivo);
    EXPECT_EQ(audio.sons.size(), 3u);
}

}  // namespace
