#include "editor/edMensag.h"

#include <gtest/gtest.h>

#include <set>

#include "sessao.h"

namespace {

TEST(Mensagens, TableHoldsEveryKeyOnceWithItsText) {
    const std::vector<TextoFalado> textos = textosMensagens();
    std::set<std::string> vistas;
    for (const TextoFalado& t : textos) {
        EXPECT_TRUE(vistas.insert(t.chave).second) << "repeated " << t.chave;
        EXPECT_EQ(t.chave.rfind("ED", 0), 0u) << t.chave;
        EXPECT_LE(t.chave.size(), 8u) << t.chave;
        EXPECT_EQ(textoMensagem(t.chave), t.texto);
    }
    EXPECT_EQ(chavesMensagens().size(), textos.size());
    // Texts keep their trailing blanks; a key is looked up as written.
    EXPECT_EQ(textoMensagem("EDDE"), " de ");
    EXPECT_EQ(textoMensagem("eddesist"), "----- erro de mensagem ???? ----");
}

TEST(FalaMensagem, WritesOnRowNineAndSynthesisesWithoutRecording) {
    SessaoEditor s("");
    s.crt().GotoXY(1, 9);
    s.crt().escreve(std::string(80, 'x'));  // the rest of the row is cleared
    s.crt().GotoXY(5, 3);
    falaMensagem(s.editor(), "EDDESIST");
    EXPECT_EQ(s.linhaTela(9), "Desistiu... " + std::string(68, ' '));
    EXPECT_EQ(s.crt().atributoEm(1, 9) >> 4, 1);   // the text on background 1
    EXPECT_EQ(s.crt().atributoEm(20, 9) >> 4, 0);  // the cleared rest on background 0
    falaMensagem(s.editor(), "EDXYZ");             // a key the program does not have
    EXPECT_EQ(s.linhaTela(9).substr(0, 32), "----- erro de mensagem ???? ----");
    EXPECT_EQ(s.rastro(),
              "mensagem EDDESIST\ntexto Desistiu... \n"
              "mensagem EDXYZ\ntexto ----- erro de mensagem ???? ----\n");
}

TEST(ListasAjuda, EveryListHasItsLines) {
    // Each line is found again by its key and none is empty; nothing lies past the end of
    // a list.
    const std::vector<TextoFalado> todos = textosAjuda();
    for (const TextoFalado& t : todos) {
        const std::string prefixo = t.chave.substr(0, 6);
        const int n = std::stoi(t.chave.substr(6));
        EXPECT_EQ(textoAjuda(prefixo, n), t.texto) << t.chave;
        EXPECT_FALSE(t.texto.empty()) << t.chave;
        EXPECT_TRUE(textoAjuda(prefixo, linhasAjuda(prefixo) + 1).empty()) << prefixo;
    }
    EXPECT_EQ(linhasAjuda("EDAJXX"), 0);
    EXPECT_TRUE(textoAjuda("EDAJLI", 0).empty());
    EXPECT_EQ(letraComando(textoAjuda("EDAJCU", 2)), '-');
    EXPECT_EQ(letraComando("   "), '\0');
}

TEST(ListasAjuda, ConversionListNamesEveryKeyInOrder) {
    std::string letras;  // what the calculator's chooser takes, in the list's order
    for (int i = 2; i <= 61; ++i) letras += letraComando(textoAjuda("EDAJCV", i));
    EXPECT_EQ(letras,
              "aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTuUvVwWxXyYz"
              "\xE1\xC1\xE9\xC9\xED\xCD\xF3\xD3\xFA");
}

TEST(MenuAjuda, F1ListsFromRowTenReadsEveryLineAndTheNextKeyIsTheCommand) {
    SessaoEditor s("l");
    s.crt().GotoXY(1, 1);
    s.crt().escreve("topo");
    EXPECT_EQ(menuAjuda(s.editor(), 59, "EDAJBL", 21), 'L');
    for (int i = 1; i <= 16; ++i) {  // the lines that fit, down to row 25; nothing scrolls
        const std::string linha(textoAjuda("EDAJBL", i));
        EXPECT_EQ(s.linhaTela(9 + i).substr(0, linha.size()), linha) << i;
        EXPECT_EQ(s.crt().atributoEm(1, 9 + i) >> 4, 1);
    }
    EXPECT_EQ(s.linhaTela(1).substr(0, 4), "topo");
    EXPECT_TRUE(contemEmOrdem(s.rastro(), {"texto Os comandos de bloco sao:",
                                           "texto   T - seleciona Todo o texto"}));
    EXPECT_EQ(("\n" + s.rastro()).find("\nletra "), std::string::npos);  // no echo of the answer
}

// The answer of each help's key: the scan code that opened it, the list, how many
// lines are offered, the keys pressed and the answer.
TEST(MenuAjuda, AnswersOfTheSpokenListAndThePopUp) {
    const std::tuple<uint8_t, const char*, int, const char*, int> casos[] = {
        {80, "EDAJMA", 500, "{End}{Enter}", 'R'},        // a count past the list is cut to it
        {80, "EDAJNAO", 5, "{End}{Enter}", 27}};
    for (const auto& [scan, lista, linhas, teclas, resposta] : casos) {
        SessaoEditor s(teclas);
        EXPECT_EQ(menuAjuda(s.editor(), scan, lista, linhas), resposta) << lista << teclas;
        EXPECT_EQ(s.crt().teclasNaFila(), 0u) << teclas;
    }
    SessaoEditor cv("{Down}{Enter}{End}{Enter}");  // the conversions keep their case
    EXPECT_EQ(escolheNaLista(cv.editor(), "EDAJCV", 61), 'A');
    EXPECT_EQ(escolheNaLista(cv.editor(), "EDAJCV", 61), 0xFA);
}

// The family prompt clears the message row when it redraws; the help list stays on the
// rows below until a redraw after the help's answer.
TEST(PerguntaFamilia, AnswersAndRedrawsAsAsked) {
    struct {
        const char* teclas;
        bool redesenhaAoDesistir, redesenhaAposAjuda;
        int resposta;
        bool ajudaFica;
    } const casos[] = {{"{Esc}", true, false, 27, false},
                       {"{Esc}", false, false, 27, false},
                       {"{F1}c", false, false, 'C', true},
                       {"{F1}c", true, true, 'C', false},
                       {"{F1}{Esc}", true, true, 27, true}};
    for (const auto& c : casos) {
        SessaoEditor s(c.teclas);
        const PerguntaFamilia p{"EDAJIN", 11, "EDCOMAND", c.redesenhaAoDesistir,
                                c.redesenhaAposAjuda};
        EXPECT_EQ(perguntaFamilia(s.editor(), p), c.resposta) << c.teclas;
        // The question stays on row 9 through the redraws, until the editor reads its next key.
        EXPECT_TRUE(s.linhaTela(9).starts_with("Qual comando? ")) << c.teclas;
        EXPECT_EQ(s.linhaTela(10).starts_with("Sao os seguintes:"), c.ajudaFica) << c.teclas;
        EXPECT_TRUE(s.rastro().starts_with("mensagem EDCOMAND\n")) << c.teclas;
    }
}

}  // namespace
