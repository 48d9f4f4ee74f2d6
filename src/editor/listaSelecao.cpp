#include "editor/listaSelecao.h"

#include <algorithm>

#include "editor/edMensag.h"

namespace {

constexpr int kCorItem = 15, kCorAtual = 14;
constexpr int kPasso = 10;  // PgUp/PgDn

// A text as it may be written on the screen: control characters would move the cursor,
// so they show as blanks; cut or padded to `largura`.
std::string paraTela(std::string_view texto, int largura) {
    std::string s(texto.substr(0, static_cast<size_t>(largura)));
    for (char& c : s)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    s.resize(static_cast<size_t>(largura), ' ');
    return s;
}

uint8_t maiuscula(uint8_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 32);
    if (c >= 224 && c <= 254 && c != 247) return static_cast<uint8_t>(c - 32);  // accented
    return c;
}

bool letra(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c != 215 && c != 247);
}

// Keys that look for the next item beginning with them.
bool teclaDeBusca(uint8_t c) {
    return letra(c) || (c >= '0' && c <= '9') || c == '*' || c == '+' || c == '-' || c == '/' ||
           (c >= 1 && c <= 26);
}

}  // namespace

ListaSelecao::~ListaSelecao() {
    if (aberta_) restaura();
}

void ListaSelecao::abreLista(int coluna, int linha, int largura, int fundo, int altura) {
    if (aberta_) restaura();
    SnCrt& crt = e_.crt;
    cursorX_ = crt.WhereX();
    cursorY_ = crt.WhereY();
    atributo_ = crt.atributoTexto();
    largura_ = std::clamp(largura, 1, SnCrt::kColunas);
    altura_ = std::clamp(altura, 0, SnCrt::kLinhas);
    coluna_ = std::clamp(coluna, 1, SnCrt::kColunas + 1 - largura_);
    linha_ = std::clamp(linha, 1, std::max(1, SnCrt::kLinhas + 1 - altura_));
    caracteres_.clear();
    atributos_.clear();
    for (int y = linha_; y < linha_ + altura_; ++y)
        for (int x = coluna_; x < coluna_ + largura_; ++x) {
            caracteres_.push_back(crt.caractereEm(x, y));
            atributos_.push_back(crt.atributoEm(x, y));
        }
    fundo_ = fundo;
    crt.TextBackground(fundo);
    itens_.clear();
    primeiro_ = 1;
    aberta_ = true;
}

void ListaSelecao::adicionaItem(std::string_view nomeSom, std::string_view texto) {
    itens_.push_back({std::string(nomeSom), std::string(texto)});
}

void ListaSelecao::desenhaItem(int item, int cor) {
    const int r = item - primeiro_;
    if (r < 0 || r >= altura_) return;
    SnCrt& crt = e_.crt;
    crt.TextBackground(fundo_);
    crt.TextColor(cor);
    crt.GotoXY(coluna_, linha_ + r);
    const bool existe = item >= 1 && item <= static_cast<int>(itens_.size());
    crt.escreve(paraTela(
        existe ? std::string_view(itens_[static_cast<size_t>(item - 1)].texto) : "", largura_));
}

void ListaSelecao::desenha(int atual) {
    for (int r = 0; r < altura_; ++r)
        desenhaItem(primeiro_ + r, primeiro_ + r == atual ? kCorAtual : kCorItem);
}

void ListaSelecao::anuncia(int item, bool soletrar) {
    const Item& it = itens_[static_cast<size_t>(item - 1)];
    if (soletrar)
        e_.fala.soletra(it.texto);
    else if (!it.nomeSom.empty() && e_.fala.existeSom(it.nomeSom))
        e_.fala.tocaSom(it.nomeSom);
    else
        e_.fala.falaTexto(it.texto);
}

