// How the built-in synthesizer's rules say words, against the espeak-ng Brazilian Portuguese
// voice: both pronunciations are brought to one symbol set (voicekit/kitFonemas.h) and
// compared word by word. Prints the share of words that agree and the commonest kinds of
// disagreement (the differing stretch, ours -> engine's, with examples).
//
//   plumar_bench_pronuncia [LISTA [N [-v]]]
//
// LISTA is a word list, one UTF-8 word a line (default /usr/share/dict/brazilian, Debian's
// wbrazilian); N words (default 2000) are taken evenly spread from its lower-case words, so
// the same list always gives the same words. -v prints every word, x where they differ.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/codigos.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "voicekit/kitFonemas.h"

namespace {

std::vector<std::string> amostraDaLista(const char* arquivo, size_t n) {
    std::ifstream f(arquivo);
    std::vector<std::string> todas;
    for (std::string p; std::getline(f, p);)
        if (!p.empty() && p[0] >= 'a' && p[0] <= 'z') todas.push_back(p);
    if (todas.size() <= n) return todas;
    std::vector<std::string> escolhidas;
    for (size_t i = 0; i < n; ++i) escolhidas.push_back(todas[i * todas.size() / n]);
    return escolhidas;
}

std::string doMotor(const std::string& palavraUtf8) {
    const void* p = palavraUtf8.c_str();
    std::string fonemas;
    while (p) {
        const char* parte = espeak_TextToPhonemes(&p, espeakCHARS_UTF8, 0);
        if (!parte) break;
        fonemas += parte;
    }
    return fonemasDoMotor(fonemas);
}

// The stretch where the two differ, with the symbol before it: "ours -> engine's".
std::string diferenca(const std::string& a, const std::string& b) {
    size_t ini = 0;
    while (ini < a.size() && ini < b.size() && a[ini] == b[ini]) ++ini;
    size_t fa = a.size(), fb = b.size();
    while (fa > ini && fb > ini && a[fa - 1] == b[fb - 1]) --fa, --fb;
    const size_t contexto = ini > 0 ? ini - 1 : 0;
    return a.substr(contexto, fa - contexto) + " -> " + b.substr(contexto, fb - contexto);
}

struct Tipo {
    int vezes = 0;
    std::vector<std::string> exemplos;
};

}  // namespace

int main(int argc, char** argv) {
    const char* lista = argc > 1 ? argv[1] : "/usr/share/dict/brazilian";
    const size_t n = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 2000;
    const bool detalhe = argc > 3 && std::string(argv[3]) == "-v";
    const char* outro = std::getenv("PLUMAR_DIR_REGRAS");
    const std::string dir = outro ? outro : PLUMAR_DIR_DIFONES;
    auto regras = leRegras(dir + "/regras.rgr");
    auto excecoes = leExcecoes(dir + "/portug.exc");
    if (!regras || !excecoes) {
        std::fprintf(stderr, "não consigo ler as regras de %s\n", dir.c_str());
        return 1;
    }
    if (espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0 ||
        espeak_SetVoiceByName("pt-br") != EE_OK) {
        std::fprintf(stderr, "o espeak-ng ou a sua voz pt-br não abriu\n");
        return 1;
    }
    const std::vector<std::string> palavras = amostraDaLista(lista, n);
    if (palavras.empty()) {
        std::fprintf(stderr, "lista vazia ou ilegível: %s\n", lista);
        return 1;
    }
    std::map<std::string, Tipo> tipos;
    size_t iguais = 0;
    for (const std::string& p : palavras) {
        const std::string nosso = fonemasDaTraducao(traduz(utf8ParaWin1252(p), *regras, *excecoes));
        const std::string motor = doMotor(p);
        if (detalhe) std::printf("%s %-20s %-20s %s\n", nosso == motor ? "=" : "x", p.c_str(),
                                 nosso.c_str(), motor.c_str());
        if (nosso == motor) {
            ++iguais;
            continue;
        }
        Tipo& t = tipos[diferenca(nosso, motor)];
        ++t.vezes;
        if (t.exemplos.size() < 4) t.exemplos.push_back(p);
    }
    std::printf("%zu palavras de %s: %zu iguais (%.1f %%)\n", palavras.size(), lista, iguais,
                100.0 * static_cast<double>(iguais) / static_cast<double>(palavras.size()));
    std::vector<std::pair<std::string, Tipo>> ordem(tipos.begin(), tipos.end());
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](const auto& a, const auto& b) { return a.second.vezes > b.second.vezes; });
    std::printf("diferenças mais comuns (nosso -> espeak-ng):\n");
    for (size_t i = 0; i < ordem.size() && i < 20; ++i) {
        std::string ex;
        for (const std::string& e : ordem[i].second.exemplos) ex += (ex.empty() ? "" : ", ") + e;
        std::printf("%4d  %-24s %s\n", ordem[i].second.vezes, ordem[i].first.c_str(), ex.c_str());
    }
    espeak_Terminate();
    return 0;
}
