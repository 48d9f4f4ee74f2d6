// sonare-servidor-fala: a speech server for block command S. It listens on the local link
// as MONOLOG/TALK (or the names given) and reads aloud every text poked to it, through the
// system's speech service (speech-dispatcher) when it runs, else through espeak-ng. A new
// text stops the one being read; an empty text just stops it.
#include <espeak-ng/speak_lib.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/codigos.h"
#include "platform/ligacaoLocal.h"
#include "servidorFala/leitorBlocos.h"

namespace {

volatile std::sig_atomic_t g_termina = 0;

void aoSinal(int) { g_termina = 1; }

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

// The text as poked: up to its NUL, line ends as the speech engines like them.
std::string textoFalado(const std::string& dados) {
    std::string s = dados.substr(0, dados.find('\0'));
    for (char& c : s)
        if (c == '\r') c = ' ';
    return s;
}

std::string valor(std::string_view arg, std::string_view nome) {
    return arg.substr(0, nome.size()) == nome ? std::string(arg.substr(nome.size())) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    std::string aplicacao = "MONOLOG", topico = "TALK";
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (std::string v = valor(a, "--aplicacao="); !v.empty()) {
            aplicacao = v;
        } else if (std::string t = valor(a, "--topico="); !t.empty()) {
            topico = t;
        } else {
            std::printf("uso: sonare-servidor-fala [--aplicacao=MONOLOG] [--topico=TALK]\n"
                        "Lê em voz alta cada bloco que o PLUMAR envia (Ctrl+B S).\n");
            return a == "--help" ? 0 : 2;
        }
    }
    ligacao::Servidor servidor;
    if (std::string erro = servidor.abre(utf8ParaWin1252(aplicacao), utf8ParaWin1252(topico));
        !erro.empty()) {
        std::fprintf(stderr, "sonare-servidor-fala: %s\n", erro.c_str());
        return 1;
    }
    std::signal(SIGINT, aoSinal);
    std::signal(SIGTERM, aoSinal);
    std::signal(SIGHUP, aoSinal);
    std::printf("sonare-servidor-fala: atendendo %s/%s em %s\n", aplicacao.c_str(), topico.c_str(),
                servidor.endereco().c_str());
    std::fflush(stdout);
    ServidorSpeechd servico;
    Espeak espeak;
    LeitorBlocos leitor(servico, [&espeak](std::string_view texto) { espeak.fala(texto); });
    while (!g_termina)
        if (auto entrega = servidor.atende(std::chrono::milliseconds(300)))
            leitor.fala(textoFalado(entrega->dados));
    return 0;
}
