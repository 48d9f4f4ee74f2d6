// How the built-in synthesizer's rules say words, against the espeak-ng Brazilian Portuguese
// voice: both pronunciations are brought to one symbol set (voicekit/kitFonemas.h) and
// compared word by word. Prints the share of words that agree and the commonest kinds of
// disagreement (the differing stretch, ours -> engine's, with examples).
//
//   plumar_bench_pronuncia [--brisa] [LISTA [N [-v]]]
//   plumar_bench_pronuncia --resumo
//   plumar_bench_pronuncia --propoe [LISTA [N]]
//
// --brisa measures the own text-to-speech engine instead (normaliser, exceptions, stress
// and rules of data/brisatts, or of $PLUMAR_DIR_BRISA), then times it over 10,000 words.
// Both voices read the exceptions of data/brisatts/portug.exc, the list they share.
//
// LISTA is a word list, one UTF-8 word a line (default /usr/share/dict/brazilian, Debian's
// wbrazilian); N words (default 2000) are taken evenly spread from its lower-case words, so
// the same list always gives the same words. -v prints every word, x where they differ.
//
// --resumo prints the agreement of both voices on the two lists: the 2,000 words heard most
// (bench/palavrasFrequentes.txt, made by tools/frequentes/palavrasFrequentes.sh from the
// prose of Debian's fortunes-br) and the 2,000 spread over the whole dictionary. --propoe
// prints, for the words of LISTA that a voice says unlike espeak-ng, lines for the exception
// file both voices share (data/brisatts/portug.exc), to be reviewed before they are added.
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
#include "platform/texto.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"
#include "voicekit/kitFonemas.h"

