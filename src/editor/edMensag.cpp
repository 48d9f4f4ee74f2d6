#include "editor/edMensag.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>

#include "editor/edtela.h"
#include "editor/listaSelecao.h"
#include "platform/caminhos.h"
#include "speech/revisaTela.h"

namespace {

struct Mensagem {
    std::string_view chave, texto;
};

// The built-in texts of the message keys (Windows-1252; trailing blanks belong to them).
// clang-format off
constexpr Mensagem kMensagens[] = {
    {"EDMSGINI", "PLUMAR - v." PLUMAR_VERSAO},
    {"EDSEMTRD", "Erro no diretorio do tradutor"},
    {"EDQUERSV", "Quer salvar o arquivo (s/n) ? "},
    {"EDFIMPRC", "Fim do PLUMAR"},
    {"EDDIGNOM", "Qual o nome do Arquivo? "},
    {"EDREESCR", "Arquivo j\xE1 existe, reescreve (s/n) ?"},
    {"EDARQGRV", "Arquivo gravado"},
    {"EDARTRUN", "Arquivo enorme foi truncado"},
    {"EDARQNOV", "Arquivo novo"},
    {"EDARQCRG", "Arquivo carregado"},
    {"EDQUERSN", "Quer salvar este texto (s/n)"},
    {"EDERRESC", "Erro de escrita no arquivo"},
    {"EDERRLEI", "Erro de leitura no arquivo"},
    {"EDOPRINV", "Opera\xE7\xE3o inv\xE1lida"},
    {"EDLINHA", "Linha: "},
    {"EDCOLUNA", "Coluna: "},
    {"EDDEL", "DEL"},
    {"EDFALDLG", "Fala desligada"},
    {"EDFALACI", "Fala acionada"},
    {"EDLINREM", "Linha removida"},
    {"EDCNFSAI", "Confirma saida (s/n) ? "},
    {"EDDIGMD", "Informe a margem direita: "},
    {"EDDIGME", "Informe a margem esquerda: "},
    {"EDMARINV", "Margem invalida"},
    {"EDMARACI", "Margem acionada"},
    {"EDACENT", "Acentuacao acionada"},
    {"EDNACENT", "Acentuacao desligada"},
    {"EDINITEX", "Inicio do texto"},
    {"EDFIMTEX", "Fim do texto"},
    {"EDBLKMOV", "Bloco movido"},
    {"EDBLKCPY", "Bloco copiado"},
    {"EDBLKCRG", "Bloco carregado"},
    {"EDBLKADC", "Bloco adicionado"},
    {"EDBLKORD", "Bloco ordenado"},
    {"EDBLKCNT", "Bloco centrado"},
    {"EDBLKTAB", "Bloco tabulado"},
    {"EDBLKMRG", "Bloco margeado"},
    {"EDBLKALI", "Bloco alinhado"},
    {"EDBLKPAR", "Bloco par\xE1grafo"},
    {"EDBLKINV", "Bloco invalido"},
    {"EDBLKREM", "Bloco removido"},
    {"EDCMDBLK", "Comando de bloco: "},
    {"EDBLKMAR", "Bloco marcado"},
    {"EDINCOMP", "Bloco incompleto"},
    {"EDINIBLK", "Inicio do bloco"},
    {"EDFIMBLK", "Fim do bloco"},
    {"EDJUSTIF", "Trecho justificado"},
    {"EDPOSINV", "Posicao de bloco invalida"},
    {"EDBLKDSM", "Bloco desmarcado"},
    {"EDLINQUE", "Linha quebrada"},
    {"EDAPAINI", "Apagado a esquerda"},
    {"EDAPAFIM", "Apagado a direita"},
    {"EDLINSER", "Linha nova"},
    {"EDLGRAND", "Linha excederia 150 letras, nao juntei"},
    {"EDLINJUN", "Linhas juntadas"},
    {"EDTXTPRC", "Qual o texto ? "},
    {"EDTXTENC", "Texto encontrado"},
    {"EDTXNENC", "Texto nao encontrado"},
    {"EDTXTTRC", "Texto trocado"},
    {"EDQUATRE", "Qual o texto nas linhas a excluir?"},
    {"EDARQNAO", "Arquivo nao existe"},
    {"EDNOME", "Nome deste arquivo: "},
    {"EDFORTXT", "Usa acentuacao internacional (s/n) "},
    {"EDLINGRA", "Linhas grandes foram divididas"},
    {"EDCARDES", "Caracteres desconhecidos guardados:"},
    {"EDUTFDEM", "UTF-8 com caracteres desconhecidos demais: aberto como ANSI, acentos errados"},
    {"EDUTF16R",
     "UTF-16 que n\xE3o pude converter: aberto sem nome, para n\xE3o estragar o arquivo"},
    {"EDARQGRD", "Arquivo grande demais: o limite \xE9 256 MB"},
    {"EDNOMGRV", "Nome do arquivo a gravar: "},
    {"EDESCCAN", "Gravacao de arquivo cancelada"},
    {"EDDGNLIN", "Digite o numero da linha: "},
    {"EDLINAO", "Linha nao existe"},
    {"EDVELOC", "Qual a velocidade, de 1 a 4 ? "},
    {"EDCOLMAR", "Informe a coluna da esquerda: "},
    {"EDNCLIND", "Numero de colunas a indentar: "},
    {"EDDESIST", "Desistiu... "},
    {"EDTABINS", "Tabulacao inserida"},
    {"EDTABCAN", "Tabulacoes canceladas"},
    {"EDENTINS", "Enter vai inserir linha"},
    {"EDENTNIN", "Enter nao vai inserir linha"},
    {"EDSOLETR", "Soletragem acionada"},
    {"EDNSOLET", "Soletragem desligada"},
    {"EDMEMPEQ", "Memoria muito reduzida.  Tecle ENTER."},
    {"EDINFTXT", "Informe o novo texto: "},
    {"EDTODBLK", "Todo texto (T) ou bloco (B): "},
    {"EDCOMAND", "Qual comando? "},
    {"EDOPCAO", "Qual opcao? "},
    {"EDQAUTO", "Quebra automatica ligada"},
    {"EDNQAUTO", "Quebra automatica desligada"},
    {"EDNUM", "Num Lock ligado"},
    {"EDNONUM", "Num Lock desligado"},
    {"EDCAPS", "Caps Lock ligado"},
    {"EDNOCAPS", "Caps Lock desligado"},
    {"EDERRSRV", "Erro no servidor"},
    {"EDGRANDE", "Bloco muito grande"},
    {"EDCOPTRU", "Bloco n\xE3o pode ser transcrito por tem mais de 65000 letras"},
    {"EDBLKTRN", "Bloco trazido foi truncado por ser muito grande"},
    {"EDDICNAO", "Dicion\xE1rio n\xE3o foi achado"},
    {"EDUTF8", "Escolha q para quoted-printable, u para utf-8 ou g para yahoogroups"},
    {"EDAGUARD", "Aguarde ..."},
    {"EDDESCON", "Deseja tentar converter o arquivo para TXT? "},
    {"EDMAIUSC", "Deseja converter o bloco para mai\xFAscula? "},
    {"EDPUTF8", "Deseja codificar o bloco para UTF-8"},
    {"EDDICIOA", "Dicion\xE1rio ativado"},
    {"EDDICIOD", "Dicion\xE1rio desativado"},
    {"EDCONVER", "Convers\xF5" "es. Tecle F1 para ajuda."},
    {"EDINFPOT", "Qual a pot\xEAncia?"},
    {"EDSEMSUG", "Sem sugest\xF5" "es"},
    {"EDALTERN", "Use as setas para alternativas"},
    {"EDOK", "OK"},
    {"EDPAICON", "Painel de configura\xE7\xE3o"},
    {"EDVELC", "Velocidade : "},
    {"EDINSLIN", "ENTER insere linha: "},
    {"EDQUEAUT", "Quebra autom\xE1tica: "},
    {"EDFALPON", "Fala pontua\xE7\xE3o: "},
    {"EDFALAUT", "Fala autom\xE1tica: "},
    {"EDCOMDIC", "Com dicion\xE1rio: "},
    {"EDCOMSAP", "Com servidor de fala: "},
    {"EDNUMSAP", "Voz do servidor (1 = brasileira): "},
    {"EDVEL", "Velocidade do servidor: "},
    {"EDTOM", "Tonalidade do servidor: "},
    {"EDTIPSAP", "Tipo do servidor (3, 4 ou 5): "},
    {"EDDICATI", "O dicion\xE1rio ser\xE1 ativado"},
    {"EDAGUARC", "Aguarde, configurando"},
    {"EDCARDIC", "Carregando dicion\xE1rio"},
    {"EDREFORM", "Junta linhas para exportar? "},
    {"EDNEXEC", "N\xE3o pude executar"},
    {"EDCOPEME", "H\xE1 uma c\xF3pia de emerg\xEAncia mais nova deste texto, de"},
    {"EDCOPREC", "H\xE1 uma c\xF3pia de recupera\xE7\xE3o mais nova deste texto, de"},
    {"EDINIINV", "SONARE.INI n\xE3o \xE9 um arquivo; uso a configura\xE7\xE3o padr\xE3o"},
    {"EDINIGRD", "SONARE.INI tem mais de 1 MB; uso a configura\xE7\xE3o padr\xE3o"},
    {"EDCFVEL", "Use as setas para selecionar."},
    {"EDINFVAL", "Informe o valor "},
    {"EDFONTES", "Fontes"},
    {"EDDE", " de "},
    {"EDLIDO", " lido "},
    {"EDTXTNEX", "Falta o arquivo docconv.exe"},
    {"EDDIGTAM", "Digite o tamanho da fonte"},
    {"EDOPCINV", "Op\xE7\xE3o inv\xE1lida"},
    {"EDINSFOR", "Inserir marcas de formata\xE7\xE3o"},
    {"EDAUTOMA", "Autom\xE1tica"},
    {"EDPRETO", "Preto"},
    {"EDAZUL", "Azul"},
    {"EDTURQUE", "Turquesa"},
    {"EDVERCLA", "Verde claro"},
    {"EDROSA", "Rosa"},
    {"EDVERMEL", "Vermelho"},
    {"EDAMAREL", "Amarelo"},
    {"EDBRANCO", "Branco"},
    {"EDAZUESC", "Azul escuro"},
    {"EDCERCET", "Cerceta"},
    {"EDVERDE", "Verde"},
    {"EDVIOLET", "Violeta"},
    {"EDVERESC", "Vermelho escuro"},
    {"EDAMAESC", "Amarelo escuro"},
    {"EDCINZ50", "Cinza 50"},
    {"EDCINZ25", "Cinza 25"},
    {"EDFONTE", "Fonte"},
    {"EDTAMANH", "Tamanho"},
    {"EDALIJUS", "Alinhamento justificado"},
    {"EDALICEN", "Alinhamento centralizado"},
    {"EDALIESQ", "Alinhamento \xE0 esquerda"},
    {"EDALIDIR", "Alinhamento \xE0 direita"},
    {"EDININEG", "In\xED" "cio de negrito"},
    {"EDFIMNEG", "Fim de negrito"},
    {"EDINIITA", "In\xED" "cio de it\xE1lico"},
    {"EDFIMITA", "Fim de it\xE1lico"},
    {"EDINISUB", "In\xED" "cio de sublinhado"},
    {"EDFIMSUB", "Fim de sublinhado"},
    {"EDNEGRIT", "Negrito"},
    {"EDITALIC", "It\xE1lico"},
    {"EDSUBLIN", "Sublinhado"},
    {"EDMINUSC", "Deseja converter o bloco para min\xFAscula?"},
    {"EDPRIMAI", "Deseja converter primeira letra de todo bloco para mai\xFAscula?"},
    {"EDPALAVR", "palavras"},
    {"EDSOMLEI", "Este arquivo \xE9 somente leitura, provavelmente n\xE3o ser\xE1 gravado"},
    {"EDFOROCU", "Formata\xE7\xE3o oculta na tela"},
    {"EDFORAPA", "Formata\xE7\xE3o aparente na tela"},
    {"EDMOFAFO", "Modos de falar formata\xE7\xE3o"},
    // The calculator's question for the base of a logarithm, beside the one for a power.
    {"EDINFBAS", "Qual a base?"},
    // A number of the tape that breaks the decimal separator's rule ("1.2,3").
    {"EDNUMINV", "N\xFAmero mal escrito"},
    // Documents: what the converters could not do.
    {"EDSEMCNV", "Nenhum conversor para este documento. Instale o LibreOffice"},
    {"EDCNVFAL", "N\xE3o foi poss\xEDvel converter o documento"},
    {"EDCNVDEM", "O conversor demorou demais e foi interrompido"},
    {"EDSEMFON", "Nenhuma fonte encontrada"},
    {"EDDOCRTF", "Gerado o documento RTF. Falta o LibreOffice para gerar o DOC"},
    {"EDDOCFAL", "N\xE3o foi poss\xEDvel gerar o documento"},
    // Leaving with a changed text that was not saved: where its copy is kept.
    {"EDCOPGRD", "C\xF3pia guardada em "},
    {"EDCOPFAL", "N\xE3o foi poss\xEDvel guardar uma c\xF3pia do texto"},
    // Typed or pasted characters Windows-1252 lacks that the text cannot hold.
    {"EDCARANS", "Um arquivo ANSI n\xE3o guarda este caractere"},
    {"EDCARDEM", "Caracteres desconhecidos demais neste texto"},
    {"EDCOLFOR", "Deixados de fora, o arquivo n\xE3o os guarda:"},
    // Undo and redo: what they took back or made again, and the names of the steps that no
    // command's own confirmation names.
    {"EDDESFEI", "Desfeito: "},
    {"EDREFEIT", "Refeito: "},
    {"EDNADDES", "Nada a desfazer"},
    {"EDNADREF", "Nada a refazer"},
    {"EDLINHAS", "linhas"},
    {"EDDIGITA", "Digita\xE7\xE3o"},
    {"EDAPAGAD", "Apagado"},
    {"EDCORRIG", "Palavra corrigida"},
    {"EDCALCUL", "Conta da calculadora"},
    {"EDNUMINS", "Inserido pelo NUMERA"},
    {"EDALTERA", "Texto alterado"},
    {"EDBLKCNV", "Bloco convertido"},
    {"EDBLKDEC", "Bloco decodificado"},
    {"EDBLKBRA", "Linhas em branco removidas"},
    // The personal dictionary.
    {"EDDICADC", "Adicionar ao dicion\xE1rio pessoal"},
    {"EDDICPES", "Palavra adicionada ao dicion\xE1rio pessoal"},
    {"EDDPLER", "O dicion\xE1rio pessoal n\xE3o p\xF4" "de ser lido"},
    {"EDDPGRV", "O dicion\xE1rio pessoal n\xE3o p\xF4" "de ser gravado"},
    // Screen review: which mode the keys are in.
    {"EDREVINI", "Revis\xE3o de tela"},
    {"EDREVFIM", "Fim da revis\xE3o"},
};
// clang-format on

uint8_t maiuscula(uint8_t c) {
    return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c;
}

}  // namespace

