#include "speech/tocadorOnda.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <functional>
#include <string>
#include <utility>

#include "apoio.h"
#include "audioFalso.h"
#include "console/SnCrt.h"
#include "platform/audio.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "console/teclaFila.h"
#include "speech/fala.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

// 8-bit samples that are never silence, so padding and the closing 128 show.
Bytes rampa(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(1 + i % 97);
    return b;
}

// One pitch period of 100 samples, a single peak (226) at the end of each period.
Bytes denteDeSerra(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(28 + 2 * (i % 100));
    return b;
}

Bytes pedaco(const Bytes& b, size_t de, size_t n) {
    return Bytes(b.begin() + long(de), b.begin() + long(de + n));
}

constexpr FormatoAudio kMono8{1, 11025, 8};

// A virtual clock and one key that comes at `teclaEm` ms, as a terminal delivers it: a
// sleep that input may end is woken then.
class FrenteTeclaMarcada : public FrontEndSemTela {
  public:
    explicit FrenteTeclaMarcada(uint64_t teclaEm) : teclaEm_(teclaEm) {}
    std::optional<EventoEntrada> proximoEvento(bool) override {
        if (entregue_ || agora_ < teclaEm_) return std::nullopt;
        entregue_ = true;
        EventoEntrada e;
        e.tipo = EventoEntrada::Tipo::Caractere;
        e.caractere = 'x';
        return e;
    }
    uint64_t agoraMs() override { return agora_; }
    void dorme(int ms) override { agora_ += static_cast<uint64_t>(ms); }
    bool dormeAteEntrada(int ms) override {
        const uint64_t fim = agora_ + static_cast<uint64_t>(ms);
        const bool chega = !entregue_ && teclaEm_ > agora_ && teclaEm_ <= fim;
        agora_ = chega ? teclaEm_ : fim;
        return chega;
    }

  private:
    uint64_t teclaEm_, agora_ = 0;
    bool entregue_ = false;
};

class TocadorOndaTest : public ::testing::Test {
  protected:
    void SetUp() override { monta(""); }
    void monta(std::string_view roteiro) { monta(criaFrontEndHeadless(leRoteiro(roteiro).teclas)); }
    void monta(std::unique_ptr<FrontEnd> frente) {
        tocador_.reset();
        crt_ = std::make_unique<SnCrt>(std::move(frente), audio_, dir_ / "SONARE.INI");
        tocador_ = std::make_unique<TocadorOnda>(*crt_, audio_);
    }
    void comRelogio() {
        audio_.relogio = [this] { return crt_->agoraMs(); };
        audio_.ritmado = true;
    }
    fs::path grava(const std::string& nome, const Bytes& bytes) {
        gravaArquivoTeste(dir_ / nome, bytes);
        return dir_ / nome;
    }
    std::string tela() const {
        const auto& c = crt_->tela().caracteres;
        return std::string(c.begin(), c.end());
    }

    PastaTemporaria dir_;
    AudioFalso audio_;
    std::unique_ptr<SnCrt> crt_;
    std::unique_ptr<TocadorOnda> tocador_;
};

// ------------------------------------------------------------------ blocks

TEST_F(TocadorOndaTest, AShortEightBitSoundBecomesABlockOf256WithSilence) {
    const Bytes som = rampa(100);
    tocador_->tocaMemoria(ondaTeste(kMono8, som));
    ASSERT_EQ(audio_.tamanhos(), std::vector<size_t>{256});
    const Bytes& b = audio_.blocos[0].bytes;
    EXPECT_EQ(pedaco(b, 0, 100), som);  // the last sample of the sound is kept
    EXPECT_EQ(pedaco(b, 100, 156), Bytes(156, 128));

    // A wave that more of the sound follows is neither padded nor closed on silence.
    tocador_->tocaMemoria(ondaTeste(kMono8, som), true);
    EXPECT_EQ(audio_.blocos.back().bytes, som);
}

