// The server's voice where the system has no speech service of ours: the family's own
// engine (server type 3) with its files where BRISATTS in SONARE.INI says, at the pace and
// pitch of SERVFALA, playing through a sound device. A thread of its own reads each block,
// so the listening goes on meanwhile; a newer block (or an empty one) stops it at once,
// between two pieces of sound, and the queued sound is dropped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/audio.h"
#include "servidorFala/atendimento.h"

class SnCrt;
class Fala;
class ServidorBrisa;

class VozPropria {
  public:
    // `audio` must outlive this.
    explicit VozPropria(DispositivoAudio& audio);
    ~VozPropria();
    VozPropria(const VozPropria&) = delete;
    VozPropria& operator=(const VozPropria&) = delete;

    // Empty when the engine opened; else why not (it then says nothing).
    const std::string& erro() const { return erro_; }
    // A new block stops the one being read; an empty one only stops it.
    void fala(std::string_view texto);

  private:
    class FrenteVoz;

    void trabalha();

    std::unique_ptr<SnCrt> crt_;
    std::unique_ptr<Fala> fala_;  // the wave player and the INI as the editor reads them
    std::unique_ptr<ServidorBrisa> motor_;
    std::string erro_;

    std::mutex mutex_;
    std::condition_variable aviso_;
    std::string texto_;                // the newest block, not yet taken
    std::atomic<uint64_t> pedidos_{0};  // blocks handed over so far
    uint64_t atendidos_ = 0;            // blocks the thread took (its own)
    bool termina_ = false;
    std::thread thread_;
};

// The whole server with this voice: through the system's sound device, or into the WAV
// file of --audio-out. The program's exit status.
int atendeComVozPropria(const OpcoesServidorFala& opcoes);
