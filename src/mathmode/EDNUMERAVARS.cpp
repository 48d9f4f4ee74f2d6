#include "mathmode/EDNUMERAVARS.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "editor/commands/edCalcul.h"
#include "editor/editor.h"
#include "platform/arquivoNovo.h"
#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"

namespace fs = std::filesystem;

const std::array<std::string_view, 30> palavrasChave = {
    "BEGIN", "END", "IF", "FOR", "WHILE", "GOTO",
    "CONTINUE", "SAVECONSTANT", "DELETECONSTANT", "STEPRESULT", "VARRESULT", "EXPRESSION",
    "COMMENT", "DECIMAL", "EVALUATE", "PRINT", "SAVEEXPRESSION", "DELETEEXPRESSION",
    "ELSE", "PRINTER", "IMPORTTABELARO", "EXPORTTABELARO", "IMPORTTEXT", "EXPORTTEXT",
    "LABEL", "SAVEMEMORY", "READFUNCTION", "N", "READMEMORY", "IN",
};

const std::array<std::string_view, 7> prefixosTipo = {"STR", "V_N", "V_S", "M_S", "M_N", "a", "IN"};

const std::array<std::string_view, 114> nomesFuncoes = {
    "RCOS", "RSIN", "RTAN", "LN", "EXP", "NEG", "RATAN", "SQR",
    "SQRT", "ABS", "ROUND", "TRUNC", "FRAC", "INT", "ROOT", "POW",
    "RACOS", "RASIN", "RCOT", "RSEC", "RCSC", "RCOSH", "RTANH", "RCOTH",
    "RSECH", "RCSCH", "RACOT", "RASEC", "RACSC", "RACOSH", "RASINH", "RATANH",
    "RASECH", "RACSCH", "RSINH", "INC", "DEC", "DCOS", "DSIN", "DTAN",
    "DATAN", "DACOS", "DASIN", "DCOT", "DSEC", "DCSC", "DCOSH", "DTANH",
    "DCOTH", "DSECH", "DCSCH", "DACOT", "DASEC", "DACSC", "DACOSH", "DASINH",
    "DATANH", "DASECH", "DACSCH", "DSINH", "RACOTH", "DACOTH", "LOGB", "M_IN",
    "M_FT", "M_YD", "IN_M", "FT_M", "YD_M", "KG_OZ", "KG_LB", "KG_TN",
    "OZ_KG", "LB_KG", "TN_KG", "L_OZ", "L_GAL", "OZ_L", "GAL_L", "ATM_BAR",
    "ATM_KPA", "ATM_PSI", "ATM_TORR", "BAR_ATM", "KPA_ATM", "PSI_ATM", "TORR_ATM", "W_HP",
    "W_CALS", "HP_W", "CALS_W", "MS_FTS", "MS_KN", "MS_MPH", "MS_KPH", "FTS_MS",
    "KN_MS", "MPH_MS", "KPH_MS", "N_DYN", "N_JM", "N_KIN", "DYN_N", "JM_N",
    "KIN_N", "DC_DK", "DC_DF", "DK_DC", "DF_DC", "DK_DF", "DF_DK", "D_RAD",
    "RAD_D", "LOG",
};

const std::array<std::string_view, 29> prefixosComando = {
    "\\FOR{", "\\WHILE{", "\\IF{", "\\VARRESULT{", "\\BEGIN",
    "\\END", "\\CONTINUE", "\\GOTO{", "\\VARIABLES{", "\\EXPRESSION{",
    "\\SAVECONSTANT{", "\\DELETECONSTANT{", "\\STEPRESULT{", "\\NOP;", "\\DECIMAL{",
    "\\EVALUATE{", "\\PRINT{", "\\SAVEEXPRESSION{", "\\DELETEEXPRESSION{", "\\ELSE",
    "\\PRINTER{", "\\IMPORTTABELARO{", "\\EXPORTTABELARO{", "\\IMPORTTEXT{", "\\EXPORTTEXT{",
    "\\SAVEMEMORY{", "\\TEMP", "\\N", "\\READMEMORY{",
};

