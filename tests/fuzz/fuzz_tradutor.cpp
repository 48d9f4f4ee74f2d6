// Fuzz entry for the built-in synthesizer's rule loader, exception loader, diphone index
// reader and translator. The input is three parts separated by NUL bytes: a rule file, an
// exception file and a text; the whole input is also read as a diphone index.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "speech/tradutor.h"
#include "fuzz.h"

int fuzzTradutor(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    std::istringstream textoRegras{std::string(proximaParte(resto))};
    std::istringstream textoExcecoes{std::string(proximaParte(resto))};
    std::string_view texto = proximaParte(resto);

    Regras regras = interpretaRegras(textoRegras);
    Excecoes excecoes = interpretaExcecoes(textoExcecoes);
    std::string fonetica = traduz(texto, regras, excecoes);
    // Every word gives at least its brackets, so a text with a non-blank yields output.
    if (dobraCaracteres(texto).find_first_not_of(' ') != std::string::npos && fonetica.size() < 2)
        __builtin_trap();

    interpretaIndice({dados, tamanho}, tamanho / 2);
    return 0;
}

// The libFuzzer entry exists only in the fuzz binary: the test binary holds other fuzz
// entries too, and calls this one by its own name.