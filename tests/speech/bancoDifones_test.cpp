#include "speech/bancoDifones.h"

#include <gtest/gtest.h>

#include "fixturasVoz.h"

namespace {

using fixturas::acrescentaRegistro;

TEST(IndiceDifones, ReadsRecordsAndFindsThemByName) {
    std::vector<uint8_t> ind;
    acrescentaRegistro(ind, "$A", 3, 0);
    acrescentaRegistro(ind, "$PA", 500, 3);
    acrescentaRegistro(ind, "$ZZZZZZZ", 2, 503);
    auto indice = interpretaIndice(ind, 505);
    ASSERT_EQ(indice.size(), 3u);
    EXPECT_EQ(indice[1].nome, "$PA");
    EXPECT_EQ(indice[1].amostras, 500);
    EXPECT_EQ(indice[1].deslocamento, 3u);
    EXPECT_EQ(indice[2].nome, "$ZZZZZZZ");
}

TEST(IndiceDifones, SkipsRecordsOutsideTheSampleFileAndAPartialTail) {
    std::vector<uint8_t> ind;
    acrescentaRegistro(ind, "$A", 10, 0);
    acrescentaRegistro(ind, "$B", 10, 95);          // runs past the end of 100 bytes
    acrescentaRegistro(ind, "$C", 1, 100);          // starts at the end
    acrescentaRegistro(ind, "$D", 5, 0xFFFFFFF0u);  // negative offset
    acrescentaRegistro(ind, "", 5, 0);              // no name
    acrescentaRegistro(ind, "$E", 90, 10);          // ends exactly at the end: kept
    ind.insert(ind.end(), {2, '$', 'F', 0, 0});     // size not a multiple of 15
    auto indice = interpretaIndice(ind, 100);
    ASSERT_EQ(indice.size(), 2u);
    EXPECT_EQ(indice[0].nome, "$A");
    EXPECT_EQ(indice[1].nome, "$E");
}

TEST(IndiceDifones, SortsAnUnsortedIndexKeepsFirstTwinAndCutsLongNames) {
    std::vector<uint8_t> ind;
    acrescentaRegistro(ind, "$ZA", 1, 0);
    acrescentaRegistro(ind, "$pa", 1, 1);
    acrescentaRegistro(ind, "$BA", 1, 2);
    acrescentaRegistro(ind, "$PA", 1, 3);
    acrescentaRegistro(ind, "$ABCDEFG", 1, 4, 200);  // a length byte over 8
    auto indice = interpretaIndice(ind, 10);
    ASSERT_EQ(indice.size(), 4u);
    EXPECT_EQ(indice[0].nome, "$ABCDEFG");
    EXPECT_EQ(indice[1].nome, "$BA");
    EXPECT_EQ(indice[2].nome, "$PA");
    EXPECT_EQ(indice[2].deslocamento, 1u);  // the first of the two spellings of $PA
    EXPECT_EQ(indice[3].nome, "$ZA");
}

TEST(BancoDifones, ReadsSamplesBySeekingAndNeverPastARun) {
    fixturas::DiretorioTemporario dir("banco");
    fixturas::escreveBanco(dir.caminho(), "VOZ", {{"$PA", 4, 10}, {"$A", 3, 20}, {"$E", 2, 30}});
    auto banco = BancoDifones::abre(dir.caminho() / "VOZ.IND", dir.caminho() / "VOZ.DIF");
    ASSERT_TRUE(banco);
    EXPECT_EQ(banco->tamanho(), 3u);
    EXPECT_EQ(banco->procura("$P"), nullptr);
    EXPECT_EQ(banco->procura("$pa"), nullptr);  // the caller upper-cases
    const Difone* a = banco->procura("$A");
    ASSERT_NE(a, nullptr);
    std::vector<uint8_t> destino(10, 0);
    EXPECT_EQ(banco->le(*a, 0, destino), 3u);
    EXPECT_EQ(destino, (std::vector<uint8_t>{20, 20, 20, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(banco->le(*a, 2, destino), 1u);
    EXPECT_EQ(banco->le(*a, 3, destino), 0u);
}

TEST(BancoDifones, SkipsRecordsOfASampleFileShorterThanTheIndexClaims) {
    fixturas::DiretorioTemporario dir("curto");
    fixturas::escreveBanco(dir.caminho(), "VOZ", {{"$A", 10, 20}, {"$B", 10, 30}});
    std::filesystem::resize_file(dir.caminho() / "VOZ.DIF", 15);
    auto banco = BancoDifones::abre(dir.caminho() / "VOZ.IND", dir.caminho() / "VOZ.DIF");
    ASSERT_TRUE(banco);
    EXPECT_NE(banco->procura("$A"), nullptr);
    EXPECT_EQ(banco->procura("$B"), nullptr);
}

TEST(BancoDifones, FailsWithoutEitherFile) {
    fixturas::DiretorioTemporario dir("falta");
    fixturas::escreveBanco(dir.caminho(), "VOZ", {{"$A", 1, 1}});
    EXPECT_FALSE(BancoDifones::abre(dir.caminho() / "OUTRA.IND", dir.caminho() / "VOZ.DIF"));
    EXPECT_FALSE(BancoDifones::abre(dir.caminho() / "VOZ.IND", dir.caminho() / "OUTRA.DIF"));
    EXPECT_FALSE(BancoDifones::abre(dir.caminho() / "VOZ.IND", dir.caminho()));
    fixturas::escreve(dir.caminho() / "VAZIO.IND", "");
    auto vazio = BancoDifones::abre(dir.caminho() / "VAZIO.IND", dir.caminho() / "VOZ.DIF");
    ASSERT_TRUE(vazio);
    EXPECT_EQ(vazio->tamanho(), 0u);
}

}  // namespace
