#include "platform/arquivoSistema.h"

#include <windows.h>

#include <cerrno>
#include <random>

#include "platform/windows/utf16.h"

namespace fs = std::filesystem;

namespace {

HANDLE handle(intptr_t id) { return reinterpret_cast<HANDLE>(id); }

// Everything written, or false.
bool escreveTudo(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD parte = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD escritos = 0;
        if (!WriteFile(h, bytes.data(), parte, &escritos, nullptr) || escritos == 0) return false;
        bytes.remove_prefix(escritos);
    }
    return true;
}

// Other programs may read, write and even rename or remove a file we only read, as
// Linux lets them; a file they hold locked answers with a sharing violation.
constexpr DWORD kPartilhaTudo = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

// A folder, a device ("CON", "NUL", "COM1") or a pipe is refused: only a disk file opens.
ArquivoLeitura::ArquivoLeitura(const fs::path& caminho) {
    HANDLE h = CreateFileW(caminhoLargo(caminho).c_str(), GENERIC_READ, kPartilhaTudo, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        falha_ = (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ||
                  e == ERROR_INVALID_NAME)
                     ? Falha::NaoExiste
                     : Falha::Outra;
        return;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        falha_ = Falha::NaoRegular;
        return;
    }
    id_ = reinterpret_cast<intptr_t>(h);
}

ArquivoLeitura::~ArquivoLeitura() { fecha(); }

void ArquivoLeitura::fecha() noexcept {
    if (id_ != kFechado) CloseHandle(handle(id_));
    id_ = kFechado;
}

uint64_t ArquivoLeitura::tamanho() const {
    LARGE_INTEGER t{};
    if (!aberto() || !GetFileSizeEx(handle(id_), &t)) return 0;
    return static_cast<uint64_t>(t.QuadPart);
}

size_t ArquivoLeitura::le(uint64_t deslocamento, std::span<uint8_t> destino) const {
    size_t lidos = 0;
    while (aberto() && lidos < destino.size()) {
        OVERLAPPED onde{};
        const uint64_t pos = deslocamento + lidos;
        onde.Offset = static_cast<DWORD>(pos);
        onde.OffsetHigh = static_cast<DWORD>(pos >> 32);
        const DWORD parte = static_cast<DWORD>(std::min<size_t>(destino.size() - lidos, 1u << 30));
        DWORD n = 0;
        if (!ReadFile(handle(id_), destino.data() + lidos, parte, &n, &onde)) {
            if (GetLastError() != ERROR_HANDLE_EOF) erroLeitura_ = true;
            break;
        }
        if (n == 0) break;
        lidos += n;
    }
    return lidos;
}

namespace {

// A file opened by its own name, never through a link, with what the system says of it;
// nothing when it is no regular file of one name.
HANDLE abreProprio(const fs::path& p, DWORD acesso, DWORD partilha, DWORD& erro) {
    HANDLE h = CreateFileW(caminhoLargo(p).c_str(), acesso, partilha, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    erro = h == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (h == INVALID_HANDLE_VALUE) return h;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
        info.nNumberOfLinks != 1) {
        CloseHandle(h);
        erro = ERROR_INVALID_FUNCTION;
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

bool leTudo(HANDLE h, std::string& dados) {
    LARGE_INTEGER tamanho{};
    if (!GetFileSizeEx(h, &tamanho)) return false;
    dados.resize(static_cast<size_t>(tamanho.QuadPart));
    size_t lidos = 0;
    while (lidos < dados.size()) {
        DWORD n = 0;
        const DWORD parte = static_cast<DWORD>(std::min<size_t>(dados.size() - lidos, 1u << 30));
        if (!ReadFile(h, dados.data() + lidos, parte, &n, nullptr) || n == 0) return false;
        lidos += n;
    }
    return true;
}

}  // namespace

Entrada entradaArquivo(const fs::path& p) {
    DWORD erro = 0;
    HANDLE h = abreProprio(p, 0, kPartilhaTudo, erro);
    if (h == INVALID_HANDLE_VALUE)
        return erro == ERROR_FILE_NOT_FOUND || erro == ERROR_PATH_NOT_FOUND ? Entrada::Ausente
                                                                            : Entrada::Estranha;
    CloseHandle(h);
    return Entrada::Propria;
}

std::optional<std::string> conteudoProprio(const fs::path& p) {
    DWORD erro = 0;
    HANDLE h = abreProprio(p, GENERIC_READ, kPartilhaTudo, erro);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string dados;
    const bool lido = leTudo(h, dados);
    CloseHandle(h);
    if (!lido) return std::nullopt;
    return dados;
}

// Held against other writers while it is appended to; a file another program holds
// locked is said to be unwritable, and stays as it was.
Anexo anexaAoArquivo(const fs::path& arquivo, uintmax_t limite,
                     const std::function<std::string(std::string_view)>& produz) {
    HANDLE h = CreateFileW(caminhoLargo(arquivo).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH | FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        return (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? Anexo::NaoExiste
                                                                         : Anexo::Falhou;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        return Anexo::NaoExiste;
    }
    LARGE_INTEGER antes{};
    if (!GetFileSizeEx(h, &antes) || static_cast<uint64_t>(antes.QuadPart) > limite) {
        CloseHandle(h);
        return Anexo::GrandeDemais;
    }
    std::string atual;
    bool certo = leTudo(h, atual);
    const std::string bytes = certo ? produz(atual) : std::string();
    certo = certo && SetFilePointerEx(h, antes, nullptr, FILE_BEGIN) && escreveTudo(h, bytes) &&
            FlushFileBuffers(h);
    if (!certo && SetFilePointerEx(h, antes, nullptr, FILE_BEGIN)) SetEndOfFile(h);
    certo = CloseHandle(h) && certo;
    return certo ? Anexo::Feito : Anexo::Falhou;
}

fs::path criaPastaTemporaria(std::string_view prefixo) {
    std::error_code ec;
    const fs::path temporaria = fs::temp_directory_path(ec);
    if (ec) return {};
    std::random_device aleatorio;
    for (int tentativa = 0; tentativa < 100; ++tentativa) {
        const fs::path p = temporaria / (std::string(prefixo) + "-" + std::to_string(aleatorio()));
        // The user's temporary folder is private to the user already.
        if (CreateDirectoryW(caminhoLargo(p).c_str(), nullptr)) return p;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

std::tm horaLocal(std::time_t t) {
    std::tm tm{};
    localtime_s(&tm, &t);
    return tm;
}

long idProcesso() { return static_cast<long>(GetCurrentProcessId()); }

char separadorDecimalLocal() {
    wchar_t separador[4] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separador, 4) == 0) return '.';
    return separador[0] == L',' ? ',' : '.';
}
