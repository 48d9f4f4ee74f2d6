#include "platform/frontJanela.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/frontEnds.h"
#include "platform/ini.h"

namespace janela {

int zoomValido(int zoom) {
    return std::clamp(zoom, 1, 7);
}

SDL_Rect origemLupa(int x, int y, int largura, int altura, int zoom) {
    zoom = zoomValido(zoom);
    x = std::clamp(x, 0, std::max(0, largura));
    y = std::clamp(y, 0, std::max(0, altura));
    return {std::max(0, x - x / zoom), std::max(0, y - y / zoom), largura / zoom, altura / zoom};
}

int primeiraVisivel(int atual, int cursor, int visiveis, int total) {
    visiveis = std::max(1, visiveis);
    if (visiveis >= total) return 0;
    if (cursor < atual) atual = cursor;
    if (cursor >= atual + visiveis) atual = cursor - visiveis + 1;
    return std::clamp(atual, 0, total - visiveis);
}

int meioPiscarCaret(const std::filesystem::path& settingsIni) {
    constexpr int kCicloPadrao = 1200;  // the toolkit's own default, in ms
    const std::string pisca = leIniArquivo(settingsIni, "Settings", "gtk-cursor-blink");
    if (pisca == "false" || pisca == "0") return 0;
    const auto ciclo = inteiroIni(leIniArquivo(settingsIni, "Settings", "gtk-cursor-blink-time"));
    // A period too short to see or absurdly long falls back to the default.
    const long ms = ciclo && *ciclo >= 200 && *ciclo <= 10000 ? *ciclo : kCicloPadrao;
    return static_cast<int>(ms / 2);
}

void PiscaCaret::posiciona(uint64_t agora, int coluna, int linha, bool visivel) {
    if (coluna == coluna_ && linha == linha_ && visivel == visivel_) return;
    coluna_ = coluna;
    linha_ = linha;
    visivel_ = visivel;
    inicio_ = agora;  // a caret that moved is seen at once
}

bool PiscaCaret::aceso(uint64_t agora) const {
    if (meio_ <= 0 || agora < inicio_) return true;
    return (agora - inicio_) / static_cast<uint64_t>(meio_) % 2 == 0;
}

SDL_Rect celulaNaJanela(int coluna, int linha, int larguraColuna, int alturaCelula,
                        const SDL_Rect& origem, int zoom, int estica) {
    return {(coluna * larguraColuna - origem.x) * zoom * estica,
            (linha * alturaCelula - origem.y) * zoom, larguraColuna * zoom * estica,
            alturaCelula * zoom};
}

std::string quebrasWindows(std::string_view texto) { return quebrasCrLf(texto); }

std::string quebrasLinux(std::string_view texto) { return quebrasLf(texto); }

namespace {

using ConfigFc = PtrSdl<FcConfig, FcConfigDestroy>;
using PadraoFc = PtrSdl<FcPattern, FcPatternDestroy>;

using ConjuntoFc = PtrSdl<FcFontSet, FcFontSetDestroy>;

// The font file itself, as fontconfig lists it. (A matched pattern is no good for checking:
// fontconfig fills what the font lacks from the request, so a proportional face would come
// back "monospace" just because we asked for it.)
std::optional<FonteEscolhida> descreveFonte(FcPattern* fonte) {
    FcChar8* arquivo = nullptr;
    if (FcPatternGetString(fonte, FC_FILE, 0, &arquivo) != FcResultMatch) return std::nullopt;
    FcBool escalavel = FcFalse;
    FcPatternGetBool(fonte, FC_SCALABLE, 0, &escalavel);
    if (!escalavel) return std::nullopt;  // bitmap faces cannot take the configured height
    FonteEscolhida f;
    f.arquivo = reinterpret_cast<const char*>(arquivo);
    FcPatternGetInteger(fonte, FC_INDEX, 0, &f.indice);
    FcChar8* nome = nullptr;
    if (FcPatternGetString(fonte, FC_FAMILY, 0, &nome) == FcResultMatch)
        f.familia = reinterpret_cast<const char*>(nome);
    int espacamento = FC_PROPORTIONAL;
    FcPatternGetInteger(fonte, FC_SPACING, 0, &espacamento);
    f.monoespacada = espacamento == FC_MONO || espacamento == FC_DUAL || espacamento == FC_CHARCELL;
    int peso = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(fonte, FC_WEIGHT, 0, &peso);
    f.negrita = peso >= FC_WEIGHT_DEMIBOLD;
    return f;
}

// The best scalable face fontconfig has for a monospace `familia` of weight `peso`.
std::optional<FonteEscolhida> casaFonte(FcConfig* cfg, const std::string& familia, int peso) {
    PadraoFc padrao(FcPatternCreate());
    if (!padrao) return std::nullopt;
    FcPatternAddString(padrao.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(familia.c_str()));
    FcPatternAddInteger(padrao.get(), FC_SPACING, FC_MONO);
    FcPatternAddInteger(padrao.get(), FC_WEIGHT, FcWeightFromOpenType(std::clamp(peso, 1, 1000)));
    FcPatternAddBool(padrao.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(cfg, padrao.get(), FcMatchPattern);
    FcDefaultSubstitute(padrao.get());
    FcResult resultado = FcResultNoMatch;
    ConjuntoFc ordem(FcFontSort(cfg, padrao.get(), FcFalse, nullptr, &resultado));
    if (!ordem) return std::nullopt;
    for (int i = 0; i < ordem->nfont; ++i)
        if (auto f = descreveFonte(ordem->fonts[i])) return f;
    return std::nullopt;
}

void acrescentaSemRepetir(std::vector<FonteEscolhida>& lista, std::optional<FonteEscolhida> f) {
    if (!f) return;
    for (const auto& g : lista)
        if (g.arquivo == f->arquivo && g.indice == f->indice) return;
    lista.push_back(std::move(*f));
}

}  // namespace

std::vector<FonteEscolhida> fontesCandidatas(const std::string& familia, int peso) {
    std::vector<FonteEscolhida> lista;
    ConfigFc cfg(FcInitLoadConfigAndFonts());
    if (!cfg) return lista;
    std::optional<FonteEscolhida> pedida;
    if (!familia.empty()) pedida = casaFonte(cfg.get(), familia, peso);
    if (pedida && pedida->monoespacada) acrescentaSemRepetir(lista, pedida);
    for (const char* reserva : {"DejaVu Sans Mono", "monospace"}) {
        auto f = casaFonte(cfg.get(), reserva, peso);
        if (f && f->monoespacada) acrescentaSemRepetir(lista, f);
    }
    acrescentaSemRepetir(lista, pedida);
    return lista;
}

}  // namespace janela

namespace {

constexpr int kColunas = ModeloTela::colunas;
constexpr int kLinhas = ModeloTela::linhas;

#ifdef PLUMAR_COM_X11
// Xlib's own declarations (its header's macros would clash with the names here).
extern "C" {
struct _XDisplay;
using ManejoErroEsX = int (*)(_XDisplay*);
ManejoErroEsX XSetIOErrorHandler(ManejoErroEsX);
}

// The window on the X display. Xlib reports a broken connection to one handler of the whole
// process and ends the process when it returns: the handler reaches the window through this.
FrontEndJanela* gJanelaX = nullptr;

extern "C" int aoPerderConexaoX(_XDisplay*) {
    if (FrontEndJanela* janela = std::exchange(gJanelaX, nullptr)) janela->perdeuTela();
    std::exit(1);
}
#endif

// The window loses its display when the X connection breaks (the X server ended, the
// session logged out): the program keeps the text as when the window is closed.
void vigiaConexao(FrontEndJanela* janela) {
#ifdef PLUMAR_COM_X11
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || SDL_strcmp(driver, "x11") != 0) return;
    gJanelaX = janela;
    XSetIOErrorHandler(aoPerderConexaoX);
#else
    (void)janela;
#endif
}

// The height the configuration asks for, within what a console can show.
int alturaValida(int altura) {
    return altura <= 0 ? 22 : std::clamp(altura, 6, 96);
}

// What a cell shows: control codes and the bytes Windows-1252 leaves undefined are blank.
char visivel(uint8_t c) {
    if (c < 32 || c == 127) return ' ';
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) return ' ';
    return static_cast<char>(c);
}