std::string textoMensagem(std::string_view chave) {
    for (const Mensagem& m : kMensagens)
        if (m.chave == chave) return std::string(m.texto);
    return "----- erro de mensagem ???? ----";
}

std::vector<std::string> chavesMensagens() {
    std::vector<std::string> chaves;
    for (const Mensagem& m : kMensagens) chaves.emplace_back(m.chave);
    return chaves;
}

std::vector<TextoFalado> textosMensagens() {
    std::vector<TextoFalado> textos;
    for (const Mensagem& m : kMensagens)
        textos.push_back({std::string(m.chave), std::string(m.texto)});
    return textos;
}

void dizMensagem(Editor& e, std::string_view chave) {
    e.fala.anota("mensagem " + std::string(chave));
    // A command's confirmation names the step the history keeps of it.
    e.ed.historico.nomeia(chave);
    // A recording that cannot be read would leave the message silent: its text is spoken.
    const auto gravacao = arquivoWindows(e.ed.diretorioMensagens + std::string(chave) + ".WAV");
    std::error_code ec;
    if (std::filesystem::is_regular_file(gravacao, ec) &&
        std::ifstream(gravacao, std::ios::binary).is_open())
        e.fala.tocaSom(chave);
    else
        e.fala.falaTexto(textoMensagem(chave));
}

