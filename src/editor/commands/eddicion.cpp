#include "editor/commands/eddicion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "editor/commands/sndic.h"
#include "editor/edArqDisco.h"
#include "editor/edMensag.h"
#include "editor/listaSelecao.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/conversaoDoc.h"
#include "platform/texto.h"

namespace {

// The file named by `chave` of section DICIONARIO (`padrao` when empty), read whole.
bool leArquivoDic(Editor& e, std::string_view chave, std::string_view padrao,
                  std::string& nome, std::string& texto) {
    nome = e.fala.leIni("DICIONARIO", chave);
    if (nome.empty()) nome = padrao;
    const std::filesystem::path caminho = arquivoWindows(nome);
    std::error_code erro;
    if (!std::filesystem::is_regular_file(caminho, erro)) return false;  // a folder, a pipe
    std::ifstream f(caminho, std::ios::binary);
    if (!f) return false;
    // Read in one piece of the file's size (megabytes at start-up), then whatever more
    // the file has grown by.
    const uintmax_t tamanho = std::filesystem::file_size(caminho, erro);
    texto.resize(erro ? 0 : static_cast<size_t>(tamanho));
    f.read(texto.data(), static_cast<std::streamsize>(texto.size()));
    texto.resize(static_cast<size_t>(f.gcount()));
    if (f.eof()) return !f.bad();
    texto.append(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}

// A word made only of apostrophes and hyphens (a dash between words) is no word to check.
bool temLetra(std::string_view palavra) {
    return std::any_of(palavra.begin(), palavra.end(), [](char c) { return c != '\'' && c != '-'; });
}

const Dicionario* dicionarioCarregado(Editor& e) {
    return carregaDicionario(e) ? e.ed.dicionario.get() : nullptr;
}

// The personal dictionary: one word a line, beside SONARE.INI.
constexpr uintmax_t kMaiorPessoal = uintmax_t{1} << 20;

std::filesystem::path arquivoPessoal() {
    return diretorioWindows() / "dicionario-pessoal.txt";
}

// The words of the personal dictionary (UTF-8; a file written by hand in Windows-1252 is
// taken as it stands); none when there is no file yet. Nothing when the file is no word
// list to read or to write over: a folder, too large, unreadable, or binary.
std::optional<std::vector<std::string>> lePessoal() {
    const std::filesystem::path arquivo = arquivoPessoal();
    std::error_code erro;
    const auto estado = std::filesystem::status(arquivo, erro);
    if (estado.type() == std::filesystem::file_type::not_found) return std::vector<std::string>();
    std::string bytes;
    if (!leArquivoInteiro(arquivo, bytes, kMaiorPessoal)) return std::nullopt;
    if (std::any_of(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<uint8_t>(c) < 32 && c != '\r' && c != '\n' && c != '\t';
        }))
        return std::nullopt;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    std::vector<std::string> palavras;
    std::string_view resto = bytes;
    while (!resto.empty()) {
        const size_t fim = std::min(resto.find('\n'), resto.size());
        const std::string_view linha = aparaControles(resto.substr(0, fim));
        if (!linha.empty()) palavras.push_back(utf8ParaWin1252(linha));
        resto.remove_prefix(std::min(fim + 1, resto.size()));
    }
    return palavras;
}

// Adds the word to the file, written whole into a new file put in place of the old one;
// false when it cannot be (a file that is no word list is never written over).
bool gravaPessoal(std::string_view palavra) {
    std::optional<std::vector<std::string>> palavras = lePessoal();
    if (!palavras) return false;
    const std::string dobrada = formaDic(palavra);
    if (std::none_of(palavras->begin(), palavras->end(),
                     [&](const std::string& p) { return formaDic(p) == dobrada; }))
        palavras->emplace_back(palavra);
    std::string bytes;
    for (const std::string& p : *palavras) bytes += win1252ParaUtf8(p) + "\n";
    GravacaoSegura g(arquivoPessoal());
    if (!g.criada()) return false;
    g.escreve(bytes);
    return g.conclui();
}

// The word of Ctrl+W becomes the user's: accepted from now on, written to the file, and a
// '#' a block check put in front of it taken away.
void adicionaAoPessoal(Editor& e, const std::string& linha, size_t inicio, size_t fim) {
    EdVars& ed = e.ed;
    const std::string palavra = linha.substr(inicio, fim - inicio);
    ed.dicionario->adicionaPessoal(palavra);
    if (inicio > 0 && linha[inicio - 1] == '#') {
        ed.trocaLinha(ed.linhaAtual, linha.substr(0, inicio - 1) + linha.substr(inicio));
        ed.colunaAtual = static_cast<int>(fim);
    }
    falaMensagem(e, gravaPessoal(palavra) ? "EDDICPES" : "EDDPGRV");
}

}  // namespace

