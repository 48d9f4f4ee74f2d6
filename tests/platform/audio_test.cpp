#include "platform/audio.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "apoio.h"

namespace {

std::vector<uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

void acrescenta32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

TEST(OndaPcm, HeaderIsCanonical) {
    const std::vector<uint8_t> c = cabecalhoWave({2, 22050, 16}, 1000);
    EXPECT_EQ(std::string(c.begin(), c.end()),
              std::string("RIFF\x0c\x04\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x22\x56\0\0"
                          "\x88\x58\x01\0\x04\0\x10\0data\xe8\x03\0\0",
                          44));
}

TEST(OndaPcm, WalksChunksAndRejectsWhatIsNotPcmWave) {
    std::vector<uint8_t> w = cabecalhoWave({1, 11025, 8}, 0);
    w.resize(36);  // keep RIFF and fmt, then an odd-sized LIST chunk and its pad byte
    OndaPcm onda;
    EXPECT_FALSE(leOndaPcm(w, onda));  // no data chunk
    for (uint8_t b : bytes("LIST")) w.push_back(b);
    acrescenta32(w, 3);
    w.insert(w.end(), {'a', 'b', 'c', 0});
    for (uint8_t b : bytes("data")) w.push_back(b);
    acrescenta32(w, 0xFFFFFFF0u);  // far more than is there: cut to what is
    w.insert(w.end(), {1, 2, 3, 4});
    ASSERT_TRUE(leOndaPcm(w, onda));
    EXPECT_EQ(onda.dados, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_FALSE(leOndaPcm(bytes("RIFF"), onda));
    EXPECT_FALSE(leOndaPcm(bytes("not a wave file at all, really not"), onda));
}

// ------------------------------------------------------------------ capture device

using Bytes = std::vector<uint8_t>;
using Voz = BlocoCapturado::Voz;
constexpr FormatoAudio kMono8{1, 11025, 8};

Bytes amostras16(std::initializer_list<int16_t> v) {
    Bytes b;
    for (int16_t x : v) {
        b.push_back(static_cast<uint8_t>(x));
        b.push_back(static_cast<uint8_t>(static_cast<uint16_t>(x) >> 8));
    }
    return b;
}

// The file's samples, after checking that its header describes exactly what the file holds.
std::vector<int16_t> amostrasDoArquivo(const std::filesystem::path& p) {
    const Bytes conteudo = leBytes(p);
    OndaPcm onda;
    EXPECT_TRUE(leOndaPcm(conteudo, onda));
    EXPECT_EQ(onda.formato, AudioCaptura::kFormatoArquivo);
    EXPECT_EQ(onda.dados.size() + 44, conteudo.size());
    EXPECT_EQ(static_cast<size_t>(conteudo[4] | (conteudo[5] << 8) | (conteudo[6] << 16)),
              conteudo.size() - 8);
    std::vector<int16_t> s(onda.dados.size() / 2);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(onda.dados[2 * i] | (onda.dados[2 * i + 1] << 8));
    return s;
}

class AudioCapturaTest : public ::testing::Test {
  protected:
    std::filesystem::path arquivo(const std::string& nome) const { return pasta_ / nome; }
    OpcoesCaptura comArquivo(const std::string& nome) const {
        OpcoesCaptura o;
        o.arquivo = arquivo(nome).string();
        return o;
    }

  private:
    PastaTemporaria pasta_;
};

TEST_F(AudioCapturaTest, KeepsEveryBlockWithItsFormatAndVoiceEvenWithoutItsFile) {
    AudioCaptura captura(comArquivo("sem/pasta.wav"));  // a file that cannot be created
    captura.escreve(Bytes{1, 2, 3});  // not open: nothing reaches the device
    ASSERT_TRUE(captura.abre(kMono8));
    captura.escreve(Bytes{10, 20, 30});
    captura.escreve(Bytes{40});
    const FormatoAudio estereo{2, 22050, 16};
    const Bytes som = amostras16({100, -100, 200, -200});
    captura.tocaSom(ondaTeste(estereo, som), true);
    captura.tocaSom(Bytes{'n', 'o', 'p', 'e'}, false);        // not a wave: not played
    captura.tocaSom(ondaTeste({1, 22050, 16}, Bytes{1, 2, 3}), false);  // half a sample is cut
    ASSERT_TRUE(captura.abre({1, 16000, 16}));
    captura.escreve(Bytes{5, 6});
    captura.fecha();
    captura.escreve(Bytes{7});

    const std::vector<BlocoCapturado> esperado = {
        {Voz::Fluxo, kMono8, {10, 20, 30}, false},
        {Voz::Fluxo, kMono8, {40}, false},
        {Voz::Som, estereo, som, true},
        {Voz::Som, {1, 22050, 16}, {1, 2}, false},
        {Voz::Fluxo, {1, 16000, 16}, {5, 6}, false},
    };
    EXPECT_EQ(captura.blocos(), esperado);
    EXPECT_FALSE(captura.aberto());
    EXPECT_FALSE(captura.gravando());
    EXPECT_FALSE(std::filesystem::exists(arquivo("sem/pasta.wav")));
}

TEST_F(AudioCapturaTest, RefusesFormatsASoundCardRefuses) {
    AudioCaptura captura;
    // clang-format off
    for (FormatoAudio f : {FormatoAudio{1, 999, 8}, {1, 192001, 16}, {3, 11025, 8},
                           {0, 11025, 8}, {1, 11025, 24}, {1, -5, 8}}) {
        // clang-format on
        EXPECT_FALSE(captura.abre(f)) << f.canais << " " << f.taxa << " " << f.bits;
        captura.escreve(Bytes(10, 1));
        captura.tocaSom(ondaTeste(f, Bytes(10, 1)), false);
    }
    EXPECT_FALSE(captura.aberto());
    EXPECT_TRUE(captura.blocos().empty());
    EXPECT_TRUE(captura.abre({2, 192000, 16}));
    EXPECT_TRUE(captura.abre({1, 1000, 8}));
}

TEST_F(AudioCapturaTest, FileIsAWholeWaveAfterEveryBlockUpToItsLimit) {
    AudioCaptura captura(comArquivo("tudo.wav"));
    ASSERT_TRUE(captura.gravando());
    EXPECT_TRUE(amostrasDoArquivo(arquivo("tudo.wav")).empty());
    ASSERT_TRUE(captura.abre(kMono8));
    captura.escreve(Bytes(11025, 200));
    // Read while still open: the filter holds back its last few milliseconds.
    const size_t aberto = amostrasDoArquivo(arquivo("tudo.wav")).size();
    EXPECT_GT(aberto, 43900u);
    EXPECT_LT(aberto, 44100u);
    captura.fecha();
    // One second of sound, one second in the file.
    const std::vector<int16_t> s = amostrasDoArquivo(arquivo("tudo.wav"));
    EXPECT_NEAR(static_cast<double>(s.size()), 44100, 1);
    EXPECT_NEAR(s[22050], (200 - 128) * 256, 30);

    OpcoesCaptura o = comArquivo("limite.wav");
    o.maximoBytes = 101;  // whole samples only: 50 of them
    AudioCaptura limitada(o);
    ASSERT_TRUE(limitada.abre({1, 44100, 16}));
    limitada.escreve(Bytes(80, 1));
    limitada.escreve(Bytes(80, 2));
    limitada.fecha();
    std::vector<int16_t> esperado(40, 0x0101);
    esperado.resize(50, 0x0202);
    EXPECT_EQ(amostrasDoArquivo(arquivo("limite.wav")), esperado);
}

TEST_F(AudioCapturaTest, ASoundCutIntoBlocksConvertsAsIfWhole) {
    // 16000 Hz does not divide 44100: the position must carry exactly across blocks; and
    // blocks of odd sizes cut stereo 16-bit frames, which the next block completes.
    const FormatoAudio f{2, 16000, 16};
    Bytes dados;
    for (int i = 0; i < 5000; ++i) {
        const Bytes a = amostras16({static_cast<int16_t>((i * 7919) % 60000 - 30000),
                                    static_cast<int16_t>((i * 104729) % 50000 - 25000)});
        dados.insert(dados.end(), a.begin(), a.end());
    }
    AudioCaptura inteiro(comArquivo("inteiro.wav"));
    ASSERT_TRUE(inteiro.abre(f));
    inteiro.escreve(dados);
    inteiro.fecha();
    AudioCaptura pedacos(comArquivo("pedacos.wav"));
    ASSERT_TRUE(pedacos.abre(f));
    for (size_t de = 0, n = 1; de < dados.size(); de += n, n = n * 3 % 1997 + 1)
        pedacos.escreve(std::span(dados).subspan(de, std::min(n, dados.size() - de)));
    pedacos.fecha();
    const std::vector<int16_t> s = amostrasDoArquivo(arquivo("inteiro.wav"));
    EXPECT_NEAR(static_cast<double>(s.size()), 5000.0 * 44100 / 16000, 1);  // the sound's length
    EXPECT_EQ(s, amostrasDoArquivo(arquivo("pedacos.wav")));
}

TEST_F(AudioCapturaTest, TheSecondVoiceIsWrittenInTurn) {
    AudioCaptura captura(comArquivo("vozes.wav"));
    ASSERT_TRUE(captura.abre({1, 44100, 16}));
    captura.escreve(amostras16({1, 2}));
    captura.tocaSom(ondaTeste({1, 44100, 8}, Bytes{128 + 1, 128 + 3}), true);
    captura.escreve(amostras16({3}));
    captura.fecha();
    EXPECT_EQ(amostrasDoArquivo(arquivo("vozes.wav")), (std::vector<int16_t>{1, 2, 256, 768, 3}));
}

TEST_F(AudioCapturaTest, OnAClockTheFileHoldsWhatAListenerHears) {
    uint64_t agora = 0;
    OpcoesCaptura o = comArquivo("tempo.wav");
    o.tempoReal = true;
    o.relogioMs = [&agora] { return agora; };
    {
        AudioCaptura captura(o);
        const FormatoAudio f{1, 44100, 16};
        ASSERT_TRUE(captura.abre(f));
        captura.escreve(Bytes(441 * 2, 1));  // 10 ms from 0 ms
        agora = 30;
        captura.tocaSom(ondaTeste(f, Bytes(441 * 2, 2)), false);  // 10 ms from 30 ms
        captura.escreve(Bytes(882 * 2, 1));  // 20 ms from 30 ms, beside the sound
        agora = 40;
        captura.reinicia();  // a key stops it at 40 ms
        agora = 60;
        captura.fecha();
    }
    std::vector<int16_t> esperado(441, 0x0101);
    esperado.resize(441 + 882, 0);  // a quiet 20 ms
    esperado.resize(1764, 0x0101 + 0x0202);
    esperado.resize(1764 + 882, 0);  // after the stop, silence until the device closed
    EXPECT_EQ(amostrasDoArquivo(arquivo("tempo.wav")), esperado);
}

TEST_F(AudioCapturaTest, TheRawRecordHoldsEveryBlockAsHandedOver) {
    auto captura = std::make_unique<AudioCaptura>();
    AudioCaptura* interna = captura.get();
    const std::string nome = arquivo("blocos.txt").string();
    auto registro = criaAudioRegistro(std::move(captura), nome);
    ASSERT_NE(registro, nullptr);
    ASSERT_TRUE(registro->abre(kMono8));
    registro->escreve(Bytes{10, '\n', 30});
    registro->tocaSom(ondaTeste({2, 22050, 16}, amostras16({-1, 1})), true);
    registro->fecha();
    registro->escreve(Bytes{7});  // not open: not played, not recorded
    EXPECT_EQ(interna->blocos().size(), 2u);
    const Bytes b = leBytes(arquivo("blocos.txt"));
    EXPECT_EQ(std::string(b.begin(), b.end()),
              std::string("bloco fluxo 11025 8 1 3\n\x0a\n\x1e"
                          "bloco som 22050 16 2 4\n\xff\xff\x01\x00", 54));
    EXPECT_EQ(criaAudioRegistro(criaAudioNulo(), arquivo("sem/pasta.txt").string()), nullptr);
}

TEST_F(AudioCapturaTest, DrainsAtOnceUnlessPacedInRealTime) {
    AudioCaptura imediata;
    ASSERT_TRUE(imediata.abre(kMono8));
    imediata.escreve(Bytes(11025, 128));
    EXPECT_EQ(imediata.blocosNaFila(), 0);

    uint64_t agora = 1000;
    OpcoesCaptura o;
    o.tempoReal = true;
    o.relogioMs = [&agora] { return agora; };
    AudioCaptura ritmada(o);
    ASSERT_TRUE(ritmada.abre(kMono8));
    ritmada.escreve(Bytes(1103, 128));  // 100 ms and a bit
    ritmada.escreve(Bytes(2205, 128));  // 200 ms, queued behind the first
    for (auto [ms, fila] : {std::pair{1100, 2}, {1101, 1}, {1300, 1}, {1301, 0}}) {
        agora = ms;
        EXPECT_EQ(ritmada.blocosNaFila(), fila) << ms;
    }
    // A block written to an idle device starts now, not when the last one ended, even
    // when nobody looked at the queue in between.
    ritmada.escreve(Bytes(1103, 128));  // 1301 to 1401
    agora = 5000;
    ritmada.escreve(Bytes(1103, 128));
    agora = 5050;
    EXPECT_EQ(ritmada.blocosNaFila(), 1);
    ritmada.escreve(Bytes(11025, 128));
    ritmada.reinicia();
    EXPECT_EQ(ritmada.blocosNaFila(), 0);
}

}  // namespace
