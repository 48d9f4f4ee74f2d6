// The reading commands: a line spoken with its formatting marks, and word, line, sentence
// and whole-text reading from the cursor; the formatting at the cursor; F12.
#include <algorithm>
#include <fstream>
#include <string>
#include <utility>

#include "editor/edArqCodif.h"
#include "editor/edArqDisco.h"
#include "editor/edMarcas.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/caminhos.h"
#include "platform/texto.h"

namespace {

constexpr std::string_view kCortesPontuacao = "!(),./:;<?\\";
constexpr std::string_view kFimDeFrase = "!.:;<?";
constexpr std::string_view kEnvoltorios = "!\"()*-.<=>?[]_{}";

bool soBrancos(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

bool letra(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}
bool digito(uint8_t c) {
    return c >= '0' && c <= '9';
}

int comprimentoAtual(const EdVars& ed) {
    return static_cast<int>(ed.linha(ed.linhaAtual).size());
}

// One piece of a line between marks, its placeholders said as unknown characters. A speech
// server reads punctuation its own way, so when the user wants it heard the piece is cut
// there and each sign spelled (the server names the other signs); when not, it names none.
void falaSegmento(Editor& e, std::string_view trecho) {
    const std::string falado = textoFalado(e.ed.codificacao, trecho);
    const std::string_view segmento = falado;
    if (soBrancos(segmento)) return;
    if (!e.fala.servidorAtivo()) return e.fala.falaTexto(segmento);
    if (!e.ed.falaPontuacao) {
        const bool antes = std::exchange(e.fala.falaPontuacao, false);
        e.fala.falaTexto(segmento);
        e.fala.falaPontuacao = antes;
        return;
    }
    for (const PecaFalada& p : cortaNaPontuacao(segmento, e.fala.abreviaturas())) {
        if (p.sinal)
            e.fala.soletra(p.texto);
        else if (!soBrancos(p.texto))
            e.fala.falaTexto(p.texto);
    }
}

// The word at 0-based position `i` of `l` (blanks already skipped): a recognised mark, a
// run of letters, a run of digits, a run of placeholders of `cod` (said at once) or one
// character. Its end position.
size_t fimDaPalavra(const CodificacaoArquivo& cod, std::string_view l, size_t i) {
    if (i >= l.size()) return i;
    const uint8_t c = static_cast<uint8_t>(l[i]);
    if (ehMarca(cod, c)) {
        size_t k = i;
        while (k < l.size() && ehMarca(cod, static_cast<uint8_t>(l[k]))) ++k;
        return k;
    }
    if (c == '<') {
        const size_t fim = fimDaMarca(l, i);
        if (fim != std::string_view::npos && reconheceMarca(l.substr(i, fim - i + 1)))
            return fim + 1;
    }
    auto corre = [&](bool (*classe)(uint8_t)) {
        size_t k = i;
        while (k < l.size() && classe(static_cast<uint8_t>(l[k]))) ++k;
        return k;
    };
    if (letra(c)) return corre(letra);
    if (digito(c)) return corre(digito);
    return i + 1;
}

// The default formatting of new documents: the marks of the file named by ARQNIVELADOR,
// its lines trimmed and joined. Empty when the file cannot be read.
std::string formatacaoPadrao(Editor& e) {
    std::string nome = e.fala.leIni("DOCCONV", "ARQNIVELADOR");
    if (nome.empty()) nome = "c:\\ornato\\nivelador.ini";
    std::ifstream f(arquivoWindows(nome), std::ios::binary);
    std::string junto;
    for (std::string l; std::getline(f, l);) {
        const size_t a = l.find_first_not_of(" \t\r");
        if (a != std::string::npos) junto += l.substr(a, l.find_last_not_of(" \t\r") - a + 1);
    }
    return junto;
}

// Whether line `linha` goes on the paragraph of the line above it: it is there, not empty
// and not indented.
bool continuaParagrafo(const EdVars& ed, int linha) {
    return linha <= ed.nLinhas() && !ed.linha(linha).empty() && ed.linha(linha)[0] != ' ';
}

// Whether the full stop at 0-based position `i` of line `l` ends a sentence: not when it
// ends an abbreviation that a name or the sentence's next word follows ("Sr. Silva"), here
// or at the start of the paragraph's next line.
bool pontoFinal(const EdVars& ed, const Abreviaturas& abreviaturas, std::string_view l, size_t i) {
    std::string_view depois = l.substr(i + 1);
    if (apara(depois).empty() && continuaParagrafo(ed, ed.linhaAtual + 1))
        depois = ed.linha(ed.linhaAtual + 1);
    return !abreviaturas.pontoDeAbreviatura(l.substr(0, i), depois);
}

// Step 3 of reading a sentence: the characters from the cursor up to a sign followed by a
// blank (the cursor then on that blank), across line ends (each read as a blank), or up to
// the end of the paragraph or of the text (the cursor then at the start of the next line).
// The full stop of an abbreviation inside a sentence is no sign of its end.
std::string coletaFrase(EdVars& ed, const Abreviaturas& abreviaturas) {
    const int n = ed.nLinhas();
    std::string frase;
    while (ed.linhaAtual <= n) {
        const std::string l = ed.linha(ed.linhaAtual) + ' ';
        for (size_t i = static_cast<size_t>(ed.colunaAtual - 1); i < l.size(); ++i) {
            frase += l[i];
            if (kFimDeFrase.find(l[i]) != std::string_view::npos && i + 1 < l.size() &&
                l[i + 1] == ' ' && (l[i] != '.' || pontoFinal(ed, abreviaturas, l, i))) {
                ed.colunaAtual = static_cast<int>(i) + 2;
                return frase;
            }
        }
        ++ed.linhaAtual;
        ed.colunaAtual = 1;
        // A paragraph ends the sentence too: an empty line, or one that begins indented.
        if (!continuaParagrafo(ed, ed.linhaAtual)) break;
    }
    return frase;
}

// Announces a remembered mark again (a copy: announcing updates the state it came from).
void anunciaMarca(Editor& e, EstadoFormatacao& estado, std::string marca) {
    if (!marca.empty()) interpretaMarca(e, estado, marca, false);
}

}  // namespace

std::vector<PecaFalada> cortaNaPontuacao(std::string_view segmento, const Abreviaturas& abreviaturas) {
    std::vector<PecaFalada> pecas;
    while (!segmento.empty()) {
        size_t corte = segmento.find_first_of(kCortesPontuacao);
        // The full stop of an abbreviation goes with it to the server, which writes it out.
        while (corte != std::string_view::npos && segmento[corte] == '.' &&
               abreviaturas.pontoDeAbreviatura(segmento.substr(0, corte), segmento.substr(corte + 1)))
            corte = segmento.find_first_of(kCortesPontuacao, corte + 1);
        if (corte != 0) pecas.push_back({std::string(segmento.substr(0, corte)), false});
        if (corte == std::string_view::npos) break;
        pecas.push_back({std::string(segmento.substr(corte, 1)), true});
        segmento.remove_prefix(corte + 1);
    }
    return pecas;
}

void falaLinha(Editor& e, std::string_view texto) {
    const char modo = e.ed.modoFalaFormatacao;
    // Any mode other than these (a mistyped option) reads naturally.
    const bool porMarcas = modo == 'F' || modo == 'B' || modo == 'M';
    EstadoFormatacao estado;
    while (porMarcas) {
        const size_t abre = texto.find('<');
        const size_t fim = abre == std::string_view::npos ? abre : fimDaMarca(texto, abre);
        if (fim == std::string_view::npos) break;
        falaSegmento(e, texto.substr(0, abre));
        const std::string_view marca = texto.substr(abre, fim - abre + 1);
        if (!reconheceMarca(marca))
            falaSegmento(e, marca);
        else if (modo == 'B')
            e.fala.bip();
        else
            interpretaMarca(e, estado, marca, modo == 'M');
        texto.remove_prefix(fim + 1);
    }
    falaSegmento(e, texto);
}

void falaLinha(Editor& e) {
    falaLinha(e, e.ed.linha(e.ed.linhaAtual));
}

void leLinhaDeChegada(Editor& e) {
    EdVars& ed = e.ed;
    if (!ed.falaAutomatica) return;
    const int coluna = ed.colunaAtual;
    if (!ed.linha(ed.linhaAtual).empty())
        falaLinha(e);
    else if (!e.crt.teclaPressionada())
        e.fala.bip();
    ed.colunaAtual = coluna;
}

void proximaPalavra(Editor& e) {
    EdVars& ed = e.ed;
    e.crt.GotoXY(std::min(ed.colunaAtual, SnCrt::kColunas), kLinhaAtualTela);
    const std::string l = ed.linha(ed.linhaAtual);
    size_t i = static_cast<size_t>(std::max(ed.colunaAtual, 1) - 1);
    while (i < l.size() && l[i] == ' ') ++i;
    const size_t fim = fimDaPalavra(ed.codificacao, l, i);
    ed.colunaAtual = static_cast<int>(fim) + 1;
    if (fim == i) return e.fala.bip();  // the end of the line
    const std::string_view palavra = std::string_view(l).substr(i, fim - i);
    // A tab or another code below the blank: a click stands for it; a placeholder is said.
    const uint8_t primeiro = static_cast<uint8_t>(palavra[0]);
    if (primeiro < ' ' && !ehMarca(ed.codificacao, primeiro)) return e.fala.clique();
    falaLinha(e, palavra);
}

void restoDaLinha(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.semFala) return;
    const int comprimento = comprimentoAtual(ed);
    if (comprimento == 0) return e.fala.bip();
    if (e.fala.servidorAtivo()) {
        // A server reads the rest at once, with its own intonation.
        const int de = std::max(ed.colunaAtual, 1);
        if (de > comprimento)
            e.fala.bip();
        else
            falaLinha(
                e, std::string_view(ed.linha(ed.linhaAtual)).substr(static_cast<size_t>(de - 1)));
        ed.colunaAtual = comprimento + 1;
    } else {
        do proximaPalavra(e);
        while (ed.colunaAtual <= comprimento && !e.crt.teclaPressionada());
    }
    esperaFimDaFala(e);
    if (e.crt.teclaPressionada()) e.fala.paraFala();
}

