// The screen: banner, status, message row and the window of lines around the cursor.
#include "editor/edtela.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "editor/edArq.h"
#include "editor/edArqCodif.h"
#include "editor/edMarcas.h"
#include "editor/edMensag.h"

namespace {

constexpr int kLinhaMensagem = 9;
constexpr int kPrimeiraLinhaTexto = 10;
constexpr int kUltimaLinhaTexto = 25;
constexpr int kColunaStatus = 66;
// The banner's right part, beside the version lines: the file and the sound notice.
constexpr int kColunaAvisos = 57;
constexpr int kLinhaArquivo = 4, kLinhaSemSom = 5;
constexpr size_t kLarguraAvisos = SnCrt::kColunas - kColunaAvisos + 1;
constexpr int kLarguraStatus = SnCrt::kColunas - kColunaStatus + 1;
constexpr int kColunaStatusLargas = SnCrt::kColunas / 2 - kLarguraStatus + 1;
constexpr int kFundoSelecao = 8;
constexpr std::string_view kInicioTexto = "---- Inicio do texto ----";

// The program's name in letters of asterisks, seven rows high, on the left of the banner
// (columns 57 and on belong to the version lines and the welcome message).
constexpr int kColunaNome = 3;
constexpr std::array<std::string_view, 7> kNome = {
    "******   **       **   **  **   **   *****   ******",
    "**   **  **       **   **  *** ***  **   **  **   **",
    "**   **  **       **   **  ** * **  **   **  **   **",
    "******   **       **   **  **   **  *******  ******",
    "**       **       **   **  **   **  **   **  ** **",
    "**       **       **   **  **   **  **   **  **  **",
    "**       *******   *****   **   **  **   **  **   **",
};

// The row is cleared only when its message was there before the last key: a message
// stays for the sighted helper until the user goes on.
void limpaLinhaMensagem(Editor& e) {
    if (e.ed.mensagemNaTela) return;
    e.crt.GotoXY(1, kLinhaMensagem);
    e.crt.TextBackground(0);
    e.crt.ClrEol();
}

// Row 1 from column 66; with wide letters, where the 40 columns shown end.
void escreveStatus(Editor& e) {
    auto doisDigitos = [](int n) {
        std::string s = std::to_string(n);
        return s.size() < 2 ? " " + s : s;
    };
    const std::string status =
        "L:" + doisDigitos(e.ed.linhaAtual) + " C:" + doisDigitos(e.ed.colunaAtual);
    e.crt.TextBackground(1);
    e.crt.TextColor(15);
    const bool largas = e.ed.larguraTela <= 70;
    e.crt.GotoXY(largas ? kColunaStatusLargas : kColunaStatus, 1);
    e.crt.ClrEol();
    // Cut to the row's end: the console would wrap the rest into the banner.
    e.crt.escreve(std::string_view(status).substr(0, kLarguraStatus));
}

// A line of the banner's right part, white on `fundo`, cut to the row.
void escreveAviso(Editor& e, int linha, std::string_view texto, int fundo) {
    e.crt.GotoXY(kColunaAvisos, linha);
    e.crt.TextColor(15);
    e.crt.TextBackground(fundo);
    e.crt.escreve(texto.substr(0, kLarguraAvisos));
    e.crt.TextBackground(1);
    e.crt.ClrEol();
    e.crt.TextBackground(0);
}

// The file's name and encoding, for the sighted helper, where the full-width screen has
// room; nothing for a text with no name yet.
void escreveArquivo(Editor& e) {
    if (e.ed.larguraTela <= 70) return;
    const std::string_view nome = parteArquivo(e.ed.nomeArquivo);
    escreveAviso(e, kLinhaArquivo,
                 nome.empty() ? std::string() : std::string(nome) + " " + std::string(e.ed.codificacao.nome()),
                 1);
}

bool noBloco(const EdVars& ed, int i) {
    return ed.blocoMarcado() && i >= ed.inicioBloco && i <= ed.fimBloco;
}

int corDaLinha(const EdVars& ed, int i) {
    if (i == ed.linhaAtual) return noBloco(ed, i) ? 10 : 14;
    return noBloco(ed, i) ? 2 : 15;
}

// The console takes CR, LF, BS and BEL as commands; on the screen they are blanks, and a
// placeholder of a character Windows-1252 lacks is a '?'.
char celula(char c) {
    if (static_cast<uint8_t>(c) >= 32) return c;
    return indiceEstranho(static_cast<uint8_t>(c)) >= 0 ? '?' : ' ';
}

// The text shown for a line (marks left out when asked) and, for each of its characters,
// the line's column it came from.
std::string textoMostrado(std::string_view linha, bool apenasTexto, std::vector<int>& colunas) {
    if (apenasTexto) return semMarcas(linha, &colunas);
    colunas.resize(linha.size());
    for (size_t k = 0; k < linha.size(); ++k) colunas[k] = static_cast<int>(k) + 1;
    return std::string(linha);
}

// Draws text line `i` (0 = the start-of-text line) on screen row `linhaTela`.
void escreveLinhaTexto(Editor& e, int i, int linhaTela) {
    const EdVars& ed = e.ed;
    e.crt.GotoXY(1, linhaTela);
    e.crt.TextBackground(0);
    e.crt.TextColor(15);
    e.crt.ClrEol();
    if (i == 0) {
        e.crt.TextBackground(5);
        e.crt.escreve(kInicioTexto);
        e.crt.TextBackground(0);
        return;
    }
    if (i < 1 || i > ed.nLinhas()) return;
    e.crt.TextColor(corDaLinha(ed, i));
    e.crt.escreve(
        parteVisivel(ed.linha(i), ed.deslocamentoTela, ed.larguraTela, ed.escreveApenasTexto));
}

// Row 15: the visible part of the current line, the Shift selection on background 8.
void escreveLinhaAtual(Editor& e) {
    const EdVars& ed = e.ed;
    e.crt.GotoXY(1, kLinhaAtualTela);
    e.crt.TextBackground(0);
    e.crt.ClrEol();
    if (ed.linhaAtual < 1 || ed.linhaAtual > ed.nLinhas()) return;
    std::vector<int> colunas;
    const std::string texto =
        textoMostrado(ed.linha(ed.linhaAtual), ed.escreveApenasTexto, colunas);
    const size_t de = static_cast<size_t>(std::max(ed.deslocamentoTela, 0));
    const size_t ate =
        std::min(texto.size(), de + static_cast<size_t>(std::clamp(ed.larguraTela, 0, 80)));
    const bool selecao = ed.selecaoInicio > 0 && ed.selecaoFim > 0;
    const int selDe = std::min(ed.selecaoInicio, ed.selecaoFim);
    const int selAte = std::max(ed.selecaoInicio, ed.selecaoFim);
    e.crt.TextColor(corDaLinha(ed, ed.linhaAtual));
    // Written in runs of one background, so the console is called a few times, not once
    // per character.
    size_t k = de;
    while (k < ate) {
        auto selecionada = [&](size_t p) {
            return selecao && colunas[p] >= selDe && colunas[p] < selAte;
        };
        const bool sel = selecionada(k);
        std::string trecho;
        for (; k < ate && selecionada(k) == sel; ++k) trecho += celula(texto[k]);
        e.crt.TextBackground(sel ? kFundoSelecao : 0);
        e.crt.escreve(trecho);
    }
    e.crt.TextBackground(0);
}

// The current line, the status and the cursor; the scrolling is already worked out.
void desenhaLinhaAtual(Editor& e) {
    escreveLinhaAtual(e);
    escreveStatus(e);
    e.crt.TextColor(15);
    e.crt.TextBackground(0);
    e.crt.GotoXY(e.ed.colunaAtual - e.ed.deslocamentoTela, kLinhaAtualTela);
}

}  // namespace

