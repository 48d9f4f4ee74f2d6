#include "speech/servidores/servidorSpeechd.h"

#include <fcntl.h>
#include <libspeechd.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/codigos.h"
#include "platform/texto.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kEsperaFecha = 5s;      // closing waits this long for the text to end
constexpr int kEsperasLista = 5;       // the voice list may take this many answers' time
constexpr int kCodigoFalaRecebida = 230, kCodigoEventoFim = 702, kCodigoEventoCancela = 703;
// A text the service never reports ended counts as ended after this long (slower than any
// voice), so no wait for it is endless.
constexpr auto kFalaBase = 2s;
constexpr auto kFalaPorLetra = 150ms;

int restaMs(std::chrono::steady_clock::time_point prazo) {
    const auto resto = std::chrono::duration_cast<std::chrono::milliseconds>(
        prazo - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<long long>(resto.count(), 0, 60000));
}

// Nothing the service could take as a second word, quote or line end.
std::string nomeUsuario() {
    const char* u = std::getenv("USER");
    std::string nome;
    for (const char* c = u ? u : ""; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '_' || *c == '-') nome += *c;
    return nome.empty() ? "plumar" : nome;
}

// Connects without waiting longer than `prazo`; -1 when nobody listens there.
int conectaEndereco(const sockaddr* endereco, socklen_t tamanho, int familia,
                    std::chrono::steady_clock::time_point prazo) {
    const int s = socket(familia, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return -1;
    if (connect(s, endereco, tamanho) == 0) return s;
    if (errno == EINPROGRESS) {
        pollfd p{s, POLLOUT, 0};
        int erro = 0;
        socklen_t n = sizeof erro;
        if (poll(&p, 1, restaMs(prazo)) == 1 && getsockopt(s, SOL_SOCKET, SO_ERROR, &erro, &n) == 0 &&
            erro == 0)
            return s;
    }
    close(s);
    return -1;
}

int conectaUnix(const std::string& caminho, std::chrono::steady_clock::time_point prazo) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    if (caminho.empty() || caminho.size() >= sizeof a.sun_path) return -1;
    std::memcpy(a.sun_path, caminho.c_str(), caminho.size() + 1);
    return conectaEndereco(reinterpret_cast<sockaddr*>(&a), sizeof a, AF_UNIX, prazo);
}

int conectaRede(const std::string& maquina, int porta, std::chrono::steady_clock::time_point prazo) {
    addrinfo dica{};
    dica.ai_socktype = SOCK_STREAM;
    addrinfo* lista = nullptr;
    if (getaddrinfo(maquina.c_str(), std::to_string(porta).c_str(), &dica, &lista) != 0) return -1;
    int s = -1;
    for (addrinfo* a = lista; a && s < 0; a = a->ai_next)
        s = conectaEndereco(a->ai_addr, a->ai_addrlen, a->ai_family, prazo);
    freeaddrinfo(lista);
    return s;
}

// Lines of a text for the service: line ends as CR LF, and a line that begins with "." gets
// a second one, so no line of the text can end the text early.
std::string dadosFala(std::string_view utf8) {
    std::string saida;
    saida.reserve(utf8.size() + 16);
    bool inicioLinha = true;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            saida += "\r\n";
            inicioLinha = true;
            continue;
        }
        if (inicioLinha && c == '.') saida += '.';
        saida += c;
        inicioLinha = false;
    }
    return saida + "\r\n.\r\n";
}

}  // namespace

std::vector<ServidorSpeechd::Voz> ServidorSpeechd::numeraVozes(const std::vector<Voz>& lista) {
    std::vector<int> grupos;
    for (const Voz& v : lista) grupos.push_back(grupoLingua(v.lingua));
    std::vector<Voz> numeradas;
    for (size_t i : numeracaoVozes(grupos)) numeradas.push_back(lista[i]);
    return numeradas;
}

