#ifdef PLUMAR_COM_SDL

#include "platform/frontJanela.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/frontEnds.h"
#include "platform/teclado.h"

extern char** environ;

namespace {

using T = EventoEntrada::Tipo;

// Sets (or, with nullptr, removes) an environment variable for one test.
class VariavelTemporaria {
  public:
    VariavelTemporaria(const char* nome, const char* valor) : nome_(nome) {
        if (const char* v = std::getenv(nome)) antigo_ = v;
        if (valor)
            setenv(nome, valor, 1);
        else
            unsetenv(nome);
    }
    ~VariavelTemporaria() {
        if (antigo_)
            setenv(nome_.c_str(), antigo_->c_str(), 1);
        else
            unsetenv(nome_.c_str());
    }

  private:
    std::string nome_;
    std::optional<std::string> antigo_;
};

std::optional<std::string> achaPrograma(const std::string& nome) {
    const char* path = std::getenv("PATH");
    std::string caminhos = path ? path : "/usr/bin:/bin";
    size_t inicio = 0;
    while (inicio <= caminhos.size()) {
        size_t fim = caminhos.find(':', inicio);
        if (fim == std::string::npos) fim = caminhos.size();
        std::string c = caminhos.substr(inicio, fim - inicio) + "/" + nome;
        if (access(c.c_str(), X_OK) == 0) return c;
        inicio = fim + 1;
    }
    return std::nullopt;
}

// A private X server for one test. Xvfb picks a free display number itself and writes it
// to our pipe once it accepts connections.
class ServidorX {
  public:
    explicit ServidorX(const std::string& programa) {
        int tubo[2];
        if (pipe(tubo) != 0) return;
        std::string fd = std::to_string(tubo[1]);
        std::vector<std::string> args = {programa, "-displayfd",   fd,          "-screen",
                                         "0",      "1280x1024x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t acoes;
        posix_spawn_file_actions_init(&acoes);
        posix_spawn_file_actions_addclose(&acoes, tubo[0]);
        posix_spawn_file_actions_addopen(&acoes, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, programa.c_str(), &acoes, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&acoes);
        close(tubo[1]);
        if (pid_ > 0) tela_ = leNumero(tubo[0]);
        close(tubo[0]);
    }
    ~ServidorX() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int estado = 0;
        waitpid(pid_, &estado, 0);
    }
    ServidorX(const ServidorX&) = delete;
    ServidorX& operator=(const ServidorX&) = delete;

    std::optional<std::string> tela() const { return tela_; }

  private:
    static std::optional<std::string> leNumero(int fd) {
        std::string lido;
        pollfd p{fd, POLLIN, 0};
        while (lido.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
            char buf[32];
            ssize_t n = read(fd, buf, sizeof buf);
            if (n <= 0) break;
            lido.append(buf, static_cast<size_t>(n));
        }
        if (lido.empty() || lido.find('\n') == std::string::npos) return std::nullopt;
        return ":" + lido.substr(0, lido.find('\n'));
    }

    pid_t pid_ = -1;
    std::optional<std::string> tela_;
};

using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kPreto{0, 0, 0}, kAzul{0, 0, 128}, kVermelho{128, 0, 0}, kAmarelo{255, 255, 0},
    kBranco{255, 255, 255}, kCinza{192, 192, 192};

uint32_t argb(const Rgb& c) {
    return 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2];
}

ModeloTela telaVazia() {
    ModeloTela t;
    t.paleta = {{{0, 0, 0},
                 {0, 0, 128},
                 {0, 128, 0},
                 {0, 128, 128},
                 {128, 0, 0},
                 {128, 0, 128},
                 {128, 128, 0},
                 {192, 192, 192},
                 {128, 128, 128},
                 {0, 0, 255},
                 {0, 255, 0},
                 {0, 255, 255},
                 {255, 0, 0},
                 {255, 0, 255},
                 {255, 255, 0},
                 {255, 255, 255}}};
    for (int i = 0; i < 16; ++i) t.tabelaCores[i] = static_cast<uint8_t>(i);
    t.caracteres.fill(' ');
    t.atributos.fill(0x07);
    return t;
}

