#include "editor/edCursor.h"

#include <algorithm>
#include <string>

#include "editor/commands/edMargem.h"
#include "editor/commands/eddicion.h"
#include "editor/edArqCodif.h"
#include "editor/edCampo.h"
#include "editor/edMarcas.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/texto.h"

namespace {

// The character the cursor moved over; a placeholder of a character Windows-1252 lacks
// has no recording: it is said to be unknown.
void falaCaractereTexto(Editor& e, uint8_t c) {
    if (ehMarca(e.ed.codificacao, c))
        e.fala.falaTexto(kFalaEstranho);
    else
        e.fala.falaLetra(c);
}

// The word the cursor moved over; a click when it was only blanks.
void falaPalavra(Editor& e, std::string_view trecho) {
    const std::string palavra(apara(trecho));
    if (palavra.empty())
        e.fala.clique();
    else
        e.fala.falaTexto(textoFalado(e.ed.codificacao, palavra));
}

constexpr int kLinhasPagina = 15;
// The column just after a line of the longest length: no command needs one further.
constexpr int kColunaMaxima = static_cast<int>(TipoTexto::kMaxLinha) + 1;

int comprimento(const EdVars& ed) {
    return static_cast<int>(ed.linha(ed.linhaAtual).size());
}

// The character at column `col` of the current line; a blank past its end.
uint8_t caractereEm(const EdVars& ed, int col) {
    const std::string& l = ed.linha(ed.linhaAtual);
    if (col < 1 || col > static_cast<int>(l.size())) return ' ';
    return static_cast<uint8_t>(l[static_cast<size_t>(col - 1)]);
}

// Columns de..ate-1 of the current line (what lies between two cursor positions).
std::string trecho(const EdVars& ed, int de, int ate) {
    const std::string& l = ed.linha(ed.linhaAtual);
    de = std::max(de, 1);
    ate = std::min(ate, static_cast<int>(l.size()) + 1);
    if (ate <= de) return {};
    return l.substr(static_cast<size_t>(de - 1), static_cast<size_t>(ate - de));
}

// Trailing blanks go when the cursor leaves a line by Up or Down.
void tiraBrancosFinais(EdVars& ed, int i) {
    const std::string& l = ed.linha(i);
    const size_t fim = l.find_last_not_of(' ');
    const size_t novo = fim == std::string::npos ? 0 : fim + 1;
    if (novo != l.size()) ed.trocaLinha(i, l.substr(0, novo));
}

bool letraAscii(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// After Up or Down: an indented line tells how deep it is, when the user asked for it.
void anunciaRecuo(Editor& e) {
    const std::string& l = e.ed.linha(e.ed.linhaAtual);
    if (!e.ed.falaEspacos || linhaEmBranco(l) || l[0] != ' ') return;
    e.fala.falaTexto(std::to_string(l.find_first_not_of(' ')));
}

// The far ends of the text: the message, and the commands already typed are dropped so a
// held-down key does not repeat it (text typed ahead stays).
void fimDoTexto(Editor& e, int linha, const char* mensagem) {
    e.ed.linhaAtual = linha;
    e.crt.descartaComandos();
    falaMensagem(e, mensagem);
}

void doisCliques(Editor& e) {
    e.fala.clique();
    e.fala.clique();
}

}  // namespace

bool caractereDePalavra(uint8_t c) {
    return (c >= '0' && c <= '9') || letraAscii(c) || c >= 128;
}

bool linhaEmBranco(std::string_view linha) {
    return linha.find_first_not_of(' ') == std::string_view::npos;
}

size_t marcaNoFim(std::string_view texto) {
    const size_t abre = texto.rfind('<');
    if (abre == std::string_view::npos) return 0;
    const std::string_view marca = texto.substr(abre);
    // The mark closes at the cursor: a ">" before it would end it sooner.
    if (marca.size() < 3 || marca.substr(0, marca.size() - 1).find('>') != std::string_view::npos)
        return 0;
    return reconheceMarca(marca) ? marca.size() : 0;
}

// ---- Character editing ----

void insereCaractere(Editor& e, uint8_t c) {
    EdVars& ed = e.ed;
    std::string l = ed.linha(ed.linhaAtual);
    // A full line takes nothing more: storing it would cut a character off its end.
    if (l.size() >= TipoTexto::kMaxLinha) return e.fala.bip();
    const int col = std::max(ed.colunaAtual, 1);
    if (static_cast<int>(l.size()) < col) {
        // At or past the end the character goes at the end, and the cursor after it.
        l.push_back(static_cast<char>(c));
        ed.colunaAtual = static_cast<int>(l.size()) + 1;
    } else {
        l.insert(static_cast<size_t>(col - 1), 1, static_cast<char>(c));
        ed.colunaAtual = col + 1;
    }
    ed.trocaLinha(ed.linhaAtual, l);
    redesenhaLinhaAtual(e);

    if (static_cast<int>(l.size()) > ed.margemDireita) {
        if (ed.quebraLinhas && c != ' ' && ed.colunaAtual > ed.margemDireita) {
            quebraAutomatica(e);
        } else {
            e.fala.bip();
        }
    }
    if (ed.ecoDigitacao) falaCaractereTexto(e, c);
}

void digitaUnicode(Editor& e) {
    const std::optional<char32_t> u = e.crt.tomaUnicode();
    if (!u) return;
    if (const std::optional<uint8_t> c = e.ed.codificacao.byteDe(*u)) return insereCaractere(e, *c);
    e.fala.bip();
    falaMensagem(e, e.ed.codificacao.utf8 ? "EDCARDEM" : "EDCARANS");
}

void apagaEsquerda(Editor& e, bool anuncia, bool ecoa) {
    EdVars& ed = e.ed;
    if (ed.colunaAtual < 2) return e.fala.bip();
    if (anuncia) falaMensagem(e, "EDDEL");
    std::string l = ed.linha(ed.linhaAtual);
    const size_t antes = static_cast<size_t>(ed.colunaAtual - 1);
    if (antes > l.size()) {
        // Past the end there is only an unstored blank to go back over.
        --ed.colunaAtual;
        if (ecoa) e.fala.falaLetra(' ');
        return;
    }
    if (const size_t n = marcaNoFim(std::string_view(l).substr(0, antes))) {
        // A formatting mark goes whole: half a mark would turn into plain text.
        const std::string marca = l.substr(antes - n, n);
        l.erase(antes - n, n);
        ed.colunaAtual -= static_cast<int>(n);
        falaLinha(e, marca);
    } else {
        const uint8_t c = static_cast<uint8_t>(l[antes - 1]);
        l.erase(antes - 1, 1);
        --ed.colunaAtual;
        if (ecoa) e.fala.falaLetra(c);
    }
    ed.trocaLinha(ed.linhaAtual, l);
    redesenhaLinhaAtual(e);
}

bool apagaDireita(Editor& e, bool anuncia, bool ecoa) {
    if (comprimento(e.ed) < e.ed.colunaAtual || e.ed.colunaAtual < 1) {
        e.fala.bip();
        return false;
    }
    ++e.ed.colunaAtual;
    apagaEsquerda(e, anuncia, ecoa);
    return true;
}

void apagaSelecao(Editor& e) {
    EdVars& ed = e.ed;
    const int de = std::min(ed.selecaoInicio, ed.selecaoFim);
    const int n = std::max(ed.selecaoInicio, ed.selecaoFim) - de;
    ed.selecaoInicio = ed.selecaoFim = 0;
    if (de >= 1) ed.colunaAtual = de;
    // An empty or half-made selection: Del does what it does without one.
    if (n == 0 || de < 1) {
        apagaDireita(e, true, true);
        return;
    }
    // Only the first three characters are spoken; two clicks stand for a longer rest.
    for (int i = 0; i < n; ++i) {
        if (i == 3 && n >= 6) doisCliques(e);
        if (!apagaDireita(e, i == 0, i < 3)) break;
    }
}

void apagaFimLinha(Editor& e) {
    EdVars& ed = e.ed;
    const int fica = std::max(ed.colunaAtual - 1, 0);
    if (fica < comprimento(ed))
        ed.trocaLinha(ed.linhaAtual, ed.linha(ed.linhaAtual).substr(0, static_cast<size_t>(fica)));
    falaMensagem(e, "EDAPAFIM");
}

void apagaInicioLinha(Editor& e) {
    EdVars& ed = e.ed;
    const size_t sai = static_cast<size_t>(std::clamp(ed.colunaAtual - 1, 0, comprimento(ed)));
    ed.trocaLinha(ed.linhaAtual, ed.linha(ed.linhaAtual).substr(sai));
    ed.colunaAtual = 1;
    falaMensagem(e, "EDAPAINI");
}

void apagaPalavraEsquerda(Editor& e) {
    EdVars& ed = e.ed;
    const int original = ed.colunaAtual;
    ed.colunaAtual = std::clamp(original, 1, comprimento(ed) + 1) + 1;
    palavraEsquerda(e, false);
    const int inicio = ed.colunaAtual;
    palavraDireita(e, false);
    const int fim = ed.colunaAtual;
    if (fim <= inicio) {
        ed.colunaAtual = original;
        return e.fala.bip();
    }
    const std::string apagado = trecho(ed, inicio, fim);
    std::string l = ed.linha(ed.linhaAtual);
    l.erase(static_cast<size_t>(inicio - 1), apagado.size());
    ed.trocaLinha(ed.linhaAtual, l);
    ed.colunaAtual = inicio;
    redesenhaLinhaAtual(e);
    e.fala.tocaSom("EDDEL");
    for (char c : apagado) falaCaractereTexto(e, static_cast<uint8_t>(c));
}

void letraEspecial(Editor& e) {
    uint8_t k = e.crt.leTecla();
    if (k == 0) {
        // An extended key chooses nothing; its scan code must not be typed.
        if (e.crt.teclaPressionada()) e.crt.leTecla();
        return e.fala.bip();
    }
    if (k >= 'a' && k <= 'z') k = static_cast<uint8_t>(k - 32);
    uint8_t c = 0;
    switch (k) {
        case 'O':
            c = 186;
            break;  // º
        case 'P':
            c = 167;
            break;  // §
        case 'G':
            c = 176;
            break;  // °
        case '!':
            c = 161;
            break;  // ¡
        case '?':
            c = 191;
            break;  // ¿
        case 'A':
            c = 170;
            break;  // ª
        default:
            return e.fala.bip();
    }
    e.ed.historico.nomeia("EDDIGITA");
    insereCaractere(e, c);
}

// ---- Within the line ----

void esquerda(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.colunaAtual < 2) return e.fala.bip();
    --ed.colunaAtual;
    falaCaractereTexto(e, caractereEm(ed, ed.colunaAtual));
}

