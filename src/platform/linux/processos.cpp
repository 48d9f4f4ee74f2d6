#include "platform/processos.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/caminhos.h"
#include "platform/registroBibliotecas.h"

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

// posix_spawn's argument vector over `copia`, which must outlive it.
std::vector<char*> vetorArgumentos(std::vector<std::string>& copia) {
    std::vector<char*> argv;
    for (std::string& a : copia) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// Whether `pid` has ended; an ended child is reaped and its wait status kept in `status`.
bool terminou(pid_t pid, int& status) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
}

// The groups of the children started, each child the leader of its own: a group is kept
// while any program of it runs (a child may end and leave the programs it started), and
// its number cannot be taken by another group meanwhile. Process-wide by nature: they must
// end with the program from exit() and from a signal handler, which reach nothing else.
// Only the process that started them ends them (a forked copy of it must not).
constexpr size_t kMaiorGrupos = 64;
std::array<std::atomic<pid_t>, kMaiorGrupos> gGrupos{};
std::atomic<pid_t> gDono{0};

bool grupoVazio(pid_t grupo) {
    return kill(-grupo, 0) != 0 && errno == ESRCH;
}

void encerraFilhosNoFim();

void anotaGrupo(pid_t grupo) {
    static const bool registrado = std::atexit(encerraFilhosNoFim) == 0;
    (void)registrado;
    gDono.store(getpid());
    for (auto& g : gGrupos) {
        pid_t atual = g.load();
        if (atual > 0 && grupoVazio(atual)) g.compare_exchange_strong(atual, 0);
    }
    for (auto& g : gGrupos) {
        pid_t livre = 0;
        if (g.compare_exchange_strong(livre, grupo)) return;
    }
}

// At the program's end: the groups are asked to end, and a moment later ended.
void encerraFilhosNoFim() {
    if (gDono.load() != getpid()) return;
    bool algum = false;
    for (auto& g : gGrupos)
        if (const pid_t grupo = g.load(); grupo > 0) algum = kill(-grupo, SIGTERM) == 0 || algum;
    for (int i = 0; algum && i < 30; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        algum = false;
        for (auto& g : gGrupos) {
            const pid_t grupo = g.load();
            int status = 0;
            if (grupo <= 0) continue;
            terminou(grupo, status);  // a child that ended is reaped, so its group can empty
            if (grupoVazio(grupo))
                g.store(0);
            else
                algum = true;
        }
    }
    encerraFilhosJa();
}

}  // namespace

void encerraFilhosJa() {
    if (gDono.load() != getpid()) return;
    for (auto& g : gGrupos)
        if (const pid_t grupo = g.exchange(0); grupo > 0) kill(-grupo, SIGKILL);
}

std::filesystem::path achaNoPath(std::string_view nome) {
    if (nome.empty() || nome.find('/') != std::string_view::npos) return {};
    const char* path = std::getenv("PATH");
    const std::string_view pastas = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t inicio = 0; inicio <= pastas.size();) {
        const size_t fim = std::min(pastas.find(':', inicio), pastas.size());
        const std::string_view pasta = pastas.substr(inicio, fim - inicio);
        inicio = fim + 1;
        if (pasta.empty() || pasta[0] != '/') continue;
        const std::filesystem::path candidato = std::filesystem::path(pasta) / nome;
        if (ehExecutavel(candidato)) return candidato;
    }
    return {};
}

Processos::~Processos() {
    recolhe();
}

int Processos::inicia(const std::vector<std::string>& argumentos,
                      const std::filesystem::path& diretorio) {
    return lanca(argumentos, diretorio, std::nullopt);
}

void Processos::recolhe() {
    std::erase_if(filhos_, [this](pid_t pid) {
        int status = -1;
        if (!terminou(pid, status)) return false;
        if (pid == ultimo_) estadoUltimo_ = status;
        return true;
    });
}

int Processos::iniciaConversor(const std::vector<std::string>& argumentos,
                               const std::filesystem::path& saida) {
    return lanca(argumentos, {}, saida.empty() ? std::filesystem::path("/dev/null") : saida);
}

