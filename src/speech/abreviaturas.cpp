#include "speech/abreviaturas.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "platform/caminhos.h"
#include "platform/texto.h"
#include "speech/tts/uttsLetras.h"

namespace {

bool letra(char c) { return letrasTts::letra(static_cast<unsigned char>(c)); }

bool soConsoantes(std::string_view palavra) {
    return std::all_of(palavra.begin(), palavra.end(),
                       [](char c) { return letrasTts::consoante(static_cast<unsigned char>(c)); });
}

// A blank, a tab, a line end or the end of the text: what may follow a full stop that ends
// an abbreviation or a sentence.
bool separador(std::string_view depois) {
    return depois.empty() || static_cast<unsigned char>(depois[0]) <= ' ';
}

bool maiuscula(char c) { return letra(c) && maiuscula1252(c) == c && minuscula1252(c) != c; }

}  // namespace

std::string leBrisatts(const LeIniFala& leIni, const char* chave, const char* padrao) {
    const std::string v(apara(leIni("BRISATTS", chave)));
    return v.empty() ? std::string(padrao) : v;
}

std::string arquivoDaPastaBrisatts(const LeIniFala& leIni, std::string_view nome) {
    const std::string dir = pastaComBarra(leBrisatts(leIni, "DIR", "\\ornato\\brisatts\\"));
    return arquivoWindows(dir + std::string(nome)).string();
}

std::string arquivoBrisatts(const LeIniFala& leIni, std::string_view extensao) {
    return arquivoDaPastaBrisatts(leIni,
                                  leBrisatts(leIni, "BASE", "portug") + std::string(extensao));
}

bool Abreviaturas::carrega(const std::filesystem::path& arquivo) {
    lista_.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(arquivo, ec)) return false;
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) return false;
    const std::string texto((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    carregaTexto(texto);
    return true;
}

void Abreviaturas::carregaTexto(std::string_view texto) {
    lista_.clear();
    size_t pos = 0;
    while (pos < texto.size()) {
        size_t fim = texto.find('\n', pos);
        if (fim == std::string_view::npos) fim = texto.size();
        const std::string_view linha = apara(texto.substr(pos, fim - pos));
        pos = fim + 1;
        const size_t igual = linha.find('=');
        if (linha.empty() || linha[0] == ';' || igual == std::string_view::npos) continue;
        std::string chave = maiusculasLatin1(apara(linha.substr(0, igual)));
        const bool fechaFrase = chave.ends_with('.');
        if (fechaFrase) chave.pop_back();
        if (!chave.empty())
            lista_.push_back({std::move(chave), std::string(apara(linha.substr(igual + 1))), fechaFrase});
    }
}

const Abreviaturas::Entrada* Abreviaturas::procura(std::string_view palavra) const {
    const std::string chave = maiusculasLatin1(palavra);
    for (const Entrada& e : lista_)
        if (e.chave == chave) return &e;
    return nullptr;
}

const std::string* Abreviaturas::expansao(std::string_view palavra) const {
    const Entrada* e = procura(palavra);
    return e ? &e->expansao : nullptr;
}

std::optional<LeituraAbreviatura> Abreviaturas::leitura(std::string_view palavra,
                                                         std::string_view depois) const {
    const bool ponto = depois.starts_with('.');
    return leitura(palavra, ponto, ponto ? depois.substr(1) : std::string_view{});
}

std::optional<LeituraAbreviatura> Abreviaturas::leitura(std::string_view palavra, bool ponto,
                                                         std::string_view aposPonto) const {
    const bool consoantes = soConsoantes(palavra);
    if (!consoantes && !(ponto && separador(aposPonto))) return std::nullopt;
    const Entrada* e = procura(palavra);
    if (!e) return std::nullopt;
    const std::string_view seguinte = ponto ? apara(aposPonto) : std::string_view{};
    const bool fimDeFrase = seguinte.empty() || (e->fechaFrase && maiuscula(seguinte[0]));
    return LeituraAbreviatura{e->expansao, ponto && !fimDeFrase};
}

bool Abreviaturas::pontoDeAbreviatura(std::string_view antes, std::string_view depois) const {
    size_t inicio = antes.size();
    while (inicio > 0 && letra(antes[inicio - 1])) --inicio;
    if (inicio == antes.size()) return false;
    const auto a = leitura(antes.substr(inicio), true, depois);
    return a && a->levaPonto;
}

std::string Abreviaturas::expande(std::string_view texto) const {
    if (texto.size() <= 1 || lista_.empty()) return std::string(texto);
    std::string saida;
    for (size_t i = 0; i < texto.size();) {
        if (!letra(texto[i])) {
            saida += texto[i++];
            continue;
        }
        size_t fim = i;
        while (fim < texto.size() && letra(texto[fim])) ++fim;
        const std::string_view palavra = texto.substr(i, fim - i);
        if (auto a = leitura(palavra, texto.substr(fim))) {
            saida += a->expansao;
            if (a->levaPonto) ++fim;
        } else {
            saida += palavra;
        }
        i = fim;
    }
    return saida;
}
