// The engine top: its playback buffer, its phrase-by-phrase lines against the whole text's,
// its opening with each file missing or broken, and, with the voice the kit made in the
// build tree, speaking as server type 3 at every speed.
#include "speech/tts/uttsBrisa.h"

#include <gtest/gtest.h>

#include "apoio.h"
#include "audioFalso.h"
#include "etapasTts.h"
#include "console/SnCrt.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/tocadorOnda.h"
#include "speech/tts/mbrola/bancoVoz.h"
#include "speech/tts/mbrola/motorDifones.h"
#include "console/teclaFila.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {

namespace fs = std::filesystem;

TEST(BufferOnda, PlaysBeforeReaching16000BytesAndPadsTheEndTo256) {
    std::vector<std::vector<uint8_t>> ondas;
    const TocaOnda toca = [&](std::span<const uint8_t> o) {
        ondas.emplace_back(o.begin(), o.end());
        return true;
    };
    BufferOnda b(toca);
    const std::vector<int16_t> bloco(3000, 7);  // 6000 bytes
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(b.acrescenta(bloco));
    ASSERT_EQ(ondas.size(), 2u);  // 12000 + 6000 would reach 16000: played at 12000, twice
    EXPECT_EQ(ondas[0].size(), 44u + 12000);
    const std::vector<int16_t> pouco(50, 1);
    BufferOnda fim(toca);
    fim.acrescenta(pouco);
    EXPECT_TRUE(fim.termina());
    ASSERT_EQ(ondas.size(), 3u);
    EXPECT_EQ(ondas[2].size(), 44u + 256);  // 100 bytes of samples, then silence
    EXPECT_EQ(ondas[2][44], 1);
    EXPECT_EQ(ondas[2].back(), 0);
    // The header is the canonical one the device layer writes.
    EXPECT_EQ(std::vector<uint8_t>(ondas[2].begin(), ondas[2].begin() + 44), cabecalhoWave({1, 16000, 16}, 256));

    const TocaOnda para = [](std::span<const uint8_t>) { return false; };
    BufferOnda parado(para);
    parado.acrescenta(bloco);
    parado.acrescenta(bloco);
    EXPECT_FALSE(parado.acrescenta(bloco));  // the player said stop
    EXPECT_FALSE(parado.acrescenta(bloco));
}

// Cut at sentence ends and in long unpunctuated stretches, the lines are those of the whole
// text: contours that look at the next item, a final s said z before the next word's vowel,
// abbreviations, initials, numbers, dashes and lone characters across the cuts.
TEST(FrasesTts, PhraseByPhraseGivesTheWholeTextsLines) {
    const EtapasTts e;
    std::string semPonto;
    while (semPonto.size() < 3 * FrasesTts::kFraseLonga) semPonto += "os olhos azuis ";
    const std::string textos[] = {
        w("Bom dia. Como vai você? Eu vou bem! O Sr. Silva e J. Souza chegaram às 10h."),
        w("Custou R$ 1.234,56 em 2023. 3o. lugar - e o 2º. Depois -5 graus... Fim. ."),
        "Linha um.\nLinha dois.\tTres.  \r\n Quatro?! a. b",
        semPonto + "e mais. " + semPonto + "fim",
        ". a",
        "x"};
    for (const std::string& t : textos) {
        FrasesTts frases(e.preproc, e.portug, e.prosodia, e.difones, e.fatores, t);
        std::vector<std::string> linhas;
        size_t n = 0;
        while (frases.proxima(linhas)) ++n;
        EXPECT_EQ(linhas, e.deUmaVez(t)) << u(t);
        if (t.size() > 40) { EXPECT_GE(n, 4u) << u(t); }
    }
    // The cuts in the long stretch fell between an s and a vowel: the joins are there.
    const auto linhas = e.deUmaVez(semPonto);
    EXPECT_GT(std::count_if(linhas.begin(), linhas.end(), [](const std::string& l) { return l.starts_with("z "); }),
              40);
}

// The engine's files in a folder: the build tree's voice and data, with one changed.
class MotorBrisaTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef PLUMAR_COM_KIT
        GTEST_SKIP() << "sem o kit de voz";
#endif
        for (const char* f :
             {"br4", "portug.pro", "portug.dfn", "portug.nrl", "portug.exc", "portug.abr"}) {
            ASSERT_TRUE(fs::exists(kRaiz / f)) << kRaiz / f;
            fs::copy_file(kRaiz / f, pasta_ / f);
        }
        arquivos_ = {(pasta_ / "br4").string(),        (pasta_ / "portug.nrl").string(),
                     (pasta_ / "portug.exc").string(), (pasta_ / "portug.dfn").string(),
                     (pasta_ / "portug.pro").string(), (pasta_ / "portug.abr").string()};
    }
    const fs::path kRaiz = fs::path(PLUMAR_RAIZ_CONSTRUCAO) / "brisatts";
    PastaTemporaria pasta_;
    ArquivosBrisa arquivos_;
};

