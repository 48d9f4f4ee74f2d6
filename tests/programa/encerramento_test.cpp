// The editor run in a pseudo-terminal as a user runs it: a signal or the terminal going
// away never takes a changed text with it, and no key or paste is lost however it comes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "apoio.h"

namespace fs = std::filesystem;

namespace {

// The editor on the terminal front-end of a pseudo-terminal of 80 x 25, in `pasta`.
class EditorEmTerminal {
  public:
    // `ini` adds lines to section PLUMAR of its settings.
    EditorEmTerminal(const fs::path& pasta, const std::vector<std::string>& familia,
                     const std::string& ini = "")
        : pasta_(pasta) {
        fs::create_directories(pasta / "win");
        fs::remove(pasta / "rastro.txt");  // an earlier run's trace would answer the waits
        // Its own settings: the text is read to its end at start, whatever the shipped file says.
        gravaArquivoTeste(pasta / "win/SONARE.INI",
                          "[PLUMAR]\nDIRPLUMAR=c:\\ornato\\plumar\\\nDICIONARIOATIVADO=N\n" + ini);
        std::vector<std::string> args = {PLUMAR_BINARIO, "--frontend=terminal",
                                         "--trace=rastro.txt"};
        args.insert(args.end(), familia.begin(), familia.end());
        winsize w{};
        w.ws_row = 25;
        w.ws_col = 80;
        pid_ = forkpty(&mestre_, nullptr, nullptr, &w);
        if (pid_ == 0) {
            if (chdir(pasta.c_str()) != 0) _exit(127);
            setenv("SONARE_WINDIR", (pasta / "win").c_str(), 1);
            setenv("XDG_STATE_HOME", (pasta / "estado").c_str(), 1);
            setenv("TERM", "xterm", 1);
            setenv("SDL_AUDIODRIVER", "nenhum", 1);  // no sound device: speech takes no time
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(PLUMAR_BINARIO, argv.data());
            _exit(127);
        }
    }
    ~EditorEmTerminal() {
        if (pid_ > 0 && !terminou_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (mestre_ >= 0) close(mestre_);
    }

    bool iniciou() const { return pid_ > 0 && mestre_ >= 0; }
    // Until the editor reads keys in its main loop: a harmless key (Ctrl+L, which says the
    // line number) is typed until it is answered. A key typed sooner may be dropped (the
    // reading at start empties the queue when it ends), and a slow build takes longer.
    bool pronto() {
        return espera([&] {
            if (rastro().find("mensagem EDLINHA") != std::string::npos) return true;
            digita("\x0c");
            drena(200);
            return rastro().find("mensagem EDLINHA") != std::string::npos;
        });
    }
    void digita(std::string_view teclas) {
        ASSERT_EQ(write(mestre_, teclas.data(), teclas.size()),
                  static_cast<ssize_t>(teclas.size()));
    }
    std::string rastro() const { return leArquivo(pasta_ / "rastro.txt"); }
    // Any amount of input, written as the terminal takes it while what the editor writes
    // is read, as a paste or a key storm arrives.
    void digitaTudo(std::string_view teclas) {
        const int modo = fcntl(mestre_, F_GETFL);
        fcntl(mestre_, F_SETFL, modo | O_NONBLOCK);
        const auto fim = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!teclas.empty() && std::chrono::steady_clock::now() < fim) {
            const ssize_t n = write(mestre_, teclas.data(), std::min<size_t>(teclas.size(), 4096));
            if (n > 0)
                teclas.remove_prefix(static_cast<size_t>(n));
            else
                drena(5);
        }
        fcntl(mestre_, F_SETFL, modo);
        EXPECT_TRUE(teclas.empty());
    }

