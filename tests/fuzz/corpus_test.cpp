// The fuzz corpora also run inside the test binary, so that the sanitizer build checks
// them whatever the compiler.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "apoio.h"

// Each fuzz entry with its corpus folder and the fewest inputs the folder must hold.
#define CORPORA(X)                                                                                 \
    X(Fala, fala, 14) X(Onda, onda, 10) X(Dicionario, dicionario, 6) X(Arquivo, arquivo, 10)       \
    X(TeclasTerminal, teclas, 10) X(Numera, numera, 10) X(Caminhos, caminhos, 5)                   \
    X(Marcas, marcas, 10) X(RespostaSsip, resposta_ssip, 5) X(Sintetizador, sintetizador, 10)
#define DECLARA(nome, pasta, minimo) int fuzz##nome(const uint8_t* dados, size_t tamanho);
CORPORA(DECLARA)

namespace {

TEST(CorpusFuzz, EveryInputRunsThroughItsFuzzEntry) {
    struct Corpus {
        const char* pasta;
        int (*entrada)(const uint8_t*, size_t);
        int minimo;
    };
#define LINHA(nome, pasta, minimo) Corpus{"corpus_" #pasta, fuzz##nome, minimo},
    for (const Corpus& c : {CORPORA(LINHA)}) {
        int executados = 0;
        for (const auto& e : std::filesystem::directory_iterator(
                 std::filesystem::path(PLUMAR_DIR_TESTES "/fuzz") / c.pasta)) {
            const std::vector<uint8_t> entrada = leBytes(e.path());
            EXPECT_EQ(c.entrada(entrada.data(), entrada.size()), 0) << e.path();
            ++executados;
        }
        EXPECT_GE(executados, c.minimo) << c.pasta;
    }
}

}  // namespace