void escreve(ModeloTela& t, int col, int lin, const std::string& texto, uint8_t atr) {
    for (size_t i = 0; i < texto.size(); ++i) {
        t.caracteres[lin * ModeloTela::colunas + col + static_cast<int>(i)] =
            static_cast<uint8_t>(texto[i]);
        t.atributos[lin * ModeloTela::colunas + col + static_cast<int>(i)] = atr;
    }
}

// How many pixels of the cells [c0, c1] of row `lin` have the colour `cor`.
int contaCor(const FrontEndJanela::Captura& cap, const FrontEndJanela& fe, int c0, int c1, int lin,
             const Rgb& cor) {
    int n = 0;
    const int w = fe.larguraCelula(), h = fe.alturaCelula();
    for (int y = lin * h; y < (lin + 1) * h && y < cap.altura; ++y)
        for (int x = c0 * w; x < (c1 + 1) * w && x < cap.largura; ++x)
            if (cap.pixel(x, y) == argb(cor)) ++n;
    return n;
}

std::vector<EventoEntrada> eventosDeTeclado(FrontEnd& fe) {
    std::vector<EventoEntrada> ev;
    while (auto e = fe.proximoEvento(false))
        if (e->tipo != T::GanhouFoco && e->tipo != T::PerdeuFoco) ev.push_back(*e);
    return ev;
}

