// Fuzz entry for the math mode's evaluator: every line of the input is an assignment, its
// function calls rewritten as a run does, evaluated against one variable memory. Whatever
// the line, the evaluation ends with a value that reads back as a number (or a text, for a
// text variable) or with an error number of the table, and the step trace matches.
#include "fuzz.h"
#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"

int fuzzAvaliador(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    MemoriaNumera m;
    defineConstantes(m, {"Pi", "PI", "3.14159265358979"}, {"TAXA", "0.5"});
    while (!resto.empty()) {
        const std::string_view linha = proximaParte(resto, '\n');
        EstadoNumera estado;
        const std::string instrucao = reescreveFuncoes(linha);
        const std::string valor = avaliaTexto(m, estado, instrucao);
        if (estado.estadoNumera == 2) {
            confirma(estado.codigoErro > 0 && estado.codigoErro < 120 && valor.empty());
            continue;
        }
        const std::string_view nome = std::string_view(instrucao).substr(0, instrucao.find('='));
        const bool texto = nome.starts_with("STR") || nome.starts_with("V_S") || nome.starts_with("M_S");
        double v = 0;
        confirma(texto || leNumero(valor, m.separador, v));
        for (const PassoAvaliacao& p : m.passos()) confirma(leNumero(p.valor, m.separador, v));
        valorOperando(m, estado, linha);
    }
    return 0;
}
