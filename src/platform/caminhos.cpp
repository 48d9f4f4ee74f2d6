#include "platform/caminhos.h"

#include <cctype>
#include <cstdlib>
#include <system_error>

#include "platform/texto.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr bool kUnidadesReais = true;
#else
constexpr bool kUnidadesReais = false;
#endif

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The entry of `dir` whose name equals `nome` without regard to case.
fs::path entradaSemCaixa(const fs::path& dir, const std::string& nome) {
    fs::path direta = dir / nome;
    if (existe(direta)) return direta;
    std::error_code ec;
    for (fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec), fim; !ec && it != fim;
         it.increment(ec)) {
        std::string n = it->path().filename().string();
        if (igualSemCaixa(n, nome)) return dir / n;
    }
    return direta;
}

}  // namespace

std::string mapeiaCaminho(std::string_view w) {
    std::string s(w);
    for (char& c : s)
        if (c == '\\') c = '/';
    std::string unidade;
    if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') {
        unidade = s.substr(0, 2);
        s.erase(0, 2);
    }
    // The first component, with or without a leading slash.
    size_t inicio = (!s.empty() && s[0] == '/') ? 1 : 0;
    size_t fim = s.find('/', inicio);
    std::string_view primeiro =
        std::string_view(s).substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
    if (igualSemCaixa(primeiro, "ornato")) {
        // Every '/' after "ornato" is skipped: "ornato\\x" stays under the root, which a
        // rest beginning with '/' would replace.
        const size_t inicioResto = fim == std::string::npos ? fim : s.find_first_not_of('/', fim);
        std::string resto =
            inicioResto == std::string::npos ? std::string() : s.substr(inicioResto);
        fs::path raiz = raizFamilia();
        std::string r = raiz.string();
        if (resto.empty()) return r + "/";
        return (raiz / resto).string();
    }
    // Windows keeps the drive; on Linux there is none to name.
    return kUnidadesReais ? unidade + s : s;
}

fs::path achaArquivo(const fs::path& caminho) {
    if (caminho.empty() || existe(caminho)) return caminho;
    fs::path atual = caminho.is_absolute() ? caminho.root_path() : fs::path();
    for (const fs::path& parte : caminho.relative_path()) {
        std::string nome = parte.string();
        if (nome.empty() || nome == "." || nome == "..") {
            atual /= parte;
            continue;
        }
        atual = entradaSemCaixa(atual, nome);
    }
    // Keep a trailing separator ("dir/") as the caller wrote it.
    if (!caminho.empty() && caminho.string().back() == '/' && atual.string().back() != '/')
        atual += "/";
    return existe(atual) ? atual : caminho;
}

std::string pastaComBarra(std::string pasta) {
    if (!pasta.empty() && pasta.back() != '\\' && pasta.back() != '/') pasta += '\\';
    return pasta;
}

fs::path arquivoWindows(std::string_view w) { return achaArquivo(mapeiaCaminho(w)); }

namespace {

bool arquivoRegular(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

fs::path achaPrograma(std::string_view w) {
    fs::path p = arquivoWindows(w);
    if (existe(p)) return p;
    std::string s = p.string();
    if (s.size() > 4 && igualSemCaixa(std::string_view(s).substr(s.size() - 4), ".exe")) {
        const fs::path semExe = s.substr(0, s.size() - 4);
        // A family program (c:\ornato\x.exe) is the installed program x beside this one,
        // before anything of that name in the family root: its data folders share the
        // programs' names.
        const fs::path raiz = raizFamilia().lexically_normal();
        const fs::path relativo = semExe.lexically_normal().lexically_relative(raiz);
        if (!relativo.empty() && *relativo.begin() != ".." && !pastaDoPrograma().empty()) {
            const fs::path instalado = achaArquivo(pastaDoPrograma() / relativo.filename());
            if (arquivoRegular(instalado)) return instalado;
        }
        const fs::path achado = achaArquivo(semExe);
        if (arquivoRegular(achado)) return achado;
    }
    return p;
}
