#include "mathmode/EDNUMERACOMPILA.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "editor/editor.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"
#include "platform/texto.h"

namespace fs = std::filesystem;

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

bool letra(char c) { return c >= 'A' && c <= 'Z'; }

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
            const bool chamada = s.compare(depois, 2, "*(") == 0 && (p == 0 || !letra(s[p - 1]));
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

namespace {

bool falha(EstadoNumera& s, int codigo, std::string_view parametro) {
    s.estadoNumera = 2;
    s.codigoErro = codigo;
    s.parametroErro = parametro;
    return false;
}

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
    if (texto.empty()) return falha(s, erroIndice, nome);
    double v = 0;
    if (!leNumero(texto, m.separador, v)) {
        std::string variavel(texto);
        std::string_view base, dentro;
        if (ehColecao(tipoNome(texto)) && separaElemento(texto, base, dentro) &&
            !nomeElemento(m, s, texto, variavel))
            return false;
        const size_t i = m.indiceNumerico(variavel);
        if (i == m.nomesNumericos().size()) return falha(s, 90, texto);
        v = m.valoresNumericos()[i];
    }
    if (v != std::trunc(v) || v < 0 || v > 2147483647.0) return falha(s, erroIndice, nome);
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
        return falha(s, erroIndice, nome);
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
    return (c >= '0' && c <= '9') || letra(c) || c == '[' || c == ']' || c == '_' || c == 'a' ||
           c == ',' || c == separador;
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
            if (profundidade < 1) return falha(s, 11, "");
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
    if (profundidade != 1) return falha(s, 12, "");
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
        if (n == 0) return falha(s, 71, "");
        std::vector<TermoNumera>& termos = m.termos;
        std::string valor;
        for (size_t i = 0; i < n; ++i) {
            TermoNumera& t = termos[i];
            t.anterior = static_cast<long>(i) - 1;
            t.proximo = static_cast<long>(i) + 1;
            if (t.operador != 0) {
                if (!operadorConhecido(t.operador)) return falha(s, 6, t.texto);
                continue;
            }
            t.escrito = t.texto;
            if (!substitui(m, s, t.escrito, valor)) return false;
            if (!leNumero(valor, m.separador, t.valor)) return falha(s, 43, t.escrito);
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
            if (a < 0 || b >= fim) return falha(s, 71, "");
            TermoNumera& x = termos[a];
            TermoNumera& y = termos[b];
            if (passos == m.passos.size()) m.passos.emplace_back();
            PassoAvaliacao& passo = m.passos[passos++];
            escritoOperacao(passo.subExpressao, x, op.operador, y);
            const ResultadoOperacao r = aplicaOperador(op.operador, x.valor, y.valor);
            if (r.erro != 0) {
                --passos;
                return falha(s, r.erro, r.erro == 5 || r.erro == 6 ? passo.subExpressao : "");
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
        if (termos[primeiro].proximo < fim) return falha(s, 71, "");
        inicio = static_cast<size_t>(primeiro);
        return true;
    }();
    m.passos.resize(passos);
    return ok;
}

// Evaluates «name=expression» and returns the stored value's text through `valor`.
bool atribui(MemoriaNumera& m, EstadoNumera& s, std::string_view instrucao, std::string& valor) {
    const size_t igual = instrucao.find('=');
    if (igual == std::string_view::npos) return falha(s, 29, instrucao);
    const std::string_view y = instrucao.substr(0, igual);
    const std::string_view e = instrucao.substr(igual + 1);
    if (y.empty()) return falha(s, 30, "");
    for (const std::string& r : m.nomesReservados)
        if (r == y) return falha(s, 53, y);

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

// ---------------------------------------------------------------------------------------
// The run: the code file's statements, their blocks and their execution.

namespace {

// Thrown by the key check when the user presses Esc: the run is abandoned from any depth.
struct AbortoNumera {};

struct Instrucao {
    std::string comando;    // the prefix with "{}", e.g. «\FOR{}»
    std::string parametro;  // between the braces, function calls already operators
    std::string original;   // the parameter as the code file has it
};

// Splits at the first occurrence of `sep`; false when it is absent.
bool corta(std::string_view s, char sep, std::string_view& antes, std::string_view& depois) {
    const size_t p = s.find(sep);
    if (p == std::string_view::npos) return false;
    antes = s.substr(0, p);
    depois = s.substr(p + 1);
    return true;
}

std::vector<std::string> separaEm(std::string_view s, char sep) {
    std::vector<std::string> partes;
    size_t inicio = 0;
    for (;;) {
        const size_t p = s.find(sep, inicio);
        partes.emplace_back(s.substr(inicio, p - inicio));
        if (p == std::string_view::npos) return partes;
        inicio = p + 1;
    }
}

// The table name of a variable or element («M_NT[2a3]» is kept as «M_NT[2,3]»).
bool chaveVariavel(MemoriaNumera& m, EstadoNumera& s, std::string_view nome, std::string& chave) {
    std::string_view base, indice;
    if (ehColecao(tipoNome(nome)) && separaElemento(nome, base, indice))
        return nomeElemento(m, s, nome, chave);
    chave = std::string(nome);
    return true;
}

// The working sound of a run: M8 played once (waited for) ends its loop; M7 loops again.
void tocaSomTrabalho(Editor& e, bool ligado) {
    if (ligado) e.fala.tocaOnda("\\COMANDOS\\MENSAJES\\M7", TocadorOnda::Modo::Repetindo);
    else e.fala.tocaOnda("\\COMANDOS\\MENSAJES\\M8", TocadorOnda::Modo::Sincrono);
}

bool abreBloco(std::string_view comando) {
    return comando == "\\IF{}" || comando == "\\FOR{}" || comando == "\\WHILE{}";
}

// A whole number as the run writes counters: «-3», «10».
std::string inteiroTexto(long long v) { return std::to_string(v); }

// «name=value» for a value that may be negative: «name=0-3», as the translator writes IN.
std::string atribuicaoDeValor(std::string_view nome, std::string_view valor) {
    std::string t(nome);
    t += '=';
    if (!valor.empty() && valor.front() == '-') t += '0';
    t += valor;
    return t;
}

// The value of a variable name for output; false when it is neither numeric nor text.
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

// A parameter that is a number or the name of a numeric variable, as a number.
bool numeroOuVariavel(MemoriaNumera& m, EstadoNumera& s, std::string_view t, double& valor) {
    return leNumero(valorOperando(m, s, t), m.separador, valor);
}

bool nomeDeTexto(std::string_view nome) {
    return nome.rfind("STR", 0) == 0 || nome.rfind("V_S", 0) == 0 || nome.rfind("M_S", 0) == 0;
}

// ---------------------------------------------------------------------------------------
// The statements that keep constants and expressions and exchange data with files.


constexpr std::string_view kApagar = "1APAGAR";

// A file a program names («DADOS» + ".csv»): in the folder of the document being edited
// (the working folder for a text without a name), found without regard to case. A name
// that would leave that folder (a separator, "..", a link pointing outside) is refused, so
// a program received from someone else cannot read or write the user's other files.
bool arquivoTroca(const Editor& e, std::string_view nome, std::string_view extensao,
                  fs::path& saida) {
    if (nome.empty() || nome.find_first_of("/\\:") != std::string_view::npos || nome == "." ||
        nome == "..")
        return false;
    std::error_code ec;
    fs::path pasta = e.ed.nomeArquivo.empty()
                         ? fs::current_path(ec)
                         : fs::path(mapeiaCaminho(e.ed.nomeArquivo)).parent_path();
    if (pasta.empty()) pasta = ".";
    saida = achaArquivo(pasta / (std::string(nome) + std::string(extensao)));
    if (!fs::is_symlink(fs::symlink_status(saida, ec))) return true;
    const fs::path destino = fs::weakly_canonical(saida, ec);
    const fs::path base = fs::weakly_canonical(pasta, ec);
    return !ec && destino.parent_path() == base;
}

// Lines (CR LF) written over a file of the user's; false when it cannot be written.
bool gravaLinhasTroca(const fs::path& arquivo, const std::vector<std::string>& linhas) {
    std::ofstream f(arquivo, std::ios::binary | std::ios::trunc);
    for (const std::string& l : linhas) f << l << "\r\n";
    return static_cast<bool>(f.flush());
}

// Splits «a,b,c»; the parts as written.
std::vector<std::string> campos(std::string_view p) { return separaEm(p, ','); }

// Names of a list that are internal to the run and never saved.
bool interna(std::string_view nome) {
    for (std::string_view n : {"IFOR", "FFOR", "VWHILE1", "VWHILE2", "VIF", "VFOR", "evaluate"})
        if (nome == n) return true;
    return false;
}

// The user's files a run reads and changes, kept in memory from one statement to the next
// and written back when the run ends: a table filled cell by cell is not rewritten whole
// for every cell, and every statement sees what the ones before it wrote.
class ArquivosRun {
public:
    // A file's lines, read on first use; nullptr when it neither exists nor was written.
    std::vector<std::string>* existente(const fs::path& arquivo) {
        if (auto it = abertos_.find(arquivo); it != abertos_.end()) return &it->second.linhas;
        std::error_code ec;
        if (!fs::is_regular_file(arquivo, ec)) return nullptr;
        std::vector<std::string>& linhas = abertos_[arquivo].linhas;
        linhas = leLinhasNumera(arquivo);
        return &linhas;
    }
    // The lines to change (empty for a new file); the file is written at the end.
    std::vector<std::string>& muda(const fs::path& arquivo) {
        existente(arquivo);
        Aberto& a = abertos_[arquivo];
        a.mudado = true;
        return a.linhas;
    }
    // Where a name the program gave was found, so a table filled cell by cell looks for its
    // file once.
    std::map<std::string, fs::path, std::less<>> resolvidos;

    // Writes every changed file; the name of the first that could not be, else empty.
    std::string gravaTodos() {
        std::string falhou;
        for (auto& [arquivo, a] : abertos_)
            if (a.mudado && !gravaLinhasTroca(arquivo, a.linhas) && falhou.empty())
                falhou = arquivo.filename().string();
        abertos_.clear();
        resolvidos.clear();
        return falhou;
    }

private:
    struct Aberto {
        std::vector<std::string> linhas;
        bool mudado = false;
    };
    std::map<fs::path, Aberto> abertos_;
};

class Troca {
public:
    Troca(Editor& e, MemoriaNumera& m, EstadoNumera& s, std::vector<std::string>& expressoes,
          ArquivosRun& arquivos)
        : e_(e), m_(m), s_(s), expressoes_(expressoes), arquivos_(arquivos) {}

    void salvaConstantes(std::string_view lista);
    void apagaConstantes(std::string_view lista);
    void salvaExpressao(std::string_view original);
    void apagaExpressoes(std::string_view lista);
    void salvaMemoria(std::string_view p);
    void leMemoria(std::string_view p);
    void avaliaTabela(std::string_view p, std::string_view original);
    void importaTabela(std::string_view p);
    void exportaTabela(std::string_view p);
    void importaTexto(std::string_view p);
    void exportaTexto(std::string_view p);

private:
    bool falha(int codigo, std::string_view parametro = {}) {
        return ::falha(s_, codigo, parametro);
    }
    bool arquivo(std::string_view nome, std::string_view extensao, fs::path& saida) {
        const std::string chave = std::string(nome) + std::string(extensao);
        if (auto it = arquivos_.resolvidos.find(chave); it != arquivos_.resolvidos.end()) {
            saida = it->second;
            return true;
        }
        if (!arquivoTroca(e_, nome, extensao, saida)) return falha(96, nome);
        arquivos_.resolvidos.emplace(chave, saida);
        return true;
    }
    // The lines of a file the program reads; nullptr (error 80, or 96) when there is none.
    const std::vector<std::string>* leitura(std::string_view nome, std::string_view extensao) {
        fs::path origem;
        if (!arquivo(nome, extensao, origem)) return nullptr;
        const std::vector<std::string>* linhas = arquivos_.existente(origem);
        if (!linhas) falha(80, nome);
        return linhas;
    }
    bool inteiro(std::string_view t, int erro, long long& valor);
    bool guardaLidos(const std::vector<std::string>& lidos, std::string_view destino);
    bool valorTexto(std::string_view nome, std::string& texto);

    Editor& e_;
    MemoriaNumera& m_;
    EstadoNumera& s_;
    std::vector<std::string>& expressoes_;
    ArquivosRun& arquivos_;
};

// A list of pairs name/value rewritten: the file emptied, then every line not marked.
void regravaPares(std::string_view arquivo, const std::vector<std::string>& pares) {
    std::vector<std::string> linhas{""};
    for (const std::string& l : pares)
        if (l != kApagar) linhas.push_back(l);
    gravaLinhasNumera(arquivo, linhas);
}

// The position of a name in a flat list name, value, name, value...; its size when absent.
size_t achaPar(const std::vector<std::string>& pares, std::string_view nome) {
    for (size_t i = 0; i + 1 < pares.size(); i += 2)
        if (pares[i] == nome) return i;
    return pares.size();
}

void Troca::salvaConstantes(std::string_view lista) {
    const std::vector<std::string> nomes = campos(lista);
    for (const std::string& n : nomes)
        if (m_.indiceNumerico(n) >= m_.nomesNumericos().size()) return void(falha(45, n));
    for (const std::string& n : nomes) {
        const std::string valor =
            textoGeral(m_.valoresNumericos()[m_.indiceNumerico(n)], m_.separador);
        const size_t i = achaPar(m_.constantesUsuario, n);
        if (i == m_.constantesUsuario.size()) {
            m_.constantesUsuario.push_back(n);
            m_.constantesUsuario.push_back(valor);
        } else {
            m_.constantesUsuario[i + 1] = valor;
        }
    }
    regravaPares("constantesUsuario.txt", m_.constantesUsuario);
}

// DELETECONSTANT and DELETEEXPRESSION: "vacio" deletes all; else every name must be there.
bool apagaPares(std::vector<std::string>& pares, std::string_view lista, std::string& faltando) {
    if (lista == "vacio") {
        pares.clear();
        return true;
    }
    const std::vector<std::string> nomes = campos(lista);
    for (const std::string& n : nomes) {
        if (achaPar(pares, n) == pares.size()) {
            faltando = n;
            return false;
        }
    }
    for (const std::string& n : nomes) {
        const size_t i = achaPar(pares, n);
        if (i < pares.size()) pares[i] = pares[i + 1] = std::string(kApagar);
    }
    return true;
}

void Troca::apagaConstantes(std::string_view lista) {
    std::string faltando;
    if (!apagaPares(m_.constantesUsuario, lista, faltando)) return void(falha(46, faltando));
    regravaPares("constantesUsuario.txt", m_.constantesUsuario);
}

void Troca::salvaExpressao(std::string_view original) {
    std::string_view nome, expressao;
    if (!corta(original, '=', nome, expressao)) return void(falha(72));
    const size_t i = achaPar(expressoes_, nome);
    if (i == expressoes_.size()) {
        expressoes_.emplace_back(nome);
        expressoes_.emplace_back(expressao);
    } else {
        expressoes_[i + 1] = std::string(expressao);
    }
    regravaPares("ExpressoesUsuario.txt", expressoes_);
}

void Troca::apagaExpressoes(std::string_view lista) {
    std::string faltando;
    if (!apagaPares(expressoes_, lista, faltando)) return void(falha(52, faltando));
    regravaPares("ExpressoesUsuario.txt", expressoes_);
}

void Troca::salvaMemoria(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    fs::path destino;
    if (!arquivo(partes[0], ".csv", destino)) return;
    const std::string prefixo = partes.size() > 1 ? partes[1] + "[" : std::string();
    auto escolhido = [&](const std::string& nome) {
        return prefixo.empty() ? !interna(nome) : nome.rfind(prefixo, 0) == 0;
    };
    std::vector<std::string> linhas;
    for (size_t i = 0; i < m_.nomesNumericos().size(); ++i)
        if (escolhido(m_.nomesNumericos()[i]))
            linhas.push_back(m_.nomesNumericos()[i] + ";" +
                             textoGeral(m_.valoresNumericos()[i], m_.separador));
    for (size_t i = 0; i < m_.nomesTexto().size(); ++i)
        if (escolhido(m_.nomesTexto()[i]))
            linhas.push_back(m_.nomesTexto()[i] + ";" + m_.valoresTexto()[i]);
    arquivos_.muda(destino) = std::move(linhas);
}

void Troca::leMemoria(std::string_view p) {
    const std::vector<std::string>* linhas = leitura(p, ".csv");
    if (!linhas) return;
    for (const std::string& linha : *linhas) {
        std::string_view nome, valor;
        if (!corta(linha, ';', nome, valor) || nome.empty()) continue;
        if (nomeDeTexto(nome)) {
            m_.defineTexto(nome, valor);
            continue;
        }
        double v = 0;
        if (!leNumero(valor, m_.separador, v)) return void(falha(89, linha));
        m_.defineNumero(nome, v);
    }
}

// A parameter that is a whole number or a variable holding one.
bool Troca::inteiro(std::string_view t, int erro, long long& valor) {
    double v = 0;
    if (!numeroOuVariavel(m_, s_, t, v) || !std::isfinite(v) || std::fabs(v) > 1e9)
        return falha(erro, t);
    valor = static_cast<long long>(std::trunc(v));
    return true;
}

void Troca::avaliaTabela(std::string_view p, std::string_view original) {
    const std::vector<std::string> partes = separaEm(p, ':');
    const std::vector<std::string> escritas = separaEm(original, ':');
    if (partes.size() < 6) return void(falha(96, p));
    const std::string& x = partes[1];
    double a = 0, b = 0, passo = 0;
    if (!numeroOuVariavel(m_, s_, partes[2], a)) return void(falha(96, partes[2]));
    if (!numeroOuVariavel(m_, s_, partes[3], b)) return void(falha(96, partes[3]));
    if (!numeroOuVariavel(m_, s_, partes[4], passo)) return void(falha(96, partes[4]));
    if (a >= b) return void(falha(68, partes[2] + " >= " + partes[3]));
    if (passo <= 0) return void(falha(69, partes[4]));
    fs::path destino;
    if (!arquivo("FUNCT-" + partes[5], ".csv", destino)) return;
    std::vector<std::string> linhas{"Fun\xE7\xE3o: " + escritas[0] + ";" +
                                    "Vari\xE1vel: " + x};
    std::string texto = textoGeral(a, m_.separador);
    double atual = a;
    while (atual <= b) {
        avaliaTexto(m_, s_, atribuicaoDeValor(x, texto));
        if (s_.estadoNumera == 2) return;
        const std::string valor = avaliaTexto(m_, s_, "evaluate=" + partes[0]);
        if (s_.estadoNumera == 2) return;
        linhas.push_back(texto + ";" + valor);
        texto = textoGeral(atual + passo, m_.separador);
        double proximo = 0;
        // A step too small to move x would never end the table.
        if (!leNumero(texto, m_.separador, proximo) || proximo <= atual)
            return void(falha(69, partes[4]));
        atual = proximo;
    }
    arquivos_.muda(destino) = std::move(linhas);
}

// The target of an import: kind, base name and first index (i, j for a matrix).
struct Destino {
    std::string base;
    bool texto = false, vetor = false, matriz = false;
    long long i = 0, j = 0;
};

// Stores the values read, one per row, into a scalar, a vector from element i on, or a
// matrix row from element (i, j) on.
bool Troca::guardaLidos(const std::vector<std::string>& lidos, std::string_view nome) {
    Destino d;
    d.texto = nomeDeTexto(nome);
    d.vetor = nome.rfind("V_", 0) == 0;
    d.matriz = nome.rfind("M_", 0) == 0;
    const size_t abre = nome.find('[');
    d.base = std::string(nome.substr(0, abre));
    if (d.vetor || d.matriz) {
        if (abre == std::string_view::npos || nome.back() != ']') return falha(95, nome);
        std::string_view indice = nome.substr(abre + 1, nome.size() - abre - 2);
        std::string_view primeiro = indice, segundo;
        if (d.matriz && !corta(indice, 'a', primeiro, segundo)) return falha(113, nome);
        if (!inteiro(primeiro, 90, d.i)) return false;
        if (d.matriz && !inteiro(segundo, 90, d.j)) return false;
    } else if (lidos.size() != 1) {
        return falha(95, nome);
    }
    for (size_t k = 0; k < lidos.size(); ++k) {
        std::string chave = d.base;
        const long long n = static_cast<long long>(k);
        if (d.vetor) chave += "[" + std::to_string(d.i + n) + "]";
        if (d.matriz) chave += "[" + std::to_string(d.i) + "," + std::to_string(d.j + n) + "]";
        if (d.texto) {
            m_.defineTexto(chave, lidos[k]);
        } else {
            double v = 0;
            if (!leNumero(lidos[k], m_.separador, v))
                return falha(d.vetor ? 93 : d.matriz ? 94 : 89, lidos[k]);
            m_.defineNumero(chave, v);
        }
        if (d.vetor || d.matriz) m_.garanteNumero(d.base);
    }
    return true;
}

// A number read from a file with either decimal character takes the run's separator.
std::string comSeparador(std::string t, char separador) {
    const char outro = separador == '.' ? ',' : '.';
    for (char& c : t)
        if (c == outro) c = separador;
    return t;
}

void Troca::importaTabela(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 5) return void(falha(111));
    long long c = 0, r1 = 0, r2 = 0;
    if (!inteiro(partes[1], 107, c) || !inteiro(partes[2], 108, r1) ||
        !inteiro(partes[3], 109, r2))
        return;
    if (c < 1) return void(falha(103));
    if (r1 < 1) return void(falha(104));
    if (r2 < 1) return void(falha(105));
    if (r1 > r2) return void(falha(106));
    const std::vector<std::string>* lidas = leitura(partes[0], ".csv");
    if (!lidas) return;
    const std::vector<std::string>& linhas = *lidas;
    std::vector<std::string> lidos;
    for (long long r = r1; r <= r2; ++r) {
        std::string linha = r <= static_cast<long long>(linhas.size())
                                ? linhas[static_cast<size_t>(r - 1)] : std::string();
        if (linha.empty()) linha = "0;";
        const std::vector<std::string> celulas = separaEm(linha, ';');
        // A missing or empty cell reads as 0, as an empty row does.
        std::string celula =
            c <= static_cast<long long>(celulas.size()) ? celulas[static_cast<size_t>(c - 1)] : "";
        if (celula.empty()) celula = "0";
        lidos.push_back(comSeparador(celula, m_.separador));
    }
    guardaLidos(lidos, partes[4]);
}

// The text of a variable's value: numbers in the general form.
bool Troca::valorTexto(std::string_view nome, std::string& texto) {
    bool numerico = false;
    double numero = 0;
    if (!valorSaida(m_, s_, nome, numerico, numero, texto)) return false;
    if (numerico) texto = textoGeral(numero, m_.separador);
    return true;
}

void Troca::exportaTabela(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 4) return void(falha(111));
    long long c = 0, r = 0;
    if (!inteiro(partes[1], 86, c) || !inteiro(partes[2], 87, r)) return;
    if (c < 1) return void(falha(81));
    if (r < 1) return void(falha(82));
    std::string valor;
    if (!valorTexto(partes[3], valor)) return void(falha(88, partes[3]));
    fs::path destino;
    if (!arquivo(partes[0], ".csv", destino)) return;
    std::vector<std::string>& linhas = arquivos_.muda(destino);
    if (linhas.size() < static_cast<size_t>(r)) linhas.resize(static_cast<size_t>(r));
    std::vector<std::string> celulas = separaEm(linhas[static_cast<size_t>(r - 1)], ';');
    if (celulas.size() < static_cast<size_t>(c)) celulas.resize(static_cast<size_t>(c));
    celulas[static_cast<size_t>(c - 1)] = valor;
    std::string linha;
    for (size_t k = 0; k < celulas.size(); ++k) linha += (k ? ";" : "") + celulas[k];
    linhas[static_cast<size_t>(r - 1)] = linha;
}

void Troca::importaTexto(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 6) return void(falha(111));
    long long c1 = 0, c2 = 0, r1 = 0, r2 = 0;
    if (!inteiro(partes[1], 114, c1) || !inteiro(partes[2], 115, c2) ||
        !inteiro(partes[3], 108, r1) || !inteiro(partes[4], 109, r2))
        return;
    if (c1 < 1) return void(falha(97));
    if (c2 < 1) return void(falha(98));
    if (r1 < 1) return void(falha(99));
    if (r2 < 1) return void(falha(100));
    if (c1 > c2) return void(falha(101));
    if (r1 > r2) return void(falha(102));
    const std::vector<std::string>* lidas = leitura(partes[0], ".txt");
    if (!lidas) return;
    const std::vector<std::string>& linhas = *lidas;
    std::vector<std::string> lidos;
    for (long long r = r1; r <= r2; ++r) {
        const std::string linha = r <= static_cast<long long>(linhas.size())
                                      ? linhas[static_cast<size_t>(r - 1)] : std::string();
        if (static_cast<long long>(linha.size()) < c1) {
            lidos.emplace_back("0");
            continue;
        }
        lidos.push_back(comSeparador(
            linha.substr(static_cast<size_t>(c1 - 1), static_cast<size_t>(c2 - c1 + 1)),
            m_.separador));
    }
    guardaLidos(lidos, partes[5]);
}

