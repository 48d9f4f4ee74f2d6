#include "editor/commands/edCalcul.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <optional>

#include "editor/edAjuda.h"
#include "editor/edCampo.h"
#include "editor/edLinha.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinito = std::numeric_limits<double>::infinity();

double potencia(double base, double expoente) {
    if (base == 0 && expoente == 0) return kNaN;
    return std::pow(base, expoente);
}

// Every logarithm: of 0 undefined, of 1 zero whatever the base.
double logaritmo(double v, double base) {
    if (v == 0) return kNaN;
    if (v == 1) return 0;
    if (base == 10) return std::log10(v);
    if (base == 2) return std::log2(v);
    if (base == std::numbers::e) return std::log(v);
    return std::log(v) / std::log(base);
}

double radianos(double graus) { return graus * kPi / 180; }
// The angles where the function has no value, as the tape's users write them.
bool polo(double graus, double primeiro) {
    for (double a = primeiro; a < 720; a += 180)
        if (graus == a) return true;
    return false;
}

// A conversion or function of the chooser. The sentence written with its result has
// \1 for the operand, \2 for the result and \3 for the asked power or base.
struct Conversao {
    uint8_t tecla, codigo;
    double fator;
    double (*funcao)(double v, double p);
    std::string_view frase;
};

constexpr double semFator = 0;

