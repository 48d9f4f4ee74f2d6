#include "platform/texto.h"

#include <cctype>

namespace {
bool branco(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
int minuscula(char c) { return std::tolower(static_cast<unsigned char>(c)); }
}  // namespace

std::string_view apara(std::string_view s) {
    while (!s.empty() && branco(s.front())) s.remove_prefix(1);
    while (!s.empty() && branco(s.back())) s.remove_suffix(1);
    return s;
}

bool comecaSemCaixa(std::string_view s, std::string_view prefixo) {
    if (s.size() < prefixo.size()) return false;
    for (size_t i = 0; i < prefixo.size(); ++i)
        if (minuscula(s[i]) != minuscula(prefixo[i])) return false;
    return true;
}

bool igualSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && comecaSemCaixa(a, b);
}

std::string maiusculasAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}