void Troca::exportaTexto(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 4 && partes.size() != 5) return void(falha(111));
    const bool sobrescreve = partes.size() == 5;
    if (sobrescreve && partes[4] != "TRUE") return void(falha(117, partes[4]));
    long long c = 0, r = 0;
    if (!inteiro(partes[1], 107, c) || !inteiro(partes[2], 114, r)) return;
    if (c < 1) return void(falha(81));
    if (r < 1) return void(falha(82));
    std::string t;
    if (!valorTexto(partes[3], t)) return void(falha(88, partes[3]));
    fs::path destino;
    if (!arquivo(partes[0], ".txt", destino)) return;
    std::vector<std::string>& linhas = arquivos_.muda(destino);
    if (linhas.size() < static_cast<size_t>(r)) linhas.resize(static_cast<size_t>(r));
    std::string& linha = linhas[static_cast<size_t>(r - 1)];
    const size_t coluna = static_cast<size_t>(c - 1), n = t.size();
    const std::string brancos(n + static_cast<size_t>(c) + 2, ' ');
    if (linha.size() > static_cast<size_t>(c)) {
        if (sobrescreve) linha.erase(coluna, n);
    } else if (!linha.empty()) {
        linha += brancos;
    } else {
        linha = brancos;
        if (sobrescreve) linha.erase(coluna, n);
    }
    linha.insert(coluna, t);
}

