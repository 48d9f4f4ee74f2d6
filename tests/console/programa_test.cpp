#include "console/programa.h"

#include <gtest/gtest.h>

#include "apoio.h"
#include "console/despacho.h"
#include "console/montagem.h"
#include "platform/ini.h"

namespace {

class Inicio : public ::testing::Test {
protected:
    // Starts an editor with `ini` as SONARE.INI and the family arguments `args`.
    Editor& inicia(const std::string& ini, std::vector<std::string> args = {"texto.txt"}) {
        gravaArquivoTeste(pasta_ / "SONARE.INI", ini);
        sessao_ = montaSessaoHeadless("");
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
        inicializaEditor(*sessao_->editor, args);
        return *sessao_->editor;
    }
    std::string rastro() { return leArquivo(pasta_ / "rastro.txt"); }

    PastaTemporaria pasta_;
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    std::unique_ptr<Sessao> sessao_;
};

TEST_F(Inicio, RightMarginFallsBackTo72) {
    const std::pair<const char*, int> casos[] = {
        {"MARGDIR=5", 72}, {"MARGDIR=300", 72}, {"MARGDIR=abc", 72},
        {"MARGDIR=250", 250}, {"MARGDIR=10", 10}, {"", 72}};
    for (const auto& [linha, margem] : casos)
        EXPECT_EQ(inicia(std::string("[PLUMAR]\n") + linha + "\n").ed.margemDireita, margem) << linha;
}

TEST_F(Inicio, DefaultExtensionIsWrittenBack) {
    EXPECT_EQ(inicia("[PLUMAR]\nMARGDIR=72\n").ed.extensaoPadrao, "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "EXTENSAOPADRAO"), "txt");
    EXPECT_EQ(leIniArquivo(pasta_ / "SONARE.INI", "PLUMAR", "MARGDIR"), "72");
    EXPECT_EQ(inicia("[PLUMAR]\nEXTENSAOPADRAO=doc\n").ed.extensaoPadrao, "doc");
}

TEST_F(Inicio, OptionsAreDecidedOnTheStoredFirstCharacter) {
    EdVars& ed = inicia(
                     "[PLUMAR]\nENTERINSLINHA=s\nQUEBRARLINHAS=n\nFALARPONTUACAO=Nao\n"
                     "FALAESPACOS=Sim\nFALAAUTOMATICA=S\nMODOFALAFORMATACAO= b\n"
                     "DICIONARIOATIVADO=n\n")
                     .ed;
    EXPECT_FALSE(ed.enterInsereLinha);
    EXPECT_TRUE(ed.quebraLinhas);
    EXPECT_FALSE(ed.falaPontuacao);
    EXPECT_TRUE(ed.falaEspacos);
    EXPECT_TRUE(ed.falaAutomatica);
    EXPECT_EQ(ed.modoFalaFormatacao, 'B');
    EXPECT_FALSE(ed.dicionarioAtivo);  // upper-cased before deciding

    EdVars& padrao = inicia("[PLUMAR]\nDICIONARIOATIVADO=N\n").ed;
    EXPECT_FALSE(padrao.enterInsereLinha);
    EXPECT_TRUE(padrao.quebraLinhas);
    EXPECT_TRUE(padrao.falaPontuacao);
    EXPECT_FALSE(padrao.falaAutomatica);
    EXPECT_EQ(padrao.modoFalaFormatacao, 'N');
}

TEST_F(Inicio, CommandLineModes) {
    EdVars& leitura = inicia("", {"/l", " nome.txt "}).ed;
    EXPECT_TRUE(leitura.modoLeitura);
    EXPECT_FALSE(leitura.converteOem);
    EXPECT_FALSE(leitura.anunciaCarga);
    EXPECT_EQ(leitura.nomeArquivo, "nome.txt");
    EXPECT_EQ(rastro().find("EDMSGINI"), std::string::npos);  // no welcome when reading

    EdVars& dos = inicia("", {"/D"}).ed;
    EXPECT_TRUE(dos.modoLeitura);
    EXPECT_TRUE(dos.converteOem);
    EXPECT_EQ(dos.nomeArquivo, "");

    EdVars& normal = inicia("", {"a.txt", "b.txt"}).ed;
    EXPECT_FALSE(normal.modoLeitura);
    EXPECT_EQ(normal.nomeArquivo, "b.txt");
    EXPECT_NE(rastro().find("mensagem EDMSGINI"), std::string::npos);
}

TEST_F(Inicio, DictionaryIsOnUnlessSaidNo) {
    EXPECT_TRUE(inicia("[PLUMAR]\n").ed.dicionarioAtivo);
    EXPECT_NE(rastro().find("mensagem EDCARDIC"), std::string::npos);
}

// The keyboard's whole vocabulary: every code of both tables reaches its command, and
// every other code has none (two beeps).
TEST(Despacho, EveryKeyReachesItsCommand) {
    const std::map<int, std::string> controle = {
        {1, "avancaParagrafo"}, {2, "familiaBlocos"}, {3, "copiaParaClipboard"},
        {4, "apagaFimLinha"}, {5, "letraEspecial"}, {6, "proximaFrase"}, {7, "vaiParaLinha"},
        {8, "apagaEsquerda"}, {9, "tabulacao"}, {10, "teclaCtrlEnter"}, {11, "informaColuna"},
        {12, "informaLinha"}, {13, "teclaEnter"}, {14, "informaNome"}, {15, "alternaEspacos"},
        {16, "imprime"}, {17, "quebraLinha"}, {18, "recuaParagrafo"}, {19, "apagaInicioLinha"},
        {20, "comandoMargensTabs"}, {21, "restauraLinha"}, {22, "colaLinhas"},
        {23, "trocaPorSugestao"}, {24, "gravaESai"}, {25, "removeLinha"}, {28, "tocaDTMF"},
        {127, "apagaPalavraEsquerda"}};
    const std::map<int, std::string> estendida = {
        {23, "informaFormatacao"}, {24, "alternaMarcasTela"}, {33, "insereMarcasFormatacao"},
        {34, "geraDoc"}, {50, "escolheModoFalaFormatacao"}, {59, "proximaPalavra"},
        {60, "gravaTexto"}, {61, "outroArquivo"}, {62, "alternaEco"}, {63, "procura"},
        {64, "procuraTroca"}, {65, "removeLinha"}, {66, "falaHora"}, {67, "menuComandos"},
        {68, "defineMargens"}, {69, "alternaDicionario"}, {70, "executaPalavra"},
        {71, "inicioLinha"}, {72, "linhaAcima"}, {73, "paginaAcima"}, {75, "esquerda"},
        {77, "direita"}, {79, "fimLinha"}, {80, "linhaAbaixo"}, {81, "paginaAbaixo"},
        {82, "alternaEnterInsere"}, {83, "apagaComDel"}, {94, "restoDaLinha"},
        {95, "gravaComoOutro"}, {96, "executaOutroEditor"}, {97, "painelConfiguracao"},
        {98, "procuraDeNovo"}, {99, "calculadoraLinha"}, {100, "alternaLargura"},
        {101, "falaData"}, {102, "leituraLinha"}, {103, "menuNumera"}, {104, "leAteOFim"},
        {105, "versao"}, {113, "linhaAcimaMesmaColuna"}, {114, "linhaAbaixoMesmaColuna"},
        {115, "palavraEsquerdaFalada"}, {116, "palavraDireitaFalada"}, {117, "fimTexto"},
        {118, "fimTexto"},
        {119, "inicioTexto"}, {132, "inicioTexto"}, {120, "vozSapi"}, {121, "vozSapi"},
        {122, "vozSapi"}, {129, "vozPropria"}, {254, "colaNaLinha"}, {255, "copiaSelecao"}};
    for (int codigo = 0; codigo < 256; ++codigo) {
        const auto* c = procuraComando(tabelaControle(), static_cast<uint8_t>(codigo));
        const auto* x = procuraComando(tabelaEstendida(), static_cast<uint8_t>(codigo));
        auto ec = controle.find(codigo);
        auto ex = estendida.find(codigo);
        EXPECT_EQ(c ? std::string(c->nome) : "", ec == controle.end() ? "" : ec->second) << codigo;
        EXPECT_EQ(x ? std::string(x->nome) : "", ex == estendida.end() ? "" : ex->second) << codigo;
    }
}

TEST(Despacho, ShiftSelectionAndItsClearing) {
    auto s = montaSessaoHeadless("");
    Editor& e = *s->editor;
    e.ed.texto.insere(1, "uma linha de texto");
    e.ed.texto.insere(2, "outra");
    e.ed.colunaAtual = 5;
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::TeclaDesce;
    ev.tecla = vk::End;
    ev.mod.shift = true;
    e.crt.trataEvento(ev);  // the console now sees Shift held
    despachaEstendida(e, 79);
    EXPECT_EQ(e.ed.selecaoInicio, 5);
    EXPECT_EQ(e.ed.selecaoFim, 19);
    despachaEstendida(e, 72);  // Up clears the start anchor even with Shift held
    EXPECT_EQ(e.ed.selecaoInicio, 0);
    ev.tipo = EventoEntrada::Tipo::TeclaSobe;
    ev.mod.shift = false;
    e.crt.trataEvento(ev);
    despachaEstendida(e, 72);
    EXPECT_EQ(e.ed.selecaoInicio, 0);
    EXPECT_EQ(e.ed.selecaoFim, 0);
}

}  // namespace
