// The math mode's run-time, beside baselines measured in the same run:
// - a FOR loop of 1,000,000 iterations with two assignments, beside the same 2,000,000
//   assignments handed straight to the evaluator (the run-time's own cost is the difference);
// - EXPORTTABELARO of a 10,000 x 10 table cell by cell, beside writing the same CSV file
//   directly.
//
// Targets: the loop under 5 s, the table under 1 s (processor time).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "programa/montagem.h"
#include "mathmode/EDNUMERACOMPILA.h"
#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERAVARS.h"

namespace fs = std::filesystem;

namespace {

double processador() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Runs code statements (BEGIN and END added); the processor time it took.
double executa(Editor& e, const std::vector<std::string>& instrucoes) {
    std::vector<std::string> codigo{"\\BEGIN{INICIO};"};
    codigo.insert(codigo.end(), instrucoes.begin(), instrucoes.end());
    codigo.emplace_back("\\END{FINAL};");
    e.numera = EstadoNumera{};
    const double t0 = processador();
    executaPrograma(e, codigo);
    const double t = processador() - t0;
    if (e.numera.estadoNumera != 1) {
        std::printf("the run stopped with error %d (%s)\n", e.numera.codigoErro,
                    e.numera.parametroErro.c_str());
        std::exit(1);
    }
    return t;
}

double avaliacoesDiretas(long vezes) {
    MemoriaNumera m;
    EstadoNumera estado;
    const double t0 = processador();
    for (long i = 1; i <= vezes; ++i) {
        avaliaTexto(m, estado, "I=" + std::to_string(i));
        avaliaAtribuicao(m, estado, "X=X+I*2");
        avaliaAtribuicao(m, estado, "Y=X/(I+1)");
    }
    return processador() - t0;
}

double tabelaDireta(const fs::path& arquivo) {
    const double t0 = processador();
    std::ofstream f(arquivo, std::ios::binary | std::ios::trunc);
    for (int r = 1; r <= 10'000; ++r) {
        std::string linha;
        for (int c = 1; c <= 10; ++c) linha += (c > 1 ? ";" : "") + std::to_string(r * c);
        f << linha << "\r\n";
    }
    f.flush();
    return processador() - t0;
}

}  // namespace

int main() {
    // No SONARE.INI of the user is read or written; the table goes to a folder of its own.
    const fs::path pasta = fs::temp_directory_path() / "plumar_bench_execucaoNumera";
    fs::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    auto sessao = montaSessaoHeadless("");
    Editor& e = *sessao->editor;
    e.ed.nomeArquivo = (pasta / "programa.txt").string();

    const double laco = executa(e, {"\\EXPRESSION{X=0};", "\\FOR{I=1:1000000};",
                                    "\\EXPRESSION{X=X+I*2};", "\\EXPRESSION{Y=X/(I+1)};",
                                    "\\CONTINUE{vacio};"});
    const double lacoBase = avaliacoesDiretas(1'000'000);
    std::printf("FOR of 1,000,000 iterations, two assignments: %.2f s (target < 5 s: %s); "
                "the same evaluations alone: %.2f s\n",
                laco, laco < 5 ? "met" : "MISSED", lacoBase);

    const double tabela = executa(e, {"\\FOR{R=1:10000};", "\\FOR{C=1:10};",
                                      "\\EXPRESSION{V=R*C};", "\\EXPORTTABELARO{TABELA,C,R,V};",
                                      "\\CONTINUE{vacio};", "\\CONTINUE{vacio};"});
    const double tabelaBase = tabelaDireta(pasta / "DIRETA.csv");
    const bool iguais = leLinhasNumera(pasta / "TABELA.csv") == leLinhasNumera(pasta / "DIRETA.csv");
    std::printf("EXPORTTABELARO of a 10,000 x 10 table: %.2f s (target < 1 s: %s), file %s; "
                "writing it directly: %.3f s\n",
                tabela, tabela < 1 ? "met" : "MISSED", iguais ? "identical" : "DIFFERENT",
                tabelaBase);
    fs::remove_all(pasta);
    return laco < 5 && tabela < 1 && iguais ? 0 : 1;
}