// ---------------------------------------------------------------------------------------
// The run itself.

class Execucao {
public:
    Execucao(Editor& e, MemoriaNumera& m) : e_(e), m_(m), s_(e.numera) {}

    bool carrega(std::vector<std::string> linhas);
    // The stored expressions, pairs of lines name and expression.
    void defineExpressoes(std::vector<std::string> linhas);
    bool verificaBlocos();
    void executaBloco();
    // Document line of the statement being executed (for the error lines).
    int linhaAtual() const;
    int indiceAtual = 0;
    ArquivosRun arquivos;

private:
    void verificaTeclas();
    void despacha(const Instrucao& ins);
    void executaSe();
    void executaPara();
    void executaEnquanto();
    void pulaParaDentro();
    bool condicao(std::string_view parametro, std::string_view esquerda, std::string_view direita,
                  bool& verdade);
    void executaVaPara(std::string_view rotulo);
    void resultadoVariaveis(std::string_view lista);
    void imprime(std::string_view itens, bool comBrancos);
    void defineDecimais(std::string_view n);
    void passos(std::string_view n);
    std::string numeroSaida(double v) const;
    bool falha(int codigo, std::string_view parametro = {});
    bool avancaEConfereAlvo();

    Editor& e_;
    MemoriaNumera& m_;
    EstadoNumera& s_;
    std::vector<Instrucao> instrucoes_;
    std::vector<std::string> expressoes_;
    std::vector<int> fimBloco_;  // per opening statement, the index of its CONTINUE
    int alvoSalto_ = -1;
    int voltas_ = 0;  // how often the current skip wrapped at END
    int casasDecimais_ = 0;
    bool somTrabalho_ = true;
    // Statements carried out; a run that never ends stops at the limit with a clear error
    // (Esc stops it sooner, but a scripted run has nobody to press it).
    long long passosExecutados_ = 0;
};

