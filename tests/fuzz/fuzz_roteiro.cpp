// Fuzz entry for the key-script parser: any text is understood or refused with a reason,
// never a crash; every key understood has its native events.
#include "fuzz.h"
#include "platform/roteiroTeclas.h"

int fuzzRoteiro(const uint8_t* dados, size_t tamanho) {
    const Roteiro r = leRoteiro(std::string_view(reinterpret_cast<const char*>(dados), tamanho));
    if (!r.erro.empty()) return 0;
    confirma(r.teclas.size() <= tamanho);
    for (const TeclaRoteiro& t : r.teclas) confirma(!t.eventos.empty());
    return 0;
}
