#include "platform/saidaPulse.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

// What the server holds of each stream ahead of the speaker: more than the 20-odd ms a
// thread of this program may be woken late on a busy or virtual machine.
constexpr int kMsFila = 40;
// The server asks for more once this much has played.
constexpr int kMsPedido = 5;
// After a stream ran dry, its sound starts again once this much is in; a shorter sound's end
// is started by hand (pa_stream_trigger).
constexpr int kMsPreCarga = 2;
constexpr int kCanais = 2;
// How long before its end a phrase counts as played (see quadrosAdiante).
constexpr int kMsAntecipa = 10;

enum Voz { kFluxo, kSom };

using Relogio = std::chrono::steady_clock;

class SaidaPulse final : public FluxoSaida {
  public:
    SaidaPulse() = default;
    ~SaidaPulse() override;
    SaidaPulse(const SaidaPulse&) = delete;
    SaidaPulse& operator=(const SaidaPulse&) = delete;

    // Connects and opens both streams, or says why not.
    bool abre(std::string& motivo);

    int taxa() const override { return taxa_; }
    int amostrasBuffer() const override { return taxa_ * kMsPedido / 1000; }
    void inicia(MisturaSaida& mistura) override {
        trava();
        mistura_ = &mistura;
        destrava();
    }
    void trava() override { pa_threaded_mainloop_lock(laco_); }
    // What the program's thread queued goes to the server before the callback runs again.
    void destrava() override {
        bombeia();
        pa_threaded_mainloop_unlock(laco_);
    }
    bool perdida() override;
    void descartaFluxo() override {
        descarta(kFluxo);
        fimFluxo_ = Relogio::now();
    }
    void descartaSom() override { descarta(kSom); }
    // Told from the clock: what was written plays out at the stream's rate from when it was
    // written (or from the end of what was before). The server's own count would need a
    // round trip, and one that stopped advancing (a server gone) must not hold a block forever.
    // The last few milliseconds are not counted, as a device with a short buffer would not:
    // the wave player has that long to make its next phrase while this one ends, so the two
    // join without a gap, and a key meanwhile has at most that much left to silence.
    uint64_t quadrosAdiante() override {
        const auto resta = fimFluxo_ - Relogio::now() - std::chrono::milliseconds(kMsAntecipa);
        return resta.count() <= 0 ? 0
                                  : static_cast<uint64_t>(
                                        std::chrono::duration<double>(resta).count() * taxa_);
    }

  private:
    struct Retorno {
        SaidaPulse* saida;
        Voz voz;
    };

    bool conecta(std::string& motivo);
    void leTaxa();
    bool abreFluxo(Voz voz, std::string& motivo);
    // Waits (locked) until `estado()` is above 0 (true: ready) or below it (false: failed).
    template <class Estado>
    bool espera(Estado estado);
    // A context's or stream's state as `espera` reads it.
    template <class E>
    static int situacao(E e, E pronto, bool bom) {
        return e == pronto ? 1 : bom ? 0 : -1;
    }
    void escreve(Voz voz, size_t bytes);
    void bombeia();
    void descarta(Voz voz);
    std::string erro() const { return pa_strerror(pa_context_errno(contexto_)); }

    static void sinaliza(pa_threaded_mainloop* laco) { pa_threaded_mainloop_signal(laco, 0); }

    pa_threaded_mainloop* laco_ = nullptr;
    pa_context* contexto_ = nullptr;
    std::array<pa_stream*, 2> fluxos_{};
    std::array<Retorno, 2> retornos_{};
    int taxa_ = 48000;
    Relogio::time_point fimFluxo_{};  // when what the stream holds has played
    MisturaSaida* mistura_ = nullptr;
    std::vector<int16_t> amostras_;  // one write's samples
};