    // Reads what the editor writes (so it never blocks on a full terminal) until `pronto`
    // or `segundos`.
    bool espera(const std::function<bool()>& pronto, int segundos = 10) {
        const auto fim = std::chrono::steady_clock::now() + std::chrono::seconds(segundos);
        while (std::chrono::steady_clock::now() < fim) {
            if (pronto()) return true;
            drena(50);
        }
        return pronto();
    }
    // Until the editor has ended (at most `segundos`); its wait status.
    int fim(int segundos = 10) {
        int status = 0;
        espera(
            [&] {
                const pid_t r = waitpid(pid_, &status, WNOHANG);
                terminou_ = r == pid_;
                return terminou_;
            },
            segundos);
        return status;
    }
    void fechaTerminal() {
        close(mestre_);
        mestre_ = -1;
    }
    pid_t pid() const { return pid_; }
    // Whether the terminal is in raw mode (no line editing, no echo).
    bool cru() const {
        termios t{};
        return tcgetattr(mestre_, &t) == 0 && !(t.c_lflag & (ICANON | ECHO));
    }
    void modoDoShell() const {
        termios t{};
        tcgetattr(mestre_, &t);
        t.c_lflag |= ICANON | ECHO | ISIG;
        tcsetattr(mestre_, TCSANOW, &t);
    }
    bool parou() {
        return espera([&] {
            int status = 0;
            return waitpid(pid_, &status, WUNTRACED | WNOHANG) == pid_ && WIFSTOPPED(status);
        });
    }

  private:
    void drena(int ms) {
        if (mestre_ < 0) {
            usleep(static_cast<useconds_t>(ms) * 1000);
            return;
        }
        pollfd p{mestre_, POLLIN, 0};
        if (poll(&p, 1, ms) > 0) {
            char buf[4096];
            if (read(mestre_, buf, sizeof buf) <= 0) usleep(static_cast<useconds_t>(ms) * 1000);
        }
    }

