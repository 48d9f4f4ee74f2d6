#include "mathmode/EDNUMERACOMPILAMEMORIA.h"

#include <algorithm>
#include <cmath>

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
}

void MemoriaNumera::limpaVariaveis() {
    nomesNum.clear();
    valoresNum.clear();
    posicaoNum.clear();
    nomesTxt.clear();
    valoresTxt.clear();
    posicaoTxt.clear();
    passos.clear();
}

void defineConstantes(MemoriaNumera& m, const std::vector<std::string>& sistema,
                      const std::vector<std::string>& usuario) {
    auto naoVazias = [](const std::vector<std::string>& linhas) {
        std::vector<std::string> r;
        for (const std::string& l : linhas)
            if (!apara(l).empty()) r.emplace_back(apara(l));
        return r;
    };
    const std::vector<std::string> s = naoVazias(sistema);
    m.constantesSistema.clear();
    m.nomesReservados.clear();
    for (size_t i = 0; i + 2 < s.size(); i += 3) {
        m.constantesSistema.push_back({s[i], s[i + 1], s[i + 2]});
        m.nomesReservados.push_back(s[i + 1]);
    }
    m.constantesUsuario = naoVazias(usuario);
    if (m.constantesUsuario.size() % 2 != 0) m.constantesUsuario.pop_back();
    for (size_t i = 0; i < m.constantesUsuario.size(); i += 2)
        m.nomesReservados.push_back(m.constantesUsuario[i]);
}

