// The encoding of a text file: Windows-1252 as the editor keeps its text, or UTF-8, which
// is decoded on load and written back on save with the file's own byte-order mark and
// line ends. Characters Windows-1252 lacks are kept as placeholder bytes (control codes a
// loaded text never holds otherwise) and written back as they were.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CodificacaoArquivo {
    bool utf8 = false;              // decoded on load (UTF-8, or UTF-16 when utf16)
    bool utf16 = false;             // UTF-16, found by its byte-order mark
    bool bigEndian = false;         // UTF-16 with the high byte first
    bool bom = false;
    bool quebraLf = false;          // LF alone ends a line (else CR LF)
    bool semQuebraNoFim = false;    // the last line has no line end
    std::vector<char32_t> estranhos;  // the code point of each placeholder, in order
    // Read as bytes although it is UTF-8: it holds more distinct characters Windows-1252
    // lacks than there are placeholders, so decoding it would lose some on save.
    bool utf8Recusado = false;
    // UTF-16 read as bytes (an odd length, too many characters Windows-1252 lacks): its NUL
    // bytes would be lost, so the text must not be saved over it.
    bool utf16Recusado = false;

    // Line `l` of the text as the file holds it.
    std::string codificaLinha(std::string_view l) const;
    // The line end as the file holds it.
    std::string_view quebra() const;
    // The bytes the file begins with: its byte-order mark, if any.
    std::string_view marcaInicio() const;
    // How Ctrl+N names it: "ANSI", "UTF-8" or "UTF-16".
    std::string_view nome() const { return utf16 ? "UTF-16" : utf8 ? "UTF-8" : "ANSI"; }
    // Line `l` of a file read with `origem`, brought into this text: its placeholders get
    // this text's own (new ones while there is room in a UTF-8 text), else a '?'.
    std::string adota(const CodificacaoArquivo& origem, std::string_view l);
    // The byte that stands for `u` in this text: its Windows-1252 byte, else its
    // placeholder (a new one while there is room in a UTF-8 text); nothing when this text
    // cannot hold it.
    std::optional<uint8_t> byteDe(char32_t u);
    // UTF-8 typed or pasted in, as this text holds it: each character as byteDe gives it
    // (those it cannot hold are left out and counted in `recusados`), bytes that are not
    // UTF-8 taken as Windows-1252, control codes other than TAB, CR and LF made '#' as a
    // file's are on loading.
    std::string textoDigitado(std::string_view utf8, size_t& recusados);
};

// Control codes other than TAB, CR and LF made '#', as a file's are on loading: in a text
// they would read as placeholders.
std::string semControles(std::string_view texto);

// The placeholder of the i-th character Windows-1252 lacks, and back (-1: none).
uint8_t marcaEstranho(size_t i);
int indiceEstranho(uint8_t c);
// Whether `c` is a placeholder byte of `cod`.
bool ehMarca(const CodificacaoArquivo& cod, uint8_t c);

// What speech says for a placeholder: the editor has no names for the characters
// Windows-1252 lacks.
inline constexpr std::string_view kFalaEstranho = "caractere desconhecido";
inline constexpr std::string_view kFalaEstranhos = "caracteres desconhecidos";
// `texto` as speech reads it: each placeholder of `cod` said as kFalaEstranho, a word of its
// own (a placeholder would otherwise be a control code, which speech passes over); a run of
// them as their number and kFalaEstranhos.
std::string textoFalado(const CodificacaoArquivo& cod, std::string_view texto);

// Code points into the editor's text: the byte of a character Windows-1252 has, else its
// placeholder (a new one while there is room); a control code of the file (NUL included)
// is no placeholder: the reading rules make it '#', and so does this.
class Decodificador {
  public:
    Decodificador(CodificacaoArquivo& cod, size_t tamanho);
    // False when the character needs a placeholder and none is left.
    bool ponto(char32_t u);

    std::string texto;
    bool naoAscii = false;