bool carregaDicionario(Editor& e) {
    if (e.ed.dicionario) return true;
    static constexpr std::string_view kArquivos[5][2] = {
        {"ARQSUFIXOS", "c:\\ornato\\diciona.suf"}, {"ARQDIC", "c:\\ornato\\diciona.dic"},
        {"ARQINEXIST", "c:\\ornato\\diciona.exc"}, {"ARQNOMES", "c:\\ornato\\diciona.nom"},
        {"ARQSUGERE", "c:\\ornato\\diciona.sug"}};
    std::string nomes[5], textos[5];
    for (int i = 0; i < 5; ++i)
        if (!leArquivoDic(e, kArquivos[i][0], kArquivos[i][1], nomes[i], textos[i])) return false;
    auto dic = std::make_shared<Dicionario>();
    std::vector<std::string> mensagens;
    const bool certo =
        dic->carrega(textos[0], textos[1], textos[2], textos[3], textos[4], nomes[4], mensagens);
    for (const std::string& m : mensagens) e.crt.escreve(m + "\r\n");
    if (!certo) return false;
    // A personal dictionary that cannot be read is said once (the dictionary stays loaded);
    // its file is then left as it is.
    if (const std::optional<std::vector<std::string>> pessoais = lePessoal())
        dic->definePessoais(*pessoais);
    else
        falaMensagem(e, "EDDPLER");
    e.ed.dicionario = std::move(dic);
    return true;
}

std::string_view palavraAntes(std::string_view linha, int coluna) {
    if (coluna < 2) return {};
    std::string_view antes = linha.substr(0, std::min(linha.size(), size_t(coluna - 1)));
    while (!antes.empty() && static_cast<uint8_t>(antes.back()) <= 32) antes.remove_suffix(1);
    size_t inicio = antes.size();
    while (inicio > 0 && letraCursor(static_cast<uint8_t>(antes[inicio - 1]))) --inicio;
    return antes.substr(inicio);
}

void verificaPalavraAnterior(Editor& e) {
    // Active but not loadable: typing goes on unchecked.
    const Dicionario* dic = e.ed.dicionario.get();
    if (!dic || e.ed.linhaAtual < 1) return;
    const std::string_view palavra = palavraAntes(e.ed.linha(e.ed.linhaAtual), e.ed.colunaAtual);
    if (temLetra(palavra) && !dic->verificaPalavra(palavra)) {
        e.fala.bip();
        e.fala.bip();
    }
}

