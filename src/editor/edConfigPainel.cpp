// The configuration panel (Ctrl+F4): every option of section PLUMAR in one form. What the
// user leaves in it is applied at once, written back to SONARE.INI in the form the
// start-up reads, and the speech engine is switched to it.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <utility>

#include "editor/commands/eddicion.h"
#include "editor/edConfig.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "editor/formulario.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

struct Rotulo {
    std::string_view chave, texto;
};

// The panel's labels (Windows-1252); a label's recording, when there is one, is named by
// its key.
constexpr Rotulo kRotulos[] = {
    {"EDCFVEL", "Use as setas para selecionar."},
    {"EDVELC", "Velocidade: "},
    {"EDINSLIN", "ENTER insere linha: "},
    {"EDQUEAUT", "Quebrar linhas: "},
    {"EDFALPON", "Falar pontua\xE7\xE3o: "},
    {"EDFALAUT", "Fala autom\xE1tica: "},
    {"EDCOMDIC", "Com dicion\xE1rio: "},
    {"EDMODFOR", "Modo formata\xE7\xE3o (N, F, B ou M): "},
    {"EDCOMSAP", "Com SAPI: "},
    {"EDNUMSAP", "N\xFAmero SAPI: "},
    {"EDVEL", "Velocidade SAPI: "},
    {"EDTOM", "Tonalidade SAPI: "},
    {"EDTIPSAP", "Tipo SAPI (3, 4 ou 5): "},
};

std::string_view rotulo(std::string_view chave) {
    for (const Rotulo& r : kRotulos)
        if (r.chave == chave) return r.texto;
    return chave;
}

constexpr int kLarguraRotulo = 34;
constexpr int kLarguraSimNao = 4;

// What the panel edits. The switches show what the stored values mean to the start-up
// ("S" or "N"), so a missing key shows its default and leaving the panel keeps it.
struct Valores {
    int velocidade = 0;
    std::string enterInsere, quebra, pontuacao, automatica, dicionario, modo, sapi;
    ConfiguracaoSapi servidor;
};

std::string simNao(bool sim) { return sim ? "S" : "N"; }

bool comecaComS(std::string_view campo) {
    campo = apara(campo);
    return !campo.empty() && std::toupper(static_cast<unsigned char>(campo[0])) == 'S';
}

Valores leValores(Editor& e) {
    Valores v;
    v.velocidade = static_cast<int>(std::clamp<long>(
        inteiroIni(e.fala.leIni("PLUMAR", "VELOCIDADE")).value_or(0), -1000000, 1000000));
    auto opcao = [&](std::string_view chave) {
        return simNao(leOpcaoPlumar(e, opcaoPlumar(chave)));
    };
    v.enterInsere = opcao("ENTERINSLINHA");
    v.quebra = opcao("QUEBRARLINHAS");
    v.pontuacao = opcao("FALARPONTUACAO");
    v.automatica = opcao("FALAAUTOMATICA");
    v.dicionario = opcao("DICIONARIOATIVADO");
    v.modo = std::string(1, letraModoFormatacao(e.fala.leIni("PLUMAR", "MODOFALAFORMATACAO")));
    v.sapi = std::string(apara(e.fala.leIni("PLUMAR", "SAPIATIVADO")));
    v.servidor = leConfiguracaoSapi(e);
    return v;
}

void editaValores(Editor& e, Valores& v) {
    falaMensagem(e, "EDPAICON");
    e.fala.bip();
    e.fala.bip();
    e.crt.TextBackground(0);
    for (int linha = 10; linha <= SnCrt::kLinhas; ++linha) {
        e.crt.GotoXY(1, linha);
        e.crt.ClrEol();
    }
    e.crt.GotoXY(1, 10);
    Formulario f(e, kLarguraRotulo);
    auto texto = [&](std::string_view chave, std::string& valor) {
        f.campoTexto(chave, rotulo(chave), valor, kLarguraSimNao);
    };
    auto inteiro = [&](std::string_view chave, int& valor) {
        f.campoInteiro(chave, rotulo(chave), valor);
    };
    inteiro("EDVELC", v.velocidade);
    texto("EDINSLIN", v.enterInsere);
    texto("EDQUEAUT", v.quebra);
    texto("EDFALPON", v.pontuacao);
    texto("EDFALAUT", v.automatica);
    texto("EDCOMDIC", v.dicionario);
    texto("EDMODFOR", v.modo);
    texto("EDCOMSAP", v.sapi);
    inteiro("EDTIPSAP", v.servidor.tipo);
    inteiro("EDNUMSAP", v.servidor.numero);
    inteiro("EDVEL", v.servidor.taxa);
    inteiro("EDTOM", v.servidor.tom);
    f.executaFormulario();
}

