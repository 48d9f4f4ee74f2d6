#include "editor/commands/edDocUti.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "editor/edArqDisco.h"
#include "editor/edMensag.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/leituraRtf.h"
#include "platform/texto.h"

namespace fs = std::filesystem;

namespace {

constexpr uint8_t kEnter = 13, kEsc = 27;
// Converted text larger than this is not read in (the editor keeps texts in memory).
constexpr uintmax_t kMaiorTexto = uintmax_t{512} << 20;

// The extension of the file part of `nome`, upper-cased; empty when it has none.
std::string extensaoMaiuscula(std::string_view nome) {
    const size_t barra = nome.find_last_of("/\\");
    const size_t ponto = nome.rfind('.');
    if (ponto == std::string_view::npos || (barra != std::string_view::npos && ponto < barra))
        return {};
    return maiusculasAscii(nome.substr(ponto + 1));
}

bool arquivoExiste(std::string_view nome) {
    std::error_code ec;
    return fs::is_regular_file(caminhoSistema(nome), ec);
}

// Asks `chave` until Enter, Esc, N or S.
uint8_t perguntaSimNao(Editor& e, std::string_view chave) {
    uint8_t c;
    do {
        falaMensagem(e, chave);
        c = leTeclaFalada(e);
        if (c == 0) e.crt.leTecla();
    } while (c != kEnter && c != kEsc && c != 'N' && c != 'S');
    return c;
}

// One way of turning a document into text: the program's arguments, where its text ends
// up, and how that text is written; or the program's own RTF reader.
struct Conversor {
    std::vector<std::string> argumentos;
    fs::path saidaPadrao;  // the program writes the text on its standard output
    fs::path resultado;    // where the text is once it has ended
    enum Codificacao { Utf8, Win1252, Unrtf } codificacao = Utf8;
    bool leitorRtf = false;
};

// LibreOffice when installed; else catdoc for .DOC, and unrtf for .RTF or, where there is
// none (Windows, a machine without it), the own RTF reader. Neither arguments nor the own
// reader when nothing serves this document.
Conversor escolheConversor(Editor& e, const fs::path& documento, std::string_view ext,
                           const fs::path& pasta) {
    Conversor c;
    std::error_code ec;
    const std::string absoluto = fs::absolute(documento, ec).string();
    if (fs::path lo = achaLibreOffice(e.fala.leIni("PLUMAR", "LIBREOFFICE")); !lo.empty()) {
        c.argumentos = argumentosLibreOffice(lo, documento, "txt:Text (encoded):UTF8", pasta);
        fs::path nome = documento.filename();
        c.resultado = pasta / nome.replace_extension(".txt");
        return c;
    }
    c.saidaPadrao = c.resultado = pasta / "texto";
    if (ext == "DOC") {
        if (fs::path p = achaConversor(e.fala.leIni("PLUMAR", "CATDOC"), {"catdoc"}); !p.empty()) {
            c.argumentos = {p.string(), "-d", "cp1252", "-w", absoluto};
            c.codificacao = Conversor::Win1252;
        }
    } else if (ext == "RTF") {
        if (fs::path p = achaConversor(e.fala.leIni("PLUMAR", "UNRTF"), {"unrtf"}); !p.empty()) {
            c.argumentos = {p.string(), "--text", absoluto};
            c.codificacao = Conversor::Unrtf;
        } else {
            c.leitorRtf = true;
        }
    }
    return c;
}

// The message of a converter that did not finish its work.
void dizFalha(Editor& e, FimConversor fim) {
    switch (fim) {
        case FimConversor::Expirou: return falaMensagem(e, "EDCNVDEM");
        case FimConversor::Desistiu: return falaMensagem(e, "EDDESIST");
        default: return falaMensagem(e, "EDCNVFAL");
    }
}

// The text of an outside converter's run; nothing when it failed (said).
std::optional<std::string> executa(Editor& e, const Conversor& c) {
    e.fala.clique();
    const ResultadoConversor r =
        aguardaConversor(e, c.argumentos, c.saidaPadrao, limiteConversao(e));
    e.fala.clique();
    std::string texto;
    if (r.fim != FimConversor::Concluido) {
        dizFalha(e, r.fim);
        return std::nullopt;
    }
    // LibreOffice ends well even when it could not read the document: no text, no
    // conversion.
    if (!leArquivoInteiro(c.resultado, texto, kMaiorTexto)) {
        falaMensagem(e, "EDCNVFAL");
        return std::nullopt;
    }
    if (c.codificacao == Conversor::Utf8) return textoConvertido(texto);
    if (c.codificacao == Conversor::Unrtf) return std::string(semCabecalhoUnrtf(texto));
    return texto;
}

// The text of an RTF read by the own reader, with the clicks a converter's run gives;
// nothing when it cannot be read or is no RTF (said).
std::optional<std::string> leRtf(Editor& e, const std::string& documento) {
    e.fala.clique();
    std::string rtf;
    std::optional<std::string> texto;
    if (leArquivoInteiro(caminhoSistema(documento), rtf, kMaiorTexto)) texto = textoDeRtf(rtf);
    e.fala.clique();
    if (!texto) falaMensagem(e, "EDCNVFAL");
    return texto;
}

// Converts `documento` into the text file `nomeTexto`, which is written only when the
// conversion succeeded, so a failure leaves any earlier text file as it was.
bool converte(Editor& e, const std::string& documento, const std::string& nomeTexto,
              std::string_view ext) {
    falaMensagem(e, "EDAGUARD");
    PastaConversao pasta;
    if (!pasta.valida()) {
        falaMensagem(e, "EDERRESC");
        return false;
    }
    const Conversor c = escolheConversor(e, caminhoSistema(documento), ext, pasta.caminho());
    if (c.argumentos.empty() && !c.leitorRtf) {
        falaMensagem(e, "EDSEMCNV");
        return false;
    }
    std::optional<std::string> texto = c.leitorRtf ? leRtf(e, documento)
                                                   : executa(e, c);
    if (!texto) return false;
    e.fala.clique();
    if (!gravaArquivoInteiro(caminhoSistema(nomeTexto), *texto)) {
        falaMensagem(e, "EDERRESC");
        return false;
    }
    e.fala.clique();
    return true;
}

}  // namespace

