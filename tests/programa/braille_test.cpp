// The braille display against the real braille daemon: brltty with its virtual display
// driver, whose other end is this test (it tells the driver the display's size, reads the
// cells written and presses the display's keys). The daemon is started by the test on a
// port of its own and stopped in the middle to see the editor go on without it.
#include "programa/braille.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "editor/sessao.h"
#include "programa/despacho.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kCelulas = 20;

std::optional<fs::path> achaBrltty() {
    for (const char* p : {"/usr/bin/brltty", "/bin/brltty", "/usr/sbin/brltty", "/sbin/brltty"})
        if (access(p, X_OK) == 0) return fs::path(p);
    return std::nullopt;
}

// The display at the driver's end of the socket: the last text and cells it was sent.
class Visor {
public:
    ~Visor() {
        if (fd_ >= 0) close(fd_);
    }
    bool conecta(const fs::path& socket) {
        for (auto fim = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < fim;
             std::this_thread::sleep_for(50ms)) {
            fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un a{};
            a.sun_family = AF_UNIX;
            std::snprintf(a.sun_path, sizeof a.sun_path, "%s", socket.c_str());
            if (connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
                envia("cells " + std::to_string(kCelulas));
                return true;
            }
            close(fd_);
            fd_ = -1;
        }
        return false;
    }
    void envia(const std::string& linha) {
        const std::string s = linha + "\n";
        ASSERT_EQ(send(fd_, s.data(), s.size(), MSG_NOSIGNAL), static_cast<ssize_t>(s.size()));
    }
    // Reads what the driver sent within `ms`.
    void le(int ms) {
        pollfd p{fd_, POLLIN, 0};
        while (poll(&p, 1, ms) > 0) {
            char buf[4096];
            const ssize_t n = recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) return;
            pendente_.append(buf, static_cast<size_t>(n));
            for (size_t fim; (fim = pendente_.find('\n')) != std::string::npos;) {
                trataLinha(pendente_.substr(0, fim));
                pendente_.erase(0, fim + 1);
            }
            ms = 0;
        }
    }
    std::string texto;                 // the visual line, in UTF-8, blanks at its end cut
    std::vector<std::string> celulas;  // the dots of each cell ("1257")

private:
    static std::string entreAspas(const std::string& l) {
        const size_t a = l.find('"'), b = l.rfind('"');
        return a == std::string::npos || b <= a ? std::string() : l.substr(a + 1, b - a - 1);
    }
    void trataLinha(const std::string& l) {
        if (l.rfind("Visual ", 0) == 0) {
            celulas.clear();  // the cells follow the text
            texto = entreAspas(l);
            texto.erase(texto.find_last_not_of(' ') + 1);
        } else if (l.rfind("Braille ", 0) == 0) {
            celulas.clear();
            std::string s = entreAspas(l);
            for (size_t i = 0; i <= s.size();) {
                size_t barra = std::min(s.find('|', i), s.size());
                celulas.push_back(s.substr(i, barra - i));
                i = barra + 1;
            }
        }
    }
    int fd_ = -1;
    std::string pendente_;
};

class BrailleTest : public ::testing::Test, public SessaoHeadless {
protected:
    void SetUp() override {
#if !PLUMAR_COM_BRLAPI
        GTEST_SKIP() << "built without BrlAPI";
#endif
        brltty_ = achaBrltty();
        if (!brltty_) GTEST_SKIP() << "brltty is not installed";
        abre("");
        crt().garanteJanela();
        iniciaDaemon();
        ASSERT_TRUE(visor_.conecta(socket()));
        LigacaoBraille::Opcoes o;
        o.servidor = servidor_;
        o.autenticacao = "none";
        o.novaTentativaMs = 200;
        braille_ = std::make_unique<Braille>(e(), LigacaoBraille::cria(o));
        ASSERT_TRUE(espera([&] { return braille_->ligacao().celulas() == kCelulas; }));
    }

    fs::path socket() const { return pasta_ / "vr.sock"; }
    // brltty with the virtual display driver listening at socket() and its API at servidor_.
    void iniciaDaemon() {
        fs::remove(socket());
        const std::string dir = pasta_.caminho().string();
        daemon_.emplace(std::vector<std::string>{
            brltty_->string(), "-n", "-e", "-q", "-f", "/dev/null", "-F", "/dev/null", "-b", "vr",
            "-d", "server:" + socket().string(), "-x", "no", "-s", "no", "-A",
            "auth=none,host=" + servidor_, "-W", dir, "-U", dir, "-L",
            (pasta_ / "brltty.log").string(), "-l", "warning"});
        ASSERT_EQ(daemon_->erro(), 0);
    }