// clang-format off
constexpr Conversao kConversoes[] = {
    {'a', 'a', 27225, nullptr, "\1 alqueires do norte equivalem a \2 metros quadrados"},
    {'A', 'A', 48400, nullptr, "\1 alqueires mineiros equivalem a \2 metros quadrados"},
    {'b', 'b', 24200, nullptr, "\1 alqueires paulistas equivalem a \2 metros quadrados"},
    {'B', 'B', 0.0328, nullptr, "\1 cent\xEDmetros equivalem a \2 p\xE9s"},
    {'c', 'c', 0.3937, nullptr, "\1 cent\xEDmetros equivalem a \2  polegadas"},
    {'C', 'C', 0.0011, nullptr, "\1 cent\xEDmetros quadrados equivalem a \2 p\xE9s quadrados"},
    {'d', 'd', 3785.4, nullptr, "\1 gal\xF5" "es equivalem a \2 cent\xEDmetros c\xFA" "bicos"},
    {'D', 'D', 3.7853, nullptr, "\1 gal\xF5" "es equivalem a \2 litros"},
    {'e', 'e', 0.0022, nullptr, "\1 gramas equivalem a \2 libras"},
    {'E', 'E', 0.0353, nullptr, "\1 gramas equivalem a \2 on\xE7" "as"},
    {'f', 'f', 10000, nullptr, "\1 hectares equivalem a \2 metros quadrados"},
    {'F', 'F', 91.44, nullptr, "\1 jardas equivalem a \2 cent\xEDmetros"},
    {'g', 'g', 0.9144, nullptr, "\1 jardas equivalem a \2 metros"},
    {'G', 'G', 0.8361, nullptr, "\1 jardas quadradas equivalem a \2 metros quadrados"},
    {'h', 'h', 453.5924, nullptr, "\1 libras equivalem a \2 gramas"},
    {'H', 'H', 0.4536, nullptr, "\1 libras equivalem a \2 quilogramas"},
    {'i', 'i', 1.0567, nullptr, "\1 litros equivalem a \2 quartos"},
    {'I', 'I', 1.0936, nullptr, "\1 metros equivalem a \2 jardas"},
    {'j', 'j', 3.2808, nullptr, "\1 metros equivalem a \2 p\xE9s"},
    {'J', 'J', 39.37, nullptr, "\1 metros equivalem a \2 polegadas"},
    {'k', 'k', 1.196, nullptr, "\1 metros quadrados equivalem a \2 jardas quadradas"},
    {'K', 'K', 10.7639, nullptr, "\1 metros quadrados equivalem a \2 p\xE9s quadrados"},
    {'l', 'l', 1.667, nullptr, "\1 metros por minuto equivalem a \2 cent\xEDmetros por segundo"},
    {'L', 'L', 0.0547, nullptr, "\1 metros por minuto equivalem a \2 p\xE9s por segundo"},
    {'m', 'm', 1.6093, nullptr, "\1 milhas equivalem a \2 quil\xF4metros"},
    {'M', 'M', 0.8684, nullptr, "\1 milhas equivalem a \2 n\xF3s"},
    {'n', 'n', 2.59, nullptr, "\1 milhas quadradas equivalem a \2 quil\xF4metros quadrados"},
    {'N', 'N', 0.447, nullptr, "\1 milhas por hora equivalem a \2 metros por segundo"},
    {'o', 'o', 1.6093, nullptr, "\1 milhas por hora equivalem a \2 quil\xF4metros por hora"},
    {'O', 'O', 1.8532, nullptr, "\1 n\xF3s equivalem a \2 quil\xF4metros por hora"},
    {'p', 'p', 28.3495, nullptr, "\1 on\xE7" "as equivalem a \2 gramas"},
    {'P', 'P', semFator, [](double v, double) { return v * 2.83495 / 100; },
     "\1 on\xE7" "as equivalem a \2 quilogramas"},
    {'q', 'q', 30.4801, nullptr, "\1 p\xE9s equivalem a \2 cent\xEDmetros"},
    {'Q', 'Q', 0.507, nullptr, "\1 p\xE9s por minuto equivalem a \2 cent\xEDmetros por segundo"},
    {'r', 'r', 2.54, nullptr, "\1 polegadas equivalem a \2 cent\xEDmetros"},
    {'R', 'R', semFator, [](double v, double) { return v / 12; },
     "\1 polegadas equivalem a \2 p\xE9s"},
    {'s', 's', 0.946, nullptr, "\1 quartos equivalem a \2 litros"},
    {'S', 'S', 2.2046, nullptr, "\1 quilogramas equivalem a \2 libras"},
    {'t', 't', 0.6214, nullptr, "\1 quil\xF4metros equivalem a \2 milhas"},
    {'T', 'T', 3280.833, nullptr, "\1 quil\xF4metros equivalem a \2 p\xE9s"},
    {'u', 'u', semFator, [](double v, double) { return v * ((1000 / 0.9144) * (1000 / 0.9144)); },
     "\1 quil\xF4metros quadrados equivalem a \2 jardas quadradas"},
    {'U', 'U', 0.3861, nullptr, "\1 quil\xF4metros quadrados equivalem a \2 milhas quadradas"},
    {'v', 'v', 0.6214, nullptr, "\1 quil\xF4metros por hora equivalem a \2 milhas por hora"},
    {'V', 'V', 54.68, nullptr, "\1 quil\xF4metros por hora equivalem a \2 p\xE9s por minuto"},
    {'w', 'w', semFator, [](double v, double) { return (v - 32) * 5 / 9; },
     "\1 graus Fahrenheit equivalem a \2 graus Celsius"},
    {'W', 'W', semFator, [](double v, double) { return v * 1.8 + 32; },
     "\1 graus Celsius equivalem a \2 graus Fahrenheit"},
    {'x', 'x', semFator, [](double v, double p) { return potencia(v, p); }, "\1 elevado a \3 = \2"},
    {'X', '@', semFator, [](double v, double) { return 2 * kPi * v; },
     "A circunfer\xEAncia com \1 unidades de raio tem \2 unidades de comprimento"},
    {'y', '#', semFator, [](double v, double) { return kPi * v * v; },
     "O c\xEDrculo com \1 unidades de raio tem \2 unidades ao quadrado de \xE1rea"},
    {'Y', '$', semFator, [](double v, double) { return 4.0 / 3.0 * kPi * v * v * v; },
     "A esfera com \1 unidades de raio tem \2 unidades c\xFA" "bicas de volume"},
    {'z', 'z', semFator, [](double v, double b) { return logaritmo(v, b); },
     "Logar\xEDtmo de \1 na base \3 = \2"},
    {0xE1, 0xE1, semFator, [](double v, double) { return std::sin(radianos(v)); },
     "Seno de \1\xB0 = \2"},
    {0xC1, 0xC1, semFator, [](double v, double) { return std::cos(radianos(v)); },
     "Cosseno de \1\xB0 = \2"},
    {0xE9, 0xE9, semFator,
     [](double v, double) { return polo(v, 90) ? kNaN : std::tan(radianos(v)); },
     "Tangente de \1\xB0 = \2"},
    {0xC9, 0xC9, semFator,
     [](double v, double) { return polo(v, 0) ? kNaN : std::cos(radianos(v)) / std::sin(radianos(v)); },
     "Cotangente de \1\xB0 = \2"},
    {0xED, 0xED, semFator,
     [](double v, double) { return polo(v, 90) ? kNaN : 1 / std::cos(radianos(v)); },
     "Secante de \1\xB0 = \2"},
    {0xCD, 0xCD, semFator,
     [](double v, double) { return polo(v, 0) ? kNaN : 1 / std::sin(radianos(v)); },
     "Cossecante de \1\xB0 = \2"},
    {0xF3, 0xF3, semFator, [](double v, double) { return logaritmo(v, std::numbers::e); },
     "Logar\xEDtmo Neperiano de \1 = \2"},
    {0xD3, 0xD3, semFator, [](double v, double) { return logaritmo(v, 10); },
     "Logar\xEDtmo de \1 na base 10 = \2"},
    {0xFA, 0xFA, semFator, [](double v, double) { return logaritmo(v, 2); },
     "Logar\xEDtmo de \1 na base 2 = \2"},
};
// clang-format on

