// Fuzz entry for the key-script parser: any text is understood or refused with a reason,
// never a crash; every key understood has its native events.
//
// The test binary calls fuzzRoteiro over the committed corpus; built as its own target
// (PLUMAR_FUZZ_ROTEIRO) the same check is the libFuzzer entry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/roteiroTeclas.h"

namespace {

void confirma(bool condicao) {
    if (!condicao) __builtin_trap();
}

}  // namespace

int fuzzRoteiro(const uint8_t* dados, size_t tamanho) {
    const Roteiro r = leRoteiro(std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    if (!r.erro.empty()) return 0;
    confirma(r.teclas.size() <= tamanho);
    for (const TeclaRoteiro& t : r.teclas) confirma(!t.eventos.empty());
    return 0;
}

#ifdef PLUMAR_FUZZ_ROTEIRO
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    return fuzzRoteiro(dados, tamanho);
}
#endif
