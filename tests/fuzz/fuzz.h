// What the fuzz entries share. Each entry (fuzzX in fuzz_x.cpp) is a function the test
// binary runs over its committed corpus; built as a program of its own in the clang
// sanitizer build, entradaFuzz.cpp makes it the libFuzzer entry. Inputs that carry several
// files separate them with NUL bytes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A property that must hold: the fuzzer stops at the input that breaks it.
inline void confirma(bool condicao) {
    if (!condicao) __builtin_trap();
}

// The next part of `resto` (up to its next NUL), which is left holding what follows.
inline std::string_view proximaParte(std::string_view& resto) {
    const size_t fim = resto.find('\0');
    const std::string_view p = resto.substr(0, fim);
    resto = fim == std::string_view::npos ? std::string_view() : resto.substr(fim + 1);
    return p;
}

// A family root of its own for one input: SONARE_ROOT names it and is put back as it was
// afterwards (the test binary shares the variable with its other tests).
class RaizDoFuzz {
  public:
    explicit RaizDoFuzz(const std::filesystem::path& raiz) {
        if (const char* v = std::getenv("SONARE_ROOT")) antes_ = v;
        setenv("SONARE_ROOT", raiz.c_str(), 1);
    }
    ~RaizDoFuzz() {
        if (antes_)
            setenv("SONARE_ROOT", antes_->c_str(), 1);
        else
            unsetenv("SONARE_ROOT");
    }
    RaizDoFuzz(const RaizDoFuzz&) = delete;
    RaizDoFuzz& operator=(const RaizDoFuzz&) = delete;

  private:
    std::optional<std::string> antes_;
};
