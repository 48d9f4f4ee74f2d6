// A key the user presses while the program is busy: its code put straight into the
// console's queue, as a front-end does between two looks at the keyboard.
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "console/SnCrt.h"

inline void pressionaTecla(SnCrt& crt, uint8_t codigo) {
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::Codigo;
    ev.caractere = codigo;
    crt.trataEvento(ev);
}

// A speech server given a long text stops at a key that comes with its first block, and
// says nothing more while that key waits to be read.
template <class Servidor, class Audio>
void confereTeclaParaFala(Servidor& servidor, Audio& audio, SnCrt& crt, const std::string& longo) {
    audio.aoEscrever = [&crt](size_t n) {
        if (n == 1) pressionaTecla(crt, 'x');
    };
    servidor.fala(longo);
    EXPECT_LE(audio.blocos.size(), 2u);
    EXPECT_FALSE(servidor.falando());
    audio.blocos.clear();
    servidor.fala("ola");
    EXPECT_TRUE(audio.blocos.empty());
    audio.aoEscrever = nullptr;
}
