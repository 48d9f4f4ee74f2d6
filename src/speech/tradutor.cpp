#include "speech/tradutor.h"

#include <algorithm>

namespace {

constexpr std::string_view kVogais = "aeiouAEIOU";
constexpr std::string_view kAcentos = "\"'^`~";

bool em(std::string_view conjunto, unsigned char c) {
    return c != 0 && conjunto.find(static_cast<char>(c)) != std::string_view::npos;
}

unsigned char maiuscula(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
unsigned char minuscula(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool branco(unsigned char c) {
    return c <= ' ';
}

// Codes 128..255: Windows Latin-1 and DOS code page 437 letters become the base letter
// followed by the mark; what is not listed becomes a blank.
std::string_view dobraAlto(unsigned char c) {
    switch (c) {
        case 133:
        case 192:
        case 224:
            return "a`";
        case 134:
        case 143:
        case 160:
        case 193:
        case 225:
            return "a'";
        case 131:
        case 194:
        case 226:
            return "a^";
        case 132:
        case 142:
        case 195:
        case 196:
        case 227:
        case 228:
            return "a~";
        case 197:
        case 229:
            return "a";
        case 145:
        case 198:
        case 230:
            return "ae";
        case 128:
        case 135:
        case 199:
        case 231:
            return "ss";
        case 138:
        case 200:
        case 232:
            return "e`";
        case 130:
        case 144:
        case 201:
        case 233:
            return "e'";
        case 136:
        case 202:
        case 234:
            return "e^";
        case 137:
        case 203:
        case 235:
            return "e\"";
        case 141:
        case 204:
        case 236:
            return "i`";
        case 161:
        case 205:
        case 237:
            return "i'";
        case 140:
        case 206:
        case 238:
            return "i^";
        case 139:
        case 207:
        case 239:
            return "i\"";
        case 164:
        case 165:
        case 209:
        case 241:
            return "nh";
        case 149:
        case 210:
        case 214:
        case 242:
        case 246:
            return "o`";
        case 162:
        case 211:
        case 243:
            return "o'";
        case 147:
        case 212:
        case 244:
            return "o^";
        case 148:
        case 153:
        case 213:
        case 245:
            return "o~";
        case 151:
        case 217:
        case 249:
            return "u`";
        case 163:
        case 218:
        case 250:
            return "u'";
        case 150:
        case 219:
        case 251:
            return "u^";
        case 129:
        case 154:
        case 220:  // the Windows letters too: the diaeresis marks a sounded u (frequente)
        case 252:
            return "u\"";
        case 215:
        case 247:
            return "x";
        case 216:
        case 248:
            return "0";
        case 152:
            return "y-";
        case 146:
            return "-";
        case 167:
            return "\xA7";
        case 168:
        case 191:
            return "?";
        case 171:
            return "\xAA";
        case 173:
            return "!";
        case 174:
        case 175:
            return "\"";
        case 187:
            return "\xBA";
        default:
            return " ";
    }
}

// The letter at position i of the word (which keeps its case), upper-cased.
unsigned char maior(const Posicoes& w, int i) { return maiuscula(w.at(i)); }

bool vogalOuAcento(unsigned char c) {
    return ehVogal(c) || ehAcento(c);
}

// Matches the left context leftwards from `i`.
bool casaEsquerda(const Posicoes& w, std::string_view contexto, int i) {
    for (size_t k = contexto.size(); k-- > 0;) {
        char r = contexto[k];
        switch (r) {
            case '%':
                if (i > 0) return false;
                --i;
                break;
            case '#':
                if (!vogalOuAcento(w.at(i))) return false;
                while (vogalOuAcento(w.at(i))) --i;
                break;
            case '_':
                if (i <= 0 || ehVogal(w.at(i)))
                    --i;
                else if (ehAcento(w.at(i)) && ehVogal(w.at(i - 1)))
                    i -= 2;
                else
                    return false;
                break;
            case '|':
                if (!em("NRS", maior(w, i))) return false;
                --i;
                break;
            case ']':
                if (em("AO", maior(w, i)))
                    --i;
                else if (ehAcento(w.at(i)) && em("AO", maior(w, i - 1)))
                    i -= 2;
                else
                    return false;
                break;
            default:
                if (w.borda(i) || maior(w, i) != static_cast<unsigned char>(r)) return false;
                --i;
        }
    }
    return true;
}

// Matches the right context rightwards from `i`.
bool casaDireita(const Posicoes& w, std::string_view contexto, int i) {
    for (char r : contexto) {
        switch (r) {
            case '%':
                if (i <= w.n()) return false;
                ++i;
                break;
            case '#':
                if (!vogalOuAcento(w.at(i))) return false;
                while (vogalOuAcento(w.at(i))) ++i;
                break;
            case '+':
                if (!em("EI", maior(w, i))) return false;
                ++i;
                if (ehAcento(w.at(i))) ++i;
                break;
            case '[':  // looks without moving on
                if (!(i > w.n() || (ehConsoante(w.at(i)) && maior(w, i) != 'H'))) return false;
                break;
            case '*':  // looks without moving on
                if (!ehConsoante(w.at(i)) || em("RL", maior(w, i))) return false;
                break;
            case '\\':
                if (maior(w, i) == 'S') ++i;
                break;
            case '&':
                if (!em("LNMRZ", maior(w, i))) return false;
                ++i;
                break;
            default:
                if (w.borda(i) || maior(w, i) != static_cast<unsigned char>(r)) return false;
                ++i;
        }
    }
    return true;
}

bool casaCentro(const Posicoes& w, std::string_view centro, int i) {
    for (size_t k = 0; k < centro.size(); ++k) {
        int p = i + static_cast<int>(k);
        if (w.borda(p) || maior(w, p) != static_cast<unsigned char>(centro[k])) return false;
    }
    return true;
}

const Regra* regraEm(const Posicoes& w, const Regras& regras, int i) {
    for (const Regra& r : regras.lista(maior(w, i))) {
        int depois = i + static_cast<int>(r.centro.size());
        if (casaCentro(w, r.centro, i) && casaEsquerda(w, r.esquerda, i - 1) &&
            casaDireita(w, r.direita, depois))
            return &r;
    }
    return nullptr;
}

void marcaPrimeiraVogal(std::string& saida) {
    auto v = std::find_if(saida.begin(), saida.end(),
                          [](char c) { return ehVogal(static_cast<unsigned char>(c)); });
    if (v != saida.end()) *v = static_cast<char>(maiuscula(static_cast<unsigned char>(*v)));
}

// One step of the stress scan: the next state after seeing the character at `k`.
int proximoEstado(int estado, const Posicoes& w, int k) {
    unsigned char c = w.at(k);
    auto gq = [&](int p) { return em("gq", w.at(p)); };
    switch (estado) {
        case 0:
            if (em("aeo", c)) return 5;
            if (em("iu", c)) return 3;
            if (em("lnrxz", c)) return 1;
            if (c == 'm') return 2;
            if (c == 's') return 4;
            return 0;
        case 1:
            return ehVogal(c) ? 6 : 1;
        case 2:
            if (em("ae", c)) return 5;
            if (em("iu", c)) return 3;
            if (c == 'o') return 6;
            return 2;
        case 3:  // an i or u was seen; a silent u (gu, qu) before it passes the stress on
            if (ehConsoante(c)) return 7;
            if (c != 'u' || !gq(k - 1)) return 6;
            return 7;
        case 4:
            if (em("aeo", c)) return 5;
            if (em("iu", c)) return 3;
            return 4;
        case 5:
            if (em("aeo", c)) return 6;
            if (em("iu", c)) return 8;
            return 5;
        case 8:
            if (ehConsoante(c)) return 7;
            if (c == 'u' && gq(k - 1)) return 7;
            if (!em("lmnrz", w.at(k + 2))) return 6;
            if ((w.at(k + 2) == 'n' && w.at(k + 3) == 'h') ||
                (w.at(k + 2) == 'r' && w.at(k + 3) == 'r'))
                return 7;
            if (ehConsoante(w.at(k + 3)) && w.at(k + 3) != 'h') return 7;
            return 6;
        default:
            return estado;
    }
}

}  // namespace

bool ehVogal(unsigned char c) {
    return em(kVogais, c);
}
bool ehConsoante(unsigned char c) {
    unsigned char m = minuscula(c);
    return m >= 'a' && m <= 'z' && !em("aeiou", m);
}
bool ehAcento(unsigned char c) {
    return em(kAcentos, c);
}
bool ehLetra(unsigned char c) {
    return ehVogal(c) || ehConsoante(c);
}

std::string dobraCaracteres(std::string_view texto) {
    std::string saida;
    saida.reserve(texto.size() + texto.size() / 4);
    auto at = [&](size_t i) -> unsigned char {
        return i < texto.size() ? static_cast<unsigned char>(texto[i]) : 0;
    };
    for (size_t i = 0; i < texto.size(); ++i) {
        unsigned char c = at(i);
        unsigned char antes = i > 0 ? at(i - 1) : 0;
        unsigned char depois = at(i + 1);
        bool junto = ehLetra(antes) || ehLetra(depois);
        if ((c == 'W' || c == 'w') && junto) {
            saida += 'u';
        } else if ((c == 'Y' || c == 'y') && junto) {
            saida += 'i';
        } else if (c == 'Y' && (i == 0 || branco(antes)) && branco(depois)) {
            saida += 'i';  // a lone Y is the Spanish "and"
        } else if (c == '\'' && (antes == 'd' || antes == 'D')) {
            // d'agua: the elision mark is dropped
        } else if (c < 32) {
            saida += ' ';
        } else if (c < 128) {
            saida += static_cast<char>(c);
        } else {
            saida += dobraAlto(c);
        }
    }
    return saida;
}

Palavra descrevePalavra(std::string letras) {
    Palavra p{std::move(letras)};
    for (char ch : p.letras) {
        auto c = static_cast<unsigned char>(ch);
        if (ehVogal(c)) ++p.vogais;
        if (ehAcento(c) && c != '"') p.acentoEscrito = true;
    }
    return p;
}

std::optional<Palavra> proximaPalavra(std::string_view texto, size_t& pos) {
    auto c = [&](size_t i) { return static_cast<unsigned char>(texto[i]); };
    while (pos < texto.size() && c(pos) == ' ') ++pos;
    if (pos >= texto.size()) return std::nullopt;
    auto deLetra = [](unsigned char x) { return ehLetra(x) || ehAcento(x); };
    if (!deLetra(c(pos))) return descrevePalavra(std::string(1, texto[pos++]));
    std::string letras;
    while (pos < texto.size() && deLetra(c(pos))) letras += static_cast<char>(minuscula(c(pos++)));
    return descrevePalavra(std::move(letras));
}

std::string aplicaExcecoes(std::string palavra, const Excecoes& excecoes) {
    return trocaPorExcecao(std::move(palavra), excecoes, "sm");
}

Excecoes comExcecoesComuns(const Excecoes& proprias, const Excecoes& comuns) {
    auto forma = [](std::string_view escrita) {
        std::string s = dobraCaracteres(escrita);
        std::transform(s.begin(), s.end(), s.begin(), [](char c) {
            return static_cast<char>(minuscula(static_cast<unsigned char>(c)));
        });
        return s;
    };
    std::vector<Excecao> todas = proprias.entradas();
    for (const Excecao& e : comuns.entradas()) todas.push_back({forma(e.palavra), forma(e.troca)});
    return Excecoes(std::move(todas));
}

bool precisaTonica(const Palavra& p) {
    if (p.acentoEscrito) return false;
    return p.vogais >= 2 || (p.vogais == 1 && !p.letras.empty() && p.letras.back() == 'l');
}

// The scan walks leftwards from the last letter; states 6 and 7 end it and mark the vowel
// one or two places right of where it stopped. Reaching the word start gives up.
void marcaTonica(std::string& palavra) {
    Posicoes w(palavra);
    int estado = 0;
    int k = w.n();
    while (k >= 1 && estado != 6 && estado != 7) {
        estado = proximoEstado(estado, w, k);
        --k;
    }
    int marca = estado == 6 ? k + 1 : estado == 7 ? k + 2 : 0;
    if (marca >= 1 && marca <= w.n() && em("aeiou", w.at(marca)))
        palavra[marca - 1] = static_cast<char>(maiuscula(w.at(marca)));
}

bool soConsoantes(std::string_view palavra) {
    return !palavra.empty() && std::all_of(palavra.begin(), palavra.end(), [](char c) {
        return ehConsoante(static_cast<unsigned char>(c)) || em(" !,.:;?", c);
    });
}

std::string soletraPalavra(std::string_view palavra) {
    std::string saida;
    for (char c : palavra) {
        saida += "[ /_";
        saida += c;
        saida += ']';
    }
    return saida;
}

std::string aplicaRegras(std::string_view palavra, const Regras& regras) {
    Posicoes w(palavra);
    std::string saida = "[";
    for (int i = 1; i <= w.n();) {
        const Regra* r = regraEm(w, regras, i);
        std::string pedaco = r ? r->saida : std::string(" /_") + static_cast<char>(maior(w, i));
        if (em("AEIOU", w.at(i))) marcaPrimeiraVogal(pedaco);
        saida += pedaco;
        i += r ? static_cast<int>(r->centro.size()) : 1;
        if (i <= w.n()) saida += '/';
    }
    saida += ']';
    return saida;
}

std::string traduz(std::string_view texto, const Regras& regras, const Excecoes& excecoes) {
    std::string dobrado = dobraCaracteres(texto);
    std::string saida;
    size_t pos = 0;
    while (auto palavra = proximaPalavra(dobrado, pos)) {
        // The replacement may carry its own accent marks, so the word is described again.
        Palavra p = descrevePalavra(aplicaExcecoes(std::move(palavra->letras), excecoes));
        if (precisaTonica(p)) marcaTonica(p.letras);
        saida += soConsoantes(p.letras) ? soletraPalavra(p.letras) : aplicaRegras(p.letras, regras);
    }
    return saida;
}
