#include "programa/programa.h"

#include <algorithm>
#include <cctype>

#include "programa/despacho.h"
#include "editor/edArq.h"
#include "editor/edArqCopia.h"
#include "editor/edArqDisco.h"
#include "editor/edConfig.h"
#include "editor/edCursor.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "editor/commands/eddicion.h"
#include "platform/caminhos.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

constexpr int kLinhaCursor = 15;

int inteiroOu(const std::string& v, int padrao) {
    auto n = inteiroIni(v);
    return n ? static_cast<int>(std::clamp<long>(*n, -1000000, 1000000)) : padrao;
}

void leLinhaDeComando(EdVars& ed, const std::vector<std::string>& args) {
    ed.nomeArquivo.clear();
    ed.modoLeitura = false;
    if (args.empty()) return;
    // The system hands the name over in UTF-8; the editor keeps names in Windows-1252.
    ed.nomeArquivo = nomeEditor(std::string(apara(args.back())));
    const std::string primeiro = maiusculasAscii(args.front());
    if (primeiro == "/D" || primeiro == "/L") {
        ed.modoLeitura = true;
        if (primeiro == "/D") ed.converteOem = true;
        if (args.size() == 1) ed.nomeArquivo.clear();
    }
}

void leOpcoes(Editor& e) {
    EdVars& ed = e.ed;
    const int margem = inteiroOu(e.fala.leIni("PLUMAR", "MARGDIR"), 72);
    ed.margemDireita = (margem < 10 || margem > 250) ? 72 : margem;
    ed.margemEsquerda = 1;
    ed.tabulacoes.clear();
    ed.semFala = false;
    ed.ecoDigitacao = true;
    for (const OpcaoPlumar& o : kOpcoesPlumar) ed.*o.opcao = leOpcaoPlumar(e, o);
    ed.modoFalaFormatacao = letraModoFormatacao(e.fala.leIni("PLUMAR", "MODOFALAFORMATACAO"));
}

// Num Lock and Caps Lock changes are announced (where the front-end knows them).
void verificaTravas(Editor& e, int& estadoTravas) {
    std::optional<int> travas = e.crt.estadoTravas();
    if (!travas) return;
    const int mudou = *travas ^ estadoTravas;
    estadoTravas = *travas;
    if (mudou & 32) falaMensagem(e, (*travas & 32) ? "EDNUM" : "EDNONUM");
    if (mudou & 64) falaMensagem(e, (*travas & 64) ? "EDCAPS" : "EDNOCAPS");
}

// A terminal too small for the screen shows a message; it is also said, once.
void avisaTela(Editor& e) {
    if (const std::optional<std::string> aviso = e.crt.frente().avisoTela()) {
        e.fala.bip();
        e.fala.falaTexto(*aviso);
    }
}

bool sinalDePalavra(uint8_t c) {
    return c == ' ' || c == '!' || c == ',' || c == '.' || c == ':' || c == ';' || c == '?';
}

ComandoHistorico digita(Editor& e, uint8_t c) {
    if (e.ed.dicionarioAtivo && sinalDePalavra(c)) verificaPalavraAnterior(e);
    e.ed.selecaoInicio = e.ed.selecaoFim = 0;
    insereCaractere(e, c);
    redesenhaLinhaAtual(e);
    return {ComandoHistorico::Tipo::Digitacao, c, c == ' ', "EDDIGITA"};
}

// Runs the command of the key `c` just read and closes its step of the undo history. True
// when the editor is to end.
bool executaTecla(Editor& e, uint8_t c) {
    EdVars& ed = e.ed;
    if (c == 222 || c == 223) return false;  // focus changes: no command
    const PosicaoTexto antes = posicaoTexto(ed);
    ComandoHistorico comando;
    bool sair = false;
    if (c == 0) {
        const uint8_t scan = e.crt.leTecla();
        if (scan < 16 || scan > 18)
            comando = despachaEstendida(e, scan);
        else
            c = e.crt.leTecla();  // 0, 16..18 and a character: that character
    }
    if ((c >= 1 && c <= 26) || (c >= 28 && c <= 31) || c == 127)
        comando = despachaControle(e, c);
    else if (c == 27)
        sair = ed.modoLeitura || confirmaSaida(e);
    else if (c != 0 && c != 222 && c != 223)
        comando = digita(e, c);
    ed.historico.fechaComando(ed, antes, comando);
    return sair;
}

}  // namespace

