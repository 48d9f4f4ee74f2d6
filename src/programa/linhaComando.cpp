#include "programa/linhaComando.h"

#include <string_view>

#include "platform/texto.h"

namespace {

// "--name=value": the value when `arg` is that option.
std::optional<std::string> valorDe(std::string_view arg, std::string_view nome) {
    if (arg.substr(0, nome.size()) != nome || arg.size() <= nome.size() || arg[nome.size()] != '=')
        return std::nullopt;
    return std::string(arg.substr(nome.size() + 1));
}

int valorHexa(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%XX" escapes decoded; a broken escape, or one that would put a NUL in a file name, stays
// as it was written.
std::string semEscapes(std::string_view s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        const int alto = s[i] == '%' && i + 2 < s.size() ? valorHexa(s[i + 1]) : -1;
        const int baixo = alto >= 0 ? valorHexa(s[i + 2]) : -1;
        if (baixo < 0 || (alto == 0 && baixo == 0)) {
            r += s[i];
            continue;
        }
        r += static_cast<char>(alto * 16 + baixo);
        i += 2;
    }
    return r;
}

}  // namespace

std::optional<std::string> caminhoDeEndereco(std::string_view arg, std::string& erro) {
    constexpr std::string_view kEsquema = "file://";
    if (!comecaSemCaixa(arg, kEsquema)) return std::nullopt;
    std::string_view resto = arg.substr(kEsquema.size());
    resto = resto.substr(0, resto.find_first_of("?#"));
    const size_t barra = resto.find('/');
    const std::string_view maquina = resto.substr(0, barra);
    if (barra == std::string_view::npos || (!maquina.empty() && !igualSemCaixa(maquina, "localhost"))) {
        erro = "só arquivos desta máquina: " + std::string(arg);
        return std::nullopt;
    }
    return semEscapes(resto.substr(barra));
}

OpcoesLinux separaOpcoes(const std::vector<std::string>& argumentos) {
    OpcoesLinux o;
    for (const std::string& a : argumentos) {
        if (a.rfind("--", 0) != 0) {
            // The desktop may hand the file over as a file:// address.
            std::string erro;
            std::optional<std::string> caminho = caminhoDeEndereco(a, erro);
            if (!erro.empty() && o.erro.empty()) o.erro = erro;
            o.resto.push_back(caminho ? *caminho : a);
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
           "  --help, --version\n"
           "O arquivo pode vir como endereço file://. Mais em: man plumar\n";
}
