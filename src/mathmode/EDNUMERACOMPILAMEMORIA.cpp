#include "mathmode/EDNUMERACOMPILAMEMORIA.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/texto.h"

// ---- Variable memory ----

size_t MemoriaNumera::indiceNumerico(std::string_view nome) const {
    const auto it = posicaoNum.find(nome);
    return it == posicaoNum.end() ? nomesNum.size() : it->second;
}

size_t MemoriaNumera::indiceTexto(std::string_view nome) const {
    const auto it = posicaoTxt.find(nome);
    return it == posicaoTxt.end() ? nomesTxt.size() : it->second;
}

void MemoriaNumera::defineNumero(std::string_view nome, double valor) {
    const size_t i = indiceNumerico(nome);
    if (i < valoresNum.size()) {
        valoresNum[i] = valor;
        return;
    }
    nomesNum.emplace_back(nome);
    valoresNum.push_back(valor);
    posicaoNum.emplace(nome, i);
    ++geracao_;
}

void MemoriaNumera::garanteNumero(std::string_view nome) {
    if (indiceNumerico(nome) == nomesNum.size()) defineNumero(nome, 0);
}

void MemoriaNumera::defineTexto(std::string_view nome, std::string_view valor) {
    const size_t i = indiceTexto(nome);
    if (i < valoresTxt.size()) {
        valoresTxt[i] = valor;
        return;
    }
    nomesTxt.emplace_back(nome);
    valoresTxt.emplace_back(valor);
    posicaoTxt.emplace(nome, i);
    ++geracao_;
}

void MemoriaNumera::limpaVariaveis() {
    nomesNum.clear();
    valoresNum.clear();
    posicaoNum.clear();
    nomesTxt.clear();
    valoresTxt.clear();
    posicaoTxt.clear();
    constantesMudaram();
    registraPassos(nullptr, 0);
}

void defineConstantes(MemoriaNumera& m, const std::vector<std::string>& sistema,
                      const std::vector<std::string>& usuario) {
    auto naoVazias = [](const std::vector<std::string>& linhas) {
        std::vector<std::string> r;
        for (const std::string& l : linhas)
            if (!apara(l).empty()) r.emplace_back(apara(l));
        return r;
    };
    // A value written under the other separator (the shipped file has ".") is the same number.
    const char outro = m.separador == '.' ? ',' : '.';
    auto comSeparador = [&](std::string v) {
        std::replace(v.begin(), v.end(), outro, m.separador);
        return v;
    };
    const std::vector<std::string> s = naoVazias(sistema);
    m.constantesSistema.clear();
    m.nomesReservados.clear();
    for (size_t i = 0; i + 2 < s.size(); i += 3) {
        m.constantesSistema.push_back({s[i], s[i + 1], comSeparador(s[i + 2])});
        m.nomesReservados.push_back(s[i + 1]);
    }
    m.constantesUsuario = naoVazias(usuario);
    if (m.constantesUsuario.size() % 2 != 0) m.constantesUsuario.pop_back();
    for (size_t i = 0; i < m.constantesUsuario.size(); i += 2) {
        m.nomesReservados.push_back(m.constantesUsuario[i]);
        m.constantesUsuario[i + 1] = comSeparador(m.constantesUsuario[i + 1]);
    }
    m.constantesMudaram();
}

void preparaMemoria(Editor& e, MemoriaNumera& m) {
    m.limpaVariaveis();
    m.separador = separadorDecimal(e);
    defineConstantes(m, leLinhasNumera(arquivoNumeraLeitura(e, "constantes.txt")),
                     leLinhasNumera(arquivoNumeraLeitura(e, "constantesUsuario.txt")));
}

// ---- The function-call rewrite ----

namespace {

// Position just after the ")" that closes the "(" at `abre`; the end when it is missing.
size_t depoisDoFecho(std::string_view s, size_t abre) {
    int nivel = 0;
    for (size_t i = abre; i < s.size(); ++i) {
        if (s[i] == '(') ++nivel;
        else if (s[i] == ')' && --nivel == 0) return i + 1;
    }
    return s.size();
}

}  // namespace

