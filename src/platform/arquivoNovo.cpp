#include "platform/arquivoNovo.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMarcaTemporario = ".plumar-";
constexpr size_t kDigitosSorteio = 12;

std::string hexa(uint64_t v) {
    static constexpr char kDigitos[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < kDigitosSorteio; ++i, v >>= 4) s += kDigitos[v & 15];
    return s;
}

}  // namespace

// ".NAME.plumar-" and 12 hex digits: a temporary file of ours.
bool nomeTemporarioNovo(std::string_view nome) {
    const size_t marca = nome.rfind(kMarcaTemporario);
    if (nome.empty() || nome[0] != '.' || marca == std::string_view::npos ||
        nome.size() != marca + kMarcaTemporario.size() + kDigitosSorteio)
        return false;
    return std::all_of(nome.begin() + static_cast<long>(marca + kMarcaTemporario.size()),
                       nome.end(), [](char c) { return std::isxdigit(static_cast<uint8_t>(c)); });
}

// A hidden name beside the file, cut so that it is a valid name of the folder.
fs::path nomeTemporarioLivre(const fs::path& pasta, std::string_view nome) {
    std::random_device aleatorio;
    const uint64_t sorteio = (uint64_t{aleatorio()} << 32) ^ aleatorio();
    std::string base = ".";
    base += nome.substr(0, 200);
    base += kMarcaTemporario;
    return pasta / (base + hexa(sorteio));
}

ArquivoNovo::ArquivoNovo(ArquivoNovo&& outro) noexcept
    : pasta_(std::move(outro.pasta_)),
      nome_(std::move(outro.nome_)),
      temporario_(std::move(outro.temporario_)),
      fd_(outro.fd_),
      falhou_(outro.falhou_),
      sincronizado_(outro.sincronizado_) {
    outro.fd_ = -1;
    outro.temporario_.clear();
}

ArquivoNovo::~ArquivoNovo() {
    fecha();
    std::error_code ec;
    if (!temporario_.empty()) fs::remove(temporario_, ec);
}

void ArquivoNovo::fecha() {
    if (fd_ >= 0) fechaDescritor(fd_);
    fd_ = -1;
}

bool ArquivoNovo::escreve(std::string_view bytes) {
    if (fd_ < 0 || falhou_) return false;
    falhou_ = !escreveTudo(fd_, bytes);
    return !falhou_;
}

bool gravaArquivoInteiro(const fs::path& destino, std::string_view conteudo, unsigned modo) {
    ArquivoNovo novo(destino.parent_path(), destino.filename().string(), modo);
    return novo.escreve(conteudo) && novo.substitui(destino);
}