namespace {

// Words written in lower case (accented first letters too); names and comments (#) are left.
std::vector<std::string> amostraDaLista(const char* arquivo, size_t n) {
    std::ifstream f(arquivo);
    std::vector<std::string> todas;
    for (std::string p; std::getline(f, p);) {
        if (!p.empty() && p.back() == '\r') p.pop_back();
        const std::string win = utf8ParaWin1252(p);
        if (!win.empty() && win[0] != '#' && letra1252(win[0]) && minuscula1252(win[0]) == win[0])
            todas.push_back(p);
    }
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

// The translator's rules and exceptions with the shared ones, as the built-in voice opens them.
struct Tradutor {
    Regras regras;
    Excecoes excecoes;
};

std::optional<Tradutor> abreTradutor() {
    const char* outro = std::getenv("PLUMAR_DIR_REGRAS");
    const std::filesystem::path dir = outro ? outro : PLUMAR_DIR_DIFONES;
    const char* outraBrisa = std::getenv("PLUMAR_DIR_BRISA");
    const std::filesystem::path dirBrisa = outraBrisa ? outraBrisa : PLUMAR_DIR_BRISA;
    auto regras = leRegras(dir / "regras.rgr");
    auto excecoes = leExcecoes(dir / "portug.exc");
    if (!regras || !excecoes) {
        std::fprintf(stderr, "não consigo ler as regras de %s\n", dir.c_str());
        return std::nullopt;
    }
    const Excecoes comuns = leExcecoes(dirBrisa / "portug.exc").value_or(Excecoes{});
    return Tradutor{std::move(*regras), comExcecoesComuns(*excecoes, comuns)};
}

struct Medida {
    size_t palavras = 0, iguais = 0;
    std::map<std::string, Tipo> tipos;
    double porcento() const {
        return palavras ? 100.0 * static_cast<double>(iguais) / static_cast<double>(palavras) : 0;
    }
};

// Each word said by one voice (the own engine when `brisa` is given) against espeak-ng.
Medida mede(const std::vector<std::string>& palavras, const Tradutor& tradutor, const Brisa* brisa,
            bool detalhe) {
    Medida m;
    for (const std::string& p : palavras) {
        std::string nosso = brisa ? fonemasDaBrisa(brisa->fonemas(utf8ParaWin1252(p)))
                                  : fonemasDaTraducao(traduz(utf8ParaWin1252(p), tradutor.regras,
                                                             tradutor.excecoes));
        std::string motor = doMotor(p);
        if (brisa) nosso = dobraDialeto(nosso), motor = dobraDialeto(motor);
        if (detalhe) std::printf("%s %-20s %-20s %s\n", nosso == motor ? "=" : "x", p.c_str(),
                                 nosso.c_str(), motor.c_str());
        ++m.palavras;
        if (nosso == motor) {
            ++m.iguais;
            continue;
        }
        Tipo& t = m.tipos[diferenca(nosso, motor)];
        ++t.vezes;
        if (t.exemplos.size() < 4) t.exemplos.push_back(p);
    }
    return m;
}

void mostraTipos(const Medida& m) {
    std::vector<std::pair<std::string, Tipo>> ordem(m.tipos.begin(), m.tipos.end());
    std::stable_sort(ordem.begin(), ordem.end(),
                     [](const auto& a, const auto& b) { return a.second.vezes > b.second.vezes; });
    std::printf("diferenças mais comuns (nosso -> espeak-ng):\n");
    for (size_t i = 0; i < ordem.size() && i < 20; ++i) {
        std::string ex;
        for (const std::string& e : ordem[i].second.exemplos) ex += (ex.empty() ? "" : ", ") + e;
        std::printf("%4d  %-24s %s\n", ordem[i].second.vezes, ordem[i].first.c_str(), ex.c_str());
    }
}

// What one voice says for the Windows-1252 word, in the bench's symbols.
std::string diz(const std::string& win, const Tradutor& tradutor, const Brisa* brisa) {
    if (brisa) return dobraDialeto(fonemasDaBrisa(brisa->fonemas(win)));
    return fonemasDaTraducao(traduz(win, tradutor.regras, tradutor.excecoes));
}

// For each word of the list that a voice says unlike espeak-ng, a line for the shared
// exception file: the word respelled with an accent on one vowel (á é ê í ó ô ú) such that
// both voices then say it as espeak-ng does; "# word" when no such accent is found.
void propoeExcecoes(const std::vector<std::string>& palavras, const Tradutor& tradutor,
                    const Brisa& brisa) {
    const std::pair<char, std::string_view> acentos[] = {
        {'a', "\xE1"}, {'e', "\xE9\xEA"}, {'i', "\xED"}, {'o', "\xF3\xF4"}, {'u', "\xFA"}};
    for (const std::string& p : palavras) {
        const std::string win = utf8ParaWin1252(p);
        const std::string motor = doMotor(p);
        auto certa = [&](const std::string& w) {
            return diz(w, tradutor, nullptr) == motor && diz(w, tradutor, &brisa) == dobraDialeto(motor);
        };
        if (certa(win)) continue;
        std::string achada;
        for (size_t i = 0; i < win.size() && achada.empty(); ++i)
            for (const auto& [vogal, trocas] : acentos)
                for (char t : trocas)
                    if (win[i] == vogal && achada.empty()) {
                        std::string w = win;
                        w[i] = t;
                        if (certa(w)) achada = w;
                    }
        if (achada.empty())
            std::printf("# %s\n", p.c_str());
        else
            std::printf("%s=%s|\n", win1252ParaUtf8(maiusculasLatin1(win)).c_str(),
                        win1252ParaUtf8(maiusculasLatin1(achada)).c_str());
    }
}

// Both voices on the words heard most and on the dictionary's spread.
void resumo(const Tradutor& tradutor, const Brisa& brisa) {
    const std::pair<const char*, const char*> listas[] = {
        {"as 2000 mais frequentes", PLUMAR_LISTA_FREQUENTES},
        {"2000 do dicionário", "/usr/share/dict/brazilian"}};
    std::printf("%-26s %12s %12s\n", "acordo com o espeak-ng", "embutida", "própria");
    for (const auto& [nome, arquivo] : listas) {
        const std::vector<std::string> palavras = amostraDaLista(arquivo, 2000);
        if (palavras.empty()) {
            std::printf("%-26s lista vazia ou ilegível: %s\n", nome, arquivo);
            continue;
        }
        const Medida embutida = mede(palavras, tradutor, nullptr, false);
        const Medida propria = mede(palavras, tradutor, &brisa, false);
        std::printf("%-26s %11.1f%% %11.1f%%  (%zu palavras)\n", nome, embutida.porcento(),
                    propria.porcento(), palavras.size());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool brisa = argc > 1 && std::string(argv[1]) == "--brisa";
    const bool soResumo = argc > 1 && std::string(argv[1]) == "--resumo";
    const bool propoe = argc > 1 && std::string(argv[1]) == "--propoe";
    if (brisa || soResumo || propoe) --argc, ++argv;
    const char* lista = argc > 1 ? argv[1] : "/usr/share/dict/brazilian";
    const size_t n = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 2000;
    const bool detalhe = argc > 3 && std::string(argv[3]) == "-v";
    const std::optional<Tradutor> tradutor = abreTradutor();
    const bool ambas = brisa || soResumo || propoe;
    const std::optional<Brisa> motorProprio = ambas ? abreBrisa() : std::nullopt;
    if (!tradutor || (ambas && !motorProprio)) return 1;
    if (espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0 ||
        espeak_SetVoiceByName("pt-br") != EE_OK) {
        std::fprintf(stderr, "o espeak-ng ou a sua voz pt-br não abriu\n");
        return 1;
    }
    if (soResumo) {
        resumo(*tradutor, *motorProprio);
        espeak_Terminate();
        return 0;
    }
    const std::vector<std::string> palavras = amostraDaLista(lista, n);
    if (palavras.empty()) {
        std::fprintf(stderr, "lista vazia ou ilegível: %s\n", lista);
        return 1;
    }
    if (propoe) {
        propoeExcecoes(palavras, *tradutor, *motorProprio);
        espeak_Terminate();
        return 0;
    }
    const Medida m = mede(palavras, *tradutor, brisa ? &*motorProprio : nullptr, detalhe);
    std::printf("%zu palavras de %s: %zu iguais (%.1f %%)\n", m.palavras, lista, m.iguais, m.porcento());
    mostraTipos(m);
    if (brisa) cronometra(*motorProprio, palavras);
    espeak_Terminate();
    return 0;
}
