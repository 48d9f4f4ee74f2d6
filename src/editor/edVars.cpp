#include "editor/edVars.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

TipoTexto::TipoTexto(int capacidade) : capacidade_(capacidade) {
    linhas_.reserve(static_cast<size_t>(capacidade));
}

TipoTexto::TipoTexto(const TipoTexto& outro)
    : linhas_(outro.linhas_.size()),
      bloco_(outro.bloco_),
      capacidade_(outro.capacidade_),
      versao_(outro.versao_) {
    for (size_t i = 0; i < linhas_.size(); ++i) {
        const Linha& l = outro.linhas_[i];
        linhas_[i].inicio = l.inicio;
        linhas_[i].tamanho = l.tamanho;
        if (l.propria) linhas_[i].propria = std::make_unique<std::string>(*l.propria);
    }
}

TipoTexto& TipoTexto::operator=(const TipoTexto& outro) {
    if (this != &outro) *this = TipoTexto(outro);
    return *this;
}

const std::string& TipoTexto::linha(int i) const {
    static const std::string vazia;
    if (i < 1 || i > nLinhas()) return vazia;
    const Linha& l = linhas_[static_cast<size_t>(i - 1)];
    if (!l.propria) {
        if (l.tamanho == 0) return vazia;
        l.propria = std::make_unique<std::string>(&bloco_[l.inicio], l.tamanho);
    }
    return *l.propria;
}

std::string_view TipoTexto::vista(int i) const {
    if (i < 1 || i > nLinhas()) return {};
    const Linha& l = linhas_[static_cast<size_t>(i - 1)];
    if (l.propria) return *l.propria;
    return l.tamanho == 0 ? std::string_view() : std::string_view(&bloco_[l.inicio], l.tamanho);
}

void TipoTexto::trocaLinha(int i, std::string_view texto) {
    if (i < 1 || i > nLinhas()) return;
    texto = texto.substr(0, kMaxLinha);
    if (vista(i) == texto) return;  // the same text: nothing changed
    anotaTroca(i, 1, 1, false);
    ++versao_;
    Linha& l = linhas_[static_cast<size_t>(i - 1)];
    if (!l.propria) {
        l.propria = std::make_unique<std::string>(texto);
        return;
    }
    l.propria->assign(texto);
    l.propria->shrink_to_fit();
}

// Room for one more line in a text of `linhas` lines.
bool TipoTexto::abreEspaco(int linhas) {
    bool folgada = true;
    if (capacidade_ <= linhas + 10) capacidade_ = linhas + 50000;
    if (capacidade_ <= linhas + 1) {
        capacidade_ = linhas + 1000;
        folgada = false;
    }
    return folgada;
}

bool TipoTexto::insere(int i, std::string_view texto) {
    const bool folgada = abreEspaco(nLinhas());
    i = std::clamp(i, 1, nLinhas() + 1);
    anotaTroca(i, 0, 1, texto.empty());
    ++versao_;
    Linha nova;
    nova.propria = std::make_unique<std::string>(texto.substr(0, kMaxLinha));
    linhas_.insert(linhas_.begin() + (i - 1), std::move(nova));
    return folgada;
}

bool TipoTexto::acrescentaLida(std::string_view texto) {
    texto = texto.substr(0, kMaxLinha);
    // Offsets are 32-bit: past 4 GB of text a line keeps its own string.
    if (bloco_.size() + texto.size() > UINT32_MAX) return insere(nLinhas() + 1, texto);
    const bool folgada = abreEspaco(nLinhas());
    if (registra_) diario_.perdido = true;  // only a load reads lines in
    ++versao_;
    Linha nova;
    nova.inicio = static_cast<uint32_t>(bloco_.size());
    nova.tamanho = static_cast<uint8_t>(texto.size());
    bloco_.insert(bloco_.end(), texto.begin(), texto.end());
    linhas_.push_back(std::move(nova));
    return folgada;
}

void TipoTexto::reservaLidas(size_t linhas, size_t bytes) {
    linhas_.reserve(linhas_.size() + linhas);
    bloco_.reserve(bloco_.size() + bytes);
}

void TipoTexto::remove(int i) {
    if (i < 1 || i > nLinhas()) return;
    anotaTroca(i, 1, 0, false);
    ++versao_;
    linhas_.erase(linhas_.begin() + (i - 1));
}