const std::array<std::string_view, 6> operadoresComparacao = {"<=", ">=", "<>", "=", "<", ">"};

const std::array<std::string_view, 120> textosErroNumera = {
    "#E00 Erro: Comando n\xE3o encontrado.",
    "#E01 Erro: Comando n\xE3o encontrado.",
    "#E02 Erro: Caractere \x93;\x94, n\xE3o encontrado no final da linha.",
    "#E03 Erro: Comando BEGIN n\xE3o permitido, ele j\xE1 foi definido.",
    "#E04 Erro: Comando BEGIN n\xE3o encontrado no inicio do programa.",
    "#E05 Erro do sistema.",
    "#E06 Erro: Caractere n\xE3o permitido na express\xE3o.",
    "#E07 Erro: Vari\xE1vel n\xE3o v\xE1lida, caractere num\xE9rico n\xE3o permitido no inicio da vari\xE1vel.",
    "#E08 Erro: Vari\xE1vel n\xE3o v\xE1lida, caractere num\xE9rico n\xE3o permitido no inicio da vari\xE1vel.",
    "#E09 Erro: Vari\xE1vel n\xE3o v\xE1lida, caractere n\xE3o permitido.",
    "#E10 Erro: Seq\xFC\xEAncia de caracteres n\xE3o permitidos na express\xE3o.",
    "#E11 Erro: Express\xE3o n\xE3o v\xE1lida, caractere \x93(\x93, n\xE3o encontrado.",
    "#E12 Erro: Express\xE3o n\xE3o v\xE1lida, caractere \x93)\x93, n\xE3o encontrado.",
    "#E13 Erro: Comando FOR, n\xE3o v\xE1lido, operador \x93=\x94, n\xE3o encontrado.",
    "#E14 Erro: Comando FOR, n\xE3o v\xE1lido, operador \x93:\x94, n\xE3o encontrado.",
    "#E15 Erro: Comando FOR, n\xE3o v\xE1lido, par\xE2metro vari\xE1vel, n\xE3o encontrado.",
    "#E16 Erro: Comando FOR, n\xE3o v\xE1lido, inicio do contador n\xE3o encontrado.",
    "#E17 Erro: Comando FOR, n\xE3o v\xE1lido, final do contador n\xE3o encontrado.",
    "#E18 Erro: Comando WHILE, n\xE3o v\xE1lido, operador de compara\xE7\xE3o n\xE3o encontrado.",
    "#E19 Erro: Comando WHILE, n\xE3o v\xE1lido, primeira express\xE3o de compara\xE7\xE3o, n\xE3o encontrada.",
    "#E20 Erro: Comando WHILE, n\xE3o v\xE1lido, segunda express\xE3o de compara\xE7\xE3o, n\xE3o encontrada.",
    "#E21 Erro: Comando IF, n\xE3o v\xE1lido, operador de compara\xE7\xE3o, n\xE3o encontrado.",
    "#E22 Erro: Comando IF, n\xE3o v\xE1lido, primeira express\xE3o de compara\xE7\xE3o, n\xE3o encontrada.",
    "#E23 Erro: Comando IF, n\xE3o v\xE1lido, segunda express\xE3o de compara\xE7\xE3o, n\xE3o encontrada.",
    "#E24 Erro: Comando n\xE3o v\xE1lido, caractere n\xE3o permitido.",
    "#E25 Erro: Comando n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres \x93, ,\x93, n\xE3o permitida.",
    "#E26 Erro: Comando n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres \x93{ ,\x93, n\xE3o permitida.",
    "#E27 Erro: Comando n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres \x93, }\x93, n\xE3o permitida.",
    "#E28 Erro: Comando VARRESULT, n\xE3o v\xE1lido, par\xE2metros n\xE3o definidos.",
    "#E29 Erro: Express\xE3o n\xE3o v\xE1lida, operador \x93=\x94, n\xE3o encontrado.",
    "#E30 Erro: Express\xE3o n\xE3o v\xE1lida, vari\xE1vel dependente n\xE3o encontrada.",
    "#E31 Erro: Express\xE3o n\xE3o v\xE1lida, seq\xFC\xEAncia de caracteres, \x93= ,\x94, n\xE3o permitida.",
    "#E32 Erro: Express\xE3o n\xE3o v\xE1lida, seq\xFC\xEAncia de caracteres, \x93, ;\x94, n\xE3o permitida.",
    "#E33 Erro: Express\xE3o n\xE3o v\xE1lida, seq\xFC\xEAncia de caracteres n\xE3o permitida.",
    "#E34 Erro: Comando SAVECONSTANT, n\xE3o v\xE1lido, par\xE2metros n\xE3o definidos.",
    "#E35 Erro: Comando STEPRESULT n\xE3o v\xE1lido, o par\xE2metro est\xE1 errado.",
    "#E36 Erro: Etiqueta n\xE3o v\xE1lida, etiqueta n\xE3o definida.",
    "#E37 Erro: Etiqueta n\xE3o v\xE1lida, caractere n\xE3o permitido.",
    "#E38 Erro: Etiqueta n\xE3o v\xE1lida, caractere num\xE9rico n\xE3o permitido no inicio da etiqueta.",
    "#E39 Erro: Etiqueta n\xE3o v\xE1lida, a etiqueta j\xE1 foi definida.",
    "#E40 Erro: Comando GOTO, n\xE3o v\xE1lido, caractere n\xE3o permitido.",
    "#E41 Erro: Comando GOTO, n\xE3o v\xE1lido, caractere num\xE9rico n\xE3o permitido no inicio do par\xE2metro.",
    "#E42 Erro: Comando GOTO, n\xE3o v\xE1lido, etiqueta n\xE3o encontrada.",
    "#E43 Erro: Express\xE3o n\xE3o v\xE1lida, vari\xE1vel desconhecida.",
    "#E44 Erro: Comando VARRESULT n\xE3o v\xE1lido, vari\xE1vel n\xE3o encontrada.",
    "#E45 Erro: Comando SAVECONSTANT n\xE3o v\xE1lido, vari\xE1vel n\xE3o encontrada.",
    "#E46 Erro: Comando DELETECONSTANT n\xE3o v\xE1lido, vari\xE1vel n\xE3o encontrada.",
    "#E47 Perigo: Loop infinito ou fora de rango no ciclo WHILE.",
    "#E48 Erro: Comando CONTINUAR, n\xE3o v\xE1lido. o comando j\xE1 foi definido.",
    "#E49 Erro: Bloco de instru\xE7\xF5" "es n\xE3o v\xE1lido, comando CONTINUE, n\xE3o encontrado.",
    "#E50 Perigo: Loop infinito ou fora de rango no desvio GOTO.",
    "#E51 Erro: Comando GOTO, n\xE3o v\xE1lido, par\xE2metros n\xE3o definidos.",
    "#E52 Erro: Comando DELETEEXPRESSION n\xE3o v\xE1lido, vari\xE1vel n\xE3o encontrada.",
    "#E53 Erro: Vari\xE1vel n\xE3o v\xE1lida, palavra ou constante reservada pelo sistema.",
    "#E54 Erro: Express\xE3o n\xE3o v\xE1lida, express\xE3o n\xE3o definida.",
    "#E55 Erro: Comando END, n\xE3o encontrado no final do programa.",
    "#E56 Erro: Comando DECIMAL n\xE3o v\xE1lido, o par\xE2metro est\xE1 errado.",
    "#E57 Erro: Comando DECIMAL, n\xE3o v\xE1lido, par\xE2metros n\xE3o definidos.",
    "#E58 Erro: Comando FOR, n\xE3o v\xE1lido, o inicio do contador, tem que ser maior ao final do contador.",
    "#E59 Erro: Divis\xE3o por 0.",
    "#E60 Erro: Comando EVALUATE, n\xE3o v\xE1lido, fun\xE7\xE3o n\xE3o definida.",
    "#E61 Erro: Comando EVALUATE, n\xE3o v\xE1lido, valor inicial n\xE3o definido.",
    "#E62 Erro: Comando EVALUATE, n\xE3o v\xE1lido, valor final n\xE3o definido.",
    "#E63 Erro: Comando EVALUATE, n\xE3o v\xE1lido, incremento n\xE3o definido.",
    "#E64 Erro: Comando EVALUATE, n\xE3o v\xE1lido, vari\xE1vel independente n\xE3o definida.",
    "#E65 Erro: Comando EVALUATE, n\xE3o v\xE1lido, tem que ser de tipo num\xE9rico.",
    "#E66 Erro: O valor final do comando evaluar, tem que ser de tipo num\xE9rico.",
    "#E67 Erro: o incremento do comando evaluar, tem que ser de tipo num\xE9rico .",
    "#E68 Erro: Comando EVALUATE, n\xE3o v\xE1lido, o valor inicial tem que ser menor ao valor final.",
    "#E69 Erro: Comando EVALUATE, o incremento tem que ser maior a zero.",
    "#E70 Erro: o par\xE2metro de filtrado de resultado do comando evaluar, tem que ser de tipo num\xE9rico .",
    "#E71 Erro: Express\xE3o n\xE3o v\xE1lida, express\xE3o n\xE3o definida.",
    "#E72 Erro: Comando SAVEEXPRESSION, n\xE3o v\xE1lido, operador \x93=\x94, n\xE3o encontrado.",
    "#E73 Erro: Comando SAVEEXPRESSION, n\xE3o v\xE1lido, vari\xE1vel dependente n\xE3o definida.",
    "#E74 Erro: Comando SAVEEXPRESSION, n\xE3o v\xE1lido, express\xE3o n\xE3o definida.",
    "#E75 Erro: Comando PRINT, n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres, \x93{ +\x94, n\xE3o permitida.",
    "#E76 Erro: Comando PRINT, n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres, \x93+ }\x94, n\xE3o permitida.",
    "#E77 Erro: Comando PRINT, n\xE3o v\xE1lido, vari\xE1vel n\xE3o encontrada.",
    "#E78 Erro: Comando PRINT, n\xE3o v\xE1lido, par\xE2metros n\xE3o definidos.",
    "#E79 Erro: Comando PRINT, n\xE3o v\xE1lido, seq\xFC\xEAncia de caracteres, \x93 \x93\x94 \x94, n\xE3o permitida .",
    "#E80 Erro: Comando n\xE3o v\xE1lido, arquivo n\xE3o encontrado.",
    "#E81 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro coluna tem que ser maior a 0.",
    "#E82 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila tem que ser maior a 0.",
    "#E83 Erro. variavle imprimir tabelaro nao encontrada 0 .",
    "#E84 Erro. variavle importar tabelaro nao encontrada 2 .",
    "#E85 Erro. variavle importar tabelaro nao encontrada 0 .",
    "#E86 Erro: Comando EXPORTTABELARO n\xE3o v\xE1lido, par\xE2metro coluna n\xE3o encontrado.",
    "#E87 Erro: Comando EXPORTTABELARO n\xE3o v\xE1lido, par\xE2metro fila n\xE3o encontrado.",
    "#E88 Erro. dato a gravar exportar tabelaro nao encontrada 0 .",
    "#E89 Erro: Dado importado de tipo texto, n\xE3o compat\xEDvel com vari\xE1veis de tipo num\xE9rico.",
    "#E90 Erro: Vari\xE1vel tipo \xEDndice n\xE3o encontrada.",
    "#E91 Erro: Vari\xE1vel tipo \xEDndice n\xE3o v\xE1lida.",
    "#E92 Erro. parametro variavle tem que ser um vector o una matriz .",
    "#E93 Erro: Dado importado de tipo texto, n\xE3o compat\xEDvel com vector de tipo num\xE9rico.",
    "#E94 Erro: Dado importado de tipo texto, n\xE3o compat\xEDvel com matriz de tipo num\xE9rico.",
    "#E95 Erro: Vari\xE1vel n\xE3o v\xE1lida, \xE9 necess\xE1rio utilizar uma vari\xE1vel tipo vector ou matriz.",
    "#E96 Erro: Comando n\xE3o v\xE1lido, par\xE2metro mal definido.",
    "#E97 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro coluna inicial tem que ser maior a zero.",
    "#E98 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro coluna final tem que ser maior a zero.",
    "#E99 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila inicial tem que ser maior a zero.",
    "#E100 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila final tem que ser maior a zero.",
    "#E101 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro coluna inicial tem que ser maior ao par\xE2metro coluna final .",
    "#E102 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila inicial tem que ser maior ao par\xE2metro fila final .",
    "#E103 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro coluna tem que ser maior a zero.",
    "#E104 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila inicial tem que ser maior a zero.",
    "#E105 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila final tem que ser maior a zero.",
    "#E106 Erro: Comando n\xE3o v\xE1lido, o par\xE2metro fila inicial tem que ser maior ao par\xE2metro fila final.",
    "#E107 Erro: Comando n\xE3o valido, par\xE2metro coluna mal definido.",
    "#E108 Erro: Comando n\xE3o valido, par\xE2metro fila inicial mal definido.",
    "#E109 Erro: Comando n\xE3o valido, par\xE2metro fila final mal definido.",
    "#E110 Erro: Comando n\xE3o valido, vari\xE1vel de armazenamento n\xE3o valida .",
    "#E111 Erro: Comando n\xE3o v\xE1lido, par\xE2metros incompletos.",
    "#E112 Erro: \xCDndice do vector n\xE3o valido.",
    "#E113 Erro: \xCDndice da matriz n\xE3o valido.",
    "#E114 Erro: Comando n\xE3o valido, par\xE2metro coluna inicial mal definido.",
    "#E115 Erro: Comando n\xE3o valido, par\xE2metro coluna final mal definido.",
    "#E116 Erro: Comando n\xE3o valido, par\xE2metro fila mal definido.",
    "#E117 Erro: Comando n\xE3o valido, par\xE2metro overwrite mal definido .",
    "#E118 Erro: Execu\xE7\xE3o abortada pelo usu\xE1rio.",
    "#E119 Erro: Raiz negativa",
};