TEST_F(MotorBrisaTest, EachMissingOrBrokenFileKeepsTheEngineClosed) {
    MotorBrisa m;
    const std::string erroProsodia = "Erro no arquivo de pros\xF3""dia";
    auto falhaCom = [&](const fs::path& arquivo, std::string_view conteudo, const std::string& erro) {
        const std::string antes = leArquivo(arquivo);
        gravaArquivoTeste(arquivo, conteudo);
        EXPECT_FALSE(m.abre(arquivos_)) << arquivo;
        if (!erro.empty()) { EXPECT_EQ(m.ultimoErro(), erro); }
        EXPECT_FALSE(m.aberto());
        gravaArquivoTeste(arquivo, antes);
    };
    falhaCom(pasta_ / "br4", "PLUMARVZ garbage", "");
    falhaCom(pasta_ / "portug.pro", "[CHAVES]\n", erroProsodia);
    falhaCom(pasta_ / "portug.dfn", "\x01\x02 !!! ###\n", erroProsodia);
    // Each rule file missing, then a folder in its place, with the message of its kind.
    const char* erroPortugues = "Erro na base de dados de portugu\xEAs";
    for (const auto& [arquivo, erro] : {std::pair{"portug.nrl", erroPortugues}, {"portug.exc", erroPortugues},
                                        {"portug.abr", "Erro no arquivo de abreviaturas"},
                                        {"portug.pro", erroProsodia.c_str()}}) {
        fs::rename(pasta_ / arquivo, pasta_ / "fora");
        EXPECT_FALSE(m.abre(arquivos_)) << arquivo;
        EXPECT_EQ(m.ultimoErro(), erro) << arquivo;
        fs::create_directory(pasta_ / arquivo);
        EXPECT_FALSE(m.abre(arquivos_)) << arquivo << " as a folder";
        EXPECT_EQ(m.ultimoErro(), erro) << arquivo << " as a folder";
        fs::remove(pasta_ / arquivo);
        fs::rename(pasta_ / "fora", pasta_ / arquivo);
    }
    ASSERT_TRUE(m.abre(arquivos_)) << m.ultimoErro();
    // Texts of nothing to say do no harm.
    for (const char* t : {"", "   ", "?!,.;:", "......", "\x01\x02\xFF"})
        EXPECT_TRUE(m.fala(t, [](auto) { return true; })) << t;
}

// The list the prosody stage bridges by and the voice agree pair for pair.
TEST_F(MotorBrisaTest, TheDiphoneListNamesExactlyTheVoicesDiphones) {
    std::string erro;
    const auto banco = leBancoVoz(pasta_ / "br4", erro);
    ASSERT_TRUE(banco) << erro;
    std::set<std::pair<std::string, std::string>> naVoz, naLista;
    for (const DifoneVoz& d : banco->difones) naVoz.emplace(d.primeiro, d.segundo);
    for (const auto& par : ListaDifones::interpreta(leArquivo(pasta_ / "portug.dfn"))) naLista.insert(par);
    EXPECT_EQ(naVoz, naLista);
    EXPECT_EQ(naVoz.size(), banco->difones.size());  // no pair twice
}

// What a listener hears of a sentence's last word, from the synthesizer's own F0 track: the
// pitch of its first and last voiced pulses, the last target it asks for, and the lowest
// pitch of the whole sentence.
struct FimDeFrase {
    double primeiro = 0, ultimo = 0, alvo = 0, menor = 1e9;
};

FimDeFrase ouveFim(const MotorBrisa& motor, const fs::path& voz, std::string_view frase) {
    std::string erro;
    auto banco = leBancoVoz(voz, erro);
    EXPECT_TRUE(banco) << erro;
    if (!banco) return {};
    MotorDifones sintese(std::move(*banco));
    sintese.guardaF0(true);
    // The samples and the last pitch target of the word being made, and of the word before
    // the sentence's closing mark once the mark comes.
    struct Palavra {
        double inicio = 0, fim = 0, alvo = 0;
    } palavra, ultima;
    double t = 0;
    for (const std::string& l : motor.linhas(frase)) {
        if (l[0] == ';') {
            if (l == ";." || l == ";?") ultima = palavra;
            palavra = {t, t, 0};
            continue;
        }
        const auto f = interpretaLinhaFonema(l, erro);
        EXPECT_TRUE(f && sintese.escreve(l, erro)) << l << ": " << erro;
        if (!f) continue;
        t += std::round(f->duracaoMs * 16);
        palavra.fim = t;
        for (auto [pos, hz] : f->alvos) palavra.alvo = hz;
    }
    sintese.descarrega();
    EXPECT_GT(ultima.fim, ultima.inicio) << frase;
    FimDeFrase r{0, 0, ultima.alvo};
    for (auto [quando, hz] : sintese.trilhaF0()) {
        r.menor = std::min(r.menor, hz);
        if (quando < ultima.inicio || quando >= ultima.fim) continue;
        if (r.primeiro == 0) r.primeiro = hz;
        r.ultimo = hz;
    }
    return r;
}

