// The link to a braille display through the braille daemon's client library (BrlAPI).
// A worker thread owns the connection: it connects, sends the cells, reads the display's
// keys and, when the daemon is missing or goes away, tries again every few seconds. The
// caller's side (the key loop) only leaves the text to show and picks up the keys, so it
// never waits for the daemon.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/frontEnd.h"

// What one of the display's keys asks for.
struct ComandoBraille {
    enum class Tipo {
        Rota,         // a routing key: `valor` is its cell, 0-based
        LinhaAcima,   // the display's line up / line down keys
        LinhaAbaixo,
        PanEsquerda,  // the keys that move the display over the line
        PanDireita,
        Pontos,       // typed on the display's braille keyboard: dot bits 1..8 in
                      // bits 0..7, 256 with the space bar
        Caractere,    // a character the daemon already translated: a Windows-1252 code
        Tecla,        // a key of the PC keyboard the display emulates: a virtual key
    };
    Tipo tipo = Tipo::Caractere;
    int valor = 0;
    Modificadores mod;  // Caractere and Tecla: modifiers held with it
};

class LigacaoBraille {
public:
    struct Opcoes {
        std::string servidor;      // the daemon's address (":1", "/path"); empty: the default
        std::string autenticacao;  // empty: the library's default
        int novaTentativaMs = 3000;
        int limiteChamadaMs = 1000;  // a call to the daemon taking longer breaks the link
    };

    // Nothing when the program was built without BrlAPI.
    static std::unique_ptr<LigacaoBraille> cria(const Opcoes& opcoes);
    ~LigacaoBraille();
    LigacaoBraille(const LigacaoBraille&) = delete;
    LigacaoBraille& operator=(const LigacaoBraille&) = delete;

    // Cells of the display's line; 0 while no display is connected.
    int celulas() const;
    // Shows `texto` (Windows-1252, one character a cell, cut or padded to the display) with
    // the cursor on cell `cursor` (1-based; 0: no cursor). Returns at once.
    void mostra(std::string texto, int cursor);
    // The keys pressed since the last call, in order. Also breaks a call to the daemon
    // that has taken too long.
    std::vector<ComandoBraille> comandos();
    // How many times a display was taken (tests watch the link come back).
    int conexoes() const;

    struct Estado;

private:
    explicit LigacaoBraille(std::shared_ptr<Estado> estado);
    std::shared_ptr<Estado> estado_;
};