// Pieces of 65534 bytes; the last one ends on silence unless it is full.
TEST_F(TocadorOndaTest, MemoryIsPlayedInPieces) {
    const Bytes memoria = rampa(2 * 65534 + 300);
    tocador_->tocaPcm(memoria, 11025, 1, 8);
    ASSERT_EQ(audio_.tamanhos(), (std::vector<size_t>{65534, 65534, 300}));
    EXPECT_EQ(audio_.blocos[0].bytes, pedaco(memoria, 0, 65534));
    EXPECT_EQ(pedaco(audio_.blocos[2].bytes, 0, 299), pedaco(memoria, 2 * 65534, 299));
    EXPECT_EQ(audio_.blocos[2].bytes.back(), 128);
}

TEST_F(TocadorOndaTest, SixteenBitsInWholeFramesAndFreshSilence) {
    const Bytes estereo = rampa(3 * 65532 + 4);
    tocador_->tocaPcm(estereo, 22050, 2, 16);
    ASSERT_EQ(audio_.tamanhos(), (std::vector<size_t>{65532, 65532, 65532, 256}));
    EXPECT_EQ(pedaco(audio_.tocados(), 0, estereo.size()), estereo);
    // The ring has come round to buffers that hold old samples: padding must be silence.
    tocador_->tocaPcm(rampa(100), 22050, 1, 16);
    ASSERT_EQ(audio_.blocos.back().bytes.size(), 256u);
    EXPECT_EQ(pedaco(audio_.blocos.back().bytes, 100, 156), Bytes(156, 0));
    tocador_->tocaPcm(rampa(301), 22050, 1, 16);  // half a sample is not played
    EXPECT_EQ(audio_.blocos.back().bytes.size(), 300u);
}

// ------------------------------------------------------------------ files

// The formats the wave reader refuses are rows of its own test; here the player's part:
// text, broken chunks, a missing file and a folder play nothing.
TEST_F(TocadorOndaTest, InvalidInputGivesMinusOneAndPlaysNothing) {
    const Bytes boa = ondaTeste(kMono8, rampa(400));
    auto muda = [&](size_t pos, std::vector<uint8_t> bytes) {
        Bytes b = boa;
        std::copy(bytes.begin(), bytes.end(), b.begin() + long(pos));
        return b;
    };
    const std::vector<std::pair<std::string, Bytes>> casos = {
        {"texto", Bytes{'o', 'l', 'a', ' ', 'm', 'u', 'n', 'd', 'o', '\n'}},
        {"fmtAbsurdo", muda(16, {0xF0, 0xFF, 0xFF, 0xFF})},
        {"dadosAntesDoFormato", muda(12, {'d', 'a', 't', 'a'})},
    };
    for (const auto& [nome, bytes] : casos) {
        EXPECT_EQ(tocador_->tocaArquivo(grava(nome + ".wav", bytes)), -1) << nome;
        tocador_->tocaMemoria(bytes);
    }
    EXPECT_EQ(tocador_->tocaArquivo(dir_ / "naoExiste.wav"), -1);
    EXPECT_EQ(tocador_->tocaArquivo(dir_.caminho()), -1);
    EXPECT_TRUE(audio_.blocos.empty());
    EXPECT_EQ(audio_.aberturas, 0);
}

TEST_F(TocadorOndaTest, DataPastTheEndPlaysOnlyWhatIsThere) {
    const Bytes som = rampa(1000);
    const Bytes o = ondaTeste(kMono8, som, 100000);
    EXPECT_EQ(tocador_->tocaArquivo(grava("curto.wav", o)), 0);
    tocador_->tocaMemoria(o);
    ASSERT_EQ(audio_.tamanhos(), (std::vector<size_t>{1000, 1000}));
    EXPECT_EQ(pedaco(audio_.blocos[0].bytes, 0, 999), pedaco(som, 0, 999));
    EXPECT_EQ(audio_.blocos[1].bytes, audio_.blocos[0].bytes);
}

// A file just over one buffer is split so that its last piece is a whole block: a short
// block inside the sound would be padded with silence and heard as a gap.
TEST_F(TocadorOndaTest, AFileJustOverABufferEndsOnAWholeBlock) {
    const Bytes som = rampa(65534 + 255);
    EXPECT_EQ(tocador_->tocaArquivo(grava("quase.wav", ondaTeste(kMono8, som))), 0);
    ASSERT_EQ(audio_.tamanhos(), (std::vector<size_t>{65278, 511}));
    EXPECT_EQ(pedaco(audio_.tocados(), 0, 65788), pedaco(som, 0, 65788));
    EXPECT_EQ(audio_.tocados().back(), 128);
}

