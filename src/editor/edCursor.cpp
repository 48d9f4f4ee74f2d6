#include "editor/edCursor.h"

#include "editor/pendente.h"

#include <algorithm>
#include <string>

void proximoParagrafo(Editor& e) { comandoPendente(e); }
void paragrafoAnterior(Editor& e) { comandoPendente(e); }
void apagaAteFim(Editor& e) { comandoPendente(e); }
void letrasEspeciais(Editor& e) { comandoPendente(e); }
void vaiParaLinha(Editor& e) { comandoPendente(e); }
void apagaAnterior(Editor& e) { comandoPendente(e); }
void falaColuna(Editor& e) { comandoPendente(e); }
void falaNumeroLinha(Editor& e) { comandoPendente(e); }
void apagaAteInicio(Editor& e) { comandoPendente(e); }
void apagaPalavraAnterior(Editor& e) { comandoPendente(e); }
void linhaAnterior(Editor& e) { comandoPendente(e); }
void sobePagina(Editor& e) { comandoPendente(e); }
void caractereEsquerda(Editor& e) { comandoPendente(e); }
void caractereDireita(Editor& e) { comandoPendente(e); }
void descePagina(Editor& e) { comandoPendente(e); }
void apagaSelecao(Editor& e) { comandoPendente(e); }
void apagaCaractere(Editor& e) { comandoPendente(e); }
void linhaAnteriorMesmaColuna(Editor& e) { comandoPendente(e); }
void proximaLinhaMesmaColuna(Editor& e) { comandoPendente(e); }
void palavraEsquerda(Editor& e) { comandoPendente(e); }
void palavraDireita(Editor& e) { comandoPendente(e); }
void fimTexto(Editor& e) { comandoPendente(e); }
void inicioTexto(Editor& e) { comandoPendente(e); }
void familiaCursor(Editor& e) { comandoPendente(e); }

void insereCaractere(Editor& e, uint8_t c) {
    EdVars& ed = e.ed;
    std::string l = ed.linha(ed.linhaAtual);
    const size_t pos = static_cast<size_t>(std::max(1, ed.colunaAtual) - 1);
    if (std::max(l.size(), pos) >= TipoTexto::kMaxLinha) return e.fala.bip();
    if (l.size() < pos) l.resize(pos, ' ');
    l.insert(pos, 1, static_cast<char>(c));
    ed.trocaLinha(ed.linhaAtual, l);
    ed.colunaAtual = static_cast<int>(pos) + 2;
    if (ed.ecoDigitacao) e.fala.falaLetra(c);
}

void proximaLinha(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.linhaAtual >= ed.nLinhas()) return e.fala.bip();
    ++ed.linhaAtual;
    e.fala.falaTexto(ed.linha(ed.linhaAtual));
}