SDL_Event tecla(Uint32 tipo, SDL_Keycode sym, Uint16 mod) {
    SDL_Event e{};
    e.type = tipo;
    e.key.type = tipo;
    e.key.state = tipo == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event texto(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event botaoDireito(Uint32 tipo, int x, int y) {
    SDL_Event e{};
    e.type = tipo;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.state = tipo == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    return e;
}

// ---- Key translation (no display needed) ----

TEST(TeclasJanela, KeysBecomeWindowsVirtualKeys) {
    using janela::teclaVirtual;
    EXPECT_EQ(teclaVirtual(SDLK_a, 0), 'A');
    EXPECT_EQ(teclaVirtual(SDLK_z, KMOD_LSHIFT), 'Z');
    EXPECT_EQ(teclaVirtual(SDLK_7, 0), '7');
    EXPECT_EQ(teclaVirtual(SDLK_F1, 0), vk::F(1));
    EXPECT_EQ(teclaVirtual(SDLK_F12, 0), vk::F(12));
    EXPECT_EQ(teclaVirtual(SDLK_UP, 0), vk::Cima);
    EXPECT_EQ(teclaVirtual(SDLK_LEFT, 0), vk::Esquerda);
    EXPECT_EQ(teclaVirtual(SDLK_PAGEDOWN, 0), vk::PgDn);
    EXPECT_EQ(teclaVirtual(SDLK_HOME, 0), vk::Home);
    EXPECT_EQ(teclaVirtual(SDLK_INSERT, 0), vk::Ins);
    EXPECT_EQ(teclaVirtual(SDLK_DELETE, 0), vk::Del);
    EXPECT_EQ(teclaVirtual(SDLK_RETURN, 0), vk::Enter);
    EXPECT_EQ(teclaVirtual(SDLK_KP_ENTER, 0), vk::Enter);
    EXPECT_EQ(teclaVirtual(SDLK_ESCAPE, 0), vk::Esc);
    EXPECT_EQ(teclaVirtual(SDLK_BACKSPACE, 0), vk::Backspace);
    EXPECT_EQ(teclaVirtual(SDLK_SPACE, 0), vk::Espaco);
    EXPECT_EQ(teclaVirtual(SDLK_BACKSLASH, KMOD_LCTRL), vk::BarraInvertida);
    EXPECT_EQ(teclaVirtual(SDLK_PAUSE, KMOD_RCTRL), vk::Break);
    EXPECT_NE(teclaVirtual(SDLK_PAUSE, 0), vk::Break);
    EXPECT_EQ(teclaVirtual(SDLK_LALT, 0), vk::Alt);
    EXPECT_EQ(teclaVirtual(SDLK_RSHIFT, 0), vk::Shift);
    EXPECT_EQ(teclaVirtual(SDLK_LCTRL, 0), vk::Ctrl);
    EXPECT_EQ(teclaVirtual(0xE7, 0), vk::Outra);  // ç of a Brazilian keyboard
    EXPECT_EQ(teclaVirtual(SDLK_VOLUMEUP, 0), std::nullopt);
}

TEST(TeclasJanela, KeypadFollowsNumLock) {
    using janela::teclaVirtual;
    EXPECT_EQ(teclaVirtual(SDLK_KP_8, 0), vk::Cima);
    EXPECT_EQ(teclaVirtual(SDLK_KP_0, 0), vk::Ins);
    EXPECT_EQ(teclaVirtual(SDLK_KP_3, 0), vk::PgDn);
    EXPECT_EQ(teclaVirtual(SDLK_KP_PERIOD, 0), vk::Del);
    EXPECT_EQ(teclaVirtual(SDLK_KP_8, KMOD_NUM), 0x68);  // the keypad's own 8
    EXPECT_EQ(teclaVirtual(SDLK_KP_0, KMOD_NUM), 0x60);
}

TEST(TeclasJanela, OnlyTheLeftAltIsAlt) {
    EXPECT_TRUE(janela::modificadores(KMOD_LALT).alt);
    EXPECT_FALSE(janela::modificadores(KMOD_RALT).alt);
    EXPECT_TRUE(janela::modificadores(KMOD_RCTRL).ctrl);
    EXPECT_TRUE(janela::modificadores(KMOD_LSHIFT).shift);
    Modificadores nada = janela::modificadores(KMOD_NUM | KMOD_CAPS);
    EXPECT_FALSE(nada.shift || nada.ctrl || nada.alt);
}

TEST(TeclasJanela, CharacterMessagesComeFromTheRightEvent) {
    janela::TradutorTeclado t;
    // A letter: only the key-down; its character comes with the text event.
    auto ev = t.tecla(tecla(SDL_KEYDOWN, SDLK_a, 0).key);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].tipo, T::TeclaDesce);
    EXPECT_EQ(ev[0].tecla, 'A');
    ev = t.texto("a");
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].tipo, T::Caractere);
    EXPECT_EQ(ev[0].caractere, 'a');
    EXPECT_EQ(ev[0].tecla, 'A');

    // Ctrl+S: the control character on key-down, and no text.
    ev = t.tecla(tecla(SDL_KEYDOWN, SDLK_s, KMOD_LCTRL).key);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_TRUE(ev[0].mod.ctrl);
    EXPECT_EQ(ev[1].tipo, T::Caractere);
    EXPECT_EQ(ev[1].caractere, 19);
    EXPECT_TRUE(t.texto("s").empty());

    // Left Alt: a command, no text; AltGr (right Alt) writes.
    t.tecla(tecla(SDL_KEYDOWN, SDLK_x, KMOD_LALT).key);
    EXPECT_TRUE(t.texto("x").empty());
    t.tecla(tecla(SDL_KEYDOWN, SDLK_q, KMOD_RALT).key);
    ev = t.texto("/");
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].caractere, '/');

    // Keys with no text of their own.
    ev = t.tecla(tecla(SDL_KEYDOWN, SDLK_RETURN, 0).key);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[1].caractere, 13);
    ev = t.tecla(tecla(SDL_KEYDOWN, SDLK_ESCAPE, 0).key);
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[1].caractere, 27);
    ev = t.tecla(tecla(SDL_KEYDOWN, SDLK_F5, 0).key);
    EXPECT_EQ(ev.size(), 1u);
    // Space types through text, so it is not doubled.
    EXPECT_EQ(t.tecla(tecla(SDL_KEYDOWN, SDLK_SPACE, 0).key).size(), 1u);
    EXPECT_EQ(t.texto(" ").size(), 1u);
}

