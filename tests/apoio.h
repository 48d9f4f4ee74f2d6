// What several suites need: a temporary folder per test and environment variables set
// for one test only.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

class Variavel {
public:
    Variavel(const char* nome, const std::string& valor) : nome_(nome) {
        if (const char* v = std::getenv(nome)) antigo_ = v;
        setenv(nome, valor.c_str(), 1);
    }
    ~Variavel() {
        if (antigo_)
            setenv(nome_, antigo_->c_str(), 1);
        else
            unsetenv(nome_);
    }
    Variavel(const Variavel&) = delete;
    Variavel& operator=(const Variavel&) = delete;

private:
    const char* nome_;
    std::optional<std::string> antigo_;
};

// A fresh folder named after the running test, removed at the end.
class PastaTemporaria {
public:
    PastaTemporaria() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        caminho_ = std::filesystem::temp_directory_path() /
                   ("plumar_" + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(caminho_);
        std::filesystem::create_directories(caminho_);
    }
    ~PastaTemporaria() {
        std::error_code ec;
        std::filesystem::remove_all(caminho_, ec);
    }
    const std::filesystem::path& caminho() const { return caminho_; }
    std::filesystem::path operator/(const std::string& nome) const { return caminho_ / nome; }

private:
    std::filesystem::path caminho_;
};

inline std::string leArquivo(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline void gravaArquivoTeste(const std::filesystem::path& p, const std::string& conteudo) {
    std::ofstream(p, std::ios::binary) << conteudo;
}
