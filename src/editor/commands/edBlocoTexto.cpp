// The block commands that work on the lines' characters: the sort, the case conversions,
// UTF-8 and the word count.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "editor/commands/edBloco.h"
#include "editor/edArq.h"
#include "editor/edMensag.h"
#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/numeros.h"

namespace {

enum class Conversao { Maiusculas, Minusculas, Primeiras, Utf8 };

std::string converte(Conversao tipo, std::string_view linha) {
    switch (tipo) {
        case Conversao::Maiusculas: return maiusculas1252(linha);
        case Conversao::Minusculas: return minusculas1252(linha);
        case Conversao::Primeiras: return primeirasMaiusculas(linha);
        case Conversao::Utf8: break;
    }
    return win1252ParaUtf8(linha);
}

// After the question, Enter or S converts each line of the block that is not blank, in
// its place. A line whose UTF-8 form would not fit in a line keeps its text (one beep at
// the end) rather than lose its end.
void converteBloco(Editor& e, Conversao tipo) {
    static constexpr std::string_view kPerguntas[] = {"EDMAIUSC", "EDMINUSC", "EDPRIMAI",
                                                      "EDPUTF8"};
    EdVars& ed = e.ed;
    if (!blocoValido(ed)) return falaMensagem(e, "EDBLKINV");
    falaMensagem(e, kPerguntas[static_cast<int>(tipo)]);
    const uint8_t c = leResposta(e);
    if (c != 13 && c != 'S') return falaMensagem(e, "EDDESIST");
    ed.historico.nomeia("EDBLKCNV");
    bool naoCoube = false;
    for (int i = ed.inicioBloco; i <= ed.fimBloco; ++i) {
        const std::string_view linha = ed.texto.vista(i);
        if (aparaControles(linha).empty()) continue;
        const std::string nova = converte(tipo, linha);
        if (nova.size() > TipoTexto::kMaxLinha)
            naoCoube = true;
        else if (nova != linha)
            ed.trocaLinha(i, nova);
    }
    if (naoCoube) e.fala.bip();
    falaMensagem(e, "EDOK");
}

void contaPalavrasBloco(Editor& e) {
    const EdVars& ed = e.ed;
    if (!blocoValido(ed)) return falaMensagem(e, "EDBLKINV");
    uint64_t total = 0;
    for (int i = ed.inicioBloco; i <= ed.fimBloco; ++i)
        total += static_cast<uint64_t>(contaPalavras(ed.texto.vista(i)));
    e.fala.falaExtenso(numeroExtenso(total), false);
    falaMensagem(e, "EDPALAVR");
    e.fala.clique();
    if (!e.crt.teclaPressionada()) e.crt.Delay(100);
}

}  // namespace

void menuConversao(Editor& e) {
    falaMensagem(e, "EDOPCAO");
    uint8_t c = leTeclaFalada(e);
    if (c == 0) c = menuAjuda(e, e.crt.leTecla(), "EDAJMM", 6);
    switch (c) {
        case 'A': return converteBloco(e, Conversao::Maiusculas);
        case 'I': return converteBloco(e, Conversao::Minusculas);
        case 'P': return converteBloco(e, Conversao::Primeiras);
        case 'U': return converteBloco(e, Conversao::Utf8);
        case 'C': return contaPalavrasBloco(e);
        case 27: return falaMensagem(e, "EDDESIST");
        default: return e.fala.bip();
    }
}

std::string primeirasMaiusculas(std::string_view texto) {
    std::string s = minusculas1252(texto);
    for (size_t i = 0; i < s.size(); ++i)
        if ((i == 0 || s[i - 1] == ' ') && s[i] >= 'a' && s[i] <= 'z') s[i] -= 32;
    return s;
}

int contaPalavras(std::string_view linha) {
    int n = 0;
    for (linha = aparaControles(linha); !linha.empty(); ++n) {
        const size_t espaco = linha.find(' ');
        linha = espaco == std::string_view::npos ? std::string_view()
                                                  : aparaControles(linha.substr(espaco + 1));
    }
    return n;
}

// ------------------------------------------------------------------------- the sort

namespace {

// Counts of marked positions below a given one (a Fenwick tree).
class Contagem {
  public:
    explicit Contagem(size_t n) : soma_(n + 1, 0) {}
    void marca(size_t p) {
        for (++p; p < soma_.size(); p += p & (~p + 1)) ++soma_[p];
    }
    // Marked positions in de..ate-1.
    int entre(size_t de, size_t fim) const { return antes(fim) - antes(de); }

  private:
    int antes(size_t p) const {
        int n = 0;
        for (; p > 0; p -= p & (~p + 1)) n += soma_[p];
        return n;
    }
    std::vector<int> soma_;
};

}  // namespace

// The exchange loop puts at each place the first of the smallest lines left, and its
// swaps move the other lines about; only the order of lines with equal forms is in
// question. For the lines of one form, lines with a greater form turn out not to matter:
// taking the lines of this form and the smaller ones in block order, each run of smaller
// lines met between two lines of this form (or after the last) turns the lines of this
// form met so far by one place per smaller line, the first going last. The tests check
// this against the loop itself.
std::vector<int> ordemDaTroca(std::span<const std::string> formas) {
    const size_t n = formas.size();
    std::vector<int> porForma(n);
    std::iota(porForma.begin(), porForma.end(), 0);
    std::stable_sort(porForma.begin(), porForma.end(),
                     [&formas](int a, int b) { return formas[size_t(a)] < formas[size_t(b)]; });
    Contagem menores(n);
    std::vector<int> ordem, iguais;
    ordem.reserve(n);
    // The lines met so far turned by `passos` places.
    auto gira = [&iguais](int passos) {
        if (iguais.empty()) return;
        const auto k = static_cast<long>(static_cast<size_t>(passos) % iguais.size());
        std::rotate(iguais.begin(), iguais.begin() + k, iguais.end());
    };
    for (size_t g = 0; g < n;) {
        size_t fim = g + 1;
        while (fim < n && formas[size_t(porForma[fim])] == formas[size_t(porForma[g])]) ++fim;
        iguais.clear();
        size_t depois = 0;  // the place after the last line of this form met
        for (size_t k = g; k < fim; ++k) {
            const auto p = static_cast<size_t>(porForma[k]);
            gira(menores.entre(depois, p));
            iguais.push_back(static_cast<int>(p));
            depois = p + 1;
        }
        gira(menores.entre(depois, n));
        ordem.insert(ordem.end(), iguais.begin(), iguais.end());
        for (size_t k = g; k < fim; ++k) menores.marca(static_cast<size_t>(porForma[k]));
        g = fim;
    }
    return ordem;
}
