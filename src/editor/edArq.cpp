#include "editor/edArq.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "editor/edCampo.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"

namespace fs = std::filesystem;

namespace {

std::string apara(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return std::string(s);
}

// The name part of a path, Windows or Linux separators alike.
std::string_view parteArquivo(std::string_view nome) {
    size_t barra = nome.find_last_of("/\\");
    return barra == std::string_view::npos ? nome : nome.substr(barra + 1);
}

bool abrivel(const std::string& nome) {
    std::error_code ec;
    return fs::is_regular_file(nome, ec) && std::ifstream(nome, std::ios::binary).good();
}

// Asks for a file name on the current row with the spoken line editor.
std::string pedeNome(Editor& e) { return apara(leLinhaFalada(e)); }

void limpaLinhas(Editor& e, int de, int ate) {
    e.crt.TextBackground(0);
    for (int y = de; y <= ate; ++y) {
        e.crt.GotoXY(1, y);
        e.crt.ClrEol();
    }
}

}  // namespace

std::vector<std::string> separaLinhas(std::string_view bytes, bool& dividiu) {
    std::vector<std::string> linhas;
    std::string atual;
    bool temLinha = false;
    bool pulaBrancos = false;
    bool recemDividida = false;  // a split just ended the line: its line end adds nothing
    dividiu = false;
    auto fecha = [&] {
        linhas.push_back(std::move(atual));
        atual.clear();
        temLinha = false;
    };
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            if (temLinha || !recemDividida) fecha();
            pulaBrancos = recemDividida = false;
            continue;
        }
        if (pulaBrancos) {
            if (c == ' ') continue;
            pulaBrancos = false;
        }
        // A long line ends at the next blank after 160 characters (the blanks that follow
        // are skipped), or at once when it reaches 180.
        if (c == ' ' && atual.size() > 160) {
            fecha();
            dividiu = pulaBrancos = recemDividida = true;
            continue;
        }
        temLinha = true;
        recemDividida = false;
        if (c == '\t')
            atual.append(8, ' ');
        else
            atual += static_cast<char>(c < 32 ? '#' : c);
        if (atual.size() >= 180) {
            atual.resize(180);  // only the blanks of a TAB can pass it
            fecha();
            dividiu = recemDividida = true;
        }
    }
    if (temLinha) fecha();
    return linhas;
}

std::string caminhoCompleto(std::string_view nome) {
    if (nome.find_first_of("/\\") != std::string_view::npos) return std::string(nome);
    std::error_code ec;
    return (fs::current_path(ec) / std::string(nome)).string();
}

std::string tituloJanela(std::string_view nomeArquivo) {
    std::string nome(parteArquivo(nomeArquivo));
    if (nome.size() > 124) nome = nome.substr(0, 124) + "...";
    return nome + " - PLUMAR";
}

std::string pedeNomeArquivo(Editor& e, int) {
    Campo campo;
    campo.coluna = e.crt.WhereX();
    campo.linha = e.crt.WhereY();
    campo.largura = SnCrt::kColunas + 1 - campo.coluna;
    std::string nome;
    for (;;) {
        const FimCampo fim = editaCampo(e, nome, campo);
        const bool enter = !fim.estendida && fim.tecla == 13;
        if ((!fim.estendida && fim.tecla == 27) || (enter && nome.empty())) return {};
        nome = apara(nome);
        std::error_code ec;
        const bool diretorio = !nome.empty() && fs::is_directory(arquivoWindows(nome), ec);
        if (enter && !diretorio && nome.find('*') == std::string::npos) return nome;
        // Tab, a wildcard or a directory ask for the list of files, which is not offered
        // yet: the refusal is heard and the name can be edited again.
        e.fala.bip();
    }
}

bool carregaArquivo(Editor& e) {
    EdVars& ed = e.ed;
    limpaLinhas(e, 9, 25);
    if (ed.nomeArquivo.empty()) {
        falaMensagem(e, "EDDIGNOM");
        std::string nome = apara(pedeNomeArquivo(e, 15));
        if (nome.empty() || nome.back() == '/' || nome.back() == '\\') return false;
        ed.nomeArquivo = nome;
    }
    ed.nomeArquivo = caminhoCompleto(ed.nomeArquivo);
    if (parteArquivo(ed.nomeArquivo).find('.') == std::string_view::npos &&
        !abrivel(ed.nomeArquivo))
        ed.nomeArquivo += "." + ed.extensaoPadrao;

    ed.texto.liberaTexto();
    ed.linhaAtual = 1;
    std::ifstream f(ed.nomeArquivo, std::ios::binary);
    std::error_code ec;
    if (f && fs::is_regular_file(ed.nomeArquivo, ec)) {
        std::stringstream conteudo;
        conteudo << f.rdbuf();
        bool dividiu = false;
        std::vector<std::string> linhas = separaLinhas(conteudo.str(), dividiu);
        for (std::string& l : linhas) {
            if (ed.converteOem && !l.empty()) l = oemParaWin1252(l);
            ed.insereNaLinhaAtual(l);
            ++ed.linhaAtual;
        }
        if (ed.nLinhas() == 0) ed.texto.insere(1, "");
        if (dividiu) falaMensagem(e, "EDLINGRA");
        if (f.bad()) falaMensagem(e, "EDERRLEI");
        if (ed.anunciaCarga) falaMensagem(e, "EDARQCRG");
        ed.anunciaCarga = true;
    } else {
        ed.texto.insere(1, "");
        falaMensagem(e, "EDARQNOV");
    }
    ed.converteOem = false;
    ed.colunaAtual = 1;
    ed.linhaAtual = 1;
    e.crt.titulo(tituloJanela(ed.nomeArquivo));
    return true;
}

