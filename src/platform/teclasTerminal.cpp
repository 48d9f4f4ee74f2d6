#include "platform/teclasTerminal.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/codigos.h"
#include "platform/teclado.h"

namespace {

using T = EventoEntrada::Tipo;
using Eventos = std::vector<EventoEntrada>;
using Leitura = DecodificadorTerminal::Leitura;

constexpr char kEsc = '\x1b';
constexpr std::string_view kFimColagem = "\x1b[201~";

// Keys of the Windows keyboard that vk:: has no name for.
constexpr uint16_t kColcheteEsquerdo = 0xDB, kColcheteDireito = 0xDD, kMenos = 0xBD;
constexpr uint16_t kNumerico0 = 0x60, kMultiplica = 0x6A, kSoma = 0x6B, kSeparador = 0x6C,
                   kSubtrai = 0x6D, kDecimal = 0x6E, kDivide = 0x6F;

// A parameter left empty, and one too large to be anything a terminal means.
constexpr long kPadrao = -1;
constexpr long kMaiorNumero = 10'000'000;

Modificadores mods(bool shift, bool ctrl, bool alt) {
    Modificadores m;
    m.shift = shift;
    m.ctrl = ctrl;
    m.alt = alt;
    return m;
}

// A key without text of its own: key-down, the control character Windows gives, key-up.
Eventos tecla(uint16_t vk, Modificadores m) {
    return eventosDeTecla(vk, m, caractereDeControle(vk, m));
}

// A key that came after ESC: Alt was held, and Alt keys send no character message.
Eventos comAlt(Eventos ev) {
    std::erase_if(ev, [](const EventoEntrada& e) { return e.tipo == T::Caractere; });
    for (EventoEntrada& e : ev)
        if (e.tipo == T::TeclaDesce || e.tipo == T::TeclaSobe) e.mod.alt = true;
    return ev;
}

Leitura le(size_t bytes, Eventos ev = {}) {
    return Leitura{bytes, std::move(ev)};
}

bool controle(char32_t u) {
    return u < 0x20 || (u >= 0x7F && u < 0xA0);
}

// A typed Windows-1252 character; Shift turns a small letter into a capital.
Eventos digitado(uint8_t c, bool shift) {
    if (shift && c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 'a' + 'A');
    return eventosDeCaractere(c);
}

// A character key held with Ctrl or Alt: the key, and the control character of Ctrl.
Eventos teclaDeCaractereModificada(uint8_t c, Modificadores m) {
    const bool soCtrl = m.ctrl && !m.alt;
    switch (c) {
        case '[':
            return eventosDeTecla(kColcheteEsquerdo, m,
                                  soCtrl ? std::optional<uint8_t>(27) : std::nullopt);
        case ']':
            return eventosDeTecla(kColcheteDireito, m,
                                  soCtrl ? std::optional<uint8_t>(29) : std::nullopt);
        case '\\':
            return tecla(vk::BarraInvertida, m);
        default:
            break;
    }
    TeclaDeCaractere t = teclaDoCaractere(c);
    m.shift = m.shift || t.shift;
    return tecla(t.tecla, m);
}

Eventos teclaDeCaractere(uint8_t c, Modificadores m) {
    if (!m.ctrl && !m.alt) return digitado(c, m.shift);
    return teclaDeCaractereModificada(c, m);
}

// A single byte that is not text: the control characters of the keyboard.
Eventos teclaDeByte(uint8_t c) {
    const Modificadores ctrl = mods(false, true, false);
    const Modificadores ctrlShift = mods(true, true, false);
    switch (c) {
        case 0x00:
            return tecla(vk::Espaco, ctrl);
        case 0x08:
            return tecla(vk::Backspace, ctrl);
        case 0x09:
            return tecla(vk::Tab, {});
        case 0x0D:
            return tecla(vk::Enter, {});
        case 0x1B:
            return tecla(vk::Esc, {});
        case 0x1C:
            return tecla(vk::BarraInvertida, ctrl);
        case 0x1D:
            return eventosDeTecla(kColcheteDireito, ctrl, 29);
        case 0x1E:
            return eventosDeTecla(vk::Digito('6'), ctrlShift, 30);
        case 0x1F:
            return eventosDeTecla(kMenos, ctrlShift, 31);
        case 0x7F:
            return tecla(vk::Backspace, {});
        default:
            break;
    }
    if (c >= 1 && c <= 26) return tecla(vk::Letra(static_cast<char>('A' + c - 1)), ctrl);
    return {};
}

int comprimentoUtf8(uint8_t c) {
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c < 0xE0) return 2;
    if (c >= 0xE0 && c < 0xF0) return 3;
    if (c >= 0xF0 && c < 0xF5) return 4;
    return 1;
}

