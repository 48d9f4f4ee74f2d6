// Fuzz entry for the formatting marks: the input is a line of text. The text without its
// marks keeps every other character, in order, each with the column it came from; every
// candidate mark ends at a '>' after its '<'; a recognised mark reads back as the mark it
// is, and the formatting state keeps only recognised marks. Every mail decoder of block
// command X ends on the line and never makes it longer (so a decoded line always fits where
// it stood).
#include "fuzz.h"
#include "editor/commands/edTransfDecodifica.h"
#include "editor/marcasTexto.h"

namespace {

bool temValor(TipoMarca t) {
    return t == TipoMarca::Fonte || t == TipoMarca::Tamanho || t == TipoMarca::Cor;
}

void confereMarca(std::string_view marca, const Marca& m) {
    confirma(temValor(m.tipo) == (marca.find('=') != std::string_view::npos));
    confirma(temValor(m.tipo) == chaveDoTipo(m.tipo).empty());
    if (temValor(m.tipo)) {
        confirma(marca.substr(marca.find('=') + 1, m.valor.size()) == m.valor);
        confirma(m.valor.size() == marca.size() - marca.find('=') - 2);
    } else {
        confirma(m.valor.empty() && m.numero == 0);
    }
    if (m.tipo == TipoMarca::Cor) {
        const std::string_view cor = chaveCor(m.numero);
        confirma(cor.empty() == (m.numero < 0 || m.numero > 16));
    }
    // Without its one mark, nothing is left.
    confirma(semMarcas(marca).empty());
}

}  // namespace

int fuzzMarcas(const uint8_t* dados, size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    for (char letra : {'Q', 'U', 'G', 'T'}) confirma(decodificaLinha(texto, letra).size() <= tamanho);
    confirma(decodificaBase64(texto).size() <= tamanho * 3 / 4);
    confirma(decodificaPalavrasCodificadas(texto).size() <= tamanho);
    std::vector<int> colunas;
    const std::string sem = semMarcas(texto, &colunas);
    confirma(sem == semMarcas(texto));
    confirma(colunas.size() == sem.size());
    for (size_t k = 0; k < sem.size(); ++k) {
        confirma(colunas[k] >= 1 && static_cast<size_t>(colunas[k]) <= texto.size());
        confirma(k == 0 || colunas[k] > colunas[k - 1]);
        confirma(texto[static_cast<size_t>(colunas[k] - 1)] == sem[k]);
    }

    EstadoFormatacao estado;
    for (size_t i = texto.find('<'); i != std::string_view::npos; i = texto.find('<', i + 1)) {
        const size_t fim = fimDaMarca(texto, i);
        if (fim == std::string_view::npos) break;
        confirma(fim > i && texto[fim] == '>');
        const std::string_view marca = texto.substr(i, fim - i + 1);
        if (const std::optional<Marca> m = reconheceMarca(marca)) {
            confereMarca(marca, *m);
            atualizaFormatacao(estado, *m, marca);
        }
    }
    for (const std::string* s : {&estado.cor, &estado.tamanho, &estado.fonte, &estado.alinhamento})
        confirma(s->empty() || reconheceMarca(*s).has_value());
    return 0;
}
