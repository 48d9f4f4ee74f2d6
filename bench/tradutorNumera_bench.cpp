// The math translator over a program of 3,000 statements (assignments with implicit
// products and unary minus, loops, conditions with ELSE, prints, labels and jumps), the
// program around the cursor as the menu translates it.
//
// Target: under 100 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "programa/montagem.h"
#include "mathmode/EDNUMERASINTAXES.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

constexpr int kInstrucoes = 3000;
constexpr int kVezes = 5;

// Ten statements a round, each kind of the language's usual work.
const char* const kRodada[] = {
    "  x{0} = 2a + 3(b - 1) * -c ;", "  y{0} = sqrt(x{0}) + 1.5e-3 %% a comment",
    "  ;",                          "\\for{ i = 1 : 10 };",
    "  z = z + i{0} ;",             "\\continue;",
    "l{0}: \\if{ x{0} <= y{0} };",  "  \\print{ \"x e y\" + x{0} + y{0} };",
    "\\else;",                      "  \\goto{ l{0} };",
    "\\continue;",
};

std::string instancia(const char* modelo, int n) {
    std::string s(modelo);
    for (size_t p; (p = s.find("{0}")) != std::string::npos;) s.replace(p, 3, std::to_string(n));
    return s;
}

}  // namespace

int main() {
    const auto pasta = std::filesystem::temp_directory_path() / "plumar_bench_numera";
    std::filesystem::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    setenv("LC_ALL", "C", 1);

    auto sessao = montaSessaoHeadless("");
    Editor& e = *sessao->editor;
    EdVars& ed = e.ed;
    ed.diretorioMensagens = "c:\\ornato\\plumar\\";
    ed.texto.liberaTexto();
    int linhas = 0;
    ed.texto.insere(++linhas, "\\BEGIN;");
    // Each line of a round gives one statement (ELSE two, the continuation none).
    constexpr int kPorRodada = static_cast<int>(std::size(kRodada));
    for (int rodada = 0; linhas + kPorRodada < kInstrucoes; ++rodada)
        for (const char* modelo : kRodada) ed.texto.insere(++linhas, instancia(modelo, rodada));
    ed.texto.insere(++linhas, "\\END;");

    double melhor = 1e30;
    for (int i = 0; i < kVezes; ++i) {
        ed.linhaAtual = linhas / 2;
        const auto t0 = std::chrono::steady_clock::now();
        traduzPrograma(e);
        melhor = std::min(melhor, std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now() - t0).count());
    }
    const EstadoNumera& n = e.numera;
    std::printf("translation of %d lines: %s (error %d at line %d)\n", linhas,
                n.estadoNumera == 1 ? "valid" : "faulty", n.codigoErro, n.linhaErro);
    std::printf("best of %d: %.2f ms (target: under 100 ms)\n", kVezes, melhor);
    return n.estadoNumera == 1 && melhor < 100 ? 0 : 1;
}
