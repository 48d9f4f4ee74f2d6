#include "editor/edMensag.h"

#include <gtest/gtest.h>

#include <set>

#include "sessaoEditor.h"

namespace {

// ------------------------------------------------------------------ message table

TEST(Mensagens, TableHoldsEveryKeyOnceWithItsText) {
    const std::vector<TextoFalado> textos = textosMensagens();
    EXPECT_EQ(textos.size(), 171u);  // with the calculator's base question
    std::set<std::string> vistas;
    for (const TextoFalado& t : textos) {
        EXPECT_TRUE(vistas.insert(t.chave).second) << "repeated " << t.chave;
        EXPECT_EQ(t.chave.rfind("ED", 0), 0u) << t.chave;
        EXPECT_LE(t.chave.size(), 8u) << t.chave;
        EXPECT_EQ(textoMensagem(t.chave), t.texto);
    }
    EXPECT_EQ(chavesMensagens().size(), textos.size());
}

TEST(Mensagens, TextsKeepTheirBytesAndTrailingBlanks) {
    EXPECT_EQ(textoMensagem("EDDESIST"), "Desistiu... ");
    EXPECT_EQ(textoMensagem("EDREESCR"), "Arquivo j\xE1 existe, reescreve (s/n) ?");
    EXPECT_EQ(textoMensagem("EDDE"), " de ");
    EXPECT_EQ(textoMensagem("EDMSGINI"), "PLUMAR - v.6.1");
    EXPECT_EQ(textoMensagem("EDINFBAS"), "Qual a base?");
}

// ------------------------------------------------------------------ saying a message

TEST(FalaMensagem, WritesOnRowNineAndSynthesisesWithoutRecording) {
    SessaoEditor s("");
    s.crt().GotoXY(1, 9);
    s.crt().escreve(std::string(80, 'x'));  // the rest of the row is cleared
    s.crt().GotoXY(5, 3);
    falaMensagem(s.editor(), "EDDESIST");
    EXPECT_EQ(s.linhaTela(9), "Desistiu... " + std::string(68, ' '));
    EXPECT_EQ(s.crt().atributoEm(1, 9) >> 4, 1);   // the text on background 1
    EXPECT_EQ(s.crt().atributoEm(20, 9) >> 4, 0);  // the cleared rest on background 0
    EXPECT_EQ(s.rastro(), "mensagem EDDESIST\ntexto Desistiu... \n");
}

TEST(FalaMensagem, PlaysTheRecordingWhenItsFileExists) {
    SessaoEditor s("");
    gravaArquivoTeste(s.pasta() / "EDDESIST.WAV", "RIFF");
    const std::string dir = s.pasta().caminho().string() + "/";
    s.editor().ed.diretorioMensagens = dir;
    s.fala().inicializaFala(3, dir);
    falaMensagem(s.editor(), "EDDESIST");
    falaMensagem(s.editor(), "EDFIMTEX");  // no file: synthesised
    EXPECT_EQ(s.linhaTela(9).substr(0, 12), "Fim do texto");
    EXPECT_EQ(s.rastro(),
              "mensagem EDDESIST\nsom EDDESIST\nmensagem EDFIMTEX\ntexto Fim do texto\n");
}

TEST(FalaMensagem, UnknownKeyIsShownAndSpokenAsTheError) {
    EXPECT_EQ(textoMensagem("eddesist"), "----- erro de mensagem ???? ----");
    SessaoEditor s("");
    falaMensagem(s.editor(), "EDXYZ");
    EXPECT_EQ(s.linhaTela(9).substr(0, 32), "----- erro de mensagem ???? ----");
    EXPECT_EQ(s.rastro(), "mensagem EDXYZ\ntexto ----- erro de mensagem ???? ----\n");
}

TEST(FalaMensagem, EscreveMensagemWritesAtTheCursor) {
    SessaoEditor s("");
    s.crt().GotoXY(10, 4);
    escreveMensagem(s.editor(), "EDDE");
    EXPECT_EQ(s.linhaTela(4).substr(9, 4), " de ");
    EXPECT_EQ(s.crt().WhereX(), 14);
    EXPECT_EQ(s.rastro(), "mensagem EDDE\ntexto  de \n");
}

TEST(LeTeclaFalada, EchoesAndUpperCasesLettersOnly) {
    SessaoEditor s("a{Esc}\xC3\xA1{Down}");
    Editor& e = s.editor();
    EXPECT_EQ(leTeclaFalada(e), 'A');
    EXPECT_EQ(leTeclaFalada(e), 27);
    EXPECT_EQ(leTeclaFalada(e), 0xE1);  // accented letters stay as they are
    EXPECT_EQ(leTeclaFalada(e), 0);     // extended: the scan code waits in the queue
    EXPECT_EQ(s.crt().leTecla(), 80);
    EXPECT_EQ(s.rastro(), "letra 97\nletra 27\nletra 225\nletra 0\n");
}

// ------------------------------------------------------------------ help lists

TEST(ListasAjuda, EveryListHasItsLines) {
    const std::pair<const char*, int> listas[] = {
        {"EDAJIN", 11}, {"EDAJFW", 6}, {"EDAJLI", 10}, {"EDAJCU", 14}, {"EDAJBL", 21},
        {"EDAJMA", 4},  {"EDAJAR", 8}, {"EDAJBU", 4},  {"EDAJFA", 4},  {"EDAJCF", 7},
        {"EDAJEM", 6},  {"EDAJDA", 4}, {"EDAJF0", 9},  {"EDAJMF", 2},  {"EDAJMM", 6},
        {"EDAJFF", 5},  {"EDAJCV", 61}};
    size_t total = 0;
    for (const auto& [prefixo, n] : listas) {
        EXPECT_EQ(linhasAjuda(prefixo), n) << prefixo;
        EXPECT_FALSE(textoAjuda(prefixo, n).empty()) << prefixo;
        EXPECT_TRUE(textoAjuda(prefixo, n + 1).empty()) << prefixo;
        total += static_cast<size_t>(n);
    }
    EXPECT_EQ(linhasAjuda("EDAJXX"), 0);
    EXPECT_TRUE(textoAjuda("EDAJLI", 0).empty());

    const std::vector<TextoFalado> todos = textosAjuda();
    EXPECT_EQ(todos.size(), total);
    EXPECT_EQ(todos.front().chave, "EDAJIN1");
    EXPECT_EQ(todos.front().texto, "Sao os seguintes:");
    EXPECT_EQ(todos.back().chave, "EDAJCV61");
}

TEST(ListasAjuda, LinesAndCommandLetters) {
    EXPECT_EQ(textoAjuda("EDAJLI", 7), "  J - junta duas linhas");
    EXPECT_EQ(textoAjuda("EDAJCU", 12), "  V - volta cursor `a posicao memorizada");
    EXPECT_EQ(textoAjuda("EDAJMM", 1), "Os comandos de mai\xFAsculas e minusculas s\xE3o:");
    EXPECT_EQ(letraComando(textoAjuda("EDAJCU", 2)), '-');
    EXPECT_EQ(letraComando(textoAjuda("EDAJF0", 5)), 'C');
    EXPECT_EQ(letraComando("   "), '\0');
}

TEST(ListasAjuda, ConversionListNamesEveryKeyInOrder) {
    std::string letras;
    for (int i = 2; i <= 61; ++i) letras += letraComando(textoAjuda("EDAJCV", i));
    EXPECT_EQ(letras,
              "aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTuUvVwWxXyYz"
              "\xE1\xC1\xE9\xC9\xED\xCD\xF3\xD3\xFA");
}

// ------------------------------------------------------------------ menuAjuda

TEST(MenuAjuda, F1ListsFromRowTenReadsEveryLineAndTheNextKeyIsTheCommand) {
    SessaoEditor s("l");
    EXPECT_EQ(menuAjuda(s.editor(), 59, "EDAJIN", 11), 'L');
    for (int i = 1; i <= 11; ++i) {
        const std::string linha(textoAjuda("EDAJIN", i));
        EXPECT_EQ(s.linhaTela(9 + i).substr(0, linha.size()), linha) << i;
        EXPECT_EQ(s.crt().atributoEm(1, 9 + i) >> 4, 1);
    }
    EXPECT_TRUE(
        contemEmOrdem(s.rastro(), {"texto Sao os seguintes:", "texto   C - comandos de cursor",
                                   "texto   W - tratamento Word"}));
    EXPECT_EQ(("\n" + s.rastro()).find("\nletra "), std::string::npos);  // no echo of the answer
}

TEST(MenuAjuda, F1PlaysTheRecordedLinesThatExist) {
    SessaoEditor s("x");
    const std::string dir = s.pasta().caminho().string() + "/";
    gravaArquivoTeste(s.pasta() / "EDAJMA2.wav", "RIFF");
    s.fala().inicializaFala(3, dir);
    EXPECT_EQ(menuAjuda(s.editor(), 59, "EDAJMA", 4), 'X');
    EXPECT_EQ(
        s.rastro(),
        "texto Os comandos de margem sao:\nsom EDAJMA2\ntexto   T - nova coluna de tabulacao\n"
        "texto   R - remove todas tabulacoes\n");
}

TEST(MenuAjuda, LongListStaysOnTheScreenAndIsReadWhole) {
    SessaoEditor s("{Esc}");
    s.crt().GotoXY(1, 1);
    s.crt().escreve("topo");
    EXPECT_EQ(menuAjuda(s.editor(), 59, "EDAJBL", 21), 27);
    EXPECT_EQ(s.linhaTela(1).substr(0, 4), "topo");      // nothing scrolled
    const std::string ultima(textoAjuda("EDAJBL", 16));  // the last that fits, on row 25
    EXPECT_EQ(s.linhaTela(25).substr(0, ultima.size()), ultima);
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"texto   T - seleciona Todo o texto"}));
}

