#include "speech/fala.h"

#include <gtest/gtest.h>

#include <string>

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

// ------------------------------------------------------------------ numbers in texts

TEST_F(FalaGravada, LeadingZerosAreSaidOneByOneBeforeTheNumber) {
    fala_->falaTexto("007");
    EXPECT_EQ(ouvido(), "_zero _zero _sete");
}

TEST_F(FalaGravada, SixDigitsAreOneNumberSevenAreSpelled) {
    fala_->falaTexto("123456");
    EXPECT_EQ(ouvido(), "_cento _e _vinte _e _tres _mil _e _quatroc _e _cinquen _e _seis");
    fala_->falaTexto("1234567");
    EXPECT_EQ(ouvido(), "_49 _50 _51 _52 _53 _54 _55");
}

TEST_F(FalaGravada, DigitsJoinedByAHyphenAreSpelled) {
    fala_->falaTexto("12-34");
    EXPECT_EQ(ouvido(), "_49 _50 _45 _51 _52");
}

TEST_F(FalaGravada, MinusBeforeADigitAndAHyphenBetweenBlanks) {
    fala_->falaTexto("-5");
    EXPECT_EQ(ouvido(), "_MENOS _cinco");
    fala_->falaTexto("a - 2");
    EXPECT_EQ(ouvido(), "frase _45 ~150 _dois");
}

TEST_F(FalaGravada, SixteenAndSeventeenComeFromTheirOwnFiles) {
    fala_->falaTexto("16 17");
    EXPECT_EQ(ouvido(), "_dezesse _dezeset");
}

TEST_F(FalaGravada, AFortyDigitNumberIsSpelledDigitByDigit) {
    fala_->falaTexto(std::string(40, '9'));
    std::string esperado;
    for (int i = 0; i < 40; ++i) esperado += (i ? " " : "") + std::string("_57");
    EXPECT_EQ(ouvido(), esperado);
}

// ------------------------------------------------------------------ signs and words

TEST_F(FalaGravada, FromTheFifthEqualSignOnClicksAreHeard) {
    fala_->falaTexto("======");
    EXPECT_EQ(ouvido(), "_61 _61 _61 _61 clique clique");
    fala_->falaTexto("==== ====");
    EXPECT_EQ(ouvido(), "_61 _61 _61 _61 _61 _61 _61 _61");
}

TEST_F(FalaGravada, AThousandEqualSignsEndWithClicks) {
    fala_->falaTexto(std::string(1000, '='));
    const std::string s = ouvido();
    size_t cliques = 0;
    for (size_t p = 0; (p = s.find("clique", p)) != std::string::npos; p += 6) ++cliques;
    EXPECT_EQ(cliques, 996u);
    EXPECT_EQ(s.substr(0, 16), "_61 _61 _61 _61 ");
}

TEST_F(FalaGravada, WwwIsSpelledInAnyCase) {
    fala_->falaTexto("www.x");
    EXPECT_EQ(ouvido(), "_119 _119 _119 _46 _120");
    fala_->falaTexto("WwW.x");
    EXPECT_EQ(ouvido(), "_87 _119 _87 _46 _120");
}

TEST_F(FalaGravada, PunctuationIsSaidThenPaused) {
    fala_->falaTexto("oi, eu.");
    EXPECT_EQ(ouvido(), "frase _44 ~150 frase _46 ~250");
    fala_->falaTexto("(a)");
    EXPECT_EQ(ouvido(), "_40 ~200 frase _41 ~200");
}

TEST_F(FalaGravada, WithoutSpeakingPunctuationOnlyThePausesRemain) {
    fala_->falaPontuacao = false;
    fala_->falaTexto("oi, eu.");
    EXPECT_EQ(ouvido(), "frase ~150 frase ~250");
}

TEST_F(FalaGravada, ADecimalPointIsSaidWithoutAPauseEitherWay) {
    fala_->falaTexto("3.5");
    EXPECT_EQ(ouvido(), "_tres _46 _cinco");
    fala_->falaPontuacao = false;
    fala_->falaTexto("3.5");
    EXPECT_EQ(ouvido(), "_tres _46 _cinco");
}

