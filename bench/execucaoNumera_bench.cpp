// The math mode's run-time, beside baselines measured in the same run:
// - a FOR loop of 1,000,000 iterations with two assignments, beside the same loop in bc and
//   in awk (processor time of each, several rounds: median and worst);
// - EXPORTTABELARO of a 10,000 x 10 table cell by cell, beside writing the same CSV file
//   directly.
//
// Targets: the loop's median and worst under bc's median (bc and awk must be installed:
// tools/pacotes.sh lists them for the benches), the table under 1 s.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mathmode/EDNUMERACOMPILA.h"
#include "mathmode/EDNUMERAVARS.h"
#include "programa/montagem.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kRodadas = 5;

double processador() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Runs code statements (BEGIN and END added); the processor time it took and its output.
double executa(Editor& e, const std::vector<std::string>& instrucoes, std::vector<std::string>* saida = nullptr) {
    std::vector<std::string> codigo{"\\BEGIN{INICIO};"};
    codigo.insert(codigo.end(), instrucoes.begin(), instrucoes.end());
    codigo.emplace_back("\\END{FINAL};");
    e.numera = EstadoNumera{};
    const double t0 = processador();
    std::vector<std::string> r = executaPrograma(e, codigo);
    const double t = processador() - t0;
    if (e.numera.estadoNumera != 1) {
        std::printf("the run stopped with error %d (%s)\n", e.numera.codigoErro,
                    e.numera.parametroErro.c_str());
        std::exit(1);
    }
    if (saida) *saida = std::move(r);
    return t;
}

// Runs a program with its output in `saida`; its processor time (user and system), or -1
// when it cannot be started.
double processadorDe(std::vector<std::string> args, const fs::path& saida) {
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addopen(&acoes, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&acoes, 1, saida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int erro = posix_spawnp(&pid, argv[0], &acoes, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    if (erro != 0) return -1;
    int status = 0;
    rusage uso{};
    if (wait4(pid, &status, 0, &uso) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    auto segundos = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return segundos(uso.ru_utime) + segundos(uso.ru_stime);
}

struct Medida {
    double mediana, pior;
};

Medida mede(std::vector<double> tempos) {
    std::sort(tempos.begin(), tempos.end());
    return {tempos[tempos.size() / 2], tempos.back()};
}

std::string primeiraLinha(const fs::path& arquivo) {
    std::ifstream f(arquivo);
    std::string l;
    std::getline(f, l);
    return l;
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
    // No SONARE.INI of the user is read or written; the files go to a folder of their own.
    const fs::path pasta = fs::temp_directory_path() / "plumar_bench_execucaoNumera";
    fs::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    auto sessao = montaSessaoHeadless("");
    Editor& e = *sessao->editor;
    e.ed.nomeArquivo = (pasta / "programa.txt").string();

    // The same loop in the three languages; each prints the sum, 1000001000000.
    const std::vector<std::string> laco = {"\\EXPRESSION{X=0};", "\\FOR{I=1:1000000};",
                                           "\\EXPRESSION{X=X+I*2};", "\\EXPRESSION{Y=X/(I+1)};",
                                           "\\CONTINUE{vacio};", "\\VARRESULT{X};"};
    std::ofstream(pasta / "laco.bc")
        << "x=0\nfor (i=1; i<=1000000; i++) { x = x + i*2; y = x/(i+1) }\nx\nquit\n";
    const std::string awk = "BEGIN { x = 0; for (i = 1; i <= 1000000; i++) { x = x + i*2; y = x/(i+1) }; "
                            "printf \"%.0f\\n\", x }";
    std::vector<double> numera, bc, awkTempos;
    std::vector<std::string> saida;
    for (int i = 0; i < kRodadas; ++i) {
        numera.push_back(executa(e, laco, &saida));
        bc.push_back(processadorDe({"bc", "-q", (pasta / "laco.bc").string()}, pasta / "bc.txt"));
        awkTempos.push_back(processadorDe({"awk", awk}, pasta / "awk.txt"));
    }
    const bool somas = saida == std::vector<std::string>{"X = 1000001000000"} &&
                       primeiraLinha(pasta / "bc.txt") == "1000001000000" &&
                       primeiraLinha(pasta / "awk.txt") == "1000001000000";
    if (*std::min_element(bc.begin(), bc.end()) < 0 || *std::min_element(awkTempos.begin(), awkTempos.end()) < 0) {
        std::printf("bc or awk could not be run: install them (tools/pacotes.sh, PACOTES_BANCADA)\n");
        return 1;
    }
    const Medida n = mede(numera), b = mede(bc), a = mede(awkTempos);
    const bool lacoOk = n.mediana < b.mediana && n.pior < b.mediana;
    std::printf("FOR of 1,000,000 iterations, two assignments (processor time, median / worst of %d):\n"
                "  NUMERA %.3f / %.3f s, bc %.3f / %.3f s, awk %.3f / %.3f s; NUMERA under bc: %s; "
                "the three sums %s\n",
                kRodadas, n.mediana, n.pior, b.mediana, b.pior, a.mediana, a.pior, lacoOk ? "met" : "MISSED",
                somas ? "agree" : "DIFFER");

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
    return lacoOk && somas && tabela < 1 && iguais ? 0 : 1;
}
