// A file descriptor owned by a scope: closed on every path out of it.
#pragma once

#include <unistd.h>

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
