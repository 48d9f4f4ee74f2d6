// The own text-to-speech engine and its diphone synthesizer, measured on the voice br4 the
// voice kit made in the build tree:
//   - speed: a 2,000-word text through the whole engine, as times real time, and the delay
//     before the first wave is handed to the player for a 10-word sentence and for texts of
//     200, 2,000 and 10,000 words (it must not grow with the text); the samples of the
//     2,000-word text summed up (and written raw where BRISA_CAPTURA says), so two builds can
//     be compared;
//   - phrase ends: the pitch the last voiced pulse of a statement's or a question's last word
//     reaches against the level its contour ends on, and the peak of its stressed vowel
//     against its target, read from the synthesizer's own F0 track;
//   - accuracy of the synthesizer on phoneme lines with known targets: pitch measured by
//     autocorrelation in the middle of each vowel against the pitch the lines ask for there,
//     each phoneme's length against the length asked for, clipped samples, and silences of
//     250 ms or more outside the pauses asked for.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bancadaTempoReal.h"
#include "platform/codigos.h"
#include "speech/tts/mbrola/mbrola.h"
#include "speech/tts/mbrola/motorDifones.h"
#include "speech/tts/uttsBrisa.h"
#include "speech/tts/uttsProsodia.h"

namespace {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;
constexpr int kTaxa = 16000;

double ms(Relogio::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Pitch of the stretch by normalised autocorrelation: the first lag whose peak comes near
// the best, so a multiple of the period is not taken for it.
double mede(const std::vector<int16_t>& x, size_t centro, size_t meia) {
    const int menor = kTaxa / 600, maior = kTaxa / 50;
    if (centro < meia || centro + meia + maior >= x.size()) return 0;
    std::vector<double> r(maior + 2, 0);
    double melhor = 0;
    for (int l = menor; l <= maior + 1; ++l) {
        double s = 0, a = 0, b = 0;
        for (size_t i = centro - meia; i < centro + meia; ++i) {
            s += double(x[i]) * x[i + l];
            a += double(x[i]) * x[i];
            b += double(x[i + l]) * x[i + l];
        }
        r[l] = a > 0 && b > 0 ? s / std::sqrt(a * b) : 0;
        if (l <= maior) melhor = std::max(melhor, r[l]);
    }
    if (melhor < 0.5) return 0;
    for (int l = menor + 1; l <= maior; ++l)
        if (r[l] >= 0.85 * melhor && r[l] >= r[l - 1] && r[l] >= r[l + 1]) {
            const double d = (r[l - 1] - r[l + 1]) / (2 * (r[l - 1] - 2 * r[l] + r[l + 1]));
            return kTaxa / (l + (std::isfinite(d) ? d : 0));
        }
    return 0;
}

struct Fonema {
    std::string nome;
    int ms;
    std::vector<std::pair<int, int>> alvos;
};

// Sentences of the voice's own phonemes with a rising and falling line of targets.
std::vector<Fonema> frases(int quantas) {
    const std::vector<std::string> vogais{"a", "e", "E", "i", "o", "O", "u", "an", "en", "on"};
    const std::vector<std::string> consoantes{"p", "t", "k", "b", "d", "g", "f", "s", "S", "v", "z",
                                              "m", "n", "l", "r", "R", "J", "L", "tS", "dZ"};
    std::mt19937 gerador(29);
    std::vector<Fonema> f{{"_", 200, {}}};
    for (int q = 0; q < quantas; ++q) {
        const int silabas = 8 + static_cast<int>(gerador() % 8);
        for (int s = 0; s < silabas; ++s) {
            const int hz = 90 + static_cast<int>(gerador() % 170);  // 90 to 260 Hz
            f.push_back({consoantes[gerador() % consoantes.size()], 60 + static_cast<int>(gerador() % 50), {}});
            f.push_back({vogais[gerador() % vogais.size()], 80 + static_cast<int>(gerador() % 120),
                         {{20, hz}, {80, hz}}});
        }
        f.push_back({"_", 300, {}});
    }
    return f;
}

std::vector<int16_t> sintetiza(const std::vector<Fonema>& f) {
    std::vector<int16_t> tudo, bloco(16000);
    auto le = [&] {
        int n = 0;
        while ((n = read_MBR(bloco.data(), static_cast<int>(bloco.size()))) > 0)
            tudo.insert(tudo.end(), bloco.begin(), bloco.begin() + n);
    };
    reset_MBR();
    for (const Fonema& p : f) {
        std::ostringstream l;
        l << p.nome << ' ' << p.ms;
        for (auto [pos, hz] : p.alvos) l << ' ' << pos << ' ' << hz;
        write_MBR(l.str().c_str());
        le();
    }
    flush_MBR();
    le();
    return tudo;
}

void precisao(const fs::path& banco) {
    if (init_MBR(banco.string().c_str()) < 0) {
        std::cerr << "sem a voz " << banco << "\n";
        return;
    }
    const std::vector<Fonema> f = frases(20);
    const std::vector<int16_t> x = sintetiza(f);
    size_t esperado = 0;
    for (const Fonema& p : f) esperado += static_cast<size_t>(p.ms) * kTaxa / 1000;
    std::vector<double> erros;
    size_t inicio = 0, cortadas = 0, silenciosLongos = 0, medidas = 0;
    for (const Fonema& p : f) {
        const size_t n = static_cast<size_t>(p.ms) * kTaxa / 1000;
        if (!p.alvos.empty() && p.ms >= 80) {
            // Between its two targets the pitch is flat: measured on the middle 40 %.
            const double hz = mede(x, inicio + n / 2, n / 5);
            if (hz > 0) {
                erros.push_back(std::abs(hz - p.alvos[0].second) / p.alvos[0].second * 100);
                if (std::getenv("BRISA_DETALHE") && erros.back() > 5) std::printf("  fora: %s %d ms alvo %d medido %.1f\n", p.nome.c_str(), p.ms, p.alvos[0].second, hz);
                ++medidas;
            }
        }
        if (p.nome != "_") {
            size_t corrida = 0, maior = 0;
            for (size_t i = inicio; i < inicio + n && i < x.size(); ++i) {
                corrida = std::abs(x[i]) < 100 ? corrida + 1 : 0;
                maior = std::max(maior, corrida);
            }
            if (maior >= static_cast<size_t>(kTaxa / 4)) ++silenciosLongos;
        }
        inicio += n;
    }
    for (int16_t v : x) cortadas += (v == 32767 || v == -32768);
    std::sort(erros.begin(), erros.end());
    const double mediana = erros.empty() ? 0 : erros[erros.size() / 2];
    const double p95 = erros.empty() ? 0 : erros[erros.size() * 95 / 100];
    const auto dentro = std::count_if(erros.begin(), erros.end(), [](double e) { return e <= 5; });
    std::printf("pitch: %zu vogais medidas, erro mediano %.2f %%, 95%% abaixo de %.2f %%, %ld dentro de 5 %%\n",
                medidas, mediana, p95, static_cast<long>(dentro));
    std::printf("duracao: %zu amostras de %zu pedidas (diferenca %ld)\n", x.size(), esperado,
                static_cast<long>(x.size()) - static_cast<long>(esperado));
    std::printf("amostras cortadas: %zu; silencios de 250 ms fora das pausas: %zu\n", cortadas,
                silenciosLongos);
    close_MBR();
}

void finais(const fs::path& dir, const MotorBrisa& motor);

void velocidade(const fs::path& dir, const std::vector<std::string>& lista) {
    MotorBrisa motor;
    ArquivosBrisa a{(dir / "br4").string(), (dir / "portug.nrl").string(), (dir / "portug.exc").string(),
                    (dir / "portug.dfn").string(), (dir / "portug.pro").string(), (dir / "portug.abr").string()};
    if (!motor.abre(a)) {
        std::cerr << "o motor nao abriu: " << motor.ultimoErro() << "\n";
        return;
    }
    finais(dir, motor);
    auto texto = [&](size_t n) {
        std::string t;
        for (size_t i = 0; i < n; ++i) t += lista[i % lista.size()] + " ";
        return t;
    };
    std::vector<uint8_t> amostras;
    auto guarda = [&](std::span<const uint8_t> o) {
        amostras.insert(amostras.end(), o.begin() + 44, o.end());
        return true;
    };
    const auto t0 = Relogio::now();
    motor.fala(texto(2000), guarda);
    const double gasto = ms(Relogio::now() - t0);
    const double falado = amostras.size() / 2.0 / kTaxa * 1000;
    uint64_t soma = 1469598103934665603ULL;  // FNV-1a over the sample bytes
    for (uint8_t b : amostras) soma = (soma ^ b) * 1099511628211ULL;
    std::printf("texto de 2000 palavras: %.0f ms de fala em %.0f ms: %.0f x tempo real; %zu amostras, soma %016llx\n",
                falado, gasto, falado / gasto, amostras.size() / 2, static_cast<unsigned long long>(soma));
    if (const char* captura = std::getenv("BRISA_CAPTURA"))
        std::ofstream(captura, std::ios::binary)
            .write(reinterpret_cast<const char*>(amostras.data()), static_cast<std::streamsize>(amostras.size()));
    // The wall-clock wait, and the processor time of this thread within it: on a busy machine
    // a wait past the work is the scheduler's (another process's slice), not the engine's.
    auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    auto primeiraOnda = [&](const std::string& t, int rodadas, bancada::Medida& processador) {
        bancada::Medida m;
        for (int r = 0; r < rodadas; ++r) {
            const auto ini = Relogio::now();
            const double cpu0 = cpu();
            double primeiro = -1, gasto = -1;
            motor.fala(t, [&](std::span<const uint8_t>) {
                primeiro = ms(Relogio::now() - ini);
                gasto = cpu() - cpu0;
                return false;  // a key at the first wave: the rest is not made
            });
            m.acrescenta(primeiro);
            processador.acrescenta(gasto);
        }
        return m;
    };
    bancada::Medida semUso;
    const bancada::Medida frase = primeiraOnda("o gato comeu o peixe que estava na mesa da cozinha.", 20, semUso);
    std::printf("primeira onda de uma frase de 10 palavras: mediana %.2f ms, pior %.2f ms\n",
                frase.mediana(), frase.maximo());
    for (size_t n : {200, 2000, 10000}) {
        const std::string t = texto(n);
        bancada::Medida processador;
        const bancada::Medida m = primeiraOnda(t, 20, processador);
        std::cout << "primeira onda, " << n << " palavras (" << t.size() << " bytes): "
                  << bancada::veredito(m, 1) << "\n  processor time: " << bancada::veredito(processador, 1)
                  << "\n";
    }
}

// Sentences whose last words end on a vowel, a glide, s, r, l, m or a stressed vowel.
constexpr const char* kFrasesFinais[] = {
    "O menino comeu os doces.", "Você viu os gatos?", "Ela falou com o professor.",
    "Quem vai ao mar?", "Ele comprou um jornal.", "Você tem tempo?", "A casa é bonita.",
    "Vamos embora?", "Eles chegaram cedo.", "Está tudo bem?", "Hoje o dia está bonito.",
    "Você vem?", "Comprei um café.", "Quer falar?", "O livro está na mesa.",
    "Eles são felizes?", "Não sei o que fazer.", "Onde fica o hotel?", "Ela trabalha muito.",
    "Podemos começar?"};

struct ErrosFinais {
    std::vector<double> fim, pico;
};

void relataErros(const char* nome, std::vector<double> e) {
    std::sort(e.begin(), e.end());
    if (e.empty()) return;
    const auto dentro = std::count_if(e.begin(), e.end(), [](double v) { return v <= 5; });
    std::printf("  %s: %zu, erro mediano %.1f %%, pior %.1f %%, %ld dentro de 5 %%\n", nome, e.size(),
                e[e.size() / 2], e.back(), static_cast<long>(dentro));
}

void finais(const fs::path& dir, const MotorBrisa& motor) {
    std::string erro;
    auto banco = leBancoVoz(dir / "br4", erro);
    if (!banco) {
        std::cerr << "sem a voz: " << erro << "\n";
        return;
    }
    MotorDifones sintese(std::move(*banco));
    sintese.permiteDesconhecidos(true);
    sintese.guardaF0(true);
    ErrosFinais afirmacoes, perguntas;
    std::vector<int16_t> lixo(16000);
    for (const char* frase : kFrasesFinais) {
        struct Palavra {
            std::string nome;
            double inicio = 0, fim = 0, alvoFim = 0, tempoPico = -1, alvoPico = 0;
        };
        std::vector<Palavra> palavras;
        sintese.reinicia();
        int64_t t = 0;
        for (const std::string& l : motor.linhas(utf8ParaWin1252(frase))) {
            if (l[0] == ';') {
                palavras.push_back({l.substr(1), double(t), double(t)});
                continue;
            }
            const auto f = interpretaLinhaFonema(l, erro);
            if (!f || !sintese.escreve(l, erro)) continue;
            const int64_t n = std::llround(f->duracaoMs * kTaxa / 1000.0);
            if (!palavras.empty()) {
                Palavra& p = palavras.back();
                // The stressed vowel's target is at 80 %, or at 50 % before the end level
                // when the word ends within it.
                for (size_t a = 0; a < f->alvos.size(); ++a) {
                    const auto [pos, hz] = f->alvos[a];
                    p.alvoFim = hz;
                    if (pos == 80 || (a == 0 && f->alvos.size() == 2))
                        p.tempoPico = t + pos / 100 * n, p.alvoPico = hz;
                }
                p.fim = double(t + n);
            }
            t += n;
            while (sintese.le(lixo.data(), lixo.size()) > 0) {
            }
        }
        sintese.descarrega();
        const auto& trilha = sintese.trilhaF0();
        for (size_t k = 0; k + 1 < palavras.size(); ++k) {
            const std::string& proxima = palavras[k + 1].nome;
            if (proxima != "." && proxima != "?") continue;
            const Palavra& p = palavras[k];
            double ultimo = 0, pico = 0, distancia = 1e9;
            for (auto [quando, hz] : trilha) {
                if (quando >= p.inicio && quando < p.fim) ultimo = hz;
                if (p.tempoPico >= 0 && std::abs(quando - p.tempoPico) < distancia)
                    distancia = std::abs(quando - p.tempoPico), pico = hz;
            }
            ErrosFinais& e = proxima == "?" ? perguntas : afirmacoes;
            e.fim.push_back(std::abs(ultimo - p.alvoFim) / p.alvoFim * 100);
            if (p.alvoPico > 0) e.pico.push_back(std::abs(pico - p.alvoPico) / p.alvoPico * 100);
            if (std::getenv("BRISA_DETALHE"))
                std::printf("  %s%s pico %.0f->%.0f fim %.0f->%.0f\n", p.nome.c_str(), proxima.c_str(),
                            p.alvoPico, pico, p.alvoFim, ultimo);
        }
    }
    std::printf("fins de frase na trilha de F0 do sintetizador:\n");
    relataErros("afirmacoes, fim", afirmacoes.fim);
    relataErros("afirmacoes, pico", afirmacoes.pico);
    relataErros("perguntas, fim", perguntas.fim);
    relataErros("perguntas, pico", perguntas.pico);
}

// A statement and a question in the voice's phonemes (as the rules would give them) through
// the prosody of portug.pro: the pitch each vowel asks for and the one measured, and the
// result written as a wave to hear.
void entonacao(const fs::path& dir) {
    ProsodiaTts p;
    std::string mensagem;
    ListaDifones d;
    if (!carregaProsodia(dir / "portug.pro", p, mensagem) || !d.carrega(dir / "portug.dfn") ||
        init_MBR((dir / "br4").string().c_str()) < 0) {
        std::cerr << "sem a prosodia ou a voz\n";
        return;
    }
    const std::vector<std::string> fonemas{
        ";555|", "__", "", ";575|hoje", ">O", "\xA8Z", "y", "", ";?44|o", "u", "",
        ";?64|dia", "dZ", ">i", "\xA8@", "", ";572|bonito", "b", "o", "n", ">i", "\xA8t", "u", "",
        ";?33|.", "_.", "", ";555|", "__", "", ";575|voce", "v", "o", "s", ">e", "",
        ";459|vem", "v", ">en", "y", "", ";?77|?", "_?", "", ";555|", "__"};
    const auto linhas = linhasFonemas(fonemas, p, d, fatoresDaFala(0, 0));
    std::vector<int16_t> x, bloco(16000);
    reset_MBR();
    for (const std::string& l : linhas) {
        write_MBR(l.c_str());
        for (int n; (n = read_MBR(bloco.data(), 16000)) > 0;) x.insert(x.end(), bloco.begin(), bloco.begin() + n);
    }
    flush_MBR();
    for (int n; (n = read_MBR(bloco.data(), 16000)) > 0;) x.insert(x.end(), bloco.begin(), bloco.begin() + n);
    size_t inicio = 0;
    std::printf("entonacao (\"Hoje o dia bonito. Voce vem?\"):");
    for (const std::string& l : linhas) {
        if (l[0] == ';') continue;
        std::istringstream in(l);
        std::string f;
        int duracao = 0, pos = 0, hz = 0;
        in >> f >> duracao;
        const size_t n = static_cast<size_t>(duracao) * kTaxa / 1000;
        if (in >> pos >> hz && std::string("aeiouEO@").find(f[0]) != std::string::npos && n >= 640)
            std::printf(" %s:%d->%.0f", f.c_str(), hz, mede(x, inicio + n * pos / 100, 240));
        inicio += n;
    }
    std::printf(" Hz; %.2f s\n", x.size() / double(kTaxa));
    std::ofstream wav(fs::path(PLUMAR_RAIZ_KIT).parent_path() / "brisa_amostra.wav", std::ios::binary);
    auto poe = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) wav.put(static_cast<char>(v >> (8 * i)));
    };
    const auto dados = static_cast<uint32_t>(x.size() * 2);
    wav << "RIFF";
    poe(36 + dados, 4);
    wav << "WAVEfmt ";
    poe(16, 4), poe(1, 2), poe(1, 2), poe(kTaxa, 4), poe(kTaxa * 2, 4), poe(2, 2), poe(16, 2);
    wav << "data";
    poe(dados, 4);
    wav.write(reinterpret_cast<const char*>(x.data()), dados);
    close_MBR();
}

}  // namespace

int main() {
    const fs::path dir = fs::path(PLUMAR_RAIZ_KIT) / "brisatts";
    std::ifstream arquivo(PLUMAR_TEXTO_BENCH, std::ios::binary);
    // The text file is UTF-8; the engine reads Windows-1252, as the editor hands it over.
    const std::string base = utf8ParaWin1252(
        std::string{std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>()});
    std::istringstream palavras(base);
    std::vector<std::string> lista{std::istream_iterator<std::string>(palavras), {}};
    if (lista.empty()) {
        std::cerr << "sem texto\n";
        return 1;
    }
    precisao(dir / "br4");
    entonacao(dir);
    velocidade(dir, lista);
    return 0;
}
