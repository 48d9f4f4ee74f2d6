// Speech servers: outside synthesizer engines that speak whole texts in the background,
// chosen by SERVFALA/TIPOSAPI (3 = the family's own Portuguese engine, 5 = the system's
// speech service, anything else = the espeak-ng library). All three are reached through
// this one interface; speaking returns at once and `falando` tells when the text ended.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TocadorOnda;

class ServidorFala {
  public:
    virtual ~ServidorFala() = default;
    // False when the engine cannot be reached; it then stays closed.
    virtual bool abre(int voz, int taxa, int tom) = 0;
    virtual void fala(std::string_view texto) = 0;
    virtual bool falando() = 0;
    virtual void para() = 0;
    virtual void fecha() = 0;
    // Whether the texts that follow have every punctuation sign read by name, or none.
    virtual void pontuacao(bool todas) { (void)todas; }
    // False once the engine has gone away (its connection broke or it answered nonsense);
    // the front end then closes it and goes back to recorded speech.
    virtual bool disponivel() const { return true; }
};

// What an engine may use: the wave player for the samples it makes, the family INI, and
// whether a key is waiting (a waiting key means: say nothing more).
struct AmbienteServidor {
    TocadorOnda& tocador;
    std::function<std::string(std::string_view secao, std::string_view chave)> leIni;
    std::function<bool()> teclaPressionada = [] { return false; };
};

using FabricaServidores =
    std::function<std::unique_ptr<ServidorFala>(int tipo, const AmbienteServidor& ambiente)>;

// Rates come in two kinds: words a minute (what the espeak-ng type takes) and the -10..10
// scale of the speech service's type, 0 meaning the engine's own in both. No one speaks ten
// words a minute, so a value from -10 to 10 is on the scale and any other is words a
// minute; each engine converts what it gets. The scale's ends are a third and three times
// the normal pace of kPalavrasPorMinuto.
constexpr int kPalavrasPorMinuto = 175;
int taxaEmPalavras(int taxa);  // words a minute, 0 for 0
int taxaNaEscala(int taxa);    // -10..10, 0 for 0
// Pitch likewise: -10..10 is the scale, any other value espeak-ng's 0..100 (50 its normal
// pitch), so a preset written for espeak-ng still means the same to the speech service.
int tomNaEscala(int tom);  // -10..10, 0 for 0

// Voice numbers mean the same in every engine: the Brazilian Portuguese voices come first,
// then the other Portuguese ones, then the rest, each group in the engine's own order, so
// voice 1 reads Portuguese text with Portuguese rules. A language tag's group: 0 Brazilian
// ("pt-BR"), 1 other Portuguese ("pt", "pt-PT"), 2 any other.
int grupoLingua(std::string_view lingua);
// The engine's list positions in the users' numbering, from each voice's group.
std::vector<size_t> numeracaoVozes(std::span<const int> grupos);

constexpr int kServidorProprio = 3;
constexpr int kServidorSapi4 = 4;
constexpr int kServidorSapi5 = 5;

