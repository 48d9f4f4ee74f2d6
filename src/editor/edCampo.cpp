#include "editor/edCampo.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "editor/edArqDisco.h"
#include "editor/edConfig.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/codigos.h"
#include "platform/texto.h"

namespace {

constexpr uint8_t kTab = 9, kCtrlEnter = 10, kEnter = 13, kEsc = 27;
constexpr size_t kMaiorClipboard = 65536;

bool caractereDePalavra(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool letra(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= 192 && c != 215 && c != 247);
}

std::string semBrancosFinais(std::string_view s) {
    const size_t fim = s.find_last_not_of(' ');
    return fim == std::string_view::npos ? std::string() : std::string(s.substr(0, fim + 1));
}

// Control characters would move the console's cursor: they are shown as blanks.
std::string paraTela(std::string_view texto, size_t largura) {
    std::string s(texto.substr(0, largura));
    for (char& c : s)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    s.resize(largura, ' ');
    return s;
}

// The first line of a pasted text, its control characters (tabs...) made blanks.
std::string primeiraLinha(std::string_view texto) {
    std::string s(texto.substr(0, texto.find_first_of("\r\n")));
    for (char& c : s)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    return s;
}

class EdicaoCampo {
  public:
    EdicaoCampo(Editor& e, std::string& saida, const Campo& campo)
        : e_(e), crt_(e.crt), fala_(e.fala), saida_(saida), campo_(campo) {
        campo_.coluna = std::clamp(campo.coluna, 1, SnCrt::kColunas);
        campo_.linha = std::clamp(campo.linha, 1, SnCrt::kLinhas);
        campo_.largura = std::clamp(campo.largura, 1, SnCrt::kColunas + 1 - campo_.coluna);
        texto_ = saida.substr(0, campo_.maximo);
        inicial_ = texto_;
        proposta_ = texto_.find_first_not_of(' ') != std::string::npos;
        cursor_ = cursorInicial();
    }

    FimCampo executa() {
        // A braille display shows the prompt and the field while it is open.
        const FocoLeitura anterior = crt_.foco();
        struct Restaura {
            SnCrt& crt;
            const FocoLeitura& foco;
            ~Restaura() { crt.foco() = foco; }
        } restaura{crt_, anterior};
        for (;;) {
            mostra();
            publicaFoco();
            const uint8_t c = crt_.leTecla();
            fala_.paraFala();
            std::optional<FimCampo> fim;
            if (c == 0) {
                const uint8_t scan = crt_.leTecla();
                fim = trataEstendida(scan, crt_.modificadores());
            } else {
                fim = trataSimples(c);
            }
            if (c != 222 && c != 223) primeira_ = false;
            if (fim) return termina(*fim);
        }
    }

  private:
    int comprimento() const { return static_cast<int>(texto_.size()); }
    int cursorInicial() const { return std::clamp(campo_.cursor, 1, comprimento() + 1); }
    uint8_t em(int coluna) const {
        return static_cast<uint8_t>(texto_[static_cast<size_t>(coluna - 1)]);
    }
    bool haSelecao() const { return selInicio_ > 0 && selFim_ > 0 && selInicio_ != selFim_; }
    void limpaSelecao() { selInicio_ = selFim_ = 0; }

    // The visible part of the field, scrolled to keep the cursor in it.
    void mostra() {
        const int largura = campo_.largura;
        if (cursor_ - 1 < deslocamento_) deslocamento_ = cursor_ - 1;
        if (cursor_ - 1 >= deslocamento_ + largura) deslocamento_ = cursor_ - largura;
        desenha();
        crt_.GotoXY(campo_.coluna + cursor_ - 1 - deslocamento_, campo_.linha);
    }

    // The screen row up to the field (its prompt) and the whole text, cursor in it.
    void publicaFoco() {
        FocoLeitura& f = crt_.foco();
        f.tipo = FocoLeitura::Tipo::Campo;
        f.texto.clear();
        for (int col = 1; col < campo_.coluna; ++col)
            f.texto += static_cast<char>(crt_.caractereEm(col, campo_.linha));
        f.texto += texto_;
        f.coluna = campo_.coluna + cursor_ - 1;
    }

