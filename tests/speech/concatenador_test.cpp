#include "speech/concatenador.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "bancadaFala.h"

namespace {

using bancada::DifoneTeste;
using bancada::ruido;
using bancada::silencio;
using bancada::Trecho;

// Each diphone's samples hold its own value, so the output shows which ones were played.
const std::vector<DifoneTeste> kBancoPadrao = {
    {"$PA", 1000, 10},   {"$PE", 1000, 11},    {"$P", 200, 12},   {"$A", 300, 13},
    {"$S", 400, 14},     {"$L", 250, 15},      {"$RR", 500, 16},  {"$AW", 600, 17},
    {"$T", 150, 18},     {"$RA", 700, 19},     {"$NHA", 800, 20}, {"$PACIRC", 900, 21},
    {"$AWTIL", 650, 22}, {"$PECIRC", 550, 23}, {"$U", 350, 24},   {"$OCIRC", 450, 25},
    {"$NN", 480, 26},    {"$PI", 520, 27},
};
constexpr uint8_t kLetraB = 40;

class ConcatenadorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(letras());
        gravaArquivoTeste(letras() / "_98.wav",
                          ondaTeste(bancada::kMono8, std::vector<uint8_t>(70, kLetraB)));
        usaBanco(kBancoPadrao);
    }

    std::filesystem::path letras() const { return dir_.caminho() / "letras"; }

    void usaBanco(const std::vector<DifoneTeste>& difones) {
        bancada::escreveBanco(dir_.caminho(), "VOZ", difones);
        auto banco = BancoDifones::abre(dir_.caminho() / "VOZ.IND", dir_.caminho() / "VOZ.DIF");
        ASSERT_TRUE(banco);
        auto recebe = [this](std::span<const uint8_t> onda) {
            OndaPcm pcm;
            ASSERT_TRUE(leOndaPcm(onda, pcm));
            EXPECT_EQ(pcm.formato, (FormatoAudio{1, 11025, 8}));
            EXPECT_LT(onda.size(), Concatenador::kTamanhoBuffer);
            ondas.push_back(pcm.dados);
            eventos.push_back("onda");
        };
        SaidaSom saida{
            recebe,
            [this] {
                return teclaDepoisDe >= 0 && static_cast<int>(ondas.size()) >= teclaDepoisDe;
            },
            [this](const std::filesystem::path& p) { eventos.push_back(p.filename().string()); },
            [this, recebe](std::span<const uint8_t> onda) {
                enfileiradas.push_back(ondas.size());
                recebe(onda);
            }};
        concatenador_ = std::make_unique<Concatenador>(std::move(*banco), letras(), saida);
    }

    // Every sample played for the phonetic string, the waves joined.
    std::vector<uint8_t> fala(std::string_view fonetica, Cortes cortes = {0, 0, 0}) {
        ondas.clear();
        enfileiradas.clear();
        eventos.clear();
        concatenador_->mudaCortes(cortes);
        concatenador_->fala(fonetica);
        std::vector<uint8_t> tudo;
        for (const auto& o : ondas) tudo.insert(tudo.end(), o.begin(), o.end());
        return tudo;
    }

    std::vector<std::vector<uint8_t>> ondas;
    std::vector<size_t> enfileiradas;  // the waves queued while the speech went on
    std::vector<std::string> eventos;
    int teclaDepoisDe = -1;  // a key is waiting once this many waves were played

  private:
    PastaTemporaria dir_{"fala"};
    std::unique_ptr<Concatenador> concatenador_;
};

constexpr Cortes kSemCorte{0, 0, 0};

// Each case: a phonetic string, the cuts (CORTEFON, SOBRAFON, INTERPAL) and the runs of
// samples it must produce (diphone values from kBancoPadrao, silence, noise).
struct Caso {
    const char* fonetica;
    Cortes cortes;
    std::vector<Trecho> esperado;
};

