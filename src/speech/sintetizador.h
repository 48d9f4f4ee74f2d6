// The built-in synthesizer: opens the translator's rules and exceptions and a diphone
// bank, turns Portuguese text into a phonetic string and speaks it through the caller's
// sound output.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "speech/concatenador.h"
#include "speech/regras.h"

// Where the synthesizer's files are, as Linux paths.
struct ConfiguracaoSintetizador {
    std::filesystem::path dirLetras;   // letter recordings "_NNN.wav"
    std::filesystem::path dirDifones;  // regras.rgr, portug.exc, BANCO.IND, BANCO.DIF
    std::string banco;                 // voice bank name, at most 8 characters
    // The pronunciation exceptions both voices share, in the own engine's folder.
    std::filesystem::path excecoesComuns{};
};

// Section TRADUTOR of `ini`: keys dirLetras (default c:\ornato\som\letras) and DIRDIFONES
// (default c:\ornato\som\difones), read as written and mapped to Linux paths; `banco` is the
// bank name the caller read for its speed level; the shared exceptions where BRISATTS says.
ConfiguracaoSintetizador leConfiguracaoSintetizador(const std::filesystem::path& ini,
                                                    std::string_view banco);

// Results of opening.
constexpr int kSintetizadorPronto = 0;
constexpr int kSemArquivosDeVoz = 1;  // a directory, the index or the sample file is missing
constexpr int kSemRegras = 2;         // the rules or the exceptions cannot be read (the shared
                                      // exceptions may be missing)

class Sintetizador {
  public:
    explicit Sintetizador(SaidaSom saida);

    // kSintetizadorPronto, kSemArquivosDeVoz or kSemRegras; on failure it stays closed.
    int abre(const ConfiguracaoSintetizador& config);
    void fecha();
    bool aberto() const { return concatenador_.has_value(); }

    // Kept across openings; applies at once when open.
    void mudaCortes(const Cortes& cortes);

    // Text (Windows-1252) to phonetic string; with no rules loaded every letter is spelled.
    std::string traduz(std::string_view texto) const;
    // Speaks a phonetic string; nothing when closed.
    void falaFonetica(std::string_view fonetica);
    // traduz, then falaFonetica.
    void falaTexto(std::string_view texto);

  private:
    SaidaSom saida_;
    Cortes cortes_;
    Regras regras_;
    Excecoes excecoes_;
    std::optional<Concatenador> concatenador_;
};
