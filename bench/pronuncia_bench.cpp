// How the built-in synthesizer's rules say words, against the espeak-ng Brazilian Portuguese
// voice: both pronunciations are brought to one symbol set (voicekit/kitFonemas.h) and
// compared word by word. Prints the share of words that agree and the commonest kinds of
// disagreement (the differing stretch, ours -> engine's, with examples).
//
//   plumar_bench_pronuncia [--brisa] [LISTA [N [-v]]]
//
// --brisa measures the own text-to-speech engine instead (normaliser, exceptions, stress
// and rules of data/brisatts, or of $PLUMAR_DIR_BRISA), then times it over 10,000 words.
//
// LISTA is a word list, one UTF-8 word a line (default /usr/share/dict/brazilian, Debian's
// wbrazilian); N words (default 2000) are taken evenly spread from its lower-case words, so
// the same list always gives the same words. -v prints every word, x where they differ.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/codigos.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"
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

// The own engine: the word normalised, each of its words converted.
struct Brisa {
    PreprocTts preproc;
    PortugTts portug;

    std::vector<std::string> fonemas(const std::string& palavraWin) const {
        std::vector<std::string> itens;
        const std::string normal = preproc.normaliza(palavraWin);
        size_t pos = 0;
        while (pos < normal.size()) {
            size_t fim = normal.find(' ', pos);
            if (fim == std::string::npos) fim = normal.size();
            if (fim > pos) itens.push_back("555|" + normal.substr(pos, fim - pos));
            pos = fim + 1;
        }
        return portug.converte(itens);
    }
};

std::optional<Brisa> abreBrisa() {
    const char* outro = std::getenv("PLUMAR_DIR_BRISA");
    const std::filesystem::path dir = outro ? outro : PLUMAR_DIR_BRISA;
    Brisa b;
    if (!b.preproc.carregaAbreviaturas(dir / "portug.abr") ||
        !b.portug.carrega(dir / "portug.nrl", dir / "portug.exc")) {
        std::fprintf(stderr, "não consigo ler as regras de %s\n", dir.c_str());
        return std::nullopt;
    }
    return b;
}

// Normalising and converting 10,000 words of the list, one item list per word.
void cronometra(const Brisa& b, const std::vector<std::string>& palavras) {
    std::vector<std::string> win;
    for (size_t i = 0; i < 10000; ++i) win.push_back(utf8ParaWin1252(palavras[i % palavras.size()]));
    // The processor time as well: on a busy machine the clock time also counts the others.
    const auto inicio = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    size_t total = 0;
    for (const std::string& p : win) total += b.fonemas(p).size();
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio);
    const double msCpu = 1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    std::printf("10000 palavras normalizadas e convertidas em %.1f ms (%.1f ms de processador, %zu itens)\n",
                ms.count(), msCpu, total);
}

// Known differences of dialect, folded on both sides for the own engine: a syllable-final r
// is a tap for espeak-ng and the strong r for us (as in Rio and most of Brazil).
std::string dobraDialeto(std::string s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const bool antesDeVogal = i + 1 < s.size() && std::string_view("aeEioOu").find(s[i + 1]) != std::string_view::npos;
        if (s[i] == 'R' && !antesDeVogal) s[i] = 'r';
    }
    return s;
}

struct Tipo {
    int vezes = 0;
    std::vector<std::string> exemplos;
};

}  // namespace

int main(int argc, char** argv) {
    const bool brisa = argc > 1 && std::string(argv[1]) == "--brisa";
    if (brisa) --argc, ++argv;
    const char* lista = argc > 1 ? argv[1] : "/usr/share/dict/brazilian";
    const size_t n = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 2000;
    const bool detalhe = argc > 3 && std::string(argv[3]) == "-v";
    const char* outro = std::getenv("PLUMAR_DIR_REGRAS");
    const std::string dir = outro ? outro : PLUMAR_DIR_DIFONES;
    auto regras = leRegras(dir + "/regras.rgr");
    auto excecoes = leExcecoes(dir + "/portug.exc");
    const std::optional<Brisa> motorProprio = brisa ? abreBrisa() : std::nullopt;
    if (brisa && !motorProprio) return 1;
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
        std::string nosso = brisa
                                ? fonemasDaBrisa(motorProprio->fonemas(utf8ParaWin1252(p)))
                                : fonemasDaTraducao(traduz(utf8ParaWin1252(p), *regras, *excecoes));
        std::string motor = doMotor(p);
        if (brisa) nosso = dobraDialeto(nosso), motor = dobraDialeto(motor);
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
    if (brisa) cronometra(*motorProprio, palavras);
    espeak_Terminate();
    return 0;
}
