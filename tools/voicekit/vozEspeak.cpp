#include "vozEspeak.h"

#include <espeak-ng/speak_lib.h>

namespace {

// The engine hands its samples to a plain function; the buffer travels in user_data.
int recebeAmostras(short* amostras, int n, espeak_EVENT* eventos) {
    if (!amostras || n <= 0 || !eventos) return 0;
    auto* destino = static_cast<std::vector<int16_t>*>(eventos->user_data);
    if (destino) destino->insert(destino->end(), amostras, amostras + n);
    return 0;
}

}  // namespace

std::unique_ptr<VozEspeak> VozEspeak::abre(int palavrasPorMinuto, std::string& erro) {
    const int taxa =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (taxa <= 0) {
        erro = "o espeak-ng não inicia (falta o pacote espeak-ng-data?)";
        return nullptr;
    }
    if (espeak_SetVoiceByName("pt-br") != EE_OK) {
        espeak_Terminate();
        erro = "o espeak-ng não tem a voz do português do Brasil (pt-br)";
        return nullptr;
    }
    espeak_SetSynthCallback(recebeAmostras);
    auto voz = std::make_unique<VozEspeak>(Chave{}, taxa);
    voz->mudaVelocidade(palavrasPorMinuto);
    return voz;
}

VozEspeak::~VozEspeak() {
    espeak_Terminate();
}

std::string VozEspeak::versao() const {
    const char* caminho = nullptr;
    const char* v = espeak_Info(&caminho);
    return v ? v : "";
}

void VozEspeak::mudaVelocidade(int palavrasPorMinuto) {
    espeak_SetParameter(espeakRATE, palavrasPorMinuto, 0);
}

std::optional<std::vector<int16_t>> VozEspeak::sintetiza(std::string_view textoUtf8) {
    std::string texto(textoUtf8);
    std::vector<int16_t> amostras;
    espeak_ERROR r = espeak_Synth(texto.c_str(), texto.size() + 1, 0, POS_CHARACTER, 0,
                                  espeakCHARS_UTF8 | espeakPHONEMES, nullptr, &amostras);
    if (r != EE_OK || espeak_Synchronize() != EE_OK) return std::nullopt;
    return amostras;
}
