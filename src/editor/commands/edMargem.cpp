#include "editor/commands/edMargem.h"

#include <algorithm>
#include <string>

#include "editor/edLinha.h"
#include "editor/edtela.h"
#include "editor/edCampo.h"
#include "editor/edCursor.h"
#include "editor/edMensag.h"

namespace {

constexpr int kMaxLinha = static_cast<int>(TipoTexto::kMaxLinha);
constexpr size_t kMaxTabulacoes = 32;

// Margin menu T: the cursor column joins the tab columns. One already there, one past a
// line's end and a 33rd are refused silently.
void adicionaTabulacao(Editor& e) {
    std::vector<int>& tabs = e.ed.tabulacoes;
    const int c = e.ed.colunaAtual;
    if (c < 1 || c > kMaxLinha || tabs.size() >= kMaxTabulacoes) return;
    const auto onde = std::lower_bound(tabs.begin(), tabs.end(), c);
    if (onde != tabs.end() && *onde == c) return;
    tabs.insert(onde, c);
    falaMensagem(e, "EDTABINS");
}

void removeTabulacoes(Editor& e) {
    e.ed.tabulacoes.clear();
    falaMensagem(e, "EDTABCAN");
}

}  // namespace

void tabulacao(Editor& e) {
    e.fala.clique();
    e.fala.clique();
    const int c = std::max(e.ed.colunaAtual, 1);
    const int t = 4 * ((c + 3) / 4);
    insereTextoNaLinha(e, std::string(static_cast<size_t>(t - c + 1), ' '));
}

void comandoMargensTabs(Editor& e) {
    EdVars& ed = e.ed;
    const int c = ed.colunaAtual;
    const auto proxima = std::upper_bound(ed.tabulacoes.begin(), ed.tabulacoes.end(), c);
    int nova;
    if (proxima != ed.tabulacoes.end()) {
        nova = *proxima;
    } else {
        nova = c >= ed.margemEsquerda ? (c + 3) / 4 * 4 + 1 : ed.margemEsquerda;
        e.fala.clique();
    }
    // The cursor can stand at most just after a full line.
    ed.colunaAtual = std::clamp(nova, 1, kMaxLinha + 1);
    const std::string_view l = ed.texto.vista(ed.linhaAtual);
    if (static_cast<int>(l.size()) < ed.colunaAtual - 1) {
        std::string comBrancos(l);
        comBrancos.resize(static_cast<size_t>(ed.colunaAtual - 1), ' ');
        ed.trocaLinha(ed.linhaAtual, comBrancos);
    }
}

void defineMargens(Editor& e) {
    EdVars& ed = e.ed;
    falaMensagem(e, "EDDIGME");
    const int lidaEsquerda = leNumeroFalado(e, 0);
    falaMensagem(e, "EDDIGMD");
    const int lidaDireita = leNumeroFalado(e, 0);
    const int esquerda = lidaEsquerda > 0 ? lidaEsquerda : 1;
    const int direita = lidaDireita > 0 ? lidaDireita : 72;
    // Past column 255 a formatted line could not be held: such a margin is refused too.
    if (direita <= esquerda || direita > kMaxLinha) return falaMensagem(e, "EDMARINV");
    ed.margemEsquerda = esquerda;
    ed.margemDireita = direita;
    falaMensagem(e, "EDMARACI");
    // The cursor is brought to the left margin by typing blanks at the line's end.
    const int tamanho = static_cast<int>(ed.texto.vista(ed.linhaAtual).size());
    if (tamanho >= esquerda - 1) return;
    ed.colunaAtual = tamanho + 1;
    for (int i = tamanho; i < esquerda - 1; ++i) insereCaractere(e, ' ');
}

void familiaMargens(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJMA", .linhas = 4})) {
        case 'M': defineMargens(e); break;
        case 'T': adicionaTabulacao(e); break;
        case 'R': removeTabulacoes(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: break;
    }
    redesenhaTela(e);
}

namespace {

// The fill's state: the lines made so far, each the left margin's blanks and at most
// `largura` characters.
struct Preenchimento {
    std::string prefixo;
    size_t largura;
    std::vector<std::string> saida;

    // One line taken from the start of `s`: all of it when it fits; else up to the last
    // blank that leaves the line within the width, or a hard cut inside a longer word.
    void emiteUma(std::string& s) {
        if (s.size() <= largura) {
            saida.push_back(prefixo + s);
            s.clear();
            return;
        }
        size_t quebra = largura;  // 1-based: the characters up to it go
        for (size_t p = largura + 1; p >= 2; --p) {
            if (s[p - 1] == ' ') {
                quebra = p;
                break;
            }
        }
        std::string_view linha = std::string_view(s).substr(0, quebra);
        linha = linha.substr(0, linha.find_last_not_of(' ') + 1);
        saida.push_back(prefixo);
        saida.back().append(linha);
        s.erase(0, quebra);
    }
    void emiteTudo(std::string& s) {
        while (!s.empty()) emiteUma(s);
    }
};

// A block line as the fill reads it: up to `tirar` leading blanks dropped, and every run
// of blanks after the remaining leading ones made one blank.
std::string normaliza(std::string_view l, size_t tirar) {
    size_t i = 0;
    while (i < tirar && i < l.size() && l[i] == ' ') ++i;
    l.remove_prefix(i);
    const size_t recuo = std::min(l.find_first_not_of(' '), l.size());
    std::string r(l.substr(0, recuo));
    for (size_t k = recuo; k < l.size(); ++k)
        if (l[k] != ' ' || r.back() != ' ') r.push_back(l[k]);
    return r;
}

}  // namespace

