#include "speech/tts/uttsPortug.h"

#include <sstream>

#include "speech/tts/uttsExcessoes.h"
#include "speech/tts/uttsLetras.h"
#include "speech/tts/uttsTonica.h"
#include "platform/texto.h"

using namespace letrasTts;

namespace {

// Matches the left context leftwards from `i`.
bool casaEsquerda(const Posicoes& w, std::string_view contexto, int i) {
    for (size_t k = contexto.size(); k-- > 0;) {
        const auto r = static_cast<unsigned char>(contexto[k]);
        const unsigned char c = w.at(i);
        switch (r) {
            case '%':
                if (!w.borda(i)) return false;
                break;
            case '#':
                if (!vogal(c)) return false;
                break;
            case '_':  // a vowel, or the word start without moving
                if (i < 1) continue;
                if (!vogal(c)) return false;
                break;
            case '|':
                if (!em("NRS", c)) return false;
                break;
            case ']':
                if (!aOuO(c)) return false;
                break;
            default:
                if (w.borda(i) || c != r) return false;
        }
        --i;
    }
    return true;
}

// Matches the right context rightwards from `i`.
bool casaDireita(const Posicoes& w, std::string_view contexto, int i) {
    for (char ch : contexto) {
        const auto r = static_cast<unsigned char>(ch);
        const unsigned char c = w.at(i);
        switch (r) {
            case '%':
                if (i <= w.n()) return false;
                break;
            case '#':
                if (!vogal(c)) return false;
                break;
            case '+':
                if (!frontal(c)) return false;
                break;
            case '[':  // looks without moving on
                if (!(i > w.n() || (consoante(c) && c != 'H'))) return false;
                continue;
            case '*':  // looks without moving on
                if (!consoante(c) || em("LR", c)) return false;
                continue;
            case '\\':
                if (c != 'S') continue;
                break;
            case '&':
                if (!sonora(c)) return false;
                break;
            default:
                if (w.borda(i) || c != r) return false;
        }
        ++i;
    }
    return true;
}

bool casaCentro(const Posicoes& w, std::string_view centro, int i) {
    for (size_t k = 0; k < centro.size(); ++k) {
        const int p = i + static_cast<int>(k);
        if (w.borda(p) || w.at(p) != static_cast<unsigned char>(centro[k])) return false;
    }
    return true;
}

const Regra* regraEm(const Posicoes& w, const Regras& regras, int i) {
    for (const Regra& r : regras.lista(w.at(i))) {
        const int depois = i + static_cast<int>(r.centro.size());
        if (casaCentro(w, r.centro, i) && casaEsquerda(w, r.esquerda, i - 1) &&
            casaDireita(w, r.direita, depois))
            return &r;
    }
    return nullptr;
}

// Punctuation that the tokeniser hands over as a word of its own.
constexpr std::string_view kPontuacao = " !(),.:;?";

std::string_view palavraDoItem(std::string_view item) {
    if (item.size() >= 4 && item[3] == '|') return item.substr(4);
    const size_t barra = item.find('|');
    return barra == std::string_view::npos ? item : item.substr(barra + 1);
}

// A phoneme without its stress marks.
std::string_view semMarcas(std::string_view f) {
    while (!f.empty() && (f[0] == '>' || f[0] == PortugTts::kFimTonica)) f.remove_prefix(1);
    return f;
}

}  // namespace

FormaRegras PortugTts::formaRegras() {
    FormaRegras forma;
    forma.ultimoCodigo = 255;
    forma.maxSaida = 20;
    forma.latin1 = true;
    forma.comentario = ';';
    return forma;
}

bool PortugTts::carrega(const std::filesystem::path& regras, const std::filesystem::path& excecoes) {
    auto r = leRegras(regras, formaRegras());
    auto e = leExcecoesTts(excecoes);
    if (!r || !e) return false;
    regras_ = std::move(*r);
    excecoes_ = std::move(*e);
    return true;
}

void PortugTts::carregaTextos(std::string_view regras, std::string_view excecoes) {
    std::istringstream r{std::string(regras)}, e{std::string(excecoes)};
    regras_ = interpretaRegras(r, formaRegras());
    excecoes_ = interpretaExcecoes(e, true);
}

void PortugTts::libera() {
    regras_ = Regras(formaRegras());
    excecoes_ = Excecoes();
}

void PortugTts::convertePalavra(std::string_view original, std::vector<std::string>& saida) const {
    const std::string palavra = aplicaExcecoesTts(std::string(original), excecoes_);
    const int tonica = palavraAtona(palavra) ? 0 : posicaoTonica(palavra);
    const Posicoes w(palavra);
    const size_t inicio = saida.size();
    std::string fonema;
    bool marcada = false;
    auto fecha = [&] {
        if (!fonema.empty()) saida.push_back(std::move(fonema));
        fonema.clear();
    };
    for (int i = 1; i <= w.n();) {
        const Regra* r = regraEm(w, regras_, i);
        if (!r) {  // nothing said for a character no rule covers
            ++i;
            continue;
        }
        for (char c : r->saida) {
            if (c == '&') {
                fecha();
                continue;
            }
            if (!marcada && tonica > 0 && i >= tonica) {
                fonema += '>';
                marcada = true;
            }
            fonema += c;
        }
        fecha();
        i += static_cast<int>(r->centro.size());
    }
    saida.emplace_back();
    // The stressed stretch ends where the next phoneme begins.
    for (size_t k = inicio; k + 1 < saida.size(); ++k)
        if (!saida[k].empty() && saida[k][0] == '>') {
            saida[k + 1].insert(0, 1, kFimTonica);
            break;
        }
}

std::vector<std::string> PortugTts::converte(const std::vector<std::string>& itens) const {
    std::vector<std::string> fonemas;
    acrescentaFonemas(itens, fonemas);
    fonemas.push_back("__");
    ligaPalavras(fonemas);
    return fonemas;
}

void PortugTts::acrescentaFonemas(const std::vector<std::string>& itens,
                                  std::vector<std::string>& fonemas) const {
    for (const std::string& item : itens) {
        fonemas.push_back(";" + item);
        const std::string palavra = maiusculasLatin1(palavraDoItem(item));
        if (palavra.empty()) {
            fonemas.push_back("__");
        } else if (em(kPontuacao, static_cast<unsigned char>(palavra[0]))) {
            if (palavra[0] != ' ') fonemas.push_back(std::string("_") + palavra[0]);
        } else {
            convertePalavra(palavra, fonemas);
        }
    }
}

// The reduced @ counts as a vowel, and a stressed first phoneme as much as an unstressed one.
void ligaPalavras(std::vector<std::string>& f) {
    for (size_t m = 3; m + 1 < f.size(); ++m) {
        if (f[m].empty() || f[m][0] != ';') continue;
        const std::string_view primeiro = semMarcas(f[m + 1]);
        if (primeiro.empty() || !em("aeiouwy@AEIOUWY", static_cast<unsigned char>(primeiro[0])))
            continue;
        std::string& ultimo = f[m - 2];
        const size_t marcas = ultimo.size() - semMarcas(ultimo).size();
        const std::string_view som = std::string_view(ultimo).substr(marcas);
        if (som == "r2") ultimo = ultimo.substr(0, marcas) + "r";
        else if (som == "s2") ultimo = ultimo.substr(0, marcas) + "z";
    }
}