TEST_F(FalaGravada, AHyphenInsideAWordIsDroppedBeforeADigitItIsMinus) {
    fala_->falaTexto("oi-eu");
    EXPECT_EQ(ouvido(), "frase");
    fala_->falaTexto("oi-5");
    EXPECT_EQ(ouvido(), "frase _MENOS _cinco");
}

TEST_F(FalaGravada, TheColonOfAnAddressIsSaidAndTheSlashesFollow) {
    fala_->falaTexto("oi://a");
    EXPECT_EQ(ouvido(), "frase _58 _47 _47 frase");
}

TEST_F(FalaGravada, ControlCharactersAreSaidByCodeTabsAreSkipped) {
    fala_->falaTexto("\x01\t\x02");
    EXPECT_EQ(ouvido(), "_1");  // there is no recording for code 2
}

TEST_F(FalaGravada, AWaitingKeyStopsTheText) {
    teclaEsperando('x');
    fala_->falaTexto("7 7 7");
    EXPECT_EQ(ouvido(), "");
}

TEST_F(FalaGravada, AHundredThousandCharactersEndNormally) {
    std::string texto;
    while (texto.size() < 100000) texto += "oi 16 === ,\x01 - ";
    fala_->falaTexto(texto);
    const std::string s = ouvido();
    EXPECT_NE(s.find("frase _dezesse _61 _61 _61 _44 _1 _45 ~150 frase"), std::string::npos)
        << s.substr(0, 300);
}

TEST_F(FalaGravada, AMissingRecordingPlaysNothing) {
    fala_->tocaSom("_naoexiste");
    fala_->tocaSom("EDNADA");
    fala_->falaLetra(200);
    EXPECT_EQ(ouvido(), "");
    EXPECT_FALSE(fala_->existeSom("_naoexiste"));
    EXPECT_TRUE(fala_->existeSom("_zero"));
}

TEST_F(FalaGravada, PromptsComeFromThePromptsDirectory) {
    Bytes dados(10, 77);
    fixturas::escreveGravacao(dir_.caminho() / "mensagens" / "EDMSG.wav", kMono8, dados);
    valores_[77] = "EDMSG";
    EXPECT_TRUE(fala_->existeSom("EDMSG"));
    fala_->tocaSom("EDMSG");
    EXPECT_EQ(ouvido(), "EDMSG");
}

// ------------------------------------------------------------------ numbers, time, date

TEST_F(FalaGravada, OneHourOneMinuteIsOneSound) {
    fala_->falaHora(1, 1);
    ASSERT_EQ(audio_.blocos.size(), 1u);
    EXPECT_EQ(ouvido(), "_uma _hora _um _minuto");
    fala_->falaHora(2, 0);
    EXPECT_EQ(ouvido(), "_duas _horas");
}

TEST_F(FalaGravada, FirstOfMarch2007) {
    fala_->falaData(1, 3, 2007);
    EXPECT_EQ(ouvido(), "_Quinta _primeir _de _Marco _de _dois _mil _e _sete");
}

TEST_F(FalaGravada, FeminineWordsForAnAmount) {
    fala_->falaExtenso("vinte e dois", true);
    EXPECT_EQ(ouvido(), "_vinte _e _duas");
}

TEST_F(FalaGravada, ALongNumberIsPlayedInSeveralSounds) {
    escreveVoz(8000);  // 8001 bytes a word: three words to a sound
    fala_->falaExtenso(numeroExtenso(999999), false);
    ASSERT_EQ(audio_.blocos.size(), 4u);  // twelve words
    for (const auto& b : audio_.blocos) EXPECT_LE(b.bytes.size(), 30000u);
    EXPECT_EQ(ouvido(), "_novecen _e _noventa _e _nove _mil _e _novecen _e _noventa _e _nove");
}

