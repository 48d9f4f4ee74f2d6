#include "platform/arquivoSistema.h"

ArquivoLeitura::ArquivoLeitura(ArquivoLeitura&& outro) noexcept
    : id_(outro.id_), falha_(outro.falha_), erroLeitura_(outro.erroLeitura_) {
    outro.id_ = kFechado;
}

ArquivoLeitura& ArquivoLeitura::operator=(ArquivoLeitura&& outro) noexcept {
    if (this != &outro) {
        fecha();
        id_ = outro.id_;
        falha_ = outro.falha_;
        erroLeitura_ = outro.erroLeitura_;
        outro.id_ = kFechado;
    }
    return *this;
}

std::string conteudoRegular(const std::filesystem::path& arquivo, uintmax_t limite) {
    const ArquivoLeitura entrada(arquivo);
    if (!entrada.aberto() || entrada.tamanho() > limite) return {};
    std::string conteudo;
    uint8_t pedaco[8192];
    for (size_t n; (n = entrada.le(conteudo.size(), pedaco)) > 0;)
        conteudo.append(reinterpret_cast<const char*>(pedaco), n);
    return conteudo;
}