TEST(TeclasJanela, TextIsConvertedToWindows1252AndReleasedModifiersCount) {
    janela::TradutorTeclado t;
    t.tecla(tecla(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL).key);
    t.tecla(tecla(SDL_KEYUP, SDLK_LCTRL, 0).key);
    auto ev = t.texto("ção€");  // typed after Ctrl was let go
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_EQ(ev[0].caractere, 0xE7);
    EXPECT_EQ(ev[1].caractere, 0xE3);
    EXPECT_EQ(ev[2].caractere, 'o');
    EXPECT_EQ(ev[3].caractere, 0x80);
}

TEST(TeclasJanela, BrailleChordKeysReportTheirRelease) {
    janela::TradutorTeclado t;
    std::vector<EventoEntrada> todos;
    for (SDL_Keycode k : {SDLK_f, SDLK_d, SDLK_SPACE})
        for (auto& e : t.tecla(tecla(SDL_KEYDOWN, k, 0).key)) todos.push_back(e);
    for (SDL_Keycode k : {SDLK_d, SDLK_f, SDLK_SPACE})
        for (auto& e : t.tecla(tecla(SDL_KEYUP, k, 0).key)) todos.push_back(e);
    ASSERT_EQ(todos.size(), 6u);
    EXPECT_EQ(todos[3].tipo, T::TeclaSobe);
    EXPECT_EQ(todos[3].tecla, 'D');
    EXPECT_EQ(todos[4].tecla, 'F');
    EXPECT_EQ(todos[5].tecla, vk::Espaco);
    EXPECT_EQ(todos[5].tipo, T::TeclaSobe);
}

// ---- Geometry and text helpers ----

TEST(GeometriaJanela, MagnifierKeepsItsSourceInsideTheWindow) {
    EXPECT_EQ(janela::zoomValido(0), 1);
    EXPECT_EQ(janela::zoomValido(-4), 1);
    EXPECT_EQ(janela::zoomValido(99), 7);
    EXPECT_EQ(janela::zoomValido(3), 3);
    SDL_Rect r = janela::origemLupa(400, 300, 800, 600, 2);
    EXPECT_EQ(r.x, 200);
    EXPECT_EQ(r.y, 150);
    EXPECT_EQ(r.w, 400);
    EXPECT_EQ(r.h, 300);
    for (int x : {0, 1, 799, 800, 5000, -20}) {
        SDL_Rect s = janela::origemLupa(x, x, 800, 600, 3);
        EXPECT_GE(s.x, 0);
        EXPECT_LE(s.x + s.w, 800);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.y + s.h, 600);
    }
}

TEST(GeometriaJanela, SmallWindowFollowsTheCursor) {
    EXPECT_EQ(janela::primeiraVisivel(0, 79, 80, 80), 0);
    EXPECT_EQ(janela::primeiraVisivel(0, 79, 40, 80), 40);
    EXPECT_EQ(janela::primeiraVisivel(40, 50, 40, 80), 40);  // still in view: no jump
    EXPECT_EQ(janela::primeiraVisivel(40, 10, 40, 80), 10);
    EXPECT_EQ(janela::primeiraVisivel(70, 79, 16, 80), 64);
    EXPECT_EQ(janela::primeiraVisivel(3, 2, 0, 25), 2);  // a window under one cell tall
}