void direita(Editor& e) {
    EdVars& ed = e.ed;
    if (comprimento(ed) < ed.colunaAtual) return e.fala.bip();
    ed.colunaAtual = std::max(ed.colunaAtual, 1) + 1;
    const uint8_t c = caractereEm(ed, ed.colunaAtual - 1);
    // Alt spells a letter the phonetic way (its own recording, named by its code).
    if (e.crt.modificadores().alt && letraAscii(c))
        e.fala.tocaSom("_FON" + std::to_string(c));
    else
        falaCaractereTexto(e, c);
}

void inicioLinha(Editor& e) {
    e.ed.colunaAtual = 1;
    e.fala.clique();
}

void fimLinha(Editor& e) {
    e.ed.colunaAtual = comprimento(e.ed) + 1;
    e.fala.clique();
}

void palavraDireita(Editor& e, bool bipa) {
    EdVars& ed = e.ed;
    const int fim = comprimento(ed) + 1;
    // The line with " x" after it: every scan below stops inside it.
    const std::string s = ed.linha(ed.linhaAtual) + " x";
    auto em = [&s](int p) { return static_cast<uint8_t>(s[static_cast<size_t>(p - 1)]); };
    int p = std::max(ed.colunaAtual, 1);
    if (p <= fim) {
        if (em(p) != ' ') {
            if (caractereDePalavra(em(p)))
                while (caractereDePalavra(em(p))) ++p;
            else
                ++p;  // a punctuation character is a step of its own
        }
        while (em(p) == ' ') ++p;
    }
    if (p > fim) {
        p = fim;
        if (bipa) e.fala.bip();
    }
    ed.colunaAtual = p;
}

