#include "console/SnCrt.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "platform/arquivoSistema.h"

#include "platform/ini.h"
#include "platform/sinais.h"
#include "platform/teclado.h"

namespace {

constexpr std::array<std::array<uint8_t, 3>, 16> kPaleta = {{{0, 0, 0},
                                                             {0, 0, 255},
                                                             {0, 255, 0},
                                                             {0, 255, 255},
                                                             {255, 0, 0},
                                                             {142, 0, 142},
                                                             {68, 34, 34},
                                                             {192, 192, 192},
                                                             {128, 128, 128},
                                                             {128, 128, 255},
                                                             {128, 255, 128},
                                                             {128, 255, 255},
                                                             {255, 128, 128},
                                                             {255, 128, 255},
                                                             {255, 255, 0},
                                                             {255, 255, 255}}};

// The 64 braille cells, indexed by dot bits (F=1 D=2 S=4 J=8 K=16 L=32).
constexpr std::array<uint8_t, 64> kCelasBraille = {
    ' ',  'a',  ',',  'b',  '\'', 'k',  ';',  'l',  '^',  'c',  'i',  'f',  0xED, 'm',  's',  'p',
    '~',  'e',  ':',  'h',  '*',  'o',  '!',  'r',  0xAC, 'd',  'j',  'g',  0xE3, 'n',  't',  'q',
    0xFD, 0xE2, '?',  0xEA, '-',  'u',  '"',  'v',  '{',  0xEE, 0xF5, 0xE0, 0xF3, 'x',  0xE8, 0xE7,
    '$',  0xFB, 0xFF, 0xFC, '}',  'z',  '=',  0xE1, '_',  0xF4, 'w',  0xEF, '#',  'y',  0xFA, 0xE9};
constexpr uint8_t kSemCaractere = 254;
constexpr uint8_t kBitEspaco = 64;

// Bit of a braille key, 0 when the key is not one.
uint8_t bitBraille(uint16_t tecla) {
    switch (tecla) {
        case 'F': return 1;
        case 'D': return 2;
        case 'S': return 4;
        case 'J': return 8;
        case 'K': return 16;
        case 'L': return 32;
        case vk::Espaco: return kBitEspaco;
        default: return 0;
    }
}

struct Traducao {
    uint16_t tecla;
    uint8_t normal, comCtrl;
};
constexpr std::array<Traducao, 22> kTraducao = {{
    {vk::F(1), 59, 94},   {vk::F(2), 60, 95},   {vk::F(3), 61, 96},  {vk::F(4), 62, 97},
    {vk::F(5), 63, 98},   {vk::F(6), 64, 99},   {vk::F(7), 65, 100}, {vk::F(8), 66, 101},
    {vk::F(9), 67, 102},  {vk::F(10), 68, 103}, {vk::F(11), 69, 104}, {vk::F(12), 70, 105},
    {vk::Ins, 82, 255},   {vk::Del, 83, 83},    {vk::Home, 71, 119}, {vk::End, 79, 117},
    {vk::PgUp, 73, 132},  {vk::PgDn, 81, 118},  {vk::Cima, 72, 113}, {vk::Baixo, 80, 114},
    {vk::Esquerda, 75, 115}, {vk::Direita, 77, 116},
}};

// PC scan codes of the letters A..Z, for Alt+letter.
constexpr std::array<uint8_t, 26> kScanLetras = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                 36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                 31, 20, 22, 47, 17, 45, 21, 44};

// Reads a comma-separated list of up to 16 colour numbers, stopping at the first bad one.
void leTabelaCores(std::string_view texto, std::array<uint8_t, 16>& tabela) {
    size_t i = 0;
    while (i < tabela.size()) {
        size_t virgula = texto.find(',');
        auto n = inteiroIni(texto.substr(0, virgula));
        if (!n) break;
        tabela[i++] = static_cast<uint8_t>(*n & 15);
        if (virgula == std::string_view::npos) break;
        texto.remove_prefix(virgula + 1);
    }
}

bool primeiroS(const std::string& v) {
    return !v.empty() && (v[0] == 'S' || v[0] == 's');
}