constexpr long long kLimitePassos = 500'000'000;

bool Execucao::falha(int codigo, std::string_view parametro) {
    return ::falha(s_, codigo, parametro);
}

// Code lines after the file's first (empty) one; "\NOP;" lines are not statements.
bool Execucao::carrega(std::vector<std::string> linhas) {
    for (size_t i = 1; i < linhas.size(); ++i) {
        std::string_view l = linhas[i];
        if (l.empty() || l == "\\NOP;") continue;
        if (l.back() == ';') l.remove_suffix(1);
        Instrucao ins;
        const size_t chave = l.find('{');
        if (chave == std::string_view::npos) {
            ins.comando = std::string(l) + "{}";
        } else {
            ins.comando = std::string(l.substr(0, chave)) + "{}";
            std::string_view p = l.substr(chave + 1);
            if (!p.empty() && p.back() == '}') p.remove_suffix(1);
            ins.original = std::string(p);
            ins.parametro = reescreveFuncoes(p);
        }
        instrucoes_.push_back(std::move(ins));
    }
    fimBloco_.assign(instrucoes_.size(), -1);
    return true;
}

void Execucao::defineExpressoes(std::vector<std::string> linhas) {
    std::erase(linhas, std::string());
    if (linhas.size() % 2 != 0) linhas.pop_back();
    expressoes_ = std::move(linhas);
}