namespace {

void mostraMensagem(Editor& e, std::string_view chave) {
    e.crt.escreve(textoMensagem(chave));
    e.crt.TextBackground(0);
    e.crt.ClrEol();
}

}  // namespace

void escreveMensagem(Editor& e, std::string_view chave) {
    mostraMensagem(e, chave);
    dizMensagem(e, chave);
}

void falaMensagem(Editor& e, std::string_view chave) {
    e.crt.GotoXY(1, 9);
    e.crt.TextBackground(1);
    e.ed.mensagemNaTela = true;
    escreveMensagem(e, chave);
}

void falaMensagemComVoz(Editor& e, std::string_view chave) {
    e.crt.GotoXY(1, 9);
    e.crt.TextBackground(1);
    e.ed.mensagemNaTela = true;
    mostraMensagem(e, chave);
    e.fala.anota("mensagem " + std::string(chave));
    e.fala.falaTexto(textoMensagem(chave));
}

void revisaTelaAvisada(Editor& e) {
    dizMensagem(e, "EDREVINI");
    revisaTela(e.crt, e.fala, e.ed.textoRevisao);
    dizMensagem(e, "EDREVFIM");
}

uint8_t leTeclaFalada(Editor& e) {
    return maiuscula(e.fala.leTeclaEco());
}

