#include "speech/sintetizador.h"

#include <gtest/gtest.h>

#include "bancadaFala.h"
#include "platform/caminhos.h"

namespace {

namespace fs = std::filesystem;

// A complete voice in a temporary folder: rules, exceptions, bank and one letter.
class Sintese : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(config.dirLetras);
        fs::create_directories(config.dirDifones);
        gravaArquivoTeste(config.dirDifones / "regras.rgr",
                          "; regras de teste\n(P)=p|\n(A)=a|\n(S)%=s|\n#(S)#=z|\n(S)=s|\n");
        gravaArquivoTeste(config.dirDifones / "portug.exc", "pa=pA|\n\npe=pa|\n");
        bancada::escreveBanco(
            config.dirDifones, "TESTE",
            {{"$PA", 1000, 10}, {"$A", 300, 13}, {"$S", 400, 14}, {"$PAZA", 900, 17}});
        gravaArquivoTeste(config.dirLetras / "_99.wav",
                          ondaTeste(bancada::kMono8, std::vector<uint8_t>(80, 40)));
    }

    SaidaSom saida() {
        return {[this](std::span<const uint8_t> onda) {
                    OndaPcm pcm;
                    ASSERT_TRUE(leOndaPcm(onda, pcm));
                    amostras.insert(amostras.end(), pcm.dados.begin(), pcm.dados.end());
                },
                [] { return false; },
                {}};
    }

    PastaTemporaria dir{"sintese"};
    ConfiguracaoSintetizador config{dir.caminho() / "letras", dir.caminho() / "difones", "TESTE"};
    std::vector<uint8_t> amostras;
};

TEST_F(Sintese, OpensTranslatesAndSpeaks) {
    Sintetizador s(saida());
    s.mudaCortes({100, 0, 100});  // set before opening, still applies
    ASSERT_EQ(s.abre(config), kSintetizadorPronto);
    EXPECT_EQ(s.traduz("Pasa, pas"), "[p/A/z/a][ /_,][p/A/s]");  // pas: "pa" found, s back
    s.falaTexto("Pasa, pas");
    // One unit per word: pAza is one stressed name; the comma pause sits between two word
    // gaps, each sound fading into and out of it; pAs is split before its final s
    // (shortened to 0.7, still stressed), which crosses over what was cut.
    const bancada::Trecho sobe = bancada::subindo(), fim = bancada::esvaindo();
    EXPECT_TRUE(bancada::confere(amostras, {sobe, {17, 834}, fim, bancada::silencio(100 + 4000 + 100),
                                             sobe, {10, 667}, bancada::fundindo(), {14, 323}, fim}));
    amostras.clear();
    s.falaTexto("CC");  // spelled from the letter recordings
    EXPECT_TRUE(bancada::confere(amostras, {{40, 80}, bancada::silencio(100), {40, 80}}));
    s.fecha();
    amostras.clear();
    s.falaTexto("pasa");
    EXPECT_TRUE(amostras.empty());
    EXPECT_EQ(s.traduz("pa"), "[ /_P/ /_A]");  // no rules left: every letter is spelled
}

TEST_F(Sintese, MissingFilesGiveCode1AndUnreadableRulesCode2) {
    auto tenta = [&](auto muda) {
        ConfiguracaoSintetizador c = config;
        muda(c);
        return Sintetizador(saida()).abre(c);
    };
    EXPECT_EQ(tenta([&](auto& c) { c.dirLetras = dir.caminho() / "nada"; }), kSemArquivosDeVoz);
    EXPECT_EQ(tenta([&](auto& c) { c.dirDifones = dir.caminho() / "nada"; }), kSemArquivosDeVoz);
    EXPECT_EQ(tenta([](auto& c) { c.banco = ""; }), kSemArquivosDeVoz);
    EXPECT_EQ(tenta([](auto& c) { c.banco = "OUTRO"; }), kSemArquivosDeVoz);
    // Names are found in any case; a long bank name is cut to 8 characters.
    fs::rename(config.dirDifones / "TESTE.IND", config.dirDifones / "teste.ind");
    fs::rename(config.dirDifones / "regras.rgr", config.dirDifones / "REGRAS.RGR");
    bancada::escreveBanco(config.dirDifones, "TESTEXYZ", {});
    EXPECT_EQ(tenta([](auto&) {}), kSintetizadorPronto);
    EXPECT_EQ(tenta([](auto& c) { c.banco = "TESTEXYZ_LONGO"; }), kSintetizadorPronto);
    fs::remove(config.dirDifones / "TESTEXYZ.IND");  // the samples alone are no bank
    EXPECT_EQ(tenta([](auto& c) { c.banco = "TESTEXYZ"; }), kSemArquivosDeVoz);
    // A folder in the place of the rules is no rule file.
    fs::rename(config.dirDifones / "REGRAS.RGR", config.dirDifones / "regras.txt");
    fs::create_directory(config.dirDifones / "regras.rgr");
    EXPECT_EQ(tenta([](auto&) {}), kSemRegras);
    fs::remove(config.dirDifones / "portug.exc");
    EXPECT_EQ(tenta([](auto&) {}), kSemRegras);
    fs::remove(config.dirDifones / "teste.dif");
    fs::remove(config.dirDifones / "TESTE.DIF");
    EXPECT_EQ(tenta([](auto&) {}), kSemArquivosDeVoz);
}

TEST_F(Sintese, ReadsItsDirectoriesFromTheIniOrTheFamilyRoot) {
    fs::path ini = dir.caminho() / "SONARE.INI";
    gravaArquivoTeste(ini, "[TRADUTOR]\r\ndirLetras=" + config.dirLetras.string() +
                               "\r\nDIRDIFONES=" + config.dirDifones.string() + "\\\r\n");
    ConfiguracaoSintetizador lida = leConfiguracaoSintetizador(ini, "TESTE");
    EXPECT_EQ(lida.dirLetras, config.dirLetras / "");
    EXPECT_EQ(lida.dirDifones, config.dirDifones / "");
    EXPECT_EQ(Sintetizador(saida()).abre(lida), kSintetizadorPronto);
    lida = leConfiguracaoSintetizador(dir.caminho() / "nenhum.ini", "X");
    EXPECT_EQ(lida.dirLetras, raizFamilia() / "som" / "letras" / "");
    EXPECT_EQ(lida.dirDifones, raizFamilia() / "som" / "difones" / "");
}

}  // namespace
