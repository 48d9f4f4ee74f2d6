#include "platform/memoriaGrande.h"

#include <new>

// Large pages need a privilege ordinary users lack on Windows: plain blocks.
void* reservaGrande(size_t bytes) { return ::operator new(bytes); }

void liberaGrande(void* p, size_t) noexcept { ::operator delete(p); }