std::string reescreveFuncoes(std::string_view parametro) {
    std::string s(parametro);
    for (size_t f = 0; f < nomesFuncoes.size(); ++f) {
        const std::string_view nome = nomesFuncoes[f];
        const char codigo = static_cast<char>(codigoPrimeiraFuncao + f);
        const bool binaria = ehFuncaoBinaria(static_cast<unsigned char>(codigo));
        for (size_t p = s.find(nome); p != std::string::npos; p = s.find(nome, p)) {
            const size_t depois = p + nome.size();
            const bool chamada = s.compare(depois, 2, "*(") == 0 && (p == 0 || !letraNumera(s[p - 1]));
            if (!chamada) {
                ++p;
                continue;
            }
            if (binaria) {
                const size_t inicio = p > 0 && s[p - 1] == '*' ? p - 1 : p;
                s.replace(inicio, depois + 1 - inicio, 1, codigo);
                p = inicio + 1;
            } else {
                s.replace(p, nome.size() + 2, std::string("(1") + codigo + "(");
                s.insert(depoisDoFecho(s, p + 3), 1, ')');
                p += 4;
            }
        }
    }
    return s;
}

// ---- The evaluator ----

bool falhaNumera(EstadoNumera& s, int codigo, std::string_view parametro) {
    s.estadoNumera = 2;
    s.codigoErro = codigo;
    s.parametroErro = parametro;
    return false;
}

std::string nomeComoEscrito(std::string_view nome) {
    std::string escrito(nome);
    if (escrito.rfind("M_", 0) == 0) std::replace(escrito.begin(), escrito.end(), 'a', ',');
    return escrito;
}

