#include "speech/bancoDifones.h"

#include <gtest/gtest.h>

#include "bancadaFala.h"

namespace {

using bancada::acrescentaRegistro;

std::string nomes(const std::vector<Difone>& indice) {
    std::string s;
    for (const Difone& d : indice) s += d.nome + "@" + std::to_string(d.deslocamento) + " ";
    return s;
}

TEST(IndiceDifones, KeepsOnlyRecordsInsideTheSampleFileSortedFirstTwinFirst) {
    std::vector<uint8_t> ind;
    acrescentaRegistro(ind, "$ZA", 10, 0);
    acrescentaRegistro(ind, "$B", 10, 95);           // runs past the end of 100 bytes
    acrescentaRegistro(ind, "$C", 1, 100);           // starts at the end
    acrescentaRegistro(ind, "$D", 5, 0xFFFFFFF0u);   // negative offset
    acrescentaRegistro(ind, "", 5, 0);               // no name
    acrescentaRegistro(ind, "$pa", 90, 10);          // ends exactly at the end: kept
    acrescentaRegistro(ind, "$PA", 1, 3);            // a twin once upper-cased: the first wins
    acrescentaRegistro(ind, "$ABCDEFG", 1, 4, 200);  // a length byte over 8
    ind.insert(ind.end(), {2, '$', 'F', 0, 0});      // size not a multiple of 15
    auto indice = interpretaIndice(ind, 100);
    EXPECT_EQ(nomes(indice), "$ABCDEFG@4 $PA@10 $ZA@0 ");
    ASSERT_EQ(indice.size(), 3u);
    EXPECT_EQ(indice[1].amostras, 90);
}

TEST(BancoDifones, ReadsSamplesBySeekingAndNeverPastARun) {
    PastaTemporaria dir("banco");
    bancada::escreveBanco(dir.caminho(), "VOZ", {{"$PA", 4, 10}, {"$A", 3, 20}, {"$E", 8, 30}});
    std::filesystem::resize_file(dir.caminho() / "VOZ.DIF", 10);  // $E is cut off
    auto banco = BancoDifones::abre(dir.caminho() / "VOZ.IND", dir.caminho() / "VOZ.DIF");
    ASSERT_TRUE(banco);
    EXPECT_EQ(banco->tamanho(), 2u);
    EXPECT_EQ(banco->procura("$pa"), nullptr);  // the caller upper-cases
    const Difone* a = banco->procura("$A");
    ASSERT_NE(a, nullptr);
    std::vector<uint8_t> destino(5, 0);
    EXPECT_EQ(banco->le(*a, 0, destino), 3u);
    EXPECT_EQ(destino, (std::vector<uint8_t>{20, 20, 20, 0, 0}));
    EXPECT_EQ(banco->le(*a, 2, destino), 1u);
    EXPECT_EQ(banco->le(*a, 3, destino), 0u);
}

}  // namespace
