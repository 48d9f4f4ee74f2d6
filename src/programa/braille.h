// A braille display beside the screen: it shows what the user is reading (the text line
// around the cursor, the prompt of a question, a line editor's field, the screen review's
// row) and its keys come in as the keyboard's: routing keys move the cursor to the cell
// pressed, line up / line down act as Up / Down, the display's own keys pan over a long
// line, and its braille keyboard types.
#pragma once

#include <memory>
#include <string>

#include "editor/editor.h"
#include "platform/ligacaoBraille.h"

// The stretch of a line a display shows: it follows the cursor and stays put while the
// user pans, until the cursor moves again.
class JanelaBraille {
public:
    // `coluna` is the cursor (1-based); the window moves only when the cursor left it.
    void segue(int coluna, int celulas);
    // One display's width back / on; false (and nothing moved) at the line's ends.
    bool panEsquerda(int celulas);
    bool panDireita(int celulas, int tamanho);
    int inicio() const { return inicio_; }  // the first column shown, 0-based

private:
    int inicio_ = 0;
};

// What the display shows now: a line (Windows-1252) and the cursor's column in it
// (1-based; 0 when the cursor is not on it), and what the focus is, to tell a move.
struct VistaBraille {
    std::string linha;
    int coluna = 0;
    FocoLeitura::Tipo tipo = FocoLeitura::Tipo::Tela;
    int lugar = 0;  // the text line, or the screen row, the line comes from
};
VistaBraille vistaBraille(Editor& e);

class Braille {
public:
    Braille(Editor& e, std::unique_ptr<LigacaoBraille> ligacao);
    // Takes the display's keys; while the program waits for a key (`espera`), shows what
    // the user reads. Cheap, run at every pump: in the middle of a command the display
    // keeps what it showed, so it never flashes the screen's passing states.
    void atualiza(bool espera = true);
    LigacaoBraille& ligacao() { return *ligacao_; }

private:
    void trata(const ComandoBraille& c, int celulas);
    void teclaDoTeclado(const ComandoBraille& c);
    void caractere(const ComandoBraille& c);

    Editor& e_;
    std::unique_ptr<LigacaoBraille> ligacao_;
    JanelaBraille janela_;
    VistaBraille ultima_;
    int celulasVistas_ = 0;  // the display's width when the window last followed the cursor
};

// The display for the editor in `e` when BRLAPI of section BRAILLE is not N and the build
// has BrlAPI; nothing otherwise. It is read at every pump of the console from then on.
std::unique_ptr<Braille> ligaBraille(Editor& e);