std::vector<std::string> preencheMargens(const std::vector<std::string_view>& linhas,
                                         int esquerda, int direita) {
    esquerda = std::clamp(esquerda, 1, kMaxLinha - 1);
    direita = std::clamp(direita, esquerda + 1, kMaxLinha);
    // The common indentation, which every line loses.
    size_t comum = 0;
    for (std::string_view l : linhas) {
        const size_t p = l.find_first_not_of(' ');
        if (p != std::string_view::npos) comum = comum == 0 ? p + 1 : std::min(comum, p + 1);
    }
    comum = std::clamp<size_t>(comum, 1, 254);

    Preenchimento f{std::string(static_cast<size_t>(esquerda - 1), ' '),
                    static_cast<size_t>(direita - esquerda + 1),
                    {}};
    f.saida.reserve(linhas.size());
    std::string levado;  // the paragraph being built
    for (std::string_view original : linhas) {
        std::string l = normaliza(original, comum - 1);
        if (l.empty()) {
            f.emiteTudo(levado);
            std::string vazia;
            f.emiteUma(vazia);
        } else if (l[0] == ' ') {  // a paragraph start
            f.emiteTudo(levado);
            levado = std::move(l);
        } else {
            if (!levado.empty()) l = levado + ' ' + l;
            while (l.size() > f.largura) f.emiteUma(l);
            levado = std::move(l);
        }
    }
    // The end of the block (where the fill's end marker would stand).
    f.emiteTudo(levado);
    return std::move(f.saida);
}

void acertaMargens(Editor& e, bool falar) {
    EdVars& ed = e.ed;
    const int de = ed.inicioBloco, ate = std::min(ed.fimBloco, ed.nLinhas());
    if (de < 1 || ate < de) {
        if (falar) falaMensagem(e, "EDBLKINV");
        return;
    }
    std::vector<std::string_view> entrada;
    entrada.reserve(static_cast<size_t>(ate - de + 1));
    for (int i = de; i <= ate; ++i) entrada.push_back(ed.texto.vista(i));
    std::vector<std::string> saida = preencheMargens(entrada, ed.margemEsquerda, ed.margemDireita);
    const int lidas = ate - de + 1, feitas = static_cast<int>(saida.size());
    ed.texto.substitui(de, lidas, std::move(saida));

    // Every line of the block was taken out and new ones put in: a position memorised on
    // one of them is gone, one below moves with the text.
    if (ed.linhaMemorizada >= de && ed.linhaMemorizada <= ate) {
        ed.linhaMemorizada = 1;
        ed.colunaMemorizada = 1;
    } else if (ed.linhaMemorizada > ate) {
        ed.linhaMemorizada += feitas - lidas;
    }
    ed.inicioBloco = de;
    ed.fimBloco = de + feitas - 1;
    ed.linhaAtual = de;
    ed.colunaAtual = 1;
    if (falar) falaMensagem(e, "EDBLKMRG");
}

void quebraAutomatica(Editor& e) {
    EdVars& ed = e.ed;
    const std::string l = ed.linha(ed.linhaAtual);
    const int n = static_cast<int>(l.size());
    const int c = std::clamp(ed.colunaAtual, 1, n + 1);
    const int esquerda = std::max(ed.margemEsquerda, 1);

    // Break after the last blank before the cursor that lies right of the left margin;
    // a word with no blank in it is cut just before the character typed.
    int b = c - 2;
    for (int p = c - 1; p >= esquerda + 1; --p) {
        if (l[static_cast<size_t>(p - 1)] == ' ') {
            b = p;
            break;
        }
    }
    b = std::clamp(b, 0, n);

    std::string cabeca = l.substr(0, static_cast<size_t>(b));
    cabeca.erase(cabeca.find_last_not_of(' ') + 1);
    std::string cauda = l.substr(static_cast<size_t>(b));
    int deslocamento = c - b;  // where the cursor stands in the tail
    while (cauda.size() > 1 && cauda[0] == ' ') {
        cauda.erase(0, 1);
        --deslocamento;
    }
    // The left-margin indent, shortened rather than letting the line lose its end.
    const size_t recuo =
        std::min(static_cast<size_t>(esquerda - 1), TipoTexto::kMaxLinha - cauda.size());
    cauda.insert(0, recuo, ' ');

    ed.trocaLinha(ed.linhaAtual, cabeca);
    ++ed.linhaAtual;
    insereLinha(e, cauda, false);
    ed.colunaAtual =
        std::clamp(deslocamento + static_cast<int>(recuo), 1, static_cast<int>(cauda.size()) + 1);
    redesenhaTela(e);
}
