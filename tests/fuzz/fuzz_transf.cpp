// Fuzz entry for the mail decoders of block command X: every conversion of any line ends
// and never makes the line longer (so a decoded line always fits where it stood).
#include "fuzz.h"
#include "editor/commands/edTransfDecodifica.h"

int fuzzTransf(const uint8_t* dados, size_t tamanho) {
    const std::string_view linha(reinterpret_cast<const char*>(dados), tamanho);
    for (char letra : {'Q', 'U', 'G', 'T'}) confirma(decodificaLinha(linha, letra).size() <= tamanho);
    confirma(decodificaBase64(linha).size() <= tamanho * 3 / 4);
    confirma(decodificaPalavrasCodificadas(linha).size() <= tamanho);
    return 0;
}
