// The fuzz binaries of the INI reader, the file loader and the key-script parser link their
// modules alone: the few path functions those modules name are given here, pointing into
// a temporary folder. The test binary has the real ones and builds none of this.
#if defined(PLUMAR_FUZZ_INI) || defined(PLUMAR_FUZZ_ARQUIVO) || defined(PLUMAR_FUZZ_ROTEIRO) || \
    defined(PLUMAR_FUZZ_AVALIADOR)
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/caminhos.h"

namespace fs = std::filesystem;

namespace {
fs::path pastaFuzz() {
    return fs::temp_directory_path() / ("plumar_fuzz_" + std::to_string(::getpid()));
}
}  // namespace

fs::path diretorioWindows() { return pastaFuzz() / "win"; }
fs::path diretorioEstado() { return pastaFuzz() / "estado"; }
fs::path raizFamilia() { return pastaFuzz() / "raiz"; }
fs::path achaArquivo(const fs::path& caminho) { return caminho; }
#ifdef PLUMAR_FUZZ_AVALIADOR
// The math mode's files, named by its table module and never opened by the evaluator.
fs::path arquivoWindows(std::string_view caminho) { return raizFamilia() / std::string(caminho); }
#endif
#endif