TEST(GeometriaJanela, ClipboardLineEnds) {
    EXPECT_EQ(janela::quebrasWindows("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(janela::quebrasWindows("\n"), "\r\n");
    EXPECT_EQ(janela::quebrasLinux("a\r\nb\rc\r"), "a\nb\rc\r");
}

// ---- Fonts ----

TEST(FonteJanela, MissingOrProportionalFamiliesFallBackToMonospace) {
    auto inexistente = janela::fontesCandidatas("Fonte Que Nao Existe 123", 400);
    ASSERT_FALSE(inexistente.empty());
    EXPECT_TRUE(inexistente.front().monoespacada);
    EXPECT_TRUE(std::filesystem::exists(inexistente.front().arquivo));

    auto proporcional = janela::fontesCandidatas("DejaVu Sans", 400);
    ASSERT_FALSE(proporcional.empty());
    EXPECT_TRUE(proporcional.front().monoespacada);
    EXPECT_NE(proporcional.front().familia, "DejaVu Sans");

    auto mono = janela::fontesCandidatas("DejaVu Sans Mono", 400);
    ASSERT_FALSE(mono.empty());
    EXPECT_EQ(mono.front().familia, "DejaVu Sans Mono");
    EXPECT_FALSE(mono.front().negrita);
    EXPECT_TRUE(janela::fontesCandidatas("DejaVu Sans Mono", 700).front().negrita);
    EXPECT_FALSE(janela::fontesCandidatas("", 400).empty());
}

// ---- Without a display ----

TEST(FrontEndJanela, NoDisplayMeansNoWindow) {
    VariavelTemporaria semDriver("SDL_VIDEODRIVER", nullptr);
    VariavelTemporaria semWayland("WAYLAND_DISPLAY", nullptr);
    {
        VariavelTemporaria semTela("DISPLAY", nullptr);
        EXPECT_EQ(criaFrontEndJanela(), nullptr);
    }
    VariavelTemporaria telaMorta("DISPLAY", ":987");
    EXPECT_EQ(criaFrontEndJanela(), nullptr);
}

// ---- On a private X server ----

class FrontEndJanelaX : public ::testing::Test {
  protected:
    void SetUp() override {
        auto programa = achaPrograma("Xvfb");
        if (!programa) GTEST_SKIP() << "Xvfb is not installed: the window is not tried";
        servidor_.emplace(*programa);
        ASSERT_TRUE(servidor_->tela()) << "Xvfb did not start";
        tela_.emplace("DISPLAY", servidor_->tela()->c_str());
        semDriver_.emplace("SDL_VIDEODRIVER", nullptr);
        semWayland_.emplace("WAYLAND_DISPLAY", nullptr);
    }
    void TearDown() override {
        semWayland_.reset();
        semDriver_.reset();
        tela_.reset();
        servidor_.reset();
    }

    // Opens a window on the model; the window is mapped and drawn when this returns.
    std::unique_ptr<FrontEndJanela> abre(const ConfigJanela& cfg, const ModeloTela& t) {
        auto fe = FrontEndJanela::cria();
        if (!fe || !fe->abre(cfg, t)) return nullptr;
        fe->pinta({0, 0, 79, 24});
        fe->dorme(150);
        eventosDeTeclado(*fe);
        return fe;
    }

    std::optional<ServidorX> servidor_;
    std::optional<VariavelTemporaria> tela_, semDriver_, semWayland_;
};

TEST_F(FrontEndJanelaX, PaintsCellsInTheirColours) {
    ModeloTela t = telaVazia();
    escreve(t, 10, 2, "MMMMMMMMMM", 0x1E);  // yellow on blue
    ConfigJanela cfg;
    cfg.fonte = "Fonte Que Nao Existe";  // falls back to a monospace font
    auto fe = abre(cfg, t);
    ASSERT_NE(fe, nullptr);
    EXPECT_FALSE(fe->arquivoFonte().empty());
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->largura, 80 * fe->larguraCelula());
    EXPECT_EQ(cap->altura, 25 * fe->alturaCelula());

    const int w = fe->larguraCelula(), h = fe->alturaCelula();
    EXPECT_EQ(cap->pixel(10 * w, 2 * h), argb(kAzul));
    EXPECT_EQ(cap->pixel(20 * w - 1, 3 * h - 1), argb(kAzul));
    EXPECT_GT(contaCor(*cap, *fe, 10, 19, 2, kAmarelo), 10 * 4);  // every M drew something
    for (int c = 10; c <= 19; ++c) EXPECT_GT(contaCor(*cap, *fe, c, c, 2, kAmarelo), 0) << c;
    // Cells next to the run keep the plain background.
    EXPECT_EQ(contaCor(*cap, *fe, 0, 9, 2, kPreto), 10 * w * h);
    EXPECT_EQ(contaCor(*cap, *fe, 20, 79, 2, kPreto), 60 * w * h);
    EXPECT_EQ(contaCor(*cap, *fe, 0, 79, 10, kPreto), 80 * w * h);
}

TEST_F(FrontEndJanelaX, RepaintsOnlyWhatItIsTold) {
    ModeloTela t = telaVazia();
    escreve(t, 0, 0, "abc", 0x1E);
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    escreve(t, 0, 0, "XYZ", 0x4F);  // white on red
    escreve(t, 0, 5, "XYZ", 0x4F);
    fe->pinta({0, 0, 2, 0});
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(contaCor(*cap, *fe, 0, 2, 0, kAzul), 0);
    EXPECT_GT(contaCor(*cap, *fe, 0, 2, 0, kVermelho), 0);
    EXPECT_GT(contaCor(*cap, *fe, 0, 2, 0, kBranco), 0);
    EXPECT_EQ(contaCor(*cap, *fe, 0, 2, 5, kVermelho), 0);  // row 5 was not announced yet
    fe->pinta({-10, -3, 500, 500});                         // out-of-range areas are clipped
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_GT(contaCor(*cap, *fe, 0, 2, 5, kVermelho), 0);
}

TEST_F(FrontEndJanelaX, RightButtonMagnifiesAroundThePointer) {
    ModeloTela t = telaVazia();
    escreve(t, 0, 0, "MMMM", 0x1E);
    ConfigJanela cfg;
    cfg.zoom = 99;  // taken as 7
    auto fe = abre(cfg, t);
    ASSERT_NE(fe, nullptr);
    const int w = fe->larguraCelula();
    const int x = 20 * w + w / 2, y = 1;  // inside cell 20 of row 0, plain black
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->pixel(x, y), argb(kPreto));

    SDL_Event e = botaoDireito(SDL_MOUSEBUTTONDOWN, 0, 0);
    SDL_PushEvent(&e);
    EXPECT_FALSE(fe->proximoEvento(false));  // mouse clicks are not key events
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->pixel(x, y), argb(kAzul));  // four cells now span 28

    e = botaoDireito(SDL_MOUSEBUTTONUP, 0, 0);
    SDL_PushEvent(&e);
    fe->proximoEvento(false);
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->pixel(x, y), argb(kPreto));
}