// ------------------------------------------------------------------ speed-ups

TEST_F(TocadorOndaTest, SpeedUpPlays11025At16538AndStereoIsNotCompressed) {
    tocador_->acelerado = true;
    tocador_->tocaArquivo(grava("rapido.wav", ondaTeste(kMono8, rampa(500))));
    ASSERT_EQ(audio_.blocos.size(), 1u);
    EXPECT_EQ(audio_.blocos[0].formato, (FormatoAudio{1, 16538, 8}));

    tocador_->acelerado = false;
    tocador_->comprimeTempo = true;
    audio_.blocos.clear();
    const Bytes som = denteDeSerra(40000);
    tocador_->tocaArquivo(grava("estereo.wav", ondaTeste({2, 11025, 16}, som)));
    ASSERT_FALSE(audio_.blocos.empty());
    EXPECT_EQ(audio_.blocos[0].formato, (FormatoAudio{2, 11025, 16}));
    EXPECT_EQ(audio_.tocados(), som);
}

TEST_F(TocadorOndaTest, CompressedMono16BitPlaysEightBitsInAboutHalf) {
    const Bytes oito = denteDeSerra(100000);
    Bytes dezesseis;
    for (uint8_t a : oito) dezesseis.insert(dezesseis.end(), {0x5A, uint8_t(a ^ 0x80)});
    tocador_->comprimeTempo = true;
    tocador_->tocaArquivo(grava("fala.wav", ondaTeste({1, 11025, 16}, dezesseis)));
    ASSERT_FALSE(audio_.blocos.empty());
    EXPECT_EQ(audio_.blocos[0].formato, kMono8);
    EXPECT_EQ(pedaco(audio_.blocos[0].bytes, 0, 299), pedaco(oito, 0, 299));
    const double proporcao = audio_.segundos() / (100000 / 11025.0);
    EXPECT_GT(proporcao, 0.45);
    EXPECT_LT(proporcao, 0.6);
}

// ------------------------------------------------------------------ keys and waiting

TEST_F(TocadorOndaTest, AKeyStopsTheSoundWithoutWaitingForAnotherBuffer) {
    comRelogio();
    uint64_t quando = 0;
    for (size_t tocados : {2, 4}) {  // with the ring still filling, and full
        audio_.blocos.clear();
        audio_.aoEscrever = [&](size_t n) {
            if (n != tocados) return;
            pressionaTecla(*crt_, 'x');
            quando = crt_->agoraMs();
        };
        const int reinicios = audio_.reinicios;
        EXPECT_EQ(tocador_->tocaArquivo(grava("longo.wav", ondaTeste(kMono8, rampa(10 * 65534)))), 0);
        EXPECT_EQ(audio_.blocos.size(), tocados);
        EXPECT_LE(crt_->agoraMs() - quando, 10u);
        EXPECT_EQ(audio_.reinicios, reinicios + 1);
        EXPECT_FALSE(audio_.aberto());
        EXPECT_FALSE(tocador_->tocando());
        EXPECT_EQ(crt_->leTecla(), 'x');  // left for the editor to read
    }
}

// The waits of a sound wake when the key comes, not at the end of their slice: the player
// waiting for the end, and a pause after a sign whose name still sounds.
TEST_F(TocadorOndaTest, AKeySilencesTheSoundWhenItComes) {
    for (uint64_t teclaEm : {37, 71}) {
        monta(std::make_unique<FrenteTeclaMarcada>(teclaEm));
        comRelogio();
        const int reinicios = audio_.reinicios;
        tocador_->tocaArquivo(grava("longo.wav", ondaTeste(kMono8, rampa(11025))));
        EXPECT_EQ(crt_->agoraMs(), teclaEm);
        EXPECT_EQ(audio_.reinicios, reinicios + 1);
        EXPECT_EQ(crt_->leTecla(), 'x');
    }
    monta(std::make_unique<FrenteTeclaMarcada>(71));
    Fala fala(*crt_, audio_);
    fala.tocador().assincrono = true;
    fala.tocador().tocaArquivo(grava("virgula.wav", ondaTeste(kMono8, rampa(11025))));
    fala.pausaFala(250);
    EXPECT_EQ(crt_->agoraMs(), 71u);
    fala.aguardaSilencio();
    EXPECT_FALSE(fala.tocador().tocando());
    EXPECT_EQ(crt_->agoraMs(), 71u);
}