bool pedeNomeGravacao(Editor& e) {
    e.crt.limpaFila();
    if (!e.ed.nomeArquivo.empty()) return true;
    falaMensagem(e, "EDNOMGRV");
    std::string nome = pedeNome(e);
    if (nome.empty()) {
        falaMensagem(e, "EDDESIST");
        return false;
    }
    if (parteArquivo(nome).find('.') == std::string_view::npos && !abrivel(nome))
        nome += "." + e.ed.extensaoPadrao;
    if (abrivel(nome)) {
        falaMensagem(e, "EDREESCR");
        if (leTeclaFalada(e) != 'S') {
            falaMensagem(e, "EDESCCAN");
            return false;
        }
    }
    e.ed.nomeArquivo = nome;
    return true;
}

void gravaArquivo(Editor& e, int primeira, int ultima) {
    EdVars& ed = e.ed;
    if (!pedeNomeGravacao(e)) return;
    while (ultima >= primeira && ed.linha(ultima).empty()) --ultima;
    // The new text goes to a temporary file that replaces the old one only when it was
    // written whole, so a failed save never destroys the file on disk.
    const std::string temporario = ed.nomeArquivo + ".plumar-gravando";
    bool ok;
    {
        std::ofstream f(temporario, std::ios::binary | std::ios::trunc);
        ok = f.good();
        for (int i = primeira; ok && i <= ultima; ++i) {
            f << ed.linha(i) << "\r\n";
            ok = f.good();
        }
        f.close();
        ok = ok && !f.fail();
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temporario, ed.nomeArquivo, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temporario, ec);
        falaMensagem(e, "EDERRESC");
        return;
    }
    falaMensagem(e, ed.modoLeitura ? "EDSOMLEI" : "EDARQGRV");
}

void gravaTexto(Editor& e) { gravaArquivo(e, 1, e.ed.nLinhas()); }

void gravaComoOutro(Editor& e) {
    falaMensagem(e, "EDDIGNOM");
    std::string nome = pedeNome(e);
    if (nome.empty()) return falaMensagem(e, "EDDESIST");
    falaMensagem(e, "EDFORTXT");
    if (e.fala.leTeclaEco() == 27) return falaMensagem(e, "EDDESIST");
    if (parteArquivo(nome).find('.') == std::string_view::npos) nome += "." + e.ed.extensaoPadrao;
    e.ed.nomeArquivo = nome;
    e.ed.modoLeitura = false;
    gravaTexto(e);
    e.crt.titulo(tituloJanela(e.ed.nomeArquivo));
    e.ed.nomeArquivo = caminhoCompleto(e.ed.nomeArquivo);
}

void novoArquivo(Editor& e) {
    uint8_t c;
    do {
        falaMensagem(e, "EDQUERSV");
        c = leTeclaFalada(e);
    } while (c != 27 && c != 'S' && c != 'N');
    if (c == 27) return falaMensagem(e, "EDDESIST");
    if (c == 'S') gravaTexto(e);
    e.ed.texto.liberaTexto();
    e.ed.nomeArquivo.clear();
    if (!carregaArquivo(e)) terminaEditor(e);
}

void informaNome(Editor& e, bool soletrar) {
    falaMensagem(e, "EDNOME");
    e.crt.escreve(" " + e.ed.nomeArquivo);
    if (soletrar)
        e.fala.soletra(e.ed.nomeArquivo);
    else
        e.fala.falaTexto(e.ed.nomeArquivo);
    e.crt.Delay(500);
}

void imprime(Editor& e) {
    const bool leitura = e.ed.modoLeitura;
    e.ed.modoLeitura = false;
    gravaTexto(e);
    e.ed.modoLeitura = leitura;
    std::string programa = e.fala.leIni("PLUMAR", "IMPRESSOR");
    if (programa.empty()) programa = "c:\\ornato\\catalogo.exe";
    // Each parameter is handed over whole, so a name with blanks needs no quotes here.
    e.fala.executaPrograma(programa, e.ed.nomeArquivo, ".");
}

void terminaEditor(Editor& e) {
    if (e.ed.modoLeitura)
        e.fala.clique();
    else
        falaMensagem(e, "EDFIMPRC");
    if (e.ed.larguraTela != 79) e.ed.larguraTela = 79;
    e.fala.terminaFala();
    e.crt.terminaConsole();
}

void familiaArquivos(Editor& e) {
    falaMensagem(e, "EDOPCAO");
    uint8_t c = leTeclaFalada(e);
    redesenhaTela(e);
    if (c == 0) c = menuAjuda(e, e.crt.leTecla(), "EDAJAR", 8);
    switch (c) {
        case 'F': gravaTexto(e); terminaEditor(e);
        case 'A': terminaEditor(e);
        case 'C': gravaComoOutro(e); break;
        case 'I': informaNome(e, true); break;
        case 'N': novoArquivo(e); break;
        case 'S':
        case 'X': gravaTexto(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: e.fala.bip();
    }
    redesenhaTela(e);
}