// Text: one UTF-8 character. A byte that is not UTF-8 comes from a terminal in a Latin
// code page; from 0xA0 on it is the same letter in Windows-1252, below it a C1 control.
std::optional<Leitura> texto(std::string_view s, bool definitivo) {
    const uint8_t c = static_cast<uint8_t>(s[0]);
    const size_t n = static_cast<size_t>(comprimentoUtf8(c));
    if (s.size() < n && !definitivo) {
        auto continuacao = [](char k) { return (static_cast<uint8_t>(k) & 0xC0) == 0x80; };
        if (std::all_of(s.begin() + 1, s.end(), continuacao)) return std::nullopt;
    }
    size_t pos = 0;
    bool valido = true;
    const char32_t u = proximoUtf8(s, pos, &valido);
    if (!valido) return le(1, c >= 0xA0 ? eventosDeCaractere(c) : Eventos{});
    // Controls, letters spelled with too many bytes, and surrogates are not text.
    if (controle(u) || (pos > 1 && u < 0x80) || (u >= 0xD800 && u < 0xE000)) return le(pos);
    return le(pos, eventosDeUnicode(u));
}

// ---------------------------------------------------------------- key numbers

// xterm's modifier parameter: 1 plus the bits 1 Shift, 2 Alt, 4 Ctrl. Higher bits are
// keys this program has no use for (Meta, Super, lock states) and are ignored.
std::optional<Modificadores> modificadores(long p) {
    if (p == kPadrao) return Modificadores{};
    if (p < 1 || p > 256) return std::nullopt;
    const long b = p - 1;
    return mods(b & 1, b & 4, b & 2);
}

std::optional<uint16_t> teclaDeLetraFinal(char f) {
    switch (f) {
        case 'A':
            return vk::Cima;
        case 'B':
            return vk::Baixo;
        case 'C':
            return vk::Direita;
        case 'D':
            return vk::Esquerda;
        case 'H':
            return vk::Home;
        case 'F':
            return vk::End;
        case 'P':
            return vk::F(1);
        case 'Q':
            return vk::F(2);
        case 'R':
            return vk::F(3);
        case 'S':
            return vk::F(4);
        default:
            return std::nullopt;
    }
}

std::optional<uint16_t> teclaDeNumero(long n) {
    switch (n) {
        case 1:
        case 7:
            return vk::Home;
        case 2:
            return vk::Ins;
        case 3:
            return vk::Del;
        case 4:
        case 8:
            return vk::End;
        case 5:
            return vk::PgUp;
        case 6:
            return vk::PgDn;
        case 23:
            return vk::F(11);
        case 24:
            return vk::F(12);
        default:
            break;
    }
    if (n >= 11 && n <= 15) return vk::F(static_cast<int>(n - 10));
    if (n >= 17 && n <= 21) return vk::F(static_cast<int>(n - 11));
    return std::nullopt;
}

// rxvt and the Linux console number Shift+F3..Shift+F10 on after F12.
std::optional<uint16_t> teclaShiftFuncao(long n) {
    switch (n) {
        case 25:
        case 26:
            return vk::F(static_cast<int>(n - 22));
        case 28:
        case 29:
            return vk::F(static_cast<int>(n - 23));
        case 31:
        case 32:
        case 33:
        case 34:
            return vk::F(static_cast<int>(n - 24));
        default:
            return std::nullopt;
    }
}

