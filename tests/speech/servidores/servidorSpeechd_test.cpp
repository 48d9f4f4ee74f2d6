// The speech service's client against a fake service on a Unix socket started here: the
// exact commands it sends, the voice rules, and services that fall silent, close or answer
// nonsense (opening fails, or the engine becomes unavailable; never a hang).
#include "speech/servidores/servidorSpeechd.h"

#include <gtest/gtest.h>

#include "apoio.h"
#include "servicoSsipFalso.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kVozes = "249-Joana\tpt\tnone\r\n249-Carlos Silva\ten\tnone\r\n";

class ServidorSpeechdTest : public ::testing::Test {
  protected:
    PastaTemporaria pasta_;
    std::filesystem::path socket_ = pasta_ / "s";
    Variavel endereco_{"SPEECHD_ADDRESS", "unix_socket:" + socket_.string()};
    Variavel usuario_{"USER", "ana"};
    ServidorSpeechd servidor_{200ms};
};

TEST_F(ServidorSpeechdTest, TheCommandsOfOpeningSpeakingStoppingAndClosing) {
    ServicoFalso servico(socket_, kVozes);
    ASSERT_TRUE(servidor_.abre(2, 300, 9));  // words a minute: 5 on the -10..10 scale
    servidor_.pontuacao(true);
    servidor_.fala(".um\r\ndois");
    EXPECT_TRUE(servidor_.falando());
    servico.envia("702-21\r\n702-1\r\n702 END\r\n");
    while (servidor_.falando()) std::this_thread::sleep_for(1ms);
    servidor_.fala("");  // the same punctuation is not asked again
    servidor_.para();
    servidor_.pontuacao(false);
    servidor_.fala(std::string(100000, 'a'));
    EXPECT_TRUE(servidor_.falando());
    servidor_.para();
    servidor_.fecha();
    const std::vector<std::string> esperado = {
        "SET SELF CLIENT_NAME \"ana:plumar:main\"", "LIST SYNTHESIS_VOICES",
        "SET SELF SYNTHESIS_VOICE Carlos Silva", "SET SELF RATE 50", "SET SELF PITCH 90",
        "SET SELF VOLUME " + std::to_string(ServidorSpeechd::kVolume), "SET SELF PRIORITY TEXT",
        "SET SELF NOTIFICATION end on", "SET SELF NOTIFICATION cancel on",
        "SET SELF PUNCTUATION all", "SPEAK", "..um", "dois", ".",
        "SPEAK", " ", ".", "CANCEL SELF",
        "SET SELF PUNCTUATION none", "SPEAK", std::string(40, 'a') + "...", ".", "CANCEL SELF",
        "QUIT"};
    EXPECT_EQ(servico.linhasAteOFim(), esperado);
}

// Rates given in words a minute or on the -10..10 scale reach each engine in its own unit:
// a sensible value is never taken as the slowest (or fastest) speed.
TEST(TaxaServidor, WordsAMinuteAndTheScaleConvertBothWays) {
    const std::array<int, 3> casos[] = {
        // rate given, in words a minute, on the scale
        {0, 0, 0},       {175, 175, 0},   {300, 300, 5},    {80, 80, -7},
        {450, 450, 9},   {-2, 140, -2},   {5, 303, 5},      {10, 525, 10},
        {-10, 58, -10},  {100000, 100000, 10}, {-50, -50, -10}, {11, 11, -10}};
    for (const auto& [taxa, palavras, escala] : casos) {
        EXPECT_EQ(taxaEmPalavras(taxa), palavras) << taxa;
        EXPECT_EQ(taxaNaEscala(taxa), escala) << taxa;
    }
}