int indiceFuncao(std::string_view nome) {
    const auto* it = std::find(nomesFuncoes.begin(), nomesFuncoes.end(), nome);
    return it == nomesFuncoes.end() ? -1 : static_cast<int>(it - nomesFuncoes.begin());
}

std::vector<std::string> linhasErroNumera(const EstadoNumera& estado) {
    std::vector<std::string> linhas{std::string(textosErroNumera[static_cast<size_t>(estado.codigoErro)])};
    if (!estado.parametroErro.empty())
        linhas.push_back("Par\xE2metro err\xF4neo: " + estado.parametroErro);
    if (!estado.notaErro.empty()) linhas.push_back(estado.notaErro);
    linhas.push_back("Linha: " + std::to_string(estado.linhaErro));
    return linhas;
}

bool digitoNumera(char c) { return c >= '0' && c <= '9'; }
bool letraNumera(char c) { return c >= 'A' && c <= 'Z'; }
bool caractereDeNome(char c) {
    return digitoNumera(c) || letraNumera(c) || c == '[' || c == ']' || c == '_' || c == 'a';
}

bool numeroEscrito(std::string_view s, char separador) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    size_t digitos = 0;
    while (i < s.size() && digitoNumera(s[i])) ++i, ++digitos;
    if (i < s.size() && s[i] == separador)
        for (++i; i < s.size() && digitoNumera(s[i]); ++i) ++digitos;
    if (digitos == 0) return false;
    if (i < s.size() && s[i] == 'E') {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        const size_t inicio = i;
        while (i < s.size() && digitoNumera(s[i])) ++i;
        if (i == inicio) return false;
    }
    return i == s.size();
}

