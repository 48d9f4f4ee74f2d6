// What several suites need: a temporary folder per test, environment variables set for
// one test only, files written and read whole, and wave recordings built in memory.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"

// Sets (or, given nullptr, removes) an environment variable until the end of the scope.
class Variavel {
public:
    Variavel(const char* nome, const std::string& valor) : Variavel(nome) {
        setenv(nome, valor.c_str(), 1);
    }
    Variavel(const char* nome, std::nullptr_t) : Variavel(nome) { unsetenv(nome); }
    ~Variavel() {
        if (antigo_)
            setenv(nome_, antigo_->c_str(), 1);
        else
            unsetenv(nome_);
    }
    Variavel(const Variavel&) = delete;
    Variavel& operator=(const Variavel&) = delete;

private:
    explicit Variavel(const char* nome) : nome_(nome) {
        if (const char* v = std::getenv(nome)) antigo_ = v;
    }
    const char* nome_;
    std::optional<std::string> antigo_;
};

// A fresh folder named after the running test and the process, removed at the end: two
// builds running the same test at once never share it.
class PastaTemporaria {
public:
    explicit PastaTemporaria(std::string_view prefixo = "plumar") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        caminho_ = std::filesystem::temp_directory_path() /
                   (std::string(prefixo) + "_" + info->test_suite_name() + "_" + info->name() +
                    "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(caminho_);
        std::filesystem::create_directories(caminho_);
    }
    ~PastaTemporaria() {
        std::error_code ec;
        std::filesystem::remove_all(caminho_, ec);
    }
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;
    const std::filesystem::path& caminho() const { return caminho_; }
    std::filesystem::path operator/(const std::string& nome) const { return caminho_ / nome; }

private:
    std::filesystem::path caminho_;
};

inline std::string leArquivo(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> leBytes(const std::filesystem::path& p) {
    const std::string s = leArquivo(p);
    return {s.begin(), s.end()};
}

inline void gravaArquivoTeste(const std::filesystem::path& p, std::string_view conteudo) {
    std::ofstream(p, std::ios::binary)
        .write(conteudo.data(), static_cast<std::streamsize>(conteudo.size()));
}

inline void gravaArquivoTeste(const std::filesystem::path& p, std::span<const uint8_t> bytes) {
    gravaArquivoTeste(p, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

// A canonical wave of `dados`; `declarado` overrides the data chunk's size.
inline std::vector<uint8_t> ondaTeste(const FormatoAudio& f, std::span<const uint8_t> dados,
                                      std::optional<uint32_t> declarado = std::nullopt) {
    std::vector<uint8_t> w =
        cabecalhoWave(f, declarado.value_or(static_cast<uint32_t>(dados.size())));
    w.insert(w.end(), dados.begin(), dados.end());
    return w;
}