TEST_F(FrontEndJanelaX, CaretIsDrawnUnderTheCursorCellWhenFocused) {
    ModeloTela t = telaVazia();
    t.cursorColuna = 5;
    t.cursorLinha = 3;
    t.cursorVisivel = true;
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    SDL_RaiseWindow(fe->janelaSdl());
    SDL_SetWindowInputFocus(fe->janelaSdl());
    for (int i = 0; i < 20 && !fe->temFoco(); ++i) fe->dorme(20);
    if (!fe->temFoco()) GTEST_SKIP() << "the X server gave the window no focus";
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_GT(contaCor(*cap, *fe, 5, 5, 3, kCinza), 0);
    EXPECT_EQ(contaCor(*cap, *fe, 6, 6, 3, kCinza), 0);
    t.cursorVisivel = false;
    fe->atualizaCursor();
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(contaCor(*cap, *fe, 5, 5, 3, kCinza), 0);
}

TEST_F(FrontEndJanelaX, KeyAndWindowEventsReachTheProgram) {
    ModeloTela t = telaVazia();
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    std::vector<SDL_Event> entrada = {
        tecla(SDL_KEYDOWN, SDLK_a, 0), texto("a"), tecla(SDL_KEYUP, SDLK_a, 0),
        tecla(SDL_KEYDOWN, SDLK_c, KMOD_LCTRL), tecla(SDL_KEYUP, SDLK_c, KMOD_LCTRL)};
    for (auto& e : entrada) SDL_PushEvent(&e);
    auto ev = eventosDeTeclado(*fe);
    ASSERT_EQ(ev.size(), 6u);
    EXPECT_EQ(ev[0].tipo, T::TeclaDesce);
    EXPECT_EQ(ev[0].tecla, 'A');
    EXPECT_EQ(ev[1].tipo, T::Caractere);
    EXPECT_EQ(ev[1].caractere, 'a');
    EXPECT_EQ(ev[2].tipo, T::TeclaSobe);
    EXPECT_EQ(ev[3].tecla, 'C');
    EXPECT_EQ(ev[4].caractere, 3);
    EXPECT_EQ(ev[5].tipo, T::TeclaSobe);
    SDL_Event sair{};
    sair.type = SDL_QUIT;
    SDL_PushEvent(&sair);
    auto fim = fe->proximoEvento(true);
    ASSERT_TRUE(fim);
    EXPECT_EQ(fim->tipo, T::Fechar);
    EXPECT_FALSE(fe->proximoEvento(false));
}