bool nomeDeTexto(std::string_view nome) {
    return nome.starts_with("STR") || nome.starts_with("V_S") || nome.starts_with("M_S");
}

std::vector<std::string> separaCampos(std::string_view texto, char separador) {
    std::vector<std::string> partes;
    size_t inicio = 0;
    for (;;) {
        const size_t p = texto.find(separador, inicio);
        partes.emplace_back(texto.substr(inicio, p - inicio));
        if (p == std::string_view::npos) return partes;
        inicio = p + 1;
    }
}

bool cortaNoPrimeiro(std::string_view s, char separador, std::string_view& antes,
                     std::string_view& depois) {
    const size_t p = s.find(separador);
    if (p == std::string_view::npos) return false;
    antes = s.substr(0, p);
    depois = s.substr(p + 1);
    return true;
}

void inicializaTabelas(Editor& e) {
    EstadoNumera& n = e.numera;
    n.versaoNumera = "1.0";
    n.estadoNumera = 1;
    n.mapaLinhas.fill(0);
}

fs::path arquivoNumeraEscrita(std::string_view nome) {
    return diretorioWindows() / "COMANDOS" / "CONFIG" / std::string(nome);
}

fs::path arquivoNumeraLeitura(const Editor& e, std::string_view nome) {
    std::error_code ec;
    fs::path escrito = arquivoNumeraEscrita(nome);
    if (fs::is_regular_file(escrito, ec)) return escrito;
    return arquivoWindows(e.ed.diretorioMensagens + "\\COMANDOS\\CONFIG\\" + std::string(nome));
}

