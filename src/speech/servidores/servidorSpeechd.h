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
    // `prazo`: the longest wait for one answer of the service.
    explicit ServidorSpeechd(std::chrono::milliseconds prazo = std::chrono::milliseconds(2000));
    ~ServidorSpeechd() override;
    ServidorSpeechd(const ServidorSpeechd&) = delete;
    ServidorSpeechd& operator=(const ServidorSpeechd&) = delete;

    // `voz` counts from 1 in the service's voice list; otherwise the first voice whose name
    // holds "Raquel", else a Portuguese one, else the first. `taxa` -10..10, or words a
    // minute (speech/servidorFala.h).
    bool abre(int voz, int taxa, int tom) override;
    void fala(std::string_view texto) override;
    bool falando() override;
    void para() override;
    void fecha() override;
    void pontuacao(bool todas) override { pontuacaoPedida_ = todas; }
    bool disponivel() const override { return conexao_ >= 0; }

    using Voz = VozSsip;
    static std::optional<size_t> escolheVoz(const std::vector<Voz>& vozes, int numero);

  private:
    using Resposta = RespostaSsip;
    using Relogio = std::chrono::steady_clock;

    bool conecta();
    Resposta comando(std::string_view linha);
    bool envia(std::string_view bytes);
    Resposta leResposta(Relogio::time_point prazo);
    bool leLinha(std::string& linha, Relogio::time_point prazo);
    AoEventoSsip aoEvento();
    void trataEvento(int codigo, const std::vector<std::string>& dados);
    void recebeEventos(Relogio::time_point prazo);
    void desconecta();

    std::chrono::milliseconds prazo_;
    int conexao_ = -1;
    std::string recebido_;  // bytes read and not yet taken as lines
    std::vector<std::string> evento_;
    bool falando_ = false;
    // The punctuation asked for and the one the service has (nothing: its own setting).
    std::optional<bool> pontuacaoPedida_, pontuacaoEnviada_;
    std::string mensagem_;              // the number the service gave the text being spoken
    Relogio::time_point limiteFala_{};  // a text never reported ended is taken as ended here
};
