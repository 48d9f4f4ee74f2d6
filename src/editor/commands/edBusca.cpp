#include "editor/commands/edBusca.h"

#include <algorithm>
#include <string>

#include "editor/edCampo.h"
#include "editor/edLinha.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"

BuscaDobrada::BuscaDobrada(std::string_view forma) : padrao_(forma) {
    for (int c = 0; c < 256; ++c)
        dobra_[static_cast<size_t>(c)] =
            static_cast<uint8_t>(formaBusca(std::string(1, static_cast<char>(c)))[0]);
    // Horspool's table over folded bytes, indexed by the byte as it stands.
    const size_t m = padrao_.size();
    std::array<uint8_t, 256> porForma{};
    porForma.fill(static_cast<uint8_t>(std::min<size_t>(m, 255)));
    for (size_t i = 0; i + 1 < m; ++i)
        porForma[static_cast<uint8_t>(padrao_[i])] =
            static_cast<uint8_t>(std::min<size_t>(m - 1 - i, 255));
    for (size_t c = 0; c < 256; ++c) salto_[c] = porForma[dobra_[c]];
}

int BuscaDobrada::procura(std::string_view linha) const {
    const size_t m = padrao_.size(), n = linha.size();
    if (m == 0 || m > n) return 0;
    const auto* t = reinterpret_cast<const uint8_t*>(linha.data());
    const auto* p = reinterpret_cast<const uint8_t*>(padrao_.data());
    for (size_t pos = 0; pos + m <= n;) {
        const uint8_t ultimo = t[pos + m - 1];
        if (dobra_[ultimo] == p[m - 1]) {
            size_t k = m - 1;
            while (k > 0 && dobra_[t[pos + k - 1]] == p[k - 1]) --k;
            if (k == 0) return static_cast<int>(pos) + 1;
        }
        pos += salto_[ultimo];
    }
    return 0;
}

namespace {

// Steps 3 and 4 of a search: the first line from `de` on that holds the stored text.
void buscaAPartirDe(Editor& e, int de) {
    EdVars& ed = e.ed;
    const BuscaDobrada busca(ed.textoProcurado);
    for (int i = std::max(de, 1); i <= ed.nLinhas(); ++i) {
        if (const int coluna = busca.procura(ed.texto.vista(i))) {
            ed.linhaAtual = i;
            ed.colunaAtual = coluna;
            return falaMensagem(e, "EDTXTENC");
        }
    }
    falaMensagem(e, "EDTXNENC");
}

// `linha` with every occurrence of `velho` replaced by `novo`, left to right, the new text
// never searched again; how many were replaced.
int trocaNaLinha(std::string_view linha, std::string_view velho, std::string_view novo,
                 std::string& resultado) {
    int trocas = 0;
    resultado.clear();
    size_t inicio = 0;
    for (size_t p = linha.find(velho); p != std::string_view::npos;
         p = linha.find(velho, inicio)) {
        resultado.append(linha.substr(inicio, p - inicio));
        resultado.append(novo);
        inicio = p + velho.size();
        ++trocas;
    }
    resultado.append(linha.substr(inicio));
    return trocas;
}

}  // namespace

void procura(Editor& e) {
    falaMensagem(e, "EDTXTPRC");
    e.ed.textoProcurado = formaBusca(leLinhaFalada(e));
    if (e.ed.textoProcurado.empty()) return falaMensagem(e, "EDDESIST");
    buscaAPartirDe(e, e.ed.linhaAtual);
}

void procuraDeNovo(Editor& e) { buscaAPartirDe(e, e.ed.linhaAtual + 1); }

void procuraTroca(Editor& e) {
    EdVars& ed = e.ed;
    falaMensagem(e, "EDTXTPRC");
    const std::string velho = leLinhaFalada(e);
    if (velho.empty()) return falaMensagem(e, "EDDESIST");
    falaMensagem(e, "EDINFTXT");
    const std::string novo = leLinhaFalada(e);
    const uint8_t faixa = pedeTodoOuBloco(e);
    if (faixa == 27) return falaMensagem(e, "EDDESIST");

    // A block that is not marked gives no lines.
    int de = 1, ate = ed.nLinhas();
    if (faixa == 'B') {
        de = ed.inicioBloco >= 1 ? ed.inicioBloco : ed.nLinhas() + 1;
        ate = std::min(ed.fimBloco, ed.nLinhas());
    }
    int trocas = 0;
    bool cortou = false;
    std::string nova;
    for (int i = de; i <= ate; ++i) {
        const int n = trocaNaLinha(ed.texto.vista(i), velho, novo, nova);
        if (n == 0) continue;
        trocas += n;
        cortou = cortou || nova.size() > TipoTexto::kMaxLinha;
        // In place: the marks and the memorised line stay on their lines, and the line
        // Ctrl+U restores is not replaced.
        ed.trocaLinha(i, nova);
    }
    redesenhaTela(e);
    // A line that grew past 255 characters kept its first 255: the loss is heard.
    if (cortou) e.fala.bip();
    falaMensagem(e, trocas > 0 ? "EDTXTTRC" : "EDTXNENC");
}

void familiaBusca(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJBU", .linhas = 4})) {
        case 'P': procura(e); break;
        case 'N': procuraDeNovo(e); break;
        case 'T': procuraTroca(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: e.fala.bip(); break;
    }
    redesenhaTela(e);
}