void usaCor(SDL_Renderer* r, const std::array<uint8_t, 3>& cor) {
    SDL_SetRenderDrawColor(r, cor[0], cor[1], cor[2], 255);
}

// One letter in the cell `celula`, clipped to it; nothing for a blank.
void desenhaLetra(SDL_Renderer* r, TTF_Font* fonte, char letra, const SDL_Rect& celula,
                  const std::array<uint8_t, 3>& cor) {
    if (letra == ' ') return;
    PtrSdl<SDL_Surface, SDL_FreeSurface> sup(TTF_RenderUTF8_Blended(
        fonte, win1252ParaUtf8(std::string(1, letra)).c_str(), SDL_Color{cor[0], cor[1], cor[2], 255}));
    if (!sup) return;
    PtrSdl<SDL_Texture, SDL_DestroyTexture> tex(SDL_CreateTextureFromSurface(r, sup.get()));
    if (!tex) return;
    SDL_Rect origem{0, 0, std::min(sup->w, celula.w), std::min(sup->h, celula.h)};
    SDL_Rect destino{celula.x, celula.y, origem.w, origem.h};
    SDL_RenderCopy(r, tex.get(), &origem, &destino);
}

// A graphical display is reachable: the user chose a video driver, or X or Wayland is there.
bool haTela() {
    for (const char* v : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* valor = std::getenv(v);
        if (valor && *valor) return true;
    }
    return false;
}

