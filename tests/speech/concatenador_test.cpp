#include "speech/concatenador.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "fixturasVoz.h"

namespace {

using fixturas::DifoneTeste;
using fixturas::ruido;
using fixturas::silencio;
using fixturas::Trecho;

// Each diphone's samples hold its own value, so the output shows which ones were played.
const std::vector<DifoneTeste> kBancoPadrao = {
    {"$PA", 1000, 10},   {"$PE", 1000, 11},    {"$P", 200, 12},   {"$A", 300, 13},
    {"$S", 400, 14},     {"$L", 250, 15},      {"$RR", 500, 16},  {"$AW", 600, 17},
    {"$T", 150, 18},     {"$RA", 700, 19},     {"$NHA", 800, 20}, {"$PACIRC", 900, 21},
    {"$AWTIL", 650, 22}, {"$PECIRC", 550, 23}, {"$U", 350, 24},   {"$OCIRC", 450, 25},
    {"$NN", 480, 26},    {"$PI", 520, 27},
};
constexpr uint8_t kLetraB = 40;

class Fala : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(letras());
        fixturas::escreveGravacao(letras() / "_98.wav", {1, 11025, 8},
                                  std::vector<uint8_t>(70, kLetraB));
        usaBanco(kBancoPadrao);
    }

    std::filesystem::path letras() const { return dir_.caminho() / "letras"; }

    void usaBanco(const std::vector<DifoneTeste>& difones) {
        fixturas::escreveBanco(dir_.caminho(), "VOZ", difones);
        auto banco = BancoDifones::abre(dir_.caminho() / "VOZ.IND", dir_.caminho() / "VOZ.DIF");
        ASSERT_TRUE(banco);
        SaidaSom saida{
            [this](std::span<const uint8_t> onda) {
                OndaPcm pcm;
                ASSERT_TRUE(leOndaPcm(onda, pcm));
                EXPECT_EQ(pcm.formato, (FormatoAudio{1, 11025, 8}));
                EXPECT_LT(onda.size(), Concatenador::kTamanhoBuffer);
                ondas.push_back(pcm.dados);
                eventos.push_back("onda");
            },
            [this] {
                return teclaDepoisDe >= 0 && static_cast<int>(ondas.size()) >= teclaDepoisDe;
            },
            [this](const std::filesystem::path& p) { eventos.push_back(p.filename().string()); }};
        concatenador_ = std::make_unique<Concatenador>(std::move(*banco), letras(), saida);
    }

    // Every sample played for the phonetic string, the waves joined.
    std::vector<uint8_t> fala(std::string_view fonetica, Cortes cortes = {0, 0, 0}) {
        ondas.clear();
        eventos.clear();
        concatenador_->mudaCortes(cortes);
        concatenador_->fala(fonetica);
        std::vector<uint8_t> tudo;
        for (const auto& o : ondas) tudo.insert(tudo.end(), o.begin(), o.end());
        return tudo;
    }

    std::vector<std::vector<uint8_t>> ondas;
    std::vector<std::string> eventos;
    int teclaDepoisDe = -1;  // a key is waiting once this many waves were played

  private:
    fixturas::DiretorioTemporario dir_{"fala"};
    std::unique_ptr<Concatenador> concatenador_;
};

// ---- Silences ------------------------------------------------------------------------

TEST_F(Fala, PunctuationUnitsArePausesInSamples) {
    EXPECT_TRUE(fixturas::confere(fala("[ /_,]"), {silencio(4000)}));
    EXPECT_TRUE(fixturas::confere(fala("[ /_.]"), {silencio(8000)}));
    EXPECT_TRUE(fixturas::confere(fala("[ /_;]"), {silencio(6000)}));
    EXPECT_TRUE(fixturas::confere(fala("[ /_:]"), {silencio(8000)}));
    EXPECT_EQ(ondas.size(), 1u);
}

TEST_F(Fala, WordsAreSeparatedByInterpalInBlocksOf100) {
    Cortes c{100, 0, 250};
    EXPECT_TRUE(fixturas::confere(fala("[pa][pa]", c), {{10, 900}, silencio(200), {10, 900}}));
    // A unit ended by a blank is not a word end.
    EXPECT_TRUE(fixturas::confere(fala("[pa pa]", c), {{10, 900}, {10, 900}}));
    c.interPal = 99;
    EXPECT_TRUE(fixturas::confere(fala("[pa][pa]", c), {{10, 900}, {10, 900}}));
}

