// What several suites need: a temporary folder per test, environment variables and the
// current folder set for one test only, files written and read whole, wave recordings built
// in memory, and outside programs run for one test.
#pragma once

#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#include <stdlib.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio.h"

#ifdef _WIN32
// The C runtime's names for the calls the Linux tests use.
inline int setenv(const char* nome, const char* valor, int) { return _putenv_s(nome, valor); }
inline int unsetenv(const char* nome) { return _putenv_s(nome, ""); }
#endif

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

// Removes a folder and all in it; on Windows through the \\?\ form of its path, so that
// the tests' folders deeper than 260 characters go too.
inline void removeTudo(const std::filesystem::path& p, std::error_code& ec) {
#ifdef _WIN32
    std::filesystem::remove_all(L"\\\\?\\" + std::filesystem::absolute(p).make_preferred().native(), ec);
#else
    std::filesystem::remove_all(p, ec);
#endif
}

// A fresh folder named after the running test and the process, removed at the end: two
// builds running the same test at once never share it.
class PastaTemporaria {
public:
    explicit PastaTemporaria(std::string_view prefixo = "plumar")
        : PastaTemporaria(prefixo, nomeDoTeste()) {}
    // Named `nome` rather than after the test, where a program under test says the folder
    // and a long name would not fit on its screen.
    PastaTemporaria(std::string_view prefixo, const std::string& nome) {
        caminho_ = std::filesystem::temp_directory_path() /
                   (std::string(prefixo) + "_" + nome + "_" + std::to_string(::getpid()));
        std::error_code ec;
        removeTudo(caminho_, ec);
        std::filesystem::create_directories(caminho_);
    }
    ~PastaTemporaria() {
        std::error_code ec;
        removeTudo(caminho_, ec);
    }
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;
    const std::filesystem::path& caminho() const { return caminho_; }
    std::filesystem::path operator/(const std::string& nome) const { return caminho_ / nome; }

private:
    static std::string nomeDoTeste() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::string(info->test_suite_name()) + "_" + info->name();
    }
    std::filesystem::path caminho_;
};

// The tests that type relative names work in their own folder while this lives.
class DiretorioAtual {
  public:
    explicit DiretorioAtual(const std::filesystem::path& p)
        : antigo_(std::filesystem::current_path()) {
        std::filesystem::current_path(p);
    }
    ~DiretorioAtual() {
        std::error_code ec;
        std::filesystem::current_path(antigo_, ec);
    }

  private:
    std::filesystem::path antigo_;
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

#ifndef _WIN32
// While this lives no file can grow past `bytes`, root's included: writes that would fail
// with EFBIG, which is how the tests make a configuration write fail. (Capping the open
// files instead would also starve the sanitizers, which check memory through a pipe.)
class LimiteGravacao {
  public:
    explicit LimiteGravacao(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &antigo_);
        sinal_ = ::signal(SIGXFSZ, SIG_IGN);
        const rlimit novo{bytes, antigo_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &novo);
    }
    ~LimiteGravacao() {
        ::setrlimit(RLIMIT_FSIZE, &antigo_);
        ::signal(SIGXFSZ, sinal_);
    }
    LimiteGravacao(const LimiteGravacao&) = delete;
    LimiteGravacao& operator=(const LimiteGravacao&) = delete;

  private:
    rlimit antigo_{};
    sighandler_t sinal_{};
};

// A program (looked for in PATH) run for one test, its input and output on /dev/null; the
// descriptor `herdado`, when given, is its descriptor 3. Asked to end (SIGTERM, and
// SIGKILL when it has not ended within two seconds) and reaped at the end of the scope.
class ProgramaTeste {
public:
    explicit ProgramaTeste(std::vector<std::string> args, int herdado = -1) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t acoes;
        posix_spawn_file_actions_init(&acoes);
        for (int fd : {0, 1, 2})
            posix_spawn_file_actions_addopen(&acoes, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
        if (herdado >= 0) posix_spawn_file_actions_adddup2(&acoes, herdado, 3);
        erro_ = posix_spawnp(&pid_, argv[0], &acoes, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&acoes);
        if (erro_ != 0) pid_ = -1;
    }
    ~ProgramaTeste() { termina(); }
    ProgramaTeste(const ProgramaTeste&) = delete;
    ProgramaTeste& operator=(const ProgramaTeste&) = delete;

    // 0 when it started, else the error number (ENOENT: not installed).
    int erro() const { return erro_; }
    void termina(int sinal = SIGTERM) {
        if (pid_ <= 0) return;
        ::kill(pid_, sinal);
        bool terminou = false;
        for (int i = 0; i < 200 && !(terminou = ::waitpid(pid_, nullptr, WNOHANG) == pid_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!terminou && ::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    // Waits for its end: its exit code, or -1 when it did not start or a signal ended it.
    int espera() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int erro_ = 0;
};
#endif