const Conversao* porTecla(uint8_t tecla) {
    for (const Conversao& c : kConversoes)
        if (c.tecla == tecla) return &c;
    return nullptr;
}

const Conversao* porCodigo(uint8_t codigo) {
    for (const Conversao& c : kConversoes)
        if (c.codigo == codigo) return &c;
    return nullptr;
}

constexpr std::string_view kAritmeticos = "+-*/%&\\|";

bool ehOperador(uint8_t c) {
    return kAritmeticos.find(static_cast<char>(c)) != std::string_view::npos || porCodigo(c);
}

bool digito(char c) { return c >= '0' && c <= '9'; }

bool doTermo(uint8_t c) {
    return digito(static_cast<char>(c)) || c == '(' || c == ')' || c == ',' || c == '.' ||
           c == '=' || ehOperador(c);
}

uint8_t operadorDe(std::string_view termo) {
    return termo.empty() ? ' ' : static_cast<uint8_t>(termo.back());
}

double divide(double acc, double v) {
    if (v != 0) return acc / v;
    if (acc > 0) return kInfinito;
    if (acc < 0) return -kInfinito;
    return kNaN;
}

// One step of the tape: the accumulator `acc` joined to the next line's value `v` by
// `op`; `p` is the asked power or base. An unknown operator gives 0.
double passo(uint8_t op, double acc, double v, double p) {
    switch (op) {
        case '+': return acc + v;
        case '-': return acc - v;
        case '*': return acc * v;
        case '/': return divide(acc, v);
        case '%': return acc * v / 100;
        case '&': return v * v;
        case '\\': return std::sqrt(v);
        case '|': return potencia(acc, v);
    }
    const Conversao* c = porCodigo(op);
    if (!c) return 0;
    return c->funcao ? c->funcao(v, p) : v * c->fator;
}

// The decimal number at the start of `s` ("." as the point); 0 when there is none.
double leNumero(std::string_view s) {
    double x = 0;
    const std::errc erro =
        std::from_chars(s.data(), s.data() + s.size(), x, std::chars_format::fixed).ec;
    if (erro == std::errc::result_out_of_range) return kInfinito;
    return erro == std::errc{} ? x : 0;
}

// Gathers the characters of `conjunto` from position `i` onwards into `s`; a comma
// gathered is dropped when another character follows it (the calculator's own reading: the
// comma a thousands mark). With a separator configured the characters are kept as they are,
// for numeroConfigurado to judge.
void junta(std::string_view termo, size_t& i, std::string_view conjunto, std::string& s, char separador) {
    for (; i < termo.size() && conjunto.find(termo[i]) != std::string_view::npos; ++i) {
        if (!separador && !s.empty() && s.back() == ',') s.pop_back();
        s += termo[i];
    }
}

