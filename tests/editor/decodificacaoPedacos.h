// A file's bytes decoded while read, in pieces of `passo` bytes and more (sizes going
// round), into lines as a load makes them: the unit test and the fuzz target compare it with
// the file decoded whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/edArqCodif.h"
#include "editor/edArqDisco.h"

struct Decodificada {
    DecodificadorUtf8::Fim fim;
    std::vector<std::string> linhas;
    CodificacaoArquivo cod;
};

inline Decodificada decodificaEmPedacos(std::string_view bytes, size_t passo) {
    Decodificada r;
    LeitorLinhas leitor([&r](std::string_view l) { r.linhas.emplace_back(l); });
    DecodificadorUtf8 decodificador(r.cod);
    const DecodificadorUtf8::Recebe entrega = [&](std::string_view t) {
        leitor.aceitaMarcas(static_cast<int>(r.cod.estranhos.size()));
        leitor.alimenta(t);
    };
    for (size_t de = 0, n = passo; de < bytes.size(); de += n, n = n % 7 + passo)
        decodificador.alimenta(bytes.substr(de, n), entrega);
    r.fim = decodificador.termina(entrega);
    leitor.termina();
    return r;
}
