// Speed of the built-in synthesizer: translating and concatenating a 2000-word Portuguese
// text, against copying the same number of samples, and the delay before the first sample
// of a 10-word sentence reaches the sound output.
//
// The voice is made here: a hand-written rule set and a synthetic diphone bank (every one-
// and two-letter name, the marked vowels), so no voice data is needed. The sound goes to the
// null audio device.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bancadaTempoReal.h"
#include "platform/audio.h"
#include "platform/codigos.h"
#include "speech/sintetizador.h"

namespace {

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;

constexpr int kPalavras = 2000;
constexpr int kRepeticoes = 5;

constexpr const char* kRegras = R"(; Portuguese letter rules used by the benchmark
(A~O)=a~w|
(A~E)=a~y|
(A~)=a~|
(A')=a|
(A^)=a^|
(A`)=a|
(AM)%=a~w|
(AN)*=a~|
(A)=a|
(B)=b|
(CH)=x|
(C)+=s|
(C)=k|
(D)=d|
(E')=e|
(E^)=e^|
(EM)%=e~y|
(EN)*=e~|
(E)\%=i|
(E)=e|
(F)=f|
(GU)+=g|
(G)+=j|
(G)=g|
(H)=|
(I')=i|
(IM)%=i~|
(IN)*=i~|
(I)=i|
(J)=j|
(K)=k|
(LH)=lh|
(L)[=w|
(L)=l|
(M)=m|
(NH)=nh|
(N)=n|
(O~E)=o~y|
(O')=o|
(O^)=o^|
(OM)%=o~|
(ON)*=o~|
(O)\%=u|
(O)=o|
(P)=p|
(QU)+=k|
(QU)=kw|
(RR)=rr|
%(R)=rr|
|(R)=rr|
(R)=r|
(SS)=s|
#(S)#=z|
(S)=s|
(T)=t|
(U')=u|
(UM)%=u~|
(UN)*=u~|
(U)=u|
(V)=v|
(W)=u|
(X)=x|
(Y)=i|
(Z)%=s|
(Z)=z|
)";

constexpr const char* kExcecoes = "muito=mu~ytu|\nbem=be~y|\ntambem=ta~be~y|\n";

// Every one- and two-letter name, plus CIRC and TIL forms of the vowels and of consonant +
// vowel, each a run of 600 to 1400 samples of a simple wave.
void escreveBanco(const fs::path& dir) {
    std::vector<std::string> nomes{"$NN"};
    const std::string letras = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string vogais = "AEIOU";
    for (char a : letras) {
        nomes.push_back(std::string("$") + a);
        for (char b : letras) nomes.push_back(std::string("$") + a + b);
        for (char v : vogais) {
            if (vogais.find(a) == std::string::npos) {
                nomes.push_back(std::string("$") + a + v + "CIRC");
                nomes.push_back(std::string("$") + a + v + "TIL");
            }
        }
    }
    for (char v : vogais) {
        nomes.push_back(std::string("$") + v + "CIRC");
        nomes.push_back(std::string("$") + v + "TIL");
    }
    std::sort(nomes.begin(), nomes.end());
    std::mt19937 gerador(7);
    std::vector<uint8_t> ind, dif;
    for (const std::string& nome : nomes) {
        auto amostras = static_cast<uint16_t>(600 + gerador() % 800);
        auto deslocamento = static_cast<uint32_t>(dif.size());
        ind.push_back(static_cast<uint8_t>(nome.size()));
        for (size_t i = 0; i < 8; ++i)
            ind.push_back(i < nome.size() ? static_cast<uint8_t>(nome[i]) : 0);
        ind.push_back(static_cast<uint8_t>(amostras));
        ind.push_back(static_cast<uint8_t>(amostras >> 8));
        for (int i = 0; i < 4; ++i) ind.push_back(static_cast<uint8_t>(deslocamento >> (8 * i)));
        for (int i = 0; i < amostras; ++i)
            dif.push_back(static_cast<uint8_t>(128 + 60 * ((i / 40) % 2 ? 1 : -1)));
    }
    std::ofstream(dir / "BENCH.IND", std::ios::binary)
        .write(reinterpret_cast<const char*>(ind.data()), static_cast<std::streamsize>(ind.size()));
    std::ofstream(dir / "BENCH.DIF", std::ios::binary)
        .write(reinterpret_cast<const char*>(dif.data()), static_cast<std::streamsize>(dif.size()));
}

// The first `n` words of the text, going round it as often as needed.
std::string palavras(const std::string& texto, int n, int inicio = 0) {
    std::istringstream in(texto);
    std::vector<std::string> todas{std::istream_iterator<std::string>(in), {}};
    std::string saida;
    for (int i = 0; i < n; ++i) {
        if (i) saida += ' ';
        saida += todas[(inicio + i) % todas.size()];
    }
    return saida;
}

double ms(Relogio::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main() {
    fs::path dir = fs::temp_directory_path() / "plumar_bench_sintetizador";
    fs::remove_all(dir);
    fs::create_directories(dir / "letras");
    std::ofstream(dir / "regras.rgr") << kRegras;
    std::ofstream(dir / "portug.exc") << kExcecoes;
    escreveBanco(dir);

    std::ifstream arquivoTexto(PLUMAR_TEXTO_BENCH, std::ios::binary);
    // The text file is UTF-8; the synthesizer takes Windows-1252.
    std::string texto = utf8ParaWin1252(std::string{std::istreambuf_iterator<char>(arquivoTexto), {}});
    if (texto.empty()) {
        std::cerr << "cannot read " << PLUMAR_TEXTO_BENCH << "\n";
        return 1;
    }
    std::string longo = palavras(texto, kPalavras);

    auto nulo = criaAudioNulo();
    nulo->abre({1, 11025, 8});
    size_t amostras = 0;
    Relogio::time_point primeira{};
    SaidaSom saida{[&](std::span<const uint8_t> onda) {
                       if (primeira == Relogio::time_point{}) primeira = Relogio::now();
                       nulo->escreve(onda.subspan(Concatenador::kCabecalho));
                       amostras += onda.size() - Concatenador::kCabecalho;
                   },
                   [] { return false; },
                   {}};
    Sintetizador sintetizador(saida);
    sintetizador.mudaCortes({400, 0, 100});
    int codigo = sintetizador.abre({dir / "letras", dir, "BENCH"});
    if (codigo != kSintetizadorPronto) {
        std::cerr << "synthesizer did not open: " << codigo << "\n";
        return 1;
    }

    double melhorSintese = 1e30;
    for (int r = 0; r < kRepeticoes; ++r) {
        amostras = 0;
        auto t0 = Relogio::now();
        sintetizador.falaTexto(longo);
        melhorSintese = std::min(melhorSintese, ms(Relogio::now() - t0));
    }

    // Baseline: the same number of samples copied through a buffer of the same size.
    std::vector<uint8_t> origem(amostras, 128), destino(Concatenador::kTamanhoBuffer);
    double melhorCopia = 1e30;
    for (int r = 0; r < kRepeticoes; ++r) {
        auto t0 = Relogio::now();
        for (size_t p = 0; p < origem.size(); p += destino.size() - Concatenador::kCabecalho) {
            size_t n = std::min(origem.size() - p, destino.size() - Concatenador::kCabecalho);
            std::memcpy(destino.data() + Concatenador::kCabecalho, origem.data() + p, n);
            nulo->escreve(std::span(destino).subspan(Concatenador::kCabecalho, n));
        }
        melhorCopia = std::min(melhorCopia, ms(Relogio::now() - t0));
    }

    bancada::Medida atrasos;
    for (int r = 0; r < 200; ++r) {
        std::string frase = palavras(texto, 10, r * 10);
        primeira = {};
        auto t0 = Relogio::now();
        sintetizador.falaTexto(frase);
        atrasos.acrescenta(ms(primeira - t0));
    }

    double segundosFala = static_cast<double>(amostras) / Concatenador::kTaxa;
    std::cout << "text: " << kPalavras << " words, " << amostras << " samples (" << segundosFala
              << " s of speech)\n"
              << "translate + synthesize: " << melhorSintese << " ms, "
              << segundosFala * 1000 / melhorSintese << " times real time (target > 200)\n"
              << "copying the same samples: " << melhorCopia << " ms, synthesis costs "
              << melhorSintese / melhorCopia << " times the copy\n"
              << "first sample of a 10-word sentence: " << bancada::veredito(atrasos, 1) << "\n";
    fs::remove_all(dir);
    return 0;
}