bool TipoTexto::insere(int i, std::span<const std::string> textos) {
    ++versao_;
    bool folgada = true;
    for (size_t k = 0; k < textos.size(); ++k)
        folgada = abreEspaco(nLinhas() + static_cast<int>(k)) && folgada;
    i = std::clamp(i, 1, nLinhas() + 1);
    anotaTroca(i, 0, static_cast<int>(textos.size()), textos.size() == 1 && textos[0].empty());
    std::vector<Linha> novas(textos.size());
    for (size_t k = 0; k < textos.size(); ++k)
        novas[k].propria =
            std::make_unique<std::string>(std::string_view(textos[k]).substr(0, kMaxLinha));
    linhas_.insert(linhas_.begin() + (i - 1), std::make_move_iterator(novas.begin()),
                   std::make_move_iterator(novas.end()));
    return folgada;
}

void TipoTexto::remove(int i, int n) {
    if (i < 1 || i > nLinhas() || n <= 0) return;
    ++versao_;
    n = std::min(n, nLinhas() - i + 1);
    anotaTroca(i, n, 0, false);
    linhas_.erase(linhas_.begin() + (i - 1), linhas_.begin() + (i - 1 + n));
}

void TipoTexto::reordena(int primeira, std::span<const int> ordem) {
    if (primeira < 1 || primeira - 1 + static_cast<int>(ordem.size()) > nLinhas()) return;
    anotaReordena(primeira, ordem);
    ++versao_;
    const auto base = linhas_.begin() + (primeira - 1);
    std::vector<Linha> antes(std::make_move_iterator(base),
                             std::make_move_iterator(base + static_cast<long>(ordem.size())));
    for (size_t k = 0; k < ordem.size(); ++k)
        base[static_cast<long>(k)] = std::move(antes[static_cast<size_t>(ordem[k])]);
}

void TipoTexto::move(int de, int n, int para) {
    if (de < 1 || n <= 0 || de + n - 1 > nLinhas() || para < 1 || para > nLinhas() + 1) return;
    anotaMove(de, n, para);
    ++versao_;
    const auto inicio = linhas_.begin() + (de - 1), fim = inicio + n;
    const auto alvo = linhas_.begin() + (para - 1);
    if (para < de) std::rotate(alvo, inicio, fim);
    else if (para > de + n - 1) std::rotate(inicio, fim, alvo);
}

void TipoTexto::substitui(int de, int quantas, std::vector<std::string> novas) {
    ++versao_;
    de = std::clamp(de, 1, nLinhas() + 1);
    quantas = std::clamp(quantas, 0, nLinhas() + 1 - de);
    const size_t n = static_cast<size_t>(quantas), k = novas.size();
    anotaTroca(de, quantas, static_cast<int>(k), k == 1 && novas[0].empty());
    const auto inicio = linhas_.begin() + (de - 1);
    for (size_t i = 0; i < std::min(n, k); ++i) {
        novas[i].resize(std::min(novas[i].size(), kMaxLinha));
        inicio[static_cast<long>(i)].propria = std::make_unique<std::string>(std::move(novas[i]));
    }
    if (k < n) {
        linhas_.erase(inicio + static_cast<long>(k), inicio + static_cast<long>(n));
        return;
    }
    std::vector<Linha> mais(k - n);
    for (size_t i = n; i < k; ++i)
        mais[i - n].propria =
            std::make_unique<std::string>(std::string_view(novas[i]).substr(0, kMaxLinha));
    if (capacidade_ <= nLinhas() + static_cast<int>(mais.size()) + 10)
        capacidade_ = nLinhas() + static_cast<int>(mais.size()) + 50000;
    linhas_.insert(inicio + static_cast<long>(n), std::make_move_iterator(mais.begin()),
                   std::make_move_iterator(mais.end()));
}

void TipoTexto::liberaTexto() {
    // The memory goes back as well: the next text may be a short one.
    ++versao_;
    if (registra_) diario_ = {{}, true};
    decltype(linhas_)().swap(linhas_);
    decltype(bloco_)().swap(bloco_);
}

bool EdVars::insereNaLinhaAtual(std::string_view t) {
    bool folgada = texto.insere(linhaAtual, t);
    colunaAtual = static_cast<int>(texto.vista(linhaAtual).size()) + 1;
    if (linhaAtual < inicioBloco) ++inicioBloco;
    if (linhaAtual <= fimBloco) ++fimBloco;
    if (linhaAtual < linhaMemorizada) ++linhaMemorizada;
    return folgada;
}

