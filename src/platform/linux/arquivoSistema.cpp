#include "platform/arquivoSistema.h"

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/descritor.h"

namespace fs = std::filesystem;

// Opened without waiting, so a pipe or a device with no data never holds the program; only
// a regular file is kept.
ArquivoLeitura::ArquivoLeitura(const fs::path& caminho) {
    const int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        falha_ = (errno == ENOENT || errno == ENOTDIR) ? Falha::NaoExiste : Falha::Outra;
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        falha_ = Falha::NaoRegular;
        return;
    }
    id_ = fd;
}

ArquivoLeitura::~ArquivoLeitura() { fecha(); }

void ArquivoLeitura::fecha() noexcept {
    if (id_ != kFechado) ::close(static_cast<int>(id_));
    id_ = kFechado;
}

uint64_t ArquivoLeitura::tamanho() const {
    struct stat st {};
    if (!aberto() || ::fstat(static_cast<int>(id_), &st) != 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

size_t ArquivoLeitura::le(uint64_t deslocamento, std::span<uint8_t> destino) const {
    size_t lidos = 0;
    while (aberto() && lidos < destino.size()) {
        ssize_t n = ::pread(static_cast<int>(id_), destino.data() + lidos, destino.size() - lidos,
                            static_cast<off_t>(deslocamento + lidos));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) erroLeitura_ = true;
        if (n <= 0) break;  // an error, or the file shrank since it was opened
        lidos += static_cast<size_t>(n);
    }
    return lidos;
}

Entrada entradaArquivo(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return errno == ENOENT ? Entrada::Ausente : Entrada::Estranha;
    return S_ISREG(st.st_mode) && st.st_nlink == 1 ? Entrada::Propria : Entrada::Estranha;
}

std::optional<std::string> conteudoProprio(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const Descritor d(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) return std::nullopt;
    std::string dados;
    char bloco[65536];
    for (;;) {
        const ssize_t n = ::read(fd, bloco, sizeof bloco);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return dados;
        dados.append(bloco, static_cast<size_t>(n));
    }
}

Anexo anexaAoArquivo(const fs::path& arquivo, uintmax_t limite,
                     const std::function<std::string(std::string_view)>& produz) {
    struct stat antes {};
    if (::stat(arquivo.c_str(), &antes) != 0 || !S_ISREG(antes.st_mode)) return Anexo::NaoExiste;
    const int fd = ::open(arquivo.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? Anexo::NaoExiste : Anexo::Falhou;
    const Descritor d(fd);
    if (::fstat(fd, &antes) != 0 || !S_ISREG(antes.st_mode)) return Anexo::NaoExiste;
    if (static_cast<uintmax_t>(antes.st_size) > limite) return Anexo::GrandeDemais;
    std::string atual(static_cast<size_t>(antes.st_size), '\0');
    bool certo = ::pread(fd, atual.data(), atual.size(), 0) == antes.st_size;
    const std::string bytes = certo ? produz(atual) : std::string();
    certo = certo && ::pwrite(fd, bytes.data(), bytes.size(), antes.st_size) ==
                         static_cast<ssize_t>(bytes.size());
    certo = certo && ::fsync(fd) == 0;
    if (!certo) (void)::ftruncate(fd, antes.st_size);
    return certo ? Anexo::Feito : Anexo::Falhou;
}

fs::path criaPastaTemporaria(std::string_view prefixo) {
    std::error_code ec;
    fs::path temporaria = fs::temp_directory_path(ec);
    if (ec) temporaria = "/tmp";
    std::string modelo = (temporaria / (std::string(prefixo) + "-XXXXXX")).string();
    return ::mkdtemp(modelo.data()) ? fs::path(modelo) : fs::path();
}

std::tm horaLocal(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

long idProcesso() { return static_cast<long>(::getpid()); }

char separadorDecimalLocal() {
    locale_t local = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (local == static_cast<locale_t>(nullptr)) return '.';  // no such locale: the C one
    char* fim = nullptr;
    const char* texto = "2.3";
    strtod_l(texto, &fim, local);
    freelocale(local);
    return fim == texto + 3 ? '.' : ',';
}