    fs::path pasta_;
    int mestre_ = -1;
    pid_t pid_ = -1;
    bool terminou_ = false;
};

// Whether process `pid` runs (a zombie that nobody reaped yet has ended).
bool vivo(pid_t pid) {
    const std::string estado = leArquivo("/proc/" + std::to_string(pid) + "/stat");
    const size_t fim = estado.rfind(')');
    return fim != std::string::npos && fim + 2 < estado.size() && estado[fim + 2] != 'Z';
}

class Encerramento : public ::testing::Test {
  protected:
    void SetUp() override { gravaArquivoTeste(pasta_ / "texto.txt", "linha\r\n"); }
    // The editor on texto.txt with "abc" typed after the reading at start (at the end of
    // its line), or with nothing typed.
    std::unique_ptr<EditorEmTerminal> editaTexto(bool digita) {
        auto ed = std::make_unique<EditorEmTerminal>(pasta_.caminho(),
                                                     std::vector<std::string>{"texto.txt"});
        EXPECT_TRUE(ed->iniciou());
        EXPECT_TRUE(ed->espera([&] { return ed->rastro().find("som EDFIMTEX") != std::string::npos; }));
        EXPECT_TRUE(ed->pronto()) << ed->rastro();
        if (digita) {
            ed->digita("abc");
            EXPECT_TRUE(ed->espera([&] { return ed->rastro().find("letra 99") != std::string::npos; }))
                << ed->rastro();
        }
        return ed;
    }
    PastaTemporaria pasta_;
};

// Each signal that asks the program to end, and the terminal going away (its window
// closed): the changed text is in texto.txt.save (the bytes a save writes), and then in
// texto.txt.1.save and on, an earlier copy never written over; the file itself is
// untouched, and the program ends as the shells expect. An unchanged text leaves no copy,
// nor a state folder.
TEST_F(Encerramento, ASignalOrTheTerminalClosedLeavesANumberedEmergencyCopy) {
    constexpr int kFechaTerminal = 0;
    int copias = 0;
    for (auto [sinal, muda] : {std::pair{SIGTERM, true}, {SIGHUP, true}, {SIGINT, true},
                               {SIGQUIT, true}, {kFechaTerminal, true}, {SIGTERM, false}}) {
        auto ed = editaTexto(muda);
        if (sinal == kFechaTerminal)
            ed->fechaTerminal();
        else
            kill(ed->pid(), sinal);
        const int status = ed->fim();
        EXPECT_TRUE(WIFEXITED(status)) << sinal;
        EXPECT_EQ(WEXITSTATUS(status), 128 + (sinal == kFechaTerminal ? SIGHUP : sinal));
        const fs::path proxima =
            pasta_ / (copias == 0 ? "texto.txt.save" : "texto.txt." + std::to_string(copias) + ".save");
        if (muda) {
            EXPECT_EQ(leArquivo(proxima), "linhaabc\r\n") << sinal;
            ++copias;
        } else {
            EXPECT_FALSE(fs::exists(proxima) || fs::exists(pasta_ / "estado"));
        }
        EXPECT_EQ(leArquivo(pasta_ / "texto.txt"), "linha\r\n");
    }
}

// F12 on a program: it runs without the editor's terminal (no controlling terminal, its
// input empty), and the terminal is still raw when it ends. Suspended and taken up again
// (Ctrl+Z and fg, or a stop from outside): while stopped the terminal is the shell's; taken
// up again, it is raw again. After all that, keys still reach the editor.
TEST_F(Encerramento, TheTerminalStaysTheEditorsAcrossAProgramAndAStop) {
    gravaArquivoTeste(pasta_ / "texto.txt", "prog.exe\r\n");
    gravaArquivoTeste(pasta_ / "prog.exe",
                      "#!/bin/sh\n"
                      "if (exec 3</dev/tty) 2>/dev/null; then echo com-terminal; "
                      "else echo sem-terminal; fi > resultado.txt\n"
                      "read linha; echo \"lido:$linha\" >> resultado.txt\n");
    fs::permissions(pasta_ / "prog.exe", fs::perms::owner_all);
    auto ed = editaTexto(false);
    ed->digita("\x1b[24~");  // F12
    ASSERT_TRUE(ed->espera([&] { return leArquivo(pasta_ / "resultado.txt").find("lido") !=
                                        std::string::npos; }));
    EXPECT_EQ(leArquivo(pasta_ / "resultado.txt"), "sem-terminal\nlido:\n");
    ASSERT_TRUE(ed->cru());
    kill(ed->pid(), SIGTSTP);
    ASSERT_TRUE(ed->parou());
    EXPECT_FALSE(ed->cru());
    kill(ed->pid(), SIGCONT);
    EXPECT_TRUE(ed->espera([&] { return ed->cru(); }));
    kill(ed->pid(), SIGSTOP);
    ASSERT_TRUE(ed->parou());
    ed->modoDoShell();
    kill(ed->pid(), SIGCONT);
    EXPECT_TRUE(ed->espera([&] { return ed->cru(); }));
    ed->digita("z");
    EXPECT_TRUE(ed->espera([&] { return ed->rastro().find("letra 122") != std::string::npos; }))
        << ed->rastro();
}

// A megabyte pasted into the terminal (NUL, escapes and bytes that are not UTF-8 in it)
// and then 10,000 keys typed in one burst past the margin: the paste goes in as its lines,
// every key lands, and Ctrl+X saves them all.
TEST_F(Encerramento, APasteAndAKeyStormInTheTerminalLoseNothing) {
    std::string colado;
    std::vector<std::string> esperadas;
    for (int i = 0; colado.size() < (1u << 20); ++i) {
        std::string linha = "linha " + std::to_string(i) + std::string(60, static_cast<char>('a' + i % 26));
        if (i % 100 == 1) linha += std::string(1, '\0') + "\x1b[31m\xff";
        colado += linha + "\r";  // a terminal sends line ends as CR
        for (char& c : linha)
            if (c == '\0' || c == '\x1b') c = '#';
        esperadas.push_back(linha);
    }
    std::string digitado;
    for (int i = 0; digitado.size() < 10000; ++i)
        digitado += " " + std::string(1 + i % 9, static_cast<char>('a' + i % 26));
    auto ed = editaTexto(false);
    // The paste, End (the keys go after "linha", which the paste went before) and the keys;
    // once they are in, Ctrl+X (a command waiting when a beep sounds would be dropped).
    ed->digitaTudo("\x1b[200~" + colado + "\x1b[201~\x1b[F" + digitado);
    const auto digitadas = [&] {
        const std::string r = ed->rastro();
        size_t n = 0;
        for (size_t p = r.find("letra "); p != std::string::npos; p = r.find("letra ", p + 1)) ++n;
        return n >= digitado.size();
    };
    ASSERT_TRUE(ed->espera(digitadas, 120));
    ed->digita("\x18");
    ASSERT_TRUE(ed->espera([&] { return ed->rastro().find("EDFIMPRC") != std::string::npos; }));
    EXPECT_TRUE(WIFEXITED(ed->fim()));

    std::vector<std::string> salvas;
    std::istringstream in(leArquivo(pasta_ / "texto.txt"));
    for (std::string l; std::getline(in, l);) salvas.push_back(l.substr(0, l.find('\r')));
    ASSERT_GT(salvas.size(), esperadas.size());
    EXPECT_TRUE(std::equal(esperadas.begin(), esperadas.end(), salvas.begin()));
    std::string junto;
    for (size_t i = esperadas.size(); i < salvas.size(); ++i)
        junto += (junto.empty() ? "" : " ") + salvas[i];
    EXPECT_EQ(junto, "linha" + digitado);
}

// Closing the terminal sends a second signal (or a TERM follows the HUP) while the copy of
// a long text is being written: the copy is whole, the only one, with no temporary file
// left, and the program still ends as the first signal asked. Two signals sent back to back
// may be taken by two threads at once, so either may count as the first then.
TEST_F(Encerramento, ASecondSignalNeverCutsTheCopyOfALongText) {
    std::string texto;
    for (int i = 1; i <= 100000; ++i) texto += "linha numero " + std::to_string(i) + "\r\n";
    gravaArquivoTeste(pasta_ / "texto.txt", texto);
    for (int intervaloUs : {0, 50'000}) {
        fs::remove(pasta_ / "texto.txt.save");
        EditorEmTerminal ed(pasta_.caminho(), {"texto.txt"}, "FALAAUTOMATICA=S\n");
        ASSERT_TRUE(ed.iniciou());
        ASSERT_TRUE(ed.pronto()) << ed.rastro();
        ed.digita("abc");
        ASSERT_TRUE(ed.espera([&] { return ed.rastro().find("letra 99") != std::string::npos; }));
        kill(ed.pid(), SIGHUP);
        if (intervaloUs > 0) usleep(intervaloUs);
        kill(ed.pid(), SIGTERM);
        const int status = ed.fim();
        EXPECT_TRUE(WIFEXITED(status)) << intervaloUs;
        const int codigo = WEXITSTATUS(status);
        EXPECT_TRUE(codigo == 128 + SIGHUP || (intervaloUs == 0 && codigo == 128 + SIGTERM))
            << codigo;
        EXPECT_TRUE(leArquivo(pasta_ / "texto.txt.save") == "abc" + texto) << intervaloUs;
        EXPECT_EQ(leArquivo(pasta_ / "texto.txt"), texto);
        std::vector<std::string> outros;
        for (const auto& f : fs::directory_iterator(pasta_.caminho()))
            if (f.path().filename().string().find("plumar-") != std::string::npos)
                outros.push_back(f.path().filename().string());
        EXPECT_TRUE(outros.empty()) << outros.front();
        EXPECT_FALSE(fs::exists(pasta_ / "texto.txt.1.save"));
    }
}

// A converter still working when the editor is ended from outside ends with it, and so do
// the programs it started (its whole group).
TEST_F(Encerramento, AConverterRunningWhenASignalComesEndsWithTheEditor) {
    gravaArquivoTeste(pasta_ / "carta.doc", "qualquer coisa");
    gravaArquivoTeste(pasta_ / "conversor",
                      "#!/bin/sh\nsleep 60 &\necho $! > neto.pid\necho $$ > filho.pid\nwait\n");
    fs::permissions(pasta_ / "conversor", fs::perms::owner_all);
    EditorEmTerminal ed(pasta_.caminho(), {"carta.doc"},
                        "LIBREOFFICE=" + (pasta_ / "conversor").string() + "\n");
    ASSERT_TRUE(ed.iniciou());
    ASSERT_TRUE(ed.espera([&] { return ed.rastro().find("EDDESCON") != std::string::npos; }));
    ed.digita("s");
    pid_t filho = 0, neto = 0;
    ASSERT_TRUE(ed.espera([&] {
        filho = std::atoi(leArquivo(pasta_ / "filho.pid").c_str());
        neto = std::atoi(leArquivo(pasta_ / "neto.pid").c_str());
        return filho > 0 && neto > 0;
    }));
    kill(ed.pid(), SIGTERM);
    const int status = ed.fim();
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    EXPECT_TRUE(ed.espera([&] { return !vivo(filho) && !vivo(neto); }));
}

}  // namespace
