#include "editor/commands/edMargem.h"

#include <algorithm>
#include <string>

#include "editor/edLinha.h"
#include "editor/edtela.h"
#include "editor/pendente.h"

void tabulacao(Editor& e) {
    comandoPendente(e);
}
void comandoMargensTabs(Editor& e) {
    comandoPendente(e);
}
void defineMargens(Editor& e) {
    comandoPendente(e);
}
void familiaMargens(Editor& e) {
    comandoPendente(e);
}

void quebraAutomatica(Editor& e) {
    EdVars& ed = e.ed;
    const std::string l = ed.linha(ed.linhaAtual);
    const int n = static_cast<int>(l.size());
    const int c = std::clamp(ed.colunaAtual, 1, n + 1);
    const int esquerda = std::max(ed.margemEsquerda, 1);

    // Break after the last blank before the cursor that lies right of the left margin;
    // a word with no blank in it is cut just before the character typed.
    int b = c - 2;
    for (int p = c - 1; p >= esquerda + 1; --p) {
        if (l[static_cast<size_t>(p - 1)] == ' ') {
            b = p;
            break;
        }
    }
    b = std::clamp(b, 0, n);

    std::string cabeca = l.substr(0, static_cast<size_t>(b));
    cabeca.erase(cabeca.find_last_not_of(' ') + 1);
    std::string cauda = l.substr(static_cast<size_t>(b));
    int deslocamento = c - b;  // where the cursor stands in the tail
    while (cauda.size() > 1 && cauda[0] == ' ') {
        cauda.erase(0, 1);
        --deslocamento;
    }
    // The left-margin indent, shortened rather than letting the line lose its end.
    const size_t recuo =
        std::min(static_cast<size_t>(esquerda - 1), TipoTexto::kMaxLinha - cauda.size());
    cauda.insert(0, recuo, ' ');

    ed.trocaLinha(ed.linhaAtual, cabeca);
    ++ed.linhaAtual;
    insereLinha(e, cauda, false);
    ed.colunaAtual =
        std::clamp(deslocamento + static_cast<int>(recuo), 1, static_cast<int>(cauda.size()) + 1);
    redesenhaTela(e);
}
