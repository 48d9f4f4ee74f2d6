// The console: a DOS-like 80 x 25 text screen with a text window, a cursor and colour
// attributes, and a keyboard queue that delivers DOS-style key codes (a character code,
// or 0 followed by a scan code). A front-end paints the cells and feeds the native key
// events; the translation of keys into codes, braille typing, tones and the screen
// model are kept here, the same for every front-end.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"
#include "platform/frontEnd.h"

// The window settings of sections VIDEO and BRAILLE of `ini`; defaults for whatever is
// missing or not a number.
ConfigJanela leConfigJanela(const std::filesystem::path& ini);

// A 1-second square-wave tone as an in-memory RIFF WAVE (mono, 8-bit, 11025 Hz).
std::vector<uint8_t> ondaTom(int hz);

// Where the user is reading, for a display of one line (a braille display): the text line
// while the main loop waits for a key, a line editor's field, the screen review's cursor,
// or else the screen row of the console cursor.
struct FocoLeitura {
    enum class Tipo { Tela, Texto, Campo, Revisao };
    Tipo tipo = Tipo::Tela;
    std::string texto;  // Campo: the screen row before the field, then the field's text
    int coluna = 1;     // Campo: the cursor in texto; Revisao: the review cursor's column
    int linha = 1;      // Revisao: its screen row
};

struct DataSistema {
    int ano, mes, dia, diaSemana;  // diaSemana: 0 = Sunday
};

class SnCrt {
public:
    static constexpr int kColunas = ModeloTela::colunas;
    static constexpr int kLinhas = ModeloTela::linhas;
    static constexpr size_t kTamanhoFila = 64;
    // The scan code (after a 0) of a braille display's routing key; tomaRota says where to.
    static constexpr uint8_t kScanRota = 240;
    // The scan codes (after a 0) of a typed character Windows-1252 lacks and of a text
    // pasted into the terminal; once the scan code is read, tomaUnicode and tomaColagem
    // give what it stands for.
    static constexpr uint8_t kScanUnicode = 241;
    static constexpr uint8_t kScanColagem = 242;

    // `ini` is the file the window settings are read from when the window is created.
    SnCrt(std::unique_ptr<FrontEnd> frente, DispositivoAudio& audio, std::filesystem::path ini);
    ~SnCrt();
    SnCrt(const SnCrt&) = delete;
    SnCrt& operator=(const SnCrt&) = delete;

    // Screen output.
    void escreve(std::string_view texto);
    void GotoXY(int x, int y);
    int WhereX();
    int WhereY();
    void ClrScr();
    void ClrEol();
    void Window(int x1, int y1, int x2, int y2);
    void TextColor(int cor);
    void TextBackground(int cor);
    uint8_t atributoTexto() const { return atributo_; }
    uint8_t caractereEm(int x, int y);  // 1-based screen position
    uint8_t atributoEm(int x, int y);
    void titulo(const std::string& texto);
    void mostraCursor();
    void escondeCursor();
    // Wide letters: only the first 40 columns shown, at twice their width (in the window).
    void larguraDupla(bool dupla);

    // Time, tones, clipboard.
    void Delay(int ms);
    // Like Delay, but a key ends the wait: whether a key is waiting. The waits of a sound
    // that a key stops use it, so the silence comes when the key does.
    bool esperaTecla(int ms);
    uint64_t agoraMs();
    void Sound(int hz);
    void NoSound();
    void bipSistema();
    // Why no sound reaches a speaker, or empty.
    std::string semSom() { return audio_.semDispositivo(); }
    void copiaClipboard(std::string_view texto);
    // False (and `buffer` unchanged) when the clipboard cannot be read; the text is cut to
    // `tamanho` - 1 characters, as a zero-terminated buffer of that size holds.
    bool leClipboard(std::string& buffer, size_t tamanho);
    DataSistema GetDate();

    // Keyboard.
    bool teclaPressionada();
    uint8_t leTecla();
    void esperaMensagem();  // idle until the front-end has something (a key, focus, ...)
    // A line read as the standard input does: ends with Enter (or Ctrl+Z with the
    // end-of-file check on), keeps at most `tamanho` - 2 characters, ends in CR LF.
    std::string leLinha(size_t tamanho);
    void limpaFila();
    // After a beep: the keys waiting that are commands (a key held down repeats them) are
    // dropped; typed text, pastes and focus changes stay.
    void descartaComandos();
    void ligaVerificaInterrupcao(bool ligado) { verificaInterrupcao_ = ligado; }
    void ligaRelatorioFoco(bool ligado) { relatorioFoco_ = ligado; }
    void ligaVerificaFimArquivo(bool ligado) { verificaFimArquivo_ = ligado; }
    const Modificadores& modificadores() const { return modificadores_; }
    std::optional<int> estadoTravas();
    bool primeiroPlano();
    int modoBraille() const { return modoBraille_; }