// A number as the configured separator says it is written: digits, the other character
// only between groups of three digits, at most one separator with digits after it.
// Nothing when it breaks the rule ("1.2,3", "1,2,3" with ","), 0 for no digits at all.
std::optional<double> numeroConfigurado(std::string_view termo, char separador) {
    const char milhar = separador == ',' ? '.' : ',';
    std::string limpo;
    for (char c : termo)
        if (digito(c) || c == ',' || c == '.') limpo += c;
    const std::string_view s = limpo;
    const size_t corte = s.find(separador);
    std::string_view inteira = s.substr(0, corte);
    const std::string_view decimais = corte == std::string_view::npos ? "" : s.substr(corte + 1);
    if (decimais.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::string numero;
    if (inteira.find(milhar) != std::string_view::npos) {
        // Groups of three after the first, which has one to three digits.
        for (size_t fim = inteira.size(); fim != std::string_view::npos;) {
            const size_t marca = inteira.rfind(milhar, fim == 0 ? 0 : fim - 1);
            const size_t inicio = marca == std::string_view::npos ? 0 : marca + 1;
            const size_t tamanho = fim - inicio;
            if (tamanho == 0 || tamanho > 3 || (marca != std::string_view::npos && tamanho != 3))
                return std::nullopt;
            if (marca == std::string_view::npos) break;
            fim = marca;
        }
    }
    for (char c : inteira)
        if (c != milhar) numero += c;
    if (!decimais.empty()) numero += '.' + std::string(decimais);
    if (numero.empty()) return 0.0;
    return leNumero(numero);
}

// The numbers of a term: its digits and marks in order, read by the rule in force.
std::optional<double> numeroDoTermo(std::string_view s, char separador) {
    if (separador) return numeroConfigurado(s, separador);
    return leNumero(s);
}

// "(a op b": the operation computed at once; the power and the logarithm take b as the
// exponent or the base of a, every other operator joins a and b as a tape step does.
std::optional<double> valorComParenteses(std::string_view termo, char separador) {
    constexpr std::string_view kNumero = ",.0123456789";
    size_t i = termo.find('(') + 1;
    std::string a, b;
    junta(termo, i, kNumero, a, separador);
    if (i >= termo.size()) return 0.0;
    const auto op = static_cast<uint8_t>(termo[i++]);
    if (op == 'z') junta(termo, i, "*,-._0123456789", b, separador);
    junta(termo, i, kNumero, b, separador);
    const std::optional<double> na = numeroDoTermo(a, separador), nb = numeroDoTermo(b, separador);
    if (!na || !nb) return std::nullopt;
    if (op == 'x' || op == 'z') return passo(op, *na, *na, *nb);
    return passo(op, *na, *nb, 0);
}

// Fixed notation of a finite x with `decimais` places, rounded half away from zero on
// the shortest decimal form of x (so 2.675 gives 2.68, as a person rounds it).
std::string notacaoFixa(double x, int decimais) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
    const bool negativo = sci.front() == '-';
    const size_t posE = sci.find('e');
    std::string digitos;
    for (char c : sci.substr(0, posE))
        if (digito(c)) digitos += c;
    int expoente = 0;
    std::string_view textoExp = sci.substr(posE + 1);
    if (textoExp.front() == '+') textoExp.remove_prefix(1);
    std::from_chars(textoExp.data(), textoExp.data() + textoExp.size(), expoente);

    int inteiros = expoente + 1;  // digits before the point
    int manter = inteiros + decimais;
    if (manter < 0) {  // far below the last place: zero
        digitos.clear();
        inteiros = -decimais;
        manter = 0;
    }
    if (static_cast<int>(digitos.size()) > manter) {
        const bool sobe = digitos[static_cast<size_t>(manter)] >= '5';
        digitos.resize(static_cast<size_t>(manter));
        if (sobe) {
            int i = manter - 1;
            for (; i >= 0 && digitos[static_cast<size_t>(i)] == '9'; --i)
                digitos[static_cast<size_t>(i)] = '0';
            if (i >= 0) {
                ++digitos[static_cast<size_t>(i)];
            } else {
                digitos.insert(digitos.begin(), '1');
                ++inteiros;
            }
        }
    } else {
        digitos.append(static_cast<size_t>(manter) - digitos.size(), '0');
    }
    if (inteiros < 1) {
        digitos.insert(0, static_cast<size_t>(1 - inteiros), '0');
        inteiros = 1;
    }
    std::string s;
    if (negativo && digitos.find_first_not_of('0') != std::string::npos) s = "-";
    s.append(digitos, 0, static_cast<size_t>(inteiros));
    if (decimais > 0) {
        s += '.';
        s.append(digitos, static_cast<size_t>(inteiros));
    }
    return s;
}

// PARTEDECIMAL of section PLUMAR: 2 when missing or not a number, at most 8; the
// corrected value is written back so the file shows what is used.
int casasDecimais(Editor& e) {
    const std::optional<long> n = inteiroIni(e.fala.leIni("PLUMAR", "PARTEDECIMAL"));
    const char* corrigido = !n ? "2" : *n > 8 ? "8" : nullptr;
    if (corrigido) {
        escreveIniArquivo(e.fala.arquivoIni(), "PLUMAR", "PARTEDECIMAL", corrigido);
        return *corrigido - '0';
    }
    return static_cast<int>(std::max(*n, 0L));
}

