#include "mathmode/EDNUMERACOMPILA.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editor/editor.h"
#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERACOMPILATROCA.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

// Thrown by the key check when the user presses Esc: the run is abandoned from any depth.
struct AbortoNumera {};

enum class Comando {
    expressao, se, para, enquanto, continua, fim, vaPara, resultado, imprime, imprimeJunto, pula,
    decimal, passos, outro
};

struct Instrucao {
    std::string comando;    // the prefix with "{}", e.g. «\FOR{}»
    std::string parametro;  // between the braces, function calls already operators
    std::string original;   // the parameter as the code line has it
    Comando tipo = Comando::outro;
    // IF and WHILE: the two sides as internal assignments («VIF=...») and the comparison;
    // FOR: «IFOR=start», «FFOR=end», «v=0» and the counter v. Built once per run.
    std::string esquerda, direita, zera, contador;
    std::string_view comparacao;
    bool bemFormada = true;
};

Comando tipoComando(std::string_view c) {
    static constexpr std::pair<std::string_view, Comando> kComandos[] = {
        {"\\EXPRESSION{}", Comando::expressao}, {"\\IF{}", Comando::se},
        {"\\FOR{}", Comando::para},           {"\\WHILE{}", Comando::enquanto},
        {"\\CONTINUE{}", Comando::continua},  {"\\END{}", Comando::fim},
        {"\\GOTO{}", Comando::vaPara},        {"\\VARRESULT{}", Comando::resultado},
        {"\\PRINT{}", Comando::imprime},      {"\\PRINTER{}", Comando::imprimeJunto},
        {"\\N{}", Comando::pula},             {"\\DECIMAL{}", Comando::decimal},
        {"\\STEPRESULT{}", Comando::passos},
    };
    for (const auto& [texto, tipo] : kComandos)
        if (c == texto) return tipo;
    return Comando::outro;
}

// The internal assignments of a block's opening statement.
void preparaAbertura(Instrucao& ins) {
    const std::string& p = ins.parametro;
    if (ins.tipo == Comando::para) {
        std::string_view v, resto, a, b;
        ins.bemFormada = cortaNoPrimeiro(p, '=', v, resto) && cortaNoPrimeiro(resto, ':', a, b);
        ins.esquerda = "IFOR=" + std::string(a);
        ins.direita = "FFOR=" + std::string(b);
        ins.zera = std::string(v) + "=0";
        ins.contador = v;
        return;
    }
    size_t pos = std::string::npos;
    for (std::string_view candidato : operadoresComparacao) {
        pos = p.find(candidato);
        if (pos != std::string::npos) {
            ins.comparacao = candidato;
            break;
        }
    }
    ins.bemFormada = !ins.comparacao.empty();
    if (!ins.bemFormada) return;
    const bool se = ins.tipo == Comando::se;
    ins.esquerda = (se ? "VIF=" : "VWHILE1=") + p.substr(0, pos);
    ins.direita = (se ? "VFOR=" : "VWHILE2=") + p.substr(pos + ins.comparacao.size());
}

// The working sound of a run: M8 played once (waited for) ends its loop; M7 loops again.
void tocaSomTrabalho(Editor& e, bool ligado) {
    if (ligado) e.fala.tocaOnda("\\COMANDOS\\MENSAJES\\M7", TocadorOnda::Modo::Repetindo);
    else e.fala.tocaOnda("\\COMANDOS\\MENSAJES\\M8", TocadorOnda::Modo::Sincrono);
}

bool abreBloco(Comando c) { return c == Comando::se || c == Comando::para || c == Comando::enquanto; }

// A whole number as the run writes counters: «-3», «10».
std::string inteiroTexto(long long v) { return std::to_string(v); }

// Statements between two looks at the keyboard: often enough that Esc is felt at once,
// seldom enough that a tight loop does not spend its time asking.
constexpr unsigned kPassosEntreTeclas = 64;

class Execucao {
public:
    Execucao(Editor& e, MemoriaNumera& m) : e_(e), m_(m), s_(e.numera) {}

