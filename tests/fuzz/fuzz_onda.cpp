// Fuzz entry for the wave parsers: the player's chunk walk (over a stream, as a file is
// read, and over memory), the second voice's leOndaPcm, and the capture device fed with
// what they find. The whole input is one would-be RIFF WAVE.
#include <algorithm>
#include <span>
#include <sstream>

#include "fuzz.h"
#include "platform/audio.h"
#include "speech/leituraOnda.h"

namespace {

// The file and memory walks must find the same thing, inside the input: what they find.
std::optional<DadosOnda> confereLeitorDoTocador(std::span<const uint8_t> onda) {
    const std::optional<DadosOnda> memoria = procuraDadosOnda(onda);
    std::istringstream fluxo(std::string(onda.begin(), onda.end()));
    const std::optional<DadosOnda> arquivo = procuraDadosOnda(fluxo);
    confirma(memoria.has_value() == arquivo.has_value());
    if (!memoria) return memoria;
    confirma(memoria->formato == arquivo->formato && memoria->tamanho == arquivo->tamanho &&
             memoria->inicio == arquivo->inicio);
    confirma(formatoOndaValido(memoria->formato) && memoria->inicio <= onda.size());
    const std::span<const uint8_t> amostras = amostrasOnda(onda, *memoria);
    confirma(amostras.size() <= memoria->tamanho);
    confirma(amostras.empty() || amostras.data() >= onda.data());
    confirma(amostras.empty() || amostras.data() + amostras.size() <= onda.data() + onda.size());
    return memoria;
}

// The capture of a sound and of its samples streamed in uneven blocks: the in-memory record
// holds the bytes given, and the file stays a whole WAV of the sound's length.
void confereCaptura(const std::vector<uint8_t>& wave, const OndaPcm& onda) {
    const std::filesystem::path arquivo = temporarioDoFuzz("onda");
    uint64_t esperadas = 0;
    {
        OpcoesCaptura opcoes;
        opcoes.arquivo = arquivo.string();
        AudioCaptura captura(opcoes);
        if (!captura.gravando()) return;
        captura.tocaSom(wave, false);
        const bool aceito = captura.abre(onda.formato);
        confirma(aceito == formatoSuportado(onda.formato));
        if (!aceito) return;
        const size_t quadro = static_cast<size_t>(onda.formato.bytesPorAmostra());
        const std::span<const uint8_t> dados(onda.dados);
        size_t n = 1;
        for (size_t de = 0; de < dados.size(); de += n, n = n * 5 % 4093 + 1)
            captura.escreve(dados.subspan(de, std::min(n, dados.size() - de)));
        captura.fecha();
        // The sound's whole frames, then every byte streamed, in order.
        const auto& blocos = captura.blocos();
        const size_t inteiros = dados.size() - dados.size() % quadro;
        size_t i = 0;
        if (inteiros > 0) {
            confirma(!blocos.empty() && blocos[0].voz == BlocoCapturado::Voz::Som &&
                     std::ranges::equal(blocos[0].bytes, dados.first(inteiros)));
            i = 1;
        }
        std::vector<uint8_t> fluxo;
        for (; i < blocos.size(); ++i) {
            confirma(blocos[i].voz == BlocoCapturado::Voz::Fluxo &&
                     blocos[i].formato == onda.formato);
            fluxo.insert(fluxo.end(), blocos[i].bytes.begin(), blocos[i].bytes.end());
        }
        confirma(std::ranges::equal(fluxo, dados));
        // Each voice lasts as long in the file as it would have played.
        const uint64_t taxa = static_cast<uint64_t>(onda.formato.taxa);
        const uint64_t quadros = onda.dados.size() / quadro;
        esperadas = 2 * ((quadros * 44100 + taxa - 1) / taxa);  // samples, both voices
    }
    const std::vector<uint8_t> conteudo = leBytes(arquivo);
    std::filesystem::remove(arquivo);
    OndaPcm gravada;
    confirma(leOndaPcm(conteudo, gravada) && gravada.formato == AudioCaptura::kFormatoArquivo);
    confirma(gravada.dados.size() + 44 == conteudo.size());
    confirma(gravada.dados.size() == 2 * esperadas);
}

}  // namespace

int fuzzOnda(const uint8_t* dados, size_t tamanho) {
    const std::span<const uint8_t> onda(dados, tamanho);
    const std::optional<DadosOnda> achado = confereLeitorDoTocador(onda);

    OndaPcm pcm;
    if (!leOndaPcm(onda, pcm)) return 0;
    const FormatoAudio& f = pcm.formato;
    confirma(f.canais >= 1 && f.taxa > 0 && (f.bits == 8 || f.bits == 16));
    confirma(pcm.dados.size() <= tamanho);
    // Where both take the wave, they agree on its format and samples.
    if (achado)
        confirma(achado->formato == f && std::ranges::equal(amostrasOnda(onda, *achado), pcm.dados));
    // Longer sounds only slow the fuzzer down.
    if (pcm.dados.size() <= 8 * 1024) confereCaptura({onda.begin(), onda.end()}, pcm);
    return 0;
}
