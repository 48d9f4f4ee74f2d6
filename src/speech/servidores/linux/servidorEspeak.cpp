#include "speech/servidores/servidorEspeak.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>

#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/tocadorOnda.h"

namespace {

constexpr int kMilissegundosPorPedaco = 20;  // short pieces: the first sample comes soon
constexpr int kTaxaMinima = 80, kTaxaMaxima = 450;  // words per minute the library takes
// Pieces grow from the first one up to this, so the sound starts at once and the queue
// still stays ahead of the device.
constexpr size_t kBlocoMaximo = TocadorOnda::kTamanhoBuffer - TocadorOnda::kTamanhoBuffer % 2;

// The library keeps process-wide state and, in the version we use, hangs when it is ended
// and started again; so it is started once, on first use, and never ended. Returns its
// sample rate, 0 when it cannot start.
int iniciaBiblioteca() {
    static const int taxa = [] {
        const int t = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kMilissegundosPorPedaco,
                                        nullptr, espeakINITIALIZE_DONT_EXIT);
        return t > 0 ? t : 0;
    }();
    return taxa;
}

int recebeAmostras(short* amostras, int n, espeak_EVENT* eventos) {
    if (!eventos || !eventos->user_data) return 0;
    auto* servidor = static_cast<ServidorEspeak*>(eventos->user_data);
    return servidor->recebe(amostras, amostras ? n : 0) ? 1 : 0;
}

// The voice's group (speech/servidorFala.h): the nearest to Brazilian of its languages.
int grupoVoz(const espeak_VOICE& voz) {
    int grupo = 2;
    // Languages: a priority byte, a zero-terminated name, ... up to an empty name.
    for (const char* l = voz.languages; l && *l; l += std::strlen(l + 1) + 2)
        grupo = std::min(grupo, grupoLingua(l + 1));
    return grupo;
}

// Voice `numero` in the users' numbering; 0 or out of range, the first Brazilian voice.
const espeak_VOICE* escolheVoz(int numero) {
    const espeak_VOICE** lista = espeak_ListVoices(nullptr);
    if (!lista) return nullptr;
    std::vector<int> grupos;
    for (int i = 0; lista[i]; ++i) grupos.push_back(grupoVoz(*lista[i]));
    const std::vector<size_t> ordem = numeracaoVozes(grupos);
    if (numero >= 1 && static_cast<size_t>(numero) <= ordem.size())
        return lista[ordem[static_cast<size_t>(numero) - 1]];
    if (!ordem.empty() && grupos[ordem.front()] == 0) return lista[ordem.front()];
    return nullptr;
}

}  // namespace

ServidorEspeak::ServidorEspeak(const AmbienteServidor& ambiente) : ambiente_(ambiente) {}

ServidorEspeak::~ServidorEspeak() {
    fecha();
}

bool ServidorEspeak::abre(int voz, int taxa, int tom) {
    fecha();
    taxaAmostras_ = iniciaBiblioteca();
    if (taxaAmostras_ == 0) return false;
    const espeak_VOICE* escolhida = escolheVoz(voz);
    if (!escolhida || !escolhida->name || espeak_SetVoiceByName(escolhida->name) != EE_OK)
        return false;
    voz_ = escolhida->name;
    espeak_SetSynthCallback(recebeAmostras);
    const int palavras = taxaEmPalavras(taxa);
    espeak_SetParameter(espeakRATE, palavras != 0 ? std::clamp(palavras, kTaxaMinima, kTaxaMaxima)
                                                  : espeakRATE_NORMAL, 0);
    espeak_SetParameter(espeakPITCH, tom != 0 ? std::clamp(tom, 0, 100) : 50, 0);
    aberto_ = true;
    return true;
}

std::string ServidorEspeak::preparaTexto(std::string_view texto) {
    std::string t(apara(texto));
    if (t.size() == 1 && t[0] >= '0' && t[0] <= '9') t += '.';
    return win1252ParaUtf8(t);
}

void ServidorEspeak::fala(std::string_view texto) {
    if (!aberto_) return;
    if (ambiente_.tocador.interrompivel && ambiente_.teclaPressionada()) return;
    const std::string utf8 = preparaTexto(texto);
    pendente_.clear();
    alvo_ = 0;
    interrompido_ = false;
    espeak_SetParameter(espeakPUNCTUATION, pontuacao_ ? espeakPUNCT_ALL : espeakPUNCT_NONE, 0);
    // Plain text only: brackets or tags the user typed are read, not obeyed.
    espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                 this);
    if (!interrompido_) {
        alvo_ = 0;
        despeja();
    }
    pendente_.clear();
}

bool ServidorEspeak::recebe(const int16_t* amostras, int n) {
    if (interrompido_) return true;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<uint16_t>(amostras[i]);
        pendente_.push_back(static_cast<uint8_t>(v & 0xFF));
        pendente_.push_back(static_cast<uint8_t>(v >> 8));
    }
    if (pendente_.size() >= alvo_) despeja();
    return interrompido_;
}

// Queues what is waiting, in pieces the player takes; waits while its ring is full. A
// waiting key ends the text.
void ServidorEspeak::despeja() {
    TocadorOnda& tocador = ambiente_.tocador;
    size_t feito = 0;
    while (feito < pendente_.size()) {
        if (tocador.interrompivel && ambiente_.teclaPressionada()) {
            interrompido_ = true;
            tocador.para();
            break;
        }
        const size_t n = std::min(kBlocoMaximo, pendente_.size() - feito);
        tocador.tocaPcm(std::span(pendente_).subspan(feito, n), taxaAmostras_, 1, 16);
        feito += n;
    }
    alvo_ = std::min(std::max(2 * feito, alvo_), kBlocoMaximo);
    pendente_.clear();
}

bool ServidorEspeak::falando() {
    return aberto_ && ambiente_.tocador.tocando();
}

void ServidorEspeak::para() {
    if (falando()) ambiente_.tocador.para();
}

void ServidorEspeak::fecha() {
    if (!aberto_) return;
    para();
    aberto_ = false;
}
