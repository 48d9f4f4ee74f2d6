// Fuzz inputs that need a family root of their own: SONARE_ROOT names it for one input and is
// put back as it was afterwards (the test binary shares the variable with its other tests).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

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
