// Fuzz entry for the text-to-speech engine's first stages: the rule, exception and
// abbreviation loaders, the normaliser and the converter, and the text made phrase by phrase
// against the whole text at once. The input is four parts separated by NUL bytes: a rule
// file, an exception file, an abbreviation file and a text.
#include "fuzz.h"
#include "platform/texto.h"
#include "speech/tts/uttsBrisa.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"

int fuzzBrisa(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
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
    return 0;
}
