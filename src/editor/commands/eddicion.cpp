#include "editor/commands/eddicion.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "editor/commands/sndic.h"
#include "editor/edMensag.h"
#include "editor/listaSelecao.h"
#include "platform/caminhos.h"

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
    if (certo) e.ed.dicionario = std::move(dic);
    return certo;
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
        const std::string linha = ed.linha(i);
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
    if (sugestoes.empty()) {
        falaMensagem(e, "EDSEMSUG");
        return;
    }
    falaMensagem(e, "EDALTERN");
    ListaSelecao lista(e);
    lista.abreLista(40, 9, 30, 4, std::min<int>(int(sugestoes.size()), 10));
    for (const std::string& s : sugestoes) lista.adicionaItem("", s);
    const int escolha = lista.executaLista();
    if (escolha == 0) {
        falaMensagem(e, "EDDESIST");
        return;
    }
    const std::string& escolhida = sugestoes[size_t(escolha - 1)];
    e.crt.escreve(" -> ");
    e.fala.escreveFala(escolhida);
    const size_t fim = size_t(palavra.data() - linha.data()) + palavra.size();
    size_t inicio = fim - palavra.size();
    if (inicio > 0 && linha[inicio - 1] == '#') --inicio;
    const std::string nova = linha.substr(0, inicio) + escolhida + linha.substr(fim);
    if (nova.size() > TipoTexto::kMaxLinha) {
        e.fala.bip();  // the end of the line would be lost
        return;
    }
    ed.trocaLinha(ed.linhaAtual, nova);
    ed.colunaAtual = int(std::min(inicio + escolhida.size(), TipoTexto::kMaxLinha)) + 1;
}
