#include "editor/edAjuda.h"

#include <span>

namespace {

// Texts are Windows-1252.
struct ListaAjuda {
    std::string_view prefixo;
    std::span<const std::string_view> linhas;
};

// clang-format off
constexpr std::string_view kEDAJIN[] = {
    "Sao os seguintes:",
    "  C - comandos de cursor",
    "  L - linha",
    "  P - procura de textos",
    "  M - margem",
    "  A - arquivos",
    "  B - blocos de linhas",
    "  F - acionamento da fala",
    "  I - instalacao",
    "  E - letras especiais",
    "  W - tratamento Word",
    "  Z - desfaz a ultima alteracao (Ctrl+Z)",
    "  R - refaz o que foi desfeito (Alt+Z)",
};
constexpr std::string_view kEDAJFW[] = {
    "Os comandos de tratamento Word s\xE3o",
    "  F - insere marcas de formata\xE7\xE3o",
    "  I - informa formata\xE7\xE3o no cursor",
    "  G - gera arquivo DOC",
    "  O - Ocultar formata\xE7\xE3o na tela",
    "  M - modos de falar formata\xE7\xE3o",
};
constexpr std::string_view kEDAJLI[] = {
    "Os comandos de linha sao:",
    "  I - insere uma linha acima",
    "  A - insere uma linha abaixo",
    "  R - remove linha",
    "  V - volta linha removida",
    "  Q - quebra linha em duas",
    "  J - junta duas linhas",
    "  E - exclui linhas com o texto",
    "  S - insere no in\xED" "cio da linha",
    "  D - insere no fim da linha",
};
constexpr std::string_view kEDAJCU[] = {
    "Os comandos de cursor sao:",
    "  - - inicio do texto",
    "  + - fim do texto",
    "  A - avan\xE7" "a paragrafo",
    "  R - recua paragrafo",
    "  P - posiciona em certa linha",
    "  I - apaga inicio da linha",
    "  F - apaga fim da linha",
    "  L - informa linha",
    "  C - informa coluna",
    "  M - memoriza posicao do cursor",
    "  V - volta cursor `a posicao memorizada",
    "  N - avan\xE7" "a para linha em branco",
    "  E - recua para linha em branco",
};
constexpr std::string_view kEDAJBL[] = {
    "Os comandos de bloco sao:",
    "  I - inicio do bloco",
    "  F - fim do bloco",
    "  M - move o bloco",
    "  C - copia o bloco",
    "  A - adiciona bloco a um arquivo",
    "  O - ordena o bloco",
    "  R - remove o bloco",
    "  D - desmarca o bloco",
    "  L - le arquivo gerando bloco",
    "  G - grava o bloco em arquivo",
    "  E - embeleza o bloco",
    "  P - paragrafo vira bloco",
    "  J - justifica paragrafo do cursor",
    "  S - envia para servidor de fala",
    "  V - verifica\xE7\xE3o ortogr\xE1" "fica",
    "  X - decodifica\xE7\xE3o",
    "  U - converter bloco",
    "  B - remover linhas em branco",
    "  W - transfer\xEAncia no formato do Word",
    "  T - seleciona Todo o texto",
};
constexpr std::string_view kEDAJMA[] = {
    "Os comandos de margem sao:",
    "  M - informa margens",
    "  T - nova coluna de tabulacao",
    "  R - remove todas tabulacoes",
};
constexpr std::string_view kEDAJAR[] = {
    "Os comandos de arquivos sao:",
    "  I - informa nome do arquivo",
    "  S - salva arquivo e continua",
    "  N - edita um novo arquivo",
    "  C - salva como outro arquivo",
    "  F - salva e fim",
    "  A - abandona sem gravar",
    "  X - exporta formato IBM",
};
constexpr std::string_view kEDAJBU[] = {
    "Os comandos de busca sao:",
    "  P - procura texto",
    "  N - busca de novo",
    "  T - troca palavras por outras",
};
constexpr std::string_view kEDAJFA[] = {
    "Os comandos de fala sao:",
    "  I - fala inicio da linha",
    "  L - fala resto da linha",
    "  T - fala resto do texto",
};
constexpr std::string_view kEDAJCF[] = {
    "Os comandos de configuracao sao:",
    "  F - fala",
    "  I - insercao com Enter",
    "  A - acentuacao",
    "  S - soletragem",
    "  Q - quebra de linha automatica",
    "  V - velocidade",
};
constexpr std::string_view kEDAJEM[] = {
    "Os comandos de embelezamento sao:",
    "  C - centra bloco",
    "  M - acerta margens",
    "  A - alinha com as margens",
    "  T - tabula pela esquerda o bloco",
    "  I - indenta o bloco",
};
constexpr std::string_view kEDAJDA[] = {
    "  J - justificar",
    "  C - centralizar",
    "  D - alinhar a direita",
    "  E - alinhar a esquerda",
};
constexpr std::string_view kEDAJF0[] = {
    "  F - nome da fonte",
    "  T - tamanho da fonte",
    "  C - cor da fonte",
    "  N - in\xED" "cio de negrito",
    "  CONTROL + N - fim de negrito",
    "  I - in\xED" "cio de it\xE1lico",
    "  CONTROL + I - fim de it\xE1lico",
    "  S - in\xED" "cio de sublinhado",
    "  CONTROL + S - fim de sublinhado",
};
constexpr std::string_view kEDAJMF[] = {
    "  F - fonte",
    "  A - alinhamento",
};
constexpr std::string_view kEDAJMM[] = {
    "Os comandos de mai\xFAsculas e minusculas s\xE3o:",
    "  A - mai\xFAscula",
    "  I - min\xFAscula",
    "  P - Primeira letra mai\xFAscula",
    "  U - converter para UTF-8",
    "  C - contar palavras",
};
constexpr std::string_view kEDAJFF[] = {
    "Os modos de falar a formata\xE7\xE3o s\xE3o:",
    "  N - natural",
    "  F - formata\xE7\xE3o",
    "  B - bips",
    "  M - mudo",
};
// The conversion chooser's list: the key the user presses is the command letter, so its
// case matters here.
constexpr std::string_view kEDAJCV[] = {
    "As convers\xF5" "es e fun\xE7\xF5" "es s\xE3o:",
    "  a - alqueires do norte em metros quadrados",
    "  A - alqueires mineiros em metros quadrados",
    "  b - alqueires paulistas em metros quadrados",
    "  B - cent\xEDmetros em p\xE9s",
    "  c - cent\xEDmetros em polegadas",
    "  C - cent\xEDmetros quadrados em p\xE9s quadrados",
    "  d - gal\xF5" "es em cent\xEDmetros c\xFA" "bicos",
    "  D - gal\xF5" "es em litros",
    "  e - gramas em libras",
    "  E - gramas em on\xE7" "as",
    "  f - hectares em metros quadrados",
    "  F - jardas em cent\xEDmetros",
    "  g - jardas em metros",
    "  G - jardas quadradas em metros quadrados",
    "  h - libras em gramas",
    "  H - libras em quilogramas",
    "  i - litros em quartos",
    "  I - metros em jardas",
    "  j - metros em p\xE9s",
    "  J - metros em polegadas",
    "  k - metros quadrados em jardas quadradas",
    "  K - metros quadrados em p\xE9s quadrados",
    "  l - metros por minuto em cent\xEDmetros por segundo",
    "  L - metros por minuto em p\xE9s por segundo",
    "  m - milhas em quil\xF4metros",
    "  M - milhas em n\xF3s",
    "  n - milhas quadradas em quil\xF4metros quadrados",
    "  N - milhas por hora em metros por segundo",
    "  o - milhas por hora em quil\xF4metros por hora",
    "  O - n\xF3s em quil\xF4metros por hora",
    "  p - on\xE7" "as em gramas",
    "  P - on\xE7" "as em quilogramas",
    "  q - p\xE9s em cent\xEDmetros",
    "  Q - p\xE9s por minuto em cent\xEDmetros por segundo",
    "  r - polegadas em cent\xEDmetros",
    "  R - polegadas em p\xE9s",
    "  s - quartos em litros",
    "  S - quilogramas em libras",
    "  t - quil\xF4metros em milhas",
    "  T - quil\xF4metros em p\xE9s",
    "  u - quil\xF4metros quadrados em jardas quadradas",
    "  U - quil\xF4metros quadrados em milhas quadradas",
    "  v - quil\xF4metros por hora em milhas por hora",
    "  V - quil\xF4metros por hora em p\xE9s por minuto",
    "  w - graus Fahrenheit em graus Celsius",
    "  W - graus Celsius em graus Fahrenheit",
    "  x - pot\xEAncia de um n\xFAmero",
    "  X - comprimento da circunfer\xEAncia pelo raio",
    "  y - \xE1rea do c\xEDrculo pelo raio",
    "  Y - volume da esfera pelo raio",
    "  z - logaritmo numa base",
    "  \xE1 - seno",
    "  \xC1 - cosseno",
    "  \xE9 - tangente",
    "  \xC9 - cotangente",
    "  \xED - secante",
    "  \xCD - cossecante",
    "  \xF3 - logaritmo neperiano",
    "  \xD3 - logaritmo na base 10",
    "  \xFA - logaritmo na base 2",
};
// clang-format on

constexpr ListaAjuda kListas[] = {
    {"EDAJIN", kEDAJIN}, {"EDAJFW", kEDAJFW}, {"EDAJLI", kEDAJLI}, {"EDAJCU", kEDAJCU},
    {"EDAJBL", kEDAJBL}, {"EDAJMA", kEDAJMA}, {"EDAJAR", kEDAJAR}, {"EDAJBU", kEDAJBU},
    {"EDAJFA", kEDAJFA}, {"EDAJCF", kEDAJCF}, {"EDAJEM", kEDAJEM}, {"EDAJDA", kEDAJDA},
    {"EDAJF0", kEDAJF0}, {"EDAJMF", kEDAJMF}, {"EDAJMM", kEDAJMM}, {"EDAJFF", kEDAJFF},
    {"EDAJCV", kEDAJCV},
};

const ListaAjuda* achaLista(std::string_view prefixo) {
    for (const ListaAjuda& l : kListas)
        if (l.prefixo == prefixo) return &l;
    return nullptr;
}

}  // namespace

int linhasAjuda(std::string_view prefixo) {
    const ListaAjuda* l = achaLista(prefixo);
    return l ? static_cast<int>(l->linhas.size()) : 0;
}

std::string_view textoAjuda(std::string_view prefixo, int linha) {
    const ListaAjuda* l = achaLista(prefixo);
    if (!l || linha < 1 || linha > static_cast<int>(l->linhas.size())) return {};
    return l->linhas[static_cast<size_t>(linha - 1)];
}

char letraComando(std::string_view linhaAjuda) {
    const size_t i = linhaAjuda.find_first_not_of(' ');
    return i == std::string_view::npos ? '\0' : linhaAjuda[i];
}

std::vector<TextoFalado> textosAjuda() {
    std::vector<TextoFalado> textos;
    for (const ListaAjuda& l : kListas)
        for (size_t i = 0; i < l.linhas.size(); ++i)
            textos.push_back(
                {std::string(l.prefixo) + std::to_string(i + 1), std::string(l.linhas[i])});
    return textos;
}
