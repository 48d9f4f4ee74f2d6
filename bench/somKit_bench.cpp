// Joins, holes and loudness of the voice kit in the build tree, so that a change to the kit,
// the concatenation or the sound path can be compared with the last one:
//
// - joins: ten fixed sentences through the built-in synthesizer at the cuts of speed level 3;
//   at every place where a piece (diphone, letter, silence) starts, the step from the sample
//   before, and how many steps reach -18 dBFS; then the joins inside words (a piece right
//   after another that sounds, no pause between) and how many fall into a gap: 2 ms or more
//   of samples below -40 dBFS within 1 ms of the join. A join into a stop (p, t, k, b, d, g
//   and the affricates) opens the stop's closure, a silence the voice makes on purpose: those
//   are counted apart;
// - holes: the sentences read by the speech front end at every speed level, through the wave
//   player into the capture device on a virtual clock (what --audio-out writes): runs of
//   digital silence inside speech (see tests/analiseSom.h), each a pair of clicks;
// - word ends: words said one by one (N words spread over LISTA, or the sentences' words),
//   the level of the last sample, how many reach -18 dBFS, and the loudest;
// - loudness: the RMS of the voiced part of every recording (character and word recordings,
//   prompts, in every folder below them) and of each synthesized sentence, in dBFS: the
//   median of each group and the spread over all.
//
//   plumar_bench_somKit [LISTA [N]]      (default /usr/share/dict/brazilian, 20000)
//
// The kit is the build tree's, or the one under $SONARE_ROOT.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

#include "analiseSom.h"
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
constexpr const char* kRaposa =
    "A raposa rápida, que morava no mato, pulou o muro da casa velha sem fazer barulho.";

constexpr double kLimiar = -18.0;
constexpr int kQuieto = 1;               // 8-bit steps from silence: below -40 dBFS
constexpr size_t kLacunaMinima = 22;     // 2 ms at 11025 Hz
constexpr size_t kPertoDaJuncao = 11;    // 1 ms

// 8-bit steps in dBFS; -99 stands for no step at all.
double dbfs(double amplitude) {
    return amplitude <= 0 ? -99.0 : 20.0 * std::log10(amplitude / 128.0);
}
double dbfs16(int nivel) {
    return nivel <= 0 ? -99.0 : 20.0 * std::log10(nivel / 32768.0);
}
double porcento(size_t parte, size_t todo) {
    return todo ? 100.0 * static_cast<double>(parte) / static_cast<double>(todo) : 0.0;
}

