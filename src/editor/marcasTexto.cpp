#include "editor/marcasTexto.h"

#include <array>
#include <charconv>

namespace {

struct NomeMarca {
    std::string_view nome;
    TipoMarca tipo;
    bool temValor;
    std::string_view chave;  // the announcement of marks without a value
};

constexpr std::array<NomeMarca, 13> kMarcas = {{
    {"TF", TipoMarca::Fonte, true, ""},
    {"SF", TipoMarca::Tamanho, true, ""},
    {"CE", TipoMarca::Cor, true, ""},
    {"AF", TipoMarca::Justificado, false, "EDALIJUS"},
    {"C", TipoMarca::Centrado, false, "EDALICEN"},
    {"AL", TipoMarca::Esquerda, false, "EDALIESQ"},
    {"AR", TipoMarca::Direita, false, "EDALIDIR"},
    {"IN", TipoMarca::NegritoLiga, false, "EDININEG"},
    {"FN", TipoMarca::NegritoDesliga, false, "EDFIMNEG"},
    {"II", TipoMarca::ItalicoLiga, false, "EDINIITA"},
    {"FI", TipoMarca::ItalicoDesliga, false, "EDFIMITA"},
    {"IS", TipoMarca::SublinhadoLiga, false, "EDINISUB"},
    {"FS", TipoMarca::SublinhadoDesliga, false, "EDFIMSUB"},
}};

constexpr std::array<std::string_view, 17> kCores = {
    "EDAUTOMA", "EDPRETO",  "EDAZUL",   "EDTURQUE", "EDVERCLA", "EDROSA",
    "EDVERMEL", "EDAMAREL", "EDBRANCO", "EDAZUESC", "EDCERCET", "EDVERDE",
    "EDVIOLET", "EDVERESC", "EDAMAESC", "EDCINZ50", "EDCINZ25"};

// Mark names are compared in upper case; only ASCII letters can appear in them.
bool mesmoNome(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != b[i]) return false;
    }
    return true;
}

// A whole number, optionally signed; 0 for anything else (also when it does not fit).
int numeroDoValor(std::string_view v) {
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    int n = 0;
    auto [fim, erro] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || erro != std::errc{} || fim != v.data() + v.size()) return 0;
    return n;
}

const NomeMarca* procuraNome(std::string_view nome, bool temValor) {
    for (const NomeMarca& n : kMarcas)
        if (n.temValor == temValor && mesmoNome(nome, n.nome)) return &n;
    return nullptr;
}

}  // namespace

std::string_view chaveDoTipo(TipoMarca tipo) {
    for (const NomeMarca& n : kMarcas)
        if (n.tipo == tipo) return n.chave;
    return {};
}

std::optional<Marca> reconheceMarca(std::string_view texto) {
    if (texto.size() < 3 || texto.front() != '<' || texto.back() != '>') return std::nullopt;
    const std::string_view dentro = texto.substr(1, texto.size() - 2);
    const size_t igual = dentro.find('=');
    const bool temValor = igual != std::string_view::npos;
    const NomeMarca* nome = procuraNome(dentro.substr(0, igual), temValor);
    if (!nome) return std::nullopt;
    Marca m{nome->tipo, {}, 0};
    if (temValor) {
        m.valor = dentro.substr(igual + 1);
        m.numero = numeroDoValor(m.valor);
    }
    return m;
}

std::string_view chaveCor(int n) {
    if (n < 0 || n >= static_cast<int>(kCores.size())) return {};
    return kCores[static_cast<size_t>(n)];
}

void atualizaFormatacao(EstadoFormatacao& estado, const Marca& m, std::string_view texto) {
    switch (m.tipo) {
        case TipoMarca::Fonte:
            estado.fonte = texto;
            break;
        case TipoMarca::Tamanho:
            estado.tamanho = texto;
            break;
        case TipoMarca::Cor:
            estado.cor = texto;
            break;
        case TipoMarca::Justificado:
        case TipoMarca::Centrado:
        case TipoMarca::Esquerda:
        case TipoMarca::Direita:
            estado.alinhamento = texto;
            break;
        case TipoMarca::NegritoLiga:
            estado.negrito = true;
            break;
        case TipoMarca::NegritoDesliga:
            estado.negrito = false;
            break;
        case TipoMarca::ItalicoLiga:
            estado.italico = true;
            break;
        case TipoMarca::ItalicoDesliga:
            estado.italico = false;
            break;
        case TipoMarca::SublinhadoLiga:
            estado.sublinhado = true;
            break;
        case TipoMarca::SublinhadoDesliga:
            estado.sublinhado = false;
            break;
    }
}

size_t fimDaMarca(std::string_view texto, size_t inicio) {
    return texto.find('>', inicio + 1);
}

std::string semMarcas(std::string_view texto, std::vector<int>* colunas) {
    std::string s;
    s.reserve(texto.size());
    if (colunas) colunas->clear();
    auto copia = [&](size_t de, size_t ate) {
        s += texto.substr(de, ate - de);
        if (colunas)
            for (size_t k = de; k < ate; ++k) colunas->push_back(static_cast<int>(k) + 1);
    };
    size_t i = 0;
    while (i < texto.size()) {
        const size_t abre = texto.find('<', i);
        const size_t fim = abre == std::string_view::npos ? abre : fimDaMarca(texto, abre);
        if (fim == std::string_view::npos) break;
        copia(i, abre);
        if (!reconheceMarca(texto.substr(abre, fim - abre + 1))) copia(abre, fim + 1);
        i = fim + 1;
    }
    copia(i, texto.size());
    return s;
}