namespace {

bool comeca(std::string_view s, std::string_view prefixo) { return s.substr(0, prefixo.size()) == prefixo; }

enum class Tipo { numero, texto, vetorNumero, vetorTexto, matrizNumero, matrizTexto };

Tipo tipoNome(std::string_view nome) {
    if (comeca(nome, "STR")) return Tipo::texto;
    if (comeca(nome, "V_N")) return Tipo::vetorNumero;
    if (comeca(nome, "V_S")) return Tipo::vetorTexto;
    if (comeca(nome, "M_N")) return Tipo::matrizNumero;
    if (comeca(nome, "M_S")) return Tipo::matrizTexto;
    return Tipo::numero;
}

bool ehTexto(Tipo t) { return t == Tipo::texto || t == Tipo::vetorTexto || t == Tipo::matrizTexto; }
bool ehMatriz(Tipo t) { return t == Tipo::matrizNumero || t == Tipo::matrizTexto; }
bool ehColecao(Tipo t) { return t != Tipo::numero && t != Tipo::texto; }

// «BASE[INDEX]»: a name that ends with "]" and has a "[".
bool separaElemento(std::string_view nome, std::string_view& base, std::string_view& indice) {
    const size_t abre = nome.find('[');
    if (abre == std::string_view::npos || nome.empty() || nome.back() != ']') return false;
    base = nome.substr(0, abre);
    indice = nome.substr(abre + 1, nome.size() - abre - 2);
    return true;
}

bool nomeElemento(MemoriaNumera& m, EstadoNumera& s, std::string_view nome, std::string& saida);

// An index: a whole number written as such or held by a numeric variable or element.
bool resolveIndice(MemoriaNumera& m, EstadoNumera& s, std::string_view texto, int erroIndice,
                   std::string_view nome, long& indice) {
    if (texto.empty()) return falhaNumera(s, erroIndice, nome);
    double v = 0;
    if (!leNumero(texto, m.separador, v)) {
        std::string variavel(texto);
        std::string_view base, dentro;
        if (ehColecao(tipoNome(texto)) && separaElemento(texto, base, dentro) &&
            !nomeElemento(m, s, texto, variavel))
            return false;
        const size_t i = m.indiceNumerico(variavel);
        if (i == m.nomesNumericos().size()) return falhaNumera(s, 90, texto);
        v = m.valoresNumericos()[i];
    }
    if (v != std::trunc(v) || v < 0 || v > 2147483647.0) return falhaNumera(s, erroIndice, nome);
    indice = static_cast<long>(v);
    return true;
}

// The table name of an element: «V_NA[3]», «M_NT[2,3]» for «M_NT[2a3]».
// The table name of an element: �V_NA[3]�, �M_NT[2,3]� for �M_NT[2a3]�.
bool nomeElemento(MemoriaNumera& m, EstadoNumera& s, std::string_view nomeTraduzido,
                  std::string& saida) {
    // Faults name the element as written; the index is read from the translated name.
    const std::string nome = nomeComoEscrito(nomeTraduzido);
    std::string_view base, indice;
    separaElemento(nome, base, indice);
    const bool matriz = ehMatriz(tipoNome(nome));
    const int erroIndice = matriz ? 113 : 112;
    // The separator of two indices stands outside any inner brackets.
    size_t corte = std::string_view::npos;
    int nivel = 0;
    for (size_t i = 0; i < indice.size() && corte == std::string_view::npos; ++i) {
        if (indice[i] == '[') ++nivel;
        else if (indice[i] == ']') --nivel;
        else if (nivel == 0 && (indice[i] == 'a' || indice[i] == ',')) corte = i;
    }
    // Indices nested deeper than any program needs are refused rather than followed.
    if (matriz != (corte != std::string_view::npos) || nivel != 0 ||
        std::count(indice.begin(), indice.end(), '[') > 32)
        return falhaNumera(s, erroIndice, nome);
    long i = 0, j = 0;
    if (!resolveIndice(m, s, indice.substr(0, corte), erroIndice, nome, i)) return false;
    saida.assign(base);
    saida += '[';
    saida += std::to_string(i);
    if (matriz) {
        if (!resolveIndice(m, s, indice.substr(corte + 1), erroIndice, nome, j)) return false;
        saida += ',';
        saida += std::to_string(j);
    }
    saida += ']';
    return true;
}

bool operando(MemoriaNumera& m, EstadoNumera& s, std::string_view t, std::string& valor) {
    const Tipo tipo = tipoNome(t);
    std::string_view base, indice;
    if (ehColecao(tipo) && separaElemento(t, base, indice)) {
        std::string nome;
        if (!nomeElemento(m, s, t, nome)) return false;
        if (ehTexto(tipo)) {
            const size_t i = m.indiceTexto(nome);
            if (i < m.nomesTexto().size()) valor = m.valoresTexto()[i];
            else valor = m.indiceTexto(base) < m.nomesTexto().size() ? "" : std::string(t);
        } else {
            const size_t i = m.indiceNumerico(nome);
            if (i < m.nomesNumericos().size()) valor = textoGeral(m.valoresNumericos()[i], m.separador);
            else valor = m.indiceNumerico(base) < m.nomesNumericos().size() ? "0" : std::string(t);
        }
        return true;
    }
    if (ehTexto(tipo)) {
        const size_t i = m.indiceTexto(t);
        valor = i < m.nomesTexto().size() ? m.valoresTexto()[i] : std::string(t);
        return true;
    }
    const size_t i = m.indiceNumerico(t);
    valor = i < m.nomesNumericos().size() ? textoGeral(m.valoresNumericos()[i], m.separador)
                                          : std::string(t);
    return true;
}

bool caractereOperando(char c, char separador) {
    return caractereDeNome(c) || c == ',' || c == separador;
}

bool operadorConhecido(unsigned char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || ehCodigoFuncao(c);
}

bool classeAlta(unsigned char c) { return c != '+' && c != '-'; }

// The value a number keeps between two operations: written with the language's 15
// significant digits and read back. A value whose shortest form has at most 15 digits is
// its own 15-digit form, so only the others are written out; false for no finite value.
bool redondo15(double v, char separador, double& r) {
    if (!std::isfinite(v)) return false;
    const double a = std::fabs(v);
    if (a == 0) {
        r = 0;  // "-0" is written "0"
        return true;
    }
    char buf[48];
    if (a >= 1e-300 && a < 1e300) {
        if (a < 1e15 && v == std::trunc(v)) {
            r = v;
            return true;
        }
        const char* fim = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific).ptr;
        int digitos = 0;
        for (const char* p = buf; p < fim && *p != 'e'; ++p) digitos += *p >= '0' && *p <= '9';
        if (digitos <= 15) {
            r = v;
            return true;
        }
        fim = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15).ptr;
        return std::from_chars(buf, fim, r).ec == std::errc();
    }
    return leNumero(textoGeral(v, separador), separador, r);
}

}  // namespace

// Where an operand's value comes from, as last looked up.
enum class Origem : uint8_t {
    numero,       // a number written or a constant: `valor`
    variavel,     // a numeric variable: the table entry `indice`
    outra,        // an element or a text variable: looked up at every evaluation
    desconhecida  // neither a name nor a number: error 43
};

