// The espeak-ng server with the real library: what it is handed, and its samples reaching
// the sound device through the wave player, where a key stops them.
#include "platform/servidorEspeak.h"

#include <gtest/gtest.h>

#include <memory>

#include "apoio.h"
#include "console/SnCrt.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"

namespace {

// Keeps the stream's blocks; after `teclaApos` blocks a key is pressed.
class AudioTeste : public DispositivoAudio {
  public:
    bool abre(const FormatoAudio& f) override {
        formato = f;
        return aberto_ = true;
    }
    void escreve(std::span<const uint8_t> b) override {
        amostras.insert(amostras.end(), b.begin(), b.end());
        if (++blocos == teclaApos && crt) {
            EventoEntrada ev;
            ev.tipo = EventoEntrada::Tipo::Codigo;
            ev.caractere = 'x';
            crt->trataEvento(ev);
        }
    }
    int blocosNaFila() override { return 0; }
    void reinicia() override {}
    void fecha() override { aberto_ = false; }
    bool aberto() const override { return aberto_; }
    void tocaSom(std::vector<uint8_t>, bool) override {}
    void paraSom() override {}

    FormatoAudio formato;
    std::vector<uint8_t> amostras;
    int blocos = 0, teclaApos = -1;
    SnCrt* crt = nullptr;

  private:
    bool aberto_ = false;
};

class ServidorEspeakTest : public ::testing::Test {
  protected:
    ServidorEspeakTest() { audio_.crt = &crt_; }
    std::vector<uint8_t> diz(std::string_view texto) {
        audio_.amostras.clear();
        servidor_.fala(texto);
        while (servidor_.falando()) crt_.Delay(10);
        return audio_.amostras;
    }

    PastaTemporaria pasta_;
    AudioTeste audio_;
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

// Out-of-range voices take the Brazilian voice; rates beyond the library's are held to its
// limits; all speak, in 16-bit samples through the player.
TEST_F(ServidorEspeakTest, OddVoicesAndRatesStillSpeak) {
    for (auto [voz, taxa, tom] :
         {std::array{0, 0, 0}, {-5, 0, 0}, {1000, 100000, 1000}, {0, -20, -3}}) {
        SCOPED_TRACE(voz);
        ASSERT_TRUE(servidor_.abre(voz, taxa, tom));
        EXPECT_GT(diz(" 7").size(), 1000u);  // a lone digit, said as a number
        EXPECT_EQ(audio_.formato.bits, 16);
    }
}

TEST_F(ServidorEspeakTest, AKeyStopsALongTextAndNothingIsSentWhileOneWaits) {
    ASSERT_TRUE(servidor_.abre(0, 0, 0));
    audio_.teclaApos = 1;
    std::string longo;
    while (longo.size() < 100000) longo += "ola ";
    servidor_.fala(longo);
    EXPECT_LE(audio_.blocos, 2);
    EXPECT_FALSE(servidor_.falando());
    audio_.blocos = 0;
    servidor_.fala("ola");  // the key still waits
    EXPECT_EQ(audio_.blocos, 0);
}

}  // namespace