// The state of a tape being run.
struct Fita {
    char separador = 0;    // the configured one; 0: the calculator's own reading
    double acumulador = 0;
    uint8_t ultimo = ' ';  // last operator applied
    double operando = 0;   // the value of the last step's line
    std::string pergunta;  // the power or base typed for the last step
};

// Stops the run on the line the cursor has reached, saying why.
void interrompe(Editor& e, std::string_view chave) {
    redesenhaTela(e);
    falaMensagem(e, chave);
}

// The power or the base of a step, typed by the user; nothing when the answer is empty,
// left with Esc, holds a sign the question refuses or is not a number.
std::optional<std::string> perguntaNumero(Editor& e, std::string_view chave, char separador) {
    falaMensagem(e, chave);
    const std::string lido = leLinhaFalada(e);
    const std::string_view resposta = apara(lido);
    // The thousands mark has no place in a power or a base; the configured separator does.
    const std::string recusados = std::string(separador == ',' ? "." : ",") + "-=*";
    if (resposta.empty() || resposta.find_first_of(recusados) != std::string_view::npos)
        return std::nullopt;
    std::string numero(resposta);
    std::replace(numero.begin(), numero.end(), ',', '.');
    double x = 0;
    const auto [fim, erro] =
        std::from_chars(numero.data(), numero.data() + numero.size(), x, std::chars_format::fixed);
    if (erro != std::errc{} || fim != numero.data() + numero.size()) return std::nullopt;
    return std::string(resposta);
}

// Applies the step `op` with the line just reached; false when the run stops there. A
// question left unanswered brings the cursor back to line `desistindo`.
bool aplicaPasso(Editor& e, Fita& f, uint8_t op, std::string_view linha, int desistindo) {
    const std::string_view termo = termoDaLinha(linha);
    const std::string_view marcas = f.separador == ',' ? ".-*_" : ",-*_";
    if (op == '|' && termo.find_first_of(marcas) != std::string_view::npos) {
        interrompe(e, "EDOPRINV");
        return false;
    }
    const std::optional<double> valor = valorTermo(termo, f.separador);
    if (!valor) {
        interrompe(e, "EDNUMINV");
        return false;
    }
    std::string pergunta;
    if (op == 'x' || op == 'z') {
        std::optional<std::string> p = perguntaNumero(e, op == 'x' ? "EDINFPOT" : "EDINFBAS", f.separador);
        if (!p) {
            e.ed.linhaAtual = std::max(desistindo, 1);
            interrompe(e, "EDDESIST");
            return false;
        }
        pergunta = std::move(*p);
    }
    f.operando = *valor;
    std::string numeroPergunta = pergunta;
    std::replace(numeroPergunta.begin(), numeroPergunta.end(), ',', '.');
    f.acumulador = passo(op, f.acumulador, f.operando, leNumero(numeroPergunta));
    f.pergunta = std::move(pergunta);
    f.ultimo = op;
    return true;
}

std::string fraseDaConversao(const Conversao& c, const std::string& operando,
                             const std::string& resultado, const std::string& pergunta) {
    std::string s;
    for (char ch : c.frase) {
        if (ch == '\1')
            s += operando;
        else if (ch == '\2')
            s += resultado;
        else if (ch == '\3')
            s += pergunta;
        else
            s += ch;
    }
    return s;
}

// The result line under the "=" line, the cursor on it, spoken.
void escreveResultado(Editor& e, const Fita& f) {
    EdVars& ed = e.ed;
    const int decimais = casasDecimais(e);
    const char separador = f.separador ? f.separador : '.';
    const std::string resultado = formataResultado(f.acumulador, decimais, separador);
    const Conversao* c = porCodigo(f.ultimo);
    const std::string linha =
        c ? fraseDaConversao(*c, formataResultado(f.operando, decimais, separador), resultado, f.pergunta)
          : "Total: " + resultado;
    ++ed.linhaAtual;
    insereLinha(e, linha, false);
    ed.colunaAtual = 1;
    redesenhaTela(e);
    e.fala.falaTexto(ed.linha(ed.linhaAtual));
}

// The tape from the line after the cursor on, `op` being the operator that joins the
// cursor line to it; the result line at its end.
void continuaFita(Editor& e, Fita& f, uint8_t op) {
    EdVars& ed = e.ed;
    while (ehOperador(op)) {
        if (ed.linhaAtual >= ed.nLinhas()) return interrompe(e, "EDERRLEI");
        ++ed.linhaAtual;
        ed.colunaAtual = 1;
        const std::string linha = ed.linha(ed.linhaAtual);
        if (linha.empty()) return interrompe(e, "EDERRLEI");
        if (!aplicaPasso(e, f, op, linha, ed.linhaAtual - 1)) return;
        op = operadorDe(termoDaLinha(linha));
    }
    if (op != '=') return interrompe(e, "EDERRLEI");
    escreveResultado(e, f);
}

