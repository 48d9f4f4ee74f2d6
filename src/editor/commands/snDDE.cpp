#include "editor/commands/snDDE.h"

#include <algorithm>
#include <string>

#include "editor/edMensag.h"
#include "platform/ligacaoLocal.h"
#include "platform/texto.h"

namespace {

// The largest text sent, its final NUL included.
constexpr size_t kMaiorTexto = 65000;

std::string configuracao(Editor& e, std::string_view chave, std::string_view padrao) {
    std::string v(apara(e.fala.leIni("PLUMAR", chave)));
    if (v.empty()) v = padrao;
    return v.substr(0, 30);
}

}  // namespace

bool enviaServidorFala(std::string_view aplicacao, std::string_view topico, std::string_view item,
                       std::string_view texto) {
    std::string dados(texto);
    dados += '\0';
    return ligacao::entrega(aplicacao, topico, item, dados) == ligacao::Resultado::Entregue;
}

void enviaBlocoServidor(Editor& e) {
    const std::string servidor = configuracao(e, "SERVIDOR", "MONOLOG");
    const std::string topico = configuracao(e, "TOPICO", "TALK");
    const std::string item = configuracao(e, "ITEM", "");
    while (e.fala.falando()) e.crt.esperaTecla(10);

    const EdVars& ed = e.ed;
    size_t tamanho = 1;
    for (int i = std::max(ed.inicioBloco, 1); i <= std::min(ed.fimBloco, ed.nLinhas()); ++i)
        tamanho += ed.texto.vista(i).size() + 2;
    if (tamanho > kMaiorTexto) return falaMensagem(e, "EDGRANDE");
    std::string texto;
    texto.reserve(tamanho);
    for (int i = std::max(ed.inicioBloco, 1); i <= std::min(ed.fimBloco, ed.nLinhas()); ++i)
        (texto += ed.texto.vista(i)) += "\r\n";
    if (!enviaServidorFala(servidor, topico, item, texto)) falaMensagem(e, "EDERRSRV");
}
