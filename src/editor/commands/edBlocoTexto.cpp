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
        linha = espaco == std::string_view::npos ? std::string_view() : semBrancos(linha.substr(espaco + 1));
    }
    return n;
}

// ------------------------------------------------------------------------- the sort

std::vector<int> ordemDaTroca(std::span<const std::string> formas) {
    const int n = static_cast<int>(formas.size());
    // Each form's rank among the distinct forms: comparing ranks is comparing forms.
    std::vector<int> porForma(static_cast<size_t>(n));
    std::iota(porForma.begin(), porForma.end(), 0);
    std::sort(porForma.begin(), porForma.end(),
              [&formas](int a, int b) { return formas[size_t(a)] < formas[size_t(b)]; });
    std::vector<int> rank(static_cast<size_t>(n));
    for (int k = 0, r = 0; k < n; ++k) {
        if (k > 0 && formas[size_t(porForma[size_t(k)])] != formas[size_t(porForma[size_t(k - 1)])]) ++r;
        rank[size_t(porForma[size_t(k)])] = r;
    }
    // The exchange loop itself, which decides where equal forms end up.
    std::vector<int> ordem(static_cast<size_t>(n));
    std::iota(ordem.begin(), ordem.end(), 0);
    int* const r = rank.data();
    int* const o = ordem.data();
    for (int i = 0; i + 1 < n; ++i) {
        int menor = r[i];
        for (int j = i + 1; j < n; ++j) {
            if (r[j] < menor) {
                std::swap(r[i], r[j]);
                std::swap(o[i], o[j]);
                menor = r[i];
            }
        }
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