std::vector<std::string> leLinhasNumera(const fs::path& arquivo) {
    std::vector<std::string> linhas;
    std::ifstream f(arquivo, std::ios::binary);
    std::string l;
    while (std::getline(f, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        linhas.push_back(std::move(l));
    }
    return linhas;
}

bool gravaLinhasNumera(std::string_view nome, const std::vector<std::string>& linhas) {
    const fs::path arquivo = arquivoNumeraEscrita(nome);
    std::error_code ec;
    fs::create_directories(arquivo.parent_path(), ec);
    std::string bytes;
    for (const std::string& l : linhas) bytes += l + "\r\n";
    return gravaArquivoInteiro(arquivo, bytes);
}

bool esvaziaArquivo(std::string_view nome) { return gravaLinhasNumera(nome, {std::string()}); }

// ---------------------------------------------------------------- the exchange files

std::optional<fs::path> arquivoTroca(const Editor& e, std::string_view nome, std::string_view extensao) {
    if (nome.empty() || nome.find_first_of("/\\:") != std::string_view::npos || nome == "." || nome == "..")
        return std::nullopt;
    std::error_code ec;
    fs::path pasta = e.ed.nomeArquivo.empty() ? fs::current_path(ec)
                                              : fs::path(mapeiaCaminho(e.ed.nomeArquivo)).parent_path();
    if (pasta.empty()) pasta = ".";
    fs::path arquivo = achaArquivo(pasta / (std::string(nome) + std::string(extensao)));
    if (fs::is_symlink(fs::symlink_status(arquivo, ec))) {
        const fs::path destino = fs::weakly_canonical(arquivo, ec);
        if (ec) return std::nullopt;
        const fs::path base = fs::weakly_canonical(pasta, ec);
        if (ec || destino.parent_path() != base) return std::nullopt;
        arquivo = destino;
    }
    if (entradaArquivo(arquivo) == Entrada::Estranha) return std::nullopt;
    return arquivo;
}

std::optional<std::vector<std::string>> leLinhasTroca(const fs::path& arquivo) {
    const std::optional<std::string> lidos = conteudoProprio(arquivo);
    if (!lidos) return std::nullopt;
    const std::string& dados = *lidos;
    std::vector<std::string> linhas;
    for (size_t inicio = 0; inicio < dados.size();) {
        size_t fim = dados.find('\n', inicio);
        if (fim == std::string::npos) fim = dados.size();
        std::string l = dados.substr(inicio, fim - inicio);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        linhas.push_back(std::move(l));
        inicio = fim + 1;
    }
    return linhas;
}

bool gravaLinhasTroca(const fs::path& arquivo, const std::vector<std::string>& linhas) {
    if (entradaArquivo(arquivo) == Entrada::Estranha) return false;
    std::string dados;
    for (const std::string& l : linhas) dados.append(l).append("\r\n");
    // Made anew, exclusively, under a name of its own: nothing planted there is written through.
    ArquivoNovo novo(arquivo.parent_path(), arquivo.filename().string(), 0666);
    novo.copiaPermissoes(arquivo);
    return novo.escreve(dados) && novo.substitui(arquivo);
}

char separadorDecimal(Editor& e) {
    const char configurado = separadorDecimalConfigurado(e);
    return configurado ? configurado : separadorDecimal();
}

char separadorDecimal() { return separadorDecimalLocal(); }

// ---------------------------------------------------------------- the input field

namespace {

constexpr int kLinhaPergunta = 22, kLinhaCampo = 23, kColunaCampo = 2;
constexpr int kBranco = 15, kVermelho = 4;

void desenhaCampo(SnCrt& crt, const std::string& texto, int cursor) {
    crt.TextColor(kBranco);
    crt.TextBackground(kVermelho);
    crt.GotoXY(kColunaCampo, kLinhaCampo);
    crt.escreve(std::string(65, ' '));
    crt.GotoXY(kColunaCampo, kLinhaCampo);
    std::string visivel = texto;
    for (char& c : visivel)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    crt.escreve(visivel);
    crt.TextBackground(0);
    crt.GotoXY(cursor, kLinhaCampo);
}

}  // namespace

void mostraPerguntaNumera(Editor& e, std::string_view pergunta) {
    SnCrt& crt = e.crt;
    crt.TextColor(kBranco);
    crt.TextBackground(0);
    for (int linha : {kLinhaPergunta, kLinhaCampo}) {
        crt.GotoXY(1, linha);
        crt.escreve(std::string(SnCrt::kColunas, ' '));
    }
    crt.TextBackground(kVermelho);
    crt.GotoXY(kColunaCampo, kLinhaPergunta);
    crt.escreve(pergunta.substr(0, SnCrt::kColunas - kColunaCampo));
    crt.TextBackground(0);
}

std::string leLinhaNumera(Editor& e, std::string_view nomeVariavel) {
    SnCrt& crt = e.crt;
    std::string texto;
    int cursor = kColunaCampo;  // screen column; text position cursor - 2
    for (;;) {
        desenhaCampo(crt, texto, cursor);
        const uint8_t c = crt.leTecla();
        if (c == 13) return texto;
        if (c == 27) return {};
        const size_t pos = static_cast<size_t>(cursor - kColunaCampo);
        if (c == 0) {
            const uint8_t scan = crt.leTecla();
            if (scan == 75 && cursor > kColunaCampo) {
                --cursor;
                e.fala.falaLetra(static_cast<uint8_t>(texto[pos - 1]));
            } else if (scan == 77 && pos < texto.size()) {
                e.fala.falaLetra(static_cast<uint8_t>(texto[pos]));
                ++cursor;
            } else if (scan == 59) {
                e.fala.tocaSom("\\COMANDOS\\PARAMETROS\\P110");
            }
            e.fala.soletra(nomeVariavel);
        } else if (c == 8) {
            if (cursor > kColunaCampo) {
                texto.erase(pos - 1, 1);
                --cursor;
                e.fala.tocaSom("\\COMANDOS\\PALABRAS\\P13");
            }
        } else if (c >= 32 && c != 127 && c != 222 && c != 223) {
            e.fala.falaLetra(c);
            if (texto.size() <= 70 && cursor < 67) {
                texto.insert(pos, 1, static_cast<char>(c));
                ++cursor;
            }
        }
    }
}