// The keypad keys of the CSI u protocol, which numbers them from 57399.
Eventos teclaNumerica(long codigo, Modificadores m) {
    const bool comCaractere = !m.ctrl && !m.alt;
    auto comTexto = [&](uint16_t k, char c) {
        return eventosDeTecla(k, m, comCaractere ? std::optional<uint8_t>(c) : std::nullopt);
    };
    const long i = codigo - 57399;
    if (i >= 0 && i <= 9)
        return comTexto(static_cast<uint16_t>(kNumerico0 + i), static_cast<char>('0' + i));
    static constexpr uint16_t kSetas[] = {vk::Esquerda, vk::Direita, vk::Cima, vk::Baixo, vk::PgUp,
                                          vk::PgDn,     vk::Home,    vk::End,  vk::Ins,   vk::Del};
    if (codigo >= 57417 && codigo <= 57426) return tecla(kSetas[codigo - 57417], m);
    switch (codigo) {
        case 57409:
            return comTexto(kDecimal, '.');
        case 57410:
            return comTexto(kDivide, '/');
        case 57411:
            return comTexto(kMultiplica, '*');
        case 57412:
            return comTexto(kSubtrai, '-');
        case 57413:
            return comTexto(kSoma, '+');
        case 57414:
            return tecla(vk::Enter, m);
        case 57415:
            return comCaractere ? eventosDeCaractere('=') : tecla(vk::Outra, m);
        case 57416:
            return comTexto(kSeparador, ',');
        default:
            return {};
    }
}

// A key given by its Unicode number (CSI u, and modifyOtherKeys).
Eventos teclaDeCodigo(long codigo, Modificadores m) {
    switch (codigo) {
        case 8:
        case 127:
            return tecla(vk::Backspace, m);
        case 9:
            return tecla(vk::Tab, m);
        case 13:
            return tecla(vk::Enter, m);
        case 27:
            return tecla(vk::Esc, m);
        default:
            break;
    }
    if (codigo >= 57399 && codigo <= 57427) return teclaNumerica(codigo, m);
    const bool usoPrivado = codigo >= 0xE000 && codigo < 0xF900;
    const bool substituto = codigo >= 0xD800 && codigo < 0xE000;
    if (codigo < 0 || codigo > 0x10FFFF || usoPrivado || substituto) return {};
    const char32_t u = static_cast<char32_t>(codigo);
    if (controle(u)) return {};
    const uint8_t c = unicodeParaWin1252(u);
    if (c == '?' && u != U'?') return {};  // a key whose character Windows-1252 has not
    return teclaDeCaractere(c, m);
}

// ---------------------------------------------------------------- control sequences

// The parameters of a control sequence: numbers separated by ';', each with
// sub-parameters separated by ':'.
struct SequenciaCsi {
    char privado = 0;  // '<', '=', '>' or '?' right after the introducer
    bool intermediarios = false;
    std::vector<std::vector<long>> parametros;
    char final = 0;

    long valor(size_t i, size_t sub = 0) const {
        if (i >= parametros.size() || sub >= parametros[i].size()) return kPadrao;
        return parametros[i][sub];
    }
};

std::optional<SequenciaCsi> analisaCsi(std::string_view corpo, char final) {
    SequenciaCsi q;
    q.final = final;
    size_t i = 0;
    if (!corpo.empty() && std::strchr("<=>?", corpo[0])) q.privado = corpo[i++];
    for (; i < corpo.size(); ++i) {
        const char c = corpo[i];
        if (q.parametros.empty() && c != ' ') q.parametros.push_back({kPadrao});
        if (c >= 0x20 && c <= 0x2F) {
            q.intermediarios = true;
        } else if (q.intermediarios || std::strchr("<=>?", c)) {
            return std::nullopt;  // parameters after intermediates, or a marker in the middle
        } else if (c == ';') {
            if (q.parametros.size() >= 16) return std::nullopt;
            q.parametros.push_back({kPadrao});
        } else if (c == ':') {
            if (q.parametros.back().size() >= 8) return std::nullopt;
            q.parametros.back().push_back(kPadrao);
        } else {
            long& v = q.parametros.back().back();
            v = (v == kPadrao ? 0 : v * 10) + (c - '0');
            if (v > kMaiorNumero) return std::nullopt;
        }
    }
    return q;
}

