// The window front-end: an 80 x 25 text console drawn with SDL2 and SDL2_ttf.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/frontEnd.h"
#include "platform/sdlRecursos.h"
#include "platform/teclasJanela.h"

namespace janela {

// The magnifier's factor, 1..7 whatever the configuration says.
int zoomValido(int zoom);
// Part of the frame shown magnified around the point (x, y) of a window of the given size.
SDL_Rect origemLupa(int x, int y, int largura, int altura, int zoom);
// First cell shown when only `visiveis` of `total` cells fit, keeping the cursor in view.
int primeiraVisivel(int atual, int cursor, int visiveis, int total);
// Half the caret's blinking period in ms, as the desktop sets it in the toolkit settings
// file `settingsIni` (gtk-cursor-blink, gtk-cursor-blink-time); 0 when it must not blink.
int meioPiscarCaret(const std::filesystem::path& settingsIni);
// The caret's blinking: lit for half a period, dark for the other half, counted from the
// moment it last moved, appeared or was asked to show at once. Placing it again where it
// already is changes nothing, so a program that keeps placing the cursor while it waits
// still sees it blink.
class PiscaCaret {
  public:
    void defineMeio(int ms) { meio_ = ms; }
    // The caret at (coluna, linha), shown or not, at time `agora` (ms).
    void posiciona(uint64_t agora, int coluna, int linha, bool visivel);
    void reinicia(uint64_t agora) { inicio_ = agora; }
    bool aceso(uint64_t agora) const;

  private:
    int meio_ = 0;  // 0: always lit
    uint64_t inicio_ = 0;
    int coluna_ = -1, linha_ = -1;
    bool visivel_ = false;
};

// Cell (coluna, linha) of the grid in window pixels: each grid column `larguraColuna`
// pixels wide in the grid's picture, of which `origem` is shown, every picture pixel
// `zoom` high and `zoom * estica` wide. The caret covers this whole cell.
SDL_Rect celulaNaJanela(int coluna, int linha, int larguraColuna, int alturaCelula,
                        const SDL_Rect& origem, int zoom, int estica);

// Clipboard texts of the desktop end lines with LF; the program's with CR LF.
std::string quebrasWindows(std::string_view texto);
std::string quebrasLinux(std::string_view texto);

struct FonteEscolhida {
    std::string arquivo;
    int indice = 0;
    std::string familia;
    bool monoespacada = false;
    bool negrita = false;  // the face itself is bold
};
// Font files to try for the configured family, best first: the family when fontconfig
// has it as a monospace face, then DejaVu Sans Mono, then any monospace face, and last
// whatever fontconfig offers for the family even if proportional.
std::vector<FonteEscolhida> fontesCandidatas(const std::string& familia, int peso);

}  // namespace janela

class FrontEndJanela : public FrontEnd {
  public:
    FrontEndJanela();
    ~FrontEndJanela() override;
    FrontEndJanela(const FrontEndJanela&) = delete;
    FrontEndJanela& operator=(const FrontEndJanela&) = delete;

    // nullptr when no graphical display is reachable.
    static std::unique_ptr<FrontEndJanela> cria();

    bool abre(const ConfigJanela& config, const ModeloTela& tela) override;
    void fecha() override;
    void pinta(const Retangulo& area) override;
    void atualizaCursor() override;
    std::optional<EventoEntrada> proximoEvento(bool espera) override;
    uint64_t agoraMs() override;
    void dorme(int ms) override;
    bool dormeAteEntrada(int ms) override;
    void titulo(const std::string& textoWin1252) override;
    bool temFoco() override;
    bool primeiroPlano() override;
    std::optional<int> estadoTravas() override;
    void copiaTexto(const std::string& texto) override;
    std::optional<std::string> leTexto() override;
    void programaTerminado() override;
    void aoPerderTela(std::function<void()> gancho) override { aoPerderTela_ = std::move(gancho); }
    // The connection to the display broke: the window is left as it is (no call may reach
    // the display any more) and the program ends through aoPerderTela, else at once.
    [[noreturn]] void perdeuTela();

