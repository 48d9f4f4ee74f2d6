// Small voice files made inside the tests: diphone index and samples, letter recordings,
// and a checker for the sample runs the synthesizer produces.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "apoio.h"
#include "speech/regras.h"

namespace fixturas {

using DiretorioTemporario = PastaTemporaria;

inline void escreve(const std::filesystem::path& arquivo, std::string_view conteudo) {
    gravaArquivoTeste(arquivo, conteudo);
}

inline Regras regrasDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaRegras(in);
}

inline Excecoes excecoesDe(const std::string& texto) {
    std::istringstream in(texto);
    return interpretaExcecoes(in);
}

// One 15-byte index record.
inline void acrescentaRegistro(std::vector<uint8_t>& ind, std::string_view nome, uint16_t amostras,
                               uint32_t deslocamento, uint8_t tamanhoNome = 0) {
    ind.push_back(tamanhoNome ? tamanhoNome : static_cast<uint8_t>(nome.size()));
    for (size_t i = 0; i < 8; ++i)
        ind.push_back(i < nome.size() ? static_cast<uint8_t>(nome[i]) : 0);
    ind.push_back(static_cast<uint8_t>(amostras));
    ind.push_back(static_cast<uint8_t>(amostras >> 8));
    for (int i = 0; i < 4; ++i) ind.push_back(static_cast<uint8_t>(deslocamento >> (8 * i)));
}

// A diphone whose samples all hold `valor`, so that it can be recognized in the output.
struct DifoneTeste {
    std::string nome;
    uint16_t amostras;
    uint8_t valor;
};

// Writes BANCO.IND and BANCO.DIF into `dir`, the records in the order given.
inline void escreveBanco(const std::filesystem::path& dir, const std::string& banco,
                         const std::vector<DifoneTeste>& difones) {
    std::vector<uint8_t> ind, dif;
    for (const DifoneTeste& d : difones) {
        acrescentaRegistro(ind, d.nome, d.amostras, static_cast<uint32_t>(dif.size()));
        dif.insert(dif.end(), d.amostras, d.valor);
    }
    gravaArquivoTeste(dir / (banco + ".IND"), ind);
    gravaArquivoTeste(dir / (banco + ".DIF"), dif);
}

inline void escreveGravacao(const std::filesystem::path& arquivo, const FormatoAudio& formato,
                            const std::vector<uint8_t>& dados) {
    gravaArquivoTeste(arquivo, ondaTeste(formato, dados));
}

// An expected run of output samples: a diphone's value, silence (128), noise, which is
// 88 plus a value below 80 and not all silence, or the fade that ends a diphone cut short:
// 33 samples going from the value before them to silence, step by step.
constexpr int kRuido = -1;
constexpr int kEsvai = -2;
struct Trecho {
    int valor;  // 0..255, kRuido or kEsvai
    size_t amostras;
};
inline Trecho silencio(size_t n) { return {128, n}; }
inline Trecho ruido(size_t n) { return {kRuido, n}; }
inline Trecho esvaindo() { return {kEsvai, 33}; }

// Whether the samples go from `antes` to silence without a step back or a jump.
inline bool esvai(std::vector<uint8_t>::const_iterator ini, std::vector<uint8_t>::const_iterator fim,
                  int antes) {
    for (auto i = ini; i != fim; ++i) {
        if (std::abs(*i - 128) > std::abs(antes - 128) || std::abs(*i - antes) > 8) return false;
        antes = *i;
    }
    return ini == fim || *(fim - 1) == 128;
}

inline ::testing::AssertionResult confere(const std::vector<uint8_t>& amostras,
                                          const std::vector<Trecho>& esperado) {
    size_t total = 0;
    for (const Trecho& t : esperado) total += t.amostras;
    if (total != amostras.size())
        return ::testing::AssertionFailure()
               << "expected " << total << " samples, got " << amostras.size();
    size_t p = 0;
    for (size_t k = 0; k < esperado.size(); ++k) {
        const Trecho& t = esperado[k];
        const auto ini = amostras.begin() + static_cast<std::ptrdiff_t>(p);
        const auto fim = ini + static_cast<std::ptrdiff_t>(t.amostras);
        const bool ok =
            t.valor == kRuido   ? std::all_of(ini, fim, [](int a) { return a >= 88 && a < 168; }) &&
                                      std::any_of(ini, fim, [](int a) { return a != 128; })
            : t.valor == kEsvai ? p > 0 && esvai(ini, fim, amostras[p - 1])
                                : std::all_of(ini, fim, [&](int a) { return a == t.valor; });
        if (!ok) return ::testing::AssertionFailure() << "run " << k << " (value " << t.valor << ")";
        p += t.amostras;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace fixturas
