// The pop-up selection list: a rectangle of the screen showing items one per row, the
// current one highlighted and spoken, moved by the arrows and chosen with Enter. The
// screen under it is saved when it opens and put back when it ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor.h"

class ListaSelecao {
  public:
    explicit ListaSelecao(Editor& e) : e_(e) {}
    // Puts the screen back if the list was opened and never run.
    ~ListaSelecao();
    ListaSelecao(const ListaSelecao&) = delete;
    ListaSelecao& operator=(const ListaSelecao&) = delete;

    // Opens the list at screen column/row with `largura` columns and `altura` rows, moved
    // left and up as needed to fit on the screen; the items are cleared.
    void abreLista(int coluna, int linha, int largura, int fundo, int altura);
    // Adds an item: `nomeSom` names its recording, `texto` is shown and spoken.
    void adicionaItem(std::string_view nomeSom, std::string_view texto);
    // Runs the list until Enter or Esc: the number (1-based, in the order added) of the
    // item chosen with Enter, or 0 for Esc or when no item was current.
    int executaLista();

    const std::string& ultimoEscolhido() const { return ultimoEscolhido_; }
    int coluna() const { return coluna_; }
    int linha() const { return linha_; }
    int largura() const { return largura_; }
    int altura() const { return altura_; }

  private:
    struct Item {
        std::string nomeSom, texto;
    };

    void desenha(int atual);
    void desenhaItem(int item, int cor);
    void anuncia(int item, bool soletrar);
    int procura(int atual, uint8_t c) const;
    void restaura();

    Editor& e_;
    std::vector<Item> itens_;
    int coluna_ = 1, linha_ = 1, largura_ = 0, altura_ = 0, fundo_ = 0;
    int primeiro_ = 1;  // first visible item
    bool aberta_ = false;
    int cursorX_ = 1, cursorY_ = 1;
    uint8_t atributo_ = 0x0F;
    std::vector<uint8_t> caracteres_, atributos_;  // the screen under the list
    std::string ultimoEscolhido_;
};