// A question rises to its end and a statement falls to it, each reaching the level its
// contour ends on; at the lowest pitch step both still do, above 60 Hz.
TEST_F(MotorBrisaTest, AQuestionRisesAndAStatementFallsToTheirEndsAtEveryPitch) {
    MotorBrisa m;
    ASSERT_TRUE(m.abre(arquivos_)) << m.ultimoErro();
    for (int tom : {0, -10}) {
        const FatoresFala f = fatoresDaFala(0, tom);
        m.fatores(f.pitch, f.duracao);
        for (const char* frase : {"Voce viu os gatos?", "Quer falar?", "Ele comprou os doces.",
                                  "Ela falou com o professor."}) {
            const FimDeFrase r = ouveFim(m, pasta_ / "br4", frase);
            const bool pergunta = std::string_view(frase).ends_with('?');
            EXPECT_NEAR(r.ultimo, r.alvo, r.alvo * 0.05) << frase << " tom " << tom;
            if (pergunta) { EXPECT_GT(r.ultimo, 1.2 * r.primeiro) << frase << " tom " << tom; }
            else EXPECT_LT(r.ultimo, 0.9 * r.primeiro) << frase << " tom " << tom;
            EXPECT_GE(r.menor, 60) << frase << " tom " << tom;
        }
    }
}

// Server type 3 as the front end uses it, its samples reaching the sound device.
class ServidorBrisaTest : public MotorBrisaTest {
  protected:
    size_t diz(int taxa, std::string_view texto) {
        EXPECT_TRUE(servidor_.abre(0, taxa, 0));
        audio_.blocos.clear();
        servidor_.fala(texto);
        while (servidor_.falando()) crt_.Delay(10);
        size_t amostras = 0, sonoras = 0;
        for (const auto& b : audio_.blocos) {
            EXPECT_EQ(b.formato.taxa, 16000);
            EXPECT_EQ(b.formato.bits, 16);
            for (size_t i = 0; i + 1 < b.bytes.size(); i += 2, ++amostras)
                sonoras += std::abs(static_cast<int16_t>(b.bytes[i] | b.bytes[i + 1] << 8)) > 1000;
        }
        EXPECT_GT(sonoras, amostras / 20) << "quase mudo";
        return amostras;
    }

    AudioFalso audio_;
    SnCrt crt_{criaFrontEndHeadless({}), audio_, pasta_ / "SONARE.INI"};
    TocadorOnda tocador_{crt_, audio_};
    std::string dir_ = pasta_.caminho().string() + "/";
    ServidorBrisa servidor_{AmbienteServidor{
        tocador_,
        [this](std::string_view secao, std::string_view chave) {
            return secao == "BRISATTS" && chave == "DIR" ? dir_ : std::string();
        },
        [this] { return crt_.teclaPressionada(); }}};
};

TEST_F(ServidorBrisaTest, SpeaksAParagraphAndFasterAtAHigherRate) {
    const std::string texto = "Bom dia. Como vai voce? Eu vou bem, obrigado, e a familia vai bem tambem.";
    const size_t normal = diz(0, texto);
    EXPECT_GT(normal, 16000u);  // over a second
    const size_t rapido = diz(6, texto);
    // Factor 0.4 against 0.8: half as long, give or take the bridges' and rounding's share.
    EXPECT_NEAR(static_cast<double>(rapido) / normal, 0.5, 0.08);
    diz(-10, texto);
    diz(10, texto);
}

// A stop at the first wave leaves the rest of a long text unmade.
TEST_F(MotorBrisaTest, AStopLeavesTheRestOfTheTextUnmade) {
    MotorBrisa m;
    ASSERT_TRUE(m.abre(arquivos_)) << m.ultimoErro();
    std::string longo;
    while (longo.size() < 60000) longo += "Ola, bom dia. Eu vou bem. ";
    size_t ondas = 0;
    m.fala(longo, [&](auto) { return ++ondas < 3; });
    EXPECT_EQ(ondas, 3u);
    EXPECT_LT(m.frasesFeitas(), 20u);
    m.fala("Bom dia. Tudo bem? Sim.", [](auto) { return true; });
    EXPECT_EQ(m.frasesFeitas(), 3u);
}

TEST_F(ServidorBrisaTest, AKeyStopsALongTextAndNothingIsSaidWhileOneWaits) {
    ASSERT_TRUE(servidor_.abre(0, 0, 0));
    std::string longo;
    while (longo.size() < 20000) longo += "ola, bom dia. ";
    confereTeclaParaFala(servidor_, audio_, crt_, longo);
}

}  // namespace