TEST_F(FalaGravada, AWordThatIsNotElevenKilohertzPlaysAlone) {
    fixturas::escreveGravacao(dir_.caminho() / "letras" / "_dois.wav", FormatoAudio{1, 22050, 8},
                              Bytes(10, 60));
    valores_[60] = "_dois";
    fala_->falaExtenso("um dois tres", false);
    ASSERT_EQ(audio_.blocos.size(), 3u);
    EXPECT_EQ(audio_.blocos[1].formato.taxa, 22050);
    EXPECT_EQ(ouvido(), "_um _dois _tres");
}

// ------------------------------------------------------------------ click, beep, tones

TEST_F(FalaGravada, TheClickIs256SamplesOfNoiseThenSilenceWithoutCompression) {
    fala_->tocador().comprimeTempo = true;
    fala_->clique();
    ASSERT_EQ(audio_.blocos.size(), 1u);
    EXPECT_EQ(audio_.blocos[0].formato, kMono8);  // a compressed sound would not be 256 long
    EXPECT_TRUE(ehClique(audio_.blocos[0].bytes));
    EXPECT_TRUE(fala_->tocador().comprimeTempo);
    EXPECT_EQ(audio_.segundaVoz, 0);
}

TEST_F(FalaGravada, TheBeepEmptiesTheKeyQueueAndPlaysItsPattern) {
    teclaEsperando('a');
    teclaEsperando('b');
    fala_->bip();
    EXPECT_EQ(crt_->teclasNaFila(), 0u);
    ASSERT_EQ(audio_.blocos.size(), 1u);
    EXPECT_EQ(audio_.blocos[0].formato, kMono8);
    EXPECT_TRUE(ehBip(audio_.blocos[0].bytes));
}

TEST(OndasFala, ClickAndBeepWaves) {
    const Bytes clique = Fala::ondaClique(12345);
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(clique, onda));
    EXPECT_EQ(onda.formato, kMono8);
    ASSERT_EQ(onda.dados.size(), 256u);
    int distintos = 0;
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_GE(onda.dados[i], 128);
        EXPECT_LT(onda.dados[i], 188);
        distintos += onda.dados[i] != onda.dados[0];
    }
    EXPECT_GT(distintos, 10);  // noise, not a constant
    for (size_t i = 64; i < 256; ++i) EXPECT_EQ(onda.dados[i], 128);
    ASSERT_TRUE(leOndaPcm(Fala::ondaBip(), onda));
    ASSERT_EQ(onda.dados.size(), 512u);
    EXPECT_EQ(Bytes(onda.dados.begin(), onda.dados.begin() + 9),
              (Bytes{128, 112, 96, 80, 64, 80, 96, 112, 128}));
}

TEST_F(FalaGravada, DtmfTonesWithTheirWaitsAtTheRecordedRate) {
    fala_->tocador().acelerado = true;
    fala_->tocaDTMF("1*#,a2");
    for (const auto& b : audio_.blocos) EXPECT_EQ(b.formato.taxa, 11025);
    EXPECT_EQ(ouvido(), "dtmf_1 ~100 dtmf_X ~100 dtmf_# ~1100 dtmf_2 ~100");
    EXPECT_TRUE(fala_->tocador().acelerado);
}

TEST_F(FalaGravada, APauseIsCutShortByAKey) {
    fala_->pausaFala(420);
    EXPECT_EQ(ouvido(), "~400");
    teclaEsperando('x');
    fala_->pausaFala(1000);
    EXPECT_EQ(ouvido(), "");
}

// ------------------------------------------------------------------ the trace

TEST_F(FalaGravada, OnlyOperationsCalledFromOutsideAreTraced) {
    fala_->falaTexto("007 www");
    fala_->clique();
    fala_->falaHora(1, 1);
    fala_->soletra("ab");
    fala_->falaData(1, 3, 2007);
    fala_->tocaDTMF("1");
    fala_->anota("mensagem EDX");
    fala_->paraFala();  // nothing was sounding
    EXPECT_EQ(rastro(),
              "texto 007 www\nclique\nhora 1 1\nsoletra ab\ndata 1 3 2007\ndtmf 1\n"
              "mensagem EDX\n");
}

