// The local link between the family's programs: a server listens on a Unix-domain socket
// named APPLICATION.TOPIC in the user's private link folder (on Windows, a named pipe only
// this user may open); a client connects (no listener = no server), asks to converse, and
// pokes a text to an item. Every message is
// a length-prefixed frame; every wait has a deadline, so a server that accepts and then
// hangs never holds a client for long.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ligacao {

// Kinds of frame: 4 bytes of length (big-endian, kind and payload), 1 byte of kind, the
// payload.
enum class Tipo : uint8_t {
    Inicia = 1,     // payload: application NUL topic
    Confirma = 2,   // payload: 1 byte, 1 accepted / 0 refused
    Entrega = 3,    // payload: item NUL, format (2 bytes, 1 = plain text), the data
    Termina = 4,    // no payload
};
constexpr uint16_t kFormatoTexto = 1;
// No frame is longer than this; a peer announcing more is not one of ours.
constexpr uint32_t kMaiorQuadro = 1u << 20;
constexpr std::chrono::milliseconds kPrazo{2000};

// $XDG_RUNTIME_DIR/sonare/link, or /tmp/sonare-UID/link when there is no runtime folder.
std::filesystem::path pastaLigacoes();
// Creates the link folder (mode 0700) when missing. Empty when it is fine; otherwise why
// it may not be used (not a folder, owned by another user, open to others).
std::string preparaPasta(const std::filesystem::path& pasta);
// The socket of APPLICATION.TOPIC (names compared without regard to case); empty when the
// names cannot make a file name.
std::filesystem::path enderecoServidor(const std::filesystem::path& pasta, std::string_view aplicacao,
                                       std::string_view topico);

enum class Resultado { Entregue, SemServidor, Recusado, Falhou };
// The whole conversation of a client: initiate, poke `dados` to `item`, terminate, within
// `prazo` in all. Entregue when the server acknowledged the initiate and the poke was
// written; SemServidor when nobody listens (or the folder or socket is not this user's).
Resultado entrega(std::string_view aplicacao, std::string_view topico, std::string_view item,
                  std::string_view dados, std::chrono::milliseconds prazo = kPrazo);

struct Entrega {
    std::string item;
    std::string dados;  // as poked, with its final NUL
};

// A listener for one application and topic.
class Servidor {
  public:
    Servidor();
    ~Servidor();
    Servidor(const Servidor&) = delete;
    Servidor& operator=(const Servidor&) = delete;

    // Empty when listening; otherwise why not (another server already listens there, the
    // folder is not this user's, ...).
    std::string abre(std::string_view aplicacao, std::string_view topico);
    // Serves one client, waiting at most `espera` for it: the text it poked, or nothing
    // (no client, or one that asked for something else, went silent or sent garbage).
    std::optional<Entrega> atende(std::chrono::milliseconds espera);
    const std::filesystem::path& endereco() const { return endereco_; }

  private:
    struct Escuta;  // the system's listening end
    std::unique_ptr<Escuta> escuta_;
    std::string aplicacao_, topico_;
    std::filesystem::path endereco_;
};

}  // namespace ligacao
