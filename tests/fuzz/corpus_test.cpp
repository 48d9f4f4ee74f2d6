// The fuzz corpora also run inside the test binary, so that the sanitizer build checks
// them whatever the compiler.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "apoio.h"

int fuzzTradutor(const uint8_t* dados, size_t tamanho);
int fuzzBrisa(const uint8_t* dados, size_t tamanho);
int fuzzOnda(const uint8_t* dados, size_t tamanho);
int fuzzDicionario(const uint8_t* dados, size_t tamanho);
int fuzzTransf(const uint8_t* dados, size_t tamanho);
int fuzzIni(const uint8_t* dados, size_t tamanho);
int fuzzArquivo(const uint8_t* dados, size_t tamanho);
int fuzzRoteiro(const uint8_t* dados, size_t tamanho);
int fuzzTeclasTerminal(const uint8_t* dados, size_t tamanho);
int fuzzAvaliador(const uint8_t* dados, size_t tamanho);
int fuzzNumera(const uint8_t* dados, size_t tamanho);
int fuzzFonemas(const uint8_t* dados, size_t tamanho);
int fuzzCaminhos(const uint8_t* dados, size_t tamanho);
int fuzzMarcas(const uint8_t* dados, size_t tamanho);
int fuzzRespostaSsip(const uint8_t* dados, size_t tamanho);
int fuzzSintetizador(const uint8_t* dados, size_t tamanho);
int fuzzRtf(const uint8_t* dados, size_t tamanho);

namespace {

TEST(CorpusFuzz, EveryInputRunsThroughItsFuzzEntry) {
    struct Corpus {
        const char* pasta;
        int (*entrada)(const uint8_t*, size_t);
        int minimo;
    };
    for (const Corpus& c : {Corpus{"corpus_tradutor", fuzzTradutor, 5},
                            Corpus{"corpus_brisa", fuzzBrisa, 4},
                            Corpus{"corpus_onda", fuzzOnda, 10},
                            Corpus{"corpus_dicionario", fuzzDicionario, 6},
                            Corpus{"corpus_transf", fuzzTransf, 5},
                            Corpus{"corpus_ini", fuzzIni, 5},
                            Corpus{"corpus_arquivo", fuzzArquivo, 5},
                            Corpus{"corpus_roteiro", fuzzRoteiro, 5},
                            Corpus{"corpus_teclas", fuzzTeclasTerminal, 5},
                            Corpus{"corpus_avaliador", fuzzAvaliador, 5},
                            Corpus{"corpus_numera", fuzzNumera, 5},
                            Corpus{"corpus_fonemas", fuzzFonemas, 5},
                            Corpus{"corpus_caminhos", fuzzCaminhos, 5},
                            Corpus{"corpus_marcas", fuzzMarcas, 5},
                            Corpus{"corpus_resposta_ssip", fuzzRespostaSsip, 5},
                            Corpus{"corpus_sintetizador", fuzzSintetizador, 5},
                            Corpus{"corpus_rtf", fuzzRtf, 5}}) {
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
