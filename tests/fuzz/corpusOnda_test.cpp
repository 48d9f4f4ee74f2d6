// The wave parsers' fuzz corpus also runs inside the test binary, so that the sanitizer
// build checks it whatever the compiler.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int fuzzOnda(const uint8_t* dados, size_t tamanho);

namespace {

TEST(CorpusOnda, EveryInputRunsThroughTheFuzzEntry) {
    int executados = 0;
    for (const auto& e :
         std::filesystem::directory_iterator(PLUMAR_DIR_TESTES "/fuzz/corpus_onda")) {
        std::ifstream f(e.path(), std::ios::binary);
        std::vector<uint8_t> entrada{std::istreambuf_iterator<char>(f), {}};
        EXPECT_EQ(fuzzOnda(entrada.data(), entrada.size()), 0) << e.path();
        ++executados;
    }
    EXPECT_GE(executados, 10);
}

}  // namespace