TEST_F(FrontEndJanelaX, ClipboardTitleLocksAndClock) {
    ModeloTela t = telaVazia();
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    const std::string texto = "a\xE7\xE3o\r\nfim \x80";
    fe->copiaTexto(texto);
    EXPECT_EQ(fe->leTexto(), texto);

    fe->titulo("Edi\xE7\xE3o");
    EXPECT_STREQ(SDL_GetWindowTitle(fe->janelaSdl()), "Edição");
    fe->programaTerminado();
    EXPECT_STREQ(SDL_GetWindowTitle(fe->janelaSdl()), "Programa terminado");

    auto travas = fe->estadoTravas();
    ASSERT_TRUE(travas);
    EXPECT_EQ(*travas & ~(32 | 64), 0);

    uint64_t antes = fe->agoraMs();
    fe->dorme(60);
    EXPECT_GE(fe->agoraMs() - antes, 60u);
}

TEST_F(FrontEndJanelaX, GarbageSettingsStillOpenAWindow) {
    ModeloTela t = telaVazia();
    ConfigJanela cfg;
    cfg.fonte = "";
    cfg.alturaLetra = -5;
    cfg.larguraLetra = 0;
    cfg.pesoLetra = 99999;
    cfg.zoom = -3;
    cfg.maximizada = true;
    auto fe = abre(cfg, t);
    ASSERT_NE(fe, nullptr);
    EXPECT_GT(fe->larguraCelula(), 0);
    EXPECT_GT(fe->alturaCelula(), 0);
    fe->fecha();
    fe->fecha();                        // closing twice is harmless
    auto ev = fe->proximoEvento(true);  // a closed window tells the program to end
    ASSERT_TRUE(ev);
    EXPECT_EQ(ev->tipo, T::Fechar);

    cfg = ConfigJanela{};
    cfg.alturaLetra = 40;
    ASSERT_TRUE(fe->abre(cfg, t));  // the same front-end opens again
    EXPECT_NEAR(fe->alturaCelula(), 40, 3);
    cfg.alturaLetra = 12;
    ASSERT_TRUE(fe->abre(cfg, t));
    EXPECT_NEAR(fe->alturaCelula(), 12, 3);
}

}  // namespace

#endif  // PLUMAR_COM_SDL