// Drivers that draw nowhere visible, or take over the whole text console.
bool driverSemJanela(const char* driver) {
    if (!driver) return true;
    for (const char* d : {"dummy", "offscreen", "KMSDRM", "evdev"})
        if (SDL_strcasecmp(driver, d) == 0) return true;
    return false;
}

}  // namespace

FrontEndJanela::FrontEndJanela() = default;

FrontEndJanela::~FrontEndJanela() {
    fecha();
#ifdef PLUMAR_COM_X11
    if (gJanelaX == this) gJanelaX = nullptr;
#endif
}

std::unique_ptr<FrontEndJanela> FrontEndJanela::cria() {
    if (!haTela()) return nullptr;
    // A text editor must neither keep the screen saver away nor switch the compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    auto f = std::make_unique<FrontEndJanela>();
    if (!f->video_.iniciado()) return nullptr;
    const char* pedido = std::getenv("SDL_VIDEODRIVER");
    if (!(pedido && *pedido) && driverSemJanela(SDL_GetCurrentVideoDriver())) return nullptr;
    // Without a single font the window could show nothing; the terminal can.
    if (janela::fontesCandidatas("", 400).empty()) return nullptr;
    return f;
}

std::unique_ptr<FrontEnd> criaFrontEndJanela() {
    return FrontEndJanela::cria();
}