void inicioDaLinha(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.semFala) return;
    if (comprimentoAtual(ed) == 0) return e.fala.bip();
    const int lembrada = ed.colunaAtual;
    ed.colunaAtual = 1;
    while (ed.colunaAtual < lembrada - 1 && !e.crt.teclaPressionada()) proximaPalavra(e);
    ed.colunaAtual = lembrada;
}

bool proximaFrase(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.semFala) return true;
    const int n = ed.nLinhas();
    auto vaiParaProxima = [&] {
        ++ed.linhaAtual;
        ed.colunaAtual = 1;
    };
    ed.colunaAtual = std::max(ed.colunaAtual, 1);
    if (ed.colunaAtual > comprimentoAtual(ed)) {
        vaiParaProxima();
        while (ed.linhaAtual <= n && ed.linha(ed.linhaAtual).empty()) ++ed.linhaAtual;
    }

    const std::string frase = coletaFrase(ed, e.fala.abreviaturas());
    if (!soBrancos(frase)) {
        falaLinha(e, frase);
        esperaFimDaFala(e);
    }
    if (ed.linhaAtual <= n && ed.colunaAtual > comprimentoAtual(ed)) vaiParaProxima();
    if (ed.linhaAtual <= n) return false;
    ed.linhaAtual = std::max(n, 1);
    ed.colunaAtual = comprimentoAtual(ed) + 1;
    esperaFimDaFala(e);
    falaMensagem(e, "EDFIMTEX");
    return true;
}

