// Speech servers: outside synthesizer engines that speak whole texts in the background,
// chosen by SERVFALA/TIPOSAPI (3 = the family's own Portuguese engine, 5 = the system's
// speech service, anything else = the espeak-ng library). All three are reached through
// this one interface; speaking returns at once and `falando` tells when the text ended.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

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
};

// What an engine may use: the wave player for the samples it makes, and the family INI.
struct AmbienteServidor {
    TocadorOnda& tocador;
    std::function<std::string(std::string_view secao, std::string_view chave)> leIni;
};

using FabricaServidores =
    std::function<std::unique_ptr<ServidorFala>(int tipo, const AmbienteServidor& ambiente)>;

constexpr int kServidorProprio = 3;
constexpr int kServidorSapi4 = 4;
constexpr int kServidorSapi5 = 5;

// The engine of `tipo`. None is built in yet: each one fails to open, which leaves the
// program in recorded speech.
std::unique_ptr<ServidorFala> criaServidorFala(int tipo, const AmbienteServidor& ambiente);
