// Makes the spelling dictionary's files from a dictionary of affix rules:
//   dicgen AFF DIC FOLDER
// Files whose contents did not change are left alone.
#include <fstream>
#include <iostream>
#include <iterator>

#include "dicgen/geraDicionario.h"

namespace {

bool le(const char* arquivo, std::string& texto) {
    std::ifstream f(arquivo, std::ios::binary);
    texto.assign(std::istreambuf_iterator<char>(f), {});
    return bool(f) || f.eof();
}

void grava(const std::string& arquivo, const std::string& texto) {
    std::string velho;
    if (le(arquivo.c_str(), velho) && velho == texto) return;
    std::ofstream novo(arquivo, std::ios::binary | std::ios::trunc);
    novo << texto;
    if (!novo) {
        std::cerr << "dicgen: nao consegui gravar " << arquivo << "\n";
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "uso: dicgen AFF DIC PASTA\n";
        return 2;
    }
    std::string aff, dic;
    for (auto [nome, texto] : {std::pair{argv[1], &aff}, {argv[2], &dic}})
        if (!std::ifstream(nome) || !le(nome, *texto)) {
            std::cerr << "dicgen: nao achei " << nome << "\n";
            return 1;
        }
    const ArquivosGerados g = geraDicionario(aff, dic);
    const std::string pasta = std::string(argv[3]) + "/";
    grava(pasta + "diciona.dic", g.dic);
    grava(pasta + "diciona.suf", g.suf);
    grava(pasta + "diciona.nom", g.nom);
    grava(pasta + "diciona.exc", g.exc);
    std::cout << "dicgen: " << g.nFormas << " formas, " << g.nRadicais << " radicais, "
              << g.nClasses << " classes\n";
}