bool Execucao::verificaBlocos() {
    std::vector<int> abertos;
    for (size_t i = 0; i < instrucoes_.size(); ++i) {
        const std::string& c = instrucoes_[i].comando;
        if (abreBloco(c)) {
            abertos.push_back(static_cast<int>(i));
        } else if (c == "\\CONTINUE{}") {
            if (abertos.empty()) {
                indiceAtual = static_cast<int>(i);
                return falha(48);
            }
            fimBloco_[static_cast<size_t>(abertos.back())] = static_cast<int>(i);
            abertos.pop_back();
        }
    }
    if (abertos.empty()) return true;
    indiceAtual = abertos.back();
    return falha(49);
}

int Execucao::linhaAtual() const {
    const size_t i = static_cast<size_t>(indiceAtual);
    return i < s_.mapaLinhas.size() ? s_.mapaLinhas[i] : 0;
}

// Esc abandons the run; Enter switches the working sound off and on; other keys are eaten.
void Execucao::verificaTeclas() {
    if (++passosExecutados_ > kLimitePassos) {
        falha(47);
        return;
    }
    while (e_.crt.teclaPressionada()) {
        const uint8_t tecla = e_.crt.leTecla();
        if (tecla == 0) {
            if (e_.crt.teclaPressionada()) e_.crt.leTecla();
        } else if (tecla == 27) {
            tocaSomTrabalho(e_, false);
            s_.estadoNumera = 3;
            s_.codigoErro = 118;
            s_.linhaErro = linhaAtual();
            anexaResultado(textosErroNumera[118]);
            anexaResultado("Linha: " + std::to_string(s_.linhaErro));
            throw AbortoNumera{};
        } else if (tecla == 13) {
            somTrabalho_ = !somTrabalho_;
            tocaSomTrabalho(e_, somTrabalho_);
        }
    }
}

