// sonare-servidor-fala: a speech server for block command S. It listens on the local link
// as MONOLOG/TALK (or the names given) and reads aloud every text poked to it, through the
// system's speech service (speech-dispatcher) when it runs, else through espeak-ng; with
// --audio-out, with the family's own engine into a WAV file, as on Windows. A new text stops
// the one being read; an empty text just stops it.
#include <espeak-ng/speak_lib.h>

#include <string>
#include <string_view>

#include "platform/codigos.h"
#include "servidorFala/atendimento.h"
#include "servidorFala/leitorBlocos.h"
#include "servidorFala/vozPropria.h"

namespace {

// The reserve voice: espeak-ng playing by itself, started on first use.
class Espeak {
  public:
    ~Espeak() {
        if (aberto_) espeak_Terminate();
    }
    void fala(std::string_view texto) {
        if (texto.empty()) {
            if (aberto_) espeak_Cancel();
            return;
        }
        if (!abre()) return;
        const std::string utf8 = win1252ParaUtf8(texto);
        espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     nullptr);
    }

  private:
    bool abre() {
        if (aberto_) return true;
        if (espeak_Initialize(AUDIO_OUTPUT_PLAYBACK, 0, nullptr, 0) < 0) return false;
        if (espeak_SetVoiceByName("pt-br") != EE_OK) espeak_SetVoiceByName("pt");
        aberto_ = true;
        return true;
    }

    bool aberto_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    int saida = 0;
    const auto opcoes = leOpcoesServidorFala(argc, argv, saida);
    if (!opcoes) return saida;
    if (!opcoes->saidaAudio.empty()) return atendeComVozPropria(*opcoes);
    ServidorSpeechd servico;
    Espeak espeak;
    LeitorBlocos leitor(servico, [&espeak](std::string_view texto) { espeak.fala(texto); });
    return atendeBlocos(*opcoes, [&leitor](std::string_view texto) { leitor.fala(texto); });
}
