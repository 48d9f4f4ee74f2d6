#include "editor/edConfig.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "editor/edMensag.h"
#include "editor/pendente.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

// The speed as at start-up: PLUMAR's, or TRADUTOR's when that is missing or "0".
int velocidadeInicial(Editor& e) {
    std::string v = e.fala.leIni("PLUMAR", "VELOCIDADE");
    if (v.empty() || v == "0") v = e.fala.leIni("TRADUTOR", "VELOCIDADE");
    const auto n = inteiroIni(v);
    return n ? static_cast<int>(std::clamp<long>(*n, -1, 99)) : 0;
}

}  // namespace

std::array<int, 4> lePresetVoz(std::string_view texto) {
    constexpr long kMaximo = 1000000;  // larger values mean nothing to any engine
    std::array<int, 4> numeros{};
    size_t i = 0;
    for (int& numero : numeros) {
        while (i < texto.size() && texto[i] == ' ') ++i;
        const bool negativo = i < texto.size() && texto[i] == '-';
        if (negativo) ++i;
        long valor = 0;
        size_t inicio = i;
        for (; i < texto.size() && std::isdigit(static_cast<unsigned char>(texto[i])); ++i)
            valor = std::min(valor * 10 + (texto[i] - '0'), kMaximo);
        numero = static_cast<int>(negativo ? -valor : valor);
        // Anything but a blank after the number ends the reading.
        if (i == inicio || (i < texto.size() && texto[i] != ' ')) break;
    }
    return numeros;
}

void painelConfiguracao(Editor& e) { comandoPendente(e); }
void familiaConfiguracao(Editor& e) { comandoPendente(e); }

// A preset that is missing, or whose engine cannot open, gives the error beep and the voice
// in use stays; the new voice says "OK" itself, so the user hears what was chosen.
void vozSapi(Editor& e, int preset) {
    const std::string valor = e.fala.leIni("SAPIUTIL", "VOZ" + std::to_string(preset));
    if (apara(valor).empty()) return e.fala.bip();
    const auto [voz, taxa, tom, tipo] = lePresetVoz(valor);
    if (!e.fala.mudaServidorFala(velocidadeInicial(e), true, tipo == 0 ? 4 : tipo, tom, taxa,
                                 voz))
        return e.fala.bip();
    e.ed.sapiAtivo = true;
    falaMensagemComVoz(e, "EDOK");
}

void vozPropria(Editor& e) {
    e.ed.sapiAtivo = false;
    e.fala.mudaServidorFala(velocidadeInicial(e), false, 3, 1, 1, 1);
    falaMensagem(e, "EDOK");
}
