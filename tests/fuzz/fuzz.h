// What the fuzz entries share. Each entry (fuzzX in fuzz_x.cpp) is a function the test
// binary runs over its committed corpus; built as a program of its own in the clang
// sanitizer build, entradaFuzz.cpp makes it the libFuzzer entry. Inputs that carry several
// files separate them with NUL bytes. The standard headers below are those the entries share.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tests' shared helpers: an environment variable (a family root, a Windows folder) is set
// for one input with Variavel and put back as it was afterwards.
#include "../apoio.h"

// A property that must hold: the fuzzer stops at the input that breaks it.
inline void confirma(bool condicao) {
    if (!condicao) __builtin_trap();
}

// Whether `c` is a control code other than TAB, CR and LF, those a text may hold.
inline bool ehControle(uint8_t c) {
    return c < 32 && c != '\t' && c != '\r' && c != '\n';
}

// The next part of `resto` (up to its next `separador`: NUL between files, '\n' between
// lines), which is left holding what follows.
inline std::string_view proximaParte(std::string_view& resto, char separador = '\0') {
    const size_t fim = resto.find(separador);
    const std::string_view p = resto.substr(0, fim);
    resto = fim == std::string_view::npos ? std::string_view() : resto.substr(fim + 1);
    return p;
}

// A file or folder of the temporary folder for the entry `nome`, of this process only: two
// fuzzers running at once never share it. In memory where the system has such a folder: the
// INI writer flushes every write to its disk.
inline std::filesystem::path temporarioDoFuzz(std::string_view nome) {
    std::error_code ec;
    const std::filesystem::path memoria = "/dev/shm";
    return (std::filesystem::is_directory(memoria, ec) ? memoria
                                                       : std::filesystem::temp_directory_path()) /
           ("plumar_fuzz_" + std::string(nome) + "_" + std::to_string(::getpid()));
}

// Whether `p` lies under the folder `raiz`, with no ".." that could climb out of it.
inline bool dentroDe(const std::filesystem::path& p, const std::filesystem::path& raiz) {
    if (!p.string().starts_with(raiz.string() + "/")) return false;
    for (const std::filesystem::path& parte : p)
        if (parte == "..") return false;
    return true;
}
