#ifdef PLUMAR_COM_SDL

#include "platform/frontJanela.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "apoio.h"
#include "platform/frontEnds.h"
#include "platform/teclado.h"

extern char** environ;

namespace {

using T = EventoEntrada::Tipo;

// A private X server for one test. Xvfb picks a free display number itself and writes it
// to our pipe once it accepts connections.
class ServidorX {
  public:
    ServidorX() {
        int tubo[2];
        if (pipe(tubo) != 0) return;
        std::string args[] = {"Xvfb",         "-displayfd", std::to_string(tubo[1]), "-screen", "0",
                              "1280x1024x24", "-nolisten",  "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t acoes;
        posix_spawn_file_actions_init(&acoes);
        posix_spawn_file_actions_addclose(&acoes, tubo[0]);
        posix_spawn_file_actions_addopen(&acoes, 2, "/dev/null", O_WRONLY, 0);
        erro_ = posix_spawnp(&pid_, "Xvfb", &acoes, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&acoes);
        close(tubo[1]);
        if (erro_ == 0) tela_ = leNumero(tubo[0]);
        else pid_ = -1;
        close(tubo[0]);
    }
    ~ServidorX() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    ServidorX(const ServidorX&) = delete;
    ServidorX& operator=(const ServidorX&) = delete;

    bool instalado() const { return erro_ != ENOENT; }
    std::optional<std::string> tela() const { return tela_; }

  private:
    // The first line; nothing if Xvfb dies (our copy of the write end is closed) or hangs.
    static std::optional<std::string> leNumero(int fd) {
        std::string lido;
        pollfd p{fd, POLLIN, 0};
        for (char c; poll(&p, 1, 10000) > 0 && read(fd, &c, 1) == 1; lido += c)
            if (c == '\n') return ":" + lido;
        return std::nullopt;
    }

    pid_t pid_ = -1;
    int erro_ = 0;
    std::optional<std::string> tela_;
};

using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kPreto{0, 0, 0}, kAzul{0, 0, 128}, kVermelho{128, 0, 0}, kAmarelo{255, 255, 0},
    kBranco{255, 255, 255}, kCinza{192, 192, 192};

uint32_t argb(const Rgb& c) {
    return 0xFF000000u | (c[0] << 16) | (c[1] << 8) | c[2];
}

// A blank screen with the DOS palette: bit 0 blue, 1 green, 2 red, 3 bright.
ModeloTela telaVazia() {
    ModeloTela t;
    for (int i = 0; i < 16; ++i) {
        const uint8_t nivel = i == 7 ? 192 : i & 8 ? 255 : 128;
        t.paleta[i] = {uint8_t(i & 4 ? nivel : 0), uint8_t(i & 2 ? nivel : 0),
                       uint8_t(i & 1 ? nivel : 0)};
        t.tabelaCores[i] = static_cast<uint8_t>(i);
    }
    t.paleta[8] = {128, 128, 128};
    t.caracteres.fill(' ');
    t.atributos.fill(0x07);
    return t;
}

void escreve(ModeloTela& t, int col, int lin, const std::string& texto, uint8_t atr) {
    for (size_t i = 0; i < texto.size(); ++i) {
        t.caracteres[lin * ModeloTela::colunas + col + i] = static_cast<uint8_t>(texto[i]);
        t.atributos[lin * ModeloTela::colunas + col + i] = atr;
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

SDL_Event tecla(Uint32 tipo, SDL_Keycode sym, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = e.key.type = tipo;
    e.key.state = tipo == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event botaoDireito(Uint32 tipo) {
    SDL_Event e{};
    e.type = tipo;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.state = tipo == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    return e;
}

// ---- Key translation (no display needed) ----

TEST(TeclasJanela, KeysBecomeWindowsVirtualKeys) {
    struct Caso {
        SDL_Keycode sym;
        Uint16 mod;
        std::optional<uint16_t> vk;
    };
    // clang-format off
    const Caso casos[] = {
        {SDLK_z, KMOD_LSHIFT, 'Z'}, {SDLK_7, 0, '7'}, {SDLK_F12, 0, vk::F(12)},
        {SDLK_PAGEDOWN, 0, vk::PgDn}, {SDLK_KP_ENTER, 0, vk::Enter}, {SDLK_SPACE, 0, vk::Espaco},
        {SDLK_BACKSLASH, KMOD_LCTRL, vk::BarraInvertida}, {SDLK_PAUSE, KMOD_RCTRL, vk::Break},
        {SDLK_RSHIFT, 0, vk::Shift}, {0xE7, 0, vk::Outra},  // ç of a Brazilian keyboard
        {SDLK_VOLUMEUP, 0, std::nullopt},
        // The keypad follows Num Lock: cursor keys without it, its own digits with it.
        {SDLK_KP_8, 0, vk::Cima}, {SDLK_KP_0, 0, vk::Ins}, {SDLK_KP_PERIOD, 0, vk::Del},
        {SDLK_KP_8, KMOD_NUM, 0x68}, {SDLK_KP_0, KMOD_NUM, 0x60}};
    // clang-format on
    for (const Caso& c : casos)
        EXPECT_EQ(janela::teclaVirtual(c.sym, c.mod), c.vk) << SDL_GetKeyName(c.sym);
    EXPECT_NE(janela::teclaVirtual(SDLK_PAUSE, 0), vk::Break);
}

TEST(TeclasJanela, CharacterMessagesComeFromTheRightEvent) {
    janela::TradutorTeclado t;
    // A letter: only the key-down; its character comes with the text event.
    ASSERT_EQ(t.tecla(tecla(SDL_KEYDOWN, SDLK_a).key).size(), 1u);
    auto ev = t.texto("a");
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].tipo, T::Caractere);
    EXPECT_EQ(ev[0].caractere, 'a');
    EXPECT_EQ(ev[0].tecla, 'A');

    // Keys without text of their own give their character on key-down; F5 gives none.
    struct Caso {
        SDL_Keycode sym;
        Uint16 mod;
        int car;
    };
    // clang-format off
    for (Caso c : {Caso{SDLK_RETURN, 0, 13}, {SDLK_ESCAPE, 0, 27}, {SDLK_F5, 0, -1},
                   {SDLK_s, KMOD_LCTRL, 19}}) {
        // clang-format on
        ev = t.tecla(tecla(SDL_KEYDOWN, c.sym, c.mod).key);
        ASSERT_EQ(ev.size(), c.car < 0 ? 1u : 2u) << c.car;
        if (c.car >= 0) {
            EXPECT_EQ(ev[1].caractere, c.car);
        }
    }
    EXPECT_TRUE(t.texto("s").empty());  // the text of Ctrl+S is not typed

    // Left Alt: a command, no text; AltGr (right Alt) writes.
    t.tecla(tecla(SDL_KEYDOWN, SDLK_x, KMOD_LALT).key);
    EXPECT_TRUE(t.texto("x").empty());
    t.tecla(tecla(SDL_KEYDOWN, SDLK_q, KMOD_RALT).key);
    ev = t.texto("/");
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].caractere, '/');
    EXPECT_FALSE(ev[0].mod.alt);
    // Space types through text, so it is not doubled.
    EXPECT_EQ(t.tecla(tecla(SDL_KEYDOWN, SDLK_SPACE).key).size(), 1u);
    EXPECT_EQ(t.texto(" ").size(), 1u);
}

TEST(TeclasJanela, TextIsConvertedToWindows1252OnceCtrlIsReleased) {
    janela::TradutorTeclado t;
    t.tecla(tecla(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL).key);
    t.tecla(tecla(SDL_KEYUP, SDLK_LCTRL).key);
    std::string recebido;
    for (const auto& e : t.texto("ção€")) recebido += static_cast<char>(e.caractere);
    EXPECT_EQ(recebido, "\xE7\xE3o\x80");
    Modificadores nada = janela::modificadores(KMOD_NUM | KMOD_CAPS);
    EXPECT_FALSE(nada.shift || nada.ctrl || nada.alt);  // lock keys are not modifiers
}

TEST(TeclasJanela, BrailleChordKeysReportTheirRelease) {
    janela::TradutorTeclado t;
    for (SDL_Keycode k : {SDLK_f, SDLK_d, SDLK_SPACE}) t.tecla(tecla(SDL_KEYDOWN, k).key);
    std::vector<uint16_t> soltas;
    for (SDL_Keycode k : {SDLK_d, SDLK_f, SDLK_SPACE})
        for (auto& e : t.tecla(tecla(SDL_KEYUP, k).key)) {
            EXPECT_EQ(e.tipo, T::TeclaSobe);
            soltas.push_back(e.tecla);
        }
    EXPECT_EQ(soltas, (std::vector<uint16_t>{'D', 'F', vk::Espaco}));
}

// ---- Geometry and text helpers ----

TEST(GeometriaJanela, MagnifierKeepsItsSourceInsideTheWindow) {
    EXPECT_EQ(janela::zoomValido(-4), 1);
    EXPECT_EQ(janela::zoomValido(99), 7);
    EXPECT_EQ(janela::zoomValido(3), 3);
    SDL_Rect r = janela::origemLupa(400, 300, 800, 600, 2);
    EXPECT_EQ((std::array{r.x, r.y, r.w, r.h}), (std::array{200, 150, 400, 300}));
    for (int x : {0, 799, 800, 5000, -20}) {
        SDL_Rect s = janela::origemLupa(x, x, 800, 600, 3);
        EXPECT_TRUE(s.x >= 0 && s.x + s.w <= 800 && s.y >= 0 && s.y + s.h <= 600) << x;
    }
}

TEST(GeometriaJanela, SmallWindowFollowsTheCursorAndClipboardLineEnds) {
    // {first visible, cursor, cells that fit, total, expected first visible}
    // clang-format off
    for (auto [atual, cursor, visiveis, total, esperado] :
         {std::array{0, 79, 80, 80, 0}, {0, 79, 40, 80, 40}, {40, 50, 40, 80, 40},
          {40, 10, 40, 80, 10}, {70, 79, 16, 80, 64}, {3, 2, 0, 25, 2}})
        // clang-format on
        EXPECT_EQ(janela::primeiraVisivel(atual, cursor, visiveis, total), esperado)
            << atual << " " << cursor << " " << visiveis;
    EXPECT_EQ(janela::quebrasWindows("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(janela::quebrasWindows("\n"), "\r\n");
    EXPECT_EQ(janela::quebrasLinux("a\r\nb\rc\r"), "a\nb\rc\r");
}

// ---- Fonts ----

TEST(FonteJanela, MissingOrProportionalFamiliesFallBackToMonospace) {
    for (const char* familia : {"Fonte Que Nao Existe 123", "DejaVu Sans", ""}) {
        auto f = janela::fontesCandidatas(familia, 400);
        ASSERT_FALSE(f.empty()) << familia;
        EXPECT_TRUE(f.front().monoespacada) << familia;
        EXPECT_NE(f.front().familia, "DejaVu Sans");
        EXPECT_TRUE(std::filesystem::exists(f.front().arquivo)) << familia;
    }
    auto mono = janela::fontesCandidatas("DejaVu Sans Mono", 400);
    ASSERT_FALSE(mono.empty());
    EXPECT_EQ(mono.front().familia, "DejaVu Sans Mono");
    EXPECT_FALSE(mono.front().negrita);
    EXPECT_TRUE(janela::fontesCandidatas("DejaVu Sans Mono", 700).front().negrita);
}

// ---- Without a display ----

TEST(FrontEndJanela, NoDisplayMeansNoWindow) {
    Variavel semDriver("SDL_VIDEODRIVER", nullptr);
    Variavel semWayland("WAYLAND_DISPLAY", nullptr);
    {
        Variavel semTela("DISPLAY", nullptr);
        EXPECT_EQ(criaFrontEndJanela(), nullptr);
    }
    Variavel telaMorta("DISPLAY", ":987");
    EXPECT_EQ(criaFrontEndJanela(), nullptr);
}

// ---- On a private X server ----

class FrontEndJanelaX : public ::testing::Test {
  protected:
    void SetUp() override {
        servidor_.emplace();
        if (!servidor_->instalado())
            GTEST_SKIP() << "Xvfb is not installed: the window is not tried";
        ASSERT_TRUE(servidor_->tela()) << "Xvfb did not start";
        tela_.emplace("DISPLAY", *servidor_->tela());
        semDriver_.emplace("SDL_VIDEODRIVER", nullptr);
        semWayland_.emplace("WAYLAND_DISPLAY", nullptr);
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

    // Declared so that the variables are restored before the server stops.
    std::optional<ServidorX> servidor_;
    std::optional<Variavel> tela_, semDriver_, semWayland_;
};

TEST_F(FrontEndJanelaX, PaintsCellsInTheirColoursAndRepaintsOnlyWhatItIsTold) {
    ModeloTela t = telaVazia();
    escreve(t, 10, 2, "MMMMMMMMMM", 0x1E);  // yellow on blue
    ConfigJanela cfg;
    cfg.fonte = "Fonte Que Nao Existe";  // falls back to a monospace font
    auto fe = abre(cfg, t);
    ASSERT_NE(fe, nullptr);
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    const int w = fe->larguraCelula(), h = fe->alturaCelula();
    EXPECT_EQ(cap->largura, 80 * w);
    EXPECT_EQ(cap->altura, 25 * h);
    EXPECT_EQ(cap->pixel(10 * w, 2 * h), argb(kAzul));
    EXPECT_EQ(cap->pixel(20 * w - 1, 3 * h - 1), argb(kAzul));
    for (int c = 10; c <= 19; ++c) EXPECT_GT(contaCor(*cap, *fe, c, c, 2, kAmarelo), 0) << c;
    // Cells next to the run keep the plain background.
    EXPECT_EQ(contaCor(*cap, *fe, 0, 9, 2, kPreto), 10 * w * h);
    EXPECT_EQ(contaCor(*cap, *fe, 20, 79, 2, kPreto), 60 * w * h);
    EXPECT_EQ(contaCor(*cap, *fe, 0, 79, 10, kPreto), 80 * w * h);

    escreve(t, 10, 2, "XYZ", 0x4F);  // white on red
    escreve(t, 10, 5, "XYZ", 0x4F);
    fe->pinta({10, 2, 12, 2});
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(contaCor(*cap, *fe, 10, 12, 2, kAzul), 0);
    EXPECT_GT(contaCor(*cap, *fe, 10, 12, 2, kVermelho), 0);
    EXPECT_GT(contaCor(*cap, *fe, 10, 12, 2, kBranco), 0);
    EXPECT_EQ(contaCor(*cap, *fe, 10, 12, 5, kVermelho), 0);  // row 5 was not announced yet
    fe->pinta({-10, -3, 500, 500});                           // out-of-range areas are clipped
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_GT(contaCor(*cap, *fe, 10, 12, 5, kVermelho), 0);
}

TEST_F(FrontEndJanelaX, RightButtonMagnifiesAroundThePointer) {
    ModeloTela t = telaVazia();
    escreve(t, 0, 0, "MMMM", 0x1E);
    ConfigJanela cfg;
    cfg.zoom = 99;  // taken as 7
    auto fe = abre(cfg, t);
    ASSERT_NE(fe, nullptr);
    const int x = 20 * fe->larguraCelula() + fe->larguraCelula() / 2;  // cell 20 of row 0
    // Plain black, then blue while the button is held (four cells now span 28), then black.
    for (auto [tipo, cor] : {std::pair{0u, kPreto},
                             {Uint32{SDL_MOUSEBUTTONDOWN}, kAzul},
                             {Uint32{SDL_MOUSEBUTTONUP}, kPreto}}) {
        if (tipo) {
            SDL_Event e = botaoDireito(tipo);
            SDL_PushEvent(&e);
            EXPECT_FALSE(fe->proximoEvento(false));  // mouse clicks are not key events
        }
        auto cap = fe->capturaJanela();
        ASSERT_TRUE(cap);
        EXPECT_EQ(cap->pixel(x, 1), argb(cor)) << tipo;
    }
}

// A thick bar, blinking at the rate of the desktop's toolkit settings (here 2 s a cycle): lit
// whenever it moves, dark half a cycle later.
TEST_F(FrontEndJanelaX, CaretIsDrawnUnderTheCursorCellWhenFocused) {
    PastaTemporaria config;
    std::filesystem::create_directories(config / "gtk-3.0");
    gravaArquivoTeste(config / "gtk-3.0" / "settings.ini",
                      "[Settings]\ngtk-cursor-blink-time=2000\n");
    Variavel xdg("XDG_CONFIG_HOME", config.caminho().string());
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
    fe->atualizaCursor();
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_GE(contaCor(*cap, *fe, 5, 5, 3, kCinza), 3 * fe->larguraCelula());
    EXPECT_EQ(contaCor(*cap, *fe, 6, 6, 3, kCinza), 0);
    fe->dorme(1100);
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(contaCor(*cap, *fe, 5, 5, 3, kCinza), 0);
    fe->atualizaCursor();
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_GT(contaCor(*cap, *fe, 5, 5, 3, kCinza), 0);
    EXPECT_EQ(janela::meioPiscarCaret(config / "nada.ini"), 600);
    t.cursorVisivel = false;
    fe->atualizaCursor();
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(contaCor(*cap, *fe, 5, 5, 3, kCinza), 0);
}

// Wide letters: the first 40 columns fill the window, each cell twice as wide.
TEST_F(FrontEndJanelaX, WideLettersShowFortyColumnsTwiceAsWide) {
    ModeloTela t = telaVazia();
    escreve(t, 39, 2, "M", 0x1E);  // yellow on blue: the last column shown
    escreve(t, 40, 2, "M", 0x4F);  // white on red: beyond it
    t.larguraDupla = true;
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    const int w = fe->larguraCelula(), h = fe->alturaCelula();
    EXPECT_EQ(cap->pixel(78 * w, 2 * h), argb(kAzul));
    EXPECT_EQ(cap->pixel(80 * w - 1, 3 * h - 1), argb(kAzul));
    EXPECT_EQ(cap->pixel(39 * w, 2 * h), argb(kPreto));
    EXPECT_GT(contaCor(*cap, *fe, 78, 79, 2, kAmarelo), contaCor(*cap, *fe, 78, 78, 2, kAmarelo));
    EXPECT_EQ(contaCor(*cap, *fe, 0, 79, 2, kVermelho), 0);
}

TEST_F(FrontEndJanelaX, KeysClipboardTitleAndClosingReachTheProgram) {
    ModeloTela t = telaVazia();
    auto fe = abre(ConfigJanela{}, t);
    ASSERT_NE(fe, nullptr);
    SDL_Event texto{};
    texto.type = SDL_TEXTINPUT;
    std::strcpy(texto.text.text, "a");
    for (SDL_Event e : {tecla(SDL_KEYDOWN, SDLK_a), texto, tecla(SDL_KEYUP, SDLK_a),
                        tecla(SDL_KEYDOWN, SDLK_c, KMOD_LCTRL)})
        SDL_PushEvent(&e);
    auto ev = eventosDeTeclado(*fe);
    ASSERT_EQ(ev.size(), 5u);
    EXPECT_EQ(ev[0].tipo, T::TeclaDesce);
    EXPECT_EQ(ev[1].caractere, 'a');
    EXPECT_EQ(ev[2].tipo, T::TeclaSobe);
    EXPECT_EQ(ev[3].tecla, 'C');
    EXPECT_EQ(ev[4].caractere, 3);

    const std::string copiado = "a\xE7\xE3o\r\nfim \x80";
    fe->copiaTexto(copiado);
    EXPECT_EQ(fe->leTexto(), copiado);
    fe->titulo("Edi\xE7\xE3o");
    EXPECT_STREQ(SDL_GetWindowTitle(fe->janelaSdl()), "Edição");
    fe->programaTerminado();
    EXPECT_STREQ(SDL_GetWindowTitle(fe->janelaSdl()), "Programa terminado");
    auto travas = fe->estadoTravas();
    ASSERT_TRUE(travas);
    EXPECT_EQ(*travas & ~(32 | 64), 0);

    SDL_Event sair{};
    sair.type = SDL_QUIT;
    SDL_PushEvent(&sair);
    auto fim = fe->proximoEvento(true);
    ASSERT_TRUE(fim);
    EXPECT_EQ(fim->tipo, T::Fechar);
    EXPECT_FALSE(fe->proximoEvento(false));
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

    for (int altura : {40, 12}) {  // the same front-end opens again, at the new size
        cfg = ConfigJanela{};
        cfg.alturaLetra = altura;
        ASSERT_TRUE(fe->abre(cfg, t));
        EXPECT_NEAR(fe->alturaCelula(), altura, 3);
    }
}

}  // namespace

#endif  // PLUMAR_COM_SDL
