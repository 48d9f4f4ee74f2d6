// The configuration panel (Ctrl+F4): every option of section PLUMAR in one form. Each field
// takes only values the program can use; what the user leaves in it is applied at once,
// what the user changed is written back to SONARE.INI in the form the start-up reads, and
// the speech engine is switched to it.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    {"EDCOMSAP", "Com servidor de fala: "},
    {"EDNUMSAP", "Voz do servidor (1 = brasileira): "},
    {"EDVEL", "Velocidade do servidor: "},
    {"EDTOM", "Tonalidade do servidor: "},
    {"EDTIPSAP", "Tipo do servidor (3, 4 ou 5): "},
};

std::string_view rotulo(std::string_view chave) {
    for (const Rotulo& r : kRotulos)
        if (r.chave == chave) return r.texto;
    return chave;
}

constexpr int kLarguraRotulo = 34;
constexpr int kLarguraSimNao = 4;
constexpr long kMaiorVoz = 99999;

// What the panel edits. Each field shows the value in use: the speed the speech runs at,
// whether a speech server is on, and for the switches what the stored values mean to the
// start-up ("S" or "N"), so a missing key shows its default.
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
    v.velocidade = e.fala.velocidade();
    auto opcao = [&](std::string_view chave) {
        return simNao(leOpcaoPlumar(e, opcaoPlumar(chave)));
    };
    v.enterInsere = opcao("ENTERINSLINHA");
    v.quebra = opcao("QUEBRARLINHAS");
    v.pontuacao = opcao("FALARPONTUACAO");
    v.automatica = opcao("FALAAUTOMATICA");
    v.dicionario = opcao("DICIONARIOATIVADO");
    v.modo = std::string(1, letraModoFormatacao(e.fala.leIni("PLUMAR", "MODOFALAFORMATACAO")));
    v.sapi = simNao(e.ed.sapiAtivo);
    v.servidor = leConfiguracaoSapi(e);
    return v;
}

// The values each field takes, said when a typed one is refused (Windows-1252).
ValoresValidos simOuNao() { return ValoresValidos::letras("SN", "S ou N"); }

void editaValores(Editor& e, Valores& v) {
    falaMensagem(e, "EDPAICON");
    dizMensagem(e, "EDCFVEL");  // how to move; the title stays on the screen
    e.crt.TextBackground(0);
    for (int linha = 10; linha <= SnCrt::kLinhas; ++linha) {
        e.crt.GotoXY(1, linha);
        e.crt.ClrEol();
    }
    e.crt.GotoXY(1, 10);
    Formulario f(e, kLarguraRotulo);
    auto texto = [&](std::string_view chave, std::string& valor, ValoresValidos validos) {
        f.campoTexto(chave, rotulo(chave), valor, kLarguraSimNao, std::move(validos));
    };
    auto inteiro = [&](std::string_view chave, int& valor, ValoresValidos validos) {
        f.campoInteiro(chave, rotulo(chave), valor, std::move(validos));
    };
    inteiro("EDVELC", v.velocidade, ValoresValidos::numeros({{1, 5}}, "De 1 a 5"));
    texto("EDINSLIN", v.enterInsere, simOuNao());
    texto("EDQUEAUT", v.quebra, simOuNao());
    texto("EDFALPON", v.pontuacao, simOuNao());
    texto("EDFALAUT", v.automatica, simOuNao());
    texto("EDCOMDIC", v.dicionario, simOuNao());
    texto("EDMODFOR", v.modo, ValoresValidos::letras("NFBM", "N, F, B ou M"));
    texto("EDCOMSAP", v.sapi, simOuNao());
    inteiro("EDTIPSAP", v.servidor.tipo,
            ValoresValidos::numeros({{3, 5}}, "3 a voz pr\xF3pria, 4 espeak-ng, 5 speech-dispatcher"));
    inteiro("EDNUMSAP", v.servidor.numero,
            ValoresValidos::numeros({{0, kMaiorVoz}},
                                    "De 0 a 99999: as vozes em portugu\xEAs v\xEAm primeiro, "
                                    "1 \xE9 a brasileira"));
    inteiro("EDVEL", v.servidor.taxa,
            ValoresValidos::numeros({{-10, 10}, {80, 450}},
                                    "De -10 a 10, ou de 80 a 450 palavras por minuto"));
    inteiro("EDTOM", v.servidor.tom,
            ValoresValidos::numeros({{-10, 100}}, "De -10 a 10, ou de 0 a 100 no espeak-ng"));
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

// The values as the start-up reads them back: the switches as "S" or "N", what they were
// taken to mean, so the next start reads them with the same meaning whatever was typed.
std::vector<std::pair<std::string_view, std::string>> chavesIni(const Valores& v) {
    return {
        {"VELOCIDADE", std::to_string(v.velocidade)},
        {"ENTERINSLINHA", simNao(comecaComS(v.enterInsere))},
        {"QUEBRARLINHAS", simNao(comecaComS(v.quebra))},
        {"FALARPONTUACAO", simNao(comecaComS(v.pontuacao))},
        {"FALAAUTOMATICA", simNao(comecaComS(v.automatica))},
        {"DICIONARIOATIVADO", simNao(comecaComS(v.dicionario))},
        {"MODOFALAFORMATACAO", std::string(1, letraModoFormatacao(v.modo))},
        {"SAPIATIVADO", simNao(comecaComS(v.sapi))},
        {"TIPOSAPI", std::to_string(v.servidor.tipo)},
        {"NUMEROSAPI", std::to_string(v.servidor.numero)},
        {"VELOCIDADESAPI", std::to_string(v.servidor.taxa)},
        {"TONALIDADESAPI", std::to_string(v.servidor.tom)},
    };
}

// Only what the user changed is written: a key left alone keeps what the file has, or its
// absence. False when the file could not be written (the write leaves it whole).
bool grava(Editor& e, const Valores& antes, const Valores& depois) {
    const auto velhos = chavesIni(antes);
    const auto novos = chavesIni(depois);
    const std::filesystem::path ini = arquivoDasOpcoes(e);
    for (size_t i = 0; i < novos.size(); ++i)
        if (novos[i].second != velhos[i].second &&
            !escreveIniArquivo(ini, "PLUMAR", novos[i].first, novos[i].second))
            return false;
    return true;
}

}  // namespace

void painelConfiguracao(Editor& e) {
    const Valores antes = leValores(e);
    Valores v = antes;
    editaValores(e, v);
    aplica(e, v);
    // A file that cannot be written costs nothing but the next start: the options hold
    // for this run all the same.
    if (!grava(e, antes, v)) falaMensagem(e, "EDERRESC");
    falaMensagem(e, "EDAGUARC");
    e.fala.paraFala();
    ligaServidorConfigurado(e, v.sapi, velocidadeFala(e, std::to_string(v.velocidade)),
                            v.servidor, true);
    falaMensagem(e, "EDOK");
    redesenhaTela(e);
}