double mediana(std::vector<double> v) {
    if (v.empty()) return -99.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The synthesizer of the kit with the cuts of level 3, keeping the sound and the joins.
struct FalaKit {
    std::vector<uint8_t> som;
    std::vector<Juncao> juncoes;
    Regras regras;
    Excecoes excecoes;
    Concatenador concatenador;

    FalaKit(Regras r, Excecoes e, BancoDifones banco)
        : regras(std::move(r)),
          excecoes(std::move(e)),
          concatenador(std::move(banco), kRaiz / "som" / "letras",
                       SaidaSom{[this](std::span<const uint8_t> onda) {
                                    som.insert(som.end(), onda.begin() + 44, onda.end());
                                },
                                nullptr, nullptr}) {
        concatenador.mudaCortes(Cortes{600, 700, 300});
        concatenador.observaJuncoes([this](const Juncao& j) { juncoes.push_back(j); });
    }
    void diz(const std::string& textoUtf8) {
        som.clear();
        juncoes.clear();
        concatenador.fala(traduz(utf8ParaWin1252(textoUtf8), regras, excecoes));
    }
};

// A stop's closure is silent: a unit that opens with a stop starts with it.
bool abreOclusiva(std::string_view nome) {
    return nome.size() >= 2 && std::string_view("PTKCQBDG").find(nome[1]) != std::string_view::npos;
}
// A stop said alone ("$P" of "pra") is little more than its closure.
bool soOclusiva(std::string_view nome) {
    return abreOclusiva(nome) && (nome.size() == 2 || nome == "$TCH" || nome == "$DJ");
}

// The run of quiet samples that reaches within 1 ms of `j`; its length (0 when none).
size_t lacunaEm(const std::vector<uint8_t>& s, size_t j) {
    auto quieto = [&](size_t i) { return std::abs(s[i] - 128) <= kQuieto; };
    const size_t de = j > kPertoDaJuncao ? j - kPertoDaJuncao : 0;
    const size_t ate = std::min(s.size(), j + kPertoDaJuncao + 1);
    size_t maior = 0;
    for (size_t i = de; i < ate; ++i) {
        if (!quieto(i)) continue;
        size_t a = i, b = i;
        while (a > 0 && quieto(a - 1)) --a;
        while (b < s.size() && quieto(b)) ++b;
        maior = std::max(maior, b - a);
        i = b;
    }
    return maior;
}

struct Juncoes {
    size_t todas = 0, altas = 0, acrescidos = 0;
    double maiorSalto = 0, maiorAcrescido = 0;
    size_t passos = 0, passosAltos = 0;  // every step of the speech, for comparison
    size_t dentro = 0, lacunas = 0, fechamentos = 0;
    std::vector<double> msLacunas;
};

// The largest step between neighbouring samples within 3 samples of `j`, the step at `j`
// left out: how much the sound itself swings there.
double passoVizinho(const std::vector<uint8_t>& s, size_t j) {
    double maior = 0;
    for (size_t k = std::max<size_t>(j, 4) - 3; k < std::min(s.size(), j + 4); ++k)
        if (k != j) maior = std::max<double>(maior, std::abs(s[k] - s[k - 1]));
    return maior;
}

void medeJuncoes(const FalaKit& fala, Juncoes& r) {
    const std::vector<uint8_t>& s = fala.som;
    for (size_t i = 1; i < s.size(); ++i) {
        ++r.passos;
        r.passosAltos += dbfs(std::abs(s[i] - s[i - 1])) >= kLimiar;
    }
    std::string anterior;  // the name of the piece before
    for (const Juncao& j : fala.juncoes) {
        const std::string ant = std::exchange(anterior, j.nome);
        if (j.amostra == 0 || j.amostra >= s.size()) continue;
        ++r.todas;
        const double salto = std::abs(s[j.amostra] - s[j.amostra - 1]);
        r.maiorSalto = std::max(r.maiorSalto, salto);
        r.altas += dbfs(salto) >= kLimiar;
        // A crossfaded join is inside a waveform whose own steps can be as large: what the
        // join adds is its step beyond the sound's swing around it (a click stands out).
        const double acrescido = salto - std::min(salto, passoVizinho(s, j.amostra));
        r.maiorAcrescido = std::max(r.maiorAcrescido, acrescido);
        r.acrescidos += dbfs(acrescido) >= kLimiar;
        if (!j.depoisDeSom || j.peca == Juncao::Peca::Silencio) continue;
        ++r.dentro;
        const size_t lacuna = lacunaEm(s, j.amostra);
        if (lacuna < kLacunaMinima) continue;
        if ((j.peca == Juncao::Peca::Difone && abreOclusiva(j.nome)) || soOclusiva(ant)) {
            ++r.fechamentos;
        } else {
            ++r.lacunas;
            r.msLacunas.push_back(1000.0 * static_cast<double>(lacuna) / Concatenador::kTaxa);
        }
    }
}

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

bool ehWav(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".wav";
}

// The voiced loudness of every recording in a folder and the folders below it, in dBFS.
std::vector<double> niveisDaPasta(const fs::path& pasta, bool semTons) {
    std::vector<double> niveis;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(pasta, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path& p = it->path();
        if (!it->is_regular_file(ec) || !ehWav(p)) continue;
        if (semTons && p.filename().string().starts_with("dtmf_")) continue;
        std::ifstream f(p, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
        OndaPcm onda;
        if (!leOndaPcm(bytes, onda) || onda.formato.bits != 8) continue;
        niveis.push_back(dbfs16(nivelVoz(de8Bits(onda.dados))));
    }
    return niveis;
}

void relataBuracos() {
    const fs::path pasta = fs::temp_directory_path() / ("plumar_bench_somKit_" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    // The family's SONARE.INI, whose speed levels are measured, names the kit's folders
    // through SONARE_ROOT.
    std::error_code ec;
    fs::copy_file(kRaiz / "SONARE.INI", pasta / "SONARE.INI", fs::copy_options::overwrite_existing, ec);
    setenv("SONARE_ROOT", kRaiz.c_str(), 1);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    const int taxa = AudioCaptura::kFormatoArquivo.taxa;
    std::vector<std::string> textos{utf8ParaWin1252(kRaposa)};
    for (const char* frase : kFrases) textos.push_back(utf8ParaWin1252(frase));
    for (int nivel = 1; nivel <= 5; ++nivel) {
        const std::vector<int16_t> s =
            analise::leituraCapturada(pasta / ("nivel" + std::to_string(nivel) + ".wav"),
                                      pasta / "SONARE.INI", nivel, (kRaiz / "plumar").string(), textos);
        const std::vector<analise::Trecho> b = analise::buracos(s, taxa);
        const double segundos = static_cast<double>(s.size()) / taxa;
        std::printf("buracos no nível %d: %zu em %.1f s de leitura capturada (%.1f por minuto)",
                    nivel, b.size(), segundos, segundos > 0 ? 60.0 * b.size() / segundos : 0.0);
        if (!b.empty())
            std::printf(", o primeiro a %.3f s com %.1f ms", static_cast<double>(b[0].inicio) / taxa,
                        1000.0 * static_cast<double>(b[0].tamanho()) / taxa);
        std::printf("\n");
    }
    fs::remove_all(pasta, ec);
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
    FalaKit fala(std::move(*regras), std::move(*excecoes), std::move(*banco));

    Juncoes j;
    std::vector<double> frases;
    for (const char* frase : kFrases) {
        fala.diz(frase);
        frases.push_back(dbfs16(nivelVoz(de8Bits(fala.som))));
        medeJuncoes(fala, j);
    }
    std::printf("junções: %zu em %zu frases, %zu com salto >= %.0f dBFS (%.1f %%, maior %.1f dBFS; "
                "na fala toda, %.1f %% dos passos entre amostras chegam a tanto); salto que a "
                "junção acrescenta ao da onda em volta >= %.0f dBFS: %zu, maior %.1f dBFS\n",
                j.todas, std::size(kFrases), j.altas, kLimiar, porcento(j.altas, j.todas),
                dbfs(j.maiorSalto), porcento(j.passosAltos, j.passos), kLimiar, j.acrescidos,
                dbfs(j.maiorAcrescido));
    std::printf("junções dentro de palavras: %zu; com lacuna (>= 2 ms abaixo de -40 dBFS): %zu "
                "(%.1f %%, mediana %.1f ms); ao abrir o fechamento de uma oclusiva: %zu (%.1f %%)\n",
                j.dentro, j.lacunas, porcento(j.lacunas, j.dentro), mediana(j.msLacunas),
                j.fechamentos, porcento(j.fechamentos, j.dentro));
    std::fflush(stdout);

    relataBuracos();
    std::fflush(stdout);

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
                palavras.size(), finsAltos, kLimiar, porcento(finsAltos, palavras.size()),
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
