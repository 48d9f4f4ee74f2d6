#include "console/montagem.h"

#include <fstream>
#include <sstream>

#include "platform/codigos.h"
#include "platform/frontEnds.h"
#include "platform/ini.h"
#include "platform/roteiroTeclas.h"

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
    if (o.frontEnd.empty() || o.frontEnd == "terminal" || o.frontEnd == "window") {
        if (auto terminal = criaFrontEndTerminal()) {
            escolhido = "terminal";
            return terminal;
        }
    }
    escolhido = "headless";
    return criaFrontEndHeadless({});
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

std::unique_ptr<Plataforma> montaPlataforma(const OpcoesLinux& o, std::string& erro) {
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
    auto p = std::make_unique<Plataforma>();
    std::unique_ptr<FrontEnd> frente = escolheFrontEnd(o, std::move(teclas), p->frontEnd);
    if (!o.saidaAudio.empty())
        p->audio = criaAudioCaptura(o.saidaAudio);
    else if (p->frontEnd == "headless")
        p->audio = criaAudioNulo();
    else
        p->audio = criaAudioSistema();
    p->crt = std::make_unique<SnCrt>(std::move(frente), *p->audio, arquivoSonareIni());
    if (!o.despejoTela.empty()) {
        SnCrt* crt = p->crt.get();
        std::string arquivo = o.despejoTela;
        crt->aoTerminar([crt, arquivo] {
            std::ofstream f(arquivo, std::ios::binary | std::ios::trunc);
            f << despejoTela(crt->tela());
        });
    }
    return p;
}
