#include "rtf.h"

#include <algorithm>
#include <array>
#include <vector>

#include "editor/marcasTexto.h"
#include "platform/codigos.h"

namespace {

// The 17 colours of "<CE=n>" as red, green and blue, in the word processor's order of
// colour indexes (0, automatic, has no entry of its own in the table).
constexpr std::array<std::array<int, 3>, 17> kCores = {{
    {0, 0, 0},       {0, 0, 0},       {0, 0, 255},     {0, 255, 255}, {0, 255, 0},
    {255, 0, 255},   {255, 0, 0},     {255, 255, 0},   {255, 255, 255}, {0, 0, 128},
    {0, 128, 128},   {0, 128, 0},     {128, 0, 128},   {128, 0, 0},   {128, 128, 0},
    {128, 128, 128}, {192, 192, 192},
}};
constexpr std::string_view kFontePadrao = "Times New Roman";

struct Paragrafo {
    std::string texto;        // with its marks
    std::string alinhamento;  // RTF control word
};

// Whether the text is valid UTF-8 with characters beyond ASCII.
bool ehUtf8(std::string_view texto) {
    bool alem = false;
    for (size_t pos = 0; pos < texto.size();) {
        bool valido = true;
        if (proximoUtf8(texto, pos, &valido) >= 0x80) alem = true;
        if (!valido) return false;
    }
    return alem;
}

// A character as RTF text.
void escreveCaractere(std::string& rtf, char32_t u) {
    if (u == '\\' || u == '{' || u == '}') {
        rtf += '\\';
        rtf += static_cast<char>(u);
    } else if (u == '\t') {
        rtf += "\\tab ";
    } else if (u < 0x80) {
        rtf += static_cast<char>(u);
    } else if (const uint8_t b = unicodeParaWin1252(u); b != '?') {
        static constexpr char kHex[] = "0123456789abcdef";
        rtf += "\\'";
        rtf += kHex[b >> 4];
        rtf += kHex[b & 15];
    } else {
        // Beyond the code page: the character itself, and '?' for readers that lack it.
        rtf += "\\u" + std::to_string(static_cast<int16_t>(u > 0xFFFF ? 0xFFFD : u)) + "?";
    }
}

// UTF-8 text as RTF text.
std::string textoRtf(std::string_view utf8) {
    std::string rtf;
    for (size_t pos = 0; pos < utf8.size();) escreveCaractere(rtf, proximoUtf8(utf8, pos));
    return rtf;
}

std::string_view controleAlinhamento(TipoMarca t) {
    switch (t) {
        case TipoMarca::Justificado: return "\\qj";
        case TipoMarca::Centrado: return "\\qc";
        case TipoMarca::Direita: return "\\qr";
        case TipoMarca::Esquerda: return "\\ql";
        default: return {};
    }
}

// Calls `marca` for each recognised mark of `texto` and `trecho` for the text between.
template <typename Marca, typename Trecho>
void percorre(std::string_view texto, Marca marca, Trecho trecho) {
    size_t i = 0;
    while (i < texto.size()) {
        const size_t abre = texto.find('<', i);
        const size_t fecha = abre == std::string_view::npos ? abre : fimDaMarca(texto, abre);
        if (fecha == std::string_view::npos) {
            trecho(texto.substr(i));
            return;
        }
        std::optional<::Marca> m = reconheceMarca(texto.substr(abre, fecha - abre + 1));
        trecho(texto.substr(i, (m ? abre : fecha + 1) - i));
        if (m) marca(*m);
        i = fecha + 1;
    }
}

bool comecaComAlinhamento(std::string_view linha) {
    if (linha.empty() || linha[0] != '<') return false;
    const size_t fecha = fimDaMarca(linha, 0);
    if (fecha == std::string_view::npos) return false;
    const std::optional<Marca> m = reconheceMarca(linha.substr(0, fecha + 1));
    return m && !controleAlinhamento(m->tipo).empty();
}

std::vector<Paragrafo> paragrafos(std::string_view texto) {
    std::vector<Paragrafo> lista;
    bool aberto = false;  // the last paragraph may go on
    size_t inicio = 0;
    while (inicio <= texto.size()) {
        size_t fim = texto.find('\n', inicio);
        if (fim == std::string_view::npos) fim = texto.size();
        std::string_view linha = texto.substr(inicio, fim - inicio);
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        const bool ultima = fim == texto.size();
        inicio = fim + 1;
        if (ultima && linha.empty()) break;  // the line end of the last line
        const bool vazia = linha.find_first_not_of(' ') == std::string_view::npos;
        if (vazia) {
            lista.push_back({});
            aberto = false;
        } else if (aberto && linha[0] != ' ' && !comecaComAlinhamento(linha)) {
            lista.back().texto += ' ';
            lista.back().texto += linha;
        } else {
            std::string corpo;
            size_t p = 0;
            for (; linha.compare(p, 4, "    ") == 0; p += 4) corpo += '\t';
            corpo.append(linha.substr(p));
            lista.push_back({corpo, {}});
            aberto = true;
        }
    }
    // The alignment of each paragraph: the last alignment mark in it, else the one before.
    std::string_view alinhamento = "\\ql";
    for (Paragrafo& p : lista) {
        percorre(
            p.texto,
            [&](const Marca& m) {
                if (std::string_view c = controleAlinhamento(m.tipo); !c.empty()) alinhamento = c;
            },
            [](std::string_view) {});
        p.alinhamento = alinhamento;
    }
    return lista;
}

// The fonts named by the marks, in the order they first appear, after the default one.
std::vector<std::string> fontes(const std::vector<Paragrafo>& lista) {
    std::vector<std::string> nomes{std::string(kFontePadrao)};
    for (const Paragrafo& p : lista)
        percorre(
            p.texto,
            [&](const Marca& m) {
                if (m.tipo == TipoMarca::Fonte && !m.valor.empty() &&
                    std::find(nomes.begin(), nomes.end(), m.valor) == nomes.end())
                    nomes.push_back(m.valor);
            },
            [](std::string_view) {});
    return nomes;
}

std::string controleMarca(const Marca& m, const std::vector<std::string>& nomesFontes) {
    switch (m.tipo) {
        case TipoMarca::Fonte: {
            const auto f = std::find(nomesFontes.begin(), nomesFontes.end(), m.valor);
            if (m.valor.empty() || f == nomesFontes.end()) return {};
            return "\\f" + std::to_string(f - nomesFontes.begin()) + " ";
        }
        case TipoMarca::Tamanho:
            if (m.numero < 1 || m.numero > 1638) return {};
            return "\\fs" + std::to_string(m.numero * 2) + " ";
        case TipoMarca::Cor:
            if (m.numero < 0 || m.numero > 16) return {};
            return "\\cf" + std::to_string(m.numero) + " ";
        case TipoMarca::NegritoLiga: return "\\b ";
        case TipoMarca::NegritoDesliga: return "\\b0 ";
        case TipoMarca::ItalicoLiga: return "\\i ";
        case TipoMarca::ItalicoDesliga: return "\\i0 ";
        case TipoMarca::SublinhadoLiga: return "\\ul ";
        case TipoMarca::SublinhadoDesliga: return "\\ulnone ";
        default: return {};  // alignments belong to the paragraph
    }
}

}  // namespace

std::string geraRtf(std::string_view texto) {
    // The marks are ASCII: they are found the same way in UTF-8.
    const std::vector<Paragrafo> lista =
        paragrafos(ehUtf8(texto) ? std::string(texto) : win1252ParaUtf8(texto));
    const std::vector<std::string> nomesFontes = fontes(lista);
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (size_t i = 0; i < nomesFontes.size(); ++i)
        rtf += "{\\f" + std::to_string(i) + "\\fnil " + textoRtf(nomesFontes[i]) + ";}";
    rtf += "}\n{\\colortbl;";
    for (size_t i = 1; i < kCores.size(); ++i)
        rtf += "\\red" + std::to_string(kCores[i][0]) + "\\green" + std::to_string(kCores[i][1]) +
               "\\blue" + std::to_string(kCores[i][2]) + ";";
    rtf += "}\n\\f0\\fs24\n";
    for (const Paragrafo& p : lista) {
        rtf += "\\pard" + p.alinhamento + " ";
        percorre(
            p.texto, [&](const Marca& m) { rtf += controleMarca(m, nomesFontes); },
            [&](std::string_view t) { rtf += textoRtf(t); });
        rtf += "\\par\n";
    }
    rtf += "}\n";
    return rtf;
}