    // A routing key on the field: the cursor there, its character said.
    void rota() {
        const std::optional<int> coluna = crt_.tomaRota();
        if (!coluna) return;
        cursor_ = std::clamp(*coluna - campo_.coluna + 1, 1, comprimento() + 1);
        fala_.falaLetra(cursor_ <= comprimento() ? em(cursor_) : ' ');
    }

    void desenha() {
        crt_.GotoXY(campo_.coluna, campo_.linha);
        const size_t de = std::min(texto_.size(), static_cast<size_t>(deslocamento_));
        crt_.escreve(
            paraTela(std::string_view(texto_).substr(de), static_cast<size_t>(campo_.largura)));
    }

    FimCampo termina(FimCampo fim) {
        fim.coluna = cursor_;
        saida_ = semBrancosFinais(texto_);
        deslocamento_ = 0;
        desenha();
        crt_.GotoXY(campo_.coluna, campo_.linha);
        return fim;
    }

    // ------------------------------------------------------------- plain keys

    std::optional<FimCampo> trataSimples(uint8_t c) {
        const bool guardaSelecao = c == 3 || c == 22;
        std::optional<FimCampo> fim = simples(c);
        if (!guardaSelecao) limpaSelecao();
        return fim;
    }

    std::optional<FimCampo> simples(uint8_t c) {
        switch (c) {
            case kTab:
            case kCtrlEnter:
            case kEnter:
            case kEsc:
                return FimCampo{c, false, cursor_};
            case 8:
                apagaAnterior();
                break;
            case 127:
                apagaPalavraAnterior();
                break;
            case 11:
                fala_.falaTexto(std::to_string(cursor_));
                break;
            case 28:
                fala_.tocaDTMF(texto_);
                break;
            case 3:
                copia();
                break;
            case 22:
                cola();
                break;
            case 4:
                apagaAteFim();
                break;
            case 19:
                apagaAteInicio();
                break;
            case 25:
                apagaTudo();
                break;
            case 21:
                restauraInicial();
                break;
            case 222:
                fala_.falaTexto(semBrancosFinais(texto_));
                break;
            case 223:
                break;
            default:
                if (c < 32)
                    fala_.bip();  // a control key the field has no use for
                else
                    digita(c);
        }
        return std::nullopt;
    }

    size_t posicao() const { return static_cast<size_t>(cursor_ - 1); }

    // Ctrl+D, Ctrl+S and Ctrl+Y: each blanks a part of the field and plays its prompt.
    void apagaAteFim() {
        if (!campo_.editando) return fala_.bip();
        texto_.resize(std::min(texto_.size(), posicao()));
        fala_.tocaSom("_APFCPO");
    }

    void apagaAteInicio() {
        if (!campo_.editando) return fala_.bip();
        texto_.erase(0, std::min(texto_.size(), posicao()));
        cursor_ = 1;
        fala_.tocaSom("_APICPO");
    }

    void apagaTudo() {
        if (!campo_.editando) return fala_.bip();
        texto_.clear();
        cursor_ = 1;
        fala_.tocaSom("_CPOAPA");
    }

    void restauraInicial() {
        if (!campo_.editando) return fala_.bip();
        texto_ = inicial_;
        cursor_ = cursorInicial();
        for (int i = 0; i < 3; ++i) fala_.bip();
    }

    void digita(uint8_t c) {
        if (primeira_ && proposta_) {
            // Typing first over a proposed value replaces it.
            fala_.clique();
            fala_.clique();
            if (campo_.editando) {
                texto_.clear();
                cursor_ = 1;
            }
        }
        if (campo_.editando) {
            if (posicao() >= campo_.maximo) return fala_.bip();
            texto_.insert(posicao(), 1, static_cast<char>(c));
            if (texto_.size() > campo_.maximo) texto_.resize(campo_.maximo);
            ++cursor_;
        }
        if (fala_.ecoDigitacao) fala_.falaLetra(c);
    }

