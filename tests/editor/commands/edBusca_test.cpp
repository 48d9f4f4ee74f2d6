#include "editor/commands/edBusca.h"

#include <random>

#include "editor/sessao.h"

namespace {

class Busca : public SessaoEdicao {};

// Finding, finding again and giving up are in the busca_procura case; replacing in the
// text or the block, by nothing or past 255 characters, in busca_troca and busca_troca_exata.
TEST_F(Busca, CursorLineCountsWholeAndAFullLengthTextIsFound) {
    const std::string a255(255, 'a'), a254(254, 'a');
    const std::pair<std::string, Linhas> casos[] = {
        {"um{Enter}", {"x", "um dois", "um"}},  // from column 6: the line's own "um"
        {a255 + "{Enter}", {"x", "b" + a254, a255}},
    };
    for (const auto& [teclas, antes] : casos) {
        abre(teclas);
        texto(antes, 2, 6);
        procura(e());
        EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual),
                  std::pair(teclas == "um{Enter}" ? 2 : 3, 1));
    }
}

// The skipping search agrees with folding the whole line and finding the form in it.
TEST(BuscaDobrada, AgreesWithTheFoldedLine) {
    std::mt19937 sorte(7);
    const std::string letras = "aAbB \xE1\xC1\xE7\xC7\xD7x\x80";
    auto sorteia = [&](size_t n) {
        std::string s;
        for (size_t i = 0; i < n; ++i) s += letras[sorte() % letras.size()];
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string linha = sorteia(sorte() % 40), forma = formaBusca(sorteia(1 + sorte() % 4));
        const size_t esperado = formaBusca(linha).find(forma);
        EXPECT_EQ(BuscaDobrada(forma).procura(linha),
                  esperado == std::string::npos ? 0 : static_cast<int>(esperado) + 1)
            << linha << " / " << forma;
    }
}

}  // namespace
