#include "platform/ini.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <system_error>
#include <vector>

#include "platform/arquivoNovo.h"
#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/texto.h"

namespace {

// A line "[name]" gives name.
std::optional<std::string_view> nomeSecao(std::string_view linha) {
    linha = apara(linha);
    if (linha.size() < 2 || linha.front() != '[') return std::nullopt;
    size_t fim = linha.find(']');
    if (fim == std::string_view::npos) return std::nullopt;
    return apara(linha.substr(1, fim - 1));
}

struct ChaveValor {
    std::string_view chave, valor;
};
std::optional<ChaveValor> chaveValor(std::string_view linha) {
    std::string_view t = apara(linha);
    if (t.empty() || t.front() == ';') return std::nullopt;
    size_t igual = t.find('=');
    if (igual == std::string_view::npos) return std::nullopt;
    return ChaveValor{apara(t.substr(0, igual)), apara(t.substr(igual + 1))};
}

std::vector<std::string> lerLinhas(const std::filesystem::path& arquivo, bool& crlf) {
    std::vector<std::string> linhas;
    const std::string conteudo = conteudoRegular(arquivo, kMaiorIni);
    size_t lf = conteudo.find('\n');
    crlf = lf == std::string::npos || (lf > 0 && conteudo[lf - 1] == '\r');
    std::string atual;
    for (char c : conteudo) {
        if (c == '\n') {
            if (!atual.empty() && atual.back() == '\r') atual.pop_back();
            linhas.push_back(std::move(atual));
            atual.clear();
        } else {
            atual += c;
        }
    }
    if (!atual.empty()) linhas.push_back(std::move(atual));
    return linhas;
}

// The file a link leads to, through any number of links (a bounded number), whether or
// not it exists; the name itself when it is no link.
std::filesystem::path alvoDasLigacoes(std::filesystem::path p) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (int i = 0; i < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++i) {
        const fs::path alvo = fs::read_symlink(p, ec);
        if (ec) break;
        p = alvo.is_absolute() ? alvo : p.parent_path() / alvo;
    }
    return p;
}

// Windows drops one pair of matching quotes around a value.
std::string_view semAspas(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::optional<std::string> procuraIni(const std::filesystem::path& arquivo, std::string_view secao,
                                      std::string_view chave) {
    bool crlf;
    bool dentro = false;
    for (const std::string& linha : lerLinhas(arquivo, crlf)) {
        if (auto nome = nomeSecao(linha)) {
            dentro = igualSemCaixa(*nome, apara(secao));
            continue;
        }
        if (!dentro) continue;
        if (auto kv = chaveValor(linha); kv && igualSemCaixa(kv->chave, apara(chave)))
            return std::string(semAspas(kv->valor).substr(0, kMaxValorIni));
    }
    return std::nullopt;
}

std::string leIniArquivo(const std::filesystem::path& arquivo, std::string_view secao,
                         std::string_view chave, std::string_view padrao) {
    if (auto v = procuraIni(arquivo, secao, chave)) return *v;
    return std::string(padrao.substr(0, kMaxValorIni));
}

bool escreveIniArquivo(const std::filesystem::path& nome, std::string_view secao,
                       std::string_view chave, std::string_view valor) {
    // Through a link the file it leads to is written, and the link stays.
    const std::filesystem::path arquivo = alvoDasLigacoes(nome);
    // Only a regular file is rewritten: a folder or a pipe in its place stays as it is,
    // and so does one too large to be read, which the new one would cut short.
    if (existeNaoRegular(arquivo) || iniGrandeDemais(arquivo)) return false;
    bool crlf;
    std::vector<std::string> linhas = lerLinhas(arquivo, crlf);
    const std::string nova = std::string(apara(chave)) + "=" + std::string(valor);

    // Find the section (first match) and, inside it, the key or the last non-blank line.
    std::optional<size_t> inicioSecao, linhaChave, ultimaDaSecao;
    bool dentro = false;
    for (size_t i = 0; i < linhas.size() && !linhaChave; ++i) {
        if (auto nome = nomeSecao(linhas[i])) {
            if (dentro) break;
            dentro = !inicioSecao && igualSemCaixa(*nome, apara(secao));
            if (dentro) inicioSecao = ultimaDaSecao = i;
            continue;
        }
        if (!dentro) continue;
        if (auto kv = chaveValor(linhas[i]); kv && igualSemCaixa(kv->chave, apara(chave)))
            linhaChave = i;
        else if (!apara(linhas[i]).empty())
            ultimaDaSecao = i;
    }
    if (linhaChave) {
        linhas[*linhaChave] = nova;
    } else if (inicioSecao) {
        linhas.insert(linhas.begin() + static_cast<long>(*ultimaDaSecao) + 1, nova);
    } else {
        linhas.push_back("[" + std::string(apara(secao)) + "]");
        linhas.push_back(nova);
    }

    std::error_code ec;
    if (arquivo.has_parent_path()) std::filesystem::create_directories(arquivo.parent_path(), ec);
    std::string bytes;
    const char* fimLinha = crlf ? "\r\n" : "\n";
    for (const std::string& l : linhas) bytes += l + fimLinha;
    ArquivoNovo novo(arquivo.parent_path(), arquivo.filename().string(), 0666);
    // The file keeps its permissions.
    novo.copiaPermissoes(arquivo);
    return novo.escreve(bytes) && novo.substitui(arquivo);
}

std::optional<long> inteiroIni(std::string_view texto) {
    texto = apara(texto);
    if (!texto.empty() && texto.front() == '+') texto.remove_prefix(1);
    if (texto.empty()) return std::nullopt;
    long v = 0;
    auto [fim, erro] = std::from_chars(texto.data(), texto.data() + texto.size(), v);
    if (erro != std::errc() || fim != texto.data() + texto.size()) return std::nullopt;
    return v;
}

bool existeNaoRegular(const std::filesystem::path& arquivo) {
    std::error_code ec;
    const std::filesystem::file_status estado = std::filesystem::status(arquivo, ec);
    return !ec && std::filesystem::exists(estado) && !std::filesystem::is_regular_file(estado);
}

bool iniGrandeDemais(const std::filesystem::path& arquivo) {
    std::error_code ec;
    return std::filesystem::is_regular_file(arquivo, ec) &&
           std::filesystem::file_size(arquivo, ec) > kMaiorIni && !ec;
}

std::filesystem::path arquivoSonareIni() { return achaArquivo(diretorioWindows() / "SONARE.INI"); }
