#include "editor/edConfig.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>

#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

// The presets speak at the speed the start-up took.
int velocidadeInicial(Editor& e) { return velocidadeFala(e); }

// A number of the INI, or nothing when missing or not a number.
std::optional<int> numeroIni(Editor& e, const char* secao, const char* chave) {
    const auto n = inteiroIni(e.fala.leIni(secao, chave));
    if (!n) return std::nullopt;
    return static_cast<int>(std::clamp<long>(*n, -1000000, 1000000));
}

void alterna(Editor& e, bool& opcao, const char* liga, const char* desliga) {
    opcao = !opcao;
    falaMensagem(e, opcao ? liga : desliga);
}

}  // namespace

bool leOpcaoPlumar(Editor& e, const OpcaoPlumar& opcao) {
    std::string valor = e.fala.leIni("PLUMAR", opcao.chave);
    if (opcao.maiusculas) valor = maiusculasAscii(valor);
    if (valor.empty()) return opcao.padrao;
    return opcao.padrao ? valor[0] != 'N' : valor[0] == 'S';
}

const OpcaoPlumar& opcaoPlumar(std::string_view chave) {
    for (const OpcaoPlumar& o : kOpcoesPlumar)
        if (o.chave == chave) return o;
    return kOpcoesPlumar[0];  // not reached: callers name keys of the table
}

char letraModoFormatacao(std::string_view valor) {
    valor = apara(valor);
    const char c =
        valor.empty() ? 'N' : static_cast<char>(std::toupper(static_cast<unsigned char>(valor[0])));
    return std::string_view("BFMN").find(c) != std::string_view::npos ? c : 'N';
}

int velocidadeFala(Editor& e, std::string_view plumar) {
    std::string v(plumar);
    if (v.empty() || v == "0") v = e.fala.leIni("TRADUTOR", "VELOCIDADE");
    const auto n = inteiroIni(v);
    return n ? static_cast<int>(std::clamp<long>(*n, -1, 99)) : 0;
}

int velocidadeFala(Editor& e) { return velocidadeFala(e, e.fala.leIni("PLUMAR", "VELOCIDADE")); }

ConfiguracaoSapi leConfiguracaoSapi(Editor& e) {
    ConfiguracaoSapi c;
    c.numero = numeroIni(e, "PLUMAR", "NUMEROSAPI")
                   .value_or(numeroIni(e, "SERVFALA", "VOZ").value_or(1));
    c.tipo = numeroIni(e, "PLUMAR", "TIPOSAPI")
                 .value_or(numeroIni(e, "SERVFALA", "TIPOSAPI").value_or(4));
    c.taxa = numeroIni(e, "PLUMAR", "VELOCIDADESAPI").value_or(0);
    c.tom = numeroIni(e, "PLUMAR", "TONALIDADESAPI").value_or(0);
    return c;
}

void ligaServidorConfigurado(Editor& e, std::string_view sapiAtivado, int velocidade,
                             const ConfiguracaoSapi& c, bool reinicia) {
    sapiAtivado = apara(sapiAtivado);
    if (sapiAtivado.empty()) {
        const std::string sapi = e.fala.leIni("TRADUTOR", "SAPI");
        e.ed.sapiAtivo = sapi.empty() || sapi[0] != 'N';
        if (!reinicia) return;
        // Speech starts again as at start-up, where section TRADUTOR decides the server.
        e.fala.terminaFala();
        e.fala.inicializaFala(velocidade, e.ed.diretorioMensagens);
        return;
    }
    e.ed.sapiAtivo = std::toupper(static_cast<unsigned char>(sapiAtivado[0])) == 'S';
    // Handed over by meaning: level, on/off, type, pitch, rate, voice.
    e.fala.mudaServidorFala(velocidade, e.ed.sapiAtivo, c.tipo, c.tom, c.taxa, c.numero);
}

void alternaEnterInsere(Editor& e) {
    alterna(e, e.ed.enterInsereLinha, "EDENTINS", "EDENTNIN");
}

void alternaSemFala(Editor& e) { alterna(e, e.ed.semFala, "EDFALDLG", "EDFALACI"); }

void alternaQuebra(Editor& e) { alterna(e, e.ed.quebraLinhas, "EDQAUTO", "EDNQAUTO"); }

void alternaEco(Editor& e) { alterna(e, e.ed.ecoDigitacao, "EDSOLETR", "EDNSOLET"); }

void alternaEspacos(Editor& e) {
    e.ed.falaEspacos = !e.ed.falaEspacos;
    e.fala.bip();
}

void leVelocidade(Editor& e) {
    const uint8_t k = e.fala.leTeclaEco();
    if (k == 0) {
        e.crt.leTecla();  // an extended key: its scan code is no speed
        return;
    }
    if (k == 27 || k == 13) return;
    e.fala.terminaFala();
    e.fala.inicializaFala(k - '0', e.ed.diretorioMensagens);
}

void escolheVelocidade(Editor& e) {
    falaMensagem(e, "EDVELOC");
    leVelocidade(e);
}

void familiaConfiguracao(Editor& e) {
    switch (perguntaFamilia(e, {.ajuda = "EDAJCF", .linhas = 7})) {
        case 'I': alternaEnterInsere(e); break;
        case 'F': alternaSemFala(e); break;
        case 'Q': alternaQuebra(e); break;
        case 'S': alternaEco(e); break;
        case 'V': escolheVelocidade(e); break;
        case 27: falaMensagem(e, "EDDESIST"); break;
        default: e.fala.bip();
    }
    redesenhaTela(e);
}

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