void calculaFita(Editor& e) {
    EdVars& ed = e.ed;
    if (ed.linhaAtual < 1 || ed.linhaAtual > ed.nLinhas() || ed.linha(ed.linhaAtual).empty())
        return interrompe(e, "EDERRLEI");
    Fita f;
    f.separador = separadorDecimalConfigurado(e);
    const std::string_view termo = termoDaLinha(ed.linha(ed.linhaAtual));
    const std::optional<double> primeiro = valorTermo(termo, f.separador);
    if (!primeiro) return interrompe(e, "EDNUMINV");
    f.acumulador = *primeiro;
    continuaFita(e, f, operadorDe(termo));
}

// A conversion applied to the "=" line under the cursor, as if a line holding its code
// stood above it; the text gets the result line and nothing else.
void converteLinha(Editor& e, uint8_t codigo) {
    EdVars& ed = e.ed;
    ed.colunaAtual = 1;
    const std::string linha = ed.linha(ed.linhaAtual);
    Fita f;
    f.separador = separadorDecimalConfigurado(e);
    if (!aplicaPasso(e, f, codigo, linha, ed.linhaAtual)) return;
    continuaFita(e, f, operadorDe(termoDaLinha(linha)));
}

void escolheConversao(Editor& e) {
    falaMensagem(e, "EDCONVER");
    uint8_t tecla;
    do tecla = e.fala.leTeclaEco();
    while (tecla == 222 || tecla == 223);  // focus changes are no answer
    redesenhaTela(e);
    if (tecla == 0) {
        e.crt.leTecla();  // which extended key does not matter: the list opens
        tecla = escolheNaLista(e, "EDAJCV", linhasAjuda("EDAJCV"));
    }
    if (tecla == 27) return falaMensagem(e, "EDDESIST");
    const Conversao* c = porTecla(tecla);
    if (!c) return e.fala.bip();
    converteLinha(e, c->codigo);
}

}  // namespace

std::string_view termoDaLinha(std::string_view linha) {
    size_t k = linha.size();
    while (k > 0 && linha[k - 1] == ' ') --k;
    while (k > 0 && doTermo(static_cast<uint8_t>(linha[k - 1]))) --k;
    // k is now the 1-based position of the character that stopped the scan (0: none).
    if (k >= 1 && linha[k - 1] == ' ') return linha.substr(k - 1);
    return linha.substr(k >= 2 ? k - 2 : 0);
}

char separadorDecimalConfigurado(Editor& e) {
    const std::string lido = e.fala.leIni("PLUMAR", "SEPARADORDECIMAL");
    const std::string_view valor = apara(lido);  // a view into `lido`, which must outlive it
    return valor == "," || valor == "." ? valor[0] : '\0';
}

std::optional<double> valorTermo(std::string_view termo, char separador) {
    if (termo.find('(') != std::string_view::npos) return valorComParenteses(termo, separador);
    if (separador) return numeroConfigurado(termo, separador);
    std::string resto(termo);
    // Of two neighbouring characters to remove only the first goes: the scan moves on
    // after each removal.
    for (size_t i = 0; i < resto.size(); ++i)
        if (!digito(resto[i]) && resto[i] != '.') resto.erase(i, 1);
    return leNumero(resto);
}

std::string formataResultado(double x, int decimais, char separador) {
    if (std::isnan(x)) return "Indeterminado ou inexistente";
    if (std::isinf(x)) return x > 0 ? "Infinito positivo" : "Infinito negativo";
    std::string s = notacaoFixa(x, decimais);
    if (decimais >= 2 && s.find_first_not_of('0', s.size() - static_cast<size_t>(decimais)) ==
                             std::string::npos)
        s.resize(s.size() - static_cast<size_t>(decimais) - 1);
    std::replace(s.begin(), s.end(), '.', separador);
    return s;
}

void calculadoraLinha(Editor& e) {
    const EdVars& ed = e.ed;
    const std::string_view linha = ed.texto.vista(ed.linhaAtual);
    if (!linha.empty() && linha.back() == '=')
        escolheConversao(e);
    else
        calculaFita(e);
}