TEST_F(TocadorOndaTest, UninterruptiblePlaysAllAndWaitsForTheEnd) {
    comRelogio();
    tocador_->interrompivel = false;
    pressionaTecla(*crt_, 'x');
    tocador_->tocaArquivo(grava("todo.wav", ondaTeste(kMono8, rampa(6 * 65534))));
    EXPECT_EQ(audio_.blocos.size(), 6u);
    EXPECT_GE(crt_->agoraMs(), uint64_t(audio_.segundos() * 1000));
    EXPECT_FALSE(audio_.aberto());
}

TEST_F(TocadorOndaTest, AsynchronousReturnsWithTheSoundQueued) {
    comRelogio();
    tocador_->assincrono = true;
    tocador_->tocaArquivo(grava("assinc.wav", ondaTeste(kMono8, rampa(3 * 65534))));
    EXPECT_LT(crt_->agoraMs(), 1000u);
    EXPECT_TRUE(tocador_->tocando());
    pressionaTecla(*crt_, 'x');
    EXPECT_FALSE(tocador_->tocando());
    EXPECT_EQ(audio_.reinicios, 1);
    EXPECT_FALSE(audio_.aberto());
}

TEST_F(TocadorOndaTest, ARingThatNeverDrainsDropsTheBlock) {
    comRelogio();
    audio_.preso = true;
    tocador_->tocaMemoria(ondaTeste(kMono8, rampa(6 * 65534)));
    EXPECT_EQ(audio_.blocos.size(), 4u);
    // The queued sound's length, two seconds' grace, then 40 waits of 50 ms for the block.
    EXPECT_GE(crt_->agoraMs(), uint64_t(audio_.segundos() * 1000) + 4000);
    EXPECT_FALSE(audio_.aberto());
}

// ------------------------------------------------------------------ device

TEST_F(TocadorOndaTest, ABusyDeviceIsTriedAgainAnotherErrorIsNot) {
    audio_.ocupado = 3;
    EXPECT_EQ(tocador_->tocaArquivo(grava("a.wav", ondaTeste(kMono8, rampa(300)))), 0);
    EXPECT_EQ(audio_.aberturas, 4);
    EXPECT_EQ(crt_->agoraMs(), 300u);
    EXPECT_EQ(audio_.blocos.size(), 1u);

    audio_.ocupado = 1000;
    EXPECT_EQ(tocador_->tocaArquivo(grava("b.wav", ondaTeste({1, 8000, 8}, rampa(300)))), 4);
    EXPECT_EQ(audio_.aberturas, 4 + 100);
    EXPECT_EQ(audio_.blocos.size(), 1u);

    audio_.ocupado = 0;  // another error is returned without trying again
    audio_.erroAbre = erroAudio::kSemDriver;
    EXPECT_EQ(tocador_->tocaArquivo(grava("c.wav", ondaTeste({1, 22050, 8}, rampa(300)))), 6);
    EXPECT_EQ(audio_.aberturas, 4 + 100 + 1);
    EXPECT_EQ(audio_.blocos.size(), 1u);
}

TEST_F(TocadorOndaTest, AReturnErrorIsShownInEnglishAndWaitsForEnter) {
    monta("q{Enter}zq{Enter}z");  // keys before Enter do not end the wait
    audio_.erroDevolvido = erroAudio::kSemDriver;
    tocador_->tocaMemoria(ondaTeste(kMono8, rampa(300)));
    EXPECT_FALSE(tocador_->tocando());  // the returned block is seen here
    EXPECT_NE(tela().find("No device driver is present."), std::string::npos);
    EXPECT_EQ(crt_->leTecla(), 'z');  // the Enter before it was taken

    audio_.erroDevolvido = 99;  // no text for it, but still a wait for Enter
    crt_->ClrScr();
    tocador_->tocaMemoria(ondaTeste(kMono8, rampa(300)));
    EXPECT_FALSE(tocador_->tocando());
    EXPECT_EQ(tela(), std::string(80 * 25, ' '));
    EXPECT_EQ(crt_->leTecla(), 'z');
}

