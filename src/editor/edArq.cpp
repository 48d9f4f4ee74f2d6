#include "editor/edArq.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "editor/commands/edDocUti.h"
#include "editor/edArqCopia.h"
#include "editor/edCampo.h"
#include "editor/edListaArq.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/texto.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kTab = 9, kEnter = 13, kEsc = 27;

bool semPonto(std::string_view nome) {
    return parteArquivo(nome).find('.') == std::string_view::npos;
}

bool existe(std::string_view nome) {
    std::error_code ec;
    return fs::exists(caminhoSistema(nome), ec);
}

bool ehDiretorio(std::string_view nome) {
    std::error_code ec;
    return !nome.empty() && fs::is_directory(caminhoSistema(nome), ec);
}

bool arquivoExistente(std::string_view nome) {
    return existe(nome) && !ehDiretorio(nome);
}

void limpaLinhas(Editor& e, int de, int ate) {
    e.crt.TextBackground(0);
    for (int y = de; y <= ate; ++y) {
        e.crt.GotoXY(1, y);
        e.crt.ClrEol();
    }
}

// The lines of the file into the text, which is empty, as if each were inserted at
// linhaAtual without speech and the cursor moved down.
EstadoLeitura leLinhas(EdVars& ed, const fs::path& caminho, bool& dividiu) {
    // Room for the lines a file of this size usually holds, made once: growing a long
    // text step by step costs more than reading it. Room not used is never touched.
    std::error_code ec;
    const uintmax_t tamanho = fs::file_size(caminho, ec);
    const auto reserva = [&] {
        if (ec) return;
        const uintmax_t bytes = std::min<uintmax_t>(tamanho, uintmax_t{1} << 30);
        ed.texto.reservaLidas(static_cast<size_t>(bytes / 48), static_cast<size_t>(bytes));
    };
    reserva();
    LeitorLinhas leitor([&ed](std::string_view l) {
        if (ed.converteOem && !l.empty())
            ed.texto.acrescentaLida(oemParaWin1252(l));
        else
            ed.texto.acrescentaLida(l);
    });
    // Read again as bytes: the text starts over.
    const auto recomeca = [&] {
        ed.texto.liberaTexto();
        reserva();
    };
    // A DOS file (/D) is code page 850, never UTF-8.
    const EstadoLeitura estado =
        leArquivoCodificado(caminho, leitor, ed.codificacao, recomeca, !ed.converteOem);
    dividiu = leitor.dividiu();
    // Each line went in at the cursor, which then moved down: a mark below the cursor
    // moved down with every line.
    const int lidas = ed.nLinhas();
    if (ed.inicioBloco > 1) ed.inicioBloco += lidas;
    if (ed.fimBloco >= 1) ed.fimBloco += lidas;
    if (ed.linhaMemorizada > 1) ed.linhaMemorizada += lidas;
    if (ed.nLinhas() == 0) ed.texto.insere(1, "");
    return estado;
}

// The file for a save: nomeArquivo asked for until a file of that name can be created.
// Nothing when the user gave up.
std::optional<GravacaoSegura> abreGravacao(Editor& e) {
    for (;;) {
        if (!pedeNomeGravacao(e)) return std::nullopt;
        GravacaoSegura g(caminhoSistema(e.ed.nomeArquivo));
        if (g.criada()) return g;
        falaMensagem(e, "EDERRESC");
        e.ed.nomeArquivo.clear();
    }
}

// A UTF-8 file with characters Windows-1252 lacks: how many the text keeps as
// placeholders, which the save writes back as they were.
void anunciaEstranhos(Editor& e) {
    size_t quantos = 0;
    for (int i = 1; i <= e.ed.nLinhas(); ++i)
        for (char c : e.ed.texto.vista(i)) quantos += ehMarca(e.ed.codificacao, static_cast<uint8_t>(c));
    falaMensagem(e, "EDCARDES");
    const std::string numero = std::to_string(quantos);
    e.crt.escreve(" " + numero);
    e.fala.falaTexto(numero);
}