std::optional<size_t> ServidorSpeechd::escolheVoz(const std::vector<Voz>& numeradas, int numero) {
    if (numero >= 1 && static_cast<size_t>(numero) <= numeradas.size())
        return static_cast<size_t>(numero - 1);
    for (size_t i = 0; i < numeradas.size(); ++i)
        if (numeradas[i].nome.find("Raquel") != std::string::npos) return i;
    if (!numeradas.empty() && grupoLingua(numeradas.front().lingua) < 2) return 0;
    return std::nullopt;
}

ServidorSpeechd::ServidorSpeechd(std::chrono::milliseconds prazo, int volume)
    : prazo_(prazo), volume_(volume) {}

ServidorSpeechd::~ServidorSpeechd() {
    desconecta();
}

bool ServidorSpeechd::conecta() {
    char* erro = nullptr;
    SPDConnectionAddress* endereco = spd_get_default_address(&erro);
    std::free(erro);
    if (!endereco) return false;
    const auto prazo = Relogio::now() + prazo_;
    if (endereco->method == SPD_METHOD_UNIX_SOCKET && endereco->unix_socket_name)
        conexao_ = conectaUnix(endereco->unix_socket_name, prazo);
    else if (endereco->method == SPD_METHOD_INET_SOCKET && endereco->inet_socket_host)
        conexao_ = conectaRede(endereco->inet_socket_host, endereco->inet_socket_port, prazo);
    SPDConnectionAddress__free(endereco);
    return conexao_ >= 0;
}

bool ServidorSpeechd::abre(int voz, int taxa, int tom) {
    fecha();
    pontuacaoEnviada_.reset();  // a new connection has the service's own setting
    voz_.clear();
    if (!conecta()) return false;
    if (!comando("SET SELF CLIENT_NAME \"" + nomeUsuario() + ":plumar:main\"").ok()) {
        desconecta();
        return false;
    }
    // The service builds its voice list slowly (with espeak-ng's 13,000 voices, about 0.8 s
    // of its processor time, seconds on a busy machine): that answer gets a longer wait.
    const Resposta lista = comando("LIST SYNTHESIS_VOICES", prazo_ * kEsperasLista);
    const std::vector<Voz> vozes = numeraVozes(vozesDaLista(lista.dados));
    const std::optional<size_t> escolhida = escolheVoz(vozes, voz);
    if (escolhida) voz_ = vozes[*escolhida].nome;
    // The end of each text must be reported, or no one could tell when it ended.
    const bool pronto =
        lista.ok() && !vozes.empty() &&
        (voz_.empty() || comando("SET SELF SYNTHESIS_VOICE " + voz_).ok()) &&
        comando("SET SELF RATE " + std::to_string(taxaNaEscala(taxa) * 10)).ok() &&
        comando("SET SELF PITCH " + std::to_string(tomNaEscala(tom) * 10)).ok() &&
        comando("SET SELF VOLUME " + std::to_string(volume_)).ok() &&
        comando("SET SELF PRIORITY TEXT").ok() &&
        comando("SET SELF NOTIFICATION end on").ok() &&
        comando("SET SELF NOTIFICATION cancel on").ok();
    if (!pronto) desconecta();
    return pronto;
}

bool ServidorSpeechd::enviaTexto(std::string_view texto) {
    if (!disponivel()) return false;
    const std::string utf8 = win1252ParaUtf8(texto.empty() ? std::string_view(" ") : texto);
    if (pontuacaoPedida_ && pontuacaoPedida_ != pontuacaoEnviada_ &&
        comando(*pontuacaoPedida_ ? "SET SELF PUNCTUATION all" : "SET SELF PUNCTUATION none").ok())
        pontuacaoEnviada_ = pontuacaoPedida_;
    if (comando("SPEAK").codigo != kCodigoFalaRecebida) return false;
    if (!envia(dadosFala(utf8))) {
        desconecta();
        return false;
    }
    const Resposta r = leResposta(Relogio::now() + prazo_);
    if (!r.ok()) return false;
    mensagem_ = r.dados.empty() ? std::string() : r.dados.front();
    falando_ = true;
    limiteFala_ = Relogio::now() + kFalaBase + kFalaPorLetra * utf8.size();
    return true;
}