bool FrontEndJanela::abre(const ConfigJanela& config, const ModeloTela& tela) {
    fecha();
    if (!video_.iniciado()) return false;
    tela_ = &tela;
    config_ = config;
    ttf_.emplace();
    if (!ttf_->ok() || !carregaFonte()) {
        fecha();
        return false;
    }
    Uint32 flags = SDL_WINDOW_RESIZABLE | (config_.maximizada ? SDL_WINDOW_MAXIMIZED : 0);
    janela_.reset(SDL_CreateWindow(win1252ParaUtf8(titulo_).c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, kColunas * larguraCel_,
                                   kLinhas * alturaCel_, flags));
    if (!janela_) {
        fecha();
        return false;
    }
    SDL_SetWindowMinimumSize(janela_.get(), 16 * larguraCel_, 4 * alturaCel_);
    SDL_SetWindowMaximumSize(janela_.get(), kColunas * larguraCel_, kLinhas * alturaCel_);
    render_.reset(SDL_CreateRenderer(janela_.get(), -1, SDL_RENDERER_TARGETTEXTURE));
    if (!render_) render_.reset(SDL_CreateRenderer(janela_.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!render_ || !criaQuadro()) {
        fecha();
        return false;
    }
    SDL_StartTextInput();
    vigiaConexao(this);
    const auto gtk = pastaXdg("XDG_CONFIG_HOME", ".config") / "gtk-3.0" / "settings.ini";
    pisca_.defineMeio(janela::meioPiscarCaret(gtk));
    pisca_.reinicia(agoraMs());
    marcaTudo();
    apresentaSeNecessario();
    return true;
}

bool FrontEndJanela::carregaFonte() {
    const int altura = alturaValida(config_.alturaLetra);
    const bool querNegrito = config_.pesoLetra >= 600;
    for (const auto& candidata : janela::fontesCandidatas(config_.fonte, config_.pesoLetra)) {
        PtrSdl<TTF_Font, TTF_CloseFont> f(
            TTF_OpenFontIndex(candidata.arquivo.c_str(), altura, candidata.indice));
        if (!f) continue;
        // The configured height is the height of a line; the point size is what gives it.
        int alturaFonte = TTF_FontHeight(f.get());
        int pontos = altura;
        if (alturaFonte > 0 && alturaFonte != altura) {
            pontos = std::max(4, (altura * altura + alturaFonte / 2) / alturaFonte);
            TTF_SetFontSize(f.get(), pontos);
        }
        const int estilo = querNegrito && !candidata.negrita ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL;
        TTF_SetFontStyle(f.get(), estilo);
        TTF_SetFontKerning(f.get(), 0);  // every cell keeps its place in the grid
        int avanco = 0;
        if (TTF_GlyphMetrics32(f.get(), 'M', nullptr, nullptr, nullptr, nullptr, &avanco) != 0)
            continue;
        if (avanco <= 0 || TTF_FontLineSkip(f.get()) <= 0) continue;
        larguraCel_ = avanco;
        alturaCel_ = TTF_FontLineSkip(f.get());
        arquivoFonte_ = candidata.arquivo;
        fonte_ = std::move(f);
        carregaFonteLarga(candidata.arquivo, candidata.indice, pontos, estilo);
        return true;
    }
    return false;
}

// Wide letters (Ctrl+F7): the same face rendered at twice the horizontal resolution, so the
// letters are drawn wide from their outlines, as smooth as the normal ones. Without it the
// normal picture is stretched.
void FrontEndJanela::carregaFonteLarga(const std::string& arquivo, int indice, int pontos,
                                       int estilo) {
    constexpr unsigned kDpi = 72;  // the resolution a size without one is rendered at
    fonteLarga_.reset(TTF_OpenFontIndexDPI(arquivo.c_str(), pontos, indice, 2 * kDpi, kDpi));
    if (!fonteLarga_) return;
    TTF_SetFontStyle(fonteLarga_.get(), estilo);
    TTF_SetFontKerning(fonteLarga_.get(), 0);
    int avanco = 0;
    const bool mede =
        TTF_GlyphMetrics32(fonteLarga_.get(), 'M', nullptr, nullptr, nullptr, nullptr, &avanco) == 0;
    // A face that does not widen (or grows taller) would not fill its cells.
    if (!mede || avanco <= larguraCel_ || TTF_FontLineSkip(fonteLarga_.get()) > alturaCel_ + 1)
        fonteLarga_.reset();
}

bool FrontEndJanela::criaQuadro() {
    quadro_.reset(SDL_CreateTexture(render_.get(), SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_TARGET, kColunas * larguraCel_,
                                    kLinhas * alturaCel_));
    return quadro_ != nullptr;
}

void FrontEndJanela::fecha() {
    if (semTela_) {
        // Nothing can reach the display now: what it held goes with the program.
        (void)quadro_.release();
        (void)render_.release();
        (void)janela_.release();
    }
    if (janela_) {
        SDL_StopTextInput();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);  // they belong to the window that goes
    }
    quadro_.reset();
    render_.reset();
    janela_.reset();
    fonteLarga_.reset();
    fonte_.reset();
    ttf_.reset();
    tela_ = nullptr;
    lupa_ = false;
    pendentes_.clear();
}

