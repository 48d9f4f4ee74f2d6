// The terminal front-end's painter, key pacing and OSC sequences. The painter's output
// is run through a small ANSI screen model, which must end up showing the console's
// screen model exactly.
#include "platform/frontTerminal.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/codigos.h"

namespace {

// ANSI colour number of each DOS palette index (black, blue, green, cyan, red, magenta,
// brown, light grey, and the same eight bright).
int ansiDeDos(int i) {
    const int base[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    return base[i & 7] + (i & 8);
}

// Just enough of a terminal to check the painter: CUP, SGR colours, ED 2, cursor
// visibility and UTF-8 text with deferred wrapping. Anything else is a test failure.
struct TerminalFalso {
    int colunas, linhas;
    std::vector<char32_t> car;
    std::vector<int> frente, fundo;
    int lin = 0, col = 0, f = 7, b = 0;
    bool esperaQuebra = false, cursorVisivel = true, rolou = false;

    TerminalFalso(int c, int l)
        : colunas(c), linhas(l), car(c * l, U'.'), frente(c * l, -1), fundo(c * l, -1) {}

    void aplica(std::string_view s) {
        size_t i = 0;
        while (i < s.size()) {
            const uint8_t c = static_cast<uint8_t>(s[i]);
            if (c == 0x1b) {
                i = sequencia(s, i);
            } else if (c < 0x20 || c == 0x7f) {
                ADD_FAILURE() << "control byte " << int(c) << " written";
                ++i;
            } else {
                bool valido = true;
                char32_t u = proximoUtf8(s, i, &valido);
                EXPECT_TRUE(valido);
                EXPECT_FALSE(u >= 0x80 && u < 0xA0) << "C1 control written: " << int(u);
                escreve(u);
            }
        }
    }

    void escreve(char32_t u) {
        if (esperaQuebra) {
            col = 0;
            if (++lin == linhas) {
                rolou = true;
                lin = linhas - 1;
            }
            esperaQuebra = false;
        }
        const int i = lin * colunas + col;
        car[i] = u;
        frente[i] = f;
        fundo[i] = b;
        if (col + 1 == colunas)
            esperaQuebra = true;
        else
            ++col;
    }

    size_t sequencia(std::string_view s, size_t i) {
        EXPECT_LT(i + 1, s.size());
        EXPECT_EQ(s[i + 1], '[') << "only CSI expected";
        size_t j = i + 2;
        std::string corpo;
        while (j < s.size() && !(s[j] >= 0x40 && s[j] <= 0x7e)) corpo += s[j++];
        if (j >= s.size()) {
            ADD_FAILURE() << "unterminated sequence";
            return s.size();
        }
        executa(corpo, s[j]);
        return j + 1;
    }

    static std::vector<int> numeros(const std::string& corpo) {
        std::vector<int> v{0};
        for (char c : corpo) {
            if (c == ';')
                v.push_back(0);
            else
                v.back() = v.back() * 10 + (c - '0');
        }
        return v;
    }

    void executa(const std::string& corpo, char final) {
        if (corpo == "?25" && (final == 'h' || final == 'l')) {
            cursorVisivel = final == 'h';
        } else if (final == 'H') {
            auto v = numeros(corpo);
            ASSERT_EQ(v.size(), 2u);
            ASSERT_TRUE(v[0] >= 1 && v[0] <= linhas && v[1] >= 1 && v[1] <= colunas) << corpo;
            lin = v[0] - 1;
            col = v[1] - 1;
            esperaQuebra = false;
        } else if (final == 'J' && corpo == "2") {
            std::fill(car.begin(), car.end(), U' ');
            std::fill(frente.begin(), frente.end(), -1);
            std::fill(fundo.begin(), fundo.end(), -1);
        } else if (final == 'm') {
            for (int n : numeros(corpo)) {
                const int dezena = n / 10, cor = n % 10 + (n >= 90 ? 8 : 0);
                const bool ehFrente = dezena == 3 || dezena == 9,
                           ehFundo = dezena == 4 || dezena == 10;
                if (n == 0)
                    f = 7, b = 0;
                else if (n % 10 <= 7 && (ehFrente || ehFundo))
                    (ehFrente ? f : b) = cor;
                else
                    ADD_FAILURE() << "SGR " << n;
            }
        } else {
            ADD_FAILURE() << "unexpected sequence " << corpo << final;
        }
    }

    std::string linhaTexto(int l) const {
        std::string s;
        for (int c = 0; c < colunas; ++c) acrescentaUtf8(s, car[l * colunas + c]);
        return s;
    }
};

// What a cell's byte shows as: control characters as the replacement mark.
char32_t mostrado(uint8_t ch) {
    const char32_t u = ch == 0 ? U' ' : win1252ParaUnicode(ch);
    return u < 0x20 || (u >= 0x7F && u < 0xA0) ? 0xFFFD : u;
}

// The fake terminal shows the model: characters, colours and cursor.
void confere(const TerminalFalso& t, const ModeloTela& m) {
    for (int l = 0; l < ModeloTela::linhas; ++l)
        for (int c = 0; c < ModeloTela::colunas; ++c) {
            const int i = l * t.colunas + c;
            const uint8_t ch = m.caractere(c, l), atr = m.atributo(c, l);
            const bool igual = t.car[i] == mostrado(ch) && t.frente[i] == ansiDeDos(m.tabelaCores[atr & 15]) &&
                               t.fundo[i] == ansiDeDos(m.tabelaCores[atr >> 4]);
            ASSERT_TRUE(igual) << "cell " << c << "," << l << ": shows U+" << std::hex
                               << int(t.car[i]) << " colours " << t.frente[i] << "/" << t.fundo[i]
                               << ", model has byte " << int(ch) << " attribute " << int(atr);
        }
    EXPECT_EQ(t.lin, m.cursorLinha);
    EXPECT_EQ(t.col, m.cursorColuna);
    EXPECT_EQ(t.cursorVisivel, m.cursorVisivel);
    EXPECT_FALSE(t.rolou);
}

ModeloTela modeloAleatorio(std::mt19937& g) {
    ModeloTela m;
    for (auto& c : m.caracteres) c = static_cast<uint8_t>(32 + g() % 224);
    for (auto& a : m.atributos) a = static_cast<uint8_t>(g() % 256);
    for (int i = 0; i < 16; ++i) m.tabelaCores[i] = static_cast<uint8_t>(i);
    m.cursorColuna = static_cast<int>(g() % 80);
    m.cursorLinha = static_cast<int>(g() % 25);
    m.cursorVisivel = true;
    return m;
}

// The first paint shows the whole model; every later one keeps the screen equal to it.
TEST(PintorTerminal, RandomChangesKeepTheScreenEqualToTheModel) {
    std::mt19937 g(3);
    ModeloTela m = modeloAleatorio(g);
    PintorTerminal p;
    TerminalFalso t(80, 25);
    for (int rodada = 0; rodada < 200; ++rodada) {
        const int mudancas = static_cast<int>(g() % 30);
        for (int k = 0; k < mudancas; ++k) {
            const size_t i = g() % m.caracteres.size();
            m.caracteres[i] = static_cast<uint8_t>(g() % 256);
            if (g() % 2) m.atributos[i] = static_cast<uint8_t>(g() % 256);
        }
        m.cursorColuna = static_cast<int>(g() % 80);
        m.cursorLinha = static_cast<int>(g() % 25);
        m.cursorVisivel = g() % 2;
        // Now and then the colour table changes: the cells in a changed colour are redrawn.
        const bool novaTabela = rodada % 50 == 49;
        if (novaTabela) m.tabelaCores[g() % 16] = static_cast<uint8_t>(g() % 16);
        const std::string s = p.atualiza(m);
        t.aplica(s);
        confere(t, m);
        if (testing::Test::HasFatalFailure()) return;
        // Otherwise only the changed cells are written, and nothing when nothing changed.
        if (rodada > 0 && !novaTabela) { EXPECT_LT(s.size(), 40u * (mudancas + 1)); }
        EXPECT_EQ(p.atualiza(m), "");
    }
}

TEST(PintorTerminal, ASmallTerminalShowsANoticeAndRepaintsLater) {
    std::mt19937 g(5);
    ModeloTela m = modeloAleatorio(g);
    PintorTerminal p;
    TerminalFalso grande(80, 25);
    grande.aplica(p.atualiza(m));

    p.tamanho(79, 30);
    TerminalFalso pequeno(79, 30);
    pequeno.aplica(p.atualiza(m));
    EXPECT_EQ(pequeno.linhaTexto(0).substr(0, 32), "Aumente o terminal para 80 x 24.");
    EXPECT_EQ(pequeno.linhaTexto(1).substr(0, 22), "Tamanho atual: 79 x 30");
    EXPECT_FALSE(pequeno.cursorVisivel);
    EXPECT_EQ(p.atualiza(m), "");

    p.tamanho(20, 1);  // narrower than the message: cut, never wrapped
    TerminalFalso minusculo(20, 1);
    minusculo.aplica(p.atualiza(m));
    EXPECT_EQ(minusculo.linhaTexto(0), "Aumente o terminal p");
    EXPECT_FALSE(minusculo.rolou);

    p.tamanho(100, 30);
    TerminalFalso outraVez(100, 30);
    outraVez.aplica(p.atualiza(m));
    confere(outraVez, m);
}

// At 24 rows the blank row 8 is left out; when something is written there, the top row
// instead. Either way the other 24 rows show as they are, and the cursor with them.
TEST(PintorTerminal, TwentyFourRowsLeaveOutRowEightOrTheFirst) {
    std::mt19937 g(7);
    ModeloTela m = modeloAleatorio(g);
    for (int c = 0; c < 80; ++c) m.caracteres[7 * 80 + c] = c % 2 ? ' ' : 0;
    m.cursorLinha = 14;
    PintorTerminal p;
    p.tamanho(80, 24);
    EXPECT_FALSE(p.pequeno());
    TerminalFalso t(80, 24);
    auto confereSem = [&](int omitida) {
        for (int l = 0, tl = 0; l < 25; ++l) {
            if (l == omitida) continue;
            for (int c = 0; c < 80; ++c)
                ASSERT_EQ(t.car[tl * 80 + c], mostrado(m.caractere(c, l))) << l << "," << c;
            ++tl;
        }
        EXPECT_EQ(t.lin, omitida < m.cursorLinha ? m.cursorLinha - 1 : m.cursorLinha);
        EXPECT_EQ(t.col, m.cursorColuna);
        EXPECT_FALSE(t.rolou);
    };
    t.aplica(p.atualiza(m));
    confereSem(7);
    m.caracteres[7 * 80 + 3] = 'x';  // a list reaches row 8
    t.aplica(p.atualiza(m));
    confereSem(0);
    m.caracteres[7 * 80 + 3] = ' ';
    m.caracteres[20 * 80 + 5] = 'y';
    t.aplica(p.atualiza(m));
    confereSem(7);

    p.tamanho(80, 23);
    TerminalFalso baixo(80, 23);
    baixo.aplica(p.atualiza(m));
    EXPECT_EQ(baixo.linhaTexto(0).substr(0, 32), "Aumente o terminal para 80 x 24.");
}

TEST(EntregaTeclasTerminal, LimitsKeysPerWaitWithoutLosingAny) {
    EntregaTeclas e;
    std::vector<EventoEntrada> todos;
    for (int i = 0; i < 100; ++i) {
        EventoEntrada d{EventoEntrada::Tipo::TeclaDesce, static_cast<uint16_t>(i), 0, {}};
        EventoEntrada c{EventoEntrada::Tipo::Caractere, static_cast<uint16_t>(i), 'a', {}};
        EventoEntrada s{EventoEntrada::Tipo::TeclaSobe, static_cast<uint16_t>(i), 0, {}};
        todos.insert(todos.end(), {d, c, s});
    }
    e.acrescenta(todos);
    std::vector<EventoEntrada> recebidos;
    auto drena = [&](bool espera, uint64_t ms) {
        size_t antes = recebidos.size();
        for (auto ev = e.proxima(espera, ms); ev; ev = e.proxima(false, ms))
            recebidos.push_back(*ev);
        return recebidos.size() - antes;
    };
    EXPECT_EQ(drena(true, 1000), 3u * EntregaTeclas::kTeclasPorVez);
    EXPECT_EQ(drena(false, 1000 + EntregaTeclas::kRecargaMs - 1), 0u);
    EXPECT_EQ(drena(false, 1000 + EntregaTeclas::kRecargaMs), 3u * EntregaTeclas::kTeclasPorVez);
    EXPECT_EQ(drena(true, 1600), 3u * EntregaTeclas::kTeclasPorVez);
    EXPECT_EQ(drena(true, 1600), 3u * (100 - 3 * EntregaTeclas::kTeclasPorVez));
    EXPECT_TRUE(e.vazia());
    ASSERT_EQ(recebidos.size(), todos.size());
    for (size_t i = 0; i < todos.size(); ++i) {
        EXPECT_EQ(recebidos[i].tipo, todos[i].tipo);
        EXPECT_EQ(recebidos[i].tecla, todos[i].tecla);
    }
}

// The title without control characters; the copy in base64, with Unix line ends.
TEST(SequenciasTerminal, TitleAndCopy) {
    EXPECT_EQ(sequenciaTitulo("Plumar - carta.txt"), "\x1b]0;Plumar - carta.txt\x07");
    EXPECT_EQ(sequenciaTitulo("a\x1b]0;x\x07\x9b\xe9"), "\x1b]0;a]0;x\xe2\x80\xba\xc3\xa9\x07");
    EXPECT_EQ(sequenciaTitulo(std::string(1000, 'x')).size(), 4u + 256u + 1u);
    EXPECT_EQ(sequenciaCopia("ab\r\nc\xe9"), "\x1b]52;c;YWIKY8Op\x07");
    EXPECT_EQ(sequenciaCopia("\x80"), "\x1b]52;c;4oKs\x07");
    EXPECT_EQ(sequenciaCopia("a"), "\x1b]52;c;YQ==\x07");
    EXPECT_EQ(sequenciaCopia(""), "\x1b]52;c;\x07");
    EXPECT_EQ(sequenciaCopia(std::string(2'000'000, 'x')), "");
}

}  // namespace