SaidaPulse::~SaidaPulse() {
    if (!laco_) return;
    pa_threaded_mainloop_lock(laco_);
    for (pa_stream*& f : fluxos_) {
        if (!f) continue;
        pa_stream_set_write_callback(f, nullptr, nullptr);
        pa_stream_set_state_callback(f, nullptr, nullptr);
        pa_stream_disconnect(f);
        pa_stream_unref(f);
        f = nullptr;
    }
    if (contexto_) {
        pa_context_set_state_callback(contexto_, nullptr, nullptr);
        pa_context_disconnect(contexto_);
        pa_context_unref(contexto_);
    }
    pa_threaded_mainloop_unlock(laco_);
    pa_threaded_mainloop_stop(laco_);
    pa_threaded_mainloop_free(laco_);
}

template <class Estado>
bool SaidaPulse::espera(Estado estado) {
    for (;;) {
        const int e = estado();
        if (e > 0) return true;
        if (e < 0) return false;
        pa_threaded_mainloop_wait(laco_);
    }
}

bool SaidaPulse::abre(std::string& motivo) {
    laco_ = pa_threaded_mainloop_new();
    if (laco_) contexto_ = pa_context_new(pa_threaded_mainloop_get_api(laco_), "PLUMAR");
    if (!contexto_ || pa_threaded_mainloop_start(laco_) < 0) {
        motivo = "o PulseAudio não iniciou";
        return false;
    }
    pa_threaded_mainloop_lock(laco_);
    bool ok = conecta(motivo);
    if (ok) leTaxa();
    ok = ok && abreFluxo(kFluxo, motivo) && abreFluxo(kSom, motivo);
    pa_threaded_mainloop_unlock(laco_);
    return ok;
}