TEST_F(Fala, NothingToSayPlaysNothing) {
    fala("");
    fala("[]");
    fala("[ /_c]");  // no recording for c
    EXPECT_TRUE(ondas.empty());
}

// ---- Cuts and stress -----------------------------------------------------------------

TEST_F(Fala, StressedDiphoneKeepsItsFullLengthOthersLoseCortefon) {
    Cortes c{400, 0, 0};
    EXPECT_TRUE(fixturas::confere(fala("[pa]", c), {{10, 600}}));
    EXPECT_TRUE(fixturas::confere(fala("[pA]", c), {{10, 1000}}));
    // The stress lasts one piece only.
    EXPECT_TRUE(fixturas::confere(fala("[pA pa]", c), {{10, 1000}, {10, 600}}));
    // Names shorter than 3 characters are never cut.
    EXPECT_TRUE(fixturas::confere(fala("[a]", c), {{13, 300}}));
}

TEST_F(Fala, SobrafonKeepsAMinimumAfterTheCut) {
    EXPECT_TRUE(fixturas::confere(fala("[pa]", {400, 700, 0}), {{10, 700}}));
    EXPECT_TRUE(fixturas::confere(fala("[pa]", {400, 2000, 0}), {{10, 1000}}));
    EXPECT_TRUE(fixturas::confere(fala("[pa]", {5000, 0, 0}), {}));
}

// ---- Splitting units -----------------------------------------------------------------

TEST_F(Fala, FinalSShortensWhatComesBefore) {
    EXPECT_TRUE(fixturas::confere(fala("[pas]"), {{10, 700}, {14, 400}}));
}

TEST_F(Fala, LeadingConsonantPairsAreSplitExceptTheJoinedOnes) {
    EXPECT_TRUE(fixturas::confere(fala("[tra]"), {{18, 150}, {19, 700}}));
    EXPECT_TRUE(fixturas::confere(fala("[nha]"), {{20, 800}}));
}

TEST_F(Fala, FinalRrAndFinalConsonantArePlayedAlone) {
    EXPECT_TRUE(fixturas::confere(fala("[parr]"), {{10, 1000}, {16, 500}}));
    EXPECT_TRUE(fixturas::confere(fala("[pal]"), {{10, 1000}, {15, 250}}));
}

TEST_F(Fala, GlidesShortenTheVowelBeforeThem) {
    EXPECT_TRUE(fixturas::confere(fala("[paw]"), {{10, 600}, {17, 600}}));
    // After a mark the mark moves behind the glide.
    EXPECT_TRUE(fixturas::confere(fala("[a~w]"), {{22, 650}}));
    EXPECT_TRUE(fixturas::confere(fala("[pa~w]"), {{21, 540}, {22, 650}}));
}

TEST_F(Fala, MarksCloseDiphoneNames) {
    EXPECT_TRUE(fixturas::confere(fala("[pe^]"), {{23, 550}}));
    EXPECT_TRUE(fixturas::confere(fala("[pe^pa]"), {{23, 550}, {10, 1000}}));
}

// ---- Missing diphones ----------------------------------------------------------------

TEST_F(Fala, MissingShortNameIsANoiseBurst) {
    EXPECT_TRUE(fixturas::confere(fala("[x]"), {ruido(300)}));
}

TEST_F(Fala, MissingNameEndingInAVowelIsSplit) {
    EXPECT_TRUE(fixturas::confere(fala("[pu]", {100, 0, 0}), {{12, 180}, {24, 350}}));
}

TEST_F(Fala, MissingCircNameIsSplitBeforeItsVowel) {
    EXPECT_TRUE(fixturas::confere(fala("[po^]", {100, 0, 0}), {{12, 180}, {25, 350}}));
}

TEST_F(Fala, MissingTilNameFallsBackToNn) {
    // After i or u: the rest with 0.9, then $NN with 0.9 (cut, as at a word start).
    EXPECT_TRUE(fixturas::confere(fala("[pi~]", {100, 0, 0}), {{27, 378}, {26, 342}}));
    // Otherwise the CIRC name, played stressed (uncut), then $NN.
    EXPECT_TRUE(fixturas::confere(fala("[pe~]", {100, 0, 0}), {{23, 495}, {26, 342}}));
}

