// Clicks and loudness of the voice kit in the build tree, so that a change to the kit or to
// the concatenation can be compared with the last one:
//
// - joins: ten fixed sentences through the built-in synthesizer at the cuts of speed level 3;
//   at every place where a piece (diphone, letter, silence) starts, the step from the sample
//   before, and how many steps reach -18 dBFS;
// - word ends: words said one by one (N words spread over LISTA, or the sentences' words),
//   the level of the last sample, how many reach -18 dBFS, and the loudest;
// - loudness: the RMS of the voiced part of every recording (character and word recordings,
//   prompts) and of each synthesized sentence, in dBFS: the median of each group and the
//   spread over all.
//
//   plumar_bench_somKit [LISTA [N]]      (default /usr/share/dict/brazilian, 20000)
//
// The kit is the build tree's, or the one under $SONARE_ROOT.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/codigos.h"
#include "speech/concatenador.h"
#include "speech/leituraOnda.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "voicekit/kitOnda.h"

namespace fs = std::filesystem;

namespace {

// The build tree's family root, or $SONARE_ROOT (to measure another kit).
const fs::path kRaiz = std::getenv("SONARE_ROOT") ? std::getenv("SONARE_ROOT") : PLUMAR_RAIZ_KIT;

constexpr const char* kFrases[] = {
    "O editor fala tudo o que acontece na tela, também as mensagens de erro.",
    "Hoje o tempo está tranquilo, mas amanhã pode chover no interior.",
    "A experiência de quem usa o computador sem enxergar é muito importante.",
    "Cinquenta pinguins comeram linguiça frequentemente, sem aguentar mais.",
    "O táxi parou próximo da praça, no máximo a cinco minutos daqui.",
    "Eles têm razão: além do auxílio, vêm outras ajudas.",
    "Salve o arquivo antes de sair, para não perder o texto digitado.",
    "Procure a palavra na linha seguinte e troque pela correta.",
    "A importância da leitura em voz alta cresce a cada dia.",
    "Quando a janela abrir, tecle Enter para confirmar a escolha.",
};

// 8-bit steps in dBFS; -99 stands for no step at all.
double dbfs(double amplitude) {
    return amplitude <= 0 ? -99.0 : 20.0 * std::log10(amplitude / 128.0);
}
double dbfs16(int nivel) {
    return nivel <= 0 ? -99.0 : 20.0 * std::log10(nivel / 32768.0);
}

double mediana(std::vector<double> v) {
    if (v.empty()) return -99.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The synthesizer of the kit with the cuts of level 3, keeping the sound and the joins.
struct Fala {
    std::vector<uint8_t> som;
    std::vector<size_t> juncoes;
    Regras regras;
    Excecoes excecoes;
    Concatenador concatenador;

    Fala(Regras r, Excecoes e, BancoDifones banco)
        : regras(std::move(r)),
          excecoes(std::move(e)),
          concatenador(std::move(banco), kRaiz / "som" / "letras",
                       SaidaSom{[this](std::span<const uint8_t> onda) {
                                    som.insert(som.end(), onda.begin() + 44, onda.end());
                                },
                                nullptr, nullptr}) {
        concatenador.mudaCortes(Cortes{600, 700, 300});
        concatenador.observaJuncoes([this](size_t a) { juncoes.push_back(a); });
    }
    void diz(const std::string& textoUtf8) {
        som.clear();
        juncoes.clear();
        concatenador.fala(traduz(utf8ParaWin1252(textoUtf8), regras, excecoes));
    }
};

std::vector<std::string> palavrasDe(const char* lista, size_t n) {
    std::ifstream f(lista);
    std::vector<std::string> todas;
    for (std::string p; std::getline(f, p);)
        if (!p.empty() && p[0] >= 'a' && p[0] <= 'z') todas.push_back(p);
    if (todas.empty()) {
        for (const char* frase : kFrases) {
            std::istringstream in(frase);
            for (std::string p; in >> p;) todas.push_back(p);
        }
        return todas;
    }
    std::vector<std::string> escolhidas;
    for (size_t i = 0; i < n && i < todas.size(); ++i)
        escolhidas.push_back(todas[i * todas.size() / std::min(n, todas.size())]);
    return escolhidas;
}

// The voiced loudness of every recording of a folder, in dBFS.
std::vector<double> niveisDaPasta(const fs::path& pasta, bool semTons) {
    std::vector<double> niveis;
    for (const auto& e : fs::directory_iterator(pasta)) {
        const std::string nome = e.path().filename().string();
        if (semTons && nome.starts_with("dtmf_")) continue;
        std::ifstream f(e.path(), std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
        OndaPcm onda;
        if (!leOndaPcm(bytes, onda)) continue;
        niveis.push_back(dbfs16(nivelVoz(de8Bits(onda.dados))));
    }
    return niveis;
}

}  // namespace

int main(int argc, char** argv) {
    const char* lista = argc > 1 ? argv[1] : "/usr/share/dict/brazilian";
    const size_t n = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 20000;
    const fs::path difones = kRaiz / "som" / "difones";
    auto regras = leRegras(difones / "regras.rgr");
    auto excecoes = leExcecoes(difones / "portug.exc");
    auto banco = BancoDifones::abre(difones / "DIFONES2.IND", difones / "DIFONES2.DIF");
    if (!regras || !excecoes || !banco) {
        std::fprintf(stderr, "sem o kit de voz em %s (construa com o espeak-ng)\n",
                     kRaiz.c_str());
        return 1;
    }
    Fala fala(std::move(*regras), std::move(*excecoes), std::move(*banco));
    const double kLimiar = -18.0;

    size_t juncoes = 0, altas = 0;
    double maiorSalto = 0;
    std::vector<double> frases;
    for (const char* frase : kFrases) {
        fala.diz(frase);
        frases.push_back(dbfs16(nivelVoz(de8Bits(fala.som))));
        for (size_t j : fala.juncoes) {
            if (j == 0 || j >= fala.som.size()) continue;
            ++juncoes;
            const double salto = std::abs(fala.som[j] - fala.som[j - 1]);
            maiorSalto = std::max(maiorSalto, salto);
            altas += dbfs(salto) >= kLimiar;
        }
    }
    std::printf("junções: %zu em %zu frases, %zu com salto >= %.0f dBFS (%.1f %%), maior %.1f dBFS\n",
                juncoes, std::size(kFrases), altas, kLimiar,
                juncoes ? 100.0 * static_cast<double>(altas) / static_cast<double>(juncoes) : 0.0,
                dbfs(maiorSalto));

    const std::vector<std::string> palavras = palavrasDe(lista, n);
    size_t finsAltos = 0;
    double maiorFim = 0;
    for (const std::string& p : palavras) {
        fala.diz(p);
        if (fala.som.empty()) continue;
        const double fim = std::abs(fala.som.back() - 128);
        maiorFim = std::max(maiorFim, fim);
        finsAltos += dbfs(fim) >= kLimiar;
    }
    std::printf("fins de palavra: %zu palavras ditas uma a uma, %zu terminam >= %.0f dBFS "
                "(%.1f %%), o mais alto %.1f dBFS\n",
                palavras.size(), finsAltos, kLimiar,
                100.0 * static_cast<double>(finsAltos) / static_cast<double>(palavras.size()),
                dbfs(maiorFim));

    const std::vector<double> letras = niveisDaPasta(kRaiz / "som" / "letras", true);
    const std::vector<double> prompts = niveisDaPasta(kRaiz / "plumar", false);
    std::vector<double> todos = letras;
    todos.insert(todos.end(), prompts.begin(), prompts.end());
    todos.insert(todos.end(), frases.begin(), frases.end());
    const auto [menor, maior] = std::minmax_element(todos.begin(), todos.end());
    std::printf("volume (RMS da parte sonora, dBFS, mediana): gravações de letras e palavras "
                "%.1f (%zu), avisos %.1f (%zu), frases sintetizadas %.1f (%zu)\n",
                mediana(letras), letras.size(), mediana(prompts), prompts.size(),
                mediana(frases), frases.size());
    std::printf("volume: de %.1f a %.1f dBFS (espalhamento %.1f dB)\n", *menor, *maior,
                *maior - *menor);
    return 0;
}
