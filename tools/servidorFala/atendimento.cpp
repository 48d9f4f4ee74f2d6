#include "servidorFala/atendimento.h"

#include <chrono>
#include <cstdio>

#include "platform/codigos.h"
#include "platform/ligacaoLocal.h"
#include "platform/sinais.h"

namespace {

std::optional<std::string> valor(std::string_view arg, std::string_view nome) {
    if (arg.substr(0, nome.size()) != nome || arg.size() == nome.size()) return std::nullopt;
    return std::string(arg.substr(nome.size()));
}

}  // namespace

std::optional<OpcoesServidorFala> leOpcoesServidorFala(int argc, char** argv, int& saida) {
    OpcoesServidorFala o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (auto v = valor(a, "--aplicacao=")) {
            o.aplicacao = *v;
        } else if (auto t = valor(a, "--topico=")) {
            o.topico = *t;
        } else if (auto s = valor(a, "--audio-out=")) {
            o.saidaAudio = *s;
        } else {
            std::printf("uso: sonare-servidor-fala [--aplicacao=MONOLOG] [--topico=TALK] "
                        "[--audio-out=ARQUIVO.wav]\n"
                        "Lê em voz alta cada bloco que o PLUMAR envia (Ctrl+B S).\n");
            saida = a == "--help" ? 0 : 2;
            return std::nullopt;
        }
    }
    return o;
}

std::string textoFalado(const std::string& dados) {
    std::string s = dados.substr(0, dados.find('\0'));
    for (char& c : s)
        if (c == '\r') c = ' ';
    return s;
}

int atendeBlocos(const OpcoesServidorFala& o,
                 const std::function<void(std::string_view texto)>& fala) {
    ligacao::Servidor servidor;
    if (std::string erro = servidor.abre(utf8ParaWin1252(o.aplicacao), utf8ParaWin1252(o.topico));
        !erro.empty()) {
        std::fprintf(stderr, "sonare-servidor-fala: %s\n", erro.c_str());
        return 1;
    }
    instalaSinaisFim();
    std::printf("sonare-servidor-fala: atendendo %s/%s em %s\n", o.aplicacao.c_str(),
                o.topico.c_str(), servidor.endereco().string().c_str());
    std::fflush(stdout);
    while (sinalFim() == 0)
        if (auto entrega = servidor.atende(std::chrono::milliseconds(300)))
            fala(textoFalado(entrega->dados));
    return 0;
}
