// The speech service's client against a fake service on a Unix socket started here: the
// exact commands it sends, the voice rules, and services that fall silent, close or answer
// nonsense (opening fails, or the engine becomes unavailable; never a hang).
#include "speech/servidores/servidorSpeechd.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <thread>

#include "apoio.h"

namespace {

using namespace std::chrono_literals;

enum class Falha { Silencio, Lixo, Fecha };

// Answers the commands as the service does; `falhas` maps a command's beginning to a fault.
class ServicoFalso {
  public:
    ServicoFalso(const std::filesystem::path& socket, std::string vozes,
                 std::map<std::string, Falha> falhas = {})
        : vozes_(std::move(vozes)), falhas_(std::move(falhas)) {
        escuta_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, socket.c_str(), sizeof a.sun_path - 1);
        bind(escuta_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(escuta_, 1);
        fio_ = std::thread([this] { atende(); });
    }
    ~ServicoFalso() {
        shutdown(escuta_, SHUT_RDWR);
        if (cliente_ >= 0) shutdown(cliente_, SHUT_RDWR);
        if (fio_.joinable()) fio_.join();
        close(escuta_);
        if (cliente_ >= 0) close(cliente_);
    }
    // Every line received, once the client has gone.
    std::vector<std::string> linhasAteOFim() {
        fio_.join();
        return linhas_;
    }
    void envia(const std::string& s) { send(cliente_, s.data(), s.size(), MSG_NOSIGNAL); }
    void fecha() { shutdown(cliente_, SHUT_RDWR); }

  private:
    void atende() {
        cliente_ = accept(escuta_, nullptr, nullptr);
        std::string buffer, linha;
        bool dados = false;
        char b[65536];
        for (ssize_t n; cliente_ >= 0 && (n = recv(cliente_, b, sizeof b, 0)) > 0;) {
            buffer.append(b, static_cast<size_t>(n));
            for (size_t fim; (fim = buffer.find("\r\n")) != std::string::npos;) {
                linha = buffer.substr(0, fim);
                buffer.erase(0, fim + 2);
                linhas_.push_back(linha.size() > 40 ? linha.substr(0, 40) + "..." : linha);
                if (dados) {
                    if (linha == ".") envia("225-21\r\n225 OK MESSAGE QUEUED\r\n");
                    dados = linha != ".";
                } else if (!responde(linha, dados)) {
                    return;
                }
            }
        }
    }
    bool responde(const std::string& c, bool& dados) {
        for (const auto& [inicio, falha] : falhas_) {
            if (c.rfind(inicio, 0) != 0) continue;
            if (falha == Falha::Lixo) envia("xyz nonsense\r\n");
            if (falha == Falha::Fecha) fecha();
            return falha == Falha::Silencio;
        }
        if (c.rfind("LIST SYNTHESIS_VOICES", 0) == 0) envia(vozes_ + "249 OK VOICE LIST SENT\r\n");
        else if (c == "SPEAK") dados = true, envia("230 OK RECEIVING DATA\r\n");
        else if (c == "CANCEL SELF") envia("210 OK CANCELED\r\n");
        else if (c == "QUIT") return envia("231 HAPPY HACKING\r\n"), false;
        else envia("200 OK\r\n");
        return true;
    }