void FrontEndJanela::marcaTudo() {
    sujas_.fill({0, kColunas - 1});
    apresentar_ = true;
}

void FrontEndJanela::pinta(const Retangulo& area) {
    const int topo = std::max(area.topo, 0), base = std::min(area.base, kLinhas - 1);
    const int esquerda = std::max(area.esquerda, 0), direita = std::min(area.direita, kColunas - 1);
    if (esquerda > direita) return;
    for (int l = topo; l <= base; ++l) {
        sujas_[l].primeira = std::min(sujas_[l].primeira, esquerda);
        sujas_[l].ultima = std::max(sujas_[l].ultima, direita);
    }
}

void FrontEndJanela::atualizaCursor() {
    apresentar_ = true;
    if (tela_) pisca_.posiciona(agoraMs(), tela_->cursorColuna, tela_->cursorLinha, tela_->cursorVisivel);
}

bool FrontEndJanela::caretAceso() const {
    return pisca_.aceso(SDL_GetTicks64());
}

bool FrontEndJanela::pintaSujas() {
    if (!render_ || !quadro_ || !tela_) return false;
    bool pintou = false;
    SDL_SetRenderTarget(render_.get(), quadro_.get());
    for (int l = 0; l < kLinhas; ++l) {
        auto& s = sujas_[l];
        if (s.primeira > s.ultima) continue;
        // Runs of cells of one attribute: one background and one text drawing each.
        int inicio = s.primeira;
        for (int c = s.primeira + 1; c <= s.ultima + 1; ++c) {
            if (c <= s.ultima && tela_->atributo(c, l) == tela_->atributo(inicio, l)) continue;
            pintaTrecho(l, inicio, c - 1);
            inicio = c;
        }
        s = Sujeira{};
        pintou = true;
    }
    SDL_SetRenderTarget(render_.get(), nullptr);
    return pintou;
}

void FrontEndJanela::pintaTrecho(int linha, int primeira, int ultima) {
    const uint8_t atr = tela_->atributo(primeira, linha);
    const int largura = larguraColuna();
    // Wide letters from the outlines fill the picture with the first 40 columns.
    if (largura != larguraCel_) {
        ultima = std::min(ultima, colunasVisiveis() - 1);
        if (primeira > ultima) return;
    }
    const int n = ultima - primeira + 1;
    SDL_Rect fundo{primeira * largura, linha * alturaCel_, n * largura, alturaCel_};
    usaCor(render_.get(), tela_->corFundo(atr));
    SDL_RenderFillRect(render_.get(), &fundo);
    const auto cor = tela_->corLetra(atr);
    if (largura != larguraCel_) {
        // One letter at a time: the wide face's advance may be a pixel off twice the cell.
        for (int c = primeira; c <= ultima; ++c)
            desenhaLetra(render_.get(), fonteLarga_.get(), visivel(tela_->caractere(c, linha)),
                         {c * largura, fundo.y, largura, alturaCel_}, cor);
        return;
    }

    std::string texto;
    for (int c = primeira; c <= ultima; ++c) texto += visivel(tela_->caractere(c, linha));
    texto.erase(texto.find_last_not_of(' ') + 1);
    if (texto.empty()) return;
    PtrSdl<SDL_Surface, SDL_FreeSurface> sup(TTF_RenderUTF8_Blended(
        fonte_.get(), win1252ParaUtf8(texto).c_str(), SDL_Color{cor[0], cor[1], cor[2], 255}));
    if (!sup) return;
    PtrSdl<SDL_Texture, SDL_DestroyTexture> tex(
        SDL_CreateTextureFromSurface(render_.get(), sup.get()));
    if (!tex) return;
    // Clipped to the run's cells, so an overhanging glyph never covers a neighbour.
    SDL_Rect origem{0, 0, std::min(sup->w, fundo.w), std::min(sup->h, alturaCel_)};
    SDL_Rect destino{fundo.x, fundo.y, origem.w, origem.h};
    SDL_RenderCopy(render_.get(), tex.get(), &origem, &destino);
}