struct TermoCompilado {
    std::string escrito;         // the operand as written, or the operator
    unsigned char operador = 0;  // 0 for an operand
    int profundidade = 0;
    Origem origem = Origem::desconhecida;
    double valor = 0;
    size_t indice = 0;
};

// One operation: the operator's token and the live operands on its left and right.
struct PassoCompilado {
    uint32_t operador, esquerda, direita;
};

// An assignment cut, checked and ordered once; each evaluation only puts in the operands'
// values and carries out the steps. The order of operations, and which operands each one
// takes, depend on the text alone.
struct ExpressaoCompilada {
    int erroNome = 0;  // 29, 30 or 53: the assignment itself is wrong
    std::string parametroNome;
    std::string nome;  // before "="
    std::string expressao;
    bool texto = false, elemento = false;
    std::string base;  // of an element
    size_t indiceAlvo = SIZE_MAX;

    int erroCorte = 0;  // 11, 12 or 71 from cutting the expression
    std::vector<TermoCompilado> termos;
    std::vector<PassoCompilado> passos;
    bool faltaOperando = false;  // the steps end on an operation without operands, or
                                 // more than one value is left: error 71
    size_t resultado = 0;
    uint64_t geracao = UINT64_MAX;  // when the operands were looked up
    std::vector<double> valores;    // per token, while evaluating
    std::vector<double> valoresPassos;
};

namespace {

// Cuts the expression into operands and operators with their parenthesis depth (the
// parentheses themselves dropped); error 11 or 12 on unbalanced parentheses.
int divide(std::string_view e, char separador, std::vector<TermoCompilado>& termos) {
    int profundidade = 1;
    for (size_t i = 0; i < e.size();) {
        const char c = e[i];
        if (c == '(' || c == ')') {
            profundidade += c == '(' ? 1 : -1;
            if (profundidade < 1) return 11;
            ++i;
            continue;
        }
        TermoCompilado& t = termos.emplace_back();
        t.profundidade = profundidade;
        if (caractereOperando(c, separador)) {
            const size_t inicio = i;
            while (i < e.size() && caractereOperando(e[i], separador)) ++i;
            t.escrito.assign(e.substr(inicio, i - inicio));
        } else {
            t.operador = static_cast<unsigned char>(c);
            t.escrito.assign(1, c);
            ++i;
        }
    }
    if (profundidade != 1) return 12;
    // «1.5E» "-" "3" is the number «1.5E-3»; the freed places become "*" and "1".
    for (size_t i = 0; i + 2 < termos.size(); ++i) {
        std::string& x = termos[i].escrito;
        if (termos[i].operador == 0 && x.size() >= 2 && x.back() == 'E' && x[x.size() - 2] >= '0' &&
            x[x.size() - 2] <= '9' && (termos[i + 1].operador == '+' || termos[i + 1].operador == '-') &&
            termos[i + 2].operador == 0) {
            x += termos[i + 1].escrito;
            x += termos[i + 2].escrito;
            termos[i + 1].operador = '*';
            termos[i + 1].escrito = "*";
            termos[i + 2].escrito = "1";
        }
    }
    return 0;
}

// The steps: deepest first; at one depth "*", "/" and functions, then "+" and "-"; left
// to right within a class. Each takes the nearest operands still unused on either side.
void ordena(ExpressaoCompilada& c) {
    const std::vector<TermoCompilado>& t = c.termos;
    const long n = static_cast<long>(t.size());
    std::vector<size_t> ordem;
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i].operador != 0) ordem.push_back(i);
    std::stable_sort(ordem.begin(), ordem.end(), [&](size_t a, size_t b) {
        if (t[a].profundidade != t[b].profundidade) return t[a].profundidade > t[b].profundidade;
        return classeAlta(t[a].operador) && !classeAlta(t[b].operador);
    });
    std::vector<long> anterior(t.size()), proximo(t.size());
    std::vector<char> pendente(t.size());
    for (long i = 0; i < n; ++i) {
        anterior[static_cast<size_t>(i)] = i - 1;
        proximo[static_cast<size_t>(i)] = i + 1;
        pendente[static_cast<size_t>(i)] = t[static_cast<size_t>(i)].operador != 0;
    }
    long primeiro = 0;
    for (size_t k : ordem) {
        long a = anterior[k], b = proximo[k];
        while (a >= 0 && pendente[static_cast<size_t>(a)]) a = anterior[static_cast<size_t>(a)];
        while (b < n && pendente[static_cast<size_t>(b)]) b = proximo[static_cast<size_t>(b)];
        if (a < 0 || b >= n) {
            c.faltaOperando = true;
            return;
        }
        c.passos.push_back({static_cast<uint32_t>(k), static_cast<uint32_t>(a), static_cast<uint32_t>(b)});
        pendente[k] = 0;
        for (long i : {a, b}) {
            const auto u = static_cast<size_t>(i);
            if (anterior[u] >= 0) proximo[static_cast<size_t>(anterior[u])] = proximo[u];
            if (proximo[u] < n) anterior[static_cast<size_t>(proximo[u])] = anterior[u];
        }
        if (a == primeiro) primeiro = proximo[static_cast<size_t>(a)];
    }
    c.resultado = static_cast<size_t>(primeiro);
    c.faltaOperando = proximo[c.resultado] < n;
}

