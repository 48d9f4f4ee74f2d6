#include "speech/tts/uttsPortug.h"

#include <cctype>

// Until the letter-to-phoneme rules exist each letter stands for itself, the first vowel
// of a word stressed, so the stages after this one have a list of the right shape.
bool PortugTts::carrega(const std::filesystem::path&, const std::filesystem::path&) { return true; }

void PortugTts::libera() {}

std::vector<std::string> PortugTts::converte(const std::vector<std::string>& itens) const {
    std::vector<std::string> fonemas;
    for (const std::string& item : itens) {
        fonemas.push_back(";" + item);
        const size_t barra = item.find('|');
        const std::string palavra = barra == std::string::npos ? item : item.substr(barra + 1);
        bool tonica = false;
        for (unsigned char c : palavra) {
            if (!std::isalpha(c)) continue;
            std::string f(1, static_cast<char>(std::tolower(c)));
            if (!tonica && std::string_view("aeiou").find(f[0]) != std::string_view::npos) {
                f = ">" + f;
                tonica = true;
            }
            fonemas.push_back(f);
        }
    }
    return fonemas;
}
