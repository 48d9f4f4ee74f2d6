// Fuzz entry for the own RTF reader: the input is the document. Any input reads without a
// crash; only an input that begins as RTF is read; its text is never longer than its
// source (no control word gives more than it takes) and holds no control byte but tab and
// CR LF pairs.
#include "fuzz.h"
#include "platform/leituraRtf.h"

int fuzzRtf(const uint8_t* dados, size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    const std::optional<std::string> texto = textoDeRtf(entrada);
    confirma(texto.has_value() == entrada.starts_with("{\\rtf"));
    if (!texto) return 0;
    confirma(texto->size() <= entrada.size());
    for (size_t i = 0; i < texto->size(); ++i) {
        const unsigned char c = static_cast<unsigned char>((*texto)[i]);
        if (c == '\r') confirma(i + 1 < texto->size() && (*texto)[i + 1] == '\n');
        if (c == '\n') confirma(i > 0 && (*texto)[i - 1] == '\r');
        confirma(c >= 0x20 || c == '\t' || c == '\r' || c == '\n');
    }
    return 0;
}