// Cursor and F1..F4 keys: CSI [1;m] letter, and CSI Z for Shift+Tab.
Eventos teclaDeLetra(const SequenciaCsi& q, uint16_t k, bool shift) {
    if (q.parametros.size() > 2) return {};
    if (q.valor(0) != kPadrao && q.valor(0) != 1) return {};
    if (q.valor(1, 1) == 3) return {};  // a key release
    auto m = modificadores(q.valor(1));
    if (!m) return {};
    m->shift = m->shift || shift;
    return tecla(k, *m);
}

// CSI n [;m] ~, and modifyOtherKeys' CSI 27;m;code ~.
Eventos teclaDeTil(const SequenciaCsi& q) {
    const long n = q.valor(0);
    if (n == 27) {
        auto m = modificadores(q.valor(1));
        if (q.parametros.size() != 3 || !m) return {};
        return teclaDeCodigo(q.valor(2), *m);
    }
    if (q.parametros.size() > 2 || q.valor(1, 1) == 3) return {};
    auto m = modificadores(q.valor(1));
    if (!m) return {};
    if (auto k = teclaDeNumero(n)) return tecla(*k, *m);
    if (auto k = teclaShiftFuncao(n); k && q.parametros.size() == 1)
        return tecla(*k, mods(true, false, false));
    return {};
}

// CSI code [;m[:event]] [;text] u.
Eventos teclaCsiU(const SequenciaCsi& q) {
    if (q.parametros.size() > 3 || q.valor(0) == kPadrao) return {};
    if (q.valor(1, 1) == 3) return {};  // a key release
    auto m = modificadores(q.valor(1));
    if (!m) return {};
    return teclaDeCodigo(q.valor(0), *m);
}

// rxvt: CSI n $ with Shift, ^ with Ctrl, @ with both.
Eventos teclaRxvt(const SequenciaCsi& q) {
    if (q.parametros.size() != 1) return {};
    auto k = teclaDeNumero(q.valor(0));
    if (!k) return {};
    return tecla(*k, mods(q.final != '^', q.final != '$', false));
}

Eventos interpretaCsi(const SequenciaCsi& q) {
    if (q.privado != 0 || q.intermediarios) return {};  // reports, mouse, replies
    switch (q.final) {
        case 'I':
        case 'O':
            if (!q.parametros.empty()) return {};
            return {EventoEntrada{q.final == 'I' ? T::GanhouFoco : T::PerdeuFoco, 0, 0, {}}};
        case '~':
            return teclaDeTil(q);
        case 'u':
            return teclaCsiU(q);
        case '$':
        case '^':
        case '@':
            return teclaRxvt(q);
        case 'Z':
            return teclaDeLetra(q, vk::Tab, true);
        case 'a':
        case 'b':
        case 'c':
        case 'd': {
            if (!q.parametros.empty()) return {};
            static constexpr uint16_t kSetas[] = {vk::Cima, vk::Baixo, vk::Direita, vk::Esquerda};
            return tecla(kSetas[q.final - 'a'], mods(true, false, false));
        }
        default:
            break;
    }
    if (auto k = teclaDeLetraFinal(q.final)) return teclaDeLetra(q, *k, false);
    return {};
}

// The Linux console's F1..F5: ESC [ [ A..E.
std::optional<Leitura> funcaoConsoleLinux(std::string_view s, bool definitivo) {
    if (s.size() < 4) return definitivo ? std::optional(le(s.size())) : std::nullopt;
    const char c = s[3];
    if (c >= 'A' && c <= 'E') return le(4, tecla(vk::F(c - 'A' + 1), {}));
    return le(c >= 0x20 && c <= 0x7E ? 4 : 3);
}

