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
        bancada::escreveGravacao(letras() / "_98.wav", {1, 11025, 8},
                                  std::vector<uint8_t>(70, kLetraB));
        usaBanco(kBancoPadrao);
    }

    std::filesystem::path letras() const { return dir_.caminho() / "letras"; }

    void usaBanco(const std::vector<DifoneTeste>& difones) {
        bancada::escreveBanco(dir_.caminho(), "VOZ", difones);
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
    const Caso casos[] = {
        // Punctuation units are pauses in samples; blocks of 100 between words.
        {"[ /_,]", kSemCorte, {silencio(4000)}},
        {"[ /_.]", kSemCorte, {silencio(8000)}},
        {"[ /_;]", kSemCorte, {silencio(6000)}},
        {"[ /_:]", kSemCorte, {silencio(8000)}},
        // A diphone cut short fades out over its last 33 samples.
        {"[pa][pa]", {100, 0, 250}, {{10, 867}, fim, silencio(200), {10, 867}, fim}},
        {"[pa pa]", {100, 0, 250}, {{10, 867}, fim, {10, 867}, fim}},  // a blank is no word end
        {"[pa][pa]", {100, 0, 99}, {{10, 867}, fim, {10, 867}, fim}},
        // Stressed pieces keep their length; others lose CORTEFON but keep SOBRAFON; names
        // under 3 characters are never cut.
        {"[pA pa]", {400, 0, 0}, {{10, 1000}, {10, 567}, fim}},
        {"[a]", {400, 0, 0}, {{13, 300}}},
        {"[pa]", {400, 700, 0}, {{10, 667}, fim}},
        {"[pa]", {400, 2000, 0}, {{10, 1000}}},
        {"[pa]", {5000, 0, 0}, {}},
        // Splitting: final s, leading pairs, final rr and consonants, glides, marks.
        {"[pas]", kSemCorte, {{10, 667}, fim, {14, 400}}},
        {"[tra]", kSemCorte, {{18, 150}, {19, 700}}},
        {"[nha]", kSemCorte, {{20, 800}}},
        {"[parr]", kSemCorte, {{10, 1000}, {16, 500}}},
        {"[pal]", kSemCorte, {{10, 1000}, {15, 250}}},
        {"[paw]", kSemCorte, {{10, 567}, fim, {17, 600}}},
        {"[a~w]", kSemCorte, {{22, 650}}},
        {"[pa~w]", kSemCorte, {{21, 507}, fim, {22, 650}}},
        {"[pe^pa]", kSemCorte, {{23, 550}, {10, 1000}}},
        // Missing names: noise when short, else split before the vowel; TIL falls to $NN
        // (after i or u the rest at 0.9, otherwise the CIRC name, stressed).
        {"[x]", kSemCorte, {ruido(300)}},
        {"[pu]", {100, 0, 0}, {{12, 147}, fim, {24, 350}}},
        {"[po^]", {100, 0, 0}, {{12, 147}, fim, {25, 317}, fim}},
        {"[pi~]", {100, 0, 0}, {{27, 345}, fim, {26, 309}, fim}},
        {"[pe~]", {100, 0, 0}, {{23, 462}, fim, {26, 309}, fim}},
        // Letters are appended whole; '/' ends only a unit of 9 characters or more; a unit
        // keeps at most 40.
        {"[ /_b][ /_b]", {0, 0, 100}, {b70, silencio(100), b70}},
        {"[ /_b/_b/_b/_b/_b/_b]", {0, 0, 100}, {{kLetraB, 350}, silencio(100), b70}},
        {"[ /_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b_b]", kSemCorte, {{kLetraB, 20 * 70}}},
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
    bancada::escreveGravacao(letras() / "_100.wav", {1, 22050, 8}, std::vector<uint8_t>(50, 1));
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

TEST_F(ConcatenadorTest, RunsLongerThanTheBufferArePlayedInPieces) {
    usaBanco({{"$PA", 65535, 10}});
    bancada::escreveGravacao(letras() / "_98.wav", {1, 11025, 8},
                              std::vector<uint8_t>(70000, kLetraB));
    EXPECT_TRUE(bancada::confere(fala("[pA][ /_b]"), {{10, 65535}, {kLetraB, 70000}}));
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
