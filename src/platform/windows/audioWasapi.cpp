// The sound device on Windows: one shared-mode WASAPI stream at the engine's own rate, woken
// every period (10 ms) to take the mixer's next samples, and kept only a period and a half
// ahead whatever buffer the engine grants, so that a key silences it as soon as on Linux. Everything COM touches lives on the stream's
// own thread, which opens the device, plays, and lets it go.
#include <windows.h>
// Windows' headers above the others: they define what these need.
#include <audioclient.h>
#include <avrt.h>
#include <ksmedia.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audioMisturado.h"

namespace {

constexpr REFERENCE_TIME kBuffer100ns = 100'000;  // 10 ms

struct LiberaCom {
    void operator()(IUnknown* p) const noexcept {
        if (p) p->Release();
    }
};
template <class T>
using PtrCom = std::unique_ptr<T, LiberaCom>;

struct LiberaFormato {
    void operator()(WAVEFORMATEX* f) const noexcept { CoTaskMemFree(f); }
};

std::string erroHr(const char* onde, HRESULT hr) {
    char codigo[16];
    std::snprintf(codigo, sizeof codigo, "%08lX", static_cast<unsigned long>(hr));
    return std::string("nenhum dispositivo de som abriu (") + onde + ": 0x" + codigo + ")";
}

// How the engine's samples are laid out: the stream writes its stereo 16-bit samples into
// the first two channels (a mono engine gets their mean), as floats or 16-bit integers.
struct Disposicao {
    int canais = 2;
    bool flutuante = false;

    // `estereo` holds frames * 2 samples; `destino` the engine's buffer of as many frames.
    void escreve(const std::vector<int16_t>& estereo, BYTE* destino, size_t quadros) const {
        const size_t c = static_cast<size_t>(canais);
        for (size_t q = 0; q < quadros; ++q) {
            const int16_t e = estereo[2 * q], d = estereo[2 * q + 1];
            for (size_t k = 0; k < c; ++k) {
                const int v = c == 1 ? (e + d) / 2 : k == 0 ? e : k == 1 ? d : 0;
                if (flutuante) {
                    const float f = static_cast<float>(v) / 32768.0f;
                    std::memcpy(destino + (q * c + k) * 4, &f, 4);
                } else {
                    const int16_t s = static_cast<int16_t>(v);
                    std::memcpy(destino + (q * c + k) * 2, &s, 2);
                }
            }
        }
    }
};

// Which of the engine's formats the stream can write, or false.
bool disposicaoDe(const WAVEFORMATEX& f, Disposicao& d) {
    if (f.nChannels < 1) return false;
    d.canais = f.nChannels;
    GUID tipo{};
    if (f.wFormatTag == WAVE_FORMAT_EXTENSIBLE && f.cbSize >= 22)
        tipo = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(f).SubFormat;
    const bool pcm = f.wFormatTag == WAVE_FORMAT_PCM || tipo == KSDATAFORMAT_SUBTYPE_PCM;
    const bool flutuante =
        f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT || tipo == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT;
    if (flutuante && f.wBitsPerSample == 32) {
        d.flutuante = true;
        return true;
    }
    return pcm && f.wBitsPerSample == 16;
}

// What the stream's thread found on opening.
struct Abertura {
    bool ok = false;
    int taxa = 0;
    int quadros = 0;  // one period of the engine
    std::string motivo;
    UINT32 alvo = 0;  // frames kept queued in the engine
};

class FluxoWasapi final : public FluxoSaida {
  public:
    FluxoWasapi() {
        std::future<Abertura> aberto = abertura_.get_future();
        fio_ = std::thread([this] { vive(); });
        estado_ = aberto.get();
    }
    ~FluxoWasapi() override {
        parar_ = true;
        if (acorda_) SetEvent(acorda_.get());
        if (fio_.joinable()) fio_.join();
    }
    FluxoWasapi(const FluxoWasapi&) = delete;
    FluxoWasapi& operator=(const FluxoWasapi&) = delete;

    const Abertura& estado() const { return estado_; }

    int taxa() const override { return estado_.taxa; }
    int amostrasBuffer() const override { return estado_.quadros; }
    void inicia(MisturaSaida& mistura) override {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            mistura_ = &mistura;
        }
        comecar_.set_value();
    }
    void trava() override { mutex_.lock(); }
    void destrava() override { mutex_.unlock(); }
    bool perdida() override { return perdida_.load(); }

  private:
    struct FechaEvento {
        void operator()(HANDLE h) const noexcept { CloseHandle(h); }
    };

    void vive();
    Abertura abreDispositivo(PtrCom<IAudioClient>& cliente, PtrCom<IAudioRenderClient>& saida);
    void toca(IAudioClient& cliente, IAudioRenderClient& saida);
    bool preenche(IAudioClient& cliente, IAudioRenderClient& saida);

    std::promise<Abertura> abertura_;
    std::promise<void> comecar_;
    Abertura estado_;
    std::thread fio_;
    std::unique_ptr<void, FechaEvento> acorda_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    std::mutex mutex_;
    MisturaSaida* mistura_ = nullptr;
    Disposicao disposicao_;
    std::vector<int16_t> estereo_;
    std::atomic<bool> parar_{false};
    std::atomic<bool> perdida_{false};
};

