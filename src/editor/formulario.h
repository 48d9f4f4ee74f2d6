// A form of labelled fields, one per screen row, walked with the arrows and edited with
// the spoken line editor: each field says its label (its recording when there is one)
// and then its value. A field may say which values it takes: a changed text it cannot use
// is refused there (a beep, its valid values said, the value it had back). The variables
// change only when the form ends.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/edCampo.h"
#include "editor/editor.h"

// The values a field takes, tested on its trimmed text; `descricao` says them.
struct ValoresValidos {
    std::function<bool(std::string_view)> aceita;  // empty: any text
    std::string descricao;

    // One of `letras`, in either case.
    static ValoresValidos letras(std::string_view letras, std::string descricao);
    // A whole number within one of `faixas` (ends included).
    static ValoresValidos numeros(std::vector<std::pair<long, long>> faixas, std::string descricao);
};

class Formulario {
  public:
    // Starts a form at the cursor's screen row; labels take `larguraRotulo` columns.
    Formulario(Editor& e, int larguraRotulo);

    // A text field of `largura` visible cells holding at most 255 characters.
    void campoTexto(std::string_view chave, std::string_view rotulo, std::string& variavel,
                    int largura, ValoresValidos validos = {});
    // A whole-number field; a text that is not a number gives 0.
    void campoInteiro(std::string_view chave, std::string_view rotulo, int& variavel,
                      ValoresValidos validos = {}, int largura = 10);

    // Runs the form until Esc: Down, Tab and Enter go to the next field, Up to the one
    // before, PgDn and PgUp ten fields, Ctrl+PgDn and Ctrl+PgUp to the last and the first.
    // Moving past either end beeps and waits for the next key there. Then every field's
    // text, trimmed, goes to its variable. The key that ended the form is returned.
    FimCampo executaFormulario();

  private:
    struct Item {
        std::string chave, rotulo, texto;
        int largura;
        std::string* variavelTexto = nullptr;
        int* variavelInteiro = nullptr;
        ValoresValidos validos;
    };

    int visiveis() const;
    int linhaDe(int indice) const;
    void mostraVisiveis();
    void desenhaItem(int indice, bool ativo = false);
    Campo campoDe(int indice) const;
    void rolaAte(int indice);
    void anuncia(const Item& item);
    bool recusa(Item& item, const std::string& antes);
    int destino(int atual, const FimCampo& fim, bool& termina) const;
    FimCampo esperaNaPonta(int atual);
    void guarda();

    Editor& e_;
    int linhaInicial_;
    int larguraRotulo_;
    int primeiro_ = 0;  // the first field shown, when the form is taller than the screen
    std::vector<Item> itens_;
};