bool SaidaPulse::conecta(std::string& motivo) {
    pa_context_set_state_callback(
        contexto_, [](pa_context*, void* laco) { sinaliza(static_cast<pa_threaded_mainloop*>(laco)); },
        laco_);
    if (pa_context_connect(contexto_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !espera([&] {
            const pa_context_state_t e = pa_context_get_state(contexto_);
            return situacao(e, PA_CONTEXT_READY, PA_CONTEXT_IS_GOOD(e));
        })) {
        motivo = "o servidor de som não respondeu: " + erro();
        return false;
    }
    return true;
}

// The rate of the server's default sink, the one it mixes at, so nothing converts twice (the
// server's own default where the sink is not found).
void SaidaPulse::leTaxa() {
    struct Pedido {
        pa_threaded_mainloop* laco;
        std::string sink;
        int taxa = 0;
    } pedido{laco_, {}, 0};
    const auto aguarda = [&](pa_operation* op) {
        if (!op) return;
        espera([&] { return pa_operation_get_state(op) == PA_OPERATION_RUNNING ? 0 : 1; });
        pa_operation_unref(op);
    };
    aguarda(pa_context_get_server_info(
        contexto_,
        [](pa_context*, const pa_server_info* info, void* dados) {
            auto* p = static_cast<Pedido*>(dados);
            if (info) {
                p->taxa = static_cast<int>(info->sample_spec.rate);
                if (info->default_sink_name) p->sink = info->default_sink_name;
            }
            sinaliza(p->laco);
        },
        &pedido));
    if (!pedido.sink.empty())
        aguarda(pa_context_get_sink_info_by_name(
            contexto_, pedido.sink.c_str(),
            [](pa_context*, const pa_sink_info* info, int fim, void* dados) {
                auto* p = static_cast<Pedido*>(dados);
                if (fim == 0 && info) p->taxa = static_cast<int>(info->sample_spec.rate);
                sinaliza(p->laco);
            },
            &pedido));
    if (pedido.taxa >= 8000 && pedido.taxa <= 192000) taxa_ = pedido.taxa;
}

bool SaidaPulse::abreFluxo(Voz voz, std::string& motivo) {
    const pa_sample_spec formato{PA_SAMPLE_S16NE, static_cast<uint32_t>(taxa_), kCanais};
    const auto bytes = [&](int ms) { return static_cast<uint32_t>(taxa_ * ms / 1000 * kCanais * 2); };
    pa_stream* f = pa_stream_new(contexto_, voz == kFluxo ? "fala" : "sons", &formato, nullptr);
    if (!f) {
        motivo = "o servidor de som recusou o fluxo: " + erro();
        return false;
    }
    fluxos_[voz] = f;
    retornos_[voz] = {this, voz};
    pa_stream_set_state_callback(
        f, [](pa_stream*, void* laco) { sinaliza(static_cast<pa_threaded_mainloop*>(laco)); }, laco_);
    pa_stream_set_write_callback(
        f,
        [](pa_stream*, size_t bytes, void* dados) {
            const auto* r = static_cast<Retorno*>(dados);
            r->saida->escreve(r->voz, bytes);
        },
        &retornos_[voz]);
    pa_buffer_attr atributos{};
    atributos.maxlength = static_cast<uint32_t>(-1);
    atributos.tlength = bytes(kMsFila);
    atributos.prebuf = bytes(kMsPreCarga);
    atributos.minreq = bytes(kMsPedido);
    atributos.fragsize = static_cast<uint32_t>(-1);
    if (pa_stream_connect_playback(f, nullptr, &atributos, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0 ||
        !espera([&] {
            const pa_stream_state_t e = pa_stream_get_state(f);
            return situacao(e, PA_STREAM_READY, PA_STREAM_IS_GOOD(e));
        })) {
        motivo = "o servidor de som recusou o fluxo: " + erro();
        return false;
    }
    return true;
}

// Writes up to `bytes` of what the voice has; a voice that ran short is started at once,
// since its last samples may be fewer than the server waits for after running dry.
void SaidaPulse::escreve(Voz voz, size_t bytes) {
    if (!mistura_ || bytes == 0 || bytes == static_cast<size_t>(-1)) return;
    const size_t pedidas = bytes / (2 * kCanais) * kCanais;
    if (amostras_.size() < pedidas) amostras_.resize(pedidas);
    const std::span<int16_t> s(amostras_.data(), pedidas);
    const size_t n = voz == kFluxo ? mistura_->tiraFluxo(s, quadrosAdiante() == 0) : mistura_->tiraSom(s);
    if (n == 0) return;
    pa_stream* f = fluxos_[voz];
    pa_stream_write(f, amostras_.data(), n * 2, nullptr, 0, PA_SEEK_RELATIVE);
    if (voz == kFluxo)
        fimFluxo_ = std::max(fimFluxo_, Relogio::now()) +
                    std::chrono::duration_cast<Relogio::duration>(
                        std::chrono::duration<double>(double(n / kCanais) / taxa_));
    if (n < pedidas)
        if (pa_operation* op = pa_stream_trigger(f, nullptr, nullptr)) pa_operation_unref(op);
}

void SaidaPulse::bombeia() {
    for (Voz voz : {kFluxo, kSom})
        if (fluxos_[voz] && pa_stream_get_state(fluxos_[voz]) == PA_STREAM_READY)
            escreve(voz, pa_stream_writable_size(fluxos_[voz]));
}

void SaidaPulse::descarta(Voz voz) {
    pa_stream* f = fluxos_[voz];
    if (f && pa_stream_get_state(f) == PA_STREAM_READY)
        if (pa_operation* op = pa_stream_flush(f, nullptr, nullptr)) pa_operation_unref(op);
}

bool SaidaPulse::perdida() {
    pa_threaded_mainloop_lock(laco_);
    bool perdida = pa_context_get_state(contexto_) != PA_CONTEXT_READY;
    for (pa_stream* f : fluxos_) perdida = perdida || !f || pa_stream_get_state(f) != PA_STREAM_READY;
    pa_threaded_mainloop_unlock(laco_);
    return perdida;
}

}  // namespace

std::unique_ptr<FluxoSaida> abreSaidaPulse(std::string& motivo) {
    auto saida = std::make_unique<SaidaPulse>();
    if (!saida->abre(motivo)) return nullptr;
    return saida;
}
