// Fuzz entry for the diphone synthesizer: the input's lines are phoneme-file lines written
// to a synthesizer on a small voice made here (unknown phonemes allowed after a first pass
// that refuses them), and the whole input is also read as a voice database. No line may
// make more samples than the lengths it asks for allow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "speech/tts/mbrola/bancoVoz.h"
#include "speech/tts/mbrola/motorDifones.h"

namespace {

BancoVoz vozPequena() {
    BancoVoz b;
    b.hertzBase = 100;
    for (const char* x : {"a", "s", "_"})
        for (const char* y : {"a", "s", "_"}) {
            DifoneVoz d{x, y, std::vector<int16_t>(640), 320, {}};
            for (size_t i = 0; i < d.amostras.size(); ++i)
                d.amostras[i] = static_cast<int16_t>((i % 160) < 20 ? 6000 : -300);
            for (uint32_t m = 0; m < 640; m += 160) d.marcas.push_back({m, x[0] == 'a'});
            b.difones.push_back(std::move(d));
        }
    b.ordena();
    return b;
}

}  // namespace

int fuzzFonemas(const uint8_t* dados, size_t tamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(dados), tamanho);
    std::string erro;
    interpretaBancoVoz({dados, tamanho}, erro);
    static const BancoVoz voz = vozPequena();
    for (bool permite : {false, true}) {
        MotorDifones m(voz);
        m.permiteDesconhecidos(permite);
        double pedidoMs = 0;
        size_t i = 0;
        std::vector<int16_t> saida(4096);
        size_t total = 0;
        while (i < texto.size()) {
            size_t f = texto.find('\n', i);
            if (f == std::string_view::npos) f = texto.size();
            const std::string_view linha = texto.substr(i, f - i);
            if (auto l = interpretaLinhaFonema(linha, erro); l && l->tipo == LinhaFonema::Tipo::fonema)
                pedidoMs += l->duracaoMs;
            m.escreve(linha, erro);
            while (size_t n = m.le(saida.data(), saida.size())) total += n;
            i = f + 1;
        }
        m.descarrega();
        while (size_t n = m.le(saida.data(), saida.size())) total += n;
        if (static_cast<double>(total) > pedidoMs * 16 + 16 * 1000) __builtin_trap();
    }
    return 0;
}
