// The terminal front-end: the console drawn with ANSI sequences on standard output and
// the keyboard read in raw mode from standard input.
#include "platform/frontTerminal.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/codigos.h"
#include "platform/frontEnds.h"
#include "platform/processos.h"
#include "platform/sinais.h"
#include "platform/teclasTerminal.h"

// ---------------------------------------------------------------- painting

namespace {

// ANSI colour number of each palette index, which follows the DOS order
// (black, blue, green, cyan, red, magenta, brown, light grey, then the bright ones).
constexpr int kDosParaAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

void posiciona(std::string& s, int linha, int coluna) {
    s += "\x1b[";
    s += std::to_string(linha + 1);
    s += ';';
    s += std::to_string(coluna + 1);
    s += 'H';
}

void cores(std::string& s, int frente, int fundo) {
    const int f = frente < 8 ? 30 + kDosParaAnsi[frente] : 90 + kDosParaAnsi[frente - 8];
    const int b = fundo < 8 ? 40 + kDosParaAnsi[fundo] : 100 + kDosParaAnsi[fundo - 8];
    s += "\x1b[";
    s += std::to_string(f);
    s += ';';
    s += std::to_string(b);
    s += 'm';
}

bool controle(char32_t u) {
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

// A cell's character in UTF-8. Control bytes must never reach the terminal as such
// (they would move its cursor or start sequences), so they show as a replacement mark.
void glifo(std::string& s, uint8_t c) {
    char32_t u = win1252ParaUnicode(c);
    if (u == 0) u = ' ';
    if (controle(u)) u = 0xFFFD;
    acrescentaUtf8(s, u);
}

}  // namespace

void PintorTerminal::tamanho(int colunas, int linhas) {
    if (colunas == colunas_ && linhas == linhas_) return;
    colunas_ = colunas;
    linhas_ = linhas;
    sombraValida_ = false;
    avisoMostrado_ = false;
}

std::string PintorTerminal::atualiza(const ModeloTela& tela) {
    if (pequeno()) {
        if (avisoMostrado_) return {};
        avisoMostrado_ = true;
        sombraValida_ = false;
        return avisoPequeno();
    }
    std::string s;
    const int omitida = linhaOmitida(tela);
    if (omitida != omitida_) {
        omitida_ = omitida;
        sombraValida_ = false;  // every row moves
    }
    if (!sombraValida_ || avisoMostrado_) {
        s += "\x1b[0m\x1b[2J";
        avisoMostrado_ = false;
        sombraValida_ = false;
    }
    const bool escreveu = pintaCelulas(tela, s);
    posicionaCursor(tela, escreveu, s);
    return s;
}

// At 24 rows: row 8, which the editor's own screen leaves blank between the banner and
// the message row; when something is written there (a list), the top row instead, so the
// screen looks scrolled by one.
int PintorTerminal::linhaOmitida(const ModeloTela& tela) const {
    if (linhas_ >= ModeloTela::linhas) return -1;
    constexpr int kLinhaVazia = 7;
    for (int c = 0; c < ModeloTela::colunas; ++c) {
        const uint8_t car = tela.caractere(c, kLinhaVazia);
        if (car != ' ' && car != 0) return 0;
    }
    return kLinhaVazia;
}

int PintorTerminal::linhaTerminal(int linhaModelo) const {
    return omitida_ >= 0 && linhaModelo > omitida_ ? linhaModelo - 1 : linhaModelo;
}

std::string PintorTerminal::textoPequeno() const {
    return "Aumente o terminal para 80 x " + std::to_string(kLinhasMinimas) + ".";
}

std::string PintorTerminal::avisoPequeno() {
    const std::string linhas[] = {
        textoPequeno(),
        "Tamanho atual: " + std::to_string(colunas_) + " x " + std::to_string(linhas_) + "."};
    std::string s = "\x1b[0m\x1b[?25l\x1b[2J";
    for (int i = 0; i < 2 && i < linhas_; ++i) {
        posiciona(s, i, 0);
        s += linhas[i].substr(0, static_cast<size_t>(std::max(colunas_, 0)));
    }
    cursorVisivel_ = false;
    cursorColuna_ = cursorLinha_ = -1;
    return s;
}

bool PintorTerminal::pintaCelulas(const ModeloTela& tela, std::string& s) {
    if (tela.tabelaCores != tabela_) {
        tabela_ = tela.tabelaCores;
        sombraValida_ = false;
    }
    int linha = -1, coluna = -1, corAtual = -1;  // where the terminal's cursor is now
    bool escreveu = false;
    for (int l = 0; l < ModeloTela::linhas; ++l) {
        if (l == omitida_) continue;
        for (int c = 0; c < ModeloTela::colunas; ++c) {
            const size_t i = static_cast<size_t>(l * ModeloTela::colunas + c);
            const uint8_t car = tela.caracteres[i], atr = tela.atributos[i];
            if (sombraValida_ && caracteres_[i] == car && atributos_[i] == atr) continue;
            if (l != linha || c != coluna) posiciona(s, linhaTerminal(l), c);
            const int frente = tabela_[atr & 15] & 15, fundo = tabela_[atr >> 4] & 15;
            if (frente * 16 + fundo != corAtual) cores(s, frente, fundo);
            corAtual = frente * 16 + fundo;
            glifo(s, car);
            caracteres_[i] = car;
            atributos_[i] = atr;
            escreveu = true;
            // After the last column the terminal waits to wrap: its position is unknown.
            linha = c + 1 < ModeloTela::colunas ? l : -1;
            coluna = c + 1;
        }
    }
    sombraValida_ = true;
    return escreveu;
}

void PintorTerminal::posicionaCursor(const ModeloTela& tela, bool moveu, std::string& s) {
    const int c = std::clamp(tela.cursorColuna, 0, ModeloTela::colunas - 1);
    const int l = linhaTerminal(std::clamp(tela.cursorLinha, 0, ModeloTela::linhas - 1));
    if (moveu || c != cursorColuna_ || l != cursorLinha_) {
        posiciona(s, l, c);
        cursorColuna_ = c;
        cursorLinha_ = l;
    }
    if (cursorVisivel_ != tela.cursorVisivel) {
        s += tela.cursorVisivel ? "\x1b[?25h" : "\x1b[?25l";
        cursorVisivel_ = tela.cursorVisivel;
    }
}

// ---------------------------------------------------------------- pacing

void EntregaTeclas::acrescenta(const std::vector<EventoEntrada>& eventos) {
    fila_.insert(fila_.end(), eventos.begin(), eventos.end());
}

std::optional<EventoEntrada> EntregaTeclas::proxima(bool espera, uint64_t agoraMs) {
    if (espera || agoraMs - recargaMs_ >= kRecargaMs) {
        cota_ = kTeclasPorVez;
        recargaMs_ = agoraMs;
    }
    if (fila_.empty()) return std::nullopt;
    if (fila_.front().tipo == EventoEntrada::Tipo::TeclaDesce) {
        if (cota_ <= 0) return std::nullopt;
        --cota_;
    }
    EventoEntrada ev = fila_.front();
    fila_.pop_front();
    return ev;
}

// ---------------------------------------------------------------- title and clipboard

std::string sequenciaTitulo(std::string_view texto) {
    constexpr size_t kMaximo = 256;
    std::string s = "\x1b]0;";
    size_t n = 0;
    for (char c : texto) {
        const char32_t u = win1252ParaUnicode(static_cast<uint8_t>(c));
        if (controle(u) || n++ >= kMaximo) continue;
        acrescentaUtf8(s, u);
    }
    return s + "\x07";
}

std::string sequenciaCopia(std::string_view texto) {
    constexpr size_t kMaximo = 1 << 20;
    static constexpr char kBase64[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string utf8;
    for (size_t i = 0; i < texto.size(); ++i)
        if (!(texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n'))
            acrescentaUtf8(utf8, win1252ParaUnicode(static_cast<uint8_t>(texto[i])));
    if ((utf8.size() + 2) / 3 * 4 > kMaximo) return {};
    std::string s = "\x1b]52;c;";
    for (size_t i = 0; i < utf8.size(); i += 3) {
        uint32_t v = static_cast<uint8_t>(utf8[i]) << 16;
        if (i + 1 < utf8.size()) v |= static_cast<uint8_t>(utf8[i + 1]) << 8;
        if (i + 2 < utf8.size()) v |= static_cast<uint8_t>(utf8[i + 2]);
        s += kBase64[(v >> 18) & 63];
        s += kBase64[(v >> 12) & 63];
        s += i + 1 < utf8.size() ? kBase64[(v >> 6) & 63] : '=';
        s += i + 2 < utf8.size() ? kBase64[v & 63] : '=';
    }
    return s + "\x07";
}

// ---------------------------------------------------------------- restoring the terminal

namespace {

// Whatever ends the program, the terminal must get back its modes: the sequences that
// undo ours (keyboard protocols, paste, focus, cursor, screen, title) and its settings.
constexpr std::string_view kEntrada =
    "\x1b[22;0t\x1b[?1049h\x1b[?1004h\x1b[?2004h\x1b[>4;2m\x1b[>1u\x1b[?25l\x1b[0m\x1b[2J";
constexpr std::string_view kSaida =
    "\x1b[<u\x1b[>4;0m\x1b[?2004l\x1b[?1004l\x1b[0m\x1b[?25h\x1b[?1049l\x1b[23;0t";

// The signals that end the program at once. Those that ask it to end (SIGTERM, SIGHUP,
// SIGINT, SIGQUIT) are the program's own: it ends through its ordinary path and closes the
// front-end, or, on a second one, calls restauroImediato first. SIGTSTP and SIGCONT
// (suspended and taken up again) come last.
constexpr int kSinais[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTSTP, SIGCONT};
constexpr size_t kNumSinais = std::size(kSinais);
constexpr size_t kNumFatais = kNumSinais - 2;

struct EstadoOriginal {
    termios modo{};
    struct sigaction anteriores[kNumSinais] {};
    bool instalado[kNumSinais]{};
};

// The one piece of global state: signal handlers and atexit cannot reach the front-end,
// yet must put the terminal back. Set only while the terminal is in raw mode; whoever
// takes it out (close, exit, signal) restores, so it happens exactly once.
std::atomic<EstadoOriginal*> gEstado{nullptr};
// Set when the program is taken up again after a stop: raw mode and the screen come back.
std::atomic<bool> gContinuou{false};

// Signal-safe: write(2) only.
void escreveTudo(std::string_view s) {
    while (!s.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, s.data(), s.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        s.remove_prefix(static_cast<size_t>(n));
    }
}

// Signal-safe: write(2), tcsetattr(3) and sigaction(2) only.
void restaura(const EstadoOriginal& e) {
    escreveTudo(kSaida);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &e.modo);
    for (size_t i = 0; i < kNumSinais; ++i)
        if (e.instalado[i]) ::sigaction(kSinais[i], &e.anteriores[i], nullptr);
}

extern "C" void aoSinal(int sinal) {
    const int erro = errno;
    if (EstadoOriginal* e = gEstado.exchange(nullptr)) {
        restaura(*e);  // puts back the previous handlers too
    } else {
        ::signal(sinal, SIG_DFL);
    }
    errno = erro;
    ::raise(sinal);  // delivered on return, to the previous handler or the default action
}

extern "C" void aoSair() {
    if (EstadoOriginal* e = gEstado.exchange(nullptr)) restaura(*e);
}

// Suspended (Ctrl+Z where the terminal sends it, or a job-control stop): the terminal is
// the shell's while the program sleeps. Signal-safe.
extern "C" void aoSuspender(int) {
    const int erro = errno;
    if (EstadoOriginal* e = gEstado.load()) {
        escreveTudo(kSaida);
        ::tcsetattr(STDIN_FILENO, TCSADRAIN, &e->modo);
    }
    ::raise(SIGSTOP);  // stops here; SIGCONT goes on from here
    errno = erro;
}

extern "C" void aoContinuar(int) { gContinuou.store(true); }

void instalaSinais(EstadoOriginal& e) {
    for (size_t i = 0; i < kNumSinais; ++i) {
        struct sigaction acao {};
        acao.sa_handler = i < kNumFatais              ? aoSinal
                          : kSinais[i] == SIGTSTP ? aoSuspender
                                                  : aoContinuar;
        sigemptyset(&acao.sa_mask);
        if (::sigaction(kSinais[i], nullptr, &e.anteriores[i]) != 0) continue;
        if (e.anteriores[i].sa_handler == SIG_IGN) continue;  // ignored stays ignored (nohup)
        e.instalado[i] = ::sigaction(kSinais[i], &acao, nullptr) == 0;
    }
}

termios modoCru(termios t) {
    t.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
    t.c_cflag |= CS8;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return t;
}

uint64_t relogioMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::optional<std::string> leClipboardDesktop() {
    constexpr auto kPrazo = std::chrono::milliseconds(1000);
    constexpr size_t kLimite = size_t{16} << 20;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    if (wayland && *wayland)
        if (auto t = saidaDePrograma({"wl-paste", "--no-newline", "--type", "text"}, kPrazo, kLimite))
            return t;
    if (x11 && *x11)
        return saidaDePrograma({"xclip", "-o", "-selection", "clipboard"}, kPrazo, kLimite);
    return std::nullopt;
}

// ---------------------------------------------------------------- the front-end

class FrontEndTerminal final : public FrontEnd {
  public:
    ~FrontEndTerminal() override { fecha(); }

    bool abre(const ConfigJanela& config, const ModeloTela& tela) override;
    void fecha() override;
    void pinta(const Retangulo&) override { sujo_ = true; }
    void atualizaCursor() override { sujo_ = true; }
    std::optional<EventoEntrada> proximoEvento(bool espera) override;
    uint64_t agoraMs() override { return relogioMs(); }
    void dorme(int ms) override;
    bool dormeAteEntrada(int ms) override;
    void titulo(const std::string& texto) override;
    bool temFoco() override { return foco_; }
    void copiaTexto(const std::string& texto) override;
    std::optional<std::string> avisoTela() override;
    std::optional<std::string> leTexto() override;

  private:
    static constexpr int kFatiaEsperaMs = 200;  // a blocked wait still looks at the size this often
    static constexpr uint64_t kIntervaloTamanhoMs = 100;

    EstadoOriginal estado_;
    const ModeloTela* tela_ = nullptr;
    bool aberto_ = false;
    PintorTerminal pintor_;
    DecodificadorTerminal decodificador_;
    EntregaTeclas entrega_;
    std::string saida_;  // title and clipboard sequences waiting for the next write
    // The desktop's clipboard when this program last copied: while it still holds that,
    // the terminal did not take the copy and the program's own text is pasted.
    std::optional<std::string> desktopNaCopia_;
    bool sujo_ = true;
    bool foco_ = true;
    bool fimEntrada_ = false;
    bool fecharEntregue_ = false;
    bool saidaPerdida_ = false;
    bool avisouPequeno_ = false;  // the message was handed over since it became too small
    bool eraPequeno_ = false;
    uint64_t ultimoByteMs_ = 0;
    uint64_t ultimaMedidaMs_ = 0;

    void mostra();
    bool ficouPequeno();
    void retoma();
    void escreve(std::string_view s);
    void mede(bool agora);
    bool le(int esperaMs);
    bool dormeLendo(int ms, bool acordaComTecla);
    std::optional<EventoEntrada> fimDeEntrada(bool espera);
    int silencioMs() const {
        return static_cast<int>(std::min<uint64_t>(relogioMs() - ultimoByteMs_, 1'000'000));
    }
    // How much longer the input must stay silent for the decoder to decide what it holds.
    int esperaPendente() const { return std::max(decodificador_.esperaMs() - silencioMs(), 1); }
};

bool FrontEndTerminal::abre(const ConfigJanela&, const ModeloTela& tela) {
    tela_ = &tela;
    if (aberto_) return true;
    if (::tcgetattr(STDIN_FILENO, &estado_.modo) != 0) return false;
    static const bool registrado = std::atexit(aoSair) == 0;
    (void)registrado;
    defineRestauroImediato(aoSair);
    instalaSinais(estado_);
    gEstado.store(&estado_);
    const termios cru = modoCru(estado_.modo);
    if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &cru) != 0) {
        if (gEstado.exchange(nullptr)) restaura(estado_);
        return false;
    }
    aberto_ = true;
    escreve(kEntrada);
    mede(true);
    pintor_.invalida();
    sujo_ = true;
    mostra();
    return true;
}

void FrontEndTerminal::fecha() {
    if (!aberto_) return;
    mostra();
    aberto_ = false;
    EstadoOriginal* e = &estado_;
    if (gEstado.compare_exchange_strong(e, nullptr)) restaura(estado_);
}

void FrontEndTerminal::escreve(std::string_view s) {
    while (!s.empty() && !saidaPerdida_) {
        const ssize_t n = ::write(STDOUT_FILENO, s.data(), s.size());
        if (n > 0) {
            s.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{STDOUT_FILENO, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) saidaPerdida_ = true;
        } else if (!(n < 0 && errno == EINTR)) {
            saidaPerdida_ = true;  // the terminal is gone
        }
    }
}

// Taken up again after a stop: the shell left the terminal in its own modes.
void FrontEndTerminal::retoma() {
    if (!gContinuou.exchange(false) || !aberto_) return;
    const termios cru = modoCru(estado_.modo);
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &cru);
    escreve(kEntrada);
    mede(true);
    pintor_.invalida();
    sujo_ = true;
}

// Everything that changed since the last time, in one write.
void FrontEndTerminal::mostra() {
    retoma();
    if (!aberto_ || !tela_) return;
    std::string s = std::move(saida_);
    saida_.clear();
    if (sujo_) {
        s += pintor_.atualiza(*tela_);
        sujo_ = false;
    }
    if (!s.empty()) escreve(s);
}

void FrontEndTerminal::mede(bool agora) {
    const uint64_t t = relogioMs();
    if (!agora && t - ultimaMedidaMs_ < kIntervaloTamanhoMs) return;
    ultimaMedidaMs_ = t;
    winsize w{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &w) != 0 || w.ws_col == 0 || w.ws_row == 0) {
        w.ws_col = ModeloTela::colunas;  // size unknown: assume it fits
        w.ws_row = ModeloTela::linhas;
    }
    pintor_.tamanho(w.ws_col, w.ws_row);
    sujo_ = true;  // the painter decides whether anything needs writing
}

