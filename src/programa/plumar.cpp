// The program body: options, the console and speech put together, then the editor.
#include <cstdio>
#include <string>
#include <vector>

#include "programa/linhaComando.h"
#include "programa/montagem.h"
#include "programa/programa.h"
#include "platform/sinais.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    OpcoesLinux opcoes = separaOpcoes(args);
    if (!opcoes.erro.empty()) {
        std::fprintf(stderr, "plumar: %s\n%s", opcoes.erro.c_str(), textoAjuda().c_str());
        return 2;
    }
    if (opcoes.ajuda) {
        std::fputs(textoAjuda().c_str(), stdout);
        return 0;
    }
    if (opcoes.versao) {
        std::puts("PLUMAR " PLUMAR_VERSAO);
        return 0;
    }
    // Before any front-end: the program ends from outside through its own path.
    instalaSinaisFim();
    copiaIniPadrao();
    std::string erro;
    auto sessao = montaSessao(opcoes, erro);
    if (!sessao) {
        std::fprintf(stderr, "plumar: %s\n", erro.c_str());
        return 2;
    }
    inicializaEditor(*sessao->editor, opcoes.resto);
    executaEditor(*sessao->editor);
}
