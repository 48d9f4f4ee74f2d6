#include "speech/tts/uttsExcessoes.h"

std::optional<Excecoes> leExcecoesTts(const std::filesystem::path& arquivo) {
    return leExcecoes(arquivo, true);
}

std::string aplicaExcecoesTts(std::string palavra, const Excecoes& excecoes) {
    return trocaPorExcecao(std::move(palavra), excecoes, "SM");
}
