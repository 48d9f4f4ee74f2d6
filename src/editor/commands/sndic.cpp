#include "editor/commands/sndic.h"

#include <algorithm>
#include <array>

#include "platform/codigos.h"
#include "platform/texto.h"

char minusculaDic(char c) {
    const auto u = static_cast<uint8_t>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return char(u + 32);
    if (u == 0x8A || u == 0x8C || u == 0x8E) return char(u + 16);
    if (u == 0x9F) return char(0xFF);
    return c;
}

std::string formaDic(std::string_view texto) {
    std::string s(texto);
    for (char& c : s) c = minusculaDic(c);
    return s;
}

namespace {

using Tabela = std::array<bool, 256>;

// ASCII letters, the apostrophe, the hyphen and the given accented capitals with their
// small forms.
Tabela tabelaLetras(std::string_view maiusculas) {
    Tabela t{};
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = t[c + 32] = true;
    t['\''] = t['-'] = true;
    for (char c : maiusculas) {
        const auto u = static_cast<uint8_t>(c);
        t[u] = t[u + 32] = true;
    }
    return t;
}

const Tabela kLetrasBloco = tabelaLetras(
    "\xC0\xC1\xC2\xC3\xC7\xC8\xC9\xCA\xCC\xCD\xCE\xD1\xD2\xD3\xD4\xD5\xD9\xDA\xDB\xDC");
const Tabela kLetrasCursor =
    tabelaLetras("\xC0\xC1\xC2\xC3\xC7\xC8\xC9\xCA\xCD\xCE\xD1\xD3\xD4\xD5\xD6\xDA\xDC");

bool vogalInicial(uint8_t c) {
    static const Tabela vogais = [] {
        Tabela t{};
        for (char v : std::string_view("AEIOU")) t[uint8_t(v)] = t[uint8_t(v) + 32] = true;
        for (uint8_t u : {0xC0, 0xC1, 0xC2, 0xC3, 0xC8, 0xC9, 0xCA, 0xCC, 0xCD, 0xCE, 0xD2, 0xD3,
                          0xD4, 0xD5, 0xD9, 0xDA, 0xDB, 0xDC})
            t[u] = t[u + 32] = true;
        return t;
    }();
    return c == '\'' || c == '-' || vogais[c];
}

// Calls `f` with each non-empty stripped line; CR, LF and CR LF all end a line.
template <class F>
void cadaLinha(std::string_view texto, F f) {
    while (!texto.empty()) {
        // A plain scan: find_first_of searches its set once per character.
        size_t fim = 0;
        while (fim < texto.size() && texto[fim] != '\r' && texto[fim] != '\n') ++fim;
        const std::string_view linha = aparaControles(texto.substr(0, fim));
        if (!linha.empty()) f(linha);
        if (fim == texto.size()) break;
        texto.remove_prefix(fim + 1);
    }
}

// A file saved as UTF-8 by mistake is read as the Windows-1252 text it stands for, made
// in `convertido`; any other file is read as it is, without a copy (the start-up load
// reads megabytes).
std::string_view comoWin1252(std::string_view bruto, std::string& convertido) {
    bool acima = false;
    for (size_t pos = 0; pos < bruto.size();) {
        if (static_cast<uint8_t>(bruto[pos]) < 0x80) {
            ++pos;
            continue;
        }
        bool valido = true;
        proximoUtf8(bruto, pos, &valido);
        if (!valido) return bruto;
        acima = true;
    }
    if (!acima) return bruto;
    convertido = utf8ParaWin1252(bruto);
    return convertido;
}

template <class Texto>
void ordenaUnicos(std::vector<Texto>& v) {
    // The generated files come sorted: checking is cheaper than sorting again.
    if (!std::is_sorted(v.begin(), v.end())) std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

template <class Texto>
bool contem(const std::vector<Texto>& v, std::string_view s) {
    return std::binary_search(v.begin(), v.end(), s, std::less<>());
}

// Words one a line, `*` comments skipped: as `Texto` made of each line (a view of `texto`,
// or its folded form).
template <class Texto, class F>
std::vector<Texto> leLista(std::string_view texto, F forma) {
    std::vector<Texto> v;
    v.reserve(static_cast<size_t>(std::count(texto.begin(), texto.end(), '\n')) + 1);
    cadaLinha(texto, [&](std::string_view l) {
        if (l.front() != '*') v.push_back(forma(l));
    });
    ordenaUnicos(v);
    return v;
}

}  // namespace

bool letraBloco(uint8_t c) { return kLetrasBloco[c]; }
bool letraCursor(uint8_t c) { return kLetrasCursor[c]; }

void TDicList::ordena() {
    const auto antes = [](const TDicio& a, const TDicio& b) { return a.radical < b.radical; };
    if (!std::is_sorted(itens_.begin(), itens_.end(), antes))
        std::stable_sort(itens_.begin(), itens_.end(), antes);
}

bool TDicList::Find(std::string_view radical, size_t& indice) const {
    const auto it = std::lower_bound(
        itens_.begin(), itens_.end(), radical,
        [](const TDicio& d, std::string_view r) { return std::string_view(d.radical) < r; });
    indice = static_cast<size_t>(it - itens_.begin());
    return it != itens_.end() && it->radical == radical;
}

bool Dicionario::carrega(std::string_view sufixos, std::string_view dicionario,
                         std::string_view inexistentes, std::string_view nomes,
                         std::string_view sugestoes, const std::string& nomeSugestoes,
                         std::vector<std::string>& mensagens) {
    classes_.clear();
    entradas_ = TDicList();
    classesDasEntradas_.clear();
    nomes_.clear();
    inexistentes_.clear();
    regras_.clear();
    std::string convertido;
    leSufixos(comoWin1252(sufixos, convertido));
    leDicionario(comoWin1252(dicionario, convertido), mensagens);
    inexistentes_ = leLista<std::string>(comoWin1252(inexistentes, convertido), formaDic);
    textoNomes_ = comoWin1252(nomes, convertido);
    nomes_ = leLista<std::string_view>(textoNomes_, [](std::string_view l) { return l; });
    return leRegras(comoWin1252(sugestoes, convertido), nomeSugestoes, mensagens);
}

void Dicionario::leSufixos(std::string_view texto) {
    std::vector<Classe> lidas;
    Classe* atual = nullptr;  // lines before the first class belong to none
    cadaLinha(texto, [&](std::string_view l) {
        if (l.front() == '*') return;
        if (l.front() == '[') {
            l.remove_prefix(1);
            if (!l.empty() && l.back() == ']') l.remove_suffix(1);
            lidas.push_back({formaDic(aparaControles(l)), {}});
            atual = &lidas.back();
        } else if (atual) {
            atual->sufixos.push_back(formaDic(l));
        }
    });
    // A class named twice is one class with the suffixes of both.
    std::stable_sort(lidas.begin(), lidas.end(),
                     [](const Classe& a, const Classe& b) { return a.nome < b.nome; });
    for (Classe& c : lidas) {
        if (!classes_.empty() && classes_.back().nome == c.nome) {
            auto& s = classes_.back().sufixos;
            s.insert(s.end(), c.sufixos.begin(), c.sufixos.end());
        } else {
            classes_.push_back(std::move(c));
        }
    }
    for (Classe& c : classes_) ordenaUnicos(c.sufixos);
}

int Dicionario::achaClasse(std::string_view nome) const {
    const auto it = std::lower_bound(
        classes_.begin(), classes_.end(), nome,
        [](const Classe& c, std::string_view n) { return std::string_view(c.nome) < n; });
    return it != classes_.end() && it->nome == nome ? int(it - classes_.begin()) : -1;
}

void Dicionario::leDicionario(std::string_view texto, std::vector<std::string>& mensagens) {
    std::vector<std::string> desconhecidas;
    // One entry a line: room made once, not grown step by step.
    const size_t linhas = static_cast<size_t>(std::count(texto.begin(), texto.end(), '\n')) + 1;
    entradas_.reserva(linhas);
    classesDasEntradas_.reserve(linhas * 2);
    cadaLinha(texto, [&](std::string_view l) {
        if (l.front() == '*') return;
        TDicio d;
        d.primeiraClasse = static_cast<uint32_t>(classesDasEntradas_.size());
        const size_t espaco = l.find(' ');
        d.radical = formaDic(l.substr(0, espaco));
        std::string_view lista = espaco == std::string_view::npos ? "=" : aparaControles(l.substr(espaco));
        while (!lista.empty()) {
            const size_t fim = lista.find(' ');
            const std::string_view token = lista.substr(0, fim);
            const std::string nome = formaDic(token);
            lista = fim == std::string_view::npos ? std::string_view() : aparaControles(lista.substr(fim));
            if (nome.empty()) continue;
            if (nome == "=") {
                d.proprio = true;
            } else if (const int c = achaClasse(nome); c >= 0) {
                classesDasEntradas_.push_back(c);
                ++d.nClasses;
            } else if (!contem(desconhecidas, nome)) {
                // Said once per class name, not once per line that names it.
                desconhecidas.insert(
                    std::upper_bound(desconhecidas.begin(), desconhecidas.end(), nome), nome);
                mensagens.push_back("problemas no dicion\xE1rio: " + std::string(token));
            }
        }
        entradas_.adiciona(std::move(d));
    });
    entradas_.ordena();
}

bool Dicionario::leRegras(std::string_view texto, const std::string& nome,
                          std::vector<std::string>& mensagens) {
    bool certo = true;
    cadaLinha(texto, [&](std::string_view l) {
        if (!certo) return;
        const size_t igual = l.find('=');
        if (igual == std::string_view::npos || igual == 0) {
            mensagens.push_back("\a\aLinha errada no arquivo " + nome + ": " + std::string(l));
            certo = false;
            return;
        }
        regras_.push_back({std::string(aparaControles(l.substr(0, igual))),
                           std::string(aparaControles(l.substr(igual + 1).substr(0, 99)))});
    });
    return certo;
}

bool Dicionario::formaDaEntrada(const TDicio& d, std::string_view resto) const {
    if (resto.empty()) return d.proprio;
    for (uint32_t i = d.primeiraClasse; i < d.primeiraClasse + d.nClasses; ++i)
        if (contem(classes_[size_t(classesDasEntradas_[i])].sufixos, resto)) return true;
    return false;
}

bool Dicionario::verificaPalavra(std::string_view palavra) const {
    if (verificaInteira(palavra)) return true;
    // A hyphenated word the files do not hold is right when it splits at hyphens into
    // pieces that are (ex-aluno, navio-escola, ex-guarda-chuva). A piece after a hyphen has
    // three letters at least: shorter ones are pronouns and letters, and the verb forms that
    // take pronouns (dá-lo-ia) are in the files whole, so a slip in them is not let through.
    // certo[k]: the text before the k-th hyphen splits so. A piece spans at most a few
    // hyphens, as the longest compounds of the files do, which keeps a run of hyphens cheap.
    constexpr size_t kHifensPorPedaco = 4, kMinimoDepoisDoHifen = 3;
    std::vector<size_t> inicios{0};  // where a piece may begin: the start, after each hyphen
    for (size_t i = 0; i < palavra.size(); ++i)
        if (palavra[i] == '-') inicios.push_back(i + 1);
    if (inicios.size() == 1) return false;
    std::vector<bool> certo(inicios.size() + 1, false);
    certo[0] = true;
    for (size_t fim = 1; fim <= inicios.size(); ++fim) {
        const size_t ate = fim < inicios.size() ? inicios[fim] - 1 : palavra.size();
        for (size_t k = fim - std::min(fim, kHifensPorPedaco + 1); k < fim && !certo[fim]; ++k)
            certo[fim] = certo[k] && ate >= inicios[k] + (k == 0 ? 1 : kMinimoDepoisDoHifen) &&
                         verificaInteira(palavra.substr(inicios[k], ate - inicios[k]));
    }
    return certo.back();
}

void Dicionario::definePessoais(const std::vector<std::string>& palavras) {
    pessoais_.clear();
    for (const std::string& p : palavras) pessoais_.push_back(formaDic(p));
    ordenaUnicos(pessoais_);
}

bool Dicionario::adicionaPessoal(std::string_view palavra) {
    std::string p = formaDic(palavra);
    const auto it = std::lower_bound(pessoais_.begin(), pessoais_.end(), p);
    if (it != pessoais_.end() && *it == p) return false;
    pessoais_.insert(it, std::move(p));
    return true;
}

bool Dicionario::verificaInteira(std::string_view palavra) const {
    if (contem(nomes_, palavra)) return true;
    const std::string p = formaDic(palavra);
    // The user's word wins over a form the files call wrong.
    if (contem(pessoais_, p)) return true;
    if (contem(inexistentes_, p)) return false;
    for (size_t n = p.size(); n > 0; --n) {
        size_t i = 0;
        if (entradas_.Find(std::string_view(p).substr(0, n), i) &&
            formaDaEntrada(entradas_[i], std::string_view(p).substr(n)))
            return true;
    }
    return false;
}

std::vector<std::string> Dicionario::sugestoes(std::string_view palavra) const {
    std::vector<std::string> lista, chaves;  // chaves: the folded forms, kept sorted
    auto ofereca = [&](std::string candidato) {
        if (!verificaPalavra(candidato)) return;
        std::string chave = formaDic(candidato);
        const auto it = std::lower_bound(chaves.begin(), chaves.end(), chave);
        if (it != chaves.end() && *it == chave) return;
        lista.insert(lista.begin() + (it - chaves.begin()), std::move(candidato));
        chaves.insert(it, std::move(chave));
    };
    if (palavra.empty()) return lista;
    if (verificaPalavra(palavra))
        ofereca(std::string(palavra));
    else
        ofereca(maiusculasLatin1(palavra));
    if (vogalInicial(static_cast<uint8_t>(palavra[0]))) {
        ofereca(maiusculasLatin1(palavra.substr(0, 1)) + std::string(palavra.substr(1)));
        ofereca("h" + std::string(palavra));
    }
    for (size_t p = 0; p < palavra.size(); ++p) {
        const std::string_view resto = palavra.substr(p);
        for (const Regra& r : regras_)
            if (resto.starts_with(r.esquerda))
                ofereca(std::string(palavra.substr(0, p)) + r.direita +
                        std::string(resto.substr(r.esquerda.size())));
    }
    return lista;
}