void leAteOFim(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.semFala) return;
    // The engine's punctuation follows the option while reading, and is on again after;
    // recordings do not block meanwhile, so a key is noticed between them.
    e.fala.falaPontuacao = ed.falaPontuacao;
    bool& assincrono = e.fala.tocador().assincrono;
    const bool eraAssincrono = assincrono;
    assincrono = true;
    for (;;) {
        e.crt.GotoXY(std::min(ed.colunaAtual, SnCrt::kColunas), kLinhaAtualTela);
        const bool fim = proximaFrase(e);
        redesenhaTela(e);
        if (ed.linhaAtual > ed.nLinhas()) break;
        e.crt.esperaTecla(200);
        if (fim || e.crt.teclaPressionada()) break;
    }
    if (ed.linhaAtual > ed.nLinhas()) {
        ed.linhaAtual = std::max(ed.nLinhas(), 1);
        ed.colunaAtual = comprimentoAtual(ed) + 1;
    }
    esperaFimDaFala(e);
    // A command that stopped the reading only stopped it (in reading mode it is a command);
    // typed text is never thrown away.
    if (!ed.modoLeitura) e.crt.descartaComandos();
    e.fala.falaPontuacao = true;
    assincrono = eraAssincrono;
}

void informaFormatacao(Editor& e) {
    const EdVars& ed = e.ed;
    EstadoFormatacao estado;
    aplicaMarcas(e, estado, formatacaoPadrao(e));
    for (int i = 1; i < ed.linhaAtual && i <= ed.nLinhas(); ++i)
        aplicaMarcas(e, estado, ed.vista(i));
    const std::string& atual = ed.linha(ed.linhaAtual);
    const size_t ateCursor =
        static_cast<size_t>(std::clamp(ed.colunaAtual - 1, 0, static_cast<int>(atual.size())));
    aplicaMarcas(e, estado, std::string_view(atual).substr(0, ateCursor));

    if (estado.negrito) falaMensagem(e, "EDNEGRIT");
    if (estado.italico) falaMensagem(e, "EDITALIC");
    if (estado.sublinhado) falaMensagem(e, "EDSUBLIN");
    // Colour 0 is the automatic colour: nothing worth saying.
    const std::optional<Marca> cor = reconheceMarca(estado.cor);
    if (cor && cor->numero != 0) anunciaMarca(e, estado, estado.cor);
    anunciaMarca(e, estado, estado.tamanho);
    anunciaMarca(e, estado, estado.fonte);
    anunciaMarca(e, estado, estado.alinhamento);
    e.fala.clique();
}

