// A file descriptor owned by a scope (closed on every path out of it), and whole writes
// through one.
#pragma once

#include <unistd.h>

#include <cerrno>
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
