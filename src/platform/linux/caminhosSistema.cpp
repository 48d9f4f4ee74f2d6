#include "platform/caminhos.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string variavel(const char* nome) {
    const char* v = std::getenv(nome);
    return v ? std::string(v) : std::string();
}

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

}  // namespace

fs::path pastaPessoal() {
    if (std::string h = variavel("HOME"); !h.empty() && h[0] == '/') return h;
    // Without HOME (a service, a cron job): the user's home as the system knows it.
    std::vector<char> buffer(16384);
    passwd entrada{};
    passwd* achada = nullptr;
    if (::getpwuid_r(::getuid(), &entrada, buffer.data(), buffer.size(), &achada) == 0 && achada &&
        achada->pw_dir && achada->pw_dir[0] == '/')
        return achada->pw_dir;
    // A user the system does not know: the home no user has (never the current folder).
    return "/nonexistent";
}

fs::path pastaXdg(const char* variavelXdg, const fs::path& padraoNaPastaPessoal) {
    if (std::string x = variavel(variavelXdg); !x.empty() && x[0] == '/') return x;
    return pastaPessoal() / padraoNaPastaPessoal;
}

fs::path diretorioWindows() {
    if (std::string w = variavel("SONARE_WINDIR"); !w.empty()) return w;
    return pastaXdg("XDG_CONFIG_HOME", ".config") / "sonare";
}

fs::path diretorioEstado() {
    return pastaXdg("XDG_STATE_HOME", fs::path(".local") / "state") / "sonare";
}

fs::path caminhoAbreviado(const fs::path& caminho) {
    const std::string casa = variavel("HOME");
    if (casa.empty() || casa == "/") return caminho;
    const fs::path relativo = caminho.lexically_relative(fs::path(casa).lexically_normal());
    if (relativo.empty() || *relativo.begin() == "..") return caminho;
    return relativo == "." ? fs::path("~") : fs::path("~") / relativo;
}

fs::path raizFamilia() {
    if (std::string r = variavel("SONARE_ROOT"); !r.empty()) return r;
    // Installed, the root lies at a fixed place relative to the program (share/sonare for
    // bin/plumar), wherever the whole tree was put; a program of the build tree has none
    // there and reads the build tree's root.
    if (const fs::path pasta = pastaDoPrograma(); !pasta.empty()) {
        const fs::path instalada = (pasta / PLUMAR_RAIZ_RELATIVA).lexically_normal();
        if (existe(instalada)) return instalada;
    }
    return PLUMAR_RAIZ_CONSTRUCAO;
}

// It does not change while the program runs.
fs::path pastaDoPrograma() {
    static const fs::path pasta = [] {
        std::error_code ec;
        const fs::path proprio = fs::read_symlink("/proc/self/exe", ec);
        return ec ? fs::path() : proprio.parent_path();
    }();
    return pasta;
}

// A Linux package puts soffice on PATH.
fs::path libreOfficeInstalado() { return {}; }
