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
    ++versao_;
    Linha& l = linhas_[static_cast<size_t>(i - 1)];
    if (!l.propria) {
        l.propria = std::make_unique<std::string>(texto);
        return;
    }
    l.propria->assign(texto);
    l.propria->shrink_to_fit();
}

bool TipoTexto::abreEspaco() {
    bool folgada = true;
    if (capacidade_ <= nLinhas() + 10) capacidade_ = nLinhas() + 50000;
    if (capacidade_ <= nLinhas() + 1) {
        capacidade_ = nLinhas() + 1000;
        folgada = false;
    }
    return folgada;
}

bool TipoTexto::insere(int i, std::string_view texto) {
    const bool folgada = abreEspaco();
    i = std::clamp(i, 1, nLinhas() + 1);
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
    const bool folgada = abreEspaco();
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
    ++versao_;
    linhas_.erase(linhas_.begin() + (i - 1));
}

void TipoTexto::liberaTexto() {
    // The memory goes back as well: the next text may be a short one.
    ++versao_;
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

bool EdVars::removeLinhaAtual() {
    linhaRemovida = texto.vista(linhaAtual);
    colunaAtual = 1;
    if (linhaAtual >= nLinhas()) {
        trocaLinha(linhaAtual, "");
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
