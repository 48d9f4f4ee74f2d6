#include "servidorFala/vozPropria.h"

#include <chrono>
#include <cstdio>

#include "console/SnCrt.h"
#include "platform/frontEnds.h"
#include "platform/ini.h"
#include "speech/fala.h"
#include "speech/tts/uttsBrisa.h"

// The console the wave player runs on: no display, the real clock, and a "key" that waits
// while a newer block than the one being read has been handed over, so the player's and
// the engine's key checks stop the old block. Its waits end as soon as a block comes.
class VozPropria::FrenteVoz : public FrontEndSemTela {
  public:
    explicit FrenteVoz(VozPropria& voz) : voz_(voz) {}

    std::optional<EventoEntrada> proximoEvento(bool) override {
        const uint64_t pedidos = voz_.pedidos_.load();
        if (pedidos == voz_.atendidos_ || pedidos == avisado_) return std::nullopt;
        avisado_ = pedidos;
        return EventoEntrada(EventoEntrada::Tipo::Codigo, 0, 27, {});
    }
    uint64_t agoraMs() override {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    void dorme(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    bool dormeAteEntrada(int ms) override {
        std::unique_lock trava(voz_.mutex_);
        return voz_.aviso_.wait_for(trava, std::chrono::milliseconds(ms), [this] {
            return voz_.pedidos_.load() != voz_.atendidos_ || voz_.termina_;
        });
    }

  private:
    VozPropria& voz_;
    uint64_t avisado_ = 0;
};

VozPropria::VozPropria(DispositivoAudio& audio)
    : crt_(std::make_unique<SnCrt>(std::make_unique<FrenteVoz>(*this), audio, arquivoSonareIni())),
      fala_(std::make_unique<Fala>(*crt_, audio)) {
    auto leIni = [this](std::string_view secao, std::string_view chave) {
        return fala_->leIni(secao, chave);
    };
    motor_ = std::make_unique<ServidorBrisa>(
        AmbienteServidor{fala_->tocador(), leIni, [this] { return crt_->teclaPressionada(); }});
    const int taxa = static_cast<int>(inteiroIni(leIni("SERVFALA", "VELOCIDADE")).value_or(0));
    const int tom = static_cast<int>(inteiroIni(leIni("SERVFALA", "TOM")).value_or(0));
    if (!motor_->abre(0, taxa, tom)) {
        erro_ = "a voz própria não abriu: faltam arquivos da seção BRISATTS de SONARE.INI";
        return;
    }
    thread_ = std::thread([this] { trabalha(); });
}

VozPropria::~VozPropria() {
    {
        std::lock_guard trava(mutex_);
        termina_ = true;
        ++pedidos_;
    }
    aviso_.notify_all();
    if (thread_.joinable()) thread_.join();
    motor_.reset();
}

void VozPropria::fala(std::string_view texto) {
    {
        std::lock_guard trava(mutex_);
        texto_ = texto;
        ++pedidos_;
    }
    aviso_.notify_all();
}

void VozPropria::trabalha() {
    for (;;) {
        std::string texto;
        {
            std::unique_lock trava(mutex_);
            aviso_.wait(trava, [this] { return termina_ || pedidos_.load() != atendidos_; });
            if (termina_) return;
            texto = std::move(texto_);
            texto_.clear();
            atendidos_ = pedidos_.load();
        }
        crt_->limpaFila();  // the "key" that stopped the block before
        motor_->para();
        if (texto.empty()) continue;
        motor_->fala(texto);
        while (motor_->falando()) crt_->esperaTecla(10);
        if (crt_->teclaPressionada()) motor_->para();
    }
}

int atendeComVozPropria(const OpcoesServidorFala& opcoes) {
    std::unique_ptr<DispositivoAudio> audio;
    if (opcoes.saidaAudio.empty()) {
        audio = criaAudioSistema();
        if (std::string porque = audio->semDispositivo(); !porque.empty())
            std::fprintf(stderr, "sonare-servidor-fala: %s\n", porque.c_str());
    } else {
        OpcoesCaptura oc;
        oc.arquivo = opcoes.saidaAudio;
        oc.guardaBlocos = false;  // a long run would pile up in memory
        oc.tempoReal = true;
        auto captura = std::make_unique<AudioCaptura>(std::move(oc));
        if (!captura->gravando()) {
            std::fprintf(stderr, "sonare-servidor-fala: não foi possível criar %s\n",
                         opcoes.saidaAudio.c_str());
            return 1;
        }
        audio = std::move(captura);
    }
    VozPropria voz(*audio);
    if (!voz.erro().empty()) {
        std::fprintf(stderr, "sonare-servidor-fala: %s\n", voz.erro().c_str());
        return 1;
    }
    return atendeBlocos(opcoes, [&voz](std::string_view texto) { voz.fala(texto); });
}
