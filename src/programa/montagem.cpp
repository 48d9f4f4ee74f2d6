#include "programa/montagem.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "platform/arquivoNovo.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/conversaoDoc.h"
#include "platform/frontEnds.h"
#include "platform/ini.h"
#include "platform/registroBibliotecas.h"
#include "mathmode/EDNUMERAVARS.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<FrontEnd> escolheFrontEnd(const OpcoesLinux& o, std::vector<TeclaRoteiro> teclas,
                                          std::string& escolhido) {
    if (o.frontEnd == "headless" || !o.roteiro.empty()) {
        escolhido = "headless";
        return criaFrontEndHeadless(std::move(teclas));
    }
    if (o.frontEnd.empty() || o.frontEnd == "window") {
        if (auto janela = criaFrontEndJanela()) {
            escolhido = "window";
            return janela;
        }
    }
    if (auto terminal = criaFrontEndTerminal()) {
        escolhido = "terminal";
        return terminal;
    }
    escolhido = "headless";
    return criaFrontEndHeadless({});
}

std::unique_ptr<Sessao> completa(std::unique_ptr<Sessao> s, std::unique_ptr<FrontEnd> frente) {
    s->crt = std::make_unique<SnCrt>(std::move(frente), *s->audio, arquivoSonareIni());
    s->fala = std::make_unique<Fala>(*s->crt, *s->audio);
    // Scripted runs and tests need no word about a voice stock that is not installed.
    s->fala->avisaFaltaVoz = s->frontEnd != "headless";
    s->editor = std::make_unique<Editor>(*s->crt, *s->fala, std::make_shared<EstadoNumera>());
    return s;
}


}  // namespace

std::string despejoTela(const ModeloTela& tela) {
    std::string s;
    for (int lin = 0; lin < ModeloTela::linhas; ++lin) {
        std::string linha;
        for (int col = 0; col < ModeloTela::colunas; ++col)
            linha += static_cast<char>(tela.caractere(col, lin));
        s += win1252ParaUtf8(linha);
        s += '\n';
    }
    return s;
}

void copiaIniPadrao() {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(arquivoSonareIni(), ec))) return;
    std::string conteudo;
    if (!leArquivoInteiro(achaArquivo(raizFamilia() / "SONARE.INI"), conteudo, kMaiorIni)) return;
    fs::create_directories(diretorioWindows(), ec);
    // Whole or not at all, and never over anything that came meanwhile.
    ArquivoNovo novo(diretorioWindows(), "SONARE.INI", 0666);
    if (novo.escreve(conteudo)) novo.nomeia(diretorioWindows() / "SONARE.INI");
}

std::unique_ptr<Sessao> montaSessao(const OpcoesLinux& o, std::string& erro) {
    std::vector<TeclaRoteiro> teclas;
    if (!o.roteiro.empty()) {
        std::ifstream f(o.roteiro, std::ios::binary);
        if (!f) {
            erro = "não foi possível ler o roteiro " + o.roteiro;
            return nullptr;
        }
        std::stringstream conteudo;
        conteudo << f.rdbuf();
        Roteiro r = leRoteiro(conteudo.str());
        if (!r.erro.empty()) {
            erro = o.roteiro + ": " + r.erro;
            return nullptr;
        }
        teclas = std::move(r.teclas);
    }
    auto s = std::make_unique<Sessao>();
    AudioCaptura* captura = nullptr;
    if (!o.saidaAudio.empty()) {
        OpcoesCaptura oc;
        oc.arquivo = o.saidaAudio;
        oc.guardaBlocos = false;  // a whole session would pile up in memory
        auto c = std::make_unique<AudioCaptura>(std::move(oc));
        if (!c->gravando()) {
            erro = "não foi possível criar " + o.saidaAudio;
            return nullptr;
        }
        captura = c.get();
        s->audio = std::move(c);
    } else if (o.frontEnd == "headless" || !o.roteiro.empty()) {
        s->audio = criaAudioNulo();
    } else {
        // What the sound library says while it looks for a device is for the log; the
        // editor shows "Sem dispositivo de som" itself.
        registraBibliotecasNoLog();
        s->audio = criaAudioSistema();
        s->semSom = s->audio->semDispositivo();
        if (!s->semSom.empty()) anotaNoLog("plumar: " + s->semSom);
    }
    if (!o.registroAudio.empty()) {
        s->audio = criaAudioRegistro(std::move(s->audio), o.registroAudio);
        if (!s->audio) {
            erro = "não foi possível criar " + o.registroAudio;
            return nullptr;
        }
    }
    std::optional<std::string> clipboard;
    if (!o.clipboard.empty()) {
        std::ifstream f(o.clipboard, std::ios::binary);
        if (!f) {
            erro = "não foi possível ler " + o.clipboard;
            return nullptr;
        }
        std::stringstream conteudo;
        conteudo << f.rdbuf();
        // Written in UTF-8 with LF line ends; the program's clipboard holds Windows-1252 with CR LF.
        clipboard = quebrasCrLf(utf8ParaWin1252(conteudo.str()));
    }
    std::unique_ptr<FrontEnd> frente = escolheFrontEnd(o, std::move(teclas), s->frontEnd);
    if (clipboard && s->frontEnd == "headless") frente->copiaTexto(*clipboard);
    if (s->frontEnd == "terminal") desviaErrosParaLog();
    s = completa(std::move(s), std::move(frente));
    if (captura) {
        // Every front-end paces the capture by its clock (the headless one by its virtual
        // clock), so sounds take their time and the file lines up with the keys.
        captura->defineTempoReal(true, [crt = s->crt.get()] { return crt->agoraMs(); });
    }
    if (s->frontEnd == "window") {
        s->crt->defineAlternativa([]() -> std::unique_ptr<FrontEnd> {
            if (auto t = criaFrontEndTerminal()) return t;
            return criaFrontEndHeadless({});
        });
    }
    // Scripted runs never take a braille display from the user.
    if (s->frontEnd != "headless") s->braille = ligaBraille(*s->editor);
    if (!o.rastro.empty()) s->fala->defineRastro(o.rastro);
    if (!o.despejoTela.empty()) {
        SnCrt* crt = s->crt.get();
        std::string arquivo = o.despejoTela;
        crt->aoTerminar([crt, arquivo] {
            std::ofstream f(arquivo, std::ios::binary | std::ios::trunc);
            f << despejoTela(crt->tela());
        });
    }
    return s;
}

std::unique_ptr<Sessao> montaSessaoHeadless(std::string_view teclas) {
    Roteiro r = leRoteiro(teclas);
    auto s = std::make_unique<Sessao>();
    s->frontEnd = "headless";
    s->audio = criaAudioNulo();
    return completa(std::move(s), criaFrontEndHeadless(std::move(r.teclas)));
}