// SS3: ESC O, an optional modifier digit, and a final.
std::optional<Leitura> ss3(std::string_view s, bool definitivo) {
    const Eventos altO = comAlt(eventosDeCaractere('O'));
    size_t i = 2;
    long m = kPadrao;
    if (i < s.size() && s[i] >= '1' && s[i] <= '9') m = s[i++] - '0';
    if (i >= s.size()) {
        if (!definitivo) return std::nullopt;
        return i == 2 ? le(2, altO) : le(i);
    }
    const char f = s[i];
    if (f < 0x40 || f > 0x7E) return i == 2 ? le(2, altO) : le(i);
    auto mod = modificadores(m);
    if (!mod) return le(i + 1);
    if (auto k = teclaDeLetraFinal(f)) return le(i + 1, tecla(*k, *mod));
    if (f == 'M') return le(i + 1, tecla(vk::Enter, *mod));
    if (f >= 'a' && f <= 'd') {  // rxvt: Ctrl with the arrows
        static constexpr uint16_t kSetas[] = {vk::Cima, vk::Baixo, vk::Direita, vk::Esquerda};
        return le(i + 1, tecla(kSetas[f - 'a'], mods(false, true, false)));
    }
    // The keypad in application mode: j..y are * + , - . / 0..9.
    if (f >= 'j' && f <= 'y')
        return le(i + 1, eventosDeCaractere(static_cast<uint8_t>("*+,-./0123456789"[f - 'j'])));
    return le(i + 1);
}

}  // namespace

// ---------------------------------------------------------------- the decoder

std::vector<EventoEntrada> DecodificadorTerminal::alimenta(std::string_view bytes) {
    pendentes_.append(bytes);
    std::vector<EventoEntrada> saida;
    processa(false, saida);
    return saida;
}

int DecodificadorTerminal::esperaMs() const {
    if (colando_) return kEsperaColagemMs;
    const bool soEsc = !descartando_ && !pendentes_.empty() &&
                       pendentes_.find_first_not_of(kEsc) == std::string::npos;
    return soEsc ? kEsperaEscMs : kEsperaSequenciaMs;
}

std::vector<EventoEntrada> DecodificadorTerminal::expira(int msSilencio) {
    std::vector<EventoEntrada> saida;
    if (msSilencio < esperaMs()) return saida;
    if (colando_) {
        colando_ = false;  // the end mark was lost: what was pasted is all there is
        saida.push_back(colagemPronta());
    }
    processa(true, saida);
    descartando_ = false;
    return saida;
}

void DecodificadorTerminal::processa(bool definitivo, std::vector<EventoEntrada>& saida) {
    size_t pos = 0;
    while (pos < pendentes_.size()) {
        const std::string_view resto = std::string_view(pendentes_).substr(pos);
        std::optional<Leitura> r = descartando_ ? passoDescarte(resto, definitivo)
                                   : colando_   ? passoColagem(resto, definitivo)
                                                : passo(resto, definitivo);
        if (!r) break;
        pos += std::max<size_t>(r->bytes, 1);
        saida.insert(saida.end(), r->eventos.begin(), r->eventos.end());
    }
    pendentes_.erase(0, pos);
}

std::optional<Leitura> DecodificadorTerminal::passo(std::string_view s, bool definitivo) {
    const uint8_t c = static_cast<uint8_t>(s[0]);
    if (c == kEsc) return escape(s, definitivo);
    if (c < 0x20 || c == 0x7F) return le(1, teclaDeByte(c));
    return texto(s, definitivo);
}

