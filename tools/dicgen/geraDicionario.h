// Turns a dictionary of affix rules (.aff and .dic texts) into the spelling dictionary's
// files: the forms of each entry get one stem (their longest common beginning) and one class
// of endings, stems with the same endings share the class, and a prefixed group of forms is
// a stem of its own. The files accept exactly the entries' forms (capitalised forms go to the
// names file, where case counts, beside their all-capitals spelling); words the rules forbid
// go to the exceptions.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

struct ArquivosGerados {
    std::string dic, suf, nom, exc;  // Windows-1252 texts, CR LF line ends
    size_t nRadicais = 0, nClasses = 0, nFormas = 0;
};

ArquivosGerados geraDicionario(std::string_view aff, std::string_view dic);

// Every form the entries make, in Windows-1252, in file order (repeats possible); forms with
// a character outside Windows-1252 or a blank are left out, as the files leave them out.
void cadaForma(std::string_view aff, std::string_view dic,
               const std::function<void(const std::string&)>& f);