    void apagaAnterior() {
        if (!campo_.editando || cursor_ < 2 || cursor_ - 1 > comprimento()) return fala_.bip();
        const uint8_t apagado = em(cursor_ - 1);
        texto_.erase(posicao() - 1, 1);
        --cursor_;
        fala_.falaLetra(apagado);
    }

    void apagaPalavraAnterior() {
        const int inicio = inicioPalavraAnterior(texto_, cursor_);
        if (!campo_.editando || inicio >= cursor_) return fala_.bip();
        const size_t de = static_cast<size_t>(inicio - 1);
        const std::string apagado = texto_.substr(de, posicao() - de);
        texto_.erase(de, apagado.size());
        cursor_ = inicio;
        fala_.falaTexto(apara(apagado));
    }

    void apagaSelecao() {
        const int a = std::min(selInicio_, selFim_),
                  b = std::min(std::max(selInicio_, selFim_), comprimento() + 1);
        if (a > comprimento()) return fala_.bip();
        const std::string apagado =
            texto_.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
        texto_.erase(static_cast<size_t>(a - 1), apagado.size());
        cursor_ = a;
        fala_.falaTexto(apagado);
    }

    void apagaNoCursor() {
        if (!campo_.editando) return fala_.bip();
        if (haSelecao()) return apagaSelecao();
        if (cursor_ > comprimento()) return fala_.bip();
        const uint8_t apagado = em(cursor_);
        texto_.erase(posicao(), 1);
        fala_.falaLetra(apagado);
    }

    void copia() {
        if (haSelecao()) {
            const int a = std::min(selInicio_, selFim_), b = std::max(selInicio_, selFim_);
            const size_t de = std::min(texto_.size(), static_cast<size_t>(a - 1));
            crt_.copiaClipboard(texto_.substr(de, static_cast<size_t>(b - a)));
        } else {
            crt_.copiaClipboard(semBrancosFinais(texto_) + "\r\n");
        }
    }