void FluxoWasapi::vive() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        PtrCom<IAudioClient> cliente;
        PtrCom<IAudioRenderClient> saida;
        Abertura a = abreDispositivo(cliente, saida);
        const bool ok = a.ok;
        abertura_.set_value(std::move(a));
        if (ok) {
            // Nothing plays until the mixer is there (or the stream is closed unstarted).
            std::future<void> comeco = comecar_.get_future();
            while (!parar_ && comeco.wait_for(std::chrono::milliseconds(20)) !=
                                  std::future_status::ready) {
            }
            if (!parar_) toca(*cliente, *saida);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

Abertura FluxoWasapi::abreDispositivo(PtrCom<IAudioClient>& cliente,
                                      PtrCom<IAudioRenderClient>& saida) {
    Abertura a;
    if (!acorda_) return {false, 0, 0, "nenhum dispositivo de som abriu (evento)"};
    IMMDeviceEnumerator* e = nullptr;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                  __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&e));
    PtrCom<IMMDeviceEnumerator> enumerador(e);
    if (FAILED(hr)) return {false, 0, 0, erroHr("MMDeviceEnumerator", hr)};
    IMMDevice* d = nullptr;
    hr = enumerador->GetDefaultAudioEndpoint(eRender, eConsole, &d);
    PtrCom<IMMDevice> dispositivo(d);
    if (FAILED(hr)) return {false, 0, 0, erroHr("GetDefaultAudioEndpoint", hr)};
    IAudioClient* c = nullptr;
    hr = dispositivo->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                               reinterpret_cast<void**>(&c));
    cliente.reset(c);
    if (FAILED(hr)) return {false, 0, 0, erroHr("Activate", hr)};
    WAVEFORMATEX* f = nullptr;
    hr = cliente->GetMixFormat(&f);
    std::unique_ptr<WAVEFORMATEX, LiberaFormato> formato(f);
    if (FAILED(hr)) return {false, 0, 0, erroHr("GetMixFormat", hr)};
    if (!disposicaoDe(*formato, disposicao_))
        return {false, 0, 0, "nenhum dispositivo de som abriu (formato do sistema desconhecido)"};
    hr = cliente->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK,
                             kBuffer100ns, 0, formato.get(), nullptr);
    if (FAILED(hr)) return {false, 0, 0, erroHr("Initialize", hr)};
    UINT32 total = 0;
    REFERENCE_TIME periodo = 0;
    if (FAILED(hr = cliente->GetBufferSize(&total)) ||
        FAILED(hr = cliente->GetDevicePeriod(&periodo, nullptr)) ||
        FAILED(hr = cliente->SetEventHandle(acorda_.get())))
        return {false, 0, 0, erroHr("GetBufferSize", hr)};
    const auto taxa = static_cast<UINT32>(formato->nSamplesPerSec);
    const auto quadros = static_cast<UINT32>(std::clamp<REFERENCE_TIME>(
        periodo * taxa / 10'000'000, 1, static_cast<REFERENCE_TIME>(total)));
    IAudioRenderClient* r = nullptr;
    hr = cliente->GetService(__uuidof(IAudioRenderClient), reinterpret_cast<void**>(&r));
    saida.reset(r);
    if (FAILED(hr)) return {false, 0, 0, erroHr("GetService", hr)};
    return {true, static_cast<int>(taxa), static_cast<int>(quadros), {},
            std::min(total, quadros + quadros / 2)};
}

// Tops the engine's queue up to its target; false when the device went away.
bool FluxoWasapi::preenche(IAudioClient& cliente, IAudioRenderClient& saida) {
    UINT32 ocupados = 0;
    if (FAILED(cliente.GetCurrentPadding(&ocupados))) return false;
    const UINT32 livres = estado_.alvo - std::min(ocupados, estado_.alvo);
    if (livres == 0) return true;
    BYTE* dados = nullptr;
    if (FAILED(saida.GetBuffer(livres, &dados))) return false;
    estereo_.assign(static_cast<size_t>(livres) * 2, 0);
    {
        std::lock_guard<std::mutex> trava(mutex_);
        mistura_->preenche(estereo_);
    }
    disposicao_.escreve(estereo_, dados, livres);
    return SUCCEEDED(saida.ReleaseBuffer(livres, 0));
}

void FluxoWasapi::toca(IAudioClient& cliente, IAudioRenderClient& saida) {
    DWORD tarefa = 0;
    HANDLE mmcss = AvSetMmThreadCharacteristicsW(L"Pro Audio", &tarefa);
    // The first samples before the start, so the engine never begins on an empty queue.
    bool vivo = preenche(cliente, saida) && SUCCEEDED(cliente.Start());
    while (vivo && !parar_) {
        // The engine wakes the stream every period; the timeout only guards a stuck one.
        if (WaitForSingleObject(acorda_.get(), 200) != WAIT_OBJECT_0) continue;
        if (!parar_) vivo = preenche(cliente, saida);
    }
    if (!vivo) perdida_ = true;
    cliente.Stop();
    if (mmcss) AvRevertMmThreadCharacteristics(mmcss);
}

std::unique_ptr<FluxoSaida> abreFluxoWasapi(std::string& motivo) {
    auto fluxo = std::make_unique<FluxoWasapi>();
    if (!fluxo->estado().ok) {
        motivo = fluxo->estado().motivo;
        return nullptr;
    }
    return fluxo;
}

}  // namespace

std::unique_ptr<DispositivoAudio> criaAudioSistema() {
    return std::make_unique<AudioMisturado>(abreFluxoWasapi);
}
