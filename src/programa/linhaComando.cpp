#include "programa/linhaComando.h"

#include <string_view>

namespace {

// "--name=value": the value when `arg` is that option.
std::optional<std::string> valorDe(std::string_view arg, std::string_view nome) {
    if (arg.substr(0, nome.size()) != nome || arg.size() <= nome.size() || arg[nome.size()] != '=')
        return std::nullopt;
    return std::string(arg.substr(nome.size() + 1));
}

}  // namespace

OpcoesLinux separaOpcoes(const std::vector<std::string>& argumentos) {
    OpcoesLinux o;
    for (const std::string& a : argumentos) {
        if (a.rfind("--", 0) != 0) {
            o.resto.push_back(a);
            continue;
        }
        if (a == "--help") o.ajuda = true;
        else if (a == "--version") o.versao = true;
        else if (auto v = valorDe(a, "--frontend")) o.frontEnd = *v;
        else if (auto v = valorDe(a, "--keys")) o.roteiro = *v;
        else if (auto v = valorDe(a, "--trace")) o.rastro = *v;
        else if (auto v = valorDe(a, "--screen-dump")) o.despejoTela = *v;
        else if (auto v = valorDe(a, "--audio-out")) o.saidaAudio = *v;
        else if (auto v = valorDe(a, "--clipboard")) o.clipboard = *v;
        else if (auto v = valorDe(a, "--audio-raw")) o.registroAudio = *v;
        else if (o.erro.empty()) o.erro = "opção desconhecida: " + a;
    }
    if (o.erro.empty() && !o.frontEnd.empty() && o.frontEnd != "window" &&
        o.frontEnd != "terminal" && o.frontEnd != "headless")
        o.erro = "--frontend deve ser window, terminal ou headless";
    if (o.erro.empty() && !o.roteiro.empty() && o.frontEnd.empty()) o.frontEnd = "headless";
    return o;
}

std::string textoAjuda() {
    return "uso: plumar [/L | /D] [arquivo] [opções]\n"
           "  /L                  abre só para leitura: sem boas-vindas, Esc sai logo\n"
           "  /D                  como /L, convertendo o arquivo da página de código do DOS\n"
           "  --frontend=window|terminal|headless\n"
           "                      janela (padrão com tela gráfica), terminal ou sem tela\n"
           "  --keys=ROTEIRO      digita as teclas do roteiro (sem tela)\n"
           "  --trace=ARQUIVO     grava o que é falado, uma linha por fala\n"
           "  --screen-dump=ARQ   grava as 80 x 25 posições da tela ao sair\n"
           "  --audio-out=ARQ.wav grava todo o som tocado\n"
           "  --clipboard=ARQ     (sem tela) a área de transferência começa com o texto de ARQ\n"
           "  --audio-raw=ARQ     grava cada bloco de som como chegou, sem conversão\n"
           "  --help, --version\n";
}
