// Fuzz entry for the speech engines' stages that read rules, text or phoneme lines: the
// input's first byte picks the stage (its value modulo 3; the corpus writes '0', '1' or '2')
// and the rest is that stage's input.
#include <sstream>

#include "fuzz.h"
#include "../speech/tts/vozDeTeste.h"
#include "platform/texto.h"
#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "speech/tts/mbrola/bancoVoz.h"
#include "speech/tts/mbrola/motorDifones.h"
#include "speech/tts/uttsBrisa.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"

namespace {

// The built-in synthesizer's rule and exception loaders and its translator, on a rule file,
// an exception file and a text separated by NUL bytes; the whole is also a diphone index.
void confereTradutor(std::string_view resto, std::span<const uint8_t> bytes) {
    std::istringstream textoRegras{std::string(proximaParte(resto))};
    std::istringstream textoExcecoes{std::string(proximaParte(resto))};
    const std::string_view texto = proximaParte(resto);
    const std::string fonetica =
        traduz(texto, interpretaRegras(textoRegras), interpretaExcecoes(textoExcecoes));
    // Every word gives at least its brackets, so a text with a non-blank yields output.
    confirma(dobraCaracteres(texto).find_first_not_of(' ') == std::string::npos || fonetica.size() >= 2);
    interpretaIndice(bytes, bytes.size() / 2);
}

// The text-to-speech engine's loaders, normaliser and converter, on a rule file, an exception
// file, an abbreviation file and a text separated by NUL bytes.
void confereBrisa(std::string_view resto, std::span<const uint8_t>) {
    const std::string_view regras = proximaParte(resto);
    const std::string_view excecoes = proximaParte(resto);
    const std::string_view abreviaturas = proximaParte(resto);
    const std::string_view texto = proximaParte(resto);
    PortugTts portug;
    portug.carregaTextos(regras, excecoes);
    PreprocTts preproc;
    preproc.carregaAbreviaturasTexto(abreviaturas);
    const std::string normal = preproc.normaliza(texto);
    // Every blank-separated piece goes through the converter as one item.
    std::vector<std::string> itens;
    for (std::string_view palavras = normal; !palavras.empty();)
        itens.push_back("555|" + std::string(proximaParte(palavras, ' ')));
    const std::vector<std::string> fonemas = portug.converte(itens);
    // One marker per item and the closing pause at least.
    confirma(fonemas.size() >= itens.size() + 1 && fonemas.back() == "__");
    // The text made phrase by phrase is the whole text made at once.

    const ProsodiaTts prosodia;
    const ListaDifones difones;
    const FatoresFala fatores;
    FrasesTts frases(preproc, portug, prosodia, difones, fatores, texto);
    std::vector<std::string> porFrase, deUmaVez;
    while (frases.proxima(porFrase)) {
    }
    if (!apara(texto).empty()) {
        const auto contornos = daContornos(tokeniza(preproc.normaliza(apara(texto)), prosodia), prosodia);
        deUmaVez = linhasFonemas(portug.converte(contornos), prosodia, difones, fatores);
    }
    confirma(porFrase == deUmaVez);
}

// Phoneme-file lines written to a diphone synthesizer on the tests' small voice (unknown
// phonemes refused, then allowed): no line may make more samples than the lengths it asks
// for allow. The whole is also read as a voice database.
void confereFonemas(std::string_view texto, std::span<const uint8_t> bytes) {
    std::string erro;
    interpretaBancoVoz(bytes, erro);
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
}

}  // namespace

int fuzzFala(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const std::span<const uint8_t> bytes(dados + 1, tamanho - 1);
    const std::string_view texto(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    using Etapa = void (*)(std::string_view, std::span<const uint8_t>);
    static constexpr Etapa etapas[] = {confereTradutor, confereBrisa, confereFonemas};
    etapas[dados[0] % 3](texto, bytes);
    return 0;
}