SDL_Rect FrontEndJanela::origemNormal(int largura, int altura, int colunas) {
    // A window smaller than the grid follows the cursor, as a console with scroll bars would.
    const int coluna = larguraColuna();
    colunaVisivel_ = janela::primeiraVisivel(colunaVisivel_, tela_->cursorColuna,
                                             largura / coluna, colunas);
    linhaVisivel_ =
        janela::primeiraVisivel(linhaVisivel_, tela_->cursorLinha, altura / alturaCel_, kLinhas);
    return {colunaVisivel_ * coluna, linhaVisivel_ * alturaCel_, largura, altura};
}

void FrontEndJanela::compoe() {
    SDL_Renderer* r = render_.get();
    int largura = 0, altura = 0;
    SDL_GetRendererOutputSize(r, &largura, &altura);
    usaCor(r, tela_->corFundo(config_.atributo));
    SDL_RenderClear(r);

    // Wide letters: the grid's first 40 columns, twice as wide (drawn so, or stretched).
    const int escala = estica();
    const int colunas = colunasVisiveis();
    const int zoom = lupa_ ? janela::zoomValido(config_.zoom) : 1;
    SDL_Rect origem = origemNormal(largura / escala, altura, colunas);
    if (lupa_) {
        SDL_Rect l = janela::origemLupa(lupaX_ / escala, lupaY_, largura / escala, altura, zoom);
        origem = {origem.x + l.x, origem.y + l.y, l.w, l.h};
    }
    // Never read outside the grid; the rest of the window keeps the background colour.
    origem.w = std::min(origem.w, colunas * larguraColuna() - origem.x);
    origem.h = std::min(origem.h, kLinhas * alturaCel_ - origem.y);
    if (origem.w <= 0 || origem.h <= 0) return;
    SDL_Rect destino{0, 0, origem.w * zoom * escala, origem.h * zoom};
    SDL_RenderCopy(r, quadro_.get(), &origem, &destino);
    desenhaCaret(origem, zoom);
}