    // Closes the window and ends the program. Hooks run first, in order (the speech trace
    // and the screen dump are written there).
    [[noreturn]] void terminaConsole();
    void aoTerminar(std::function<void()> gancho) { ganchosFim_.push_back(std::move(gancho)); }
    // Ended from outside (the window closed, the terminal gone, a signal): these run first,
    // once, then the console closes as above.
    [[noreturn]] void encerraDeFora();
    void aoEncerrarDeFora(std::function<void()> gancho) {
        ganchosFora_.push_back(std::move(gancho));
    }
    // Run whenever the program waits for input with nothing in the queue (idle time).
    void aoOcioso(std::function<void()> gancho) { ocioso_ = std::move(gancho); }
    // Run each time input is looked at (a braille display is read there); `espera` when
    // the program waits for the user's next key.
    void aoBombear(std::function<void(bool espera)> gancho) { bombear_.push_back(std::move(gancho)); }

    // What the user reads, kept by whoever has the keys (main loop, line editor, review).
    FocoLeitura& foco() { return foco_; }
    // A routing key asks for the cursor at `coluna` of what the focus shows: queued as the
    // key 0, kScanRota, whose reader takes the column with tomaRota.
    void pedeRota(int coluna);
    std::optional<int> tomaRota();
    std::optional<char32_t> tomaUnicode();
    std::optional<std::string> tomaColagem();
    // Dots typed on a braille display's keyboard (bits 0..7 dots 1..8, 256 the space bar):
    // the character of the same chord on the window's six keys, queued.
    void digitaPontos(int pontos);
    // Tests replace the process exit; it must not return to the caller's flow.
    void defineSaida(std::function<void(int)> saida) { saida_ = std::move(saida); }

    // One native event, as the front-end delivers it (tests feed events here directly).
    void trataEvento(const EventoEntrada& evento);
    const ModeloTela& tela() const { return tela_; }
    size_t teclasNaFila() const { return fila_.size(); }
    bool janelaCriada() const { return criada_; }
    void garanteJanela();
    FrontEnd& frente() { return *frente_; }
    // The front-end to use when this one cannot open its display.
    void defineAlternativa(std::function<std::unique_ptr<FrontEnd>()> alternativa) {
        alternativa_ = std::move(alternativa);
    }

private:
    void bombeia(bool espera);
    void enfileira(uint8_t codigo);
    bool enfileiraEstendida(uint8_t scan);
    void descartaTudo();
    void trataTeclaDesce(const EventoEntrada& ev);
    void trataTeclaSobe(const EventoEntrada& ev);
    void trataCaractere(const EventoEntrada& ev);
    void trataFoco(bool ganhou);
    void finalizaAcorde();
    uint8_t caractereDoAcorde(uint8_t acorde);
    uint8_t aplicaSinaisBraille(uint8_t c);
    void mudaModoBraille(int modo);
    void novaLinha();
    void rola();
    void pintaLinha(int linha, int colIni, int colFim);
    void posicionaCursor();
    int largura() const { return janela_.direita - janela_.esquerda + 1; }
    int altura() const { return janela_.base - janela_.topo + 1; }
    uint8_t& celula(int col, int lin) { return tela_.caracteres[lin * kColunas + col]; }
    uint8_t& atributoCelula(int col, int lin) { return tela_.atributos[lin * kColunas + col]; }

    std::unique_ptr<FrontEnd> frente_;
    DispositivoAudio& audio_;
    std::filesystem::path ini_;
    ModeloTela tela_;
    ConfigJanela config_;
    Retangulo janela_{0, 0, kColunas - 1, kLinhas - 1};
    int cursorX_ = 0, cursorY_ = 0;  // relative to the text window, 0-based
    uint8_t atributo_ = 0x0F;
    bool criada_ = false, focada_ = true, lendo_ = false, cursorMostrado_ = false;
    bool terminando_ = false;

    std::vector<uint8_t> fila_;
    // What the queued keys kScanUnicode and kScanColagem stand for, in their order, and
    // those of the last one read.
    std::deque<char32_t> unicodes_;
    std::deque<std::string> colagens_;
    std::optional<char32_t> unicodeLido_;
    std::optional<std::string> colagemLida_;
    bool leuZero_ = false;  // the last code read was a 0: the next one is a scan code
    bool verificaInterrupcao_ = true;
    bool relatorioFoco_ = false;
    bool verificaFimArquivo_ = false;
    Modificadores modificadores_;

    int modoBraille_ = 0;
    uint8_t acorde_ = 0;       // dot bits of the chord being typed, 64 = space
    uint8_t seguradas_ = 0;    // braille keys still held
    bool estadoNumero_ = false, maiusculaUma_ = false, maiusculaFixa_ = false;

    bool tomTocando_ = false;
    std::vector<std::function<void()>> ganchosFim_;
    std::vector<std::function<void()>> ganchosFora_;
    bool encerrandoDeFora_ = false;
    std::function<void()> ocioso_;
    std::vector<std::function<void(bool)>> bombear_;
    FocoLeitura foco_;
    std::optional<int> rota_;
    bool emOcioso_ = false;
    std::function<void(int)> saida_;
    std::function<std::unique_ptr<FrontEnd>()> alternativa_;
};