void aplica(Editor& e, Valores& v) {
    EdVars& ed = e.ed;
    if (v.velocidade < 0 || v.velocidade > 5) v.velocidade = 0;
    ed.enterInsereLinha = comecaComS(v.enterInsere);
    ed.quebraLinhas = comecaComS(v.quebra);
    ed.falaPontuacao = comecaComS(v.pontuacao);
    ed.falaAutomatica = comecaComS(v.automatica);
    if (!comecaComS(v.dicionario)) {
        ed.dicionarioAtivo = false;
    } else if (!ed.dicionarioAtivo) {
        falaMensagem(e, "EDDICATI");
        ed.dicionarioAtivo = true;
        carregaDicionario(e);
    }
    ed.modoFalaFormatacao = letraModoFormatacao(v.modo);
}

// The file the options were read from; when there is none, the one of the Windows
// directory, where the next start looks first.
std::filesystem::path arquivoDasOpcoes(Editor& e) {
    std::error_code ec;
    std::filesystem::path lido = e.fala.arquivoIni();
    return std::filesystem::exists(lido, ec) ? lido : arquivoSonareIni();
}

// The switches go back as "S" or "N", what they were taken to mean, so the next start
// reads them with the same meaning whatever was typed. False when the file could not be
// written (the write leaves it whole).
bool grava(Editor& e, const Valores& v) {
    const EdVars& ed = e.ed;
    const std::pair<std::string_view, std::string> chaves[] = {
        {"VELOCIDADE", std::to_string(v.velocidade)},
        {"ENTERINSLINHA", simNao(ed.enterInsereLinha)},
        {"QUEBRARLINHAS", simNao(ed.quebraLinhas)},
        {"FALARPONTUACAO", simNao(ed.falaPontuacao)},
        {"FALAAUTOMATICA", simNao(ed.falaAutomatica)},
        {"DICIONARIOATIVADO", simNao(ed.dicionarioAtivo)},
        {"MODOFALAFORMATACAO", std::string(1, ed.modoFalaFormatacao)},
        {"SAPIATIVADO", maiusculasAscii(v.sapi)},
        {"TIPOSAPI", std::to_string(v.servidor.tipo)},
        {"NUMEROSAPI", std::to_string(v.servidor.numero)},
        {"VELOCIDADESAPI", std::to_string(v.servidor.taxa)},
        {"TONALIDADESAPI", std::to_string(v.servidor.tom)},
    };
    const std::filesystem::path ini = arquivoDasOpcoes(e);
    for (const auto& [chave, valor] : chaves)
        if (!escreveIniArquivo(ini, "PLUMAR", chave, valor)) return false;
    return true;
}

}  // namespace

void painelConfiguracao(Editor& e) {
    Valores v = leValores(e);
    editaValores(e, v);
    aplica(e, v);
    // A file that cannot be written costs nothing but the next start: the options hold
    // for this run all the same.
    if (!grava(e, v)) falaMensagem(e, "EDERRESC");
    falaMensagem(e, "EDAGUARC");
    e.fala.paraFala();
    ligaServidorConfigurado(e, v.sapi, velocidadeFala(e, std::to_string(v.velocidade)),
                            v.servidor, true);
    falaMensagem(e, "EDOK");
    for (int i = 0; i < 3; ++i) e.fala.bip();
    redesenhaTela(e);
}
