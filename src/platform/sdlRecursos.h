// Ownership of SDL objects: each one is handed back by its own release function, once.
#pragma once

#include <SDL.h>

#include <memory>

template <auto Libera>
struct LiberaSdl {
    template <class T>
    void operator()(T* p) const noexcept {
        if (p) Libera(p);
    }
};

template <class T, auto Libera>
using PtrSdl = std::unique_ptr<T, LiberaSdl<Libera>>;

// One reference to an SDL subsystem: taken on construction, given back on destruction.
// SDL counts the references, so several owners may hold the same subsystem.
class SubsistemaSdl {
  public:
    explicit SubsistemaSdl(Uint32 flags) : flags_(SDL_InitSubSystem(flags) == 0 ? flags : 0) {}
    ~SubsistemaSdl() {
        if (flags_ != 0) SDL_QuitSubSystem(flags_);
    }
    SubsistemaSdl(const SubsistemaSdl&) = delete;
    SubsistemaSdl& operator=(const SubsistemaSdl&) = delete;

    bool iniciado() const { return flags_ != 0; }

  private:
    Uint32 flags_;
};
