#include "programa/braille.h"

#include <algorithm>

#include "platform/texto.h"

namespace {

constexpr int kLinhaMensagem = 9;

std::string linhaTela(SnCrt& crt, int linha) {
    std::string s;
    for (int col = 1; col <= SnCrt::kColunas; ++col) s += static_cast<char>(crt.caractereEm(col, linha));
    return s;
}

std::string semBrancosFinais(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

}  // namespace

void JanelaBraille::segue(int coluna, int celulas) {
    if (celulas <= 0) return;
    const int c = std::max(coluna, 1) - 1;
    if (c < inicio_ || c >= inicio_ + celulas) inicio_ = c / celulas * celulas;
}

bool JanelaBraille::panEsquerda(int celulas) {
    if (inicio_ == 0) return false;
    inicio_ = std::max(0, inicio_ - celulas);
    return true;
}

bool JanelaBraille::panDireita(int celulas, int tamanho) {
    if (inicio_ + celulas >= tamanho) return false;
    inicio_ += celulas;
    return true;
}

VistaBraille vistaBraille(Editor& e) {
    using T = FocoLeitura::Tipo;
    const FocoLeitura& f = e.crt.foco();
    VistaBraille v;
    v.tipo = f.tipo;
    switch (f.tipo) {
        case T::Texto:
            v.linha = e.ed.linha(e.ed.linhaAtual);
            v.coluna = e.ed.colunaAtual;
            v.lugar = e.ed.linhaAtual;
            break;
        case T::Campo:
            v.linha = f.texto;
            v.coluna = f.coluna;
            break;
        case T::Revisao:
            v.linha = semBrancosFinais(linhaTela(e.crt, f.linha));
            v.coluna = f.coluna;
            v.lugar = f.linha;
            break;
        case T::Tela: {
            // The row the console's cursor is on (a question, a list's choice); a blank
            // one gives the message row.
            const ModeloTela& tela = e.crt.tela();
            v.lugar = tela.cursorLinha + 1;
            v.linha = semBrancosFinais(linhaTela(e.crt, v.lugar));
            v.coluna = tela.cursorColuna + 1;
            if (v.linha.empty() && v.lugar != kLinhaMensagem) {
                v.lugar = kLinhaMensagem;
                v.linha = semBrancosFinais(linhaTela(e.crt, v.lugar));
                v.coluna = 0;
            }
            break;
        }
    }
    // Control characters are shown as blanks, as on the screen.
    for (char& c : v.linha)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    return v;
}

Braille::Braille(Editor& e, std::unique_ptr<LigacaoBraille> ligacao)
    : e_(e), ligacao_(std::move(ligacao)) {}

void Braille::atualiza(bool espera) {
    const int celulas = ligacao_->celulas();
    if (espera) {
        VistaBraille v = vistaBraille(e_);
        // The window follows the cursor when it moved or the focus changed; a pan holds
        // until then.
        if (v.tipo != ultima_.tipo || v.lugar != ultima_.lugar || v.coluna != ultima_.coluna ||
            v.linha != ultima_.linha || celulas != celulasVistas_)
            janela_.segue(v.coluna, celulas);
        celulasVistas_ = celulas;
        ultima_ = std::move(v);
    }
    for (const ComandoBraille& c : ligacao_->comandos()) trata(c, celulas);
    if (celulas <= 0) return;
    const int inicio = janela_.inicio();
    const std::string& linha = ultima_.linha;
    std::string mostrado;
    if (inicio < static_cast<int>(linha.size()))
        mostrado = linha.substr(static_cast<size_t>(inicio), static_cast<size_t>(celulas));
    const int cursor = ultima_.coluna - inicio;
    ligacao_->mostra(std::move(mostrado),
                     (ultima_.coluna >= 1 && cursor >= 1 && cursor <= celulas) ? cursor : 0);
}

void Braille::trata(const ComandoBraille& c, int celulas) {
    const VistaBraille& v = ultima_;
    using T = ComandoBraille::Tipo;
    using E = EventoEntrada::Tipo;
    switch (c.tipo) {
        case T::Rota:
            // The screen's rows have no cursor of the user's to move.
            if (v.tipo != FocoLeitura::Tipo::Tela) e_.crt.pedeRota(janela_.inicio() + c.valor + 1);
            break;
        case T::LinhaAcima:
            e_.crt.trataEvento({E::TeclaDesce, vk::Cima, 0, {}});
            break;
        case T::LinhaAbaixo:
            e_.crt.trataEvento({E::TeclaDesce, vk::Baixo, 0, {}});
            break;
        case T::PanEsquerda:
            if (!janela_.panEsquerda(celulas)) e_.fala.bip();
            break;
        case T::PanDireita:
            if (!janela_.panDireita(celulas, static_cast<int>(v.linha.size()))) e_.fala.bip();
            break;
        case T::Pontos:
            e_.crt.digitaPontos(c.valor);
            break;
        case T::Caractere:
            caractere(c);
            break;
        case T::Tecla:
            teclaDoTeclado(c);
            break;
    }
}

// A key the display sends as the PC keyboard's: the keys that Windows delivers as
// characters go in as characters, the others as key presses.
void Braille::teclaDoTeclado(const ComandoBraille& c) {
    using E = EventoEntrada::Tipo;
    uint8_t caractere = 0;
    switch (c.valor) {
        case vk::Backspace: caractere = 8; break;
        case vk::Tab: caractere = 9; break;
        case vk::Enter: caractere = 13; break;
        case vk::Esc: caractere = 27; break;
        default: break;
    }
    if (caractere != 0)
        e_.crt.trataEvento({E::Caractere, 0, caractere, c.mod});
    else
        e_.crt.trataEvento({E::TeclaDesce, static_cast<uint16_t>(c.valor), 0, c.mod});
}

void Braille::caractere(const ComandoBraille& c) {
    using E = EventoEntrada::Tipo;
    uint8_t codigo = static_cast<uint8_t>(c.valor);
    const bool letra = (codigo >= 'a' && codigo <= 'z') || (codigo >= 'A' && codigo <= 'Z');
    const bool digito = codigo >= '0' && codigo <= '9';
    if (c.mod.alt && (letra || digito)) {
        const auto tecla = static_cast<uint16_t>(letra ? (codigo & ~0x20) : codigo);
        return e_.crt.trataEvento({E::TeclaDesce, tecla, 0, c.mod});
    }
    if (c.mod.ctrl && letra) codigo &= 31;
    // Queued as it stands: the window's braille mode must not take it for a chord key.
    e_.crt.trataEvento({E::Codigo, 0, codigo, {}});
}

std::unique_ptr<Braille> ligaBraille(Editor& e) {
    const std::string valor = e.fala.leIni("BRAILLE", "BRLAPI");
    const std::string_view usa = apara(valor);
    if (!usa.empty() && (usa[0] == 'N' || usa[0] == 'n')) return nullptr;
    std::unique_ptr<LigacaoBraille> ligacao = LigacaoBraille::cria({});
    if (!ligacao) return nullptr;
    auto braille = std::make_unique<Braille>(e, std::move(ligacao));
    e.crt.aoBombear([b = braille.get()](bool espera) { b->atualiza(espera); });
    return braille;
}
