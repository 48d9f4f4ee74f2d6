// Fuzz entry for the built-in synthesizer's rule loader, exception loader, diphone index
// reader and translator. The input is three parts separated by NUL bytes: a rule file, an
// exception file and a text; the whole input is also read as a diphone index.
#include <sstream>

#include "fuzz.h"
#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "speech/tradutor.h"

int fuzzTradutor(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    std::istringstream textoRegras{std::string(proximaParte(resto))};
    std::istringstream textoExcecoes{std::string(proximaParte(resto))};
    std::string_view texto = proximaParte(resto);

    Regras regras = interpretaRegras(textoRegras);
    Excecoes excecoes = interpretaExcecoes(textoExcecoes);
    std::string fonetica = traduz(texto, regras, excecoes);
    // Every word gives at least its brackets, so a text with a non-blank yields output.
    confirma(dobraCaracteres(texto).find_first_not_of(' ') == std::string::npos || fonetica.size() >= 2);

    interpretaIndice({dados, tamanho}, tamanho / 2);
    return 0;
}