std::shared_ptr<ExpressaoCompilada> compila(const MemoriaNumera& m, std::string_view instrucao) {
    auto c = std::make_shared<ExpressaoCompilada>();
    const size_t igual = instrucao.find('=');
    if (igual == std::string_view::npos) {
        c->erroNome = 29;
        c->parametroNome = instrucao;
        return c;
    }
    c->nome = instrucao.substr(0, igual);
    c->expressao = instrucao.substr(igual + 1);
    if (c->nome.empty()) {
        c->erroNome = 30;
        return c;
    }
    for (const std::string& r : m.nomesReservados) {
        if (r == c->nome) {
            c->erroNome = 53;
            c->parametroNome = c->nome;
            return c;
        }
    }
    const Tipo tipo = tipoNome(c->nome);
    std::string_view base, indice;
    c->elemento = ehColecao(tipo) && separaElemento(c->nome, base, indice);
    c->base = base;
    c->texto = ehTexto(tipo);
    if (c->texto) return c;
    c->erroCorte = divide(c->expressao, m.separador, c->termos);
    if (c->erroCorte == 0 && c->termos.empty()) c->erroCorte = 71;
    if (c->erroCorte != 0) return c;
    ordena(*c);
    c->valores.resize(c->termos.size());
    c->valoresPassos.resize(c->passos.size());
    return c;
}

// Which value each operand stands for: a constant's (system symbols first), a numeric
// variable's, one looked up each time, or the number written.
void resolveOperandos(const MemoriaNumera& m, ExpressaoCompilada& c) {
    for (TermoCompilado& t : c.termos) {
        if (t.operador != 0) continue;
        const std::string* constante = nullptr;
        for (const ConstanteSistema& k : m.constantesSistema)
            if (!constante && k.simbolo == t.escrito) constante = &k.valor;
        for (size_t i = 0; !constante && i + 1 < m.constantesUsuario.size(); i += 2)
            if (m.constantesUsuario[i] == t.escrito) constante = &m.constantesUsuario[i + 1];
        const Tipo tipo = tipoNome(t.escrito);
        std::string_view base, indice;
        if (constante) {
            t.origem = leNumero(*constante, m.separador, t.valor) ? Origem::numero : Origem::desconhecida;
        } else if ((ehColecao(tipo) && separaElemento(t.escrito, base, indice)) ||
                   (ehTexto(tipo) && m.indiceTexto(t.escrito) < m.nomesTexto().size())) {
            t.origem = Origem::outra;
        } else if (!ehTexto(tipo) && (t.indice = m.indiceNumerico(t.escrito)) < m.nomesNumericos().size()) {
            t.origem = Origem::variavel;
        } else {
            t.origem = leNumero(t.escrito, m.separador, t.valor) ? Origem::numero : Origem::desconhecida;
        }
    }
    c.geracao = m.geracao();
}

void envolve(std::string& saida, const std::string& escrito, bool composto) {
    if (composto) saida += '(';
    saida += escrito;
    if (composto) saida += ')';
}