// Waits up to `esperaMs` for input and decodes it; false when nothing was read.
bool FrontEndTerminal::le(int esperaMs) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    const int r = ::poll(&p, 1, esperaMs);
    if (r <= 0) return false;
    if (p.revents & POLLIN) {
        char buf[4096];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n > 0) {
            ultimoByteMs_ = relogioMs();
            entrega_.acrescenta(
                decodificador_.alimenta(std::string_view(buf, static_cast<size_t>(n))));
            return true;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return false;
    }
    // End of input or hang-up: what was typed before still counts.
    entrega_.acrescenta(decodificador_.expira(DecodificadorTerminal::kEsperaColagemMs));
    fimEntrada_ = true;
    return true;
}

std::optional<EventoEntrada> FrontEndTerminal::fimDeEntrada(bool espera) {
    EventoEntrada fechar;
    fechar.tipo = EventoEntrada::Tipo::Fechar;
    if (!fecharEntregue_) {
        fecharEntregue_ = true;
        return fechar;
    }
    if (!espera) return std::nullopt;
    // Nothing can be typed any more; a program still waiting is told again, unhurried.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return fechar;
}

std::optional<EventoEntrada> FrontEndTerminal::proximoEvento(bool espera) {
    using T = EventoEntrada::Tipo;
    mostra();
    for (;;) {
        if (auto ev = entrega_.proxima(espera, relogioMs())) {
            if (ev->tipo == T::GanhouFoco || ev->tipo == T::PerdeuFoco)
                foco_ = ev->tipo == T::GanhouFoco;
            return ev;
        }
        if (!entrega_.vazia()) return std::nullopt;  // held back until the console has room
        if (fimEntrada_ || !aberto_) return fimDeEntrada(espera);
        mede(false);
        mostra();
        if (espera && ficouPequeno()) return std::nullopt;  // wakes the idle program to say so
        const int fatia = decodificador_.aguardaMais() ? std::min(esperaPendente(), kFatiaEsperaMs)
                                                       : kFatiaEsperaMs;
        const bool leu = le(espera ? fatia : 0);
        if (!leu && decodificador_.aguardaMais())
            entrega_.acrescenta(decodificador_.expira(silencioMs()));
        // Bounded even when waiting, so the program's idle work and a signal are seen.
        if (!leu && entrega_.vazia()) return std::nullopt;
    }
}

