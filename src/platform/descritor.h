// A file descriptor owned by a scope (closed on every path out of it), whole writes through
// one, and what a save does to one (a C runtime descriptor on Windows).
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string_view>

class Descritor {
  public:
    explicit Descritor(int fd) : fd_(fd) {}
    ~Descritor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descritor(const Descritor&) = delete;
    Descritor& operator=(const Descritor&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

// Everything written (a signal's interruption resumed), or false.
inline bool escreveTudo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// One implementation per system (linux/, windows/ descritor.cpp). Each is false on an error.
// Flushed through to the disk.
bool sincronizaDescritor(int fd);
// Cut (or grown) to `tamanho` bytes.
bool cortaDescritor(int fd, uint64_t tamanho);
// Back to the first byte.
bool voltaAoInicio(int fd);
// Closed: an error closing may be the last write failing.
bool fechaDescritor(int fd);
