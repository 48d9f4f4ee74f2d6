// The front-end: the native side of the console window. It turns native input into
// Windows-like key events and paints the console's cells; everything else (key
// translation, braille chords, the screen model) lives in the console itself, so the
// same rules hold for the window, the terminal and the headless runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Virtual key numbers, as the Windows keyboard numbers them, so the console's tables
// read the same on every front-end.
namespace vk {
constexpr uint16_t Backspace = 0x08, Tab = 0x09, Enter = 0x0D, Shift = 0x10, Ctrl = 0x11,
                   Alt = 0x12, Break = 0x03, Esc = 0x1B, Espaco = 0x20, PgUp = 0x21, PgDn = 0x22,
                   End = 0x23, Home = 0x24, Esquerda = 0x25, Cima = 0x26, Direita = 0x27,
                   Baixo = 0x28, Ins = 0x2D, Del = 0x2E, F1 = 0x70, F12 = 0x7B;
constexpr uint16_t F(int n) { return static_cast<uint16_t>(F1 + n - 1); }
}  // namespace vk

struct Modificadores {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct EventoEntrada {
    // Codigo: a raw key code that goes into the key queue untranslated. Unicode: a typed
    // character Windows-1252 lacks. Colagem: text pasted into the terminal, whole.
    enum class Tipo {
        TeclaDesce, TeclaSobe, Caractere, Codigo, GanhouFoco, PerdeuFoco, Fechar, Unicode, Colagem
    };
    EventoEntrada() = default;
    EventoEntrada(Tipo t, uint16_t vk, uint8_t c, Modificadores m)
        : tipo(t), tecla(vk), caractere(c), mod(m) {}

    Tipo tipo = Tipo::Caractere;
    uint16_t tecla = 0;      // virtual key of TeclaDesce / TeclaSobe
    uint8_t caractere = 0;   // Windows-1252 code of Caractere, or the raw code of Codigo
    Modificadores mod;       // modifiers held when the event happened
    char32_t unicode = 0;    // the code point of Unicode
    std::string texto;       // the bytes of Colagem as the terminal sent them (UTF-8)
};

// What the front-end needs to draw the grid: the two 80 x 25 buffers and the colours.
struct ModeloTela {
    static constexpr int colunas = 80;
    static constexpr int linhas = 25;
    std::array<uint8_t, colunas * linhas> caracteres{};
    std::array<uint8_t, colunas * linhas> atributos{};
    std::array<uint8_t, 16> tabelaCores{};                 // attribute colour -> palette index
    std::array<std::array<uint8_t, 3>, 16> paleta{};       // palette index -> RGB
    int cursorColuna = 0;  // absolute screen position, 0-based
    int cursorLinha = 0;
    bool cursorVisivel = false;
    // Wide letters: the screen is the first half of the columns, each twice as wide where
    // the front-end can draw it so.
    bool larguraDupla = false;

    uint8_t caractere(int col, int lin) const { return caracteres[lin * colunas + col]; }
    uint8_t atributo(int col, int lin) const { return atributos[lin * colunas + col]; }
    // RGB of an attribute's foreground (low nibble) and background (high nibble).
    std::array<uint8_t, 3> corLetra(uint8_t atr) const { return paleta[tabelaCores[atr & 15] & 15]; }
    std::array<uint8_t, 3> corFundo(uint8_t atr) const { return paleta[tabelaCores[atr >> 4] & 15]; }
};

// Window settings read from sections VIDEO and BRAILLE.
struct ConfigJanela {
    std::array<uint8_t, 16> tabelaCores{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    bool coresFixas = false;
    bool rolagemLenta = false;
    uint8_t atributo = 15;  // CORFUNDO * 16 + CORLETRA
    int modoBraille = 0;
    int zoom = 2;
    std::string fonte = "Lucida Console";
    int larguraLetra = 9;
    int alturaLetra = 22;
    int pesoLetra = 700;
    bool maximizada = false;
};

// A rectangle of cells, 0-based inclusive.
struct Retangulo {
    int esquerda = 0, topo = 0, direita = 0, base = 0;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Opens the display; false when it cannot (the caller then falls back).
    virtual bool abre(const ConfigJanela& config, const ModeloTela& tela) = 0;
    virtual void fecha() = 0;

    // The cells of `area` changed; paint them from the model (now or at the next pump).
    virtual void pinta(const Retangulo& area) = 0;
    // The rows top..bottom of columns left..right moved up by one (the text window
    // scrolled); front-ends that can move pixels do, the others repaint.
    virtual void rolou(const Retangulo& area, bool lenta) { (void)lenta; pinta(area); }
    virtual void atualizaCursor() = 0;

    // Next input event. With `espera` the program is idle waiting for a key: the
    // front-end may block until something happens. Without it, only what is pending.
    virtual std::optional<EventoEntrada> proximoEvento(bool espera) = 0;

    // Clock in milliseconds; the headless front-end runs a virtual one.
    virtual uint64_t agoraMs() = 0;
    virtual void dorme(int ms) = 0;
    // Sleeps up to `ms`, ending early once input has arrived (true then), so that a key
    // stops a sound without waiting out the slice. Front-ends that cannot tell sleep it all.
    virtual bool dormeAteEntrada(int ms) {
        dorme(ms);
        return false;
    }

    virtual void titulo(const std::string& textoWin1252) = 0;
    virtual bool temFoco() { return true; }
    virtual bool primeiroPlano() { return temFoco(); }

    // Lock-key state (bit 32 Num Lock, bit 64 Caps Lock) when the front-end knows it.
    virtual std::optional<int> estadoTravas() { return std::nullopt; }

    // Clipboard texts in Windows-1252.
    virtual void copiaTexto(const std::string& texto) { clipboard_ = texto; }
    virtual std::optional<std::string> leTexto() { return clipboard_; }

    // A message about the display for the user to hear, handed over once each time it
    // arises (a terminal too small for the screen); Windows-1252.
    virtual std::optional<std::string> avisoTela() { return std::nullopt; }

    // Whether program end should be shown ("Programa terminado") before closing.
    virtual void programaTerminado() {}

    // Run when the display is gone for good (the connection to it broke): the program ends
    // there and then, keeping what it must; it never comes back to the front-end.
    virtual void aoPerderTela(std::function<void()> gancho) { (void)gancho; }

private:
    std::optional<std::string> clipboard_;
};