TEST_F(FalaGravada, StoppingSoundingSpeechIsTraced) {
    audio_.naFila = 1;  // a sound still plays
    audio_.abre(kMono8);
    fala_->paraFala();
    EXPECT_EQ(rastro(), "para\n");
}

class FalaEco : public Bancada {};

TEST_F(FalaEco, TheEchoedKeyIsSaidAndTracedAsALetter) {
    escreveSintetizador();
    monta("", "b");
    EXPECT_EQ(fala_->leTeclaEco(), 'b');
    EXPECT_EQ(ouvido(), "_98");
    EXPECT_EQ(rastro(), "letra 98\n");
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

TEST_F(FalaInicio, ABankThatIsNotInstalledLeavesRecordedSpeech) {
    monta();  // no diphone files at all
    fala_->falaTexto("oi 2");
    EXPECT_EQ(ouvido(), "_dois");
}

TEST_F(FalaInicio, ABrokenBankEndsTheProgramAfterEnter) {
    escreveSintetizador();
    std::filesystem::remove(dir_.caminho() / "difones" / "BANCO.DIF");
    EXPECT_THROW(monta("", "x{Enter}"), FimDoPrograma);
    const ModeloTela& tela = crt_->tela();
    std::string linha1, linha2;
    for (int x = 0; x < 80; ++x) {
        linha1 += static_cast<char>(tela.caractere(x, 0));
        linha2 += static_cast<char>(tela.caractere(x, 1));
    }
    EXPECT_EQ(linha1.substr(0, 24), "Erro de inicializa\xE7\xE3o: 1");
    EXPECT_EQ(linha2.substr(0, 28), "Banco de dados de voz: BANCO");
}

TEST_F(FalaInicio, MissingRulesWithABankPresentAreFatalWithCodeTwo) {
    escreveSintetizador();
    std::filesystem::remove(dir_.caminho() / "difones" / "regras.rgr");
    EXPECT_THROW(monta("", "{Enter}"), FimDoPrograma);
    std::string linha1;
    for (int x = 0; x < 24; ++x) linha1 += static_cast<char>(crt_->tela().caractere(x, 0));
    EXPECT_EQ(linha1, "Erro de inicializa\xE7\xE3o: 2");
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

struct RegistroServidor {
    int aberturas = 0, tipo = -1, voz = -1, taxa = -1, tom = -1, paradas = 0, fechados = 0;
    int falandoAinda = 0;  // answers "speaking" this many more times
    std::vector<std::string> textos;
    bool abre = true, cai = false, caiu = false;  // cai: it goes away taking the next text
};

class ServidorFalso : public ServidorFala {
  public:
    explicit ServidorFalso(RegistroServidor& r) : r_(r) {}
    bool abre(int voz, int taxa, int tom) override {
        ++r_.aberturas;
        r_.voz = voz;
        r_.taxa = taxa;
        r_.tom = tom;
        return r_.abre;
    }
    void fala(std::string_view t) override {
        r_.textos.emplace_back(t);
        r_.falandoAinda = r_.cai ? 0 : 3;
        r_.caiu = r_.cai;
    }
    bool disponivel() const override { return !r_.caiu; }
    bool falando() override { return r_.falandoAinda > 0 && r_.falandoAinda--; }
    void para() override { ++r_.paradas; }
    void fecha() override { ++r_.fechados; }

  private:
    RegistroServidor& r_;
};

class FalaServidor : public Bancada {
  protected:
    void SetUp() override {
        Bancada::SetUp();
        fabrica_ = [this](int tipo, const AmbienteServidor&) {
            r_.tipo = tipo;
            return std::make_unique<ServidorFalso>(r_);
        };
    }
    RegistroServidor r_;
};

TEST_F(FalaServidor, NoServerIsOpenedWithoutTradutorSapi) {
    monta("[SERVFALA]\nTIPOSAPI=5\nVOZ=2\n");
    EXPECT_EQ(r_.aberturas, 0);
    EXPECT_FALSE(fala_->servidorAtivo());
    fala_->falaTexto("2");
    EXPECT_TRUE(r_.textos.empty());
}

TEST_F(FalaServidor, SapiOpensTheServerOfItsTypeWithTheRateRule) {
    iniBase_ = "[TRADUTOR]\nSAPI=s\nDIRLETRAS=" + (dir_.caminho() / "letras").string() +
               "\n[SERVFALA]\nTIPOSAPI=5\nVOZ=2\nVELOCIDADE=20\nTOM=7\n";
    monta();
    EXPECT_EQ(r_.aberturas, 1);
    EXPECT_EQ(r_.tipo, 5);
    EXPECT_EQ(r_.voz, 2);
    EXPECT_EQ(r_.taxa, 0);  // above 10 only for type 4
    EXPECT_EQ(r_.tom, 7);
    EXPECT_TRUE(fala_->servidorAtivo());
    iniBase_ = "[TRADUTOR]\nSAPI=S\n[SERVFALA]\nTIPOSAPI=4\nVELOCIDADE=20\n";
    monta();
    EXPECT_EQ(r_.tipo, 4);
    EXPECT_EQ(r_.taxa, 20);
    iniBase_ = "[TRADUTOR]\nSAPI=N\n[SERVFALA]\nTIPOSAPI=4\n";
    r_.aberturas = 0;
    monta();
    EXPECT_EQ(r_.aberturas, 0);
}

TEST_F(FalaServidor, AServerThatFailsToOpenLeavesRecordedSpeech) {
    r_.abre = false;
    iniBase_ = "[TRADUTOR]\nSAPI=S\nDIRLETRAS=" + (dir_.caminho() / "letras").string() + "\n";
    monta();
    EXPECT_EQ(r_.aberturas, 1);
    EXPECT_FALSE(fala_->servidorAtivo());
    fala_->falaTexto("2");
    EXPECT_EQ(ouvido(), "_dois");
    EXPECT_TRUE(r_.textos.empty());
}

TEST_F(FalaServidor, TheServerGetsWholeTextsAndLettersWaitForIt) {
    iniBase_ = "[TRADUTOR]\nSAPI=S\nDIRLETRAS=" + (dir_.caminho() / "letras").string() + "\n";
    monta();
    ASSERT_TRUE(fala_->servidorAtivo());
    fala_->falaTexto("ola 12, mundo");
    EXPECT_EQ(r_.textos, std::vector<std::string>{"ola 12, mundo"});
    EXPECT_EQ(ouvido(), "");
    EXPECT_EQ(r_.falandoAinda, 3);
    fala_->falaLetra('1');  // waits for the server first
    EXPECT_EQ(r_.falandoAinda, 0);
    EXPECT_EQ(ouvido().substr(0, 1), "~");
}

TEST_F(FalaServidor, AServerThatGoesAwayLeavesRecordedSpeechWithTheText) {
    iniBase_ = "[TRADUTOR]\nSAPI=S\nDIRLETRAS=" + (dir_.caminho() / "letras").string() + "\n";
    monta();
    r_.cai = true;
    fala_->falaTexto("2");
    EXPECT_EQ(r_.textos, std::vector<std::string>{"2"});
    EXPECT_FALSE(fala_->servidorAtivo());
    EXPECT_EQ(r_.fechados, 1);
    EXPECT_EQ(ouvido(), "_dois");
}

TEST_F(FalaServidor, ChangingTheServerAtRunTime) {
    iniBase_ += "[SERVFALA]\nVOZ=4\n";
    monta();
    fala_->mudaServidorFala(2, true, 3, 10, 5, 0);
    EXPECT_EQ(r_.tipo, 3);
    EXPECT_EQ(r_.voz, 4);  // 0: the INI's voice
    EXPECT_EQ(fala_->tipoServidor(), 3);
    EXPECT_TRUE(fala_->servidorAtivo());
    EXPECT_EQ(fala_->velocidade(), 2);
    fala_->paraFala();  // the own engine is always told to stop
    EXPECT_EQ(r_.paradas, 1);
    fala_->mudaServidorFala(2, false, 3, 10, 5, 0);
    EXPECT_FALSE(fala_->servidorAtivo());
    EXPECT_EQ(r_.fechados, 1);
}

}  // namespace