// A block over the whole cell in the letter's colour, the letter in the background's on
// it: easy to find for low vision, and it blinks.
void FrontEndJanela::desenhaCaret(const SDL_Rect& origem, int zoom) {
    const ModeloTela& t = *tela_;
    caretAceso_ = caretAceso();
    if (!t.cursorVisivel || !temFoco() || !caretAceso_) return;
    if (t.cursorColuna < 0 || t.cursorColuna >= colunasVisiveis() || t.cursorLinha < 0 ||
        t.cursorLinha >= kLinhas)
        return;
    const SDL_Rect bloco = janela::celulaNaJanela(t.cursorColuna, t.cursorLinha, larguraColuna(),
                                                  alturaCel_, origem, zoom, estica());
    const uint8_t atr = t.atributo(t.cursorColuna, t.cursorLinha);
    usaCor(render_.get(), t.corLetra(atr));
    SDL_RenderFillRect(render_.get(), &bloco);
    // The letter at the grid's size, then scaled as the picture is.
    PtrSdl<SDL_Texture, SDL_DestroyTexture> letra(SDL_CreateTexture(
        render_.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, larguraColuna(), alturaCel_));
    if (!letra) return;
    SDL_SetTextureBlendMode(letra.get(), SDL_BLENDMODE_BLEND);
    SDL_SetRenderTarget(render_.get(), letra.get());
    SDL_SetRenderDrawColor(render_.get(), 0, 0, 0, 0);
    SDL_RenderClear(render_.get());
    desenhaLetra(render_.get(), fonteLarga_ && duplo() ? fonteLarga_.get() : fonte_.get(),
                 visivel(t.caractere(t.cursorColuna, t.cursorLinha)),
                 {0, 0, larguraColuna(), alturaCel_}, t.corFundo(atr));
    SDL_SetRenderTarget(render_.get(), nullptr);
    SDL_RenderCopy(render_.get(), letra.get(), nullptr, &bloco);
}

void FrontEndJanela::apresentaSeNecessario() {
    if (!render_ || !quadro_ || !tela_) return;
    if (pintaSujas()) apresentar_ = true;
    if (caretAceso() != caretAceso_) apresentar_ = true;  // the caret blinks
    if (!apresentar_) return;
    compoe();
    SDL_RenderPresent(render_.get());
    apresentar_ = false;
}

std::optional<FrontEndJanela::Captura> FrontEndJanela::capturaJanela() {
    if (!render_ || !quadro_ || !tela_) return std::nullopt;
    pintaSujas();
    compoe();
    Captura c;
    SDL_GetRendererOutputSize(render_.get(), &c.largura, &c.altura);
    c.pixels.resize(static_cast<size_t>(c.largura) * static_cast<size_t>(c.altura));
    int erro = SDL_RenderReadPixels(render_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888,
                                    c.pixels.data(), c.largura * 4);
    SDL_RenderPresent(render_.get());
    apresentar_ = false;
    if (erro != 0) return std::nullopt;
    return c;
}

void FrontEndJanela::trataEvento(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            pendentes_.push_back({EventoEntrada::Tipo::Fechar, 0, 0, {}});
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            for (const auto& ev : tradutor_.tecla(e.key)) pendentes_.push_back(ev);
            break;
        case SDL_TEXTINPUT:
            for (const auto& ev : tradutor_.texto(e.text.text)) pendentes_.push_back(ev);
            break;
        case SDL_WINDOWEVENT:
            if (janela_ && e.window.windowID == SDL_GetWindowID(janela_.get()))
                trataJanela(e.window);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEMOTION:
            trataMouse(e);
            break;
        case SDL_RENDER_DEVICE_RESET:
            if (render_) criaQuadro();
            marcaTudo();
            break;
        case SDL_RENDER_TARGETS_RESET:
            marcaTudo();
            break;
        default:
            break;
    }
}

void FrontEndJanela::trataJanela(const SDL_WindowEvent& e) {
    using T = EventoEntrada::Tipo;
    switch (e.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            pendentes_.push_back({T::GanhouFoco, 0, 0, {}});
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            pendentes_.push_back({T::PerdeuFoco, 0, 0, {}});
            lupa_ = false;  // the button may be released elsewhere
            break;
        default:
            break;
    }
    apresentar_ = true;  // exposed, resized, restored: show the frame again
}

void FrontEndJanela::trataMouse(const SDL_Event& e) {
    if (e.type == SDL_MOUSEMOTION) {
        if (!lupa_) return;
        if (!(e.motion.state & SDL_BUTTON_RMASK)) lupa_ = false;
        lupaX_ = e.motion.x;
        lupaY_ = e.motion.y;
    } else {
        if (e.button.button != SDL_BUTTON_RIGHT) return;
        lupa_ = e.type == SDL_MOUSEBUTTONDOWN;
        lupaX_ = e.button.x;
        lupaY_ = e.button.y;
    }
    apresentar_ = true;
}