bool ServidorSpeechd::falando() {
    if (!falando_) return false;
    recebeEventos(Relogio::now());
    if (falando_ && Relogio::now() > limiteFala_) falando_ = false;
    return falando_ && disponivel();
}

void ServidorSpeechd::para() {
    if (!disponivel()) return;
    comando("CANCEL SELF");
    falando_ = false;
}

void ServidorSpeechd::fecha() {
    if (!disponivel()) return;
    const auto limite = std::min(Relogio::now() + kEsperaFecha, limiteFala_);
    while (falando() && Relogio::now() < limite) recebeEventos(std::min(limite, Relogio::now() + 500ms));
    envia("QUIT\r\n");
    desconecta();
}

void ServidorSpeechd::desconecta() {
    if (conexao_ >= 0) close(conexao_);
    conexao_ = -1;
    falando_ = false;
    recebido_.clear();
    evento_.clear();
}

ServidorSpeechd::Resposta ServidorSpeechd::comando(std::string_view linha) {
    return comando(linha, prazo_);
}

ServidorSpeechd::Resposta ServidorSpeechd::comando(std::string_view linha,
                                                   std::chrono::milliseconds prazo) {
    if (!disponivel() || !envia(std::string(linha) + "\r\n")) {
        desconecta();
        return {};
    }
    return leResposta(Relogio::now() + prazo);
}

bool ServidorSpeechd::envia(std::string_view bytes) {
    const auto prazo = Relogio::now() + prazo_;
    while (!bytes.empty() && conexao_ >= 0) {
        const ssize_t n = send(conexao_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        pollfd p{conexao_, POLLOUT, 0};
        if (poll(&p, 1, restaMs(prazo)) <= 0) return false;
    }
    return bytes.empty();
}

// One line (without its CR LF) before `prazo`; false when none came, and then the
// connection is closed for good.
bool ServidorSpeechd::leLinha(std::string& linha, Relogio::time_point prazo) {
    for (;;) {
        if (std::optional<std::string> l = tiraLinhaSsip(recebido_)) {
            linha = std::move(*l);
            return true;
        }
        if (recebido_.size() > kMaiorLinhaSsip || conexao_ < 0) break;
        pollfd p{conexao_, POLLIN, 0};
        if (poll(&p, 1, restaMs(prazo)) <= 0) return false;  // quiet: the caller decides
        char buffer[4096];
        const ssize_t n = recv(conexao_, buffer, sizeof buffer, 0);
        if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) break;
        if (n > 0) recebido_.append(buffer, static_cast<size_t>(n));
    }
    desconecta();
    return false;
}

// A reply (respostaSsip.h); silent past the deadline, closed or nonsense, the connection is
// given up.
ServidorSpeechd::Resposta ServidorSpeechd::leResposta(Relogio::time_point prazo) {
    Resposta r;
    std::string linha;
    while (leLinha(linha, prazo)) {
        const PassoSsip passo = recebeLinhaResposta(linha, r, evento_, aoEvento());
        if (passo == PassoSsip::Pronta) return r;
        if (passo == PassoSsip::Absurda) break;
    }
    desconecta();
    return {};
}

AoEventoSsip ServidorSpeechd::aoEvento() {
    return [this](int codigo, const std::vector<std::string>& dados) { trataEvento(codigo, dados); };
}

void ServidorSpeechd::trataEvento(int codigo, const std::vector<std::string>& dados) {
    const bool fim = codigo == kCodigoEventoFim || codigo == kCodigoEventoCancela;
    if (fim && !dados.empty() && dados.front() == mensagem_) falando_ = false;
}

// Events waiting now (or arriving before `prazo`), without waiting for an answer.
void ServidorSpeechd::recebeEventos(Relogio::time_point prazo) {
    std::string linha;
    while (disponivel()) {
        pollfd p{conexao_, POLLIN, 0};
        if (recebido_.find('\n') == std::string::npos && poll(&p, 1, restaMs(prazo)) <= 0) return;
        if (!leLinha(linha, prazo)) return;
        // Nothing but events may come unasked.
        if (!recebeLinhaEvento(linha, evento_, aoEvento())) return desconecta();
    }
}