bool verificaLinhas(Editor& e, int primeira, int ultima) {
    const Dicionario* dic = dicionarioCarregado(e);
    if (!dic) return false;
    EdVars& ed = e.ed;
    ultima = std::min(ultima, ed.nLinhas());
    int erros = 0;
    for (int i = std::max(primeira, 1); i <= ultima; ++i) {
        const std::string linha(ed.vista(i));
        // A mark never pushes the line's own text past its 255 characters.
        size_t folga = TipoTexto::kMaxLinha - std::min(linha.size(), TipoTexto::kMaxLinha);
        std::string saida;
        for (size_t p = 0; p < linha.size();) {
            if (!letraBloco(static_cast<uint8_t>(linha[p]))) {
                saida += linha[p++];
                continue;
            }
            size_t fim = p;
            while (fim < linha.size() && letraBloco(static_cast<uint8_t>(linha[fim]))) ++fim;
            const std::string_view palavra = std::string_view(linha).substr(p, fim - p);
            if (!dic->verificaPalavra(palavra)) {
                if ((saida.empty() || saida.back() != '#') && folga > 0) {
                    saida += '#';
                    --folga;
                }
                e.fala.bip();
                ++erros;
            }
            saida += palavra;
            p = fim;
        }
        if (saida != linha) {
            ed.trocaLinha(i, saida);
            ed.linhaAtual = i;
        }
    }
    if (primeira <= ultima) {
        if (erros > 0)
            e.fala.falaTexto(std::to_string(erros));
        else
            falaMensagem(e, "EDOK");
    }
    e.fala.clique();
    return true;
}

void verificaBloco(Editor& e) {
    if (!verificaLinhas(e, e.ed.inicioBloco, e.ed.fimBloco)) falaMensagem(e, "EDDICNAO");
}

void alternaDicionario(Editor& e) {
    verificaLinhas(e, 1, 0);
    e.ed.dicionarioAtivo = !e.ed.dicionarioAtivo;
    falaMensagem(e, e.ed.dicionarioAtivo ? "EDDICIOA" : "EDDICIOD");
}

void trocaPorSugestao(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.linhaAtual < 1) return;
    const std::string linha = ed.linha(ed.linhaAtual);
    int coluna = ed.colunaAtual;
    while (coluna >= 2 && coluna - 2 < int(linha.size()) && linha[size_t(coluna - 2)] == ' ')
        --coluna;
    while (coluna - 1 < int(linha.size()) &&
           letraCursor(static_cast<uint8_t>(linha[size_t(coluna - 1)])))
        ++coluna;
    const std::string_view palavra = palavraAntes(linha, coluna);
    if (palavra.empty()) {
        e.fala.bip();
        return;
    }
    if (!ed.dicionarioAtivo) alternaDicionario(e);
    const Dicionario* dic = ed.dicionario.get();
    const std::vector<std::string> sugestoes =
        dic ? dic->sugestoes(palavra) : std::vector<std::string>();
    // A word the dictionary flags may become the user's own: the list's last item.
    const bool errada = dic && temLetra(palavra) && !dic->verificaPalavra(palavra);
    if (sugestoes.empty()) {
        falaMensagem(e, "EDSEMSUG");
        if (!errada) return;
    }
    falaMensagem(e, "EDALTERN");
    ListaSelecao lista(e);
    const int itens = static_cast<int>(sugestoes.size()) + (errada ? 1 : 0);
    lista.abreLista(40, 9, errada ? 33 : 30, 4, std::min(itens, 10));
    for (const std::string& s : sugestoes) lista.adicionaItem("", s);
    if (errada) lista.adicionaItem("EDDICADC", textoMensagem("EDDICADC"));
    const int escolha = lista.executaLista();
    if (escolha == 0) {
        falaMensagem(e, "EDDESIST");
        return;
    }
    const size_t fim = size_t(palavra.data() - linha.data()) + palavra.size();
    size_t inicio = fim - palavra.size();
    if (escolha > static_cast<int>(sugestoes.size())) return adicionaAoPessoal(e, linha, inicio, fim);
    const std::string& escolhida = sugestoes[size_t(escolha - 1)];
    e.crt.escreve(" -> ");
    e.fala.escreveFala(escolhida);
    if (inicio > 0 && linha[inicio - 1] == '#') --inicio;
    const std::string nova = linha.substr(0, inicio) + escolhida + linha.substr(fim);
    if (nova.size() > TipoTexto::kMaxLinha) {
        e.fala.bip();  // the end of the line would be lost
        return;
    }
    ed.trocaLinha(ed.linhaAtual, nova);
    ed.colunaAtual = int(std::min(inicio + escolhida.size(), TipoTexto::kMaxLinha)) + 1;
}