// Input keeps being read while asleep, so that an Esc pressed now is not glued to the
// next key into an Alt combination.
void FrontEndTerminal::dorme(int ms) {
    dormeLendo(ms, false);
}

bool FrontEndTerminal::dormeAteEntrada(int ms) {
    return dormeLendo(ms, true);
}

// Sleeps reading the input; with `acordaComTecla`, only until a key is decoded.
bool FrontEndTerminal::dormeLendo(int ms, bool acordaComTecla) {
    mostra();
    const uint64_t fim = relogioMs() + static_cast<uint64_t>(std::max(ms, 0));
    for (uint64_t agora = relogioMs(); agora < fim; agora = relogioMs()) {
        const int resta = static_cast<int>(fim - agora);
        if (fimEntrada_ || !aberto_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(resta));
            return false;
        }
        const bool pendente = decodificador_.aguardaMais();
        bool chegou = le(pendente ? std::min(resta, esperaPendente()) : resta);
        if (!chegou && pendente) {
            entrega_.acrescenta(decodificador_.expira(silencioMs()));
            chegou = true;
        }
        // Only what arrived now wakes: keys held back by the delivery's quota would not
        // let it sleep at all.
        if (acordaComTecla && chegou && !entrega_.vazia()) return true;
    }
    return false;
}