    // The translator's code lines; "\NOP;" lines are not statements.
    void carrega(const std::vector<std::string>& linhas);
    // The stored expressions, pairs of lines name and expression.
    void defineExpressoes(std::vector<std::string> linhas);
    bool verificaBlocos();
    void executaBloco();
    // Document line of the statement being executed (for the error lines).
    int linhaAtual() const;
    int indiceAtual = 0;
    ArquivosRun arquivos;
    // The lines the run writes, in order.
    std::vector<std::string> resultados;

private:
    void verificaTeclas();
    void despacha(const Instrucao& ins);
    void executaSe();
    void executaPara();
    void executaEnquanto();
    void pulaParaDentro();
    bool condicao(const Instrucao& ins, bool& verdade);
    void defineContador(const Instrucao& ins, long long k, size_t& indice);
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
    return falhaNumera(s_, codigo, parametro);
}

void Execucao::carrega(const std::vector<std::string>& linhas) {
    for (std::string_view l : linhas) {
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
        ins.tipo = tipoComando(ins.comando);
        if (abreBloco(ins.tipo)) preparaAbertura(ins);
        instrucoes_.push_back(std::move(ins));
    }
    fimBloco_.assign(instrucoes_.size(), -1);
}

void Execucao::defineExpressoes(std::vector<std::string> linhas) {
    std::erase(linhas, std::string());
    if (linhas.size() % 2 != 0) linhas.pop_back();
    expressoes_ = std::move(linhas);
}

