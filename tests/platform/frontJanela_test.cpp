// The window front-end: keys down and up, chords, focus, the clipboard and the window's
// geometry, the translation without a display and the window on a private X server.
#ifdef PLUMAR_COM_SDL

#include "platform/frontJanela.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "apoio.h"
#include "platform/frontEnds.h"
#include "platform/teclado.h"

namespace {

using T = EventoEntrada::Tipo;

SDL_Event tecla(Uint32 tipo, SDL_Keycode sym, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = e.key.type = tipo;
    e.key.state = tipo == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    e.key.keysym.mod = mod;
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
    for (auto [sym, mod, car] : {std::tuple{SDLK_RETURN, 0, 13}, {SDLK_ESCAPE, 0, 27},
                                 {SDLK_F5, 0, -1}, {SDLK_s, KMOD_LCTRL, 19}}) {
        ev = t.tecla(tecla(SDL_KEYDOWN, sym, static_cast<Uint16>(mod)).key);
        ASSERT_EQ(ev.size(), car < 0 ? 1u : 2u) << car;
        if (car >= 0) {
            EXPECT_EQ(ev[1].caractere, car);
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
    // A key comes up as itself, not as the last one pressed: braille chords are read from
    // the releases.
    ev = t.tecla(tecla(SDL_KEYUP, SDLK_x).key);
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(std::pair(ev[0].tipo, ev[0].tecla), std::pair(T::TeclaSobe, uint16_t{'X'}));

    // Once Ctrl is released, text is typed again, in Windows-1252; lock keys are no
    // modifiers.
    t.tecla(tecla(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL).key);
    t.tecla(tecla(SDL_KEYUP, SDLK_LCTRL).key);
    std::string recebido;
    for (const auto& e : t.texto("ção€")) recebido += static_cast<char>(e.caractere);
    EXPECT_EQ(recebido, "\xE7\xE3o\x80");
    const Modificadores nada = janela::modificadores(KMOD_NUM | KMOD_CAPS);
    EXPECT_FALSE(nada.shift || nada.ctrl || nada.alt);
}

// ---- Geometry, clipboard texts and fonts ----

TEST(GeometriaJanela, MagnifierAndSmallWindowKeepTheirPartInsideAndTheCursorInView) {
    EXPECT_EQ(janela::zoomValido(-4), 1);
    EXPECT_EQ(janela::zoomValido(99), 7);
    SDL_Rect r = janela::origemLupa(400, 300, 800, 600, 2);
    EXPECT_EQ((std::array{r.x, r.y, r.w, r.h}), (std::array{200, 150, 400, 300}));
    for (int x : {0, 799, 800, 5000, -20}) {
        SDL_Rect s = janela::origemLupa(x, x, 800, 600, 3);
        EXPECT_TRUE(s.x >= 0 && s.x + s.w <= 800 && s.y >= 0 && s.y + s.h <= 600) << x;
    }
    // {first visible, cursor, cells that fit, total, expected first visible}
    for (auto [atual, cursor, visiveis, total, esperado] :
         {std::array{0, 79, 80, 80, 0}, {0, 79, 40, 80, 40}, {40, 50, 40, 80, 40},
          {40, 10, 40, 80, 10}, {70, 79, 16, 80, 64}, {3, 2, 0, 25, 2}})
        EXPECT_EQ(janela::primeiraVisivel(atual, cursor, visiveis, total), esperado)
            << atual << " " << cursor << " " << visiveis;
}

TEST(GeometriaJanela, CaretCoversTheWholeCellAndWideCellsAreTwiceAsWide) {
    auto vetor = [](SDL_Rect r) { return std::array{r.x, r.y, r.w, r.h}; };
    const SDL_Rect inteira{0, 0, 800, 500};
    EXPECT_EQ(vetor(janela::celulaNaJanela(5, 3, 10, 20, inteira, 1, 1)),
              (std::array{50, 60, 10, 20}));
    // Wide letters drawn in columns twice as wide, or the normal ones stretched: the same
    // place and size on the window.
    const auto contorno = vetor(janela::celulaNaJanela(5, 3, 20, 20, inteira, 1, 1));
    EXPECT_EQ(contorno, (std::array{100, 60, 20, 20}));
    EXPECT_EQ(vetor(janela::celulaNaJanela(5, 3, 10, 20, inteira, 1, 2)), contorno);
    // Magnified three times from a part of the picture that starts inside the grid.
    EXPECT_EQ(vetor(janela::celulaNaJanela(5, 3, 10, 20, SDL_Rect{40, 50, 100, 80}, 3, 1)),
              (std::array{30, 30, 30, 60}));
}

TEST(GeometriaJanela, CaretBlinksUnlessItMovesAndPlacingItAgainDoesNotRestartIt) {
    janela::PiscaCaret p;
    p.defineMeio(500);
    p.posiciona(1000, 5, 3, true);
    EXPECT_TRUE(p.aceso(1000));
    EXPECT_TRUE(p.aceso(1499));
    EXPECT_FALSE(p.aceso(1500));
    EXPECT_TRUE(p.aceso(2000));
    // The program places the cursor where it is every tenth of a second while it waits.
    for (uint64_t t = 1000; t < 2600; t += 100) p.posiciona(t, 5, 3, true);
    EXPECT_FALSE(p.aceso(2600));
    // Moved, or shown again after being hidden: lit at once.
    p.posiciona(2600, 6, 3, true);
    EXPECT_TRUE(p.aceso(2600));
    EXPECT_FALSE(p.aceso(3100));
    p.posiciona(3100, 6, 3, false);
    p.posiciona(3150, 6, 3, true);
    EXPECT_TRUE(p.aceso(3150));
    // A desktop that does not blink: always lit.
    p.defineMeio(0);
    EXPECT_TRUE(p.aceso(3650));
}

TEST(GeometriaJanela, ClipboardLineEndsAndMonospaceFonts) {
    EXPECT_EQ(janela::quebrasWindows("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(janela::quebrasLinux("a\r\nb\rc\r"), "a\nb\rc\r");
    // A missing or proportional family would break the grid: a monospace face instead.
    for (const char* familia : {"Fonte Que Nao Existe 123", "DejaVu Sans", ""}) {
        auto f = janela::fontesCandidatas(familia, 400);
        ASSERT_FALSE(f.empty()) << familia;
        EXPECT_TRUE(f.front().monoespacada) << familia;
        EXPECT_TRUE(std::filesystem::exists(f.front().arquivo)) << familia;
    }
    EXPECT_TRUE(janela::fontesCandidatas("DejaVu Sans Mono", 700).front().negrita);
}

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

// A blank screen: black background, the DOS blue at index 1, grey at 7.
ModeloTela telaVazia() {
    ModeloTela t;
    for (int i = 0; i < 16; ++i) t.tabelaCores[i] = static_cast<uint8_t>(i);
    t.paleta[1] = {0, 0, 128};
    t.paleta[7] = {192, 192, 192};
    t.caracteres.fill(' ');
    t.atributos.fill(0x07);
    return t;
}

constexpr uint32_t kPreto = 0xFF000000u, kAzul = 0xFF000080u;

class FrontEndJanelaX : public ::testing::Test {
  protected:
    // Xvfb picks a free display number itself and writes it to its descriptor 3 once it
    // accepts connections.
    void SetUp() override {
        int tubo[2];
        ASSERT_EQ(pipe2(tubo, O_CLOEXEC), 0);
        xvfb_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                               "1280x1024x24", "-nolisten", "tcp"},
                      tubo[1]);
        close(tubo[1]);
        std::string numero;
        pollfd p{tubo[0], POLLIN, 0};
        for (char c; poll(&p, 1, 10000) > 0 && read(tubo[0], &c, 1) == 1 && c != '\n';) numero += c;
        close(tubo[0]);
        if (xvfb_->erro() == ENOENT) GTEST_SKIP() << "Xvfb is not installed: the window is not tried";
        ASSERT_FALSE(numero.empty()) << "Xvfb did not start";
        tela_.emplace("DISPLAY", ":" + numero);
        semDriver_.emplace("SDL_VIDEODRIVER", nullptr);
        semWayland_.emplace("WAYLAND_DISPLAY", nullptr);
    }

    // Opens a window on the model t_; the window is mapped and drawn when this returns.
    std::unique_ptr<FrontEndJanela> abre(const ConfigJanela& cfg = {}) {
        auto fe = FrontEndJanela::cria();
        if (!fe || !fe->abre(cfg, t_)) return nullptr;
        fe->pinta({0, 0, 79, 24});
        fe->dorme(150);
        while (fe->proximoEvento(false)) {
        }
        return fe;
    }

    ModeloTela t_ = telaVazia();  // the window reads it while it lives
    // Declared so that the variables are restored before the server stops.
    std::optional<ProgramaTeste> xvfb_;
    std::optional<Variavel> tela_, semDriver_, semWayland_;
};

// 80 x 25 cells, and 40 columns twice as wide with wide letters; only the area announced
// is painted again, clipped to the screen.
TEST_F(FrontEndJanelaX, TheGridFillsTheWindowAndRepaintsWhatItIsTold) {
    auto fe = abre();
    ASSERT_NE(fe, nullptr);
    const int w = fe->larguraCelula(), h = fe->alturaCelula();
    auto cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(std::pair(cap->largura, cap->altura), std::pair(80 * w, 25 * h));
    t_.atributos[2 * 80 + 39] = t_.atributos[5 * 80 + 10] = 0x10;  // blue cells
    fe->pinta({-10, -3, 39, 2});
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->pixel(39 * w, 2 * h), kAzul);
    EXPECT_EQ(cap->pixel(10 * w, 5 * h), kPreto);  // row 5 was not announced
    fe->fecha();
    t_.larguraDupla = true;
    fe = abre();
    ASSERT_NE(fe, nullptr);
    cap = fe->capturaJanela();
    ASSERT_TRUE(cap);
    EXPECT_EQ(cap->pixel(78 * w, 2 * h), kAzul);
    EXPECT_EQ(cap->pixel(80 * w - 1, 3 * h - 1), kAzul);
    EXPECT_EQ(cap->pixel(39 * w, 2 * h), kPreto);
    // The face is rendered wide from its outlines, not the normal picture stretched.
    EXPECT_TRUE(fe->letrasLargasDeContorno()) << fe->arquivoFonte();

    // Focused, the window shows the caret under the cursor's cell; a hidden cursor shows none.
    t_.cursorColuna = 5;
    t_.cursorLinha = 3;
    t_.cursorVisivel = true;
    SDL_RaiseWindow(fe->janelaSdl());
    SDL_SetWindowInputFocus(fe->janelaSdl());
    for (int i = 0; i < 20 && !fe->temFoco(); ++i) fe->dorme(20);
    if (!fe->temFoco()) GTEST_SKIP() << "the X server gave the window no focus";
    const auto cinzas = [&](int coluna) {  // grey pixels in a wide cell of row 4
        fe->atualizaCursor();
        cap = fe->capturaJanela();
        int n = 0;
        for (int y = 3 * h; cap && y < 4 * h; ++y)
            for (int x = 2 * coluna * w; x < 2 * (coluna + 1) * w; ++x)
                n += cap->pixel(x, y) == 0xFFC0C0C0u;
        return n;
    };
    EXPECT_GE(cinzas(5), 3 * w);
    EXPECT_EQ(cinzas(6), 0);
    t_.cursorVisivel = false;
    EXPECT_EQ(cinzas(5), 0);
}

TEST_F(FrontEndJanelaX, KeysWaitsClipboardTitleAndClosingReachTheProgram) {
    auto fe = abre();
    ASSERT_NE(fe, nullptr);
    SDL_Event texto{};
    texto.type = SDL_TEXTINPUT;
    std::strcpy(texto.text.text, "a");
    for (SDL_Event e : {tecla(SDL_KEYDOWN, SDLK_a), texto, tecla(SDL_KEYUP, SDLK_a),
                        tecla(SDL_KEYDOWN, SDLK_c, KMOD_LCTRL)})
        SDL_PushEvent(&e);
    std::vector<EventoEntrada> ev;
    while (auto e = fe->proximoEvento(false))
        if (e->tipo != T::GanhouFoco && e->tipo != T::PerdeuFoco) ev.push_back(*e);
    ASSERT_EQ(ev.size(), 5u);
    EXPECT_EQ(ev[0].tipo, T::TeclaDesce);
    EXPECT_EQ(ev[1].caractere, 'a');
    EXPECT_EQ(ev[2].tipo, T::TeclaSobe);
    EXPECT_EQ(ev[3].tecla, 'C');
    EXPECT_EQ(ev[4].caractere, 3);

    // A key pressed during a long wait for input ends it, and reaches the program after
    // the key the front-end already held.
    SDL_Event a = tecla(SDL_KEYDOWN, SDLK_a);
    SDL_PushEvent(&a);
    fe->dorme(0);  // taken in by the front-end, not yet by the program
    const auto inicio = std::chrono::steady_clock::now();
    std::thread outra([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        SDL_Event b = tecla(SDL_KEYDOWN, SDLK_b);
        SDL_PushEvent(&b);
    });
    std::vector<uint16_t> teclas;
    for (int i = 0; i < 5 && teclas.size() < 2; ++i) {  // a change of focus wakes it too
        EXPECT_TRUE(fe->dormeAteEntrada(20000));
        while (auto e = fe->proximoEvento(false))
            if (e->tipo == T::TeclaDesce) teclas.push_back(e->tecla);
    }
    outra.join();
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(10));
    EXPECT_EQ(teclas, (std::vector<uint16_t>{'A', 'B'}));

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
    ConfigJanela cfg;
    cfg.fonte = "";
    cfg.alturaLetra = -5;
    cfg.larguraLetra = 0;
    cfg.pesoLetra = 99999;
    cfg.zoom = -3;
    cfg.maximizada = true;
    auto fe = abre(cfg);
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
        ASSERT_TRUE(fe->abre(cfg, t_));
        EXPECT_NEAR(fe->alturaCelula(), altura, 3);
    }
}

