// Turns a plain list of Portuguese words into the spelling dictionary's files: each word
// is cut into a stem and an inflection ending, the endings of one stem make its class,
// and stems with the same endings share one class. The files accept exactly the words of
// the list (capitalised words go to the names file, where case counts).
#pragma once

#include <string>
#include <vector>

struct ArquivosGerados {
    std::string dic, suf, nom, exc;  // Windows-1252 texts, CR LF line ends
    size_t nRadicais = 0, nClasses = 0;
};

// `palavras`: Windows-1252 words, one an element, in any order, repeats allowed.
ArquivosGerados geraDicionario(const std::vector<std::string>& palavras);
