// The own text-to-speech engine's last stage: the prosody file (durations, prosodic word
// classes, intonation contours, pitch levels), the diphone list, the cutting of a text into
// classed items with their contours, and the phoneme-file lines the synthesizer is fed.
#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct RegraContorno {
    std::string anterior, atual, proximo;  // class keys; empty matches any
    std::string contorno;                  // "ddd" or "?dd"
};

struct ProsodiaTts {
    std::map<std::string, int> duracoes;                      // ms, by phoneme
    std::vector<std::pair<std::string, std::string>> chaves;  // word, class; sorted by word
    std::vector<RegraContorno> regras;
    int hertz = 230;
    std::array<int, 10> tabHertz{80, 85, 90, 95, 100, 105, 110, 120, 130, 140};

    std::string classe(std::string_view palavraMaiuscula) const;  // "XX" when it has none
    int duracao(std::string_view fonema) const;                    // 100 when it has none
};

// Reads the three sections; false with the message to show in `mensagem`.
bool carregaProsodia(const std::filesystem::path& arquivo, ProsodiaTts& prosodia,
                     std::string& mensagem);
bool interpretaProsodia(std::string_view texto, ProsodiaTts& prosodia, std::string& mensagem);

// The diphones of the list file, as "first-second", searched without regard to case.
class ListaDifones {
  public:
    static std::vector<std::pair<std::string, std::string>> interpreta(std::string_view texto);
    bool carrega(const std::filesystem::path& arquivo);
    void define(const std::vector<std::pair<std::string, std::string>>& pares);
    bool tem(std::string_view primeiro, std::string_view segundo) const;
    bool vazia() const { return nomes_.empty(); }

  private:
    std::vector<std::string> nomes_;  // upper-cased, sorted
};

// The text cut into items "[KK]token" (words, punctuation, sentence marks "[--]").
std::vector<std::string> tokeniza(std::string_view texto, const ProsodiaTts& prosodia);
// Each item as "contour|token". After the last item the text's end counts as a sentence
// mark ("--").
std::vector<std::string> daContornos(const std::vector<std::string>& itens,
                                     const ProsodiaTts& prosodia);

// The same for a text that comes a piece at a time: an item's contour depends on the item
// after it, so the last item of a piece waits for the next piece (or for the end).
class Contornos {
  public:
    explicit Contornos(const ProsodiaTts& prosodia) : prosodia_(prosodia) {}
    // The items that are ready, contoured; `fim` when no piece follows.
    std::vector<std::string> acrescenta(const std::vector<std::string>& itens, bool fim);

  private:
    const ProsodiaTts& prosodia_;
    std::string pendente_;       // the item whose next one is not known yet
    bool temPendente_ = false;
    std::string anterior_;       // the key of the item before it
    char ultimo_ = '5';          // the last level given, for a contour starting with '?'
};

// Duration and pitch factors from the speech server's rate and pitch (-10 to 10).
constexpr double kPassoTomAbaixo = 0.03;  // pitch lost at each step below 0, of the base
struct FatoresFala {
    double duracao = 1.0;
    double pitch = 1.0;
};
FatoresFala fatoresDaFala(int taxa, int tom);

// What the line writer keeps from one phoneme to the next, so a list may come in pieces.
struct EstadoLinhas {
    std::string contorno = "555";
    size_t comprimento = 0;  // of the current word, with its ';'
    int pitch = 0;           // 0 first phoneme, 1 before the stress, 2 stressed, 3 after
    int multiplicador = 100;
    std::string anterior = "_";
};

// The phoneme list (word markers, phonemes, pauses) as phoneme-file lines.
std::vector<std::string> linhasFonemas(const std::vector<std::string>& fonemas,
                                       const ProsodiaTts& prosodia, const ListaDifones& difones,
                                       const FatoresFala& fatores);
// The same for a piece of the list, carrying `estado` on to the next piece; a piece ends
// after a word's last phoneme.
void linhasFonemas(const std::vector<std::string>& fonemas, const ProsodiaTts& prosodia,
                   const ListaDifones& difones, const FatoresFala& fatores, EstadoLinhas& estado,
                   std::vector<std::string>& saida);
