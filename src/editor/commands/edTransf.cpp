#include "editor/commands/edTransf.h"

#include <algorithm>
#include <optional>

#include "editor/commands/edTransfDecodifica.h"
#include "editor/edArq.h"
#include "editor/edMensag.h"

namespace {

// A pasted text this long is read whole; past it the clipboard's text is cut.
constexpr size_t kMaiorColagem = size_t{64} << 20;
constexpr size_t kCorteParagrafo = 160;

// When nothing is marked the cursor line is the block; false (with "EDBLKINV") when the
// block is not valid.
bool blocoOuLinhaAtual(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.fimBloco == 0) ed.inicioBloco = ed.fimBloco = ed.linhaAtual;
    if (!ed.blocoMarcado() || ed.inicioBloco > ed.nLinhas()) {
        falaMensagem(e, "EDBLKINV");
        return false;
    }
    return true;
}

std::vector<std::string> linhasDoBloco(const EdVars& ed) {
    std::vector<std::string> v;
    for (int i = ed.inicioBloco; i <= std::min(ed.fimBloco, ed.nLinhas()); ++i)
        v.emplace_back(ed.vista(i));
    return v;
}

// The Shift selection of the cursor line, both anchors set: it goes to the clipboard with
// two clicks. False when there is no selection.
bool copiaSelecaoAtiva(Editor& e) {
    const EdVars& ed = e.ed;
    if (ed.selecaoInicio <= 0 || ed.selecaoFim <= 0) return false;
    const std::string& linha = ed.linha(ed.linhaAtual);
    const size_t a = static_cast<size_t>(std::min(ed.selecaoInicio, ed.selecaoFim) - 1);
    const size_t b = static_cast<size_t>(std::max(ed.selecaoInicio, ed.selecaoFim) - 1);
    e.crt.copiaClipboard(a < linha.size() ? linha.substr(a, b - a) : std::string());
    e.fala.clique();
    e.fala.clique();
    return true;
}

void copia(Editor& e, bool comMensagem) {
    if (copiaSelecaoAtiva(e) || !blocoOuLinhaAtual(e)) return;
    std::string texto;
    for (const std::string& l : linhasDoBloco(e.ed)) texto += l + "\r\n";
    e.crt.copiaClipboard(texto);
    comMensagem ? falaMensagem(e, "EDBLKCRG") : e.fala.clique();
}

// The lines of a pasted text, as the text holds it, inserted before the cursor line; they
// become the block, and the cursor goes to the start of the line that held it.
size_t insereColagem(Editor& e, std::string_view texto) {
    EdVars& ed = e.ed;
    const std::vector<std::string> linhas = linhasDaColagem(texto);
    // The selection belonged to the line the cursor leaves.
    ed.selecaoInicio = ed.selecaoFim = 0;
    ed.inicioBloco = ed.fimBloco = ed.linhaAtual;
    if (!ed.insereVariasNaLinhaAtual(linhas)) e.fala.bip();
    ed.colunaAtual = 1;
    ed.fimBloco = ed.linhaAtual - 1;
    return linhas.size();
}

void cola(Editor& e, bool comMensagem) {
    std::string texto;
    if (!e.crt.leClipboard(texto, kMaiorColagem) || texto.empty()) return;
    insereColagem(e, semControles(texto));
    comMensagem ? falaMensagem(e, "EDBLKADC") : e.fala.clique();
}

// A number and its noun on the message row and aloud.
void dizQuantos(Editor& e, size_t n, std::string_view um, std::string_view varios) {
    const std::string s = std::to_string(n) + " " + std::string(n == 1 ? um : varios);
    e.crt.escreve(" " + s);
    e.fala.falaTexto(s);
}

}  // namespace

std::vector<std::string> linhasDaColagem(std::string_view texto) {
    std::vector<std::string> linhas;
    std::string atual;
    bool cortada = false;  // the line was just cut for its length
    for (size_t i = 0; i < texto.size(); ++i) {
        const char c = texto[i];
        if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') continue;
        // A lone CR ends a line too (old Macintosh texts): dropping it would glue two
        // lines into one. A line end right after a cut only ends the line that was cut.
        if (c == '\n' || c == '\r') {
            if (!cortada) linhas.push_back(std::move(atual));
            atual.clear();
            cortada = false;
            continue;
        }
        atual += c;
        cortada = false;
        // Long paragraphs are cut after a blank once past 160 characters; a run with no
        // blank is cut at the line limit and goes on in the next line, so nothing is lost.
        if ((atual.size() >= kCorteParagrafo && c == ' ') || atual.size() >= 255) {
            linhas.push_back(std::move(atual));
            atual.clear();
            cortada = true;
        }
    }
    if (!atual.empty()) linhas.push_back(std::move(atual));
    return linhas;
}

void colaDoTerminal(Editor& e) {
    const std::optional<std::string> utf8 = e.crt.tomaColagem();
    if (!utf8 || utf8->empty()) return;
    size_t recusados = 0;
    const std::string texto = e.ed.codificacao.textoDigitado(*utf8, recusados);
    const size_t linhas = insereColagem(e, texto);
    falaMensagem(e, "EDBLKADC");
    dizQuantos(e, linhas, "linha", "linhas");
    if (recusados == 0) return;
    e.fala.bip();
    falaMensagem(e, "EDCOLFOR");
    dizQuantos(e, recusados, "caractere", "caracteres");
}

void copiaParaClipboard(Editor& e) { copia(e, true); }
void copiaSelecao(Editor& e) { copia(e, false); }
void colaLinhas(Editor& e) { cola(e, true); }
void colaNaLinha(Editor& e) { cola(e, false); }

void copiaBlocoWord(Editor& e) {
    if (!blocoOuLinhaAtual(e)) return;
    e.crt.copiaClipboard(formatoParagrafos(linhasDoBloco(e.ed)) + "\r\n");
    falaMensagem(e, "EDBLKCRG");
}

void decodificaBloco(Editor& e) {
    EdVars& ed = e.ed;
    if (!ed.blocoMarcado()) return falaMensagem(e, "EDBLKINV");
    falaMensagem(e, "EDUTF8");
    const uint8_t letra = leResposta(e);
    if (letra != 'Q' && letra != 'U' && letra != 'G' && letra != 'T')
        return falaMensagem(e, "EDDESIST");
    ed.historico.nomeia("EDBLKDEC");
    // Each line is replaced where it stands: the cursor, the marks, a memorised position
    // and the line Ctrl+U restores stay as they were.
    for (int i = ed.inicioBloco; i <= std::min(ed.fimBloco, ed.nLinhas()); ++i)
        ed.trocaLinha(i, decodificaLinha(ed.linha(i), static_cast<char>(letra)));
}
