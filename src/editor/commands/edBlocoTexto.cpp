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
#include "speech/numeros.h"

namespace {

uint8_t maiuscula1252(uint8_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    switch (c) {
        case 0x9A: return 0x8A;  // š
        case 0x9C: return 0x8C;  // œ
        case 0x9E: return 0x8E;  // ž
        case 0xFF: return 0x9F;  // ÿ
        default: return c;
    }
}

uint8_t minuscula1252(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    switch (c) {
        case 0x8A: return 0x9A;
        case 0x8C: return 0x9C;
        case 0x8E: return 0x9E;
        case 0x9F: return 0xFF;
        default: return c;
    }
}

template <typename F>
std::string porCaractere(std::string_view texto, F f) {
    std::string s(texto);
    for (char& c : s) c = static_cast<char>(f(static_cast<uint8_t>(c)));
    return s;
}

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
    bool naoCoube = false;
    for (int i = ed.inicioBloco; i <= ed.fimBloco; ++i) {
        const std::string_view linha = ed.texto.vista(i);
        if (semBrancos(linha).empty()) continue;
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

std::string maiusculas1252(std::string_view texto) { return porCaractere(texto, maiuscula1252); }
std::string minusculas1252(std::string_view texto) { return porCaractere(texto, minuscula1252); }

std::string primeirasMaiusculas(std::string_view texto) {
    std::string s = minusculas1252(texto);
    for (size_t i = 0; i < s.size(); ++i)
        if ((i == 0 || s[i - 1] == ' ') && s[i] >= 'a' && s[i] <= 'z') s[i] -= 32;
    return s;
}

std::string_view semBrancos(std::string_view texto) {
    auto branco = [](char c) { return static_cast<uint8_t>(c) <= ' '; };
    while (!texto.empty() && branco(texto.front())) texto.remove_prefix(1);
    while (!texto.empty() && branco(texto.back())) texto.remove_suffix(1);
    return texto;
}

int contaPalavras(std::string_view linha) {
    int n = 0;
    for (linha = semBrancos(linha); !linha.empty(); ++n) {
        const size_t espaco = linha.find(' ');
        linha = espaco == std::string_view::npos ? std::string_view()
                                                  : semBrancos(linha.substr(espaco + 1));
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

std::vector<int> ordemDaTrocaLiteral(std::span<const std::string> linhas) {
    std::vector<std::string> l(linhas.begin(), linhas.end());
    std::vector<int> ordem(l.size());
    std::iota(ordem.begin(), ordem.end(), 0);
    for (size_t i = 0; i + 1 < l.size(); ++i)
        for (size_t j = i + 1; j < l.size(); ++j)
            if (formaBusca(l[j]) < formaBusca(l[i])) {
                std::swap(l[i], l[j]);
                std::swap(ordem[i], ordem[j]);
            }
    return ordem;
}
