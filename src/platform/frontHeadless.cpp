// The headless front-end: no display, a virtual clock, and the keys of a script handed
// over one key at a time, only when the program waits for a key with an empty queue, so
// speech is never cut short by a key that has not been "pressed" yet. For the same reason
// no key arrives while the program sleeps: its waits for input run their whole slice on
// the virtual clock, and a run's trace does not depend on how fast the machine is.
#include <deque>

#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"

namespace {

class FrontEndHeadless : public FrontEndSemTela {
public:
    explicit FrontEndHeadless(std::vector<TeclaRoteiro> teclas)
        : teclas_(teclas.begin(), teclas.end()) {}

    std::optional<EventoEntrada> proximoEvento(bool espera) override {
        if (pendentes_.empty() && espera) {
            if (teclas_.empty()) {
                // The script is used up: the window closes.
                EventoEntrada fecha;
                fecha.tipo = EventoEntrada::Tipo::Fechar;
                return fecha;
            }
            auto& ev = teclas_.front().eventos;
            pendentes_.insert(pendentes_.end(), ev.begin(), ev.end());
            teclas_.pop_front();
        }
        if (pendentes_.empty()) return std::nullopt;
        EventoEntrada ev = pendentes_.front();
        pendentes_.pop_front();
        return ev;
    }

    uint64_t agoraMs() override { return relogio_; }
    void dorme(int ms) override { relogio_ += static_cast<uint64_t>(ms > 0 ? ms : 0); }
    void titulo(const std::string& t) override { titulo_ = t; }

private:
    std::deque<TeclaRoteiro> teclas_;
    std::deque<EventoEntrada> pendentes_;
    uint64_t relogio_ = 0;
    std::string titulo_;
};

}  // namespace

std::unique_ptr<FrontEnd> criaFrontEndHeadless(std::vector<TeclaRoteiro> teclas) {
    return std::make_unique<FrontEndHeadless>(std::move(teclas));
}