// Redraws wait for the speech, so the screen never changes under a prompt; a key cuts
// the wait short (falando stops the speech then).
void esperaFimDaFala(Editor& e) {
    e.fala.aguardaSilencio();
}

int calculaDeslocamento(int coluna, int largura) {
    if (coluna <= largura + 1) return 0;
    return (coluna - largura - 1 + 7) / 8 * 8;
}

std::string parteVisivel(std::string_view linha, int deslocamento, int largura, bool apenasTexto) {
    const std::string texto = apenasTexto ? semMarcas(linha) : std::string(linha);
    const size_t de = static_cast<size_t>(std::max(deslocamento, 0));
    if (de >= texto.size()) return {};
    std::string s = texto.substr(de, static_cast<size_t>(std::clamp(largura, 0, SnCrt::kColunas)));
    for (char& c : s) c = celula(c);
    return s;
}

namespace {

// The program's name and version in the banner's last row, yellow on blue, as the welcome
// leaves it.
void escreveRotuloBanner(Editor& e) {
    SnCrt& crt = e.crt;
    crt.GotoXY(57, 7);
    crt.TextColor(14);
    crt.TextBackground(1);
    crt.escreve(textoMensagem("EDMSGINI"));
    crt.TextColor(15);
    crt.ClrEol();
    crt.TextBackground(0);
}

}  // namespace

