#include "speech/fala.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "bancadaFala.h"
#include "speech/numeros.h"

using namespace bancada;

namespace {

class FalaGravada : public Bancada {
  protected:
    void SetUp() override {
        Bancada::SetUp();
        escreveSintetizador();
        monta();
    }
};

std::string repete(const std::string& s, int vezes) {
    std::string r;
    for (int i = 0; i < vezes; ++i) r += (i ? " " : "") + s;
    return r;
}

// How numbers, signs and punctuation inside a text are said: "frase" is the synthesizer,
// "~N" a pause of N ms.
TEST_F(FalaGravada, NumbersSignsAndPunctuationInTexts) {
    const struct {
        std::string texto;
        bool pontuacao;
        std::string ouvido;
    } casos[] = {
        {"007", true, "_zero _zero _sete"},  // leading zeros one by one
        {"123456", true, "_cento _e _vinte _e _tres _mil _e _quatroc _e _cinquen _e _seis"},
        {"1234567", true, "_49 _50 _51 _52 _53 _54 _55"},  // seven digits are spelled
        {std::string(40, '9'), true, repete("_57", 40)},
        {"12-34", true, "_49 _50 _45 _51 _52"},
        {"-5", true, "_MENOS _cinco"},
        {"a - 2", true, "frase _45 ~150 _dois"},
        {"oi-eu", true, "frase"},  // a hyphen inside a word is dropped
        {"oi-5", true, "frase _MENOS _cinco"},
        {"======", true, "_61 _61 _61 _61 clique clique"},  // clicks from the fifth on
        {"==== ====", true, repete("_61", 8)},
        {"www.x", true, "_119 _119 _119 _46 _120"},
        {"WwW.x", true, "_87 _119 _87 _46 _120"},
        {"oi, eu.", true, "frase _44 ~150 frase _46 ~250"},
        {"oi, eu.", false, "frase ~150 frase ~250"},
        {"(a)", true, "_40 ~200 frase _41 ~200"},
        {"3.5", true, "_tres _46 _cinco"},  // a decimal point: no pause either way
        {"3.5", false, "_tres _46 _cinco"},
        {"oi://a", true, "frase _58 _47 _47 frase"},
        {"\x01\t\x02", true, "_1"},  // tabs skipped; code 2 has no recording
        // Long texts are said to their end.
        {std::string(1000, '='), true, repete("_61", 4) + " " + repete("clique", 996)},
        {repete("oi 16 === ,\x01 -", 6250), true,
         repete("frase _dezesse _61 _61 _61 _44 _1 _45 ~150", 6250)},
    };
    for (const auto& c : casos) {
        fala_->falaPontuacao = c.pontuacao;
        fala_->falaTexto(c.texto);
        EXPECT_EQ(ouvido(), c.ouvido) << c.texto;
    }
}

// ------------------------------------------------------------------ words joined into sounds

// Words are joined into sounds of at most 30000 samples; one not at 11025 Hz plays alone.
TEST_F(FalaGravada, RecordedWordsAreJoinedIntoSounds) {
    fala_->falaHora(1, 1);
    ASSERT_EQ(audio_.blocos.size(), 1u);
    EXPECT_EQ(ouvido(), "_uma _hora _um _minuto");
    gravaArquivoTeste(dir_.caminho() / "letras" / "_dois.wav",
                      ondaTeste({1, 22050, 8}, Bytes(10, 60)));
    valores_[60] = "_dois";
    fala_->falaExtenso("um dois tres", false);
    ASSERT_EQ(audio_.blocos.size(), 3u);
    EXPECT_EQ(audio_.blocos[1].formato.taxa, 22050);
    EXPECT_EQ(ouvido(), "_um _dois _tres");
    escreveVoz(8000);  // 8001 bytes a word: three words to a sound
    fala_->falaExtenso(numeroExtenso(999999), false);
    ASSERT_EQ(audio_.blocos.size(), 4u);  // twelve words
    for (const auto& b : audio_.blocos) EXPECT_LE(b.bytes.size(), 30000u);
    EXPECT_EQ(ouvido(), "_novecen _e _noventa _e _nove _mil _e _novecen _e _noventa _e _nove");
}

// ------------------------------------------------------------------ click, beep, tones

// The beep drops the commands waiting (a held key's repeats), never typed text.
TEST_F(FalaGravada, TheClickIsNeverCompressedAndTheBeepDropsTheCommandsWaiting) {
    fala_->tocador().comprimeTempo = true;
    fala_->clique();
    EXPECT_TRUE(fala_->tocador().comprimeTempo);
    pressionaTecla(*crt_, 8);  // Backspace
    pressionaTecla(*crt_, 'a');
    pressionaTecla(*crt_, 27);
    fala_->bip();
    EXPECT_EQ(crt_->teclasNaFila(), 1u);
    EXPECT_EQ(crt_->leTecla(), 'a');
    ASSERT_EQ(audio_.blocos.size(), 2u);
    for (const auto& b : audio_.blocos) EXPECT_EQ(b.formato, kMono8);
    EXPECT_EQ(ouvido(), "clique bip");
    EXPECT_TRUE(audio_.sons.empty());
}

TEST_F(FalaGravada, DtmfTonesWithTheirWaitsAtTheRecordedRate) {
    fala_->tocador().acelerado = true;
    fala_->tocaDTMF("1*#,a2");
    for (const auto& b : audio_.blocos) EXPECT_EQ(b.formato.taxa, 11025);
    EXPECT_EQ(ouvido(), "dtmf_1 ~100 dtmf_X ~100 dtmf_# ~1100 dtmf_2 ~100");
    EXPECT_TRUE(fala_->tocador().acelerado);
}

TEST_F(FalaGravada, AWaitingKeyCutsPausesAndTexts) {
    fala_->pausaFala(420);
    EXPECT_EQ(ouvido(), "~400");
    pressionaTecla(*crt_, 'x');
    fala_->pausaFala(1000);
    fala_->falaTexto("7 7 7");
    EXPECT_EQ(ouvido(), "");
}

// ------------------------------------------------------------------ the trace

TEST_F(FalaGravada, OnlyOperationsCalledFromOutsideAreTraced) {
    pressionaTecla(*crt_, 'b');
    EXPECT_EQ(fala_->leTeclaEco(), 'b');  // the echoed key is said as a letter
    EXPECT_EQ(ouvido(), "_98");
    fala_->falaTexto("007 www");
    fala_->clique();
    fala_->falaHora(1, 1);
    fala_->soletra("ab");
    fala_->falaData(1, 3, 2007);
    fala_->tocaDTMF("1");
    fala_->anota("mensagem EDX");
    fala_->paraFala();  // nothing was sounding
    audio_.preso = true;  // now a sound still plays
    audio_.abre(kMono8);
    audio_.escreve(Bytes(10, 128));
    fala_->paraFala();
    EXPECT_EQ(rastro(),
              "letra 98\ntexto 007 www\nclique\nhora 1 1\nsoletra ab\ndata 1 3 2007\ndtmf 1\n"
              "mensagem EDX\npara\n");
}

// ------------------------------------------------------------------ start-up

class FalaInicio : public Bancada {};

TEST_F(FalaInicio, SpeedZeroReadsTheIniAndNineBecomesThree) {
    monta("", "", 0);  // no VELOCIDADE: level 3
    EXPECT_EQ(fala_->velocidade(), 3);
    iniBase_ = "[TRADUTOR]\nVELOCIDADE=2\nDIRLETRAS=" + (dir_.caminho() / "letras").string() +
               "\n[SINTETIZADOR]\nPAUSAVIRG2=300\n";
    monta("", "", 0);
    EXPECT_EQ(fala_->velocidade(), 2);
    fala_->falaTexto(",");
    EXPECT_EQ(ouvido(), "_44 ~300");
    monta("", "", 9);
    EXPECT_EQ(fala_->velocidade(), 3);
    fala_->falaTexto(",");
    EXPECT_EQ(ouvido(), "_44 ~150");
}

TEST_F(FalaInicio, LevelFlagsGoToThePlayer) {
    iniBase_ += "CORTAFALA3=s\nRAPIDINHO3=N\n";  // appended to [SINTETIZADOR]
    monta();
    EXPECT_TRUE(fala_->tocador().comprimeTempo);
    EXPECT_FALSE(fala_->tocador().acelerado);
    iniBase_ = "[SINTETIZADOR]\nCORTAFALA3=\nRAPIDINHO3=x\n";
    monta();
    EXPECT_FALSE(fala_->tocador().comprimeTempo);
    EXPECT_TRUE(fala_->tocador().acelerado);
}

// Changing the speed while editing to a level whose bank is missing must not end the
// program (and leave the text): one beep, and the level in force keeps speaking.
TEST_F(FalaInicio, WhileEditingALevelWhoseBankFailsIsRefused) {
    escreveSintetizador();
    iniBase_ += "DIFONES4=FALTA\n";
    monta();
    fala_->terminaFala();
    EXPECT_NO_THROW(fala_->inicializaFala(4, (dir_.caminho() / "mensagens").string()));
    EXPECT_EQ(fala_->velocidade(), 3);
    EXPECT_EQ(ouvido(), "bip");
    fala_->falaTexto("a");
    EXPECT_EQ(ouvido(), "frase");
}

TEST_F(FalaInicio, AtSignsExpandToTheProgramDirectoryWithoutLooping) {
    monta("[SONARE]\nPGMSONARE=\n[X]\nA=@sub\\y\nB=c:\\p\\@\\q\n");
    const std::string inicio = fala_->diretorioInicial().string();
    EXPECT_EQ(fala_->leIni("X", "A"), inicio + "sub\\y");
    EXPECT_EQ(fala_->leIni("X", "B"), "c:\\p\\" + inicio + "\\q");
    // A program directory that holds '@' itself is not expanded again.
    iniBase_ = "[SONARE]\nPGMSONARE=c:\\a@\\\n[X]\nA=@\\b\n";
    monta();
    EXPECT_EQ(fala_->leIni("X", "A"), "c:\\a@\\\\b");
    iniBase_ = "[SONARE]\nPGMSONARE=@\\loop\n[X]\nA=@\\b\n";
    monta();
    EXPECT_EQ(fala_->leIni("X", "A"), inicio + "\\b");
    EXPECT_EQ(fala_->leIni("", "PGMSONARE"), inicio + "\\loop");
}

// ------------------------------------------------------------------ speech servers

class FalaServidor : public Bancada {
  protected:
    void SetUp() override {
        Bancada::SetUp();
        r_.falaPor = 3;
        fabrica_ = fabricaFalsa(r_);
    }
    void montaComServidor(const std::string& iniExtra = "") {
        iniBase_ = "[TRADUTOR]\nSAPI=S\nDIRLETRAS=" + (dir_.caminho() / "letras").string() + "\n" +
                   iniExtra;
        monta();
    }
    RegistroServidor r_;
};

// A bank named for the level that is missing (wholly or in part) or whose rules are gone
// cannot speak: the error is shown, beeped and said by a server that opens (the configured
// type first, else espeak-ng), and the program ends after Enter.
TEST_F(FalaServidor, AMissingOrBrokenBankEndsTheProgramAfterBeepMessageAndEnter) {
    for (auto [falta, codigo] : {std::pair{"", "1"}, {"BANCO.DIF", "1"}, {"regras.rgr", "2"}}) {
        escreveSintetizador();
        if (*falta == 0)
            std::filesystem::remove_all(dir_.caminho() / "difones");
        else
            std::filesystem::remove(dir_.caminho() / "difones" / falta);
        r_ = RegistroServidor{.falaPor = 3};
        EXPECT_THROW(monta("", "x{Enter}"), FimDoPrograma) << falta;
        EXPECT_EQ(linhaTela(1, 24), std::string("Erro de inicializa\xE7\xE3o: ") + codigo);
        EXPECT_EQ(linhaTela(2, 28), "Banco de dados de voz: BANCO");
        EXPECT_NE(ouvido().find("bip"), std::string::npos) << falta;
        EXPECT_EQ(r_.tipo, 4);
        ASSERT_EQ(r_.textos.size(), 1u);
        EXPECT_EQ(r_.textos[0], "Erro de inicializa\xE7\xE3o: " + std::string(codigo) +
                                    ". Banco de dados de voz: BANCO. Tecle Enter para terminar.");
        std::filesystem::create_directories(dir_.caminho() / "difones");
    }
    // With no server at all the beep and the screen remain.
    r_ = RegistroServidor{.falaPor = 3, .abre = false};
    iniBase_ += "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=5\n";
    EXPECT_THROW(monta("", "{Enter}"), FimDoPrograma);
    EXPECT_EQ(r_.aberturas, 2);  // 5 as configured, then 4
    EXPECT_TRUE(r_.textos.empty());
}

TEST_F(FalaServidor, SapiOpensTheServerOfItsTypeWithTheRateRule) {
    montaComServidor("[SERVFALA]\nTIPOSAPI=5\nVOZ=2\nVELOCIDADE=20\nTOM=7\n");
    EXPECT_EQ(r_.aberturas, 1);
    // A rate above 10 is kept for type 4 only.
    EXPECT_EQ(std::tuple(r_.tipo, r_.voz, r_.taxa, r_.tom), std::tuple(5, 2, 0, 7));
    EXPECT_TRUE(fala_->servidorAtivo());
    montaComServidor("[SERVFALA]\nTIPOSAPI=4\nVELOCIDADE=20\n");
    EXPECT_EQ(std::tuple(r_.tipo, r_.taxa), std::tuple(4, 20));
}

TEST_F(FalaServidor, TheServerGetsWholeTextsAndLettersWaitForIt) {
    montaComServidor();
    ASSERT_TRUE(fala_->servidorAtivo());
    fala_->falaTexto("ola 12, mundo");
    EXPECT_EQ(r_.textos, std::vector<std::string>{"ola 12, mundo"});
    EXPECT_EQ(ouvido(), "");
    fala_->falaLetra('1');  // waits for the server first
    EXPECT_EQ(r_.falandoAinda, 0);
    EXPECT_EQ(ouvido().substr(0, 1), "~");
}

// A server that does not open, or goes away taking a text, leaves recorded speech, which
// says that text.
TEST_F(FalaServidor, WithoutAWorkingServerRecordedSpeechRemains) {
    for (bool abre : {false, true}) {
        fala_.reset();  // the last server is closed before counting again
        r_ = RegistroServidor{.falaPor = 3, .abre = abre, .cai = abre};
        montaComServidor();
        fala_->falaTexto("2");
        EXPECT_FALSE(fala_->servidorAtivo()) << abre;
        EXPECT_EQ(ouvido(), "_dois") << abre;
        EXPECT_EQ(r_.textos.size(), abre ? 1u : 0u);
        EXPECT_EQ(r_.fechados, abre ? 1 : 0);
    }
}

// Changing at run time: voice 0 is the INI's.
TEST_F(FalaServidor, ChangingTheServerAtRunTime) {
    iniBase_ += "[SERVFALA]\nVOZ=4\n";
    monta();
    fala_->mudaServidorFala(2, true, 3, 10, 5, 0);
    EXPECT_EQ(std::tuple(r_.tipo, r_.voz), std::tuple(3, 4));
    EXPECT_TRUE(fala_->servidorAtivo());
    fala_->paraFala();  // the own engine is always told to stop
    EXPECT_EQ(r_.paradas, 1);
    fala_->mudaServidorFala(2, false, 3, 10, 5, 0);
    EXPECT_FALSE(fala_->servidorAtivo());
    EXPECT_EQ(r_.fechados, 1);
}

}  // namespace
