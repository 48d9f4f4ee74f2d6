// The espeak-ng server with the real library: what it is handed, and its samples reaching
// the sound device through the wave player, where a key stops them.
#include "speech/servidores/servidorEspeak.h"

#include <gtest/gtest.h>

#include <memory>

#include "apoio.h"
#include "audioFalso.h"
#include "console/SnCrt.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"
#include "console/teclaFila.h"

namespace {

class ServidorEspeakTest : public ::testing::Test {
  protected:
    std::vector<uint8_t> diz(std::string_view texto) {
        audio_.blocos.clear();
        servidor_.fala(texto);
        while (servidor_.falando()) crt_.Delay(10);
        return audio_.tocados();
    }

    PastaTemporaria pasta_;
    AudioFalso audio_;
    SnCrt crt_{criaFrontEndHeadless({}), audio_, pasta_ / "SONARE.INI"};
    TocadorOnda tocador_{crt_, audio_};
    ServidorEspeak servidor_{AmbienteServidor{tocador_, [](auto, auto) { return std::string(); },
                                              [this] { return crt_.teclaPressionada(); }}};
};

TEST(ServidorEspeakTexto, TrimmedALoneDigitGetsAFullStopAndUtf8) {
    EXPECT_EQ(ServidorEspeak::preparaTexto("  7 "), "7.");
    EXPECT_EQ(ServidorEspeak::preparaTexto("17"), "17");
    EXPECT_EQ(ServidorEspeak::preparaTexto("a\xE7\xE3o "), "a\xC3\xA7\xC3\xA3o");
}

// Voice numbers put the Portuguese voices first: 1 is the Brazilian voice that 0 also
// takes, 2 Portugal's, and the library's first voice comes after them. Out-of-range voices
// take the Brazilian voice; rates beyond the library's are held to its limits; all speak, in
// 16-bit samples through the player.
TEST_F(ServidorEspeakTest, EveryVoiceNumberAndRateSpeaksAndOneIsBrazilianTwoPortugals) {
    const struct {
        int voz, taxa, tom;
        const char* nome;
    } casos[] = {{0, 0, 0, "Portuguese (Brazil)"},        {1, 0, 0, "Portuguese (Brazil)"},
                 {2, 0, 0, "Portuguese (Portugal)"},      {3, 0, 0, "Afrikaans"},
                 {-5, 0, 0, "Portuguese (Brazil)"},       {1000, 100000, 1000, "Portuguese (Brazil)"},
                 {0, -20, -3, "Portuguese (Brazil)"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.voz);
        ASSERT_TRUE(servidor_.abre(c.voz, c.taxa, c.tom));
        EXPECT_EQ(servidor_.voz(), c.nome);
        EXPECT_GT(diz(" 7").size(), 1000u);  // a lone digit, said as a number
        EXPECT_EQ(audio_.blocos.back().formato.bits, 16);
    }
}

// With punctuation on, the signs the library would drop are read by name: a text of them
// alone says something, and nothing with punctuation off.
TEST_F(ServidorEspeakTest, PunctuationAllNamesEverySignAndNoneNone) {
    ASSERT_TRUE(servidor_.abre(0, 0, 0));
    const std::string sinais = "# [ ] { } \" > ~ ^ _ |";
    servidor_.pontuacao(false);
    const size_t sem = diz(sinais).size();
    servidor_.pontuacao(true);
    const size_t com = diz(sinais).size();
    EXPECT_GT(com, sem + 44100u) << sem;  // over a second more of speech
}

TEST_F(ServidorEspeakTest, AKeyStopsALongTextAndNothingIsSentWhileOneWaits) {
    ASSERT_TRUE(servidor_.abre(0, 0, 0));
    std::string longo;
    while (longo.size() < 100000) longo += "ola ";
    confereTeclaParaFala(servidor_, audio_, crt_, longo);
}

}  // namespace
