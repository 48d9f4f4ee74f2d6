// Fuzz entry for the path mapping: the input is a Windows path, then (NUL-separated) names
// of files to create in a family root of its own. The mapping has no '\' left and puts a
// first component "ornato" under the root; inside the root, a file found without regard
// to case is the path asked for up to case, and a program found is a regular file.
#include "fuzz.h"
#include "platform/caminhos.h"
#include "platform/texto.h"

namespace fs = std::filesystem;

namespace {

// A name that is one entry of a folder.
bool nomeSimples(std::string_view n) {
    return !n.empty() && n.size() <= 64 && n != "." && n != ".." &&
           n.find('/') == std::string_view::npos;
}

std::string normal(const fs::path& p) {
    std::string s = p.lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// The first component of a Windows path after its drive letter, as the mapping sees it.
bool primeiroEhOrnato(std::string_view w) {
    std::string s(w);
    for (char& c : s)
        if (c == '\\') c = '/';
    if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') s.erase(0, 2);
    if (!s.empty() && s[0] == '/') s.erase(0, 1);
    return igualSemCaixa(std::string_view(s).substr(0, s.find('/')), "ornato");
}

}  // namespace

int fuzzCaminhos(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    const std::string_view caminho = proximaParte(resto);
    const fs::path raiz = temporarioDoFuzz("caminhos");
    std::error_code ec;
    fs::remove_all(raiz, ec);
    fs::create_directories(raiz / "sub", ec);
    for (int i = 0; i < 8 && !resto.empty(); ++i) {
        const std::string_view nome = proximaParte(resto);
        if (!nomeSimples(nome)) continue;
        // Odd names are folders, even ones files; both in the root and in sub/.
        const fs::path alvo = raiz / (i % 3 == 2 ? fs::path("sub") : fs::path()) / std::string(nome);
        if (i % 2)
            fs::create_directory(alvo, ec);
        else
            gravaArquivoTeste(alvo, "x");
    }
    const Variavel ambiente("SONARE_ROOT", raiz.string());

    const std::string mapeado = mapeiaCaminho(caminho);
    confirma(mapeado.find('\\') == std::string::npos);
    if (primeiroEhOrnato(caminho)) confirma(mapeado.starts_with(raiz.string()));
    if (dentroDe(mapeado, raiz)) {
        const fs::path achado = achaArquivo(mapeado);
        confirma(achado == fs::path(mapeado) ||
                 (fs::exists(achado, ec) && igualSemCaixa(normal(achado), normal(mapeado))));
        const fs::path programa = achaPrograma(caminho);
        confirma(programa == arquivoWindows(caminho) || fs::is_regular_file(programa, ec));
    }
    fs::remove_all(raiz, ec);
    return 0;
}
