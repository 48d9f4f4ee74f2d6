#include "platform/ligacaoLocal.h"

// Stand-in until the named-pipe link is written: no server is ever found and none can
// listen, which the editor already says as it does for a server that is not running.
namespace ligacao {

std::filesystem::path pastaLigacoes() { return {}; }

std::string preparaPasta(const std::filesystem::path&) {
    return "o Windows ainda não tem a ligação local";
}

std::filesystem::path enderecoServidor(const std::filesystem::path&, std::string_view,
                                       std::string_view) {
    return {};
}

Resultado entrega(std::string_view, std::string_view, std::string_view, std::string_view,
                  std::chrono::milliseconds) {
    return Resultado::SemServidor;
}

Servidor::~Servidor() = default;

std::string Servidor::abre(std::string_view aplicacao, std::string_view topico) {
    aplicacao_ = aplicacao;
    topico_ = topico;
    return preparaPasta({});
}

std::optional<Entrega> Servidor::atende(std::chrono::milliseconds) { return std::nullopt; }

}  // namespace ligacao