// ------------------------------------------------------------------ time compression

TEST(CompressaoTempo, SixteenBitsBecomeTheHighByteAndFewSamplesStayIntact) {
    Bytes s = {0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00, 0x34, 0x12, 0xFF, 0x7F};
    ASSERT_EQ(comprimeTrecho(s, 16, 11025), 5u);
    EXPECT_EQ(pedaco(s, 0, 5), (Bytes{0, 127, 128, 0x92, 255}));
    Bytes curto = denteDeSerra(999);
    EXPECT_EQ(comprimeTrecho(curto, 8, 11025), 999u);
    EXPECT_EQ(curto, denteDeSerra(999));
    Bytes mil = denteDeSerra(1000);
    EXPECT_LT(comprimeTrecho(mil, 8, 11025), 1000u);
}

// At 11025 Hz the first peak is at 299 (searched from 200); 23 rounds keep 101 samples
// each, and the last 101 samples, too few for another round, end the piece as they were.
// Other rates search from 800 with a gap of 320: first peak 899, 4 rounds of 401, 901 left.
TEST(CompressaoTempo, DropsOnePeriodInEveryTwo) {
    const Bytes original = denteDeSerra(5000);
    for (auto [taxa, fim, inicio, periodo, resto] :
         {std::array<size_t, 5>{11025, 2723, 299, 101, 101},
          {22050, 3404, 899, 401, 901},
          {16000, 3404, 899, 401, 901}}) {
        Bytes s = original;
        ASSERT_EQ(comprimeTrecho(s, 8, int(taxa)), fim) << taxa;
        EXPECT_EQ(pedaco(s, 0, inicio), pedaco(original, 0, inicio)) << taxa;
        EXPECT_EQ(pedaco(s, inicio, periodo), pedaco(original, inicio + 100, periodo)) << taxa;
        EXPECT_EQ(pedaco(s, fim - resto, resto), pedaco(original, 5000 - resto, resto)) << taxa;
    }
    Bytes pouco = rampa(1100);  // the first search would run past the end
    EXPECT_LE(comprimeTrecho(pouco, 8, 22050), 1100u);
}


// ------------------------------------------------------------------ second voice

// Whole recordings handed to the second voice: looping, in the background, or waited for.
TEST_F(TocadorOndaTest, TheSecondVoiceLoopsOnceOrWaitsAndRefusesWhatIsNoWave) {
    const auto onda = ondaTeste(kMono8, Bytes(11025, 100));  // one second
    const fs::path m7 = grava("m7.wav", onda), nada = grava("nada.wav", Bytes{'R', 'I', 'F', 'F', 1});
    using Modo = TocadorOnda::Modo;
    EXPECT_EQ(tocador_->tocaArquivoSegundaVoz(m7, Modo::Repetindo), 0);
    const uint64_t antes = crt_->agoraMs();
    EXPECT_EQ(tocador_->tocaArquivoSegundaVoz(m7, Modo::Assincrono), 0);
    EXPECT_LT(crt_->agoraMs() - antes, 100u);
    EXPECT_EQ(tocador_->tocaArquivoSegundaVoz(m7, Modo::Sincrono), 0);
    EXPECT_GE(crt_->agoraMs() - antes, 1000u);
    EXPECT_EQ(audio_.repeticoes, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(audio_.sons[0], onda);
    EXPECT_EQ(tocador_->tocaArquivoSegundaVoz(nada, Modo::Repetindo), TocadorOnda::kErroArquivo);
    EXPECT_EQ(tocador_->tocaArquivoSegundaVoz(dir_ / "falta.wav", Modo::Repetindo), TocadorOnda::kErroArquivo);
    EXPECT_EQ(audio_.sons.size(), 3u);
}

}  // namespace