    std::string vozes_;
    std::map<std::string, Falha> falhas_;
    int escuta_ = -1, cliente_ = -1;
    std::vector<std::string> linhas_;
    std::thread fio_;
};

constexpr const char* kVozes = "249-Joana\tpt\tnone\r\n249-Carlos Silva\ten\tnone\r\n";

class ServidorSpeechdTest : public ::testing::Test {
  protected:
    PastaTemporaria pasta_;
    std::filesystem::path socket_ = pasta_ / "s";
    Variavel endereco_{"SPEECHD_ADDRESS", "unix_socket:" + socket_.string()};
    Variavel usuario_{"USER", "ana"};
    ServidorSpeechd servidor_{200ms};
};

TEST_F(ServidorSpeechdTest, TheCommandsOfOpeningSpeakingStoppingAndClosing) {
    ServicoFalso servico(socket_, kVozes);
    ASSERT_TRUE(servidor_.abre(2, 300, 9));  // words a minute: 5 on the -10..10 scale
    servidor_.pontuacao(true);
    servidor_.fala(".um\r\ndois");
    EXPECT_TRUE(servidor_.falando());
    servico.envia("702-21\r\n702-1\r\n702 END\r\n");
    while (servidor_.falando()) std::this_thread::sleep_for(1ms);
    servidor_.fala("");  // the same punctuation is not asked again
    servidor_.para();
    servidor_.pontuacao(false);
    servidor_.fala(std::string(100000, 'a'));
    EXPECT_TRUE(servidor_.falando());
    servidor_.para();
    servidor_.fecha();
    const std::vector<std::string> esperado = {
        "SET SELF CLIENT_NAME \"ana:plumar:main\"", "LIST SYNTHESIS_VOICES",
        "SET SELF SYNTHESIS_VOICE Carlos Silva", "SET SELF RATE 50", "SET SELF PRIORITY TEXT",
        "SET SELF NOTIFICATION end on", "SET SELF NOTIFICATION cancel on",
        "SET SELF PUNCTUATION all", "SPEAK", "..um", "dois", ".",
        "SPEAK", " ", ".", "CANCEL SELF",
        "SET SELF PUNCTUATION none", "SPEAK", std::string(40, 'a') + "...", ".", "CANCEL SELF",
        "QUIT"};
    EXPECT_EQ(servico.linhasAteOFim(), esperado);
}

TEST(ServidorSpeechdVoz, ByNumberElseRaquelElsePortugueseElseTheFirst) {
    using V = ServidorSpeechd::Voz;
    const std::vector<V> vozes = {{"Ana", "en"}, {"Lia", "pt-BR"}, {"Raquel", "es"}};
    struct Caso {
        std::vector<V> vozes;
        int numero;
        std::optional<size_t> escolhida;
    } casos[] = {{vozes, 1, 0}, {vozes, 3, 2}, {vozes, 0, 2}, {vozes, -5, 2}, {vozes, 1000, 2},
                 {{vozes[0], vozes[1]}, 0, 1}, {{vozes[0]}, 7, 0}, {{}, 1, std::nullopt}};
    for (const Caso& c : casos)
        EXPECT_EQ(ServidorSpeechd::escolheVoz(c.vozes, c.numero), c.escolhida) << c.numero;
}

TEST_F(ServidorSpeechdTest, AServiceThatIsAbsentSilentClosedOrTalksNonsenseDoesNotOpen) {
    EXPECT_FALSE(servidor_.abre(1, 0, 0));  // nobody listens
    const std::pair<const char*, Falha> falhas[] = {{"SET SELF CLIENT_NAME", Falha::Silencio},
                                                    {"LIST", Falha::Lixo},
                                                    {"SET SELF NOTIFICATION", Falha::Fecha}};
    for (const auto& [comando, falha] : falhas) {
        std::filesystem::remove(socket_);
        ServicoFalso servico(socket_, kVozes, {{comando, falha}});
        EXPECT_FALSE(servidor_.abre(1, 0, 0)) << comando;
        EXPECT_FALSE(servidor_.disponivel());
    }
    std::filesystem::remove(socket_);
    ServicoFalso semVozes(socket_, "");
    EXPECT_FALSE(servidor_.abre(1, 0, 0));
}

TEST_F(ServidorSpeechdTest, AServiceThatDiesOrTalksNonsenseMidSentenceGoesAway) {
    for (const char* resposta : {"", "garbage\r\n"}) {
        std::filesystem::remove(socket_);
        ServicoFalso servico(socket_, kVozes);
        ASSERT_TRUE(servidor_.abre(1, 0, 0));
        servidor_.fala("uma frase");
        ASSERT_TRUE(servidor_.falando());
        if (*resposta) servico.envia(resposta);
        else servico.fecha();
        while (servidor_.falando()) std::this_thread::sleep_for(1ms);
        EXPECT_FALSE(servidor_.disponivel());
        servidor_.fala("outra");  // nothing to send it to
        servidor_.fecha();
    }
}

}  // namespace
