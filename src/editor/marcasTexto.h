// Formatting marks as text: the short tags a word-processor document leaves in the text,
// such as "<IN>" for bold on or "<SF=12>" for the font size. A mark starts with "<", ends
// with ">" and names one of the kinds below (in any case); the three kinds that carry a
// value write it after "=". Only text here: announcing a mark is edMarcas's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TipoMarca {
    Fonte,        // <TF=name>
    Tamanho,      // <SF=n>
    Cor,          // <CE=n>
    Justificado,  // <AF>
    Centrado,     // <C>
    Esquerda,     // <AL>
    Direita,      // <AR>
    NegritoLiga,
    NegritoDesliga,
    ItalicoLiga,
    ItalicoDesliga,
    SublinhadoLiga,
    SublinhadoDesliga,
};

struct Marca {
    TipoMarca tipo;
    std::string valor;  // the text after "=" (empty for marks without a value)
    int numero = 0;     // the value as a number; 0 when it is not one
};

// The mark `texto` stands for, when it is exactly one recognised mark.
std::optional<Marca> reconheceMarca(std::string_view texto);

// The colour names of "<CE=n>", n = 0..16, as message keys; empty for any other n.
std::string_view chaveCor(int n);

// What the marks seen so far say: the style flags, and the last mark of each kind that
// has a value or an alignment (the mark's text as it stood).
struct EstadoFormatacao {
    bool negrito = false, italico = false, sublinhado = false;
    std::string cor, tamanho, fonte, alinhamento;
};

// What mark `m` (whose text is `texto`) changes in `estado`.
void atualizaFormatacao(EstadoFormatacao& estado, const Marca& m, std::string_view texto);

// The message key that announces a mark without a value; empty for the others.
std::string_view chaveDoTipo(TipoMarca tipo);

// `texto` without its recognised marks (other text between angle brackets stays). With
// `colunas`, also the column of `texto` (from 1) each character kept came from.
std::string semMarcas(std::string_view texto, std::vector<int>* colunas = nullptr);

// The position of the ">" closing a candidate mark that starts at `inicio` (a "<"), or
// npos when the rest of the text has none.
size_t fimDaMarca(std::string_view texto, size_t inicio);