void palavraEsquerda(Editor& e, bool bipa) {
    EdVars& ed = e.ed;
    const int n = comprimento(ed);
    // The line with " x" before it: column 0 holds the x, column -1 the blank; past the
    // end are blanks.
    auto em = [&](int p) -> uint8_t { return p == 0 ? 'x' : caractereEm(ed, p); };
    int p = std::clamp(ed.colunaAtual - 1, 0, n + 1);
    while (p > 0 && em(p) == ' ') --p;
    int novo;
    if (caractereDePalavra(em(p))) {
        while (p >= 0 && caractereDePalavra(em(p))) --p;
        novo = p + 1;
    } else {
        novo = p;  // a punctuation character is a step of its own, or the cursor sticks
    }
    if (novo < 1) {
        novo = 1;
        if (bipa) e.fala.bip();
    }
    ed.colunaAtual = novo;
}

void palavraDireitaFalada(Editor& e) {
    const int antes = e.ed.colunaAtual;
    palavraDireita(e, true);
    falaPalavra(e, trecho(e.ed, antes, e.ed.colunaAtual));
    if (e.ed.dicionarioAtivo) verificaPalavraAnterior(e);
}

void palavraEsquerdaFalada(Editor& e) {
    const int antes = e.ed.colunaAtual;
    palavraEsquerda(e, true);
    falaPalavra(e, trecho(e.ed, e.ed.colunaAtual, antes));
}