void inicializaEditor(Editor& e, const std::vector<std::string>& args) {
    EdVars& ed = e.ed;
    e.crt.ClrScr();
    e.crt.titulo("PLUMAR");
    ed.diretorioMensagens = pastaComBarra(e.fala.leIni("PLUMAR", "DIRPLUMAR"));
    const int nivel = velocidadeFala(e);
    e.fala.inicializaFala(nivel, ed.diretorioMensagens);
    ligaServidorConfigurado(e, e.fala.leIni("PLUMAR", "SAPIATIVADO"), nivel, leConfiguracaoSapi(e),
                            false);

    ed.larguraTela = 79;
    configuraTela(e);
    redesenhaTela(e);
    // Said once; every value then reads as missing and takes its default.
    if (existeNaoRegular(arquivoSonareIni())) falaMensagem(e, "EDINIINV");
    if (iniGrandeDemais(arquivoSonareIni())) falaMensagem(e, "EDINIGRD");
    e.crt.ligaVerificaInterrupcao(false);
    e.crt.ligaRelatorioFoco(true);
    e.crt.limpaFila();

    leLinhaDeComando(ed, args);
    ed.anunciaCarga = !ed.modoLeitura;
    e.crt.Window(57, 5, 80, 7);
    e.crt.TextColor(14);
    if (!ed.modoLeitura) {
        falaMensagem(e, "EDMSGINI");
        // The welcome is written into the banner: the rest of its row stays the banner's
        // white on blue, not the black a message leaves on the message row.
        e.crt.TextColor(15);
        e.crt.TextBackground(1);
        e.crt.ClrEol();
        e.crt.TextBackground(0);
    }
    e.crt.TextColor(15);
    e.crt.Window(1, 1, 80, 25);

    ed.texto = TipoTexto(10000);
    leOpcoes(e);
    ed.linhaRemovida.clear();
    ed.textoProcurado = std::string(1, '\0');
    ed.colunaMemorizada = ed.linhaMemorizada = 1;
    ed.deslocamentoTela = 0;
    ed.extensaoPadrao = e.fala.leIni("PLUMAR", "EXTENSAOPADRAO");
    if (ed.extensaoPadrao.empty()) {
        ed.extensaoPadrao = "txt";
        escreveIniArquivo(e.fala.arquivoIni(), "PLUMAR", "EXTENSAOPADRAO", "txt");
    }
    ed.limpaBloco();
    if (ed.dicionarioAtivo) {
        falaMensagem(e, "EDCARDIC");
        carregaDicionario(e);
    }
    ed.selecaoInicio = ed.selecaoFim = 0;
}

void executaEditor(Editor& e) {
    EdVars& ed = e.ed;
    protegeTexto(e);
    if (!carregaArquivo(e)) terminaEditor(e);
    redesenhaTela(e);
    ed.colunaAtual = 1;
    if (!ed.modoLeitura && ed.falaAutomatica) {
        falaLinha(e);
        ed.colunaAtual = 1;
    } else {
        leAteOFim(e);
    }
    int estadoTravas = 0;
    bool sair = false;
    while (!sair) {
        auto posiciona = [&] {
            e.crt.GotoXY(ed.colunaAtual - ed.deslocamentoTela, kLinhaCursor);
        };
        posiciona();
        e.crt.mostraCursor();
        // While the loop waits, a braille display shows the text line; while a command
        // runs, what the command puts before the user.
        e.crt.foco().tipo = FocoLeitura::Tipo::Texto;
        while (!e.crt.teclaPressionada()) {
            e.crt.esperaMensagem();
            if (!e.crt.teclaPressionada()) avisaTela(e);
            if (!e.crt.teclaPressionada() && e.crt.primeiroPlano()) {
                verificaTravas(e, estadoTravas);
                posiciona();
            }
        }
        const uint8_t c = e.crt.leTecla();
        ed.mensagemNaTela = false;  // the message row is the next command's
        e.crt.foco().tipo = FocoLeitura::Tipo::Tela;
        e.fala.paraFala();
        e.crt.escondeCursor();
        sair = executaTecla(e, c);
    }
    terminaEditor(e);
}