    // Shift+Ins, or a text pasted into the terminal: its first line goes in at the cursor.
    void cola(const std::optional<std::string>& colado = std::nullopt) {
        std::string clip;
        if (!campo_.editando) return fala_.bip();
        if (colado)
            clip = utf8ParaWin1252(*colado);
        else if (!crt_.leClipboard(clip, kMaiorClipboard))
            return fala_.bip();
        const std::string linha = primeiraLinha(clip);
        if (linha.empty()) return fala_.bip();
        if (haSelecao()) {
            const int a = std::min(selInicio_, selFim_);
            const int b = std::min(std::max(selInicio_, selFim_), comprimento() + 1);
            if (a <= comprimento())
                texto_.erase(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
            cursor_ = std::min(a, comprimento() + 1);
        }
        limpaSelecao();
        if (posicao() >= campo_.maximo) return fala_.bip();
        texto_.insert(posicao(), linha);
        if (texto_.size() > campo_.maximo) texto_.resize(campo_.maximo);
        cursor_ = std::min(cursor_ + static_cast<int>(linha.size()), comprimento() + 1);
        fala_.falaTexto(linha);
    }

    // ------------------------------------------------------------- extended keys

    static bool teclaDeSelecao(uint8_t scan) {
        return scan == 75 || scan == 77 || scan == 71 || scan == 79 || scan == 115 || scan == 116;
    }

    std::optional<FimCampo> trataEstendida(uint8_t scan, Modificadores mod) {
        const bool selecionando = mod.shift && teclaDeSelecao(scan);
        if (selecionando && selInicio_ <= 0) selInicio_ = cursor_;
        std::optional<FimCampo> fim = estendida(scan, mod);
        if (selecionando)
            selFim_ = cursor_;
        else if (scan != 254 && scan != 255)
            limpaSelecao();
        return fim;
    }

    std::optional<FimCampo> estendida(uint8_t scan, Modificadores mod) {
        switch (scan) {
            case 59:
                if (mod.alt) return FimCampo{104, true, cursor_};
                falaPalavraNoCursor();
                break;
            case 62:
                alternaEco();
                break;
            case 66:
                fala_.falaHora();
                break;
            case 101:
                fala_.falaData();
                break;
            case 70:
                abrePalavra();
                break;
            case 71:
                cursor_ = 1;
                break;
            case 79:
                cursor_ = static_cast<int>(semBrancosFinais(texto_).size()) + 1;
                break;
            case 75:
                esquerda();
                break;
            case 77:
                direita(mod.alt);
                break;
            case 115:
                palavra(false);
                break;
            case 116:
                palavra(true);
                break;
            case 83:
                apagaNoCursor();
                break;
            case 94:
                fala_.falaTexto(semBrancosFinais(texto_));
                break;
            case 97:
                mudaVelocidade();
                break;
            case 254:
                cola();
                break;
            case 255:
                copia();
                break;
            case 102:
                if (!mod.alt) return FimCampo{scan, true, cursor_};
                revisaTelaAvisada(e_);
                break;
            case SnCrt::kScanRota:
                rota();
                break;
            case SnCrt::kScanColagem:
                if (std::optional<std::string> colado = crt_.tomaColagem()) cola(colado);
                break;
            case SnCrt::kScanUnicode:
                crt_.tomaUnicode();  // a field holds Windows-1252 only
                fala_.bip();
                break;
            default:
                return FimCampo{scan, true, cursor_};
        }
        return std::nullopt;
    }

    void alternaEco() {
        fala_.ecoDigitacao = !fala_.ecoDigitacao;
        fala_.tocaSom(fala_.ecoDigitacao ? "_FALACI" : "_FALDLG");
    }

    void esquerda() {
        if (cursor_ <= 1) return fala_.bip();
        --cursor_;
        fala_.falaLetra(cursor_ <= comprimento() ? em(cursor_) : ' ');
    }

    void direita(bool alt) {
        if (cursor_ > comprimento()) return fala_.bip();
        const uint8_t c = em(cursor_);
        ++cursor_;
        if (alt && letra(c))
            fala_.tocaSom("_FON" + std::to_string(c));
        else
            fala_.falaLetra(c);
    }

    // Ctrl+Left and Ctrl+Right: the text passed over is spoken, or a click when blank.
    void palavra(bool paraDireita) {
        const int antes = cursor_;
        bool bateu = false;
        cursor_ = paraDireita ? inicioProximaPalavra(texto_, cursor_, &bateu)
                              : inicioPalavraAnterior(texto_, cursor_, &bateu);
        if (bateu) fala_.bip();
        const int a = std::min(antes, cursor_), b = std::max(antes, cursor_);
        const size_t de = std::min(texto_.size(), static_cast<size_t>(a - 1));
        const std::string_view passado =
            apara(std::string_view(texto_).substr(de, static_cast<size_t>(b - a)));
        if (passado.empty())
            fala_.clique();
        else
            fala_.falaTexto(passado);
    }

    // The word under the cursor, or the one just before it (the word just typed).
    void falaPalavraNoCursor() {
        int p = cursor_;
        if (p > comprimento() || !caractereDePalavra(em(p))) --p;
        if (p < 1 || p > comprimento() || !caractereDePalavra(em(p))) return fala_.bip();
        int ini = p, fim = p;
        while (ini > 1 && caractereDePalavra(em(ini - 1))) --ini;
        while (fim < comprimento() && caractereDePalavra(em(fim + 1))) ++fim;
        fala_.falaTexto(
            texto_.substr(static_cast<size_t>(ini - 1), static_cast<size_t>(fim - ini + 1)));
    }

    // F12: the word at the cursor opened as a program, document or address. Said aloud
    // only, so the prompt before the field stays on the screen.
    void abrePalavra() {
        const std::string palavra = palavraParaExecutar(texto_, cursor_);
        if (palavra.empty()) return fala_.bip();
        if (!fala_.abreComPrograma(palavra, pastaDoTexto(e_.ed.nomeArquivo)))
            dizMensagem(e_, "EDNEXEC");
    }

    void mudaVelocidade() {
        fala_.tocaSom("_VELOC");
        leVelocidade(e_);
    }

    Editor& e_;
    SnCrt& crt_;
    Fala& fala_;
    std::string& saida_;
    Campo campo_;
    std::string texto_, inicial_;
    int cursor_ = 1;
    int deslocamento_ = 0;  // characters scrolled off the left of the field
    int selInicio_ = 0, selFim_ = 0;
    bool proposta_ = false;  // the field came with a non-blank text
    bool primeira_ = true;   // no key handled yet
};

}  // namespace

int inicioProximaPalavra(std::string_view texto, int coluna, bool* bateu) {
    // The text is looked at with " x" after it, so the scan always stops.
    const std::string s = std::string(texto) + " x";
    const int n = static_cast<int>(s.size());
    auto em = [&](int c) {
        return c >= 1 && c <= n ? static_cast<uint8_t>(s[static_cast<size_t>(c - 1)])
                                : uint8_t{' '};
    };
    int c = std::max(1, coluna);
    if (em(c) != ' ') {
        if (!caractereDePalavra(em(c)))
            ++c;  // a punctuation character is passed over alone
        else
            while (c <= n && caractereDePalavra(em(c))) ++c;
    }
    if (em(c) == ' ')
        while (c <= n && em(c) == ' ') ++c;
    const int fim = static_cast<int>(texto.size()) + 1;
    if (bateu) *bateu = c > fim;
    return std::min(c, fim);
}

int inicioPalavraAnterior(std::string_view texto, int coluna, bool* bateu) {
    // The text is looked at with " x" before it: reaching that x means the cursor went
    // past the start.
    const std::string s = " x" + std::string(texto);
    auto em = [&](int c) {
        return c >= 1 && c <= static_cast<int>(s.size())
                   ? static_cast<uint8_t>(s[static_cast<size_t>(c - 1)])
                   : uint8_t{' '};
    };
    int c = std::max(1, coluna) + 2 - 1;  // the character before the cursor
    while (c >= 1 && em(c) == ' ') --c;
    int inicio;
    if (c > 2 && !caractereDePalavra(em(c))) {
        inicio = c - 2;  // a punctuation character is a word of its own, as going right
    } else {
        while (c >= 1 && caractereDePalavra(em(c))) --c;
        inicio = c + 1 - 2;
    }
    if (bateu) *bateu = inicio < 1;
    return std::max(inicio, 1);
}

FimCampo editaCampo(Editor& e, std::string& texto, const Campo& campo) {
    return EdicaoCampo(e, texto, campo).executa();
}

std::string leLinhaFalada(Editor& e) {
    Campo campo;
    campo.coluna = e.crt.WhereX();
    campo.linha = e.crt.WhereY();
    campo.largura = SnCrt::kColunas + 1 - campo.coluna;
    std::string texto;
    const FimCampo fim = editaCampo(e, texto, campo);
    if (!fim.estendida && fim.tecla == kEsc) {
        e.crt.GotoXY(campo.coluna, campo.linha);
        e.crt.escreve(std::string(static_cast<size_t>(campo.largura), ' '));
        texto.clear();
    }
    // The next row; the last row of the screen stays, so the screen never scrolls.
    e.crt.GotoXY(1, std::min(campo.linha + 1, SnCrt::kLinhas));
    return texto;
}

int leNumeroFalado(Editor& e, int atual) {
    const std::string texto = leLinhaFalada(e);
    std::string_view s = apara(texto);
    if (s.size() > 1 && s[0] == '+' && s[1] != '-') s.remove_prefix(1);
    int valor = 0;
    const auto [fim, erro] = std::from_chars(s.data(), s.data() + s.size(), valor);
    if (s.empty() || erro != std::errc() || fim != s.data() + s.size()) return atual;
    return valor;
}