void FrontEndTerminal::titulo(const std::string& texto) {
    saida_ += sequenciaTitulo(texto);  // written with the next paint
}

void FrontEndTerminal::copiaTexto(const std::string& texto) {
    FrontEnd::copiaTexto(texto);
    saida_ += sequenciaCopia(texto);
    desktopNaCopia_ = leClipboardDesktop();
}

std::optional<std::string> FrontEndTerminal::leTexto() {
    std::optional<std::string> desktop = leClipboardDesktop();
    if (!desktop || desktop == desktopNaCopia_) return FrontEnd::leTexto();
    return quebrasCrLf(utf8ParaWin1252(*desktop));
}

// Whether the terminal has just become too small for the screen (since the last look).
bool FrontEndTerminal::ficouPequeno() {
    const bool pequeno = pintor_.pequeno();
    if (!pequeno) avisouPequeno_ = false;
    const bool ficou = pequeno && !eraPequeno_;
    eraPequeno_ = pequeno;
    return ficou;
}

std::optional<std::string> FrontEndTerminal::avisoTela() {
    if (!pintor_.pequeno() || avisouPequeno_) return std::nullopt;
    avisouPequeno_ = true;
    return pintor_.textoPequeno();
}

}  // namespace

std::unique_ptr<FrontEnd> criaFrontEndTerminal() {
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) return nullptr;
    // A terminal that cannot move its cursor cannot show the console.
    const char* term = std::getenv("TERM");
    if (term && std::strcmp(term, "dumb") == 0) return nullptr;
    return std::make_unique<FrontEndTerminal>();
}