std::string importaDocumento(Editor& e, const std::string& nome) {
    const std::string ext = extensaoMaiuscula(nome);
    if (ext != "DOC" && ext != "RTF" && ext != "DOCX" && ext != "ODT") return nome;
    // A document that does not exist is a new file of that name, nothing to convert.
    if (!arquivoExiste(nome)) return nome;
    const std::string nomeTexto = nome.substr(0, nome.size() - ext.size()) + "txt";
    const bool haTexto = arquivoExiste(nomeTexto);
    const uint8_t c = perguntaSimNao(e, haTexto ? "EDREESCR" : "EDDESCON");
    if (c == kEsc) return {};
    if (c == 'N') return haTexto ? nomeTexto : nome;
    return converte(e, nome, nomeTexto, ext) ? nomeTexto : std::string();
}

std::chrono::milliseconds limiteConversao(Editor& e) {
    int segundos = 60;
    const std::string valor(apara(e.fala.leIni("PLUMAR", "TEMPOCONVERSAO")));
    if (!valor.empty() && valor.size() < 6 &&
        std::all_of(valor.begin(), valor.end(), [](char c) { return c >= '0' && c <= '9'; }))
        segundos = std::clamp(std::stoi(valor), 1, 3600);
    return std::chrono::seconds(segundos);
}

ResultadoConversor aguardaConversor(Editor& e, const std::vector<std::string>& argumentos,
                                    const fs::path& saida, std::chrono::milliseconds limite) {
    auto proximoClique = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    return executaConversor(argumentos, saida, limite, [&] {
        while (e.crt.teclaPressionada()) {
            const uint8_t c = e.crt.leTecla();
            if (c == kEsc) return false;
            if (c == 0) e.crt.leTecla();  // other keys are dropped: no typing while it works
        }
        if (std::chrono::steady_clock::now() >= proximoClique) {
            e.fala.clique();
            proximoClique += std::chrono::seconds(1);
        }
        return true;
    });
}

std::string textoConvertido(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    return utf8ParaWin1252(utf8);
}

std::string_view semCabecalhoUnrtf(std::string_view texto) {
    auto proximaLinha = [&](std::string_view t) {
        const size_t fim = t.find('\n');
        return fim == std::string_view::npos ? std::string_view() : t.substr(fim + 1);
    };
    if (!texto.starts_with("###")) return texto;
    while (texto.starts_with("###")) texto = proximaLinha(texto);
    if (texto.starts_with("\n")) texto.remove_prefix(1);
    if (texto.starts_with("-----")) texto = proximaLinha(texto);
    return texto;
}

std::vector<std::string> nomesDeFontes(std::string_view saida) {
    std::vector<std::string> nomes;
    std::istringstream linhas{std::string(saida)};
    for (std::string linha; std::getline(linhas, linha);) {
        std::string nome(apara(linha.substr(0, linha.find(','))));
        // fontconfig escapes the characters it uses itself.
        std::erase(nome, '\\');
        nome = std::string(apara(utf8ParaWin1252(nome)));
        if (!nome.empty() && nome.size() <= 200) nomes.push_back(nome);
    }
    std::sort(nomes.begin(), nomes.end());
    nomes.erase(std::unique(nomes.begin(), nomes.end()), nomes.end());
    return nomes;
}

std::vector<std::string> listaFontes(Editor& e) {
    // Without ARQFONTES the list lives in the family root, or, where that cannot be
    // written (an installed family), beside SONARE.INI.
    const std::string chave = e.fala.leIni("PLUMAR", "ARQFONTES");
    std::vector<fs::path> arquivos{arquivoWindows(chave.empty() ? "C:\\ornato\\arqfonte.ini" : chave)};
    if (chave.empty()) arquivos.push_back(diretorioWindows() / "arqfonte.ini");
    std::string conteudo;
    std::vector<std::string> nomes;
    for (const fs::path& arquivo : arquivos) {
        if (!leArquivoInteiro(arquivo, conteudo, uintmax_t{4} << 20)) continue;
        std::istringstream linhas(conteudo);
        for (std::string linha; std::getline(linhas, linha);)
            if (std::string nome(apara(linha)); !nome.empty()) nomes.push_back(nome);
        if (!nomes.empty()) return nomes;
    }
    const fs::path fcList = achaConversor("", {"fc-list"});
    PastaConversao pasta;
    if (!fcList.empty() && pasta.valida()) {
        const fs::path saida = pasta.caminho() / "fontes";
        const ResultadoConversor r =
            aguardaConversor(e, {fcList.string(), ":", "family"}, saida, limiteConversao(e));
        if (r.fim == FimConversor::Concluido && leArquivoInteiro(saida, conteudo, uintmax_t{4} << 20))
            nomes = nomesDeFontes(conteudo);
    }
    if (nomes.empty()) {
        falaMensagem(e, "EDSEMFON");
        return nomes;
    }
    std::string lista;
    for (const std::string& n : nomes) lista += n + "\r\n";
    // The list is offered even when it could not be kept for the next time.
    const bool gravada = std::any_of(arquivos.begin(), arquivos.end(),
                                     [&](const fs::path& a) { return gravaArquivoInteiro(a, lista); });
    if (!gravada) falaMensagem(e, "EDERRESC");
    return nomes;
}