// The voice list as the service's espeak-ng module gives it: about 13,000 voices, every
// language with its variants, Portugal's before Brazil's. Voice 0 and voice 1 are the
// Brazilian voice itself, the Portuguese voices are numbered before all others, and the
// pitch goes on the rate's scale (espeak-ng's 0..100 converted).
TEST_F(ServidorSpeechdTest, ThousandsOfVoicesInTheModulesOrderNumberPortugueseFirst) {
    std::string lista;
    for (const char* lingua : {"af", "en", "pt", "pt-BR", "zh"})
        for (int variante = 0; variante < 2600; ++variante)
            lista += std::string("249-V") + lingua + (variante ? "+" + std::to_string(variante) : "") +
                     "\t" + lingua + "\tnone\r\n";
    auto linhaVoz = [&](int numero, int tom, const std::string& vozes) {
        ServicoFalso servico(socket_, vozes);
        EXPECT_TRUE(servidor_.abre(numero, 0, tom));
        servidor_.fecha();
        const std::vector<std::string> linhas = servico.linhasAteOFim();
        return linhas.at(2) + " / " + linhas.at(4);
    };
    EXPECT_EQ(linhaVoz(0, 0, lista), "SET SELF SYNTHESIS_VOICE Vpt-BR / SET SELF PITCH 0");
    EXPECT_EQ(linhaVoz(1, 75, lista), "SET SELF SYNTHESIS_VOICE Vpt-BR / SET SELF PITCH 50");
    EXPECT_EQ(linhaVoz(2600, -10, lista),
              "SET SELF SYNTHESIS_VOICE Vpt-BR+2599 / SET SELF PITCH -100");
    EXPECT_EQ(linhaVoz(2601, 0, lista), "SET SELF SYNTHESIS_VOICE Vpt / SET SELF PITCH 0");
    EXPECT_EQ(linhaVoz(5201, 0, lista), "SET SELF SYNTHESIS_VOICE Vaf / SET SELF PITCH 0");
    EXPECT_EQ(linhaVoz(13000, 0, lista), "SET SELF SYNTHESIS_VOICE Vzh+2599 / SET SELF PITCH 0");
    // Without a Portuguese voice the service keeps its own default: no voice is asked for.
    EXPECT_EQ(linhaVoz(0, 0, "249-Ana\ten\tnone\r\n"),
              "SET SELF RATE 0 / SET SELF VOLUME " + std::to_string(ServidorSpeechd::kVolume));
    EXPECT_EQ(servidor_.voz(), "");
}

TEST(ServidorSpeechdVoz, ByNumberElseRaquelElseBrazilianElsePortugueseElseTheServicesOwn) {
    using V = ServidorSpeechd::Voz;
    const std::vector<V> vozes = {{"Ana", "en"}, {"Rui", "pt-PT"}, {"Lia", "pt-br"},
                                  {"Raquel", "es"}};
    struct Caso {
        std::vector<V> vozes;
        int numero;
        std::optional<std::string> escolhida;
    } casos[] = {{vozes, 1, "Lia"},    {vozes, 2, "Rui"},  {vozes, 4, "Raquel"},
                 {vozes, 0, "Raquel"}, {vozes, -5, "Raquel"},
                 {{vozes[0], vozes[1], vozes[2]}, 1000, "Lia"},
                 {{vozes[0], vozes[1]}, 0, "Rui"}, {{vozes[0]}, 7, std::nullopt},
                 {{}, 1, std::nullopt}};
    for (const Caso& c : casos) {
        const std::vector<V> numeradas = ServidorSpeechd::numeraVozes(c.vozes);
        const std::optional<size_t> i = ServidorSpeechd::escolheVoz(numeradas, c.numero);
        EXPECT_EQ(i ? std::optional(numeradas[*i].nome) : std::nullopt, c.escolhida) << c.numero;
    }
}

TEST_F(ServidorSpeechdTest, AServiceThatIsAbsentSilentClosedOrTalksNonsenseDoesNotOpen) {
    EXPECT_FALSE(servidor_.abre(1, 0, 0));  // nobody listens
    const std::pair<const char*, Falha> falhas[] = {{"SET SELF CLIENT_NAME", Falha::Silencio},
                                                    {"LIST", Falha::Lixo},
                                                    {"SET SELF NOTIFICATION", Falha::Fecha}};
    for (const auto& [comando, falha] : falhas) {
        ServicoFalso servico(socket_, kVozes, {{comando, falha}});
        EXPECT_FALSE(servidor_.abre(1, 0, 0)) << comando;
        EXPECT_FALSE(servidor_.disponivel());
    }
    ServicoFalso semVozes(socket_, "");
    EXPECT_FALSE(servidor_.abre(1, 0, 0));
}

TEST_F(ServidorSpeechdTest, AServiceThatDiesOrTalksNonsenseMidSentenceGoesAway) {
    for (const char* resposta : {"", "garbage\r\n"}) {
        ServicoFalso servico(socket_, kVozes);
        ASSERT_TRUE(servidor_.abre(1, 0, 0));
        servidor_.fala("uma frase");
        ASSERT_TRUE(servidor_.falando());
        if (*resposta) servico.envia(resposta);
        else servico.fecha();
        while (servidor_.falando()) std::this_thread::sleep_for(1ms);
        EXPECT_FALSE(servidor_.disponivel());
        servidor_.fala("outra");  // nothing to send it to
        servidor_.fecha();
    }
}

}  // namespace