bool Execucao::verificaBlocos() {
    std::vector<int> abertos;
    for (size_t i = 0; i < instrucoes_.size(); ++i) {
        const Comando c = instrucoes_[i].tipo;
        if (abreBloco(c)) {
            abertos.push_back(static_cast<int>(i));
        } else if (c == Comando::continua) {
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
    if (passosExecutados_ % kPassosEntreTeclas != 0) return;
    while (e_.crt.teclaPressionada()) {
        const uint8_t tecla = e_.crt.leTecla();
        if (tecla == 0) {
            if (e_.crt.teclaPressionada()) e_.crt.leTecla();
        } else if (tecla == 27) {
            tocaSomTrabalho(e_, false);
            s_.estadoNumera = 3;
            s_.codigoErro = 118;
            s_.linhaErro = linhaAtual();
            resultados.emplace_back(textosErroNumera[118]);
            resultados.push_back("Linha: " + std::to_string(s_.linhaErro));
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
        if (ins.tipo == Comando::continua) return;
        if (ins.tipo == Comando::fim) {
            if (alvoSalto_ != -1) {
                // A skip that went round twice never finds its target: stop, not hang.
                if (++voltas_ > 1) return void(falha(50));
                indiceAtual = 0;
            }
        } else if (abreBloco(ins.tipo) || alvoSalto_ == -1) {
            despacha(ins);
        }
        if (s_.estadoNumera == 2) return;
        avancaEConfereAlvo();
    }
}

void Execucao::despacha(const Instrucao& ins) {
    const std::string_view p = ins.parametro;
    switch (ins.tipo) {
        case Comando::expressao: return avaliaAtribuicao(m_, s_, p);
        case Comando::se: return executaSe();
        case Comando::para: return executaPara();
        case Comando::enquanto: return executaEnquanto();
        case Comando::vaPara: return executaVaPara(p);
        case Comando::resultado: return resultadoVariaveis(p);
        case Comando::imprime: return imprime(p, true);
        case Comando::imprimeJunto: return imprime(p, false);
        case Comando::pula: return void(resultados.emplace_back());
        case Comando::decimal: return defineDecimais(p);
        case Comando::passos: return passos(p);
        default: break;
    }
    // BEGIN and anything the translator let through do nothing.
    executaTroca({e_, m_, s_, expressoes_, arquivos}, ins.comando, p, ins.original);
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
bool Execucao::condicao(const Instrucao& ins, bool& verdade) {
    if (!ins.bemFormada) return falha(96, ins.parametro);
    double x = 0, y = 0;
    if (!avaliaNumero(m_, s_, ins.esquerda, x) || !avaliaNumero(m_, s_, ins.direita, y)) return false;
    const std::string_view op = ins.comparacao;
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
    if (!condicao(instrucoes_[static_cast<size_t>(abertura)], verdade)) return;
    if (verdade && avancaEConfereAlvo()) executaBloco();
    if (s_.estadoNumera == 2) return;
    indiceAtual = fim;
}

// The counter takes the value k, as the assignment «v=k» would give it. A plain numeric
// counter that took a value once (its place `indice`) is set directly.
void Execucao::defineContador(const Instrucao& ins, long long k, size_t& indice) {
    if (indice != SIZE_MAX && k >= 0) {
        m_.defineNumeroEm(indice, static_cast<double>(k));
        m_.registraPassos(nullptr, 0);
        return;
    }
    avaliaTexto(m_, s_, atribuicaoDeValor(ins.contador, inteiroTexto(k)));
    if (s_.estadoNumera != 2 && k >= 0 && !nomeDeTexto(ins.contador) &&
        ins.contador.find('[') == std::string::npos)
        indice = m_.indiceNumerico(ins.contador);
}

void Execucao::executaPara() {
    const int abertura = indiceAtual;
    const int fim = fimBloco_[static_cast<size_t>(abertura)];
    if (alvoSalto_ != -1) return pulaParaDentro();
    const Instrucao& ins = instrucoes_[static_cast<size_t>(abertura)];
    if (!ins.bemFormada) return void(falha(96, ins.parametro));
    double x0 = 0, x1 = 0;
    if (!avaliaNumero(m_, s_, ins.esquerda, x0) || !avaliaNumero(m_, s_, ins.direita, x1)) return;
    avaliaTexto(m_, s_, ins.zera);
    if (s_.estadoNumera == 2) return;
    const long long i0 = static_cast<long long>(std::trunc(x0));
    const long long i1 = static_cast<long long>(std::trunc(x1));
    if (i1 <= i0) return void(falha(58, inteiroTexto(i0) + ">=" + inteiroTexto(i1)));
    size_t contador = SIZE_MAX;
    for (long long k = i0; k <= i1; ++k) {
        defineContador(ins, k, contador);
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
    const Instrucao& ins = instrucoes_[static_cast<size_t>(abertura)];
    bool verdade = false;
    while (condicao(ins, verdade) && verdade) {
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
    for (const std::string& nome : separaCampos(lista, ',')) {
        bool numerico = false;
        double numero = 0;
        std::string texto;
        if (!valorSaida(m_, s_, nome, numerico, numero, texto)) {
            if (s_.estadoNumera != 2) falha(44, nome);
            return;
        }
        resultados.push_back(nomeComoEscrito(nome) + " = " + (numerico ? numeroSaida(numero) : texto));
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
    resultados.push_back(std::move(linha));
}

void Execucao::defineDecimais(std::string_view n) {
    if (n == "vacio") return void(casasDecimais_ = 0);
    double v = 0;
    if (!numeroOuVariavel(m_, s_, n, v)) return void(falha(56, n));
    casasDecimais_ = static_cast<int>(std::min(std::fabs(std::trunc(v)), 16.0));
    if (casasDecimais_ > 1) ++casasDecimais_;
}

void Execucao::passos(std::string_view n) {
    const auto& lista = m_.passos();
    auto escreve = [&](size_t k) {
        resultados.push_back("Sub Express\xE3o " + std::to_string(k + 1) + ": " + lista[k].subExpressao +
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

std::vector<std::string> executaPrograma(Editor& e, const std::vector<std::string>& codigo) {
    EstadoNumera& s = e.numera;
    MemoriaNumera m;
    preparaMemoria(e, m);
    Execucao run(e, m);
    try {
        run.carrega(codigo);
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
        run.resultados.emplace_back(textosErroNumera[5]);
        return std::move(run.resultados);
    }
    if (const std::string falhou = run.arquivos.gravaTodos(); !falhou.empty() && s.estadoNumera != 2)
        falhaNumera(s, 5, falhou);
    if (s.estadoNumera != 2) {
        s.estadoNumera = 1;
        return std::move(run.resultados);
    }
    // An error's lines take the place of what the run wrote before it.
    s.linhaErro = run.linhaAtual();
    return linhasErroNumera(s);
}
