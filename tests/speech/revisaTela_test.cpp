#include "speech/revisaTela.h"

#include <gtest/gtest.h>

#include "editor/sessao.h"
#include "bancadaFala.h"

namespace {

// A screen written in the test, then the review run over `teclas` (Esc is added at the end).
class Revisao : public SessaoEdicao {
  protected:
    struct Escrita {
        int x, y;
        std::string texto;
        int cor;
    };
    // Kept and written again on the fresh console of every review.
    void escreve(int x, int y, std::string_view texto, int cor = 7) {
        escritas_.push_back({x, y, std::string(texto), cor});
    }
    // The review from the console cursor at (x, y), with `esperando` already typed ahead;
    // what was heard, the closing beeps left out.
    Ouvido revisa(std::string_view teclas, int x = 1, int y = 1, std::string_view esperando = "") {
        const std::string busca = ed().textoRevisao;
        abre(std::string(teclas) + "{Esc}");
        ed().textoRevisao = busca;
        for (const Escrita& w : escritas_) {
            crt().GotoXY(w.x, w.y);
            crt().TextColor(w.cor);
            crt().escreve(w.texto);
        }
        if (comServidor_) ligaServidor();
        for (char c : esperando) crt().trataEvento({EventoEntrada::Tipo::Codigo, 0, static_cast<uint8_t>(c), {}});
        crt().GotoXY(x, y);
        ouvido();
        revisaTela(crt(), e().fala, ed().textoRevisao);
        EXPECT_EQ(crt().WhereX(), x);
        EXPECT_EQ(crt().WhereY(), y);
        Ouvido o = ouvido();
        EXPECT_GE(o.size(), 2u);
        if (o.size() >= 2) o.resize(o.size() - 2);
        return o;
    }
    void ligaServidor() {
        comServidor_ = true;
        e().fala.defineFabricaServidores(bancada::fabricaFalsa(servidor_));
        e().fala.mudaServidorFala(3, true, kServidorSapi4, 0, 0, 1);
        ASSERT_TRUE(e().fala.servidorAtivo());
    }
    std::vector<Escrita> escritas_;
    bool comServidor_ = false;
    bancada::RegistroServidor servidor_;
};

TEST_F(Revisao, WordsSymbolsAndConsonantsOnALine) {
    escreve(1, 3, "Ola ----- mundo  xyz  ==");
    escreve(1, 4, std::string(80, '-'));
    EXPECT_EQ(revisa(" ", 5, 3),
              (Ouvido{"texto Ola", "texto ---", "texto mundo", "soletra xyz", "texto ==", "clique"}));
    // A row of 80 dashes is three dashes; the reading leaves the cursor where it was.
    EXPECT_EQ(revisa("{Down}{Ctrl+L}", 1, 3), (Ouvido{"clique", "texto ---", "clique", "texto 81"}));
    EXPECT_EQ(revisa("{F1}{F1}{F1}{Right}{Left}{Left}", 1, 3),
              (Ouvido{"texto Ola", "texto ---", "texto mundo", "letra 32", "letra 32", "letra 111"}));
    // By words: symbols are skipped; past the last word a beep and the end of the line.
    EXPECT_EQ(revisa("{Ctrl+Right}{Ctrl+L}{Ctrl+Left}{Ctrl+Left}{Ctrl+L}{Ctrl+Right}{Ctrl+Right}{Ctrl+Right}{Ctrl+L}", 1, 3),
              (Ouvido{"texto 11", "bip", "texto 1", "bip", "texto 25"}));
}

TEST_F(Revisao, AccentedLettersBelongToTheirWords) {
    escreve(1, 3, "reuni\xE3o Atualiza\xE7\xE3o \xE7\xC7 \xD7" "2 \xAA" "a");
    // F1 takes whole words; a word of consonants only (ç Ç) is spelled; × is a symbol.
    EXPECT_EQ(revisa("{F1}{F1}{F1}{F1}{F1}{F1}", 1, 3),
              (Ouvido{"texto reuni\xE3o", "texto Atualiza\xE7\xE3o", "soletra \xE7\xC7",
                      "texto \xD7", "texto 2", "texto \xAA" "a"}));
    // By words: from "reunião" to "Atualização" and back.
    EXPECT_EQ(revisa("{Ctrl+Right}{Ctrl+L}{Ctrl+Right}{Ctrl+L}{Ctrl+Left}{Ctrl+L}", 1, 3),
              (Ouvido{"texto 9", "texto 21", "texto 9"}));
}

TEST_F(Revisao, WithAServerTheLineIsSaidAtOnce) {
    escreve(1, 3, "Ola ----- mundo");
    comServidor_ = true;
    EXPECT_EQ(revisa(" ", 1, 3), (Ouvido{"texto Ola ----- mundo", "clique"}));
}

TEST_F(Revisao, RowAndColumnByDigitsAndTheScreensEdges) {
    escreve(12, 5, "alvo");
    EXPECT_EQ(revisa("{F6}0512{Ctrl+K}{Ctrl+L}{F1}"),
              (Ouvido{"texto Entre linha e coluna", "letra 48", "letra 53", "letra 49", "letra 50",
                      "texto 5", "texto 12", "texto alvo"}));
    // A non-digit changes nothing; 99 99 is kept on the screen with a beep each way.
    EXPECT_EQ(revisa("{F6}0x{Ctrl+K}{F6}9999{Ctrl+K}{Ctrl+L}", 2, 2),
              (Ouvido{"texto Entre linha e coluna", "letra 48", "bip", "bip", "texto 2",
                      "texto Entre linha e coluna", "letra 57", "letra 57", "letra 57", "letra 57",
                      "bip", "bip", "texto 25", "texto 80"}));
    // Left at column 1 and Up at row 1 beep; an unknown key is beep, click, beep.
    EXPECT_EQ(revisa("{Left}{Up}{F12}1"),
              (Ouvido{"bip", "bip", "bip", "clique", "bip", "bip", "clique", "bip"}));
}

TEST_F(Revisao, FieldsByColourAndSeparatorsAndTwoLetterCommands) {
    escreve(1, 2, "Nome:", 7);
    escreve(7, 2, "relatorio final", 14);
    escreve(30, 2, "ok", 7);
    // Ctrl+F1 on "relatorio": the field stops at the blank; Tab goes two past its end.
    EXPECT_EQ(revisa("{Ctrl+F1}{Tab}{Ctrl+L}{Shift+Tab}{Ctrl+L}", 8, 2),
              (Ouvido{"texto relatorio", "clique", "clique", "texto 17", "clique", "texto 15"}));
    // IL up to the cursor, FL from it, TC the field, then the cursor is where it was.
    EXPECT_EQ(revisa("ilflTC{Ctrl+L}", 7, 2),
              (Ouvido{"texto Nome", "texto :", "clique", "texto relatorio", "texto final",
                      "texto ok", "clique", "texto relatorio", "clique", "texto 7"}));
    // A blank is a field of its own; a range ending inside a word reads only its part.
    EXPECT_EQ(revisa("{Ctrl+F1}", 6, 2), Ouvido{"clique"});
    EXPECT_EQ(revisa("il", 10, 2), (Ouvido{"texto Nome", "texto :", "texto rel", "clique"}));
    EXPECT_EQ(revisa("xti"), (Ouvido{"bip", "clique", "bip", "bip", "clique", "bip"}));
}

TEST_F(Revisao, SearchFindsAWordAboveAndAgainAfterIt) {
    escreve(1, 2, "um dois um");
    EXPECT_EQ(revisa("{F5}uX{Backspace}m{Enter}{Ctrl+L}{Ctrl+F5}{Ctrl+L}{Ctrl+F5}{Ctrl+L}", 1, 20),
              (Ouvido{"texto Qual texto", "letra 117", "letra 88", "som _DEL", "letra 88",
                      "letra 109", "clique", "texto 1", "clique", "texto 9", "clique", "texto 1"}));
    EXPECT_EQ(revisa("{Ctrl+F5}{Ctrl+K}{F5}nada{Enter}", 1, 20),
              (Ouvido{"clique", "texto 2", "texto Qual texto", "letra 110", "letra 97", "letra 100",
                      "letra 97", "bip", "bip"}));
}

TEST_F(Revisao, BlankScreenAndAKeyStopsALongReading) {
    EXPECT_EQ(revisa("{End}{Ctrl+PgUp}{F1}"), (Ouvido{"bip", "bip"}));
    for (int y = 1; y <= 24; ++y) escreve(1, y, "palavra");
    const Ouvido o = revisa("", 1, 1, "tt\x0b");
    EXPECT_LT(o.size(), 10u);  // the waiting Ctrl+K ends the reading of 24 rows
    ASSERT_FALSE(o.empty());
    EXPECT_EQ(o.back(), "texto 1");
}

}  // namespace