uint8_t perguntaFamilia(Editor& e, const PerguntaFamilia& p) {
    falaMensagem(e, p.pergunta);
    uint8_t c = leTeclaFalada(e);
    if (c != 27 || p.redesenhaAoDesistir) redesenhaTela(e);
    if (c == 0) {
        c = menuAjuda(e, e.crt.leTecla(), p.ajuda, p.linhas);
        if (c != 27 && p.redesenhaAposAjuda) redesenhaTela(e);
    }
    return c;
}

namespace {

// F1 in a family prompt: every help line on its own row from row 10 (those that fit on
// the screen), then each spoken in turn until a key is pressed.
void listaAjuda(Editor& e, std::string_view prefixo, int linhas) {
    for (int i = 1; i <= linhas && 9 + i <= SnCrt::kLinhas; ++i) {
        e.crt.GotoXY(1, 9 + i);
        e.crt.TextBackground(1);
        e.crt.ClrEol();
        e.crt.escreve(textoAjuda(prefixo, i).substr(0, SnCrt::kColunas - 1));
    }
    e.crt.TextBackground(0);
    e.crt.limpaFila();
    for (int i = 1; i <= linhas && !e.crt.teclaPressionada(); ++i) {
        const std::string som = std::string(prefixo) + std::to_string(i);
        if (e.fala.existeSom(som))
            e.fala.tocaSom(som);
        else
            e.fala.falaTexto(textoAjuda(prefixo, i));
    }
}

}  // namespace

