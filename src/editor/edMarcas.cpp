#include "editor/edMarcas.h"

#include <string>

#include "editor/edMensag.h"

namespace {

void anuncia(Editor& e, const Marca& m) {
    switch (m.tipo) {
        case TipoMarca::Fonte:
            if (!m.valor.empty()) e.fala.falaTexto(m.valor);
            return;
        case TipoMarca::Tamanho:
            falaMensagem(e, "EDTAMANH");
            e.fala.falaTexto(std::to_string(m.numero));
            return;
        case TipoMarca::Cor:
            // A colour number outside the table is said as a number.
            if (std::string_view chave = chaveCor(m.numero); !chave.empty())
                falaMensagem(e, chave);
            else
                e.fala.falaTexto(std::to_string(m.numero));
            return;
        default:
            falaMensagem(e, chaveDoTipo(m.tipo));
    }
}

}  // namespace

bool interpretaMarca(Editor& e, EstadoFormatacao& estado, std::string_view texto, bool silencioso) {
    const std::optional<Marca> m = reconheceMarca(texto);
    if (!m) return false;
    atualizaFormatacao(estado, *m, texto);
    if (!silencioso) anuncia(e, *m);
    return true;
}

void aplicaMarcas(Editor& e, EstadoFormatacao& estado, std::string_view texto) {
    for (size_t i = texto.find('<'); i != std::string_view::npos; i = texto.find('<', i)) {
        const size_t fim = fimDaMarca(texto, i);
        if (fim == std::string_view::npos) return;
        interpretaMarca(e, estado, texto.substr(i, fim - i + 1), true);
        i = fim + 1;
    }
}