  private:
    // The bytes of the last characters met, by code point: a text repeats few of them.
    struct Lembrado {
        char32_t u = 0;
        char c = 0;
    };
    CodificacaoArquivo& cod_;
    std::array<Lembrado, 64> lembrados_{};
};

// A file decoded as UTF-8 while it is read, in pieces of any size (a character may be cut
// between two), so that it is looked at once and never held whole. Whether it is UTF-8 is
// only known at its end; until then the text goes out as it would if it were, its
// characters Windows-1252 lacks taken into `cod` as they come. A piece of plain ASCII while
// no placeholder was given out goes out as it is: read as Windows-1252 it is the same text
// (its control codes, which decoding makes '#', the reading rules make '#' too).
class DecodificadorUtf8 {
  public:
    using Recebe = std::function<void(std::string_view)>;
    enum class Fim {
        Utf8,   // UTF-8: what went out is the text; `cod` says how to write it back
        Bytes,  // not UTF-8, and what went out is the bytes as they are: `cod` is ANSI
        Reler,  // not taken as UTF-8 after text that differs from the bytes went out: the
                // file must be read again as bytes (`cod` ANSI, utf8Recusado when it was
                // UTF-8 with too many characters Windows-1252 lacks)
    };

    explicit DecodificadorUtf8(CodificacaoArquivo& cod);
    // Once the data is known not to be UTF-8 and nothing that went out differs from the
    // bytes, the rest goes out as it is.
    void alimenta(std::string_view bytes, const Recebe& recebe);
    Fim termina(const Recebe& recebe);

  private:
    void continua(std::string_view bytes, const Recebe& recebe);
    void decodifica(std::string_view bytes, const Recebe& recebe);
    void caractere(char32_t u);
    void falha(std::string_view resto, const Recebe& recebe);
    void esvazia(const Recebe& recebe);

    CodificacaoArquivo& cod_;
    Decodificador pontos_;  // the text of the piece
    std::string comeco_;    // the first bytes, while they may be a cut byte-order mark
    std::string pendente_;  // a character cut at the end of the last piece
    bool inicio_ = true, bom_ = false;
    bool quebraVista_ = false, quebraLf_ = true;  // no line end at all: LF
    bool temDados_ = false;
    char ultimo_ = 0;
    bool divergiu_ = false;  // what went out differs from the bytes (a BOM, non-ASCII)
    bool demais_ = false;    // too many characters Windows-1252 lacks: only checking now
    bool invalido_ = false;  // not UTF-8
};

// The Windows-1252 text of `bytes` when they are valid UTF-8 (after an optional
// byte-order mark) with at least one non-ASCII character; `cod` then tells how to write it
// back. Nothing for any other file, which is read as Windows-1252 bytes; nor when it holds
// more distinct characters Windows-1252 lacks than there are placeholders: then `cod` is
// ANSI with utf8Recusado, and the bytes, kept as they are, lose nothing on save.
std::optional<std::string> decodificaUtf8(std::string_view bytes, CodificacaoArquivo& cod);
// The same for any text file: one that begins with a UTF-16 byte-order mark is decoded
// from UTF-16 (ASCII alone included), as long as it is UTF-16 whole with no more distinct
// characters Windows-1252 lacks than there are placeholders (else nothing, and
// `cod.utf16Recusado`); any other by decodificaUtf8.
std::optional<std::string> decodificaTexto(std::string_view bytes, CodificacaoArquivo& cod);
// Whether `bytes` begin with a UTF-16 byte-order mark.
bool comecaUtf16(std::string_view bytes);
// How lines are written into the file that holds `bytes` (a block appended to it): its own
// encoding and line ends, also when it could not be decoded (CR LF for an ANSI file without
// a line end, LF for a UTF one); `semQuebraNoFim` when its last line has no line end yet.
CodificacaoArquivo codificacaoDoArquivo(std::string_view bytes);
