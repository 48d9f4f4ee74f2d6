// Fuzz entry for the spelling dictionary's five loaders, its check and its suggestions. The
// input is six parts separated by NUL bytes: the suffix, dictionary, exceptions, names and
// rules files, and a text whose words are checked and corrected.
#include "fuzz.h"
#include "editor/commands/sndic.h"

int fuzzDicionario(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    std::string_view partes[6];
    for (auto& p : partes) p = proximaParte(resto);
    Dicionario dic;
    std::vector<std::string> mensagens;
    dic.carrega(partes[0], partes[1], partes[2], partes[3], partes[4], "regras", mensagens);
    std::string_view texto = partes[5].substr(0, 4096);
    while (!texto.empty()) {
        const std::string_view palavra = proximaParte(texto, ' ').substr(0, 255);
        // Every suggestion is a word the dictionary accepts.
        for (const std::string& s : dic.sugestoes(palavra)) confirma(dic.verificaPalavra(s));
    }
    return 0;
}