// A new file: UTF-8 with LF line ends when CODIFICACAO says so, else Windows-1252 (a
// configuration without the key keeps the files it always had).
CodificacaoArquivo codificacaoNova(Editor& e) {
    CodificacaoArquivo cod;
    std::string valor(apara(e.fala.leIni("PLUMAR", "CODIFICACAO")));
    for (char& c : valor) c = static_cast<char>(std::toupper(static_cast<uint8_t>(c)));
    cod.utf8 = cod.quebraLf = valor == "UTF-8" || valor == "UTF8";
    return cod;
}

bool linhaEmBranco(std::string_view l) {
    return l.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

uint8_t leResposta(Editor& e) {
    uint8_t c;
    do c = leTeclaFalada(e);
    while (c == 222 || c == 223);
    if (c == 0) e.crt.leTecla();
    return c;
}

std::string caminhoCompleto(std::string_view nome) {
    if (nome.find_first_of("/\\") != std::string_view::npos) return std::string(nome);
    std::error_code ec;
    const fs::path atual = fs::current_path(ec);
    if (ec || atual.empty()) return std::string(nome);
    std::string pasta = nomeEditor(atual);
    if (pasta.back() != '/') pasta += '/';
    return pasta + std::string(nome);
}

std::string_view parteArquivo(std::string_view nome) {
    const size_t barra = nome.find_last_of("/\\");
    return barra == std::string_view::npos ? nome : nome.substr(barra + 1);
}

std::string tituloJanela(std::string_view nomeArquivo, const CodificacaoArquivo& cod) {
    std::string nome(parteArquivo(nomeArquivo));
    if (nome.size() > 124) nome = nome.substr(0, 124) + "...";
    return nome + " (" + std::string(cod.nome()) + ") - PLUMAR";
}

// ------------------------------------------------------------------- the name prompt

std::string pedeNomeArquivo(Editor& e, int linhas) {
    Campo campo;
    campo.coluna = e.crt.WhereX();
    campo.linha = e.crt.WhereY();
    campo.largura = SnCrt::kColunas + 1 - campo.coluna;
    std::string nome;
    for (;;) {
        campo.cursor = static_cast<int>(nome.size()) + 1;
        const FimCampo fim = editaCampo(e, nome, campo);
        const bool enter = !fim.estendida && fim.tecla == kEnter;
        const bool tab = !fim.estendida && fim.tecla == kTab;
        if ((!fim.estendida && fim.tecla == kEsc) || (enter && nome.empty())) return {};
        if (!enter && !tab) {
            e.fala.bip();  // a key this prompt has no use for
            continue;
        }
        nome = std::string(apara(nome));
        const bool diretorio = ehDiretorio(nome);
        if (diretorio && nome.back() != '/' && nome.back() != '\\') nome += '/';
        if (enter && !diretorio && nome.find('*') == std::string::npos) return nome;
        const std::vector<std::string> nomes = arquivosDoPadrao(padraoDaLista(nome));
        if (nomes.empty()) {
            e.fala.bip();  // nothing to choose from: back to the name
            continue;
        }
        const EscolhaArquivo escolha = escolheArquivo(e, nomes, campo.linha + 1, linhas);
        if (escolha.fim == FimLista::Escolheu) return parteDiretorio(nome) + escolha.nome;
        if (escolha.fim == FimLista::Desistiu) return {};
    }
}

// ------------------------------------------------------------------------ loading

bool carregaArquivo(Editor& e, bool outroTexto) {
    EdVars& ed = e.ed;
    for (;;) {
        limpaLinhas(e, 9, SnCrt::kLinhas);
        if (ed.nomeArquivo.empty()) {
            falaMensagem(e, "EDDIGNOM");
            const std::string nome(apara(pedeNomeArquivo(e, 15)));
            if (nome.empty() || nome.back() == '/' || nome.back() == '\\') return false;
            ed.nomeArquivo = nome;
        }
        ed.nomeArquivo = caminhoCompleto(ed.nomeArquivo);
        // A name without a '.' in its file part is a text; a device or a pipe of that name is
        // what was named (it cannot be read as a text), never a new file "x.txt".
        if (semPonto(ed.nomeArquivo)) {
            if (!arquivoExistente(ed.nomeArquivo)) ed.nomeArquivo += "." + ed.extensaoPadrao;
        } else {
            // A word-processor document comes back as the text file it was converted to,
            // or empty when there is nothing to load (said): then the name is asked again.
            ed.nomeArquivo = importaDocumento(e, ed.nomeArquivo);
            if (ed.nomeArquivo.empty()) continue;
        }
        // The text being edited is only given up for one that can be read.
        if (!outroTexto || !existe(ed.nomeArquivo) || podeAbrir(caminhoSistema(ed.nomeArquivo)))
            break;
        falaMensagem(e, "EDERRLEI");
        ed.nomeArquivo.clear();
    }

    // The text left behind was given up by the user; its recovery copy goes with it.
    removeRecuperacao(ed);
    ed.texto.liberaTexto();
    bool dividiu = false;
    const EstadoLeitura estado = leLinhas(ed, caminhoSistema(ed.nomeArquivo), dividiu);
    if (dividiu) falaMensagem(e, "EDLINGRA");
    if (!ed.codificacao.estranhos.empty()) anunciaEstranhos(e);
    if (ed.codificacao.utf8Recusado) falaMensagem(e, "EDUTFDEM");
    const std::string nomeLido = ed.nomeArquivo;  // a read error clears it, the title keeps it
    if (ed.codificacao.utf16Recusado) {
        // Its NUL bytes are gone from the text: saving it over the file would damage it.
        falaMensagem(e, "EDUTF16R");
        ed.nomeArquivo.clear();
    }
    switch (estado) {
        case EstadoLeitura::NaoExiste:
            ed.codificacao = codificacaoNova(e);
            falaMensagem(e, "EDARQNOV");
            break;
        case EstadoLeitura::Ilegivel:
            // Not a new file: saving must not write over what could not be read.
            falaMensagem(e, "EDERRLEI");
            ed.nomeArquivo.clear();
            break;
        case EstadoLeitura::GrandeDemais:
            falaMensagem(e, "EDARQGRD");
            ed.nomeArquivo.clear();
            break;
        case EstadoLeitura::ErroNoMeio:
            // What was read stays; the first save asks for a name and, for this file,
            // whether to write over it, so a part is never saved over the whole by chance.
            falaMensagem(e, "EDERRLEI");
            ed.nomeArquivo.clear();
            [[fallthrough]];
        case EstadoLeitura::Lido:
            if (ed.anunciaCarga) falaMensagem(e, "EDARQCRG");
            ed.anunciaCarga = true;
            break;
    }
    ed.converteOem = false;
    ed.colunaAtual = 1;
    ed.linhaAtual = 1;
    ed.versaoGravada = ed.texto.versao();
    ed.historico.reinicia(ed.texto);  // a text loaded starts a history of its own
    e.crt.titulo(tituloJanela(nomeLido, ed.codificacao));
    if (!ed.nomeArquivo.empty()) anunciaCopia(e);
    return true;
}

// ------------------------------------------------------------------------ saving

bool pedeNomeGravacao(Editor& e) {
    e.crt.limpaFila();
    if (!e.ed.nomeArquivo.empty()) return true;
    falaMensagem(e, "EDNOMGRV");
    std::string nome(apara(leLinhaFalada(e)));
    if (nome.empty()) {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    if (semPonto(nome) && !existe(nome)) nome += "." + e.ed.extensaoPadrao;
    if (arquivoExistente(nome)) {
        falaMensagem(e, "EDREESCR");
        if (leResposta(e) != 'S') {
            falaMensagem(e, "EDESCCAN");
            return false;
        }
    }
    e.ed.nomeArquivo = nome;
    return true;
}

bool gravaArquivo(Editor& e, int primeira, int ultima) {
    EdVars& ed = e.ed;
    std::optional<GravacaoSegura> g = abreGravacao(e);
    if (!g) return false;
    bytesDoTexto(ed, primeira, ultima, [&g](std::string_view b) { g->escreve(b); });
    if (!g->conclui()) {
        falaMensagem(e, "EDERRESC");
        return false;
    }
    if (primeira <= 1 && ultima >= ed.nLinhas()) {
        ed.versaoGravada = ed.texto.versao();
        removeRecuperacao(ed);
    }
    falaMensagem(e, ed.modoLeitura ? "EDSOMLEI" : "EDARQGRV");
    return true;
}

bool gravaTexto(Editor& e) {
    return gravaArquivo(e, 1, e.ed.nLinhas());
}

std::string formatoParagrafos(const std::vector<std::string>& linhas) {
    std::string texto;
    for (size_t i = 0; i < linhas.size(); ++i) {
        const std::string& l = linhas[i];
        std::string_view separador = "\r\n";
        std::string corpo;
        if (linhaEmBranco(l)) {
            // a line break alone
        } else if (l.compare(0, 4, "    ") == 0) {
            size_t p = 0;
            for (; l.compare(p, 4, "    ") == 0; p += 4) corpo += '\t';
            corpo.append(l, p);
        } else if (l[0] == ' ') {
            corpo.assign(l, 1);
        } else {
            separador = " ";  // the same paragraph goes on
            corpo = l;
        }
        // The separator in front of the first line is left out whole: a line break cut
        // in half would start the document with a lone LF.
        if (i > 0) texto += separador;
        texto += corpo;
    }
    return texto;
}

bool gravaParagrafos(Editor& e, int primeira, int ultima) {
    std::optional<GravacaoSegura> g = abreGravacao(e);
    if (!g) return false;
    std::vector<std::string> linhas;
    for (int i = std::max(primeira, 1); i <= std::min(ultima, e.ed.nLinhas()); ++i)
        linhas.emplace_back(e.ed.vista(i));
    g->escreve(formatoParagrafos(linhas));
    if (!g->conclui()) {
        falaMensagem(e, "EDERRESC");
        return false;
    }
    falaMensagem(e, "EDARQGRV");
    return true;
}

void gravaComoOutro(Editor& e) {
    EdVars& ed = e.ed;
    falaMensagem(e, "EDDIGNOM");
    std::string nome(apara(leLinhaFalada(e)));
    if (nome.empty()) return falaMensagem(e, "EDDESIST");
    falaMensagem(e, "EDFORTXT");
    if (leResposta(e) == kEsc) return falaMensagem(e, "EDDESIST");
    if (semPonto(nome)) nome += "." + ed.extensaoPadrao;
    // Another file already there is only written over when the user says so.
    std::error_code ec;
    if (arquivoExistente(nome) &&
        !fs::equivalent(caminhoSistema(nome), caminhoSistema(ed.nomeArquivo), ec)) {
        falaMensagem(e, "EDREESCR");
        if (leResposta(e) != 'S') return falaMensagem(e, "EDESCCAN");
    }
    ed.nomeArquivo = nome;
    ed.modoLeitura = false;
    gravaTexto(e);
    e.crt.titulo(tituloJanela(ed.nomeArquivo, ed.codificacao));
    if (!ed.nomeArquivo.empty()) ed.nomeArquivo = caminhoCompleto(ed.nomeArquivo);
}

void novoArquivo(Editor& e) {
    uint8_t c;
    do {
        falaMensagem(e, "EDQUERSV");
        c = leResposta(e);
    } while (c != kEsc && c != 'S' && c != 'N');
    if (c == kEsc) return falaMensagem(e, "EDDESIST");
    // A text that could not be saved is kept: the failure was already said.
    if (c == 'S' && !gravaTexto(e)) return;
    // Until another text is loaded this one stays as it is, changed or not: leaving the
    // name prompt comes back to it.
    const std::string nome = std::exchange(e.ed.nomeArquivo, std::string());
    if (carregaArquivo(e, true)) return e.ed.limpaBloco();
    e.ed.nomeArquivo = nome;
    falaMensagem(e, "EDDESIST");
}

void informaNome(Editor& e, bool soletrar) {
    falaMensagem(e, "EDNOME");
    // Cut to the row, so that a long name never scrolls the screen.
    const int resto = SnCrt::kColunas - e.crt.WhereX();
    e.crt.escreve((" " + e.ed.nomeArquivo).substr(0, static_cast<size_t>(std::max(resto, 0))));
    if (soletrar)
        e.fala.soletra(e.ed.nomeArquivo);
    else
        e.fala.falaTexto(e.ed.nomeArquivo);
    // Its encoding too: how the file is written.
    const std::string codificacao(e.ed.codificacao.nome());
    if (e.crt.WhereX() + 1 + static_cast<int>(codificacao.size()) <= SnCrt::kColunas)
        e.crt.escreve(" " + codificacao);
    e.fala.falaTexto(codificacao);
    e.crt.Delay(500);
}

void imprime(Editor& e) {
    const bool leitura = e.ed.modoLeitura;
    e.ed.modoLeitura = false;
    const bool gravado = gravaTexto(e);
    e.ed.modoLeitura = leitura;
    if (!gravado) return;  // nothing on disk to print, or an older version of it
    std::string programa = e.fala.leIni("PLUMAR", "IMPRESSOR");
    if (programa.empty()) programa = "c:\\ornato\\catalogo.exe";
    // The file's name on disk is handed over as one argument, blanks and all: no quotes
    // needed.
    e.fala.executaPrograma(programa, caminhoSistema(e.ed.nomeArquivo).string(), ".");
}

void terminaEditor(Editor& e) {
    // A changed text the user did not save is kept all the same, out of the way, in the
    // state folder (beside the file when that cannot be written); the last words say where.
    std::optional<fs::path> copia;
    if (e.ed.modificado()) {
        copia = gravaCopiaEmergencia(e.ed, false);
        if (!copia) copia = gravaCopiaEmergencia(e.ed, true);
    }
    if (e.ed.modoLeitura)
        e.fala.clique();
    else
        falaMensagem(e, "EDFIMPRC");
    if (copia) {
        falaMensagem(e, "EDCOPGRD");
        const std::string pasta = nomeEditor(caminhoAbreviado(copia->parent_path()));
        e.crt.escreve(pasta.substr(0, static_cast<size_t>(std::max(SnCrt::kColunas - e.crt.WhereX(), 0))));
        e.fala.falaTexto(pasta);
    } else if (e.ed.modificado()) {
        falaMensagem(e, "EDCOPFAL");
    }
    if (e.ed.larguraTela != 79) e.ed.larguraTela = 79;
    removeRecuperacao(e.ed);
    e.fala.terminaFala();
    e.crt.terminaConsole();
}

void gravaESai(Editor& e) {
    if (gravaTexto(e)) terminaEditor(e);
}

void familiaArquivos(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJAR", .linhas = 8})) {
        case 'F':
            gravaESai(e);
            break;
        case 'A':
            terminaEditor(e);
        case 'C':
            gravaComoOutro(e);
            break;
        case 'I':
            informaNome(e, true);
            break;
        case 'N':
            novoArquivo(e);
            break;
        case 'S':
        case 'X':
            gravaTexto(e);
            break;
        case kEsc:
            falaMensagem(e, "EDDESIST");
            break;
        default:
            e.fala.bip();
    }
    redesenhaTela(e);
}
