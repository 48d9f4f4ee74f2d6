#include "speech/regras.h"
#include "platform/texto.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace {

// A directory opens as a stream on Linux and reads as empty: only regular files count.
bool arquivoComum(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

std::string_view semFimDeLinha(std::string_view linha) {
    while (!linha.empty() && (linha.back() == '\r' || linha.back() == '\n')) linha.remove_suffix(1);
    return linha;
}

std::string corta(std::string_view parte, size_t maximo) {
    return std::string(parte.substr(0, std::min(parte.size(), maximo)));
}

// Contexts and centres are compared with upper-cased word letters, so a byte outside
// printable ASCII (and, where allowed, the accented letters) could never match; such a rule
// is a corrupt line.
bool soVisivel(std::string_view parte, bool latin1) {
    return std::all_of(parte.begin(), parte.end(), [latin1](char c) {
        auto u = static_cast<unsigned char>(c);
        return (u >= 32 && u < 127) || (latin1 && u >= 192);
    });
}

}  // namespace

Regras::Regras(const FormaRegras& forma)
    : listas_(static_cast<size_t>(std::clamp(forma.ultimoCodigo - kPrimeiroCodigo + 1, 0, 256))) {}

bool Regras::acrescenta(Regra regra) {
    if (regra.centro.empty()) return false;
    int c = static_cast<unsigned char>(regra.centro[0]);
    if (c < kPrimeiroCodigo || c - kPrimeiroCodigo >= static_cast<int>(listas_.size())) return false;
    listas_[c - kPrimeiroCodigo].push_back(std::move(regra));
    return true;
}

std::span<const Regra> Regras::lista(unsigned char c) const {
    if (c < kPrimeiroCodigo || c - kPrimeiroCodigo >= static_cast<int>(listas_.size())) return {};
    return listas_[c - kPrimeiroCodigo];
}

size_t Regras::total() const {
    size_t n = 0;
    for (const auto& l : listas_) n += l.size();
    return n;
}

std::optional<Regra> interpretaLinhaRegra(std::string_view linha, const FormaRegras& forma) {
    linha = semFimDeLinha(linha);
    if (forma.comentario != 0 && linha.starts_with(forma.comentario)) return std::nullopt;
    size_t abre = linha.find('(');
    if (abre == std::string_view::npos) return std::nullopt;
    size_t fecha = linha.find(')', abre + 1);
    if (fecha == std::string_view::npos) return std::nullopt;
    size_t igual = linha.find('=', fecha + 1);
    if (igual == std::string_view::npos) return std::nullopt;
    size_t barra = linha.find('|', igual + 1);
    if (barra == std::string_view::npos) return std::nullopt;
    std::string_view esquerda = linha.substr(0, abre);
    std::string_view centro = linha.substr(abre + 1, fecha - abre - 1);
    std::string_view direita = linha.substr(fecha + 1, igual - fecha - 1);
    if (centro.empty() || !soVisivel(esquerda, forma.latin1) || !soVisivel(centro, forma.latin1) ||
        !soVisivel(direita, forma.latin1))
        return std::nullopt;
    return Regra{corta(esquerda, kMaxContexto), corta(centro, kMaxCentro),
                 corta(direita, kMaxContexto),
                 corta(linha.substr(igual + 1, barra - igual - 1), forma.maxSaida)};
}

// Each rule goes to its own centre's list. A rule file whose rules for one letter are not
// contiguous thus loses nothing: every rule still sits in the list that is searched for it.
Regras interpretaRegras(std::istream& texto, const FormaRegras& forma) {
    Regras regras(forma);
    std::string linha;
    while (std::getline(texto, linha))
        if (auto r = interpretaLinhaRegra(linha, forma)) regras.acrescenta(std::move(*r));
    return regras;
}

std::optional<Regras> leRegras(const std::filesystem::path& arquivo, const FormaRegras& forma) {
    if (!arquivoComum(arquivo)) return std::nullopt;
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) return std::nullopt;
    return interpretaRegras(f, forma);
}

Excecoes::Excecoes(std::vector<Excecao> entradas) : entradas_(std::move(entradas)) {
    if (entradas_.size() > kMaximo) entradas_.resize(kMaximo);
    // A stable sort and removing the later duplicates keeps the first entry of a word.
    std::stable_sort(entradas_.begin(), entradas_.end(),
                     [](const Excecao& a, const Excecao& b) { return a.palavra < b.palavra; });
    auto repetidas =
        std::unique(entradas_.begin(), entradas_.end(),
                    [](const Excecao& a, const Excecao& b) { return a.palavra == b.palavra; });
    entradas_.erase(repetidas, entradas_.end());
}

const std::string* Excecoes::procura(std::string_view palavra) const {
    auto it = std::lower_bound(entradas_.begin(), entradas_.end(), palavra,
                               [](const Excecao& e, std::string_view p) { return e.palavra < p; });
    if (it == entradas_.end() || it->palavra != palavra) return nullptr;
    return &it->troca;
}

std::optional<Excecao> interpretaLinhaExcecao(std::string_view linha) {
    linha = semFimDeLinha(linha);
    size_t igual = linha.find('=');
    if (igual == 0 || igual == std::string_view::npos) return std::nullopt;
    std::string_view troca = linha.substr(igual + 1);
    troca = troca.substr(0, troca.find('|'));
    return Excecao{std::string(linha.substr(0, igual)), std::string(troca)};
}

Excecoes interpretaExcecoes(std::istream& texto, bool maiusculas) {
    std::vector<Excecao> entradas;
    std::string linha;
    while (entradas.size() < Excecoes::kMaximo && std::getline(texto, linha)) {
        if (maiusculas) linha = maiusculasLatin1(linha);
        if (auto e = interpretaLinhaExcecao(linha)) entradas.push_back(std::move(*e));
    }
    return Excecoes(std::move(entradas));
}

std::optional<Excecoes> leExcecoes(const std::filesystem::path& arquivo, bool maiusculas) {
    if (!arquivoComum(arquivo)) return std::nullopt;
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) return std::nullopt;
    return interpretaExcecoes(f, maiusculas);
}

std::string trocaPorExcecao(std::string palavra, const Excecoes& excecoes, std::string_view finais) {
    std::string_view raiz = palavra;
    while (!raiz.empty()) {
        if (const std::string* troca = excecoes.procura(raiz))
            return *troca + palavra.substr(raiz.size());
        if (finais.find(raiz.back()) == std::string_view::npos) break;
        raiz.remove_suffix(1);
    }
    return palavra;
}