TEST_F(ConcatenadorTest, UnitsSplitCutAndJoinAsTheyShould) {
    const Trecho b70{kLetraB, 70};
    const Trecho fim = bancada::esvaindo();
    const Trecho sobe = bancada::subindo();
    const Trecho funde = bancada::fundindo();
    const Caso casos[] = {
        // Punctuation units are pauses in samples; blocks of 100 between words.
        {"[ /_,]", kSemCorte, {silencio(4000)}},
        {"[ /_.]", kSemCorte, {silencio(8000)}},
        {"[ /_;]", kSemCorte, {silencio(6000)}},
        {"[ /_:]", kSemCorte, {silencio(8000)}},
        // A sound fades in from a pause and out into one over 33 samples; units with no
        // pause between them are joined by a crossfade, over the 44 samples a unit cut short
        // had past its cut (so the length stays as cut).
        {"[pa][pa]", {100, 0, 250}, {sobe, {10, 834}, fim, silencio(200), sobe, {10, 834}, fim}},
        {"[pa pa]", {100, 0, 250}, {sobe, {10, 1734}, fim}},  // a blank is no word end
        {"[pa][pa]", {100, 0, 99}, {sobe, {10, 1734}, fim}},
        // Stressed pieces keep their length; others lose CORTEFON but keep SOBRAFON; names
        // under 3 characters are never cut. After a whole unit, the next one overlaps its
        // last 44 samples.
        {"[pA pa]", {400, 0, 0}, {sobe, {10, 1490}, fim}},
        {"[a]", {400, 0, 0}, {sobe, {13, 234}, fim}},
        {"[pa]", {400, 700, 0}, {sobe, {10, 634}, fim}},
        {"[pa]", {400, 2000, 0}, {sobe, {10, 934}, fim}},
        {"[pa]", {5000, 0, 0}, {}},
        // Splitting: final s, leading pairs, final rr and consonants, glides, marks.
        {"[pas]", kSemCorte, {sobe, {10, 667}, funde, {14, 323}, fim}},
        {"[tra]", kSemCorte, {sobe, {18, 73}, funde, {19, 623}, fim}},
        {"[nha]", kSemCorte, {sobe, {20, 734}, fim}},
        {"[parr]", kSemCorte, {sobe, {10, 923}, funde, {16, 423}, fim}},
        {"[pal]", kSemCorte, {sobe, {10, 923}, funde, {15, 173}, fim}},
        {"[paw]", kSemCorte, {sobe, {10, 567}, funde, {17, 523}, fim}},
        {"[a~w]", kSemCorte, {sobe, {22, 584}, fim}},
        {"[pa~w]", kSemCorte, {sobe, {21, 507}, funde, {22, 573}, fim}},
        {"[pe^pa]", kSemCorte, {sobe, {23, 473}, funde, {10, 923}, fim}},
        // Missing names: noise when short, else split before the vowel; TIL falls to $NN
        // (after i or u the rest at 0.9, otherwise the CIRC name, stressed).
        {"[x]", kSemCorte, {ruido(300)}},
        {"[pu]", {100, 0, 0}, {sobe, {12, 147}, bancada::fundindo(20), {24, 297}, fim}},
        {"[po^]", {100, 0, 0}, {sobe, {12, 147}, bancada::fundindo(20), {25, 297}, fim}},
        {"[pi~]", {100, 0, 0}, {sobe, {27, 345}, funde, {26, 265}, fim}},
        {"[pe~]", {100, 0, 0}, {sobe, {23, 462}, funde, {26, 265}, fim}},
        // Letters are appended whole (they start and end at rest); '/' ends only a unit of 9
        // characters or more; a unit keeps at most 40.
        {"[ /_b][ /_b]", {0, 0, 100}, {b70, silencio(100), b70}},
        {"[ /_b/_b/_b/_b/_b/_b]", {0, 0, 100}, {{kLetraB, 350}, silencio(100), b70}},
        {"[ /_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b]", kSemCorte, {{kLetraB, 20 * 70}}},
        {"[pa][ /_b]", kSemCorte, {sobe, {10, 934}, fim, b70}},  // the sound before fades out
    };
    for (const Caso& c : casos)
        EXPECT_TRUE(bancada::confere(fala(c.fonetica, c.cortes), c.esperado)) << c.fonetica;
}

TEST_F(ConcatenadorTest, NothingToSayPlaysNothingAndAnEmptyIndexIsNoise) {
    for (const char* nada : {"", "[]", "[ /_c]"}) fala(nada);  // no recording for c
    EXPECT_TRUE(ondas.empty());
    usaBanco({});
    EXPECT_TRUE(bancada::confere(fala("[pa][ /_,][x]", {100, 0, 100}),
                                  {ruido(600), silencio(4200), ruido(300)}));
}

TEST_F(ConcatenadorTest, RecordingOfAnotherFormatIsPlayedApartInOrder) {
    gravaArquivoTeste(letras() / "_100.wav", ondaTeste({1, 22050, 8}, std::vector<uint8_t>(50, 1)));
    fala("[pa][ /_d][pa]");
    EXPECT_EQ(eventos, (std::vector<std::string>{"onda", "_100.wav", "onda"}));
}

TEST_F(ConcatenadorTest, FullBufferIsPlayedAndRefilledAndAKeyStopsIt) {
    std::string pontos;
    for (int i = 0; i < 20; ++i) pontos += "[ /_.]";
    EXPECT_TRUE(bancada::confere(fala(pontos), {silencio(160000)}));
    ASSERT_EQ(ondas.size(), 3u);
    EXPECT_EQ(ondas[0].size(), 63900u);  // the next block of 100 would reach 64000
    teclaDepoisDe = 1;
    fala(pontos);
    EXPECT_EQ(ondas.size(), 1u);
    teclaDepoisDe = 0;
    fala("[pa]");
    EXPECT_TRUE(ondas.empty());
}

// A wave played while the speech goes on is queued without waiting; the unit it cut keeps
// its last samples in the buffer, and the next unit still crosses over them.
TEST_F(ConcatenadorTest, LongUnitsArePlayedInPiecesAndTheJoinSurvivesABufferPlayedMidSpeech) {
    usaBanco({{"$PA", 40000, 10}, {"$PE", 40000, 11}});
    EXPECT_TRUE(bancada::confere(fala("[pA pE]"), {bancada::subindo(), {10, 40000 - 33 - 44},
                                                   bancada::fundindo(), {11, 40000 - 44 - 33},
                                                   bancada::esvaindo()}));
    EXPECT_EQ(ondas.size(), 2u);
    EXPECT_EQ(enfileiradas, std::vector<size_t>{0});
    // Units and recordings longer than the buffer are played in pieces.
    usaBanco({{"$PA", 65535, 10}});
    gravaArquivoTeste(letras() / "_98.wav",
                      ondaTeste(bancada::kMono8, std::vector<uint8_t>(70000, kLetraB)));
    EXPECT_TRUE(bancada::confere(fala("[pA][ /_b]"),
                                  {bancada::subindo(), {10, 65469}, bancada::esvaindo(),
                                   {kLetraB, 70000}}));
    EXPECT_GE(ondas.size(), 3u);
}

// Arbitrary phonetic strings never make the speaker read past its buffer or the bank, and
// every wave it hands over is a valid one that fits the buffer.
TEST_F(ConcatenadorTest, ArbitraryPhoneticStringsAreSafe) {
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
