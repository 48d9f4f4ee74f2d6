#include "console/SnCrt.h"

#include <gtest/gtest.h>

#include "apoio.h"
#include "audioFalso.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "platform/teclado.h"

namespace {

class SnCrtTest : public ::testing::Test {
protected:
    // A console reading `teclas` (a key script), with `ini` as its SONARE.INI.
    void crt(const std::string& ini = "", const std::string& teclas = "") {
        gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
        crt_ = std::make_unique<SnCrt>(criaFrontEndHeadless(leRoteiro(teclas).teclas), audio_,
                                       pasta_ / "SONARE.INI");
        crt_->garanteJanela();
    }
    // Codes queued by a list of events.
    std::vector<int> codigos(const std::vector<EventoEntrada>& eventos) {
        for (const auto& ev : eventos) crt_->trataEvento(ev);
        std::vector<int> c;
        while (crt_->teclasNaFila() > 0) c.push_back(crt_->leTecla());
        return c;
    }
    std::vector<int> tecla(uint16_t t, Modificadores mod = {}) {
        return codigos(eventosDeTecla(t, mod, caractereDeControle(t, mod)));
    }
    std::string linhaTela(int y, int x1 = 1, int x2 = 80) {
        std::string s;
        for (int x = x1; x <= x2; ++x) s += static_cast<char>(crt_->caractereEm(x, y));
        return s;
    }