// The step after a statement: the next index, and the end of a skip when it is the target.
bool Execucao::avancaEConfereAlvo() {
    ++indiceAtual;
    if (indiceAtual == alvoSalto_) alvoSalto_ = -1;
    return indiceAtual < static_cast<int>(instrucoes_.size());
}

void Execucao::executaBloco() {
    while (indiceAtual >= 0 && indiceAtual < static_cast<int>(instrucoes_.size()) &&
           s_.estadoNumera != 2) {
        verificaTeclas();
        if (s_.estadoNumera == 2) return;
        const Instrucao& ins = instrucoes_[static_cast<size_t>(indiceAtual)];
        if (ins.comando == "\\CONTINUE{}") return;
        if (ins.comando == "\\END{}") {
            if (alvoSalto_ != -1) {
                // A skip that went round twice never finds its target: stop, not hang.
                if (++voltas_ > 1) return void(falha(50));
                indiceAtual = 0;
            }
        } else if (abreBloco(ins.comando)) {
            despacha(ins);
        } else if (alvoSalto_ == -1) {
            despacha(ins);
        }
        if (s_.estadoNumera == 2) return;
        avancaEConfereAlvo();
    }
}

void Execucao::despacha(const Instrucao& ins) {
    const std::string& c = ins.comando;
    const std::string_view p = ins.parametro;
    if (c == "\\EXPRESSION{}") return avaliaAtribuicao(m_, s_, p);
    if (c == "\\IF{}") return executaSe();
    if (c == "\\FOR{}") return executaPara();
    if (c == "\\WHILE{}") return executaEnquanto();
    if (c == "\\GOTO{}") return executaVaPara(p);
    if (c == "\\VARRESULT{}") return resultadoVariaveis(p);
    if (c == "\\PRINT{}") return imprime(p, true);
    if (c == "\\PRINTER{}") return imprime(p, false);
    if (c == "\\N{}") return void(anexaResultado(""));
    if (c == "\\DECIMAL{}") return defineDecimais(p);
    if (c == "\\STEPRESULT{}") return passos(p);
    Troca troca(e_, m_, s_, expressoes_, arquivos);
    if (c == "\\SAVECONSTANT{}") return troca.salvaConstantes(p);
    if (c == "\\DELETECONSTANT{}") return troca.apagaConstantes(p);
    if (c == "\\SAVEEXPRESSION{}") return troca.salvaExpressao(ins.original);
    if (c == "\\DELETEEXPRESSION{}") return troca.apagaExpressoes(p);
    if (c == "\\SAVEMEMORY{}") return troca.salvaMemoria(p);
    if (c == "\\READMEMORY{}") return troca.leMemoria(p);
    if (c == "\\EVALUATE{}") return troca.avaliaTabela(p, ins.original);
    if (c == "\\IMPORTTABELARO{}") return troca.importaTabela(p);
    if (c == "\\EXPORTTABELARO{}") return troca.exportaTabela(p);
    if (c == "\\IMPORTTEXT{}") return troca.importaTexto(p);
    if (c == "\\EXPORTTEXT{}") return troca.exportaTexto(p);
    // BEGIN and anything the translator let through do nothing.
}

