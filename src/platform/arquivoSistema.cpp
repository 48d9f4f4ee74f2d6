#include "platform/arquivoSistema.h"

std::string conteudoRegular(const std::filesystem::path& arquivo, uintmax_t limite) {
    const ArquivoLeitura entrada(arquivo);
    if (!entrada.aberto() || entrada.tamanho() > limite) return {};
    std::string conteudo;
    uint8_t pedaco[8192];
    for (size_t n; (n = entrada.le(conteudo.size(), pedaco)) > 0;)
        conteudo.append(reinterpret_cast<const char*>(pedaco), n);
    return conteudo;
}