int numeroOu(const std::string& v, int padrao) {
    auto n = inteiroIni(v);
    return n ? static_cast<int>(std::clamp<long>(*n, -100000, 100000)) : padrao;
}

}  // namespace

ConfigJanela leConfigJanela(const std::filesystem::path& ini) {
    ConfigJanela c;
    auto le = [&](const char* secao, const char* chave, const char* padrao) {
        return leIniArquivo(ini, secao, chave, padrao);
    };
    leTabelaCores(le("VIDEO", "TABCORES", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"), c.tabelaCores);
    c.coresFixas = primeiroS(le("VIDEO", "CORESFIXAS", "N"));
    c.rolagemLenta = primeiroS(le("VIDEO", "LENTO", "N"));
    std::string fundo = le("VIDEO", "CORFUNDO", "0");
    std::string letra = le("VIDEO", "CORLETRA", "15");
    int corFundo = fundo.empty() ? 0 : numeroOu(fundo, 0);
    int corLetra = letra.empty() ? 7 : numeroOu(letra, 15);
    c.atributo = static_cast<uint8_t>(((corFundo & 15) << 4) | (corLetra & 15));
    // Braille typing takes the keyboard's letters: only a mode the user asked for turns it
    // on, anything else leaves it off.
    const std::string modo = le("BRAILLE", "MODO", "0");
    c.modoBraille = !modo.empty() && modo[0] >= '0' && modo[0] <= '2' ? modo[0] - '0' : 0;
    std::string amplif = le("VIDEO", "AMPLIF", "2");
    c.zoom = amplif.empty() ? 2 : (static_cast<uint8_t>(amplif[0]) & 7);
    if (c.zoom < 1) c.zoom = 1;  // a zoom of 0 would divide by zero
    c.fonte = le("VIDEO", "FONTE", "Lucida Console");
    std::string largura = le("VIDEO", "LARGURALETRA", "9");
    std::string alturaL = le("VIDEO", "ALTURALETRA", "22");
    c.larguraLetra = largura.empty() ? 12 : std::clamp(numeroOu(largura, 9), 0, 200);
    c.alturaLetra = alturaL.empty() ? 18 : std::clamp(numeroOu(alturaL, 22), 4, 200);
    c.pesoLetra = std::clamp(numeroOu(le("VIDEO", "PESOLETRA", "700"), 700), 0, 1000);
    std::string canto = le("VIDEO", "CANTOTELA", "SIM");
    c.maximizada = !primeiroS(canto);
    return c;
}

std::vector<uint8_t> ondaTom(int hz) {
    constexpr int kTaxa = 11025;
    std::vector<uint8_t> onda = cabecalhoWave(FormatoAudio{1, kTaxa, 8}, kTaxa);
    // A period shorter than two samples cannot be a square wave; such tones are the highest one.
    const int periodo = std::max(2, kTaxa / std::max(1, hz));
    const int meio = periodo / 2;
    for (int i = 0; i < kTaxa; ++i) onda.push_back(i % periodo < meio ? 96 : 160);
    onda.back() = 128;
    return onda;
}

SnCrt::SnCrt(std::unique_ptr<FrontEnd> frente, DispositivoAudio& audio, std::filesystem::path ini)
    : frente_(std::move(frente)), audio_(audio), ini_(std::move(ini)) {
    fila_.reserve(kTamanhoFila);
    tela_.paleta = kPaleta;
    for (uint8_t i = 0; i < 16; ++i) tela_.tabelaCores[i] = i;
}

SnCrt::~SnCrt() {
    if (criada_) frente_->fecha();
}

void SnCrt::garanteJanela() {
    if (criada_) return;
    criada_ = true;
    config_ = leConfigJanela(ini_);
    tela_.tabelaCores = config_.tabelaCores;
    atributo_ = config_.atributo;
    tela_.caracteres.fill(' ');
    tela_.atributos.fill(atributo_);
    // A display lost for good is the window closed from outside: the text is kept.
    frente_->aoPerderTela([this] { encerraDeFora(); });
    if (!frente_->abre(config_, tela_) && alternativa_) {
        if (auto outra = alternativa_(); outra && outra->abre(config_, tela_)) frente_ = std::move(outra);
    }
    focada_ = frente_->temFoco();
    frente_->pinta({0, 0, kColunas - 1, kLinhas - 1});
    modoBraille_ = config_.modoBraille;
}

// ---------------------------------------------------------------- screen output

void SnCrt::pintaLinha(int linha, int colIni, int colFim) {
    frente_->pinta({colIni, linha, colFim, linha});
}

void SnCrt::posicionaCursor() {
    tela_.cursorColuna = janela_.esquerda + cursorX_;
    tela_.cursorLinha = janela_.topo + cursorY_;
    tela_.cursorVisivel = cursorMostrado_ && focada_;
    frente_->atualizaCursor();
}

void SnCrt::rola() {
    for (int lin = janela_.topo; lin < janela_.base; ++lin)
        for (int col = janela_.esquerda; col <= janela_.direita; ++col) {
            celula(col, lin) = celula(col, lin + 1);
            atributoCelula(col, lin) = atributoCelula(col, lin + 1);
        }
    for (int col = janela_.esquerda; col <= janela_.direita; ++col) {
        celula(col, janela_.base) = ' ';
        atributoCelula(col, janela_.base) = atributo_;
    }
    frente_->rolou(janela_, config_.rolagemLenta);
}

void SnCrt::novaLinha() {
    cursorX_ = 0;
    if (cursorY_ < altura() - 1)
        ++cursorY_;
    else
        rola();
}

void SnCrt::escreve(std::string_view texto) {
    garanteJanela();
    int linhaPintada = -1, colIni = kColunas, colFim = -1;
    auto pintaPendente = [&] {
        if (linhaPintada >= 0 && colFim >= colIni) pintaLinha(linhaPintada, colIni, colFim);
        linhaPintada = -1;
        colIni = kColunas;
        colFim = -1;
    };
    auto marca = [&](int col) {
        int lin = janela_.topo + cursorY_;
        if (lin != linhaPintada) {
            pintaPendente();
            linhaPintada = lin;
        }
        colIni = std::min(colIni, col);
        colFim = std::max(colFim, col);
    };
    for (char ch : texto) {
        const uint8_t c = static_cast<uint8_t>(ch);
        if (c == 13) {
            cursorX_ = 0;
        } else if (c == 10) {
            pintaPendente();
            novaLinha();
        } else if (c == 7) {
            bipSistema();
        } else if (c == 8) {
            if (cursorX_ >= 1) {
                --cursorX_;
                int col = janela_.esquerda + cursorX_;
                celula(col, janela_.topo + cursorY_) = ' ';
                atributoCelula(col, janela_.topo + cursorY_) = atributo_;
                marca(col);
            }
        } else if (c >= 32) {
            if (cursorX_ > largura() - 1) {
                pintaPendente();
                novaLinha();
            }
            int col = janela_.esquerda + cursorX_;
            celula(col, janela_.topo + cursorY_) = c;
            atributoCelula(col, janela_.topo + cursorY_) = atributo_;
            marca(col);
            ++cursorX_;
        }
    }
    pintaPendente();
    posicionaCursor();
}

void SnCrt::GotoXY(int x, int y) {
    garanteJanela();
    cursorX_ = std::clamp(x - 1, 0, largura() - 1);
    cursorY_ = std::clamp(y - 1, 0, altura() - 1);
    posicionaCursor();
}

int SnCrt::WhereX() {
    garanteJanela();
    return cursorX_ + 1;
}

int SnCrt::WhereY() {
    garanteJanela();
    return cursorY_ + 1;
}

void SnCrt::ClrScr() {
    garanteJanela();
    for (int lin = janela_.topo; lin <= janela_.base; ++lin)
        for (int col = janela_.esquerda; col <= janela_.direita; ++col) {
            celula(col, lin) = ' ';
            atributoCelula(col, lin) = atributo_;
        }
    cursorX_ = cursorY_ = 0;
    frente_->pinta(janela_);
    posicionaCursor();
}

void SnCrt::ClrEol() {
    garanteJanela();
    int lin = janela_.topo + cursorY_;
    int col0 = janela_.esquerda + std::min(cursorX_, largura() - 1);
    for (int col = col0; col <= janela_.direita; ++col) {
        celula(col, lin) = ' ';
        atributoCelula(col, lin) = atributo_;
    }
    pintaLinha(lin, col0, janela_.direita);
}

void SnCrt::Window(int x1, int y1, int x2, int y2) {
    garanteJanela();
    // A window outside the screen or turned inside out is clamped to something usable.
    x1 = std::clamp(x1, 1, kColunas);
    x2 = std::clamp(x2, x1, kColunas);
    y1 = std::clamp(y1, 1, kLinhas);
    y2 = std::clamp(y2, y1, kLinhas);
    janela_ = {x1 - 1, y1 - 1, x2 - 1, y2 - 1};
    cursorX_ = cursorY_ = 0;
    posicionaCursor();
}

void SnCrt::TextColor(int cor) {
    garanteJanela();
    if (!config_.coresFixas) atributo_ = static_cast<uint8_t>((atributo_ & 0xF0) | (cor & 15));
}

void SnCrt::TextBackground(int cor) {
    garanteJanela();
    if (!config_.coresFixas) atributo_ = static_cast<uint8_t>((atributo_ & 0x0F) | ((cor & 15) << 4));
}

uint8_t SnCrt::caractereEm(int x, int y) {
    garanteJanela();
    if (x < 1 || x > kColunas || y < 1 || y > kLinhas) return ' ';
    return celula(x - 1, y - 1);
}

uint8_t SnCrt::atributoEm(int x, int y) {
    garanteJanela();
    if (x < 1 || x > kColunas || y < 1 || y > kLinhas) return atributo_;
    return atributoCelula(x - 1, y - 1);
}

void SnCrt::titulo(const std::string& texto) {
    garanteJanela();
    frente_->titulo(texto);
}

void SnCrt::larguraDupla(bool dupla) {
    garanteJanela();
    if (tela_.larguraDupla == dupla) return;
    tela_.larguraDupla = dupla;
    frente_->pinta({0, 0, kColunas - 1, kLinhas - 1});
    frente_->atualizaCursor();
}

void SnCrt::mostraCursor() {
    garanteJanela();
    cursorMostrado_ = true;
    posicionaCursor();
}

void SnCrt::escondeCursor() {
    garanteJanela();
    cursorMostrado_ = false;
    posicionaCursor();
}

// ---------------------------------------------------------------- time, tones, clipboard

void SnCrt::Delay(int ms) {
    garanteJanela();
    frente_->dorme(std::clamp(ms, 0, 65535));
    bombeia(false);
}

// Pumps as often as Delay does, so scripted runs see their keys at the same moments.
bool SnCrt::esperaTecla(int ms) {
    garanteJanela();
    if (!fila_.empty()) return true;
    frente_->dormeAteEntrada(std::clamp(ms, 0, 65535));
    bombeia(false);
    return !fila_.empty();
}

uint64_t SnCrt::agoraMs() { return frente_->agoraMs(); }

void SnCrt::Sound(int hz) {
    NoSound();
    audio_.tocaSom(ondaTom(hz), true);
    tomTocando_ = true;
}

void SnCrt::NoSound() {
    if (tomTocando_) audio_.paraSom();
    tomTocando_ = false;
}

void SnCrt::bipSistema() {
    // The system's default beep: a short tone, played once.
    std::vector<uint8_t> onda = ondaTom(880);
    constexpr uint32_t kAmostras = 1400;
    std::vector<uint8_t> curta = cabecalhoWave(FormatoAudio{1, 11025, 8}, kAmostras);
    curta.insert(curta.end(), onda.begin() + 44, onda.begin() + 44 + kAmostras);
    curta.back() = 128;
    audio_.tocaSom(std::move(curta), false);
}

void SnCrt::copiaClipboard(std::string_view texto) {
    garanteJanela();
    frente_->copiaTexto(std::string(texto.substr(0, texto.find('\0'))));
}

bool SnCrt::leClipboard(std::string& buffer, size_t tamanho) {
    garanteJanela();
    std::optional<std::string> texto = frente_->leTexto();
    if (!texto) return false;
    buffer = texto->substr(0, texto->find('\0'));
    if (tamanho == 0)
        buffer.clear();
    else if (buffer.size() > tamanho - 1)
        buffer.resize(tamanho - 1);
    return true;
}

DataSistema SnCrt::GetDate() {
    std::time_t t = std::time(nullptr);
    const std::tm tm = horaLocal(t);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday};
}

// ---------------------------------------------------------------- keyboard

void SnCrt::bombeia(bool espera) {
    garanteJanela();
    if (sinalFim() != 0) encerraDeFora();
    for (auto& gancho : bombear_) gancho(espera);
    if (espera && fila_.empty() && ocioso_ && !emOcioso_) {
        emOcioso_ = true;
        ocioso_();
        emOcioso_ = false;
    }
    // Keys a hook queued are answered now, not after the front-end's wait. Input stays
    // with the front-end while the queue has no room for one more key, so a burst of keys
    // comes in as fast as the program reads it, and none is dropped.
    bool primeiro = fila_.empty();
    while (fila_.size() + 2 <= kTamanhoFila) {
        std::optional<EventoEntrada> ev = frente_->proximoEvento(espera && primeiro);
        if (!ev) break;
        primeiro = false;
        trataEvento(*ev);
    }
    if (sinalFim() != 0) encerraDeFora();
}

bool SnCrt::teclaPressionada() {
    bombeia(false);
    return !fila_.empty();
}

void SnCrt::esperaMensagem() {
    if (fila_.empty()) bombeia(true);
}

uint8_t SnCrt::leTecla() {
    garanteJanela();
    bool mostrado = cursorMostrado_;
    if (mostrado) escondeCursor();
    bombeia(false);
    if (fila_.empty()) {
        lendo_ = true;
        if (focada_) mostraCursor();
        while (fila_.empty()) bombeia(true);
        lendo_ = false;
        escondeCursor();
    }
    uint8_t c = fila_.front();
    fila_.erase(fila_.begin());
    if (leuZero_) {
        leuZero_ = false;
        if (c == kScanUnicode && !unicodes_.empty()) {
            unicodeLido_ = unicodes_.front();
            unicodes_.pop_front();
        } else if (c == kScanColagem && !colagens_.empty()) {
            colagemLida_ = std::move(colagens_.front());
            colagens_.pop_front();
        }
    } else {
        leuZero_ = c == 0;
    }
    return c;
}

void SnCrt::limpaFila() { descartaTudo(); }

void SnCrt::descartaTudo() {
    fila_.clear();
    unicodes_.clear();
    colagens_.clear();
    leuZero_ = false;
}

namespace {

// A single key code that types text: a character, Tab, Enter, or a focus change (which is
// no command either).
bool codigoDeTexto(uint8_t c) {
    return (c >= 32 && c != 127) || c == 9 || c == 13;
}

}  // namespace

void SnCrt::descartaComandos() {
    std::vector<uint8_t> ficam;
    ficam.reserve(kTamanhoFila);
    size_t i = 0;
    // The scan code of an extended key whose 0 was read already belongs to its reader.
    if (leuZero_ && !fila_.empty()) ficam.push_back(fila_[i++]);
    while (i < fila_.size()) {
        const uint8_t c = fila_[i];
        if (c == 0 && i + 1 < fila_.size()) {
            const uint8_t scan = fila_[i + 1];
            if (scan == kScanUnicode || scan == kScanColagem) ficam.insert(ficam.end(), {0, scan});
            i += 2;
        } else {
            if (c == 0 || codigoDeTexto(c)) ficam.push_back(c);
            ++i;
        }
    }
    fila_ = std::move(ficam);
}

std::string SnCrt::leLinha(size_t tamanho) {
    std::string linha;
    for (;;) {
        uint8_t c = leTecla();
        if (c == 0) {  // an extended key: its scan code is not text
            leTecla();
            continue;
        }
        if (c == 13 || (verificaFimArquivo_ && c == 26)) break;
        if (c == 8) {
            if (!linha.empty()) {
                linha.pop_back();
                escreve("\b");
            }
        } else if (c >= 32 && linha.size() + 2 < tamanho) {
            linha += static_cast<char>(c);
            escreve(std::string_view(reinterpret_cast<const char*>(&c), 1));
        }
    }
    linha += "\r\n";
    escreve("\r\n");
    return linha;
}

std::optional<int> SnCrt::estadoTravas() { return frente_->estadoTravas(); }

bool SnCrt::primeiroPlano() { return frente_->primeiroPlano(); }

void SnCrt::enfileira(uint8_t codigo) {
    if (fila_.size() < kTamanhoFila) fila_.push_back(codigo);
}

bool SnCrt::enfileiraEstendida(uint8_t scan) {
    if (fila_.size() + 2 > kTamanhoFila) return false;
    fila_.push_back(0);
    fila_.push_back(scan);
    return true;
}

void SnCrt::trataEvento(const EventoEntrada& ev) {
    using T = EventoEntrada::Tipo;
    switch (ev.tipo) {
        case T::TeclaDesce: trataTeclaDesce(ev); break;
        case T::TeclaSobe: trataTeclaSobe(ev); break;
        case T::Caractere: trataCaractere(ev); break;
        case T::Codigo: enfileira(ev.caractere); break;
        case T::Unicode:
            modificadores_ = ev.mod;  // no Shift from the key before: it is no selection
            if (enfileiraEstendida(kScanUnicode)) unicodes_.push_back(ev.unicode);
            break;
        case T::Colagem:
            modificadores_ = ev.mod;
            if (enfileiraEstendida(kScanColagem)) colagens_.push_back(ev.texto);
            break;
        case T::GanhouFoco: trataFoco(true); break;
        case T::PerdeuFoco: trataFoco(false); break;
        case T::Fechar: encerraDeFora();
    }
}

void SnCrt::trataCaractere(const EventoEntrada& ev) {
    modificadores_ = ev.mod;
    uint8_t c = ev.caractere;
    // In braille mode the braille keys make blanks and letters.
    if (modoBraille_ != 0 && (c == ' ' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        return;
    if (c == 8) c = ev.mod.ctrl ? 127 : 8;
    if (c == 13) c = ev.mod.ctrl ? 10 : 13;
    enfileira(c);
}

void SnCrt::trataTeclaDesce(const EventoEntrada& ev) {
    modificadores_ = ev.mod;
    const uint16_t t = ev.tecla;
    if (verificaInterrupcao_) {
        if (ev.mod.ctrl && t == vk::Break) encerraDeFora();
        if (ev.mod.alt && t != vk::Esquerda && t != vk::Direita) {
            // The system's own Alt keys: only Alt+F4 means something, closing the window.
            if (t == vk::F(4) && !ev.mod.ctrl) encerraDeFora();
            return;
        }
    }
    if (ev.mod.alt) {
        if (ev.mod.ctrl && t == vk::F(12)) return mudaModoBraille(0);
        if (ev.mod.ctrl && t == vk::F(11)) return mudaModoBraille(modoBraille_ >= 2 ? 1 : modoBraille_ + 1);
        uint8_t scan = 0;
        if (t >= 'A' && t <= 'Z') scan = kScanLetras[t - 'A'];
        if (t >= '1' && t <= '9') scan = static_cast<uint8_t>(120 + (t - '1'));
        if (t == '0') scan = 129;
        if (scan != 0) {
            enfileiraEstendida(scan);
            return;
        }
    }
    if (!ev.mod.ctrl && modoBraille_ != 0) {
        if (uint8_t bit = bitBraille(t)) {
            acorde_ |= bit;
            seguradas_ |= bit;
            return;
        }
    }
    if (fila_.size() > 62) return;
    for (const Traducao& tr : kTraducao) {
        if (tr.tecla != t) continue;
        uint8_t codigo = ev.mod.ctrl ? tr.comCtrl : tr.normal;
        if (t == vk::Ins && ev.mod.shift && !ev.mod.ctrl) codigo = 254;
        fila_.push_back(0);
        fila_.push_back(codigo);
        return;
    }
}

void SnCrt::trataTeclaSobe(const EventoEntrada& ev) {
    modificadores_ = ev.mod;
    if (modoBraille_ == 0) return;
    uint8_t bit = bitBraille(ev.tecla);
    if (bit == 0 || (seguradas_ & bit) == 0) return;
    seguradas_ &= static_cast<uint8_t>(~bit);
    if (seguradas_ == 0) finalizaAcorde();
}

void SnCrt::finalizaAcorde() {
    const uint8_t c = caractereDoAcorde(acorde_);
    acorde_ = 0;
    if (c != kSemCaractere) enfileira(c);
}

uint8_t SnCrt::caractereDoAcorde(uint8_t acorde) {
    if (acorde & kBitEspaco) {
        estadoNumero_ = maiusculaUma_ = maiusculaFixa_ = false;
        uint8_t pontos = acorde & 63;
        return pontos == 0 ? ' ' : static_cast<uint8_t>(kCelasBraille[pontos] & 31);
    }
    uint8_t c = kCelasBraille[acorde & 63];
    return modoBraille_ == 2 ? aplicaSinaisBraille(c) : c;
}

void SnCrt::digitaPontos(int pontos) {
    constexpr int kPonto7 = 64, kBarraEspaco = 256;
    uint8_t acorde = static_cast<uint8_t>(pontos & 63);
    if (pontos & kBarraEspaco) acorde |= kBitEspaco;
    uint8_t c = caractereDoAcorde(acorde);
    // Dot 7 is the capital of eight-dot braille.
    if ((pontos & kPonto7) && !(pontos & kBarraEspaco) && c >= 'a' && c <= 'z')
        c = static_cast<uint8_t>(c - 32);
    if (c != kSemCaractere) enfileira(c);
}

void SnCrt::pedeRota(int coluna) {
    if (enfileiraEstendida(kScanRota)) rota_ = coluna;
}

std::optional<int> SnCrt::tomaRota() {
    std::optional<int> r = rota_;
    rota_.reset();
    return r;
}

std::optional<char32_t> SnCrt::tomaUnicode() { return std::exchange(unicodeLido_, std::nullopt); }

std::optional<std::string> SnCrt::tomaColagem() {
    return std::exchange(colagemLida_, std::nullopt);
}

uint8_t SnCrt::aplicaSinaisBraille(uint8_t c) {
    if (c == '#') {
        estadoNumero_ = true;
        return kSemCaractere;
    }
    if (c == '{') {
        if (maiusculaUma_) maiusculaFixa_ = true;
        maiusculaUma_ = true;
        return kSemCaractere;
    }
    if (estadoNumero_) {
        if (c >= 'a' && c <= 'i') c = static_cast<uint8_t>('1' + (c - 'a'));
        else if (c == 'j') c = '0';
        else if (c == '\'') c = '.';
        else if (c == '~') {
            // The end-of-number sign closes the number and types nothing.
            estadoNumero_ = false;
            return kSemCaractere;
        }
    }
    if ((maiusculaUma_ || maiusculaFixa_) && c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 32);
    maiusculaUma_ = false;
    return c;
}

void SnCrt::mudaModoBraille(int modo) {
    const int anterior = modoBraille_;
    modoBraille_ = modo;
    auto toca = [&](int hz) {
        Sound(hz);
        Delay(200);
    };
    if (modo == 0) {
        acorde_ = seguradas_ = 0;
        estadoNumero_ = maiusculaUma_ = maiusculaFixa_ = false;
        if (anterior != 0) toca(100);
    } else if (modo == 1) {
        toca(800);
        toca(1600);
    } else {
        toca(800);
        toca(400);
    }
    NoSound();
}

void SnCrt::trataFoco(bool ganhou) {
    focada_ = ganhou;
    if (ganhou && lendo_) cursorMostrado_ = true;
    posicionaCursor();
    if (relatorioFoco_) enfileira(ganhou ? 222 : 223);
}

// ---------------------------------------------------------------- closing

void SnCrt::encerraDeFora() {
    if (!encerrandoDeFora_) {
        encerrandoDeFora_ = true;
        // A second signal (the shell closing sends more than one) waits for the copy.
        const AdiaSinaisFim adia;
        for (auto& gancho : ganchosFora_) gancho();
    }
    terminaConsole();
}

void SnCrt::terminaConsole() {
    if (!terminando_) {
        terminando_ = true;
        for (auto& gancho : ganchosFim_) gancho();
        NoSound();
        if (criada_) {
            fila_.clear();
            frente_->programaTerminado();
            frente_->fecha();
            criada_ = false;
        }
    }
    // Ended by a signal: 128 + the signal, as shells expect.
    const int codigo = codigoSaida(0);
    if (saida_) saida_(codigo);
    std::exit(codigo);
}