TEST_F(Fala, EmptyIndexGivesNoiseBurstsAndSilences) {
    usaBanco({});
    EXPECT_TRUE(fixturas::confere(fala("[pa][ /_,][x]", {100, 0, 100}),
                                  {ruido(600), silencio(4200), ruido(300)}));
}

// ---- Letters -------------------------------------------------------------------------

TEST_F(Fala, LetterRecordingsAreAppendedWhole) {
    EXPECT_TRUE(fixturas::confere(fala("[ /_b][ /_b]", {0, 0, 100}),
                                  {{kLetraB, 70}, silencio(100), {kLetraB, 70}}));
    // A '/' does not end a unit shorter than 9 characters; a longer one it does.
    EXPECT_TRUE(fixturas::confere(fala("[ /_b/_b/_b/_b/_b/_b]", {0, 0, 100}),
                                  {{kLetraB, 350}, silencio(100), {kLetraB, 70}}));
}

TEST_F(Fala, UnitsKeepAtMost40Characters) {
    std::string muitas = "[ /";
    for (int i = 0; i < 25; ++i) muitas += "_b";
    EXPECT_TRUE(fixturas::confere(fala(muitas + "]"), {{kLetraB, 20 * 70}}));
}

TEST_F(Fala, RecordingOfAnotherFormatIsPlayedApartInOrder) {
    fixturas::escreveGravacao(letras() / "_100.wav", {1, 22050, 8}, std::vector<uint8_t>(50, 1));
    fala("[pa][ /_d][pa]");
    EXPECT_EQ(eventos, (std::vector<std::string>{"onda", "_100.wav", "onda"}));
}

// ---- The buffer ----------------------------------------------------------------------

TEST_F(Fala, FullBufferIsPlayedAndRefilled) {
    std::string pontos;
    for (int i = 0; i < 20; ++i) pontos += "[ /_.]";
    EXPECT_TRUE(fixturas::confere(fala(pontos), {silencio(160000)}));
    ASSERT_EQ(ondas.size(), 3u);
    EXPECT_EQ(ondas[0].size(), 63900u);  // the next block of 100 would reach 64000
}

TEST_F(Fala, RunsLongerThanTheBufferArePlayedInPieces) {
    usaBanco({{"$PA", 65535, 10}});
    fixturas::escreveGravacao(letras() / "_98.wav", {1, 11025, 8},
                              std::vector<uint8_t>(70000, kLetraB));
    EXPECT_TRUE(fixturas::confere(fala("[pA][ /_b]"), {{10, 65535}, {kLetraB, 70000}}));
    EXPECT_GE(ondas.size(), 3u);
}

TEST_F(Fala, WaitingKeyStopsSpeaking) {
    teclaDepoisDe = 0;
    fala("[pa]");
    EXPECT_TRUE(ondas.empty());
    std::string pontos;
    for (int i = 0; i < 20; ++i) pontos += "[ /_.]";
    teclaDepoisDe = 1;
    fala(pontos);
    EXPECT_EQ(ondas.size(), 1u);
}

}  // namespace

namespace {

// Arbitrary phonetic strings never make the speaker read past its buffer or the bank, and
// every wave it hands over is a valid one that fits the buffer.
TEST_F(Fala, ArbitraryPhoneticStringsAreSafe) {
    const std::string alfabeto = "[]/_ ^~aeiouAEIOUwyrsbcdptlmnhkx,.;:$";
    std::mt19937 gerador(12345);
    for (int vez = 0; vez < 3000; ++vez) {
        std::string fonetica;
        size_t n = gerador() % 70;
        for (size_t i = 0; i < n; ++i) fonetica += alfabeto[gerador() % alfabeto.size()];
        fala(fonetica, {static_cast<int>(gerador() % 500), static_cast<int>(gerador() % 500), 100});
        for (const auto& onda : ondas)
            ASSERT_LE(onda.size(), Concatenador::kTamanhoBuffer - 45) << fonetica;
    }
}

}  // namespace