// ---- Between lines ----

void linhaAbaixo(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.linhaAtual >= ed.nLinhas()) {
        e.crt.descartaComandos();
        anunciaRecuo(e);
        falaMensagem(e, "EDFIMTEX");
    } else {
        tiraBrancosFinais(ed, ed.linhaAtual);
        ++ed.linhaAtual;
        anunciaRecuo(e);
        e.fala.clique();
    }
    ed.colunaAtual = 1;
}

void linhaAcima(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.linhaAtual <= 1) {
        e.crt.descartaComandos();
        anunciaRecuo(e);
        falaMensagem(e, "EDINITEX");
    } else {
        tiraBrancosFinais(ed, ed.linhaAtual);
        --ed.linhaAtual;
        anunciaRecuo(e);
        e.fala.clique();
    }
    ed.colunaAtual = 1;
}

namespace {

// Ctrl+Down and Ctrl+Up: the new line is padded with blanks up to the cursor column,
// and the character under the cursor is spoken.
void mudaLinhaMesmaColuna(Editor& e, int passo) {
    EdVars& ed = e.ed;
    tiraBrancosFinais(ed, ed.linhaAtual);
    ed.linhaAtual += passo;
    ed.colunaAtual = std::clamp(ed.colunaAtual, 1, kColunaMaxima);
    std::string l = ed.linha(ed.linhaAtual);
    if (static_cast<int>(l.size()) < ed.colunaAtual - 1) {
        l.resize(static_cast<size_t>(ed.colunaAtual - 1), ' ');
        ed.trocaLinha(ed.linhaAtual, l);
    }
    falaCaractereTexto(e, caractereEm(ed, ed.colunaAtual));
}

}  // namespace

void linhaAbaixoMesmaColuna(Editor& e) {
    if (e.ed.linhaAtual >= e.ed.nLinhas()) return fimDoTexto(e, e.ed.linhaAtual, "EDFIMTEX");
    mudaLinhaMesmaColuna(e, +1);
}

void linhaAcimaMesmaColuna(Editor& e) {
    if (e.ed.linhaAtual <= 1) return fimDoTexto(e, e.ed.linhaAtual, "EDINITEX");
    mudaLinhaMesmaColuna(e, -1);
}

void paginaAbaixo(Editor& e) {
    EdVars& ed = e.ed;
    ed.colunaAtual = 1;
    if (ed.linhaAtual + kLinhasPagina > ed.nLinhas())
        return fimDoTexto(e, ed.nLinhas(), "EDFIMTEX");
    ed.linhaAtual += kLinhasPagina;
    doisCliques(e);
}

void paginaAcima(Editor& e) {
    EdVars& ed = e.ed;
    ed.colunaAtual = 1;
    if (ed.linhaAtual - kLinhasPagina < 1) return fimDoTexto(e, 1, "EDINITEX");
    ed.linhaAtual -= kLinhasPagina;
    doisCliques(e);
}

void inicioTexto(Editor& e) {
    e.ed.linhaAtual = 1;
    e.ed.colunaAtual = 1;
    falaMensagem(e, "EDINITEX");
    e.crt.Delay(100);
}

void fimTexto(Editor& e) {
    e.ed.linhaAtual = e.ed.nLinhas();
    e.ed.colunaAtual = 1;
    falaMensagem(e, "EDFIMTEX");
    e.crt.Delay(100);
}

void avancaParagrafo(Editor& e, bool paraNoRecuo) {
    EdVars& ed = e.ed;
    const int n = ed.nLinhas();
    int i = ed.linhaAtual;
    auto desce = [&] {
        ++i;
        if (i % 20 == 0) e.fala.clique();  // a tick now and then over long distances
    };
    auto recuada = [&](int j) { return paraNoRecuo && ed.vista(j).starts_with(' '); };
    if (!linhaEmBranco(ed.vista(i))) {
        // The line the cursor is on is never a stop, even when it is indented: the cursor
        // would not move.
        do desce();
        while (i <= n && !linhaEmBranco(ed.vista(i)) && !recuada(i));
    }
    while (i <= n && linhaEmBranco(ed.vista(i))) desce();
    ed.colunaAtual = 1;
    ed.chegouALinha = true;
    if (i > n) return fimDoTexto(e, n, "EDFIMTEX");
    ed.linhaAtual = i;
    doisCliques(e);
}