uint8_t escolheNaLista(Editor& e, std::string_view prefixo, int linhas) {
    linhas = std::clamp(linhas, 0, linhasAjuda(prefixo));
    e.crt.GotoXY(1, 10);
    ListaSelecao lista(e);
    lista.abreLista(30, 10, 50, 4, linhas - 1);
    for (int i = 2; i <= linhas; ++i)
        lista.adicionaItem(std::string(prefixo) + std::to_string(i), textoAjuda(prefixo, i));
    if (lista.executaLista() == 0) return 27;
    const char letra = letraComando(lista.ultimoEscolhido());
    return letra == '\0' ? 27 : static_cast<uint8_t>(letra);
}

uint8_t menuAjuda(Editor& e, uint8_t scan, std::string_view prefixo, int linhas) {
    // A list is never read past its end, whatever count the caller asks for.
    linhas = std::clamp(linhas, 0, linhasAjuda(prefixo));
    // An extended key pressed after the spoken list asks again (F1 lists again, an arrow
    // opens the pop-up list), so its scan code never reaches the text as a character.
    while (scan == 59) {
        listaAjuda(e, prefixo, linhas);
        uint8_t c;
        do c = e.crt.leTecla();
        while (c == 222 || c == 223);  // focus changes are no answer
        e.fala.paraFala();
        if (c != 0) return maiuscula(c);
        scan = e.crt.leTecla();
    }
    return escolheNaLista(e, prefixo, linhas);
}