// The body of a block the skip runs into looking for a GOTO's target.
void Execucao::pulaParaDentro() {
    const int abertura = indiceAtual;
    if (avancaEConfereAlvo()) executaBloco();
    if (s_.estadoNumera == 2) return;
    // A target found inside runs the rest of the body once, as the skip reached it.
    indiceAtual = std::max(indiceAtual, fimBloco_[static_cast<size_t>(abertura)]);
}

// «x op y»: both sides evaluated into the internal variables, then compared exactly.
bool Execucao::condicao(std::string_view parametro, std::string_view esquerda,
                        std::string_view direita, bool& verdade) {
    std::string_view op;
    size_t pos = std::string_view::npos;
    for (std::string_view candidato : operadoresComparacao) {
        pos = parametro.find(candidato);
        if (pos != std::string_view::npos) {
            op = candidato;
            break;
        }
    }
    if (op.empty()) return falha(96, parametro);
    const std::string a = avaliaTexto(m_, s_, std::string(esquerda) + "=" +
                                                  std::string(parametro.substr(0, pos)));
    if (s_.estadoNumera == 2) return false;
    const std::string b = avaliaTexto(m_, s_, std::string(direita) + "=" +
                                                  std::string(parametro.substr(pos + op.size())));
    if (s_.estadoNumera == 2) return false;
    double x = 0, y = 0;
    if (!leNumero(a, m_.separador, x) || !leNumero(b, m_.separador, y)) return falha(5);
    if (op == "<") verdade = x < y;
    else if (op == ">") verdade = x > y;
    else if (op == "<=") verdade = x <= y;
    else if (op == ">=") verdade = x >= y;
    else if (op == "<>") verdade = x != y;
    else verdade = x == y;
    return true;
}

void Execucao::executaSe() {
    const int abertura = indiceAtual;
    const int fim = fimBloco_[static_cast<size_t>(abertura)];
    if (alvoSalto_ != -1) return pulaParaDentro();
    bool verdade = false;
    if (!condicao(instrucoes_[static_cast<size_t>(abertura)].parametro, "VIF", "VFOR", verdade))
        return;
    if (verdade && avancaEConfereAlvo()) executaBloco();
    if (s_.estadoNumera == 2) return;
    indiceAtual = fim;
}

void Execucao::executaPara() {
    const int abertura = indiceAtual;
    const int fim = fimBloco_[static_cast<size_t>(abertura)];
    if (alvoSalto_ != -1) return pulaParaDentro();
    std::string_view v, resto, a, b;
    const std::string& p = instrucoes_[static_cast<size_t>(abertura)].parametro;
    if (!corta(p, '=', v, resto) || !corta(resto, ':', a, b)) return void(falha(96, p));
    const std::string inicio = avaliaTexto(m_, s_, "IFOR=" + std::string(a));
    if (s_.estadoNumera == 2) return;
    const std::string final = avaliaTexto(m_, s_, "FFOR=" + std::string(b));
    if (s_.estadoNumera == 2) return;
    avaliaTexto(m_, s_, std::string(v) + "=0");
    if (s_.estadoNumera == 2) return;
    double x0 = 0, x1 = 0;
    if (!leNumero(inicio, m_.separador, x0) || !leNumero(final, m_.separador, x1))
        return void(falha(5));
    const long long i0 = static_cast<long long>(std::trunc(x0));
    const long long i1 = static_cast<long long>(std::trunc(x1));
    if (i1 <= i0) return void(falha(58, inteiroTexto(i0) + ">=" + inteiroTexto(i1)));
    for (long long k = i0; k <= i1; ++k) {
        avaliaTexto(m_, s_, atribuicaoDeValor(v, inteiroTexto(k)));
        if (s_.estadoNumera == 2) return;
        indiceAtual = abertura;
        if (avancaEConfereAlvo()) executaBloco();
        if (s_.estadoNumera == 2 || alvoSalto_ != -1) break;
    }
    if (s_.estadoNumera != 2) indiceAtual = std::max(indiceAtual, fim);
}

void Execucao::executaEnquanto() {
    const int abertura = indiceAtual;
    const int fim = fimBloco_[static_cast<size_t>(abertura)];
    if (alvoSalto_ != -1) return pulaParaDentro();
    const std::string& p = instrucoes_[static_cast<size_t>(abertura)].parametro;
    bool verdade = false;
    while (condicao(p, "VWHILE1", "VWHILE2", verdade) && verdade) {
        verificaTeclas();
        indiceAtual = abertura;
        if (avancaEConfereAlvo()) executaBloco();
        if (s_.estadoNumera == 2 || alvoSalto_ != -1) break;
    }
    if (s_.estadoNumera != 2) indiceAtual = std::max(indiceAtual, fim);
}