void preparaMemoria(const Editor& e, MemoriaNumera& m) {
    m.limpaVariaveis();
    m.separador = separadorDecimal();
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
bool nomeElemento(MemoriaNumera& m, EstadoNumera& s, std::string_view nome, std::string& saida) {
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

// A token's value once constants are put in: a system symbol, a user constant, an operand.
bool substitui(MemoriaNumera& m, EstadoNumera& s, std::string_view t, std::string& valor) {
    for (const ConstanteSistema& c : m.constantesSistema) {
        if (c.simbolo == t) {
            valor = c.valor;
            return true;
        }
    }
    for (size_t i = 0; i + 1 < m.constantesUsuario.size(); i += 2) {
        if (m.constantesUsuario[i] == t) {
            valor = m.constantesUsuario[i + 1];
            return true;
        }
    }
    return operando(m, s, t, valor);
}

bool caractereOperando(char c, char separador) {
    return caractereDeNome(c) || c == ',' || c == separador;
}

// The next entry of the work list, reused with the storage of its texts.
TermoNumera& novoTermo(std::vector<TermoNumera>& termos, size_t& n) {
    if (n == termos.size()) termos.emplace_back();
    TermoNumera& t = termos[n++];
    t.texto.clear();
    t.escrito.clear();
    t.valor = 0;
    t.operador = 0;
    t.composto = false;
    return t;
}

// Cuts the expression into operands and operators with their parenthesis depth (the
// parentheses themselves dropped); false on unbalanced parentheses. Leaves n tokens.
bool divide(MemoriaNumera& m, EstadoNumera& s, std::string_view e, size_t& n) {
    std::vector<TermoNumera>& termos = m.termos;
    n = 0;
    int profundidade = 1;
    for (size_t i = 0; i < e.size();) {
        const char c = e[i];
        if (c == '(' || c == ')') {
            profundidade += c == '(' ? 1 : -1;
            if (profundidade < 1) return falhaNumera(s, 11, "");
            ++i;
            continue;
        }
        TermoNumera& t = novoTermo(termos, n);
        t.profundidade = profundidade;
        if (caractereOperando(c, m.separador)) {
            const size_t inicio = i;
            while (i < e.size() && caractereOperando(e[i], m.separador)) ++i;
            t.texto.assign(e.substr(inicio, i - inicio));
        } else {
            t.operador = static_cast<unsigned char>(c);
            t.texto.assign(1, c);
            ++i;
        }
    }
    if (profundidade != 1) return falhaNumera(s, 12, "");
    // «1.5E» "-" "3" is the number «1.5E-3»; the freed places become "*" and "1".
    for (size_t i = 0; i + 2 < n; ++i) {
        std::string& x = termos[i].texto;
        if (termos[i].operador == 0 && x.size() >= 2 && x.back() == 'E' && x[x.size() - 2] >= '0' &&
            x[x.size() - 2] <= '9' && (termos[i + 1].operador == '+' || termos[i + 1].operador == '-') &&
            termos[i + 2].operador == 0) {
            x += termos[i + 1].texto;
            x += termos[i + 2].texto;
            termos[i + 1].operador = '*';
            termos[i + 1].texto = "*";
            termos[i + 2].texto = "1";
        }
    }
    return true;
}

bool operadorConhecido(unsigned char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || ehCodigoFuncao(c);
}

bool classeAlta(unsigned char c) { return c != '+' && c != '-'; }

void envolve(std::string& saida, const TermoNumera& t) {
    if (t.composto) saida += '(';
    saida += t.escrito;
    if (t.composto) saida += ')';
}

// The sub-expression an operation computes, as the step trace shows it.
void escritoOperacao(std::string& saida, const TermoNumera& a, unsigned char op, const TermoNumera& b) {
    saida.clear();
    if (!ehCodigoFuncao(op)) {
        envolve(saida, a);
        saida += static_cast<char>(op);
        envolve(saida, b);
        return;
    }
    const std::string_view nome = nomesFuncoes[op - codigoPrimeiraFuncao];
    if (ehFuncaoBinaria(op)) {
        saida += '(';
        saida += a.escrito;
        saida += ')';
    } else if (a.escrito != "1") {
        envolve(saida, a);
        saida += '*';
    }
    saida += nome;
    saida += '(';
    saida += b.escrito;
    saida += ')';
}

// The evaluation order: deepest first; at one depth "*", "/" and functions, then "+" and
// "-"; left to right within a class.
void ordena(MemoriaNumera& m, size_t n) {
    m.ordem.clear();
    for (size_t i = 0; i < n; ++i)
        if (m.termos[i].operador != 0) m.ordem.push_back(i);
    std::sort(m.ordem.begin(), m.ordem.end(), [&](size_t a, size_t b) {
        const TermoNumera& x = m.termos[a];
        const TermoNumera& y = m.termos[b];
        if (x.profundidade != y.profundidade) return x.profundidade > y.profundidade;
        if (classeAlta(x.operador) != classeAlta(y.operador)) return classeAlta(x.operador);
        return a < b;
    });
}

// Evaluates an expression by rewriting: operands replaced by their values, then one
// operation at a time in the order above, each result written back as text. The result
// is the token left, at m.termos[inicio].
bool avaliaExpressao(MemoriaNumera& m, EstadoNumera& s, std::string_view e, size_t& inicio) {
    size_t n = 0, passos = 0;
    const bool ok = [&] {
        if (!divide(m, s, e, n)) return false;
        if (n == 0) return falhaNumera(s, 71, "");
        std::vector<TermoNumera>& termos = m.termos;
        std::string valor;
        for (size_t i = 0; i < n; ++i) {
            TermoNumera& t = termos[i];
            t.anterior = static_cast<long>(i) - 1;
            t.proximo = static_cast<long>(i) + 1;
            if (t.operador != 0) {
                if (!operadorConhecido(t.operador)) return falhaNumera(s, 6, t.texto);
                continue;
            }
            t.escrito = t.texto;
            if (!substitui(m, s, t.escrito, valor)) return false;
            if (!leNumero(valor, m.separador, t.valor)) return falhaNumera(s, 43, t.escrito);
            t.texto.swap(valor);
        }
        ordena(m, n);
        const long fim = static_cast<long>(n);
        long primeiro = 0;
        for (size_t k : m.ordem) {
            TermoNumera& op = termos[k];
            long a = op.anterior, b = op.proximo;
            while (a >= 0 && termos[a].operador != 0) a = termos[a].anterior;
            while (b < fim && termos[b].operador != 0) b = termos[b].proximo;
            if (a < 0 || b >= fim) return falhaNumera(s, 71, "");
            TermoNumera& x = termos[a];
            TermoNumera& y = termos[b];
            if (passos == m.passos.size()) m.passos.emplace_back();
            PassoAvaliacao& passo = m.passos[passos++];
            escritoOperacao(passo.subExpressao, x, op.operador, y);
            const ResultadoOperacao r = aplicaOperador(op.operador, x.valor, y.valor);
            if (r.erro != 0) {
                --passos;
                return falhaNumera(s, r.erro, r.erro == 5 || r.erro == 6 ? passo.subExpressao : "");
            }
            op.texto = textoGeral(r.valor, m.separador);
            leNumero(op.texto, m.separador, op.valor);
            op.composto = !ehCodigoFuncao(op.operador);
            op.operador = 0;
            op.escrito = passo.subExpressao;
            passo.valor = op.texto;
            // The two operands leave the list of live tokens.
            for (long i : {a, b}) {
                if (termos[i].anterior >= 0) termos[termos[i].anterior].proximo = termos[i].proximo;
                if (termos[i].proximo < fim) termos[termos[i].proximo].anterior = termos[i].anterior;
            }
            if (a == primeiro) primeiro = x.proximo;
        }
        if (termos[primeiro].proximo < fim) return falhaNumera(s, 71, "");
        inicio = static_cast<size_t>(primeiro);
        return true;
    }();
    m.passos.resize(passos);
    return ok;
}

// Evaluates «name=expression» and returns the stored value's text through `valor`.
bool atribui(MemoriaNumera& m, EstadoNumera& s, std::string_view instrucao, std::string& valor) {
    const size_t igual = instrucao.find('=');
    if (igual == std::string_view::npos) return falhaNumera(s, 29, instrucao);
    const std::string_view y = instrucao.substr(0, igual);
    const std::string_view e = instrucao.substr(igual + 1);
    if (y.empty()) return falhaNumera(s, 30, "");
    for (const std::string& r : m.nomesReservados)
        if (r == y) return falhaNumera(s, 53, y);

    const Tipo tipo = tipoNome(y);
    std::string nome(y);
    std::string_view base, indice;
    const bool elemento = ehColecao(tipo) && separaElemento(y, base, indice);
    if (elemento && !nomeElemento(m, s, y, nome)) return false;
    if (ehTexto(tipo)) {
        m.passos.clear();
        if (elemento && m.indiceTexto(base) == m.nomesTexto().size()) m.defineTexto(base, "");
        if (!operando(m, s, e, valor)) return false;
        m.defineTexto(nome, valor);
        return true;
    }
    if (elemento) m.garanteNumero(base);
    m.garanteNumero(nome);
    size_t resultado = 0;
    if (!avaliaExpressao(m, s, e, resultado)) return false;
    m.defineNumero(nome, m.termos[resultado].valor);
    valor = m.termos[resultado].texto;
    return true;
}

}  // namespace

void avaliaAtribuicao(MemoriaNumera& m, EstadoNumera& estado, std::string_view instrucao) {
    std::string valor;
    atribui(m, estado, instrucao, valor);
}

std::string avaliaTexto(MemoriaNumera& m, EstadoNumera& estado, std::string_view texto) {
    std::string valor;
    return atribui(m, estado, texto, valor) ? valor : std::string();
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