// The next item after `atual` (from the first when none is current) whose text, without
// its leading blanks, begins with `c` in upper case; 0 when there is none.
int ListaSelecao::procura(int atual, uint8_t c) const {
    const int n = static_cast<int>(itens_.size());
    const uint8_t alvo = maiuscula(c);
    for (int i = (atual >= 1 && atual <= n) ? atual + 1 : 1; i <= n; ++i) {
        const std::string& t = itens_[static_cast<size_t>(i - 1)].texto;
        const size_t p = t.find_first_not_of(' ');
        if (p != std::string::npos && maiuscula(static_cast<uint8_t>(t[p])) == alvo) return i;
    }
    return 0;
}

int ListaSelecao::executaLista() {
    const int n = static_cast<int>(itens_.size());
    // The position runs from 0 (before the first item) to n + 1 (after the last); only
    // 1..n is an item. Leaving the list by an end beeps and leaves no item current.
    int pos = n > 0 ? 1 : 0;
    auto vaiPara = [&](int alvo) {
        if (alvo < 1 || alvo > n) {
            pos = alvo < 1 ? 0 : n + 1;
            e_.fala.bip();
        } else {
            pos = alvo;
        }
    };
    primeiro_ = 1;
    bool soletrar = false;
    int escolhido = 0;
    for (;;) {
        const bool valido = pos >= 1 && pos <= n;
        if (valido) {
            if (pos < primeiro_) primeiro_ = pos;
            if (pos >= primeiro_ + altura_) primeiro_ = pos - altura_ + 1;
        }
        desenha(valido ? pos : 0);
        if (valido) anuncia(pos, soletrar);
        soletrar = false;

        uint8_t c = e_.crt.leTecla();
        e_.fala.paraFala();
        while (c == 223) c = e_.crt.leTecla();  // focus lost: wait for the next key
        if (c == 13) {
            if (valido) {
                desenhaItem(pos, kCorAtual);
                ultimoEscolhido_ = itens_[static_cast<size_t>(pos - 1)].texto;
                escolhido = pos;
            }
            break;
        }
        if (c == 27) break;
        if (c == 0) {
            switch (e_.crt.leTecla()) {
                case 80:
                    vaiPara(pos + 1);
                    break;
                case 72:
                    vaiPara(pos - 1);
                    break;
                case 81:
                    vaiPara(pos + kPasso);
                    break;
                case 73:
                    vaiPara(pos - kPasso);
                    break;
                case 71:
                case 132:
                    vaiPara(1);
                    break;
                case 79:
                case 118:
                    vaiPara(n);
                    break;
                case 77:
                    soletrar = true;
                    break;
                case 102:  // Ctrl+Alt+F9: review the screen the list is drawn on
                    if (e_.crt.modificadores().alt) revisaTelaAvisada(e_);
                    break;
                default:
                    break;
            }
        } else if (teclaDeBusca(c)) {
            pos = procura(pos, c);
        }
    }
    restaura();
    return escolhido;
}

void ListaSelecao::restaura() {
    SnCrt& crt = e_.crt;
    for (int r = 0; r < altura_; ++r) {
        const auto inicioLinha = static_cast<std::ptrdiff_t>(r) * largura_;
        crt.GotoXY(coluna_, linha_ + r);
        for (int x = 0; x < largura_;) {
            // Runs of one attribute are written together.
            const uint8_t atributo = atributos_[static_cast<size_t>(inicioLinha + x)];
            int fim = x + 1;
            while (fim < largura_ && atributos_[static_cast<size_t>(inicioLinha + fim)] == atributo)
                ++fim;
            crt.TextColor(atributo & 15);
            crt.TextBackground(atributo >> 4);
            const std::string trecho(caracteres_.begin() + inicioLinha + x,
                                     caracteres_.begin() + inicioLinha + fim);
            crt.escreve(paraTela(trecho, fim - x));
            x = fim;
        }
    }
    crt.TextColor(atributo_ & 15);
    crt.TextBackground(atributo_ >> 4);
    crt.GotoXY(cursorX_, cursorY_);
    aberta_ = false;
}
