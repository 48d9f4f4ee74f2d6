#ifdef PLUMAR_COM_SDL

#include "platform/audioSdl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

namespace {

// Sets an environment variable for one test and puts the old value back.
class VariavelTemporaria {
  public:
    VariavelTemporaria(const char* nome, const char* valor) : nome_(nome) {
        if (const char* v = std::getenv(nome)) antigo_ = v;
        setenv(nome, valor, 1);
    }
    ~VariavelTemporaria() {
        if (antigo_)
            setenv(nome_.c_str(), antigo_->c_str(), 1);
        else
            unsetenv(nome_.c_str());
    }

  private:
    std::string nome_;
    std::optional<std::string> antigo_;
};

std::vector<uint8_t> onda(const FormatoAudio& f, size_t bytes, uint8_t valor) {
    std::vector<uint8_t> w = cabecalhoWave(f, static_cast<uint32_t>(bytes));
    w.insert(w.end(), bytes, valor);
    return w;
}

TEST(ContadorBlocos, BlocksLeaveInOrderAsTheirBytesArePlayed) {
    ContadorBlocos c;
    c.escreveu(100);
    c.escreveu(50);
    c.escreveu(10);
    EXPECT_EQ(c.naFila(160), 3);
    EXPECT_EQ(c.naFila(61), 3);  // one byte of the first block still to play
    EXPECT_EQ(c.naFila(60), 2);
    EXPECT_EQ(c.naFila(30), 2);  // the second block partly played
    c.escreveu(40);              // written while others play
    EXPECT_EQ(c.naFila(70), 3);
    EXPECT_EQ(c.naFila(50), 2);
    EXPECT_EQ(c.naFila(40), 1);
    EXPECT_EQ(c.naFila(0), 0);
}

TEST(ContadorBlocos, EmptyBlocksAndResetsNeverLeaveTheCountStuck) {
    ContadorBlocos c;
    c.escreveu(0);
    EXPECT_EQ(c.naFila(0), 0);
    c.escreveu(20);
    c.escreveu(0);
    c.escreveu(20);
    EXPECT_EQ(c.naFila(20), 1);  // the empty block went with the first
    // More bytes reported than were written (another writer, a device quirk) plays nothing.
    EXPECT_EQ(c.naFila(1000), 1);
    c.limpa();
    EXPECT_EQ(c.naFila(0), 0);
    c.escreveu(5);
    EXPECT_EQ(c.naFila(5), 1);
}

TEST(SomTocando, PlaysOnceThenSilence) {
    SomTocando s;
    s.dados = {1, 2, 3};
    s.silencio = 128;
    std::vector<uint8_t> saida(5, 0);
    s.preenche(saida);
    EXPECT_EQ(saida, (std::vector<uint8_t>{1, 2, 3, 128, 128}));
    s.preenche(saida);
    EXPECT_EQ(saida, (std::vector<uint8_t>(5, 128)));
}

TEST(SomTocando, LoopsAcrossBuffersWhenRepeating) {
    SomTocando s;
    s.dados = {1, 2, 3};
    s.repete = true;
    std::vector<uint8_t> saida(4, 0);
    s.preenche(saida);
    EXPECT_EQ(saida, (std::vector<uint8_t>{1, 2, 3, 1}));
    s.preenche(saida);
    EXPECT_EQ(saida, (std::vector<uint8_t>{2, 3, 1, 2}));
    SomTocando vazio;
    vazio.repete = true;
    vazio.silencio = 7;
    vazio.preenche(saida);  // looping nothing must not spin forever
    EXPECT_EQ(saida, (std::vector<uint8_t>(4, 7)));
}

// SDL's dummy driver consumes the queue in real time without any hardware.
TEST(AudioSdl, QueuedBlocksDrainAsTheDevicePlaysThem) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "dummy");
    auto a = AudioSdl::cria();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->aberto());
    a->escreve(std::vector<uint8_t>(100, 128));  // not open: ignored
    EXPECT_EQ(a->blocosNaFila(), 0);

    ASSERT_TRUE(a->abre({1, 11025, 8}));
    EXPECT_TRUE(a->aberto());
    for (int i = 0; i < 4; ++i) a->escreve(std::vector<uint8_t>(2205, 128));  // 0.2 s each
    int antes = a->blocosNaFila();
    EXPECT_GE(antes, 3);
    EXPECT_LE(antes, 4);
    auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int anterior = antes;
    while (a->blocosNaFila() > 0 && std::chrono::steady_clock::now() < limite) {
        int agora = a->blocosNaFila();
        EXPECT_LE(agora, anterior);
        anterior = agora;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(a->blocosNaFila(), 0);
}