std::string palavraParaExecutar(std::string_view linha, int coluna) {
    const size_t pos =
        static_cast<size_t>(std::clamp(coluna - 1, 0, static_cast<int>(linha.size())));
    const size_t antes = linha.substr(0, pos).rfind(' ');
    const size_t de = antes == std::string_view::npos ? 0 : antes + 1;
    const size_t ate = std::min(linha.find(' ', pos), linha.size());
    std::string_view palavra = linha.substr(de, ate - de);
    const size_t a = palavra.find_first_not_of(kEnvoltorios);
    if (a == std::string_view::npos) return {};
    return std::string(palavra.substr(a, palavra.find_last_not_of(kEnvoltorios) - a + 1));
}

void executaPalavra(Editor& e) {
    const std::string palavra = palavraParaExecutar(e.ed.linha(e.ed.linhaAtual), e.ed.colunaAtual);
    // Also said when the program could not be started, so a failure is never silent.
    if (palavra.empty() || !e.fala.abreComPrograma(palavra, pastaDoTexto(e.ed.nomeArquivo)))
        falaMensagem(e, "EDNEXEC");
}

void familiaFala(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJFA", .linhas = 4})) {
        case 'I':
            inicioDaLinha(e);
            break;
        case 'L':
        case 'F':
        case 13:
            restoDaLinha(e);
            break;
        case 'T':
            leAteOFim(e);
            break;
        case 'P':
            proximaFrase(e);
            break;
        case 27:
            falaMensagem(e, "EDDESIST");
            break;
        default:
            break;
    }
    redesenhaTela(e);
}
