// Files through the system's own calls, where the standard library says too little: reads
// that never wait on a pipe or a device, appends and new files flushed to the disk, the
// local time and the user's decimal separator. One implementation per system (linux/, windows/).
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// A regular file opened for reading at offsets; closed with its owner. Opening never
// waits: a pipe, a folder or a device is refused.
class ArquivoLeitura {
  public:
    enum class Falha { Nenhuma, NaoExiste, NaoRegular, Outra };

    ArquivoLeitura() = default;
    explicit ArquivoLeitura(const std::filesystem::path& caminho);
    ArquivoLeitura(ArquivoLeitura&& outro) noexcept;
    ArquivoLeitura& operator=(ArquivoLeitura&& outro) noexcept;
    ArquivoLeitura(const ArquivoLeitura&) = delete;
    ArquivoLeitura& operator=(const ArquivoLeitura&) = delete;
    ~ArquivoLeitura();

    bool aberto() const { return id_ != kFechado; }
    // Why it did not open.
    Falha falha() const { return falha_; }
    uint64_t tamanho() const;
    // Reads at `deslocamento` into `destino`; the count of bytes read (0 at the end and
    // on an error, which erroLeitura() then tells).
    size_t le(uint64_t deslocamento, std::span<uint8_t> destino) const;
    bool erroLeitura() const { return erroLeitura_; }

  private:
    static constexpr intptr_t kFechado = -1;
    void fecha() noexcept;

    intptr_t id_ = kFechado;  // the descriptor, or the handle on Windows
    Falha falha_ = Falha::Nenhuma;
    mutable bool erroLeitura_ = false;
};

// The whole of a regular file of `limite` bytes at most; empty for anything else, or when
// it cannot be read.
std::string conteudoRegular(const std::filesystem::path& arquivo, uintmax_t limite = UINTMAX_MAX);

// What stands at a path, its links not followed: nothing, a regular file with that one
// name, or anything else (a link, a folder, a device, a file with other names).
enum class Entrada { Ausente, Propria, Estranha };
Entrada entradaArquivo(const std::filesystem::path& p);
// The bytes of a file that is Entrada::Propria, read without following a link; nothing for
// anything else or on a read error.
std::optional<std::string> conteudoProprio(const std::filesystem::path& p);

enum class Anexo { Feito, NaoExiste, GrandeDemais, Falhou };
// Appends to the existing regular file (of `limite` bytes at most) what `produz` makes of
// its current bytes, and flushes it to the disk. On a failed write the file is cut back to
// what it held, so nothing is left half appended.
Anexo anexaAoArquivo(const std::filesystem::path& arquivo, uintmax_t limite,
                     const std::function<std::string(std::string_view atual)>& produz);

// A new folder only for this user, named `prefixo` and a random end, in the system's
// temporary folder; empty when none could be made.
std::filesystem::path criaPastaTemporaria(std::string_view prefixo);

// The local time of `t`.
std::tm horaLocal(std::time_t t);
// This process's number.
long idProcesso();
// The decimal separator of the user's locale ('.' or ','); '.' when it cannot be told.
char separadorDecimalLocal();