TEST(MenuAjuda, ArrowAfterTheSpokenListOpensThePopUp) {
    SessaoEditor s("{Down}{Down}{Enter}");
    EXPECT_EQ(menuAjuda(s.editor(), 59, "EDAJLI", 10), 'A');
    EXPECT_TRUE(s.crt().teclasNaFila() == 0);
}

TEST(MenuAjuda, PopUpSearchFindsTheLineAndEnterReturnsItsLetter) {
    SessaoEditor s("j{Enter}");
    s.crt().GotoXY(1, 10);
    s.crt().escreve("texto por baixo da lista");
    const ModeloTela antes = s.crt().tela();
    EXPECT_EQ(menuAjuda(s.editor(), 80, "EDAJLI", 10), 'J');
    EXPECT_TRUE(contemEmOrdem(
        s.rastro(), {"texto   I - insere uma linha acima", "texto   J - junta duas linhas"}));
    EXPECT_EQ(s.crt().tela().caracteres, antes.caracteres);  // the list is gone
    EXPECT_EQ(s.crt().tela().atributos, antes.atributos);
    EXPECT_EQ(s.crt().WhereX(), 1);
    EXPECT_EQ(s.crt().WhereY(), 10);
}

TEST(MenuAjuda, UpOnTheFirstItemBeepsAndEnterGivesEsc) {
    SessaoEditor s("{Up}{Enter}");
    EXPECT_EQ(menuAjuda(s.editor(), 80, "EDAJLI", 10), 27);
    EXPECT_EQ(s.rastro(), "texto   I - insere uma linha acima\nbip\n");
}

TEST(MenuAjuda, CountLargerThanTheListIsCutToIt) {
    SessaoEditor s("{End}{Enter}{End}{Enter}");
    EXPECT_EQ(menuAjuda(s.editor(), 80, "EDAJMA", 500), 'R');
    EXPECT_EQ(menuAjuda(s.editor(), 80, "EDAJNAO", 5), 27);  // a list the program lacks
}

TEST(MenuAjuda, ConversionListKeepsTheCaseOfTheChosenKey) {
    SessaoEditor s("{Down}{Enter}");
    EXPECT_EQ(escolheNaLista(s.editor(), "EDAJCV", 61), 'A');
    SessaoEditor acento("{End}{Enter}");
    EXPECT_EQ(escolheNaLista(acento.editor(), "EDAJCV", 61), 0xFA);
}

}  // namespace
