#include "editor/edtela.h"

#include <algorithm>

#include "editor/pendente.h"

#include <string>

namespace {

constexpr int kLinhaAtualTela = 15;

bool noBloco(const EdVars& ed, int i) { return ed.blocoMarcado() && i >= ed.inicioBloco && i <= ed.fimBloco; }

void escreveStatus(Editor& e) {
    if (e.ed.larguraTela <= 70) return;
    auto doisDigitos = [](int n) {
        std::string s = std::to_string(n);
        return s.size() < 2 ? " " + s : s;
    };
    e.crt.TextBackground(1);
    e.crt.TextColor(15);
    e.crt.GotoXY(66, 1);
    e.crt.escreve("L:" + doisDigitos(e.ed.linhaAtual) + " C:" + doisDigitos(e.ed.colunaAtual));
    e.crt.ClrEol();
}

// Draws text line `i` on screen row `linhaTela`.
void escreveLinhaTexto(Editor& e, int i, int linhaTela) {
    const EdVars& ed = e.ed;
    e.crt.GotoXY(1, linhaTela);
    e.crt.TextBackground(0);
    e.crt.ClrEol();
    if (i == 0) {
        e.crt.TextBackground(5);
        e.crt.TextColor(15);
        e.crt.escreve("---- Inicio do texto ----");
        e.crt.TextBackground(0);
        return;
    }
    if (i < 1 || i > ed.nLinhas()) return;
    const bool atual = i == ed.linhaAtual;
    e.crt.TextColor(atual ? (noBloco(ed, i) ? 10 : 14) : (noBloco(ed, i) ? 2 : 15));
    const std::string& l = ed.linha(i);
    const size_t inicio = static_cast<size_t>(std::max(0, ed.deslocamentoTela));
    if (inicio < l.size()) e.crt.escreve(l.substr(inicio, static_cast<size_t>(ed.larguraTela)));
}

}  // namespace

void redesenhaTela(Editor& e) {
    escreveStatus(e);
    e.crt.GotoXY(1, 9);
    e.crt.TextBackground(0);
    e.crt.ClrEol();
    for (int linhaTela = 10; linhaTela <= 25; ++linhaTela)
        escreveLinhaTexto(e, e.ed.linhaAtual + linhaTela - kLinhaAtualTela, linhaTela);
}

void redesenhaLinhaAtual(Editor& e) {
    escreveStatus(e);
    escreveLinhaTexto(e, e.ed.linhaAtual, kLinhaAtualTela);
}

void falaLinha(Editor& e) { e.fala.falaTexto(e.ed.linha(e.ed.linhaAtual)); }

void leProximaFrase(Editor& e) { comandoPendente(e); }
void falaProximaPalavra(Editor& e) { comandoPendente(e); }
void leRestoLinha(Editor& e) { comandoPendente(e); }
void leAteFim(Editor& e) { comandoPendente(e); }
void executaPalavraCursor(Editor& e) { comandoPendente(e); }
void falaFormatacaoCursor(Editor& e) { comandoPendente(e); }
void mudaLarguraTela(Editor& e) { comandoPendente(e); }
void familiaLeitura(Editor& e) { comandoPendente(e); }