    PastaTemporaria pasta_;
    AudioFalso audio_;
    std::unique_ptr<SnCrt> crt_;
};

using Tipo = EventoEntrada::Tipo;
constexpr Modificadores kAlt{false, false, true};

EventoEntrada evento(Tipo tipo, uint16_t tecla = 0, Modificadores mod = {}) {
    EventoEntrada e;
    e.tipo = tipo;
    e.tecla = tecla;
    e.mod = mod;
    return e;
}
EventoEntrada caractere(uint8_t c) {
    EventoEntrada e;
    e.caractere = c;
    return e;
}

// While break checking is on, Alt+letter goes to the system; Alt+arrows do not. (The codes
// the keys make are checked through key scripts.)
TEST_F(SnCrtTest, AltLettersGoToTheSystemWhileBreakCheckingIsOn) {
    crt();
    EXPECT_TRUE(tecla('X', kAlt).empty());
    EXPECT_EQ(tecla(vk::Esquerda, kAlt), (std::vector<int>{0, 75}));
}

TEST_F(SnCrtTest, FullQueueDropsKeysAndFocusIsReportedOnlyWhenAsked) {
    crt();
    crt_->ligaVerificaInterrupcao(false);
    for (int i = 0; i < 100; ++i) crt_->trataEvento(caractere('a'));
    EXPECT_EQ(crt_->teclasNaFila(), 64u);
    crt_->limpaFila();
    for (int i = 0; i < 31; ++i) crt_->trataEvento(evento(Tipo::TeclaDesce, vk::Cima));
    crt_->trataEvento(caractere('a'));
    EXPECT_EQ(crt_->teclasNaFila(), 63u);
    // More than 62 queued: a translated key is dropped, a character still fits.
    crt_->trataEvento(evento(Tipo::TeclaDesce, vk::Cima));
    EXPECT_EQ(crt_->teclasNaFila(), 63u);
    crt_->trataEvento(caractere('b'));
    EXPECT_EQ(crt_->teclasNaFila(), 64u);
    crt_->limpaFila();
    EXPECT_TRUE(codigos({evento(Tipo::GanhouFoco)}).empty());
    crt_->ligaRelatorioFoco(true);
    EXPECT_EQ(codigos({evento(Tipo::PerdeuFoco), evento(Tipo::GanhouFoco)}),
              (std::vector<int>{223, 222}));
}

// Presses the braille keys of `teclas` together and releases them.
std::vector<EventoEntrada> acorde(const std::string& teclas) {
    std::vector<EventoEntrada> ev;
    for (Tipo tipo : {Tipo::TeclaDesce, Tipo::TeclaSobe})
        for (char t : teclas)
            ev.push_back(evento(tipo, t == ' ' ? vk::Espaco : uint16_t(t)));
    return ev;
}

// Dots 3456 (S J K L) are the number sign, until a space; dots 46 (J L) the capital sign,
// twice a capitals lock; space with dots 1 2 3 (F D S) is Ctrl+L.
TEST_F(SnCrtTest, BrailleModeTwoSigns) {
    crt("[BRAILLE]\nMODO=2\n");
    ASSERT_EQ(crt_->modoBraille(), 2);
    const std::pair<const char*, std::vector<int>> casos[] = {
        {"SJKL", {}}, {"FD", {'2'}}, {"F", {'1'}},   {" ", {' '}}, {"JL", {}},   {"F", {'A'}},
        {"F", {'a'}}, {"JL", {}},    {"JL", {}},     {"FD", {'B'}}, {"F", {'A'}}, {" FDS", {12}}};
    int i = 0;
    for (const auto& [teclas, esperado] : casos) EXPECT_EQ(codigos(acorde(teclas)), esperado) << i++;

    // A braille display's keyboard types the same chords (bits: dots 1..8, 256 the space
    // bar); dot 7 makes a capital.
    std::vector<int> c;
    for (int pontos : {60, 3, 1 | 64, 256 | 7, 40, 1}) {
        crt_->digitaPontos(pontos);
        while (crt_->teclasNaFila() > 0) c.push_back(crt_->leTecla());
    }
    EXPECT_EQ(c, (std::vector<int>{'2', '1', 12, 'A'}));
}

// What the braille keys type is shown by running the program; here, the tones.
TEST_F(SnCrtTest, BrailleModeChangesWithTones) {
    crt();
    crt_->ligaVerificaInterrupcao(false);
    constexpr Modificadores ctrlAlt{false, true, true};
    crt_->trataEvento(evento(Tipo::TeclaDesce, vk::F(11), ctrlAlt));
    EXPECT_EQ(crt_->modoBraille(), 1);
    EXPECT_EQ(audio_.sons, (std::vector<std::vector<uint8_t>>{ondaTom(800), ondaTom(1600)}));
    EXPECT_EQ(audio_.repeticoes, (std::vector{true, true}));
    audio_.sons.clear();
    crt_->trataEvento(evento(Tipo::TeclaDesce, vk::F(12), ctrlAlt));
    EXPECT_EQ(crt_->modoBraille(), 0);
    EXPECT_EQ(audio_.sons, (std::vector<std::vector<uint8_t>>{ondaTom(100)}));
}

TEST_F(SnCrtTest, WritingObeysControlsWrapsScrollsAndStaysInsideTheTextWindow) {
    crt();
    crt_->GotoXY(1, 1);
    crt_->escreve(std::string(100, 'x'));
    EXPECT_EQ(std::pair(crt_->WhereX(), crt_->WhereY()), std::pair(21, 2));
    EXPECT_EQ(linhaTela(2, 1, 21), std::string(20, 'x') + " ");
    // Backspace rubs out, a carriage return goes back to the start, the bell beeps once.
    crt_->GotoXY(1, 3);
    crt_->escreve("abc\b\bX\rZ");
    EXPECT_EQ(linhaTela(3, 1, 4), "ZX  ");
    EXPECT_EQ(audio_.sons.size(), 0u);
    crt_->escreve("\a");
    ASSERT_EQ(audio_.sons.size(), 1u);
    EXPECT_FALSE(audio_.repeticoes[0]);

    crt_->GotoXY(1, 25);
    crt_->escreve("rodape");
    crt_->Window(11, 5, 30, 7);
    crt_->escreve("um\r\ndois\r\ntres\r\nquatro");
    EXPECT_EQ(linhaTela(5, 11, 16), "dois  ");
    EXPECT_EQ(linhaTela(6, 11, 16), "tres  ");
    EXPECT_EQ(linhaTela(7, 11, 16), "quatro");
    EXPECT_EQ(linhaTela(25, 1, 6), "rodape");
    EXPECT_EQ(linhaTela(4, 11, 14), "    ");
    EXPECT_EQ(crt_->caractereEm(10, 5), ' ');

    // The cursor is kept inside the window.
    crt_->Window(11, 5, 30, 10);
    crt_->GotoXY(0, 0);
    EXPECT_EQ(std::pair(crt_->WhereX(), crt_->WhereY()), std::pair(1, 1));
    crt_->GotoXY(200, 3);
    EXPECT_EQ(std::pair(crt_->WhereX(), crt_->WhereY()), std::pair(20, 3));
    crt_->escreve("!?");  // '!' fills the right edge, '?' has passed it: a new line first
    EXPECT_EQ(crt_->caractereEm(30, 7), '!');
    EXPECT_EQ(crt_->caractereEm(11, 8), '?');
}

TEST_F(SnCrtTest, ClearingUsesTheCurrentAttributeUnlessColoursAreFixed) {
    crt();
    crt_->escreve("abcdef");
    crt_->TextBackground(1);
    crt_->TextColor(14);
    crt_->GotoXY(3, 1);
    crt_->ClrEol();
    EXPECT_EQ(linhaTela(1, 1, 4), "ab  ");
    EXPECT_EQ(crt_->atributoEm(3, 1), 0x1E);
    EXPECT_EQ(crt_->atributoEm(2, 1), 0x0F);
    crt_->Window(1, 1, 10, 2);
    crt_->ClrScr();
    EXPECT_EQ(crt_->atributoEm(1, 1), 0x1E);
    EXPECT_EQ(crt_->atributoEm(11, 2), 0x0F);
    crt("[VIDEO]\nCORESFIXAS=s\nCORFUNDO=1\nCORLETRA=14\n");
    crt_->TextColor(4);
    crt_->TextBackground(2);
    EXPECT_EQ(crt_->atributoTexto(), 0x1E);
}

TEST_F(SnCrtTest, LineReadEditsAndLimitsItsLength) {
    crt("", "ab{Backspace}cdefgh{Enter}");
    EXPECT_EQ(crt_->leLinha(6), "acde\r\n");
    EXPECT_EQ(linhaTela(1, 1, 5), "acde ");
    EXPECT_EQ(crt_->WhereY(), 2);
}

TEST_F(SnCrtTest, ClipboardIsCutToTheBuffer) {
    crt();
    std::string buffer = "antigo";
    crt_->copiaClipboard(std::string("abcdef\0zz", 9));
    ASSERT_TRUE(crt_->leClipboard(buffer, 4));
    EXPECT_EQ(buffer, "abc");
    ASSERT_TRUE(crt_->leClipboard(buffer, 100));
    EXPECT_EQ(buffer, "abcdef");
}

TEST(ConfigJanela, DefaultsAndBadValues) {
    PastaTemporaria pasta;
    const auto ini = pasta / "SONARE.INI";
    ConfigJanela c = leConfigJanela(ini);
    EXPECT_FALSE(c.maximizada);
    EXPECT_EQ(c.atributo, 0x0F);
    EXPECT_EQ(c.zoom, 2);
    EXPECT_EQ(c.fonte, "Lucida Console");

    gravaArquivoTeste(ini, "[VIDEO]\nCANTOTELA=NAO\nCORFUNDO=\nCORLETRA=\nTABCORES=3, 2,x,9\n"
                          "AMPLIF=8\nLARGURALETRA=\nALTURALETRA=abc\nPESOLETRA=\n[BRAILLE]\nMODO=3\n");
    c = leConfigJanela(ini);
    EXPECT_TRUE(c.maximizada);
    EXPECT_EQ(c.atributo, 0x07);
    EXPECT_EQ(c.tabelaCores[0], 3);
    EXPECT_EQ(c.tabelaCores[1], 2);
    EXPECT_EQ(c.tabelaCores[2], 2);  // stops at the first value that is not a number
    EXPECT_EQ(c.zoom, 1);
    EXPECT_EQ(c.larguraLetra, 12);
    EXPECT_EQ(c.alturaLetra, 22);
    EXPECT_EQ(c.pesoLetra, 700);
    EXPECT_EQ(c.modoBraille, 0);  // braille typing only when asked for: 0, 1 or 2
}

TEST(Tom, SquareWaveOfOneSecond) {
    std::vector<uint8_t> w = ondaTom(1000);
    ASSERT_EQ(w.size(), 44u + 11025u);
    OndaPcm onda;
    ASSERT_TRUE(leOndaPcm(w, onda));
    EXPECT_EQ(onda.formato, (FormatoAudio{1, 11025, 8}));
    // 11025 / 1000 = 11 samples a period: 5 low, 6 high.
    std::vector<uint8_t> periodo(onda.dados.begin(), onda.dados.begin() + 12);
    EXPECT_EQ(periodo, (std::vector<uint8_t>{96, 96, 96, 96, 96, 160, 160, 160, 160, 160, 160, 96}));
    EXPECT_EQ(onda.dados.back(), 128);
    EXPECT_EQ(ondaTom(0).size(), w.size());  // nonsense frequencies still make a wave
    EXPECT_EQ(ondaTom(50000).size(), w.size());
}

}  // namespace
