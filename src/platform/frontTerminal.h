// The parts of the terminal front-end that do not touch the terminal, kept apart so
// they can be tested: painting the screen model as ANSI output, pacing key events to
// the console, and the title and clipboard sequences. The front-end itself is made by
// criaFrontEndTerminal() (platform/frontEnds.h).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/frontEnd.h"

// Turns the screen model into the bytes that bring the terminal up to date. It keeps a
// copy of what the terminal shows, so only cells that changed are written.
class PintorTerminal {
  public:
    // The terminal's size; a change makes the next update redraw everything.
    void tamanho(int colunas, int linhas);
    // The terminal's contents are unknown: the next update clears and redraws it.
    void invalida() { sombraValida_ = false; }
    // Narrower than 80 columns or shorter than 24 rows: a message asks for a bigger
    // terminal instead. At 24 rows one row of the 25 is left out (linhaOmitida).
    static constexpr int kLinhasMinimas = ModeloTela::linhas - 1;
    bool pequeno() const { return colunas_ < ModeloTela::colunas || linhas_ < kLinhasMinimas; }
    std::string atualiza(const ModeloTela& tela);
    // The message shown when the terminal is too small (Windows-1252).
    std::string textoPequeno() const;

  private:
    static constexpr size_t kCelulas = ModeloTela::colunas * ModeloTela::linhas;
    std::array<uint8_t, kCelulas> caracteres_{};
    std::array<uint8_t, kCelulas> atributos_{};
    std::array<uint8_t, 16> tabela_{};
    bool sombraValida_ = false;
    bool avisoMostrado_ = false;
    int colunas_ = ModeloTela::colunas;
    int linhas_ = ModeloTela::linhas;
    int cursorColuna_ = -1, cursorLinha_ = -1;
    std::optional<bool> cursorVisivel_;
    int omitida_ = -1;  // the model's row not shown, -1 for none

    std::string avisoPequeno();
    int linhaOmitida(const ModeloTela& tela) const;
    int linhaTerminal(int linhaModelo) const;
    bool pintaCelulas(const ModeloTela& tela, std::string& saida);
    void posicionaCursor(const ModeloTela& tela, bool moveu, std::string& saida);
};

// Holds decoded events and hands them to the console. The console drains everything
// pending into a 64-byte key queue, so a paste or a key storm would overflow it: after
// each wait for a key (or a while without one) at most kTeclasPorVez keys go through,
// and the rest wait for the next time.
class EntregaTeclas {
  public:
    static constexpr int kTeclasPorVez = 30;  // extended keys take two bytes of the queue
    static constexpr uint64_t kRecargaMs = 500;

    void acrescenta(const std::vector<EventoEntrada>& eventos);
    std::optional<EventoEntrada> proxima(bool espera, uint64_t agoraMs);
    bool vazia() const { return fila_.empty(); }

  private:
    std::deque<EventoEntrada> fila_;
    int cota_ = kTeclasPorVez;
    uint64_t recargaMs_ = 0;
};

// OSC 0 with the window title; control characters are left out.
std::string sequenciaTitulo(std::string_view textoWin1252);
// OSC 52 putting the text on the system clipboard (UTF-8, line ends as '\n'); empty
// when the text is too long for terminals to take.
std::string sequenciaCopia(std::string_view textoWin1252);
// The desktop's clipboard read with wl-paste (Wayland) or xclip (X11) when one of them and
// a display are there, in UTF-8; nothing otherwise or when it does not answer in time.
std::optional<std::string> leClipboardDesktop();
