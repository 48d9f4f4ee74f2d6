#include "platform/leituraRtf.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/codigos.h"

namespace {

// Deeper groups share the state of the last one kept: a hostile file cannot make the
// reader's memory grow with its nesting.
constexpr size_t kMaiorProfundidade = 256;
// A control word's letters beyond this are read and dropped: no real word is so long.
constexpr size_t kMaiorPalavra = 32;

// Destinations whose contents are not the document's running text.
constexpr std::array<std::string_view, 27> kForaDoTexto = {
    "fonttbl",  "colortbl", "stylesheet", "info",      "pict",    "header",   "headerl",
    "headerr",  "headerf",  "footer",     "footerl",   "footerr", "footerf",  "footnote",
    "annotation", "fldinst", "object",    "objdata",   "listtable", "listoverridetable",
    "revtbl",   "rsidtbl",  "filetbl",    "xe",        "tc",      "themedata", "datastore",
};

// What a control word puts in the text, as Windows-1252 bytes.
struct Simbolo {
    std::string_view palavra;
    std::string_view texto;
};
constexpr std::array<Simbolo, 15> kSimbolos = {{
    {"par", "\r\n"},     {"line", "\r\n"},     {"row", "\r\n"},       {"page", "\r\n"},
    {"sect", "\r\n"},    {"tab", "\t"},        {"cell", "\t"},        {"emdash", "\x97"},
    {"endash", "\x96"},  {"lquote", "\x91"},   {"rquote", "\x92"},    {"ldblquote", "\x93"},
    {"rdblquote", "\x94"}, {"bullet", "\x95"}, {"emspace", " "},
}};

struct Grupo {
    bool foraDoTexto = false;
    int substitutos = 1;  // \ucN: the characters after a \uN that stand in for it
};

int valorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ehLetra(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool ehDigito(char c) { return c >= '0' && c <= '9'; }

class Leitor {
  public:
    explicit Leitor(std::string_view rtf) : rtf_(rtf) {}

    std::string le() {
        while (pos_ < rtf_.size() && !fim_) {
            const char c = rtf_[pos_++];
            if (c == '{')
                abreGrupo();
            else if (c == '}')
                fechaGrupo();
            else if (c == '\\')
                controle();
            else if (c != '\r' && c != '\n')  // line ends in the source are not text
                caractere(c);
        }
        return std::move(texto_);
    }

  private:
    Grupo& grupo() { return grupos_.back(); }

    void abreGrupo() {
        aPular_ = 0;
        if (grupos_.size() < kMaiorProfundidade)
            grupos_.push_back(grupos_.back());
        else
            ++alemDoLimite_;
    }

    void fechaGrupo() {
        aPular_ = 0;
        if (alemDoLimite_ > 0)
            --alemDoLimite_;
        else if (grupos_.size() > 2)
            grupos_.pop_back();
        else
            fim_ = true;  // the document's own group closed: what follows is not part of it
    }

    // Whether the piece of text just met stands in for the last \uN: then it is left out.
    bool substituto() {
        if (aPular_ == 0) return false;
        --aPular_;
        return true;
    }

    void escreve(std::string_view t) {
        if (!substituto() && !grupo().foraDoTexto) texto_ += t;
    }

    void caractere(char c) {
        // Other control bytes are no text the editor should receive.
        const bool controleAscii = static_cast<unsigned char>(c) < 0x20 && c != '\t';
        if (controleAscii) {
            substituto();
            return;
        }
        escreve(std::string_view(&c, 1));
    }

    void controle() {
        if (pos_ >= rtf_.size()) return;
        const char c = rtf_[pos_];
        if (ehLetra(c)) return palavra();
        ++pos_;
        switch (c) {
            case '\'': return byteHex();
            case '*': grupo().foraDoTexto = true; return;
            case '~': return escreve("\xA0");
            case '_': return escreve("-");
            case '\r':
            case '\n': return escreve("\r\n");
            case '\\':
            case '{':
            case '}': return escreve(std::string_view(&rtf_[pos_ - 1], 1));
            default: substituto(); return;  // \- \: \| and unknown symbols show nothing
        }
    }

    void byteHex() {
        const int alto = pos_ < rtf_.size() ? valorHex(rtf_[pos_]) : -1;
        const int baixo = pos_ + 1 < rtf_.size() ? valorHex(rtf_[pos_ + 1]) : -1;
        if (alto < 0 || baixo < 0) {
            substituto();
            return;
        }
        pos_ += 2;
        caractere(static_cast<char>(alto * 16 + baixo));
    }

    void palavra() {
        const size_t inicio = pos_;
        while (pos_ < rtf_.size() && ehLetra(rtf_[pos_])) ++pos_;
        const std::string_view nome = rtf_.substr(inicio, std::min(pos_ - inicio, kMaiorPalavra));
        bool temValor = false, negativo = false;
        long valor = 0;
        if (pos_ < rtf_.size() && rtf_[pos_] == '-' && pos_ + 1 < rtf_.size() &&
            ehDigito(rtf_[pos_ + 1])) {
            negativo = true;
            ++pos_;
        }
        for (; pos_ < rtf_.size() && ehDigito(rtf_[pos_]); ++pos_) {
            temValor = true;
            valor = std::min(valor * 10 + (rtf_[pos_] - '0'), 99'999'999L);
        }
        if (negativo) valor = -valor;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_;  // the word's delimiter
        executa(nome, temValor, valor);
    }

    void executa(std::string_view nome, bool temValor, long valor) {
        if (nome == "u" && temValor) return unicode(valor);
        if (nome == "uc" && temValor) {
            grupo().substitutos = static_cast<int>(std::clamp(valor, 0L, 16L));
            return;
        }
        if (nome == "bin") {
            // Binary data of that many bytes follows, never text.
            pos_ += static_cast<size_t>(std::clamp(valor, 0L, static_cast<long>(rtf_.size() - pos_)));
            return;
        }
        if (std::find(kForaDoTexto.begin(), kForaDoTexto.end(), nome) != kForaDoTexto.end()) {
            grupo().foraDoTexto = true;
            return;
        }
        for (const Simbolo& s : kSimbolos)
            if (s.palavra == nome) return escreve(s.texto);
        substituto();  // formatting: no text
    }

    void unicode(long valor) {
        const char32_t u = static_cast<char32_t>(valor < 0 ? valor + 65536 : valor) & 0xFFFF;
        const bool segundaMetade = u >= 0xDC00 && u <= 0xDFFF;  // of a pair, said by the first
        aPular_ = 0;
        if (!segundaMetade) caractere(static_cast<char>(unicodeParaWin1252(u)));
        aPular_ = grupo().substitutos;
    }

    std::string_view rtf_;
    size_t pos_ = 0;
    std::string texto_;
    // The outermost entry is the state before the document's own group opens.
    std::vector<Grupo> grupos_{Grupo{}};
    size_t alemDoLimite_ = 0;
    int aPular_ = 0;  // stand-ins of the last \uN still to be left out
    bool fim_ = false;
};

}  // namespace

std::optional<std::string> textoDeRtf(std::string_view rtf) {
    if (!rtf.starts_with("{\\rtf")) return std::nullopt;
    return Leitor(rtf).le();
}
