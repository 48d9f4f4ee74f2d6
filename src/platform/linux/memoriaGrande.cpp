#include "platform/memoriaGrande.h"

#include <sys/mman.h>

#include <new>

namespace {

constexpr size_t kPaginaGrande = size_t{2} << 20;
constexpr size_t kMinimo = 2 * kPaginaGrande;  // smaller blocks are ordinary ones

size_t arredonda(size_t bytes) {
    return (bytes + kPaginaGrande - 1) / kPaginaGrande * kPaginaGrande;
}

}  // namespace

void* reservaGrande(size_t bytes) {
    if (bytes < kMinimo) return ::operator new(bytes);
    const size_t total = arredonda(bytes);
    void* p = ::operator new(total, std::align_val_t{kPaginaGrande});
    // Only a hint: where huge pages are not offered the memory is the same, filled slower.
    ::madvise(p, total, MADV_HUGEPAGE);
    return p;
}

void liberaGrande(void* p, size_t bytes) noexcept {
    if (bytes < kMinimo)
        ::operator delete(p);
    else
        ::operator delete(p, std::align_val_t{kPaginaGrande});
}
