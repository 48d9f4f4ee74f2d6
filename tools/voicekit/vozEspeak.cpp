#include "vozEspeak.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>

namespace {

// The flat pitch's height (the library's 0..100 scale): near 120 Hz in the pt-br voice, a
// middle height for a man's voice, so the pitch asked for rarely moves far from it.
constexpr int kTomPlano = 75;

// The engine hands its samples and events to a plain function; the result travels in
// user_data.
int recebeAmostras(short* amostras, int n, espeak_EVENT* eventos) {
    if (!eventos) return 0;
    auto* destino = static_cast<Sintese*>(eventos->user_data);
    if (!destino) return 0;
    if (amostras && n > 0) destino->amostras.insert(destino->amostras.end(), amostras, amostras + n);
    for (const espeak_EVENT* e = eventos; e->type != espeakEVENT_LIST_TERMINATED; ++e)
        if (e->type == espeakEVENT_PHONEME && e->sample >= 0)
            destino->fonemas.push_back(
                {std::string(e->id.string, strnlen(e->id.string, sizeof e->id.string)),
                 static_cast<size_t>(e->sample)});
    return 0;
}

}  // namespace

std::unique_ptr<VozEspeak> VozEspeak::abre(int palavrasPorMinuto, std::string& erro) {
    const int taxa =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                          espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
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

void VozEspeak::entonacaoPlana() {
    espeak_SetParameter(espeakRANGE, 0, 0);
    espeak_SetParameter(espeakPITCH, kTomPlano, 0);
}

std::optional<std::vector<int16_t>> VozEspeak::sintetiza(std::string_view textoUtf8) {
    auto s = sintetizaComFonemas(textoUtf8);
    if (!s) return std::nullopt;
    return std::move(s->amostras);
}

std::optional<Sintese> VozEspeak::sintetizaComFonemas(std::string_view textoUtf8) {
    std::string texto(textoUtf8);
    Sintese s;
    espeak_ERROR r = espeak_Synth(texto.c_str(), texto.size() + 1, 0, POS_CHARACTER, 0,
                                  espeakCHARS_UTF8 | espeakPHONEMES, nullptr, &s);
    if (r != EE_OK || espeak_Synchronize() != EE_OK) return std::nullopt;
    return s;
}