// The sub-expressions of the first `ate` steps, as the step trace shows them: the operands
// as written, an operation's result as the sub-expression that computed it.
std::vector<std::string> textosPassos(const ExpressaoCompilada& c, size_t ate) {
    std::vector<std::string> escrito;
    std::vector<char> composto(c.termos.size());
    for (const TermoCompilado& t : c.termos) escrito.push_back(t.escrito);
    std::vector<std::string> textos;
    for (size_t k = 0; k < ate; ++k) {
        const PassoCompilado& p = c.passos[k];
        const unsigned char op = c.termos[p.operador].operador;
        const std::string& a = escrito[p.esquerda];
        const std::string& b = escrito[p.direita];
        std::string s;
        if (!ehCodigoFuncao(op)) {
            envolve(s, a, composto[p.esquerda]);
            s += static_cast<char>(op);
            envolve(s, b, composto[p.direita]);
        } else {
            if (ehFuncaoBinaria(op)) {
                s += '(' + a + ')';
            } else if (a != "1") {
                envolve(s, a, composto[p.esquerda]);
                s += '*';
            }
            s += nomesFuncoes[op - codigoPrimeiraFuncao];
            s += '(' + b + ')';
        }
        escrito[p.operador] = s;
        composto[p.operador] = !ehCodigoFuncao(op);
        textos.push_back(std::move(s));
    }
    return textos;
}

// Puts the operands' values in and carries out the steps; the result in c.valores.
bool calcula(MemoriaNumera& m, EstadoNumera& s, ExpressaoCompilada& c) {
    if (c.erroCorte != 0) {
        m.registraPassos(nullptr, 0);
        return falhaNumera(s, c.erroCorte, "");
    }
    if (c.geracao != m.geracao()) resolveOperandos(m, c);
    for (size_t i = 0; i < c.termos.size(); ++i) {
        const TermoCompilado& t = c.termos[i];
        bool ok = false;
        if (t.operador != 0) {
            if (operadorConhecido(t.operador)) continue;
            m.registraPassos(nullptr, 0);
            return falhaNumera(s, 6, t.escrito);
        }
        if (t.origem == Origem::numero) {
            c.valores[i] = t.valor;
            ok = true;
        } else if (t.origem == Origem::variavel) {
            ok = redondo15(m.valoresNumericos()[t.indice], m.separador, c.valores[i]);
        } else if (t.origem == Origem::outra) {
            std::string valor;
            if (!operando(m, s, t.escrito, valor)) {
                m.registraPassos(nullptr, 0);
                return false;
            }
            ok = leNumero(valor, m.separador, c.valores[i]);
        }
        if (!ok) {
            m.registraPassos(nullptr, 0);
            return falhaNumera(s, 43, t.escrito);
        }
    }
    return true;
}

}  // namespace

MemoriaNumera::MemoriaNumera() = default;
MemoriaNumera::~MemoriaNumera() = default;

std::shared_ptr<ExpressaoCompilada> MemoriaNumera::compilada(std::string_view instrucao) {
    if (auto it = compiladas_.find(instrucao); it != compiladas_.end()) return it->second;
    // Texts built anew each time (EVALUATE's points) must not pile up.
    if (compiladas_.size() >= 4096) compiladas_.clear();
    return compiladas_.emplace(std::string(instrucao), compila(*this, instrucao)).first->second;
}

void MemoriaNumera::constantesMudaram() {
    ++geracao_;
    compiladas_.clear();
}

void MemoriaNumera::registraPassos(std::shared_ptr<const ExpressaoCompilada> expressao, size_t feitos) {
    ultima_ = std::move(expressao);
    passosFeitos_ = ultima_ ? feitos : 0;
    passosEscritos_ = false;
}

const std::vector<PassoAvaliacao>& MemoriaNumera::passos() const {
    if (passosEscritos_) return passos_;
    passos_.clear();
    if (ultima_) {
        std::vector<std::string> textos = textosPassos(*ultima_, passosFeitos_);
        for (size_t k = 0; k < textos.size(); ++k)
            passos_.push_back({std::move(textos[k]), textoGeral(ultima_->valoresPassos[k], separador)});
    }
    passosEscritos_ = true;
    return passos_;
}