void configuraTela(Editor& e) {
    SnCrt& crt = e.crt;
    crt.Window(1, 1, SnCrt::kColunas, SnCrt::kLinhas);
    crt.TextColor(15);
    crt.TextBackground(0);
    crt.ClrScr();
    crt.TextBackground(1);
    for (int linha = 1; linha <= static_cast<int>(kNome.size()); ++linha) {
        crt.GotoXY(1, linha);
        crt.ClrEol();
        crt.GotoXY(kColunaNome, linha);
        crt.escreve(kNome[static_cast<size_t>(linha - 1)]);
    }
    crt.TextBackground(4);
    crt.GotoXY(57, 2);
    crt.escreve("Atualiza\xE7\xE3o:");
    crt.GotoXY(57, 3);
    crt.escreve("NUMERA - v.1.0");
    crt.TextBackground(0);
    avisaSemSom(e);
}

void avisaSemSom(Editor& e) {
    if (!e.crt.semSom().empty()) escreveAviso(e, kLinhaSemSom, "Sem dispositivo de som", 4);
}

void redesenhaTela(Editor& e) {
    EdVars& ed = e.ed;
    esperaFimDaFala(e);
    limpaLinhaMensagem(e);
    ed.deslocamentoTela = calculaDeslocamento(ed.colunaAtual, ed.larguraTela);
    for (int linhaTela = kPrimeiraLinhaTexto; linhaTela <= kUltimaLinhaTexto; ++linhaTela)
        if (linhaTela != kLinhaAtualTela)
            escreveLinhaTexto(e, ed.linhaAtual + linhaTela - kLinhaAtualTela, linhaTela);
    escreveArquivo(e);
    desenhaLinhaAtual(e);
}

void atualizaLinhaTela(Editor& e) {
    EdVars& ed = e.ed;
    if (!e.crt.teclaPressionada()) esperaFimDaFala(e);
    limpaLinhaMensagem(e);
    if (calculaDeslocamento(ed.colunaAtual, ed.larguraTela) != ed.deslocamentoTela)
        return redesenhaTela(e);
    desenhaLinhaAtual(e);
}

void alternaLargura(Editor& e) {
    e.ed.larguraTela = e.ed.larguraTela == 79 ? 39 : 79;
    e.crt.larguraDupla(e.ed.larguraTela < 79);
    configuraTela(e);
    if (!e.ed.modoLeitura) escreveRotuloBanner(e);
    // The key loop only redraws the current line after this key; the rest of the screen
    // was just cleared.
    redesenhaTela(e);
}