    // What the window shows now, as ARGB pixels (for checks of the drawing).
    struct Captura {
        int largura = 0, altura = 0;
        std::vector<uint32_t> pixels;
        uint32_t pixel(int x, int y) const { return pixels[static_cast<size_t>(y * largura + x)]; }
    };
    std::optional<Captura> capturaJanela();
    int larguraCelula() const { return larguraCel_; }
    // Wide letters are drawn from the font's outlines (else the normal ones stretched).
    bool letrasLargasDeContorno() const { return fonteLarga_ != nullptr; }
    int alturaCelula() const { return alturaCel_; }
    const std::string& arquivoFonte() const { return arquivoFonte_; }
    SDL_Window* janelaSdl() const { return janela_.get(); }

  private:
    class BibliotecaTtf {
      public:
        BibliotecaTtf() : ok_(TTF_Init() == 0) {}
        ~BibliotecaTtf() {
            if (ok_) TTF_Quit();
        }
        BibliotecaTtf(const BibliotecaTtf&) = delete;
        BibliotecaTtf& operator=(const BibliotecaTtf&) = delete;
        bool ok() const { return ok_; }

      private:
        bool ok_;
    };
    struct Sujeira {  // dirty columns of one row; vazia when primeira > ultima
        int primeira = ModeloTela::colunas, ultima = -1;
    };

    bool carregaFonte();
    bool criaQuadro();
    void marcaTudo();
    void bombeia();
    bool dormeLendo(int ms, bool acordaComEntrada);
    void trataEvento(const SDL_Event& e);
    void trataJanela(const SDL_WindowEvent& e);
    void trataMouse(const SDL_Event& e);
    bool pintaSujas();
    void pintaTrecho(int linha, int primeira, int ultima);
    void compoe();
    void apresentaSeNecessario();
    SDL_Rect origemNormal(int largura, int altura, int colunas);
    bool duplo() const { return tela_ && tela_->larguraDupla; }
    // Columns of the grid shown: 40 with wide letters.
    int colunasVisiveis() const { return duplo() ? ModeloTela::colunas / 2 : ModeloTela::colunas; }
    // A column's width in the grid's picture: wide letters drawn from the outlines take two
    // cells of it.
    int larguraColuna() const { return duplo() && fonteLarga_ ? 2 * larguraCel_ : larguraCel_; }
    // How much the picture is stretched sideways: wide letters without their own font.
    int estica() const { return duplo() && !fonteLarga_ ? 2 : 1; }
    void carregaFonteLarga(const std::string& arquivo, int indice, int pontos, int estilo);
    void desenhaCaret(const SDL_Rect& origem, int zoom);
    bool caretAceso() const;

    // Declared in the order they must be created; destroyed in reverse.
    SubsistemaSdl video_{SDL_INIT_VIDEO};
    std::optional<BibliotecaTtf> ttf_;
    PtrSdl<TTF_Font, TTF_CloseFont> fonte_;
    PtrSdl<TTF_Font, TTF_CloseFont> fonteLarga_;  // the same at twice the horizontal resolution
    PtrSdl<SDL_Window, SDL_DestroyWindow> janela_;
    PtrSdl<SDL_Renderer, SDL_DestroyRenderer> render_;
    PtrSdl<SDL_Texture, SDL_DestroyTexture> quadro_;  // the whole 80 x 25 grid

    const ModeloTela* tela_ = nullptr;
    ConfigJanela config_;
    std::string titulo_;
    std::string arquivoFonte_;
    int larguraCel_ = 0, alturaCel_ = 0;
    std::array<Sujeira, ModeloTela::linhas> sujas_{};
    bool apresentar_ = false;
    int colunaVisivel_ = 0, linhaVisivel_ = 0;
    bool lupa_ = false;
    int lupaX_ = 0, lupaY_ = 0;
    janela::PiscaCaret pisca_;
    bool caretAceso_ = true;  // as last shown
    bool clipboardLocal_ = false;
    janela::TradutorTeclado tradutor_;
    std::deque<EventoEntrada> pendentes_;
    std::function<void()> aoPerderTela_;
    bool semTela_ = false;
};
