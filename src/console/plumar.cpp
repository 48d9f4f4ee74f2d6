// The program body.
#include <cstdio>
#include <string>
#include <vector>

#include "console/SnCrt.h"
#include "console/linhaComando.h"
#include "console/montagem.h"

namespace {

// Until the editor sits here: the 80 x 25 grid, its colours, and the codes of the keys typed.
[[noreturn]] void demonstracao(SnCrt& crt) {
    crt.titulo("PLUMAR");
    crt.TextBackground(1);
    crt.TextColor(14);
    crt.ClrScr();
    crt.escreve(" PLUMAR - console 80 x 25");
    for (int cor = 0; cor < 16; ++cor) {
        crt.GotoXY(2 + cor * 5, 3);
        crt.TextBackground(cor);
        crt.TextColor(cor ^ 15);
        crt.escreve(" " + std::to_string(cor) + (cor < 10 ? "  " : " "));
    }
    crt.TextBackground(1);
    crt.TextColor(15);
    for (int lin = 5; lin <= 25; ++lin) {
        crt.GotoXY(1, lin);
        crt.escreve(lin == 25 ? "Esc termina." : std::to_string(lin));
    }
    crt.ligaVerificaInterrupcao(false);
    crt.ligaRelatorioFoco(true);
    std::string codigos;
    for (;;) {
        crt.GotoXY(1, 15);
        uint8_t c = crt.leTecla();
        if (c == 27) crt.terminaConsole();
        codigos += std::to_string(c) + " ";
        if (codigos.size() > 70) codigos.erase(0, codigos.size() - 70);
        crt.GotoXY(5, 15);
        crt.ClrEol();
        crt.escreve("Teclas: " + codigos);
    }
}

}  // namespace

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
    std::string erro;
    auto plataforma = montaPlataforma(opcoes, erro);
    if (!plataforma) {
        std::fprintf(stderr, "plumar: %s\n", erro.c_str());
        return 2;
    }
    demonstracao(*plataforma->crt);
}