namespace {

// Evaluates «name=expression» and stores the value; `numero` is the value stored in a
// numeric variable, `texto` the text stored in a text one.
bool atribui(MemoriaNumera& m, EstadoNumera& s, std::string_view instrucao, double& numero,
             std::string* texto) {
    const std::shared_ptr<ExpressaoCompilada> ptr = m.compilada(instrucao);
    ExpressaoCompilada& c = *ptr;
    if (c.erroNome != 0) return falhaNumera(s, c.erroNome, c.parametroNome);
    std::string nome;
    if (c.elemento && !nomeElemento(m, s, c.nome, nome)) return false;
    if (c.texto) {
        m.registraPassos(nullptr, 0);
        if (c.elemento && m.indiceTexto(c.base) == m.nomesTexto().size()) m.defineTexto(c.base, "");
        std::string valor;
        if (!operando(m, s, c.expressao, valor)) return false;
        m.defineTexto(c.elemento ? std::string_view(nome) : std::string_view(c.nome), valor);
        if (texto) *texto = std::move(valor);
        return true;
    }
    size_t alvo = c.indiceAlvo;
    if (c.elemento) {
        m.garanteNumero(c.base);
        m.garanteNumero(nome);
        alvo = m.indiceNumerico(nome);
    } else if (alvo == SIZE_MAX) {
        m.garanteNumero(c.nome);
        alvo = c.indiceAlvo = m.indiceNumerico(c.nome);
    }
    if (!calcula(m, s, c)) return false;
    for (size_t k = 0; k < c.passos.size(); ++k) {
        const PassoCompilado& p = c.passos[k];
        const ResultadoOperacao r = aplicaOperador(c.termos[p.operador].operador, c.valores[p.esquerda],
                                                   c.valores[p.direita]);
        if (r.erro != 0) {
            m.registraPassos(ptr, k);
            return falhaNumera(s, r.erro, r.erro == 5 || r.erro == 6 ? textosPassos(c, k + 1).back() : "");
        }
        redondo15(r.valor, m.separador, c.valores[p.operador]);
        c.valoresPassos[k] = c.valores[p.operador];
    }
    m.registraPassos(ptr, c.passos.size());
    if (c.faltaOperando) return falhaNumera(s, 71, "");
    numero = c.valores[c.resultado];
    m.defineNumeroEm(alvo, numero);
    if (texto) *texto = textoGeral(numero, m.separador);
    return true;
}

}  // namespace

void avaliaAtribuicao(MemoriaNumera& m, EstadoNumera& estado, std::string_view instrucao) {
    double numero = 0;
    atribui(m, estado, instrucao, numero, nullptr);
}

std::string avaliaTexto(MemoriaNumera& m, EstadoNumera& estado, std::string_view texto) {
    double numero = 0;
    std::string valor;
    return atribui(m, estado, texto, numero, &valor) ? valor : std::string();
}

bool avaliaNumero(MemoriaNumera& m, EstadoNumera& estado, std::string_view texto, double& valor) {
    return atribui(m, estado, texto, valor, nullptr);
}

std::string valorOperando(MemoriaNumera& m, EstadoNumera& estado, std::string_view token) {
    std::string valor;
    return operando(m, estado, token, valor) ? valor : std::string();
}

// ---- Values for the statements ----

namespace {

// The table name of a variable or element («M_NT[2a3]» is kept as «M_NT[2,3]»).
bool chaveVariavel(MemoriaNumera& m, EstadoNumera& s, std::string_view nome, std::string& chave) {
    std::string_view base, indice;
    if (ehColecao(tipoNome(nome)) && separaElemento(nome, base, indice))
        return nomeElemento(m, s, nome, chave);
    chave = std::string(nome);
    return true;
}

}  // namespace

std::string atribuicaoDeValor(std::string_view nome, std::string_view valor) {
    std::string t(nome);
    t += '=';
    if (!valor.empty() && valor.front() == '-') t += '0';
    t += valor;
    return t;
}

bool valorSaida(MemoriaNumera& m, EstadoNumera& s, std::string_view nome, bool& numerico,
                double& numero, std::string& texto) {
    std::string chave;
    if (!chaveVariavel(m, s, nome, chave)) return false;
    const size_t n = m.indiceNumerico(chave);
    if (n < m.nomesNumericos().size()) {
        numerico = true;
        numero = m.valoresNumericos()[n];
        return true;
    }
    const size_t t = m.indiceTexto(chave);
    if (t < m.nomesTexto().size()) {
        numerico = false;
        texto = m.valoresTexto()[t];
        return true;
    }
    return false;
}

bool numeroOuVariavel(MemoriaNumera& m, EstadoNumera& s, std::string_view t, double& valor) {
    return leNumero(valorOperando(m, s, t), m.separador, valor);
}