#ifdef PLUMAR_COM_X11
// The X server goes away under the window (a session ended, a remote display lost): the
// program ends through the hook that keeps the text, as when the window is closed, instead
// of being ended by the X library with nothing kept.
TEST_F(FrontEndJanelaX, ALostDisplayEndsThroughTheHookThatKeepsTheText) {
    PastaTemporaria pasta;
    const std::filesystem::path copia = pasta / "copia";
    int pronto[2];
    ASSERT_EQ(pipe(pronto), 0);
    const pid_t filho = fork();
    if (filho == 0) {
        close(pronto[0]);
        auto fe = abre();
        if (!fe) _exit(4);
        fe->aoPerderTela([&] {
            gravaArquivoTeste(copia, "guardada");
            std::exit(7);
        });
        if (write(pronto[1], "x", 1) != 1) _exit(6);
        for (int i = 0; i < 500; ++i) {
            fe->pinta({0, 0, 79, 24});
            fe->proximoEvento(false);
            fe->dorme(10);
        }
        _exit(5);
    }
    close(pronto[1]);
    char c;
    const bool aberta = read(pronto[0], &c, 1) == 1;
    close(pronto[0]);
    xvfb_.reset();  // the X server ends under the window
    int status = 0;
    waitpid(filho, &status, 0);
    ASSERT_TRUE(aberta);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(leArquivo(copia), "guardada");
}
#endif

}  // namespace

#endif  // PLUMAR_COM_SDL
