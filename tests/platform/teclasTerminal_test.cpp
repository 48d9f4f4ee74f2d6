// The terminal key decoder: real sequences of xterm, tmux, rxvt, the Linux console and
// the CSI u keyboard protocol, decoded whole and byte by byte, plus garbage that must
// vanish without trace. Random bytes are the fuzz entry's (fuzz_teclasTerminal).
#include "platform/teclasTerminal.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#define ESC "\x1b"

namespace {

using T = EventoEntrada::Tipo;
using Eventos = std::vector<EventoEntrada>;

constexpr uint16_t kOutra = 0xFF, kBarra = 0xDC, kColEsq = 0xDB, kColDir = 0xDD;

Modificadores M(std::string_view s) {
    Modificadores m;
    m.shift = s.find('s') != std::string_view::npos;
    m.ctrl = s.find('c') != std::string_view::npos;
    m.alt = s.find('a') != std::string_view::npos;
    return m;
}

// One key press as Windows reports it: down, optional character, up.
Eventos K(uint16_t tecla, std::string_view mods = "", std::optional<uint8_t> c = std::nullopt) {
    const Modificadores m = M(mods);
    Eventos ev{{T::TeclaDesce, tecla, 0, m}};
    if (c) ev.push_back({T::Caractere, tecla, *c, m});
    ev.push_back({T::TeclaSobe, tecla, 0, m});
    return ev;
}

// A typed character: letters on their key (capitals with Shift), anything else on the
// key without a number of its own.
Eventos C(uint8_t c) {
    if (c >= 'a' && c <= 'z') return K(static_cast<uint16_t>(c - 32), "", c);
    if (c >= 'A' && c <= 'Z') return K(c, "s", c);
    if (c >= '0' && c <= '9') return K(c, "", c);
    if (c == ' ') return K(0x20, "", c);
    return K(kOutra, "", c);
}

// A character Windows-1252 lacks, and a paste.
Eventos U(char32_t u) {
    EventoEntrada e;
    e.tipo = T::Unicode;
    e.unicode = u;
    return {e};
}
Eventos P(std::string texto) {
    EventoEntrada e;
    e.tipo = T::Colagem;
    e.texto = std::move(texto);
    return {e};
}

Eventos Foco(bool ganhou) {
    return {{ganhou ? T::GanhouFoco : T::PerdeuFoco, 0, 0, {}}};
}

Eventos operator+(Eventos a, const Eventos& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string descreve(const Eventos& ev) {
    std::string s;
    for (const EventoEntrada& e : ev) {
        const char* tipos[] = {"v", "^", "c", "k", "foco+", "foco-", "fim", "u", "colagem"};
        s += tipos[static_cast<int>(e.tipo)];
        if (e.tipo == T::Colagem) {
            for (unsigned char b : e.texto)
                s += b >= 0x20 && b < 0x7F ? std::string(1, static_cast<char>(b))
                                           : "\\" + std::to_string(b);
            s += ' ';
            continue;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%X",
                      e.tipo == T::Caractere ? e.caractere
                      : e.tipo == T::Unicode ? static_cast<unsigned>(e.unicode)
                                             : e.tecla);
        s += buf;
        if (e.mod.shift || e.mod.ctrl || e.mod.alt)
            s += std::string("[") + (e.mod.shift ? "s" : "") + (e.mod.ctrl ? "c" : "") +
                 (e.mod.alt ? "a" : "") + "]";
        s += ' ';
    }
    return s;
}

struct Caso {
    const char* nome;
    std::string entrada;
    Eventos esperado;
};

Eventos inteiro(const std::string& s) {
    DecodificadorTerminal d;
    return d.alimenta(s);
}

Eventos byteAByte(const std::string& s) {
    DecodificadorTerminal d;
    Eventos ev;
    for (char c : s) ev = ev + d.alimenta(std::string(1, c));
    return ev;
}

// Complete inputs decode at once, the same whole or split in single bytes, and leave
// nothing waiting; text around them is untouched.
void verificaCompletos(const std::vector<Caso>& casos) {
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        DecodificadorTerminal d;
        EXPECT_EQ(descreve(d.alimenta(c.entrada)), descreve(c.esperado));
        EXPECT_FALSE(d.aguardaMais());
        EXPECT_EQ(descreve(byteAByte(c.entrada)), descreve(c.esperado));
        EXPECT_EQ(descreve(inteiro("q" + c.entrada + "q")), descreve(C('q') + c.esperado + C('q')));
    }
}

// clang-format off
TEST(DecodificadorTerminal, CursorAndEditingKeys) {
    verificaCompletos({
        {"xterm Ctrl+Right", ESC "[1;5C", K(0x27, "c")}, {"xterm End", ESC "[F", K(0x23)},
        {"xterm Ctrl+Shift+Home", ESC "[1;6H", K(0x24, "sc")}, {"SS3 Up", ESC "OA", K(0x26)},
        {"Ins", ESC "[2~", K(0x2D)}, {"Ctrl+Del", ESC "[3;5~", K(0x2E, "c")},
        {"PgUp", ESC "[5~", K(0x21)}, {"tmux End", ESC "[4~", K(0x23)},
        {"rxvt Home", ESC "[7~", K(0x24)}, {"Shift+Tab", ESC "[Z", K(0x09, "s", 9)},
        {"Ctrl+Shift+Tab", ESC "[1;6Z", K(0x09, "sc")}, {"rxvt Shift+Ins", ESC "[2$", K(0x2D, "s")},
        {"rxvt Ctrl+Shift+PgUp", ESC "[5@", K(0x21, "sc")},
        {"rxvt Shift+Up", ESC "[a", K(0x26, "s")}, {"rxvt Ctrl+Left", ESC "Od", K(0x25, "c")},
        {"rxvt Alt+Up", ESC ESC "[A", K(0x26, "a")}, {"keypad Enter", ESC "OM", K(0x0D, "", 13)},
        // A sequence cut by another, or by a control byte, gives way to it.
        {"cut by Up", ESC "[1;5" ESC "[A", K(0x26)}, {"cut by Enter", ESC "[12\r", K(0x0D, "", 13)},
        {"ESC O cut by Down", ESC "O" ESC "OB", K('O', "sa") + K(0x28)},
    });
}

TEST(DecodificadorTerminal, FunctionKeys) {
    verificaCompletos({
        {"F1", ESC "OP", K(0x70)}, {"xterm Shift+F1", ESC "[1;2P", K(0x70, "s")},
        {"old xterm Ctrl+F4", ESC "O5S", K(0x73, "c")}, {"F5", ESC "[15~", K(0x74)},
        {"F6", ESC "[17~", K(0x75)}, {"F11", ESC "[23~", K(0x7A)},
        {"Ctrl+Alt+Shift+F12", ESC "[24;8~", K(0x7B, "sca")},
        {"Alt+F3", ESC "[13;3~", K(0x72, "a")}, {"Alt+F4", ESC "[1;3S", K(0x73, "a")},
        {"rxvt Ctrl+F2", ESC "[12^", K(0x71, "c")}, {"Linux F5", ESC "[[E", K(0x74)},
        {"Linux Shift+F3", ESC "[25~", K(0x72, "s")},
        {"Linux Shift+F10", ESC "[34~", K(0x79, "s")},
    });
}

TEST(DecodificadorTerminal, ControlBytesAndAlt) {
    verificaCompletos({
        {"Ctrl+Z", "\x1a", K('Z', "c", 26)}, {"Backspace", "\x7f", K(0x08, "", 8)},
        {"Ctrl+Backspace", "\x08", K(0x08, "c", 8)}, {"Enter", "\r", K(0x0D, "", 13)},
        {"Tab", "\t", K(0x09, "", 9)}, {"Ctrl+\\", "\x1c", K(kBarra, "c", 28)},
        {"Ctrl+]", "\x1d", K(kColDir, "c", 29)}, {"Ctrl+^", "\x1e", K('6', "sc", 30)},
        {"Ctrl+Space", std::string(1, '\0'), K(0x20, "c", 32)},
        {"Alt+X", ESC "x", K('X', "a")}, {"Alt+Shift+X", ESC "X", K('X', "sa")},
        {"Alt+Backspace", ESC "\x7f", K(0x08, "a")}, {"Alt+Enter", ESC "\r", K(0x0D, "a")},
        {"Ctrl+Alt+A", ESC "\x01", K('A', "ca")}, {"Alt+]", ESC "]", K(kColDir, "a")},
        {"Alt+e acute", ESC "\xc3\xa9", K(kOutra, "a")},
    });
}

TEST(DecodificadorTerminal, ExtendedKeyProtocols) {
    verificaCompletos({
        {"CSI u Ctrl+Enter", ESC "[13;5u", K(0x0D, "c", 13)},
        {"modifyOtherKeys Ctrl+Enter", ESC "[27;5;13~", K(0x0D, "c", 13)},
        {"CSI u Ctrl+Backspace", ESC "[127;5u", K(0x08, "c", 8)},
        {"CSI u Ctrl+Tab", ESC "[9;5u", K(0x09, "c")},
        {"CSI u Esc", ESC "[27u", K(0x1B, "", 27)}, {"CSI u Ctrl+A", ESC "[97;5u", K('A', "c", 1)},
        {"modifyOtherKeys Ctrl+A", ESC "[27;5;97~", K('A', "c", 1)},
        {"CSI u Alt+A", ESC "[97;3u", K('A', "a")},
        {"modifyOtherKeys Alt+X", ESC "[27;3;120~", K('X', "a")},
        {"CSI u Shift+A types A", ESC "[97;2u", C('A')},
        {"modifyOtherKeys Shift+!", ESC "[27;2;33~", C('!')},
        {"CSI u e acute", ESC "[233u", C(0xE9)},
        {"CSI u Ctrl+Space", ESC "[32;5u", K(0x20, "c", 32)},
        {"CSI u Ctrl+[", ESC "[91;5u", K(kColEsq, "c", 27)},
        {"CSI u Ctrl+1", ESC "[49;5u", K('1', "c")},
        {"CSI u repeat event", ESC "[97;5:2u", K('A', "c", 1)},
        {"CSI u with alternate key", ESC "[97:65;5u", K('A', "c", 1)},
        {"CSI u with lock bits", ESC "[97;69u", K('A', "c", 1)},
        {"keypad 1", ESC "[57400u", K(0x61, "", '1')},
        {"keypad Ctrl+Left", ESC "[57417;5u", K(0x25, "c")}, {"keypad Del", ESC "[57426u", K(0x2E)},
    });
}

TEST(DecodificadorTerminal, TextFocusAndPaste) {
    verificaCompletos({
        {"letter", "a", C('a')}, {"capital", "A", C('A')}, {"space", " ", C(' ')},
        {"c cedilla and a tilde", "\xc3\xa7\xc3\xa3o", C(0xE7) + C(0xE3) + C('o')},
        {"euro sign", "\xe2\x82\xac", C(0x80)},
        {"no Windows-1252 form", "\xf0\x9f\x98\x80\xe2\x86\x92?", U(0x1F600) + U(0x2192) + C('?')},
        {"focus in", ESC "[I", Foco(true)}, {"focus out", ESC "[O", Foco(false)},
        // A paste is one event with the bytes as sent: the editor reads them as a text.
        {"paste: text and line ends", ESC "[200~ab\r\nc\nd\re" ESC "[201~",
         P("ab\r\nc\nd\re")},
        {"paste: escapes, controls, NUL and bad UTF-8 inside are text",
         ESC "[200~x" ESC "[Ay\x03\x1a\x7f" + std::string(1, '\0') + "\xff\xc3" ESC "[201~",
         P("x" ESC "[Ay\x03\x1a\x7f" + std::string(1, '\0') + "\xff\xc3")},
        {"paste: a cut end mark inside is text", ESC "[200~a" ESC "[20b" ESC "[201~", P("a" ESC "[20b")},
        {"paste: keys work again after", ESC "[200~" ESC "[201~" ESC "[A", P("") + K(0x26)},
    });
}
// clang-format on

// Sequences that are not keys, or are broken, vanish whole; what follows is intact.
TEST(DecodificadorTerminal, GarbageIsDroppedWhole) {
    // clang-format off
    const std::vector<std::string> lixo = {
        ESC "[99999999999;;;Z", ESC "[1;5;7;9A", ESC "[?1;2c", ESC "[>0;95;0c", ESC "[<0;10;5M",
        ESC "[<64;3;4m", ESC "[M !!", ESC "[99~", ESC "[2;0~", ESC "[1;999A", ESC "[12;40R",
        ESC "[0u", ESC "[1114112u", ESC "[55296u", ESC "[57441u", ESC "[97;5:3u", ESC "[1;5:3A",
        ESC "[27;5~", ESC "[2 q", ESC "[[Z", ESC "Oz", ESC "[E", ESC "[1;5E", ESC "[201~",
        ESC "[3;2I", ESC "[200;5~", ESC "[1:2:3:4:5:6:7:8:9A", ESC "[5?5~",
        ESC "[1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17~",
        "\xc2\x9b", "\xc2\x85",  // C1 controls (CSI, NEL) in UTF-8
        "\xe0\x81\x81",          // an over-long 'A'
        "\xed\xa0\x80",          // a surrogate
        ESC "[" + std::string(500, '7') + "A", ESC "[" + std::string(300, ';') + "~",
    };
    // clang-format on
    for (const std::string& l : lixo) {
        SCOPED_TRACE("input: ESC" + l.substr(1, 40));
        EXPECT_EQ(descreve(inteiro(l + "x")), descreve(C('x')));
        EXPECT_EQ(descreve(byteAByte(l + "x")), descreve(C('x')));
    }
}

struct CasoEspera {
    const char* nome;
    std::string entrada;
    Eventos antes;   // decoded at once
    Eventos depois;  // decoded when the input has been silent long enough
    int espera;      // how long that is
};

// Only lone ESCs are decided after the short wait; what follows an ESC within it still
// makes a sequence (an Esc and its key can come in separate reads).
TEST(DecodificadorTerminal, SilenceDecidesWhatWasPending) {
    constexpr int kEsc = DecodificadorTerminal::kEsperaEscMs;
    constexpr int kSeq = DecodificadorTerminal::kEsperaSequenciaMs;
    // clang-format off
    const std::vector<CasoEspera> casos = {
        {"lone ESC is Esc", ESC, {}, K(0x1B, "", 27), kEsc},
        {"two ESC are two Esc", ESC ESC, {}, K(0x1B, "", 27) + K(0x1B, "", 27), kEsc},
        {"letter then ESC", "a" ESC, C('a'), K(0x1B, "", 27), kEsc},
        {"ESC [ alone is Alt+[", ESC "[", {}, K(kColEsq, "a"), kSeq},
        {"ESC O alone is Alt+Shift+O", ESC "O", {}, K('O', "sa"), kSeq},
        {"cut sequence is dropped", ESC "[1;5", {}, {}, kSeq},
        {"cut SS3 with modifier is dropped", ESC "O5", {}, {}, kSeq},
        {"Latin-1 byte alone", "\xc3", {}, C(0xC3), kSeq},
        {"Latin-1 e acute", "\xe9", {}, C(0xE9), kSeq},
        // A pause inside a paste as long as the one that ends a sequence is not its end.
        {"paste without its end mark", ESC "[200~ab" ESC "[20", {}, P("ab"),
         DecodificadorTerminal::kEsperaColagemMs},
    };
    // clang-format on
    static_assert(kEsc < kSeq && kSeq < DecodificadorTerminal::kEsperaColagemMs);
    for (const CasoEspera& c : casos) {
        SCOPED_TRACE(c.nome);
        DecodificadorTerminal d;
        EXPECT_EQ(descreve(d.alimenta(c.entrada)), descreve(c.antes));
        EXPECT_TRUE(d.aguardaMais());
        EXPECT_EQ(d.esperaMs(), c.espera);
        EXPECT_TRUE(d.expira(c.espera - 1).empty());
        EXPECT_TRUE(d.aguardaMais());
        EXPECT_EQ(descreve(d.expira(c.espera)), descreve(c.depois));
        EXPECT_FALSE(d.aguardaMais());
        EXPECT_EQ(descreve(d.alimenta("z")), descreve(C('z')));
        // Before the wait ends, what comes next joins what was pending as if read at once.
        DecodificadorTerminal e;
        const std::string antes = descreve(e.alimenta(c.entrada));
        EXPECT_TRUE(e.expira(c.espera - 1).empty());
        EXPECT_EQ(antes + descreve(e.alimenta("x")), descreve(inteiro(c.entrada + "x")));
    }
}

// A megabyte pasted in the pieces a terminal is read in, the end mark split between two.
TEST(DecodificadorTerminal, ALargePasteArrivesWhole) {
    std::string texto;
    for (int i = 0; i < (1 << 20); ++i) texto += i % 61 == 60 ? '\n' : static_cast<char>('a' + i % 26);
    const std::string entrada = ESC "[200~" + texto + ESC "[201~x";
    DecodificadorTerminal d;
    Eventos ev;
    for (size_t pos = 0; pos < entrada.size(); pos += 4093)
        ev = ev + d.alimenta(entrada.substr(pos, 4093));
    ASSERT_EQ(ev.size(), 4u);
    EXPECT_EQ(ev[0].tipo, T::Colagem);
    EXPECT_TRUE(ev[0].texto == texto);
    EXPECT_EQ(descreve({ev.begin() + 1, ev.end()}), descreve(C('x')));
    EXPECT_FALSE(d.aguardaMais());
}

}  // namespace
