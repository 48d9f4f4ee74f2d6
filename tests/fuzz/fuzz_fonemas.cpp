// Fuzz entry for the diphone synthesizer: the input's lines are phoneme-file lines written
// to a synthesizer on the tests' small voice (unknown phonemes allowed after a first pass
// that refuses them), and the whole input is also read as a voice database. No line may
// make more samples than the lengths it asks for allow.
#include "fuzz.h"
#include "../speech/tts/vozDeTeste.h"
#include "speech/tts/mbrola/bancoVoz.h"
#include "speech/tts/mbrola/motorDifones.h"

int fuzzFonemas(const uint8_t* dados, size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    std::string erro;
    interpretaBancoVoz({dados, tamanho}, erro);
    static const BancoVoz voz = vozDeTeste();
    for (bool permite : {false, true}) {
        MotorDifones m(voz);
        m.permiteDesconhecidos(permite);
        double pedidoMs = 0;
        std::vector<int16_t> saida(4096);
        size_t total = 0;
        for (std::string_view resto = texto; !resto.empty();) {
            const std::string_view linha = proximaParte(resto, '\n');
            if (auto l = interpretaLinhaFonema(linha, erro); l && l->tipo == LinhaFonema::Tipo::fonema)
                pedidoMs += l->duracaoMs;
            m.escreve(linha, erro);
            while (size_t n = m.le(saida.data(), saida.size())) total += n;
        }
        m.descarrega();
        while (size_t n = m.le(saida.data(), saida.size())) total += n;
        confirma(static_cast<double>(total) <= pedidoMs * 16 + 16 * 1000);
    }
    return 0;
}