void Execucao::executaVaPara(std::string_view rotulo) {
    for (const auto& [nome, numero] : s_.etiquetas) {
        if (nome != rotulo) continue;
        alvoSalto_ = numero - 1;
        voltas_ = 0;
        return;
    }
    falha(42, rotulo);
}

// The run's output number format: the general one, or `casasDecimais_` significant digits
// in scientific form with the shortest exponent («3,14E+0»).
std::string Execucao::numeroSaida(double v) const {
    if (casasDecimais_ == 0) return textoGeral(v, m_.separador);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*E", casasDecimais_ - 1, v);
    std::string t = buffer;
    const size_t e = t.find('E');
    if (e == std::string::npos) return t;  // inf or nan
    std::string mantissa = t.substr(0, e);
    for (char& c : mantissa)
        if (c == '.') c = m_.separador;
    const char sinal = t[e + 1];
    std::string expoente = t.substr(e + 2);
    expoente.erase(0, std::min(expoente.find_first_not_of('0'), expoente.size() - 1));
    return mantissa + "E" + sinal + expoente;
}

void Execucao::resultadoVariaveis(std::string_view lista) {
    for (const std::string& nome : separaEm(lista, ',')) {
        bool numerico = false;
        double numero = 0;
        std::string texto;
        if (!valorSaida(m_, s_, nome, numerico, numero, texto)) {
            if (s_.estadoNumera != 2) falha(44, nome);
            return;
        }
        std::string mostrado = nome;
        const size_t colchete = mostrado.find('[');
        if (colchete != std::string::npos && (nome.rfind("M_", 0) == 0)) {
            const size_t a = mostrado.find('a', colchete);
            if (a != std::string::npos) mostrado[a] = ',';
        }
        anexaResultado(mostrado + " = " + (numerico ? numeroSaida(numero) : texto));
    }
}

// PRINT joins its items with a blank after each, PRINTER without.
void Execucao::imprime(std::string_view itens, bool comBrancos) {
    std::string linha;
    size_t i = 0;
    while (i < itens.size()) {
        if (itens[i] == '+') {
            ++i;
            continue;
        }
        if (itens[i] == '"') {
            const size_t fim = itens.find('"', i + 1);
            const size_t ate = fim == std::string_view::npos ? itens.size() : fim;
            linha += itens.substr(i + 1, ate - i - 1);
            i = ate + 1;
        } else {
            const size_t fim = std::min(itens.find('+', i), itens.size());
            const std::string nome(itens.substr(i, fim - i));
            bool numerico = false;
            double numero = 0;
            std::string texto;
            if (!valorSaida(m_, s_, nome, numerico, numero, texto)) {
                if (s_.estadoNumera != 2) falha(77, nome);
                return;
            }
            linha += numerico ? numeroSaida(numero) : texto;
            i = fim;
        }
        if (comBrancos) linha += ' ';
    }
    anexaResultado(linha);
}

void Execucao::defineDecimais(std::string_view n) {
    if (n == "vacio") return void(casasDecimais_ = 0);
    double v = 0;
    if (!numeroOuVariavel(m_, s_, n, v)) return void(falha(56, n));
    casasDecimais_ = static_cast<int>(std::min(std::fabs(std::trunc(v)), 16.0));
    if (casasDecimais_ > 1) ++casasDecimais_;
}

void Execucao::passos(std::string_view n) {
    const auto& lista = m_.passos;
    auto escreve = [&](size_t k) {
        anexaResultado("Sub Express\xE3o " + std::to_string(k + 1) + ": " + lista[k].subExpressao +
                       " = " + lista[k].valor);
    };
    if (lista.empty()) return;
    if (n == "vacio") {
        for (size_t k = 0; k < lista.size(); ++k) escreve(k);
        return;
    }
    double v = 0;
    if (!numeroOuVariavel(m_, s_, n, v)) return void(falha(35, n));
    const double k = std::min(std::fabs(std::trunc(v)), static_cast<double>(lista.size()));
    escreve(static_cast<size_t>(std::max(k, 1.0)) - 1);
}


}  // namespace

void executaPrograma(Editor& e) {
    EstadoNumera& s = e.numera;
    MemoriaNumera m;
    preparaMemoria(e, m);
    Execucao run(e, m);
    try {
        run.carrega(leLinhasNumera(arquivoNumeraEscrita("codigo.txt")));
        run.defineExpressoes(leLinhasNumera(arquivoNumeraLeitura(e, "ExpressoesUsuario.txt")));
        if (run.verificaBlocos()) {
            run.indiceAtual = 0;
            run.executaBloco();
        }
    } catch (...) {
        // Esc, or a failure nothing above could report (no memory, a file system error):
        // the run is abandoned as a system error; what it wrote to files is kept.
        run.arquivos.gravaTodos();
        s.estadoNumera = 2;
        s.codigoErro = 5;
        anexaResultado(textosErroNumera[5]);
        return;
    }
    if (const std::string falhou = run.arquivos.gravaTodos(); !falhou.empty() && s.estadoNumera != 2)
        falha(s, 5, falhou);
    if (s.estadoNumera != 2) {
        s.estadoNumera = 1;
        return;
    }
    s.linhaErro = run.linhaAtual();
    esvaziaArquivo("resultados.txt");
    anexaResultado(textosErroNumera[static_cast<size_t>(s.codigoErro)]);
    if (!s.parametroErro.empty()) anexaResultado("Par\xE2metro err\xF4neo: " + s.parametroErro);
    anexaResultado("Linha: " + std::to_string(s.linhaErro));
}
