// The system's speech service (speech-dispatcher) as a speech server (server type 5),
// spoken to in its text protocol over its socket. Every wait for the service is bounded:
// a service that is absent, stops answering, closes the connection or answers nonsense
// makes opening fail or, later, leaves the engine unavailable, and the program goes back
// to recorded speech. Nothing the service sends can end the program.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "speech/servidores/respostaSsip.h"
#include "speech/servidorFala.h"

class ServidorSpeechd : public ServidorFala {
  public:
    // SET SELF VOLUME of every opening (-100..100; the service's own default is 100, where
    // its espeak-ng module clips): its speech then sounds as loud as the recorded voice at
    // the same sound server, about -20 dBFS of voiced RMS (bench/speechd_bench.cpp).
    static constexpr int kVolume = 0;

    // `prazo`: the longest wait for one answer of the service.
    explicit ServidorSpeechd(std::chrono::milliseconds prazo = std::chrono::milliseconds(2000),
                             int volume = kVolume);
    ~ServidorSpeechd() override;
    ServidorSpeechd(const ServidorSpeechd&) = delete;
    ServidorSpeechd& operator=(const ServidorSpeechd&) = delete;

    // `voz` counts from 1, the Portuguese voices first (speech/servidorFala.h); otherwise
    // the first voice whose name holds "Raquel", else the first Brazilian one, else any
    // Portuguese one, else the service's own default. `taxa` -10..10, or words a minute;
    // `tom` -10..10, or espeak-ng's 0..100 (speech/servidorFala.h). The loudness is set to
    // the recorded voice's.
    bool abre(int voz, int taxa, int tom) override;
    void fala(std::string_view texto) override { enviaTexto(texto); }
    // Hands the text to the service: false when it did not take it (the connection may then
    // be gone, see disponivel).
    bool enviaTexto(std::string_view texto);
    bool falando() override;
    // Cancels the text at once: the service drops the rest of its sound.
    void para() override;
    void fecha() override;
    void pontuacao(bool todas) override { pontuacaoPedida_ = todas; }
    bool disponivel() const override { return conexao_ >= 0; }
    // The voice asked for at the last opening; empty for the service's default.
    const std::string& voz() const { return voz_; }

    using Voz = VozSsip;
    // The service's voices in the users' numbering.
    static std::vector<Voz> numeraVozes(const std::vector<Voz>& lista);
    // The position in `numeradas` of voice `numero`; nothing: the service's default voice.
    static std::optional<size_t> escolheVoz(const std::vector<Voz>& numeradas, int numero);

  private:
    using Resposta = RespostaSsip;
    using Relogio = std::chrono::steady_clock;

    bool conecta();
    Resposta comando(std::string_view linha);
    Resposta comando(std::string_view linha, std::chrono::milliseconds prazo);
    bool envia(std::string_view bytes);
    Resposta leResposta(Relogio::time_point prazo);
    bool leLinha(std::string& linha, Relogio::time_point prazo);
    AoEventoSsip aoEvento();
    void trataEvento(int codigo, const std::vector<std::string>& dados);
    void recebeEventos(Relogio::time_point prazo);
    void desconecta();

    std::chrono::milliseconds prazo_;
    int volume_;
    int conexao_ = -1;
    std::string recebido_;  // bytes read and not yet taken as lines
    std::vector<std::string> evento_;
    bool falando_ = false;
    // The punctuation asked for and the one the service has (nothing: its own setting).
    std::optional<bool> pontuacaoPedida_, pontuacaoEnviada_;
    std::string voz_;
    std::string mensagem_;              // the number the service gave the text being spoken
    Relogio::time_point limiteFala_{};  // a text never reported ended is taken as ended here
};
