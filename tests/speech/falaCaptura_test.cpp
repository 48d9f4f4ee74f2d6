// The built-in voice as --audio-out records it: the speech front end at speed level 3,
// through the wave player into the capture device on the console's virtual clock. Every
// sample of the speech reaches the file in order: no digital silence is dropped into it,
// where a phrase ends on sound or where the synthesizer's buffer is played on mid-phrase.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "analiseSom.h"
#include "apoio.h"
#include "bancadaFala.h"

namespace {

namespace fs = std::filesystem;

// One rule a letter, and a bank of every one- and two-letter name, each a 200 Hz tone at
// full swing from its first sample to its last: every join and every phrase end is on sound.
void escreveVozDeTons(const fs::path& dir) {
    std::string regras;
    std::vector<std::string> nomes;
    for (char a = 'A'; a <= 'Z'; ++a) {
        regras += std::string("(") + a + ")=" + static_cast<char>(a + 32) + "|\n";
        nomes.push_back(std::string("$") + a);
        for (char b = 'A'; b <= 'Z'; ++b) nomes.push_back(std::string("$") + a + b);
    }
    std::sort(nomes.begin(), nomes.end());
    std::vector<uint8_t> tom(600);
    for (size_t i = 0; i < tom.size(); ++i)
        tom[i] = static_cast<uint8_t>(
            128 + std::lround(60 * std::cos(2 * std::numbers::pi * 200 * double(i) / 11025)));
    std::vector<uint8_t> ind, dif;
    for (const std::string& n : nomes) {
        bancada::acrescentaRegistro(ind, n, static_cast<uint16_t>(tom.size()),
                                     static_cast<uint32_t>(dif.size()));
        dif.insert(dif.end(), tom.begin(), tom.end());
    }
    fs::create_directories(dir / "letras");
    gravaArquivoTeste(dir / "regras.rgr", regras);
    gravaArquivoTeste(dir / "portug.exc", "");
    gravaArquivoTeste(dir / "BANCO.IND", ind);
    gravaArquivoTeste(dir / "BANCO.DIF", dif);
}

// The measure itself: silence cut into a tone is a hole; a pause the tone fades into and
// out of is not, nor a pause too long to be inside speech.
TEST(FalaCapturada, AHoleIsSilenceCutIntoSoundNotAPauseFadedInto) {
    auto tom = [](size_t n, double escala) {
        std::vector<int16_t> t(n);
        for (size_t i = 0; i < n; ++i)
            t[i] = static_cast<int16_t>(8000 * escala * std::sin(0.07 * double(i) + 1));
        return t;
    };
    auto junta = [](std::initializer_list<std::vector<int16_t>> partes) {
        std::vector<int16_t> s;
        for (const auto& p : partes) s.insert(s.end(), p.begin(), p.end());
        return s;
    };
    std::vector<int16_t> esvai = tom(441, 1), sobe = tom(441, 1);
    for (size_t i = 0; i < 441; ++i) {
        esvai[i] = static_cast<int16_t>(esvai[i] * double(440 - i) / 440);
        sobe[i] = static_cast<int16_t>(sobe[i] * double(i) / 440);
    }
    const std::vector<int16_t> cortado = junta({tom(4410, 1), std::vector<int16_t>(220), tom(4410, 1)});
    ASSERT_EQ(analise::buracos(cortado, 44100).size(), 1u);
    EXPECT_EQ(analise::buracos(cortado, 44100)[0].tamanho(), 220u);
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), esvai, std::vector<int16_t>(220), sobe}), 44100).empty());
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), std::vector<int16_t>(4410), tom(4410, 1)}), 44100).empty());
    EXPECT_TRUE(analise::buracos(junta({tom(4410, 1), std::vector<int16_t>(20), tom(4410, 1)}), 44100).empty());
}

TEST(FalaCapturada, ASentenceAtSpeedThreeHasNoDigitalSilenceInsideItsSound) {
    PastaTemporaria pasta;
    Variavel windir{"SONARE_WINDIR", pasta.caminho().string()};
    escreveVozDeTons(pasta / "voz");
    gravaArquivoTeste(pasta / "SONARE.INI",
                      "[TRADUTOR]\nDIRLETRAS=" + (pasta / "voz" / "letras").string() +
                          "\nDIRDIFONES=" + (pasta / "voz").string() +
                          "\n[SINTETIZADOR]\nDIFONES3=BANCO\nCORTEFON3=200\nSOBRAFON3=0\n"
                          "INTERPAL3=300\nPAUSAVIRG3=150\n");
    // Phrases that end on sound before a comma, and one longer than the synthesizer's buffer.
    std::string longa;
    for (int i = 0; i < 60; ++i) longa += "o gato comeu o peixe da mesa ";
    const std::string textos[] = {"a raposa rapida, que morava no mato, pulou o muro da casa.", longa};
    const std::vector<int16_t> s = analise::leituraCapturada(
        pasta / "fala.wav", pasta / "SONARE.INI", 3, (pasta / "voz").string(), textos);
    const int taxa = AudioCaptura::kFormatoArquivo.taxa;
    ASSERT_GT(s.size(), static_cast<size_t>(10 * taxa));  // the long phrase alone lasts longer
    for (const analise::Trecho& b : analise::buracos(s, taxa))
        ADD_FAILURE() << "digital silence of " << 1000.0 * double(b.tamanho()) / taxa
                      << " ms inside the sound at " << double(b.inicio) / taxa << " s";
}

}  // namespace
