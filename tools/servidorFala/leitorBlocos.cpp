#include "servidorFala/leitorBlocos.h"

void LeitorBlocos::fala(std::string_view texto) {
    reserva_({});  // whoever reads the new block, the reserve is not reading an old one
    if (!pelaServico(texto)) reserva_(texto);
}

// A connection kept from an earlier block may have died with the service (it restarted):
// then the first try fails on it and the second one opens a new connection.
bool LeitorBlocos::pelaServico(std::string_view texto) {
    for (int tentativa = 0; tentativa < 2; ++tentativa) {
        if (!servico_.disponivel() && !servico_.abre(0, 0, 0)) return false;
        servico_.para();
        if (texto.empty() ? servico_.disponivel() : servico_.enviaTexto(texto)) return true;
    }
    return false;
}
