// Makes the spelling dictionary's files from a word list (UTF-8, one word a line):
//   dicgen LIST FOLDER
// Files whose contents did not change are left alone.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "dicgen/geraDicionario.h"
#include "platform/codigos.h"

namespace {

void grava(const std::string& arquivo, const std::string& texto) {
    std::ifstream velho(arquivo, std::ios::binary);
    if (velho && std::string(std::istreambuf_iterator<char>(velho), {}) == texto) return;
    std::ofstream novo(arquivo, std::ios::binary | std::ios::trunc);
    novo << texto;
    if (!novo) {
        std::cerr << "dicgen: nao consegui gravar " << arquivo << "\n";
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "uso: dicgen LISTA PASTA\n";
        return 2;
    }
    std::ifstream lista(argv[1], std::ios::binary);
    if (!lista) {
        std::cerr << "dicgen: nao achei " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> palavras;
    for (std::string linha; std::getline(lista, linha);) {
        while (!linha.empty() && (linha.back() == '\r' || linha.back() == ' ')) linha.pop_back();
        if (!linha.empty()) palavras.push_back(utf8ParaWin1252(linha));
    }
    const ArquivosGerados g = geraDicionario(palavras);
    const std::string pasta = std::string(argv[2]) + "/";
    grava(pasta + "diciona.dic", g.dic);
    grava(pasta + "diciona.suf", g.suf);
    grava(pasta + "diciona.nom", g.nom);
    grava(pasta + "diciona.exc", g.exc);
    std::cout << "dicgen: " << palavras.size() << " palavras, " << g.nRadicais << " radicais, "
              << g.nClasses << " classes\n";
}