// Every child in a session of its own, its input from /dev/null: one reading the terminal
// would take the keys (and, ending, leave the editor's reads failing), one writing to it
// would scribble over the screen. What it says goes to plumar.log; a converter's output goes
// to `saida`. The program is the file named, or a name looked up in PATH by the callers'
// own choice (they give a path whenever the name came from a text).
int Processos::lanca(const std::vector<std::string>& argumentos,
                     const std::filesystem::path& diretorio,
                     const std::optional<std::filesystem::path>& saida) {
    recolhe();
    if (argumentos.empty() || argumentos[0].empty()) return ENOENT;
    std::vector<std::string> copia = argumentos;
    if (copia[0].find('/') == std::string::npos) copia[0] = achaNoPath(copia[0]).string();
    if (copia[0].empty()) return ENOENT;
    std::vector<char*> argv = vetorArgumentos(copia);

    AcoesSpawn acoes;
    posix_spawn_file_actions_addopen(acoes.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    int registro = abreRegistro();
    // A converter's output is a new file of a private folder (or /dev/null), never a
    // link planted there.
    const bool nulo = saida && *saida == "/dev/null";
    if (saida)
        posix_spawn_file_actions_addopen(acoes.get(), STDOUT_FILENO, saida->c_str(),
                                         nulo ? O_WRONLY
                                              : O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                                         0600);
    else if (registro >= 0)
        posix_spawn_file_actions_adddup2(acoes.get(), registro, STDOUT_FILENO);
    if (registro >= 0) posix_spawn_file_actions_adddup2(acoes.get(), registro, STDERR_FILENO);
    if (!diretorio.empty()) posix_spawn_file_actions_addchdir_np(acoes.get(), diretorio.c_str());
    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int erro = posix_spawn(&pid, argv[0], acoes.get(), &atributos, argv.data(), environ);
    posix_spawnattr_destroy(&atributos);
    if (registro >= 0) close(registro);
    if (erro != 0) return erro;
    anotaGrupo(pid);
    filhos_.push_back(pid);
    ultimo_ = pid;
    estadoUltimo_ = -1;
    return 0;
}

void Processos::encerra() {
    if (!rodando()) return;
    kill(-ultimo_, SIGKILL);
    kill(ultimo_, SIGKILL);
    esperaFim(std::chrono::milliseconds(2000));
}

std::optional<int> Processos::codigoSaida() {
    if (rodando() || ultimo_ == 0 || estadoUltimo_ < 0 || !WIFEXITED(estadoUltimo_))
        return std::nullopt;
    return WEXITSTATUS(estadoUltimo_);
}

bool Processos::rodando() {
    recolhe();
    return ultimo_ != 0 && std::find(filhos_.begin(), filhos_.end(), ultimo_) != filhos_.end();
}

bool ehExecutavel(const std::filesystem::path& arquivo) {
    std::error_code ec;
    return std::filesystem::is_regular_file(arquivo, ec) && access(arquivo.c_str(), X_OK) == 0;
}

std::optional<std::string> saidaDePrograma(const std::vector<std::string>& argumentos,
                                           std::chrono::milliseconds prazo, size_t limite) {
    if (argumentos.empty()) return std::nullopt;
    std::vector<std::string> copia = argumentos;
    if (copia[0].find('/') == std::string::npos) copia[0] = achaNoPath(copia[0]).string();
    if (copia[0].empty()) return std::nullopt;
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0) return std::nullopt;
    std::vector<char*> argv = vetorArgumentos(copia);
    AcoesSpawn acoes;
    posix_spawn_file_actions_addopen(acoes.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(acoes.get(), tubo[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(acoes.get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int erro = posix_spawn(&pid, argv[0], acoes.get(), nullptr, argv.data(), environ);
    close(tubo[1]);
    if (erro != 0) {
        close(tubo[0]);
        return std::nullopt;
    }
    const auto fim = std::chrono::steady_clock::now() + prazo;
    std::string saida;
    bool completa = false;
    for (;;) {
        const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
            fim - std::chrono::steady_clock::now());
        pollfd p{tubo[0], POLLIN, 0};
        const int r = resta.count() > 0 ? poll(&p, 1, static_cast<int>(resta.count())) : 0;
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        char buf[65536];
        const ssize_t n = read(tubo[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            completa = true;  // the program closed its output
            break;
        }
        saida.append(buf, std::min(static_cast<size_t>(n), limite - std::min(limite, saida.size())));
    }
    close(tubo[0]);
    // A program that closed its output but goes on is not waited for past the deadline.
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) break;
        if (r < 0 && errno != EINTR) return std::nullopt;
        if (!completa || std::chrono::steady_clock::now() >= fim) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!completa || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return saida;
}