void FrontEndJanela::bombeia() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) trataEvento(e);
    apresentaSeNecessario();
}

std::optional<EventoEntrada> FrontEndJanela::proximoEvento(bool espera) {
    if (!janela_) {
        // A window that is not open (or could not open) is a closed window: the program
        // ends as on the close button, rather than waiting for keys that cannot come.
        if (espera) SDL_Delay(100);
        return EventoEntrada{EventoEntrada::Tipo::Fechar, 0, 0, {}};
    }
    bombeia();
    // Bounded, so the program's idle loop keeps feeding the sound device.
    if (pendentes_.empty() && espera) dormeLendo(100, true);
    if (pendentes_.empty()) return std::nullopt;
    EventoEntrada ev = pendentes_.front();
    pendentes_.pop_front();
    return ev;
}

uint64_t FrontEndJanela::agoraMs() {
    return SDL_GetTicks64();
}

void FrontEndJanela::dorme(int ms) {
    dormeLendo(ms, false);
}

bool FrontEndJanela::dormeAteEntrada(int ms) {
    return dormeLendo(ms, true);
}

// Sleeps waiting for events, each handled as it comes, so the window stays painted and the
// magnifier moving; with `acordaComEntrada`, only until one of them is input for the
// program. The event the wait takes off SDL's queue is handled right away, after those
// pumped before it, so none is lost or overtaken. The steps stay short for the caret's
// blinking.
bool FrontEndJanela::dormeLendo(int ms, bool acordaComEntrada) {
    const uint64_t fim = agoraMs() + static_cast<uint64_t>(std::max(ms, 0));
    const size_t antes = pendentes_.size();
    for (;;) {
        bombeia();
        if (acordaComEntrada && pendentes_.size() > antes) return true;
        const uint64_t agora = agoraMs();
        if (agora >= fim) return false;
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, static_cast<int>(std::min<uint64_t>(10, fim - agora))))
            trataEvento(e);
    }
}

void FrontEndJanela::titulo(const std::string& textoWin1252) {
    titulo_ = textoWin1252;
    if (janela_ && !semTela_)
        SDL_SetWindowTitle(janela_.get(), win1252ParaUtf8(textoWin1252).c_str());
}

bool FrontEndJanela::temFoco() {
    return janela_ && (SDL_GetWindowFlags(janela_.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool FrontEndJanela::primeiroPlano() {
    if (!temFoco()) return false;
    return (SDL_GetWindowFlags(janela_.get()) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

std::optional<int> FrontEndJanela::estadoTravas() {
    if (!janela_) return std::nullopt;
    const SDL_Keymod m = SDL_GetModState();
    return ((m & KMOD_NUM) ? 32 : 0) | ((m & KMOD_CAPS) ? 64 : 0);
}

void FrontEndJanela::copiaTexto(const std::string& texto) {
    // Without the desktop clipboard the text is still kept for this program's own pastes.
    clipboardLocal_ =
        !janela_ || SDL_SetClipboardText(win1252ParaUtf8(janela::quebrasLinux(texto)).c_str()) != 0;
    if (clipboardLocal_) FrontEnd::copiaTexto(texto);
}

std::optional<std::string> FrontEndJanela::leTexto() {
    if (clipboardLocal_ || !janela_) return FrontEnd::leTexto();
    if (!SDL_HasClipboardText()) return std::nullopt;
    PtrSdl<char, SDL_free> texto(SDL_GetClipboardText());
    if (!texto) return std::nullopt;
    return janela::quebrasWindows(utf8ParaWin1252(texto.get()));
}

void FrontEndJanela::perdeuTela() {
    semTela_ = true;
    if (aoPerderTela_) aoPerderTela_();
    std::exit(1);
}

void FrontEndJanela::programaTerminado() {
    titulo("Programa terminado");
    apresentar_ = true;
}
