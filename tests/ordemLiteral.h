// The block sort's exchange loop as it is defined: for each pair i < j, the comparison forms
// of both lines built afresh and the lines swapped when line j's is smaller. The reference
// the fast order (ordemDaTroca) is checked against in the tests and timed against in the
// bench.
#pragma once

#include <numeric>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "editor/edVars.h"

inline std::vector<int> ordemDaTrocaLiteral(std::span<const std::string> linhas) {
    std::vector<std::string> l(linhas.begin(), linhas.end());
    std::vector<int> ordem(l.size());
    std::iota(ordem.begin(), ordem.end(), 0);
    for (size_t i = 0; i + 1 < l.size(); ++i)
        for (size_t j = i + 1; j < l.size(); ++j)
            if (formaBusca(l[j]) < formaBusca(l[i])) {
                std::swap(l[i], l[j]);
                std::swap(ordem[i], ordem[j]);
            }
    return ordem;
}
