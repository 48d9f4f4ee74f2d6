// The libFuzzer entry of a fuzz target built as its own program: the check named by
// PLUMAR_ENTRADA_FUZZ, the same function the test binary runs over the committed corpus.
#include <cstddef>
#include <cstdint>

int PLUMAR_ENTRADA_FUZZ(const uint8_t* dados, size_t tamanho);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    return PLUMAR_ENTRADA_FUZZ(dados, tamanho);
}