void recuaParagrafo(Editor& e, bool paraNoRecuo) {
    EdVars& ed = e.ed;
    int i = ed.linhaAtual;
    auto sobe = [&] {
        --i;
        if (i >= 1 && i % 20 == 0) e.fala.clique();
    };
    sobe();
    while (i >= 1 && linhaEmBranco(ed.vista(i))) sobe();
    bool recuada = false;
    while (i >= 1 && !linhaEmBranco(ed.vista(i))) {
        // An indented line is the first of its paragraph: the cursor stops on it.
        if (paraNoRecuo && ed.vista(i).starts_with(' ')) {
            recuada = true;
            break;
        }
        sobe();
    }
    ed.colunaAtual = 1;
    ed.chegouALinha = true;
    if (i < 1) return fimDoTexto(e, 1, "EDINITEX");
    ed.linhaAtual = recuada ? i : i + 1;
    doisCliques(e);
}

void vaiParaLinha(Editor& e) {
    EdVars& ed = e.ed;
    falaMensagem(e, "EDDGNLIN");
    const int n = leNumeroFalado(e, 0);  // nothing typed leaves 0: no such line
    if (n < 1 || n > ed.nLinhas()) return falaMensagem(e, "EDLINAO");
    ed.linhaAtual = n;
    ed.colunaAtual = 1;
    ed.chegouALinha = true;
    e.fala.clique();
}

void memorizaPosicao(Editor& e) {
    e.ed.colunaMemorizada = e.ed.colunaAtual;
    e.ed.linhaMemorizada = e.ed.linhaAtual;
}

void voltaPosicao(Editor& e) {
    EdVars& ed = e.ed;
    ed.linhaAtual = std::clamp(ed.linhaMemorizada, 1, std::max(ed.nLinhas(), 1));
    ed.colunaAtual = ed.colunaMemorizada;
    if (ed.colunaAtual > comprimento(ed) + 1 || ed.colunaAtual < 1) ed.colunaAtual = 1;
    redesenhaTela(e);
}

// ---- Where am I ----

void informaColuna(Editor& e) {
    falaMensagem(e, "EDCOLUNA");
    e.fala.escreveFala(std::to_string(e.ed.colunaAtual));
    e.fala.pausaFala(100);
}

void informaLinha(Editor& e) {
    const EdVars& ed = e.ed;
    falaMensagem(e, "EDLINHA");
    e.fala.escreveFala(std::to_string(ed.linhaAtual));
    e.fala.pausaFala(50);
    escreveMensagem(e, "EDDE");
    e.fala.pausaFala(50);
    e.fala.escreveFala(std::to_string(ed.nLinhas()));
    e.fala.pausaFala(100);
    escreveMensagem(e, "EDLIDO");
    const long long lido = static_cast<long long>(ed.linhaAtual) * 100 / std::max(ed.nLinhas(), 1);
    e.fala.escreveFala(std::to_string(lido));
    e.fala.escreveFala("%");
    e.fala.pausaFala(100);
}

// ---- F9 C ----

void familiaCursor(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJCU", .linhas = 14})) {
        case '-':
            inicioTexto(e);
            break;
        case '+':
            fimTexto(e);
            break;
        case 'A':
            avancaParagrafo(e, true);
            break;
        case 'R':
            recuaParagrafo(e, true);
            break;
        case 'N':
            avancaParagrafo(e, false);
            break;
        case 'E':
            recuaParagrafo(e, false);
            break;
        case 'P':
            vaiParaLinha(e);
            break;
        case 'I':
            apagaInicioLinha(e);
            break;
        case 'F':
            apagaFimLinha(e);
            break;
        case 'L':
            informaLinha(e);
            break;
        case 'C':
            informaColuna(e);
            break;
        case 'M':
            memorizaPosicao(e);
            break;
        case 'V':
            voltaPosicao(e);
            break;
        case 27:
            falaMensagem(e, "EDDESIST");
            break;
        default:
            break;
    }
    redesenhaTela(e);
}
