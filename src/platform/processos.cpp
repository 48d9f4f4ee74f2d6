#include "platform/processos.h"

#include <thread>

bool Processos::esperaFim(std::chrono::milliseconds limite) {
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (rodando()) {
        if (std::chrono::steady_clock::now() >= fim) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