bool EdVars::insereVariasNaLinhaAtual(const std::vector<std::string>& textos) {
    const bool folgada = insereLinhas(linhaAtual, textos);
    linhaAtual += static_cast<int>(textos.size());
    return folgada;
}

bool EdVars::removeLinhaAtual() {
    linhaRemovida = texto.vista(linhaAtual);
    colunaAtual = 1;
    if (linhaAtual >= nLinhas()) {
        // The line's text is gone even though the line stays: the marks and a position
        // memorised on it follow as for any removed line.
        trocaLinha(linhaAtual, "");
        if (linhaAtual < inicioBloco) --inicioBloco;
        if (linhaAtual <= fimBloco) --fimBloco;
        if (linhaAtual == linhaMemorizada) {
            linhaMemorizada = 1;
            colunaMemorizada = 1;
        }
        return true;
    }
    retiraLinha(linhaAtual);
    return false;
}

void EdVars::retiraLinha(int i) {
    if (i < 1 || i > nLinhas()) return;
    texto.remove(i);
    if (nLinhas() == 0) texto.insere(1, "");
    if (i < inicioBloco) --inicioBloco;
    if (i <= fimBloco) --fimBloco;
    if (i == linhaMemorizada) {
        linhaMemorizada = 1;
        colunaMemorizada = 1;
    } else if (i < linhaMemorizada) {
        --linhaMemorizada;
    }
}

bool EdVars::insereLinhas(int i, std::span<const std::string> linhas) {
    const int n = static_cast<int>(linhas.size());
    const bool folgada = texto.insere(i, linhas);
    if (i < inicioBloco) inicioBloco += n;
    if (i <= fimBloco) fimBloco += n;
    if (i < linhaMemorizada) linhaMemorizada += n;
    return folgada;
}

void EdVars::removeLinhas(int i, int n) {
    n = std::min(n, nLinhas() - i);  // the last line stays
    if (i < 1 || n <= 0) return;
    linhaRemovida = texto.vista(i + n - 1);
    texto.remove(i, n);
    // Each removal at line i moves a mark below it up by one, down to line i itself.
    if (i < inicioBloco) inicioBloco = std::max(i, inicioBloco - n);
    if (i <= fimBloco) fimBloco = std::max(i - 1, fimBloco - n);
    if (linhaMemorizada >= i + n) {
        linhaMemorizada -= n;
    } else if (linhaMemorizada >= i) {
        linhaMemorizada = 1;
        colunaMemorizada = 1;
    }
}

namespace {

// The folding table of codes 128..255.
constexpr std::array<uint8_t, 128> tabelaBusca() {
    std::array<uint8_t, 128> t{};
    for (auto& c : t) c = 254;
    auto poe = [&t](std::initializer_list<int> codigos, uint8_t letra) {
        for (int c : codigos) t[static_cast<size_t>(c - 128)] = letra;
    };
    // The accented letters of the DOS code page first; Windows-1252 letters win where
    // both use a code.
    poe({128, 135}, 'C');
    poe({129, 150, 151, 154, 163}, 'U');
    poe({130, 136, 137, 138, 144}, 'E');
    poe({131, 132, 133, 134, 142, 143, 160}, 'A');
    poe({139, 140, 141, 161}, 'I');
    poe({147, 148, 149, 153, 162}, 'O');
    poe({152}, 'Y');
    poe({164, 165}, 'N');
    poe({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5}, 'A');
    poe({0xC7, 0xE7}, 'C');
    poe({0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB}, 'E');
    poe({0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF}, 'I');
    poe({0xD1, 0xF1}, 'N');
    poe({0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6}, 'O');
    poe({0xD9, 0xDA, 0xDB, 0xDC, 0xF9, 0xFA, 0xFB, 0xFC}, 'U');
    poe({0xDD, 0xFD}, 'Y');
    poe({0xD7, 0xF7}, 'X');
    poe({0xC6, 0xE6}, 145);
    return t;
}
constexpr std::array<uint8_t, 128> kTabelaBusca = tabelaBusca();

}  // namespace

std::string formaBusca(std::string_view texto) {
    std::string s(texto);
    for (char& ch : s) {
        uint8_t c = static_cast<uint8_t>(ch);
        if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
        else if (c >= 128) c = kTabelaBusca[c - 128];
        ch = static_cast<char>(c);
    }
    return s;
}
