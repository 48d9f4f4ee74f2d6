#include "platform/processos.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "platform/caminhos.h"

extern char** environ;

namespace {

// posix_spawn's file actions and attributes, released on every path.
class AcoesSpawn {
  public:
    AcoesSpawn() { posix_spawn_file_actions_init(&acoes_); }
    ~AcoesSpawn() { posix_spawn_file_actions_destroy(&acoes_); }
    AcoesSpawn(const AcoesSpawn&) = delete;
    AcoesSpawn& operator=(const AcoesSpawn&) = delete;
    posix_spawn_file_actions_t* get() { return &acoes_; }

  private:
    posix_spawn_file_actions_t acoes_;
};

// Whether `pid` has ended; an ended child is reaped.
bool terminou(pid_t pid) {
    int status = 0;
    const pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
}

}  // namespace

Processos::~Processos() {
    recolhe();
}

int Processos::inicia(const std::vector<std::string>& argumentos,
                      const std::filesystem::path& diretorio) {
    recolhe();
    if (argumentos.empty() || argumentos[0].empty()) return ENOENT;
    std::vector<std::string> copia = argumentos;
    std::vector<char*> argv;
    for (std::string& a : copia) argv.push_back(a.data());
    argv.push_back(nullptr);

    AcoesSpawn acoes;
    // A child reading the terminal would take the keys (and, ending, leave the editor's
    // reads failing); one writing to it would scribble over the screen.
    posix_spawn_file_actions_addopen(acoes.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::error_code ec;
    std::filesystem::create_directories(diretorioWindows(), ec);
    const std::string log = (diretorioWindows() / "plumar.log").string();
    int saida = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0600);
    if (saida < 0) saida = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saida >= 0) {
        posix_spawn_file_actions_adddup2(acoes.get(), saida, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(acoes.get(), saida, STDERR_FILENO);
    }
    if (!diretorio.empty()) posix_spawn_file_actions_addchdir_np(acoes.get(), diretorio.c_str());
    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    int erro = posix_spawnp(&pid, argv[0], acoes.get(), &atributos, argv.data(), environ);
    posix_spawnattr_destroy(&atributos);
    if (saida >= 0) close(saida);
    if (erro != 0) return erro;
    filhos_.push_back(pid);
    ultimo_ = pid;
    return 0;
}

void Processos::recolhe() {
    std::erase_if(filhos_, [](pid_t pid) { return terminou(pid); });
}

bool Processos::rodando() {
    recolhe();
    return ultimo_ != 0 && std::find(filhos_.begin(), filhos_.end(), ultimo_) != filhos_.end();
}

bool Processos::esperaFim(std::chrono::milliseconds limite) {
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (rodando()) {
        if (std::chrono::steady_clock::now() >= fim) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool ehExecutavel(const std::filesystem::path& arquivo) {
    std::error_code ec;
    return std::filesystem::is_regular_file(arquivo, ec) && access(arquivo.c_str(), X_OK) == 0;
}