std::optional<Leitura> DecodificadorTerminal::escape(std::string_view s, bool definitivo) {
    if (s.size() < 2) return definitivo ? std::optional(le(1, tecla(vk::Esc, {}))) : std::nullopt;
    const uint8_t c = static_cast<uint8_t>(s[1]);
    if (c == '[') return csi(s, definitivo);
    if (c == 'O') return ss3(s, definitivo);
    if (c == kEsc) {
        // rxvt sends Alt with a cursor key as ESC and the key's own sequence; any other
        // second ESC is a second press of Esc.
        if (s.size() < 3)
            return definitivo ? std::optional(le(1, tecla(vk::Esc, {}))) : std::nullopt;
        if (s[2] != '[' && s[2] != 'O') return le(1, tecla(vk::Esc, {}));
        auto r = escape(s.substr(1), definitivo);
        if (!r) return std::nullopt;
        return le(r->bytes + 1, comAlt(std::move(r->eventos)));
    }
    if (c < 0x20 || c == 0x7F) return le(2, comAlt(teclaDeByte(c)));
    auto r = texto(s.substr(1), definitivo);
    if (!r) return std::nullopt;
    // Alt with a character key: the key with Alt, no character (the console wants the key).
    Eventos ev;
    for (const EventoEntrada& e : r->eventos)
        if (e.tipo == T::Caractere)
            ev = teclaDeCaractereModificada(e.caractere, mods(false, false, true));
    return le(r->bytes + 1, std::move(ev));
}

std::optional<Leitura> DecodificadorTerminal::csi(std::string_view s, bool definitivo) {
    if (s.size() < 3) {
        if (!definitivo) return std::nullopt;
        return le(2, teclaDeCaractereModificada('[', mods(false, false, true)));
    }
    if (s[2] == '[') return funcaoConsoleLinux(s, definitivo);
    size_t i = 2;
    for (; i < s.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(s[i]);
        if ((c >= 0x40 && c <= 0x7E) || c == '$') break;  // rxvt ends some keys with '$'
        if (c < 0x20 || c > 0x7E) return le(i);           // cut short by another byte: dropped
        if (i >= kMaximoSequencia) {
            descartando_ = true;
            return le(i);
        }
    }
    if (i >= s.size()) return definitivo ? std::optional(le(s.size())) : std::nullopt;
    const char final = s[i];
    if (final == 'M' && i == 2) {  // old mouse report: three raw bytes follow
        if (s.size() < 6) return definitivo ? std::optional(le(s.size())) : std::nullopt;
        return le(6);
    }
    const std::string_view corpo = s.substr(2, i - 2);
    if (final == '~' && corpo == "200") {
        colando_ = true;
        colagem_.clear();
        return le(i + 1);
    }
    auto q = analisaCsi(corpo, final);
    return le(i + 1, q ? interpretaCsi(*q) : Eventos{});
}

// Pasted text is text, escapes and control bytes included: it is gathered as it comes
// and handed over whole when the end mark arrives.
std::optional<Leitura> DecodificadorTerminal::passoColagem(std::string_view s, bool definitivo) {
    if (const size_t fim = s.find(kFimColagem); fim != std::string_view::npos) {
        colagem_.append(s.substr(0, fim));
        colando_ = false;
        return le(fim + kFimColagem.size(), {colagemPronta()});
    }
    // The bytes that may be the start of the end mark wait for what follows.
    size_t guarda = 0;
    for (size_t n = std::min(s.size(), kFimColagem.size() - 1); n > 0 && !definitivo; --n) {
        if (kFimColagem.starts_with(s.substr(s.size() - n))) {
            guarda = n;
            break;
        }
    }
    if (guarda == s.size()) return std::nullopt;
    colagem_.append(s.substr(0, s.size() - guarda));
    return le(s.size() - guarda);
}

EventoEntrada DecodificadorTerminal::colagemPronta() {
    EventoEntrada ev;
    ev.tipo = T::Colagem;
    ev.texto = std::exchange(colagem_, std::string());
    return ev;
}

std::optional<Leitura> DecodificadorTerminal::passoDescarte(std::string_view s, bool definitivo) {
    size_t i = 0;
    while (i < s.size() && s[i] >= 0x20 && s[i] <= 0x3F) ++i;
    if (i == s.size()) return le(i);
    descartando_ = false;
    const uint8_t c = static_cast<uint8_t>(s[i]);
    if (c >= 0x40 && c <= 0x7E) return le(i + 1);
    if (i == 0) return passo(s, definitivo);
    return le(i);
}
