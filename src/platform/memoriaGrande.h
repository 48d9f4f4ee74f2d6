// Large arrays the system may back with huge pages. Filling fresh memory costs a page fault
// every 4 KB, which for the tens of megabytes of a long text costs more than reading it.
#pragma once

#include <cstddef>

// Like ::operator new / delete (the same size must be given back); blocks of several
// megabytes are aligned to, and marked for, huge pages.
void* reservaGrande(size_t bytes);
void liberaGrande(void* p, size_t bytes) noexcept;

// The allocator of a container that may grow that large.
template <class T>
struct AlocadorGrande {
    using value_type = T;

    AlocadorGrande() = default;
    template <class U>
    AlocadorGrande(const AlocadorGrande<U>&) noexcept {}

    T* allocate(size_t n) { return static_cast<T*>(reservaGrande(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { liberaGrande(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const AlocadorGrande<U>&) const noexcept {
        return true;
    }
};