    // Runs the editor's pump until `ok` holds (at most 10 s).
    bool espera(const std::function<bool()>& ok) {
        for (auto fim = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < fim;) {
            braille_->atualiza();
            visor_.le(20);
            if (ok()) return true;
        }
        return false;
    }
    // Waits for `texto` on the display with the cursor on cell `cursor` (0: on none).
    bool mostra(const std::string& texto, int cursor) {
        return espera([&] {
            if (visor_.texto != texto || visor_.celulas.empty()) return false;
            return cursores() == (cursor == 0 ? std::vector<int>{} : std::vector<int>{cursor});
        });
    }
    // The cells (1-based) that carry the cursor's dots 7 and 8.
    std::vector<int> cursores() {
        std::vector<int> v;
        for (size_t i = 0; i < visor_.celulas.size(); ++i)
            if (visor_.celulas[i].find('7') != std::string::npos &&
                visor_.celulas[i].find('8') != std::string::npos)
                v.push_back(static_cast<int>(i + 1));
        return v;
    }
    std::vector<uint8_t> fila() {
        std::vector<uint8_t> v;
        while (crt().teclasNaFila() > 0) v.push_back(crt().leTecla());
        return v;
    }

    std::optional<fs::path> brltty_;
    // A port of this process's own, so parallel runs do not meet.
    const std::string servidor_ = "127.0.0.1:" + std::to_string(200 + getpid() % 20000);
    std::optional<ProgramaTeste> daemon_;
    Visor visor_;
    std::unique_ptr<Braille> braille_;
};

TEST_F(BrailleTest, ShowsTheLineAndThePromptPansAndRoutesTheCursor) {
    texto({"Cara Ana,", "Tudo bem com voc\xea?"}, 2, 6);
    crt().foco().tipo = FocoLeitura::Tipo::Texto;
    ASSERT_TRUE(mostra("Tudo bem com você?", 6));

    std::string longa;
    for (char c = 'a'; c <= 'z'; ++c) longa += std::string(2, c);  // 52 letters
    texto({"antes", longa, "depois"}, 2, 45);
    ASSERT_TRUE(mostra(longa.substr(40), 5));  // the window of the cursor

    visor_.envia("FWinLt");
    ASSERT_TRUE(mostra(longa.substr(20, 20), 0));
    // A routing key there: the cursor to that cell's column, its letter said.
    visor_.envia("Route 2");
    ASSERT_TRUE(espera([&] { return crt().teclasNaFila() == 2; }));
    ASSERT_EQ(fila(), (std::vector<uint8_t>{0, SnCrt::kScanRota}));
    ouvido();
    despachaEstendida(e(), SnCrt::kScanRota);
    EXPECT_EQ(ed().colunaAtual, 23);
    EXPECT_TRUE(ouviu(ouvido(), "letra " + std::to_string(static_cast<int>('l'))));
    ASSERT_TRUE(mostra(longa.substr(20, 20), 3));

    // Line down acts as Down; a pan past the line's end beeps.
    visor_.envia("LnDn");
    ASSERT_TRUE(espera([&] { return crt().teclasNaFila() == 2; }));
    EXPECT_EQ(fila(), (std::vector<uint8_t>{0, 80}));
    visor_.envia("FWinRt");
    ASSERT_TRUE(mostra(longa.substr(40), 0));
    visor_.envia("FWinRt");
    ASSERT_TRUE(espera([&] { return ouviu(ouvido(), "bip"); }));

    // A question on the message row, the cursor after it.
    crt().foco().tipo = FocoLeitura::Tipo::Tela;
    crt().GotoXY(1, 9);
    crt().escreve("Qual linha ? ");
    ASSERT_TRUE(mostra("Qual linha ?", 14));
}

TEST_F(BrailleTest, GoesOnWithoutTheDaemonAndTakesTheDisplayAgain) {
    texto({"Querida Ana"}, 1, 1);
    crt().foco().tipo = FocoLeitura::Tipo::Texto;
    ASSERT_TRUE(mostra("Querida Ana", 1));
    daemon_.reset();
    ASSERT_TRUE(espera([&] { return braille_->ligacao().celulas() == 0; }));
    // Without a daemon the pump stays quick: nothing waits for it.
    const auto antes = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) braille_->atualiza();
    EXPECT_LT(std::chrono::steady_clock::now() - antes, 50ms);

    ed().trocaLinha(1, "Querida Ana, bom dia");
    iniciaDaemon();
    Visor novo;
    ASSERT_TRUE(novo.conecta(socket()));
    ASSERT_TRUE(espera([&] {
        novo.le(0);
        return novo.texto == "Querida Ana, bom dia";
    }));
    EXPECT_EQ(braille_->ligacao().conexoes(), 2);
}

}  // namespace
