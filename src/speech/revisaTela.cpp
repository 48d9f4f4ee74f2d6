#include "speech/revisaTela.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/texto.h"

namespace {

constexpr int kColunas = SnCrt::kColunas;
constexpr int kLinhas = SnCrt::kLinhas;
constexpr int kFimDaLinha = kColunas + 1;  // a range that runs to the end of the row
constexpr size_t kMaximoBusca = 255;

// Words are made of digits and the letters of Windows-1252, so "reunião" is one word.
bool letra(uint8_t c) { return letra1252(static_cast<char>(c)); }

bool caractereDePalavra(uint8_t c) { return letra(c) || (c >= '0' && c <= '9'); }

bool consoante(uint8_t c) { return letra(c) && !vogal1252(static_cast<char>(c)); }

// The first letter of a two-letter reading command: ASCII only.
bool letraDeComando(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Fields end at blanks, at the punctuation that closes a label and at the box-drawing codes.
bool separador(uint8_t c) {
    return c == ' ' || c == '!' || c == ':' || c == '?' || c == '|' || (c >= 176 && c <= 223);
}

class Revisao {
  public:
    Revisao(SnCrt& crt, Fala& fala, std::string& textoBusca)
        : crt_(crt), fala_(fala), busca_(textoBusca),
          colunaTexto_(crt.WhereX()), linhaTexto_(crt.WhereY()),
          linha_(linhaTexto_), coluna_(colunaTexto_) {}

    void executa() {
        // A braille display shows the review cursor's row while the review runs.
        const FocoLeitura anterior = crt_.foco();
        crt_.foco() = {FocoLeitura::Tipo::Revisao, {}, coluna_, linha_};
        while (trataTecla(crt_.leTecla())) {
            mantemNaTela();
            crt_.foco().coluna = coluna_;
            crt_.foco().linha = linha_;
        }
        crt_.foco() = anterior;
        crt_.GotoXY(colunaTexto_, linhaTexto_);
    }

  private:
    // ------------------------------------------------------------------ the screen

    uint8_t celula(int lin, int col) {
        if (lin < 1 || lin > kLinhas || col < 1 || col > kColunas) return ' ';
        return crt_.caractereEm(col, lin);
    }
    uint8_t atributo(int lin, int col) {
        if (lin < 1 || lin > kLinhas || col < 1 || col > kColunas) return 0;
        return crt_.atributoEm(col, lin);
    }
    std::string textoLinha(int lin, int de, int ate) {  // columns [de, ate)
        std::string s;
        for (int c = de; c < ate && c <= kColunas; ++c) s += static_cast<char>(celula(lin, c));
        return s;
    }

    // The column after the last non-blank; a blank row beeps and gives column 1.
    int fimDeLinha(int lin) {
        for (int c = kColunas; c >= 1; --c)
            if (celula(lin, c) != ' ') return c + 1;
        fala_.bip();
        return 1;
    }

    // The field around the cursor: same colour as the cursor's cell, up to a separator.
    std::pair<int, int> campo() {
        const uint8_t a = atributo(linha_, coluna_);
        auto dentro = [&](int c) {
            return c >= 1 && c <= kColunas && atributo(linha_, c) == a && !separador(celula(linha_, c));
        };
        int ini = coluna_, fim = coluna_;
        if (separador(celula(linha_, coluna_))) return {ini, fim};  // a separator stands alone
        while (dentro(ini - 1)) --ini;
        while (dentro(fim + 1)) ++fim;
        return {ini, fim};
    }

    // ------------------------------------------------------------------ speaking

    void falaCelula(int col) {
        const uint8_t c = celula(linha_, col);
        if (c < 166)
            fala_.falaLetra(c);
        else
            fala_.clique();
    }

    // Speaks the word at the cursor and moves past it. A run of one symbol is said at most
    // three times long (a row of dashes is "three dashes"), a word of consonants is spelled.
    // Nothing from column `limite` on is taken.
    void falaPalavra(int limite = kFimDaLinha) {
        limite = std::min(limite, kFimDaLinha);
        while (coluna_ < kColunas && coluna_ < limite && celula(linha_, coluna_) == ' ') ++coluna_;
        std::string palavra;
        while (coluna_ < limite && caractereDePalavra(celula(linha_, coluna_)))
            palavra += static_cast<char>(celula(linha_, coluna_++));
        if (palavra.empty()) {
            const uint8_t simbolo = celula(linha_, coluna_);
            if (coluna_ >= limite || simbolo == ' ') {
                ++coluna_;
                return;
            }
            while (coluna_ < limite && celula(linha_, coluna_) == simbolo) {
                if (palavra.size() < 3) palavra += static_cast<char>(simbolo);
                ++coluna_;
            }
            return fala_.falaTexto(palavra);
        }
        bool soConsoantes = true;
        for (const char c : palavra) soConsoantes = soConsoantes && consoante(static_cast<uint8_t>(c));
        if (soConsoantes)
            fala_.soletra(palavra);
        else
            fala_.falaTexto(palavra);
    }

    // Reads from (l1, c1) up to, not including, column c2 of row l2, row by row; a key
    // press ends it. The cursor follows the reading.
    void leFaixa(int l1, int c1, int l2, int c2) {
        if (l1 == l2 && c1 >= c2) return fala_.bip();
        linha_ = l1;
        coluna_ = c1;
        for (; linha_ <= l2; ++linha_) {
            const int ate = linha_ == l2 ? c2 : kFimDaLinha;
            if (fala_.servidorAtivo()) {
                std::string texto = textoLinha(linha_, coluna_, ate);
                texto.erase(texto.find_last_not_of(' ') + 1);
                if (!texto.empty()) fala_.falaTexto(texto);
            } else {
                while (coluna_ < ate && coluna_ <= kColunas && !crt_.teclaPressionada()) {
                    falaPalavra(ate);
                    while (coluna_ < ate && coluna_ <= kColunas && celula(linha_, coluna_) == ' ')
                        ++coluna_;
                }
            }
            coluna_ = 1;
            fala_.clique();
            if (crt_.teclaPressionada()) break;
        }
        if (linha_ > l2) linha_ = l2;
        if (c2 > kColunas) coluna_ = fimDeLinha(linha_);
    }

    // Reads and puts the cursor back where it was.
    void leFaixaVolta(int l1, int c1, int l2, int c2) {
        const int lin = linha_, col = coluna_;
        leFaixa(l1, c1, l2, c2);
        linha_ = lin;
        coluna_ = col;
    }

    void leLinhaToda(int lin) { leFaixa(lin, 1, lin, kFimDaLinha); }

    void doisBips() {
        fala_.bip();
        fala_.bip();
    }
    void teclaInvalida() {
        fala_.bip();
        fala_.clique();
        fala_.bip();
    }

    // ------------------------------------------------------------------ keys

    bool trataTecla(uint8_t tecla) {
        switch (tecla) {
            case 27:
                doisBips();
                return false;
            case 0:
                estendida(crt_.leTecla());
                break;
            case 13:
                ++linha_;
                coluna_ = 1;
                fala_.clique();
                break;
            case 8:
                esquerda();
                break;
            case 9:
                if (crt_.modificadores().shift)
                    campoAnterior();
                else
                    proximoCampo();
                break;
            case ' ':
                leFaixaVolta(linha_, 1, linha_, kFimDaLinha);
                break;
            case 11:
                fala_.falaTexto(std::to_string(linha_));
                break;
            case 12:
                fala_.falaTexto(std::to_string(coluna_));
                break;
            default:
                if (letraDeComando(tecla))
                    comandoLeitura(tecla);
                else
                    teclaInvalida();
        }
        return true;
    }

    void estendida(uint8_t scan) {
        switch (scan) {
            case SnCrt::kScanRota:  // a routing key: the cell pressed, said
                if (const std::optional<int> col = crt_.tomaRota()) {
                    coluna_ = std::clamp(*col, 1, kColunas);
                    falaCelula(coluna_);
                }
                break;
            case 75: esquerda(); break;
            case 77:
                if (coluna_ >= kColunas + 2) return fala_.bip();
                falaCelula(coluna_++);
                break;
            case 71: coluna_ = 1; break;
            case 79: coluna_ = fimDeLinha(linha_); break;
            case 72:
                if (linha_ <= 1) return fala_.bip();
                leLinhaToda(linha_ - 1);
                break;
            case 80:
                if (linha_ >= kLinhas) return fala_.bip();
                fala_.clique();
                leLinhaToda(linha_ + 1);
                break;
            case 73: leLinhaToda(1); break;
            case 81: leLinhaToda(kLinhas); break;
            case 115: palavraAnterior(); break;
            case 116: proximaPalavra(); break;
            case 15: campoAnterior(); break;
            case 59: palavraNoCursor(); break;
            case 94: {
                const auto [ini, fim] = campo();
                leFaixaVolta(linha_, ini, linha_, fim + 1);
                break;
            }
            case 63:
                if (perguntaBusca()) procura(false);
                break;
            case 98: procura(true); break;
            case 64: linhaEColuna(); break;
            case 132: letraNaPonta(true); break;
            case 118: letraNaPonta(false); break;
            default: teclaInvalida();
        }
    }

    void esquerda() {
        if (coluna_ <= 1) return fala_.bip();
        falaCelula(--coluna_);
    }

    void palavraNoCursor() {
        if (coluna_ > kColunas - 1) {
            fala_.clique();
            coluna_ = fimDeLinha(linha_);
            return;
        }
        if (crt_.teclaPressionada() && fala_.servidorAtivo()) return;
        falaPalavra();
    }

    void palavraAnterior() {
        int c = std::min(coluna_, kColunas + 1) - 1;
        while (c >= 1 && !caractereDePalavra(celula(linha_, c))) --c;
        if (c < 1) return fala_.bip();
        while (c > 1 && caractereDePalavra(celula(linha_, c - 1))) --c;
        coluna_ = c;
    }

    void proximaPalavra() {
        int c = std::max(coluna_, 1);
        while (c <= kColunas && caractereDePalavra(celula(linha_, c))) ++c;
        while (c <= kColunas && !caractereDePalavra(celula(linha_, c))) ++c;
        if (c > kColunas) {
            fala_.bip();
            coluna_ = fimDeLinha(linha_);
            return;
        }
        coluna_ = c;
    }

    void proximoCampo() {
        coluna_ = campo().second + 2;
        fala_.clique();
        if (coluna_ > kColunas) coluna_ = fimDeLinha(linha_);
    }

    void campoAnterior() {
        coluna_ = campo().first - 2;
        fala_.clique();
    }

    // I (from the start to the cursor), T or L (all), F (from the cursor to the end),
    // then T (screen), L (line) or C (field).
    void comandoLeitura(uint8_t primeira) {
        const char alcance = static_cast<char>(primeira & ~0x20);
        if (alcance != 'I' && alcance != 'T' && alcance != 'L' && alcance != 'F')
            return teclaInvalida();
        const char objeto = static_cast<char>(crt_.leTecla() & ~0x20);
        const bool inicio = alcance == 'I', fim = alcance == 'F';
        switch (objeto) {
            case 'T':
                if (inicio) return leFaixa(1, 1, linha_, coluna_);
                if (fim) return leFaixa(linha_, coluna_, kLinhas, kFimDaLinha);
                return leFaixa(1, 1, kLinhas, kFimDaLinha);
            case 'L':
                return leFaixaVolta(linha_, fim ? coluna_ : 1, linha_,
                                    inicio ? coluna_ : kFimDaLinha);
            case 'C': {
                const auto [ini, ultima] = campo();
                return leFaixaVolta(linha_, fim ? coluna_ : ini, linha_,
                                    inicio ? coluna_ : ultima + 1);
            }
            default:
                teclaInvalida();
        }
    }

    // The first letter on the screen from the top, or the last from the bottom; then its line.
    void letraNaPonta(bool primeira) {
        for (int i = 0; i < kLinhas; ++i) {
            const int lin = primeira ? 1 + i : kLinhas - i;
            for (int j = 0; j < kColunas; ++j) {
                const int col = primeira ? 1 + j : kColunas - j;
                if (!letra(celula(lin, col))) continue;
                linha_ = lin;
                coluna_ = col;
                return leFaixaVolta(lin, 1, lin, kFimDaLinha);
            }
        }
        fala_.bip();
    }

    // Four digits: row then column. A non-digit changes nothing.
    void linhaEColuna() {
        fala_.falaTexto("Entre linha e coluna");
        int numeros[2] = {0, 0};
        for (int i = 0; i < 4; ++i) {
            const uint8_t t = crt_.leTecla();
            if (t == 0) crt_.leTecla();
            if (t < '0' || t > '9') return doisBips();
            fala_.falaLetra(t);
            numeros[i / 2] = numeros[i / 2] * 10 + (t - '0');
        }
        linha_ = numeros[0];
        coluna_ = numeros[1];
    }

    // Collects the search text, echoing each key; false when the user gave up with Esc.
    bool perguntaBusca() {
        fala_.falaTexto("Qual texto");
        std::string texto;
        for (;;) {
            const uint8_t t = crt_.leTecla();
            if (t == 13) break;
            if (t == 27) return false;
            if (t == 0) {
                crt_.leTecla();
                continue;
            }
            if (t == 8) {
                fala_.tocaSom("_DEL");
                if (texto.empty()) continue;
                fala_.falaLetra(static_cast<uint8_t>(texto.back()));
                texto.pop_back();
                continue;
            }
            if (texto.size() >= kMaximoBusca) {
                fala_.bip();
                continue;
            }
            texto += static_cast<char>(t);
            fala_.falaLetra(t);
        }
        busca_ = texto;
        return true;
    }

    // Finds the search text from the review cursor down (Ctrl+F5: after it), then from
    // the top of the screen; the first hit takes the cursor there with a click.
    void procura(bool depois) {
        if (!busca_.empty()) {
            const size_t desde = static_cast<size_t>(coluna_ - 1 + (depois ? 1 : 0));
            // The cursor's row is looked at twice: after the cursor first, before it last.
            for (int k = 0; k <= kLinhas; ++k) {
                const int lin = (linha_ - 1 + k) % kLinhas + 1;
                const std::string texto = textoLinha(lin, 1, kFimDaLinha);
                const size_t achou = texto.find(busca_, k == 0 ? std::min(desde, texto.size()) : 0);
                if (achou == std::string::npos || (k == kLinhas && achou >= desde)) continue;
                linha_ = lin;
                coluna_ = static_cast<int>(achou) + 1;
                return fala_.clique();
            }
        }
        doisBips();
    }

    // After every key the cursor stays on the screen; leaving it beeps and drops the
    // keys typed ahead.
    void mantemNaTela() {
        auto fora = [&] {
            fala_.bip();
            crt_.limpaFila();
        };
        if (coluna_ < 1) fora(), coluna_ = 1;
        if (coluna_ > kColunas + 1) fora(), coluna_ = kColunas;
        if (linha_ < 1) fora(), linha_ = 1;
        if (linha_ > kLinhas) fora(), linha_ = kLinhas;
    }

    SnCrt& crt_;
    Fala& fala_;
    std::string& busca_;
    const int colunaTexto_, linhaTexto_;
    int linha_, coluna_;
};

}  // namespace

void revisaTela(SnCrt& crt, Fala& fala, std::string& textoBusca) {
    Revisao(crt, fala, textoBusca).executa();
}
