// The memory a run computes with (the numeric and text variables, the constants, the step
// trace) and the expression evaluator that works on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct Editor;
struct EstadoNumera;

// A constant of "constantes.txt": only its symbol may stand in an expression.
struct ConstanteSistema {
    std::string nome;
    std::string simbolo;
    std::string valor;
};

// One operation of the last evaluation, for STEPRESULT: the sub-expression as written
// (function codes shown as names) and its value as text.
struct PassoAvaliacao {
    std::string subExpressao;
    std::string valor;
};

struct ExpressaoCompilada;

// What a run computes with: the numeric and text variables (vector and matrix elements are
// entries named «V_NA[3]», «M_NT[2,3]»), the constants and the step trace. Rebuilt at the
// start of every run.
class MemoriaNumera {
public:
    MemoriaNumera();
    ~MemoriaNumera();
    MemoriaNumera(const MemoriaNumera&) = delete;
    MemoriaNumera& operator=(const MemoriaNumera&) = delete;

    // Position of a name in the numeric / text table; the table's size when absent.
    size_t indiceNumerico(std::string_view nome) const;
    size_t indiceTexto(std::string_view nome) const;
    // Sets a variable, appending it when new.
    void defineNumero(std::string_view nome, double valor);
    void defineTexto(std::string_view nome, std::string_view valor);
    // Sets the variable at a position indiceNumerico gave.
    void defineNumeroEm(size_t indice, double valor) { valoresNum[indice] = valor; }
    // Appends a numeric variable with value 0 unless it exists.
    void garanteNumero(std::string_view nome);

    const std::vector<std::string>& nomesNumericos() const { return nomesNum; }
    const std::vector<double>& valoresNumericos() const { return valoresNum; }
    const std::vector<std::string>& nomesTexto() const { return nomesTxt; }
    const std::vector<std::string>& valoresTexto() const { return valoresTxt; }

    // Empties every variable and the step trace; the constants stay.
    void limpaVariaveis();
    // Called after the constants changed, so expressions look their names up again.
    void constantesMudaram();
    // Which names mean what changes only when a name is added or a constant changes:
    // expressions keep what they looked up while this stays the same.
    uint64_t geracao() const { return geracao_; }

    // The step trace of the last evaluation, written out on demand.
    const std::vector<PassoAvaliacao>& passos() const;
    size_t numeroPassos() const { return passosFeitos_; }
    // The last evaluation made `feitos` steps of `expressao` (none: nullptr).
    void registraPassos(std::shared_ptr<const ExpressaoCompilada> expressao, size_t feitos);

    // The expression of an assignment, cut and ordered once per text and run.
    std::shared_ptr<ExpressaoCompilada> compilada(std::string_view instrucao);

    // The decimal separator of the run's number texts.
    char separador = '.';
    std::vector<ConstanteSistema> constantesSistema;
    // User constants as the file holds them: name, value, name, value...
    std::vector<std::string> constantesUsuario;
    // The system symbols and user names at the start of the run: never assigned to.
    std::vector<std::string> nomesReservados;

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    using Indice = std::unordered_map<std::string, size_t, Hash, std::equal_to<>>;
    std::vector<std::string> nomesNum;
    std::vector<double> valoresNum;
    Indice posicaoNum;
    std::vector<std::string> nomesTxt;
    std::vector<std::string> valoresTxt;
    Indice posicaoTxt;
    uint64_t geracao_ = 0;
    std::unordered_map<std::string, std::shared_ptr<ExpressaoCompilada>, Hash, std::equal_to<>> compiladas_;
    std::shared_ptr<const ExpressaoCompilada> ultima_;
    size_t passosFeitos_ = 0;
    mutable std::vector<PassoAvaliacao> passos_;
    mutable bool passosEscritos_ = true;
};

// The constants from the lines of "constantes.txt" (display name, symbol, value) and of
// "constantesUsuario.txt" (name, value), empty lines skipped; the reserved names with them.
void defineConstantes(MemoriaNumera& m, const std::vector<std::string>& sistema,
                      const std::vector<std::string>& usuario);
// The start of a run: variables emptied, both constant files read, the separator decided.
void preparaMemoria(Editor& e, MemoriaNumera& m);

// Every call «NAME*(» left by the translator becomes its operator code, once per run: a
// one-value function as «(1§(x))», ROOT, POW and LOGB as «(a)§(b)».
std::string reescreveFuncoes(std::string_view parametro);

// Evaluates an assignment «name=expression» of a code line and stores the value; a failure
// sets estadoNumera to 2 with codigoErro and parametroErro.
void avaliaAtribuicao(MemoriaNumera& m, EstadoNumera& estado, std::string_view instrucao);
// The same for an assignment the run-time builds («IFOR=...»); the value stored, as text
// ("" after an error).
std::string avaliaTexto(MemoriaNumera& m, EstadoNumera& estado, std::string_view texto);
// The same for a numeric assignment; false after an error.
bool avaliaNumero(MemoriaNumera& m, EstadoNumera& estado, std::string_view texto, double& valor);
// The value of one operand as text: a variable's or element's value, "0" for a missing
// element of an existing vector, else the token itself.
std::string valorOperando(MemoriaNumera& m, EstadoNumera& estado, std::string_view token);

// «name=value» for a value that may be negative: «name=0-3», as the translator writes IN.
std::string atribuicaoDeValor(std::string_view nome, std::string_view valor);
// The value a name has for output (PRINT, VARRESULT, the exports): its number, or its text;
// false when it names neither.
bool valorSaida(MemoriaNumera& m, EstadoNumera& estado, std::string_view nome, bool& numerico,
                double& numero, std::string& texto);
// A matrix element's name as the program wrote it, for results and faults: �M_NT[2,3]� for
// the translator's �M_NT[2a3]� (names are upper case, so a small �a� is only a separator).
std::string nomeComoEscrito(std::string_view nome);
// A parameter that is a number or the name of a numeric variable, as a number.
bool numeroOuVariavel(MemoriaNumera& m, EstadoNumera& estado, std::string_view t, double& valor);

// A fault of the run recorded in the state (estadoNumera 2, the number, the offending
// piece); false, for the caller to return.
bool falhaNumera(EstadoNumera& estado, int codigo, std::string_view parametro = {});