TEST(AudioSdl, ResetDropsTheQueueAtOnceAndCloseEndsTheStream) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "dummy");
    auto a = AudioSdl::cria();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->abre({2, 22050, 16}));
    for (int i = 0; i < 3; ++i) a->escreve(std::vector<uint8_t>(22050, 0));
    EXPECT_GT(a->blocosNaFila(), 0);
    a->reinicia();
    EXPECT_EQ(a->blocosNaFila(), 0);
    a->escreve(std::vector<uint8_t>(22050, 0));
    EXPECT_EQ(a->blocosNaFila(), 1);  // still usable after a reset
    a->fecha();
    EXPECT_FALSE(a->aberto());
    EXPECT_EQ(a->blocosNaFila(), 0);
}

TEST(AudioSdl, RefusesFormatsItCannotPlay) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "dummy");
    auto a = AudioSdl::cria();
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->abre({1, 11025, 12}));
    EXPECT_FALSE(a->abre({0, 11025, 8}));
    EXPECT_FALSE(a->abre({1, 0, 16}));
    EXPECT_FALSE(a->abre({-3, -1, -8}));
    EXPECT_FALSE(a->aberto());
    EXPECT_TRUE(a->abre({1, 16000, 16}));
}

TEST(AudioSdl, SecondVoicePlaysBesideTheStream) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "dummy");
    auto a = AudioSdl::cria();
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->abre({1, 11025, 8}));
    a->escreve(std::vector<uint8_t>(1100, 128));
    a->tocaSom(onda({1, 11025, 8}, 5000, 200), true);
    a->tocaSom(onda({1, 11025, 8}, 301, 90), false);  // same format: swapped in place
    a->tocaSom(onda({2, 22050, 16}, 4001, 0), true);  // odd size: cut to whole frames
    a->tocaSom({'R', 'I', 'F', 'F', 0, 0}, false);    // not a wave: stops the voice
    a->tocaSom(onda({1, 11025, 8}, 0, 0), true);      // nothing to loop
    a->tocaSom(onda({1, 11025, 8}, 2000, 60), true);
    a->paraSom();
    a->paraSom();
    // The stream went on draining while the voice came and went.
    auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (a->blocosNaFila() > 0 && std::chrono::steady_clock::now() < limite)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(a->blocosNaFila(), 0);
}

TEST(AudioSdl, WithoutASoundDriverTheNullDeviceStandsIn) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "nenhum-driver");
    EXPECT_EQ(AudioSdl::cria(), nullptr);
    auto a = criaAudioSistema();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(dynamic_cast<AudioSdl*>(a.get()), nullptr);
    a->abre({1, 11025, 8});
    a->escreve(std::vector<uint8_t>(100, 128));
    a->tocaSom(onda({1, 11025, 8}, 100, 1), true);
    a->paraSom();
    a->reinicia();
    a->fecha();
    EXPECT_FALSE(a->aberto());
}

TEST(AudioSdl, SystemDeviceIsSdlWhenADeviceOpens) {
    VariavelTemporaria driver("SDL_AUDIODRIVER", "dummy");
    auto a = criaAudioSistema();
    ASSERT_NE(a, nullptr);
    EXPECT_NE(dynamic_cast<AudioSdl*>(a.get()), nullptr);
}

}  // namespace

#endif  // PLUMAR_COM_SDL
