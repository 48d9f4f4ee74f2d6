// Scripted runs of the whole program: each case folder holds the keys typed
// (teclas.txt), optionally the command line (args.txt, default "texto.txt"), the text
// on the clipboard at start (clipboard.txt, UTF-8), the file
// edited (texto.txt) and a SONARE.INI, and the expected speech trace (rastro.esperado),
// screen (tela.esperada), saved file (texto.esperado) and SONARE.INI afterwards
// (SONARE.esperado), and the math mode's code and results files (codigo.esperado,
// resultados.esperado); the files of its folder "arquivos" are put beside, those of its
// folder "win" beside SONARE.INI. Setting
// PLUMAR_ATUALIZA_ACEITACAO=1 rewrites the expected files from the run, for review.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <vector>

#include "apoio.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> palavras(const std::string& linha) {
    std::istringstream in(linha);
    std::vector<std::string> v;
    for (std::string p; in >> p;) v.push_back(p);
    return v;
}

// Runs the program in `pasta` with `args`; its exit status.
int roda(const fs::path& pasta, std::vector<std::string> args) {
    std::vector<std::string> ambiente;
    for (char** v = environ; *v; ++v) {
        std::string s(*v);
        // The user's locale chooses the math mode's decimal separator: the cases run in C.
        if (s.rfind("SONARE_", 0) != 0 && s.rfind("DISPLAY=", 0) != 0 &&
            s.rfind("XDG_STATE_HOME=", 0) != 0 && s.rfind("LC_", 0) != 0 && s.rfind("LANG=", 0) != 0)
            ambiente.push_back(s);
    }
    ambiente.push_back("SONARE_WINDIR=" + (pasta / "win").string());
    ambiente.push_back("XDG_STATE_HOME=" + (pasta / "estado").string());
    std::vector<char*> envp, argv;
    for (auto& s : ambiente) envp.push_back(s.data());
    envp.push_back(nullptr);
    args.insert(args.begin(), PLUMAR_BINARIO);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
    posix_spawn_file_actions_addopen(&acoes, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid;
    int erro = posix_spawn(&pid, PLUMAR_BINARIO, &acoes, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&acoes);
    if (erro != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void confere(const fs::path& esperado, const fs::path& obtido, bool atualiza) {
    if (atualiza) {
        fs::copy_file(obtido, esperado, fs::copy_options::overwrite_existing);
        return;
    }
    if (!fs::exists(esperado)) return;
    EXPECT_EQ(leArquivo(obtido), leArquivo(esperado)) << "differs: " << esperado;
}

class Aceitacao : public ::testing::TestWithParam<std::string> {};

TEST_P(Aceitacao, RunMatchesExpectedTraceScreenAndFile) {
    const fs::path caso = fs::path(PLUMAR_DIR_TESTES) / "acceptance" / "casos" / GetParam();
    PastaTemporaria pasta;
    fs::create_directories(pasta / "win");
    if (fs::exists(caso / "SONARE.INI")) fs::copy_file(caso / "SONARE.INI", pasta / "win/SONARE.INI");
    if (fs::exists(caso / "texto.txt")) fs::copy_file(caso / "texto.txt", pasta / "texto.txt");
    // Other files the case opens lie in its folder "arquivos".
    if (fs::exists(caso / "arquivos")) fs::copy(caso / "arquivos", pasta.caminho(), fs::copy_options::recursive);
    // Files beside SONARE.INI (the math mode's COMANDOS/CONFIG) lie in its folder "win".
    if (fs::exists(caso / "win")) fs::copy(caso / "win", pasta / "win", fs::copy_options::recursive);
    std::vector<std::string> args = {"--keys=" + (caso / "teclas.txt").string(),
                                      "--trace=rastro.txt", "--screen-dump=tela.txt"};
    // A case may start with a text on the clipboard.
    if (fs::exists(caso / "clipboard.txt")) args.push_back("--clipboard=" + (caso / "clipboard.txt").string());
    std::vector<std::string> familia = {"texto.txt"};
    if (fs::exists(caso / "args.txt")) familia = palavras(leArquivo(caso / "args.txt"));
    args.insert(args.end(), familia.begin(), familia.end());

    ASSERT_EQ(roda(pasta.caminho(), args), 0);
    const bool atualiza = std::getenv("PLUMAR_ATUALIZA_ACEITACAO") != nullptr;
    confere(caso / "rastro.esperado", pasta / "rastro.txt", atualiza);
    confere(caso / "tela.esperada", pasta / "tela.txt", atualiza);
    if (fs::exists(caso / "texto.esperado") || (atualiza && fs::exists(pasta / "texto.txt")))
        confere(caso / "texto.esperado", pasta / "texto.txt", atualiza);
    // Cases that change the configuration say what SONARE.INI holds afterwards.
    if (fs::exists(caso / "SONARE.esperado"))
        confere(caso / "SONARE.esperado", pasta / "win/SONARE.INI", atualiza);
    // Cases that translate a math program say what its code and results files hold.
    for (const char* nome : {"codigo", "resultados"}) {
        const fs::path obtido = pasta / (std::string("win/COMANDOS/CONFIG/") + nome + ".txt");
        const fs::path esperado = caso / (std::string(nome) + ".esperado");
        if (fs::exists(esperado) || (atualiza && fs::exists(obtido))) confere(esperado, obtido, atualiza);
    }
}

std::vector<std::string> casos() {
    std::vector<std::string> nomes;
    fs::path dir = fs::path(PLUMAR_DIR_TESTES) / "acceptance" / "casos";
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_directory()) nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

INSTANTIATE_TEST_SUITE_P(Casos, Aceitacao, ::testing::ValuesIn(casos()),
                         [](const auto& info) { return info.param; });

}  // namespace
