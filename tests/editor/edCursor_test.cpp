#include "editor/edCursor.h"

#include <functional>
#include <random>

#include "editor/edLinha.h"
#include "sessao.h"

namespace {

using Comando = std::function<void(Editor&)>;

// ---- Typing and deleting ----

class Digitacao : public SessaoEdicao {};

TEST_F(Digitacao, CharacterLandsWrapsOrIsRefused) {
    struct Caso {
        Linhas antes;
        int coluna;
        char c;
        Linhas depois;
        int linha, colunaDepois;
        Ouvido ouvido;
        bool quebra = true, eco = true;
    };
    const std::string a72(72, 'a'), a79(79, 'a'), z255(255, 'z');
    const Caso casos[] = {
        {{"ac"}, 2, 'b', {"abc"}, 1, 3, {"letra 98"}},
        {{"abc"}, 200, 'd', {"abcd"}, 1, 5, {"letra 100"}},  // far past the end: at the end
        {{"abc"}, 4, 'd', {"abcd"}, 1, 5, {}, true, false},
        // Past the margin, not breaking: a beep (the break is the digitacao_edicao case).
        {{a79}, 80, 'x', {a79 + "x"}, 1, 81, {"bip", "letra 120"}, false},
        {{a72}, 73, 'a', {a72, "a"}, 2, 2, {"letra 97"}},    // a word with no blank to break at
        {{z255}, 100, 'x', {z255}, 1, 100, {"bip"}, false},  // a full line takes nothing
    };
    for (const Caso& c : casos) {
        texto(c.antes, 1, c.coluna);
        ed().quebraLinhas = c.quebra;
        ed().ecoDigitacao = c.eco;
        ouvido();
        insereCaractere(e(), c.c);
        EXPECT_EQ(linhas(), c.depois) << c.antes[0] << " + " << c.c;
        EXPECT_EQ(ed().linhaAtual, c.linha) << c.antes[0];
        EXPECT_EQ(ed().colunaAtual, c.colunaDepois) << c.antes[0];
        EXPECT_EQ(ouvido(), c.ouvido) << c.antes[0];
    }
}

TEST_F(Digitacao, BreakIndentsToTheLeftMarginAndMovesTheBlock) {
    ed().margemEsquerda = 5;
    ed().margemDireita = 20;
    texto({"antes", "    um dois tres quatro", "depois"}, 2, 20);  // on the a of "quatro"
    ed().inicioBloco = 2;
    ed().fimBloco = 3;
    insereCaractere(e(), 'X');
    EXPECT_EQ(linhas(), (Linhas{"antes", "    um dois tres", "    quXatro", "depois"}));
    EXPECT_EQ(ed().linhaAtual, 3);
    EXPECT_EQ(ed().colunaAtual, 8);  // after the X
    EXPECT_EQ(ed().inicioBloco, 2);
    EXPECT_EQ(ed().fimBloco, 4);
}

TEST_F(Digitacao, NoSpecialLetterBeeps) {
    for (const char* tecla : {"x", "{Left}"}) {  // an arrow's scan code is no letter
        abre(tecla);
        texto({""});
        letraEspecial(e());
        EXPECT_EQ(ed().linha(1), "") << tecla;
        EXPECT_EQ(ouvido(), Ouvido{"bip"}) << tecla;
    }
}

TEST_F(Digitacao, BackspaceOrDelTakesACharacterOrAWholeMark) {
    struct Caso {
        const char* antes;
        int coluna;
        bool del, fala;
        const char* depois;
        int colunaDepois;
        Ouvido ouvido;
    };
    const Ouvido del{"mensagem EDDEL", "texto DEL"};
    const Caso casos[] = {
        {"abc", 3, false, true, "ac", 2, {"mensagem EDDEL", "texto DEL", "letra 98"}},
        {"abc", 2, true, true, "ac", 2, {"mensagem EDDEL", "texto DEL", "letra 98"}},
        {"abc", 1, false, true, "abc", 1, {"bip"}},
        {"abc", 4, true, true, "abc", 4, {"bip"}},
        {"ab", 6, false, false, "ab", 5, {}},  // past the end it only moves back
        {"x<IN>forte", 6, false, true, "xforte", 2, {"mensagem EDDEL", "texto DEL", "texto <IN>"}},
        {"a<tf=Arial>b", 12, false, false, "ab", 2, {"texto <tf=Arial>"}},
        // What only looks like a mark goes one character at a time.
        {"a<XY>", 6, false, false, "a<XY", 5, {}},
        {"a<IN>>", 7, false, false, "a<IN>", 6, {}},
    };
    for (const Caso& c : casos) {
        texto({c.antes}, 1, c.coluna);
        ouvido();
        if (c.del)
            EXPECT_EQ(apagaDireita(e(), c.fala, c.fala), c.depois != std::string(c.antes))
                << c.antes;
        else
            apagaEsquerda(e(), c.fala, c.fala);
        EXPECT_EQ(ed().linha(1), c.depois) << c.antes << " " << c.coluna;
        EXPECT_EQ(ed().colunaAtual, c.colunaDepois) << c.antes << " " << c.coluna;
        EXPECT_EQ(ouvido(), c.ouvido) << c.antes << " " << c.coluna;
    }
}

TEST_F(Digitacao, LongSelectionSpeaksThreeThenTwoClicksAndStopsAtTheEnd) {
    texto({"abcdefghij"}, 1, 1);
    ed().selecaoInicio = 8;
    ed().selecaoFim = 2;
    apagaSelecao(e());
    EXPECT_EQ(ed().linha(1), "ahij");
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDDEL", "texto DEL", "letra 98", "letra 99", "letra 100",
                                "clique", "clique"}));
    texto({"abc"}, 1, 1);
    ed().selecaoInicio = 2;
    ed().selecaoFim = 40;
    apagaSelecao(e());
    EXPECT_EQ(ed().linha(1), "a");
}

TEST_F(Digitacao, DeletingToAnEndOfTheLineOrAWord) {
    struct Caso {
        Comando apaga;
        const char* antes;
        int coluna;
        const char* depois;
        int colunaDepois;
    };
    const Caso casos[] = {{apagaFimLinha, "abcdef", 3, "ab", 3},
                          {apagaInicioLinha, "abcdef", 3, "cdef", 1},
                          {apagaFimLinha, "abc", 90, "abc", 90},  // far past the end: nothing lost
                          {apagaInicioLinha, "abc", 90, "", 1},
                          {apagaPalavraEsquerda, "abc def ", 9, "abc ", 5},
                          {apagaPalavraEsquerda, "abc def", 4, "def", 1},
                          {apagaPalavraEsquerda, "", 1, "", 1}};
    for (const Caso& c : casos) {
        texto({c.antes}, 1, c.coluna);
        c.apaga(e());
        EXPECT_EQ(ed().linha(1), c.depois) << c.antes << " " << c.coluna;
        EXPECT_EQ(ed().colunaAtual, c.colunaDepois) << c.antes << " " << c.coluna;
    }
    texto({"abcdef"}, 1, 3);
    ouvido();
    apagaFimLinha(e());
    EXPECT_EQ(ouvido(), (Ouvido{"mensagem EDAPAFIM", "texto Apagado a direita"}));
    texto({""}, 1, 1);
    apagaPalavraEsquerda(e());
    EXPECT_EQ(ouvido(), (Ouvido{"bip"}));
}

// ---- Moving ----

class Movimento : public SessaoEdicao {};

TEST_F(Movimento, WordSteps) {
    struct Caso {
        bool paraDireita, bipa;
        int de, para;
        bool bip;
    };
    // "abc, def  ": the comma is a step of its own; with no word further on, the end of
    // the line or column 1, and a beep when asked for.
    const Caso casos[] = {{true, true, 4, 6, false},   {true, true, 6, 11, true},
                          {true, false, 50, 11, false}, {false, true, 6, 4, false},
                          {false, true, 4, 1, true},    {false, false, 300, 6, false}};
    for (const Caso& c : casos) {
        texto({"abc, def  "}, 1, c.de);
        ouvido();
        c.paraDireita ? palavraDireita(e(), c.bipa) : palavraEsquerda(e(), c.bipa);
        EXPECT_EQ(ed().colunaAtual, c.para) << c.paraDireita << " " << c.de;
        EXPECT_EQ(ouvido(), c.bip ? Ouvido{"bip"} : Ouvido{}) << c.paraDireita << " " << c.de;
    }
}

TEST_F(Movimento, SpokenWordLeftFromColumnOne) {
    texto({"um dois"}, 1, 1);
    palavraEsquerdaFalada(e());
    EXPECT_EQ(ouvido(), (Ouvido{"bip", "clique"}));
}

TEST_F(Movimento, PagesStopAtTheEndsOfTheText) {
    struct Caso {
        Comando move;
        int de, para;
        Ouvido ouvido;
    };
    // Single lines and the ends of the text are in the movimento_linhas case.
    const Ouvido cliques{"clique", "clique"};
    const Ouvido fim{"mensagem EDFIMTEX"}, inicio{"mensagem EDINITEX"};
    const Caso casos[] = {{paginaAbaixo, 1, 16, cliques}, {paginaAbaixo, 30, 40, fim},
                          {paginaAcima, 40, 25, cliques}, {paginaAcima, 3, 1, inicio}};
    for (const Caso& c : casos) {
        texto(Linhas(40, "linha"), c.de, 7);
        ouvido();
        c.move(e());
        EXPECT_EQ(ed().linhaAtual, c.para) << c.de;
        EXPECT_EQ(ed().colunaAtual, 1) << c.de;
        EXPECT_EQ(ouvidoSemTextos(), c.ouvido) << c.de;
    }
}

TEST_F(Movimento, SameColumnPadsAndSpeaks) {
    texto({"abcdef", "xy", "0123456"}, 1, 5);
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2), "xy  ");
    EXPECT_EQ(ed().colunaAtual, 5);
    linhaAbaixoMesmaColuna(e());
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2), "xy");
    linhaAcimaMesmaColuna(e());
    linhaAcimaMesmaColuna(e());
    linhaAcimaMesmaColuna(e());
    EXPECT_EQ(ed().linhaAtual, 1);
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"letra 32", "letra 52", "mensagem EDFIMTEX", "letra 32",
                                         "letra 101", "mensagem EDINITEX"}));
    texto({"a", "b"}, 1, 100000);  // the padding stops at a full line
    linhaAbaixoMesmaColuna(e());
    EXPECT_EQ(ed().linha(2), "b" + std::string(254, ' '));
    EXPECT_EQ(ed().colunaAtual, 256);
}

TEST_F(Movimento, RememberedPositionComesBackWithinTheText) {
    texto({"abc", "defgh", "x"}, 2, 5);
    memorizaPosicao(e());
    ed().linhaMemorizada = 9;
    voltaPosicao(e());
    EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(3, 1));  // 5 is past "x"
}

TEST_F(Movimento, Paragraphs) {
    struct Caso {
        Linhas texto;
        int de;
        bool avanca, paraNoRecuo;
        int para;
        Ouvido ouvido;
    };
    const Linhas brancas{"p1a", "p1b", "", "  ", "p2a", "p2b", "", " p3", "p3b"};
    const Linhas recuos{"  a1", "a2", "  b1", "b2", "b3", "  c1"};
    Linhas longo(45, "texto");
    longo.insert(longo.end(), {"", "fim"});
    const Ouvido cliques{"clique", "clique"};
    const Ouvido fim{"mensagem EDFIMTEX"}, inicio{"mensagem EDINITEX"};
    const Caso casos[] = {
        {brancas, 1, true, false, 5, cliques},  // the paragraph, then the blank lines
        {brancas, 8, true, false, 9, fim},
        {brancas, 9, false, false, 8, cliques},
        {brancas, 8, false, false, 5, cliques},  // the paragraph's start
        {brancas, 5, false, false, 1, inicio},
        {recuos, 1, true, true, 3, cliques},  // an indented line starts a paragraph
        {recuos, 5, false, true, 3, cliques},
        {recuos, 3, false, true, 1, cliques},  // line 1 starts one
        {recuos, 1, true, false, 6, fim},
        {{"", "  ", ""}, 2, true, false, 3, fim},
        {{""}, 1, true, true, 1, fim},
        {longo, 1, true, false, 47, {"clique", "clique", "clique", "clique"}},  // 20, 40, end
    };
    for (const Caso& c : casos) {
        texto(c.texto, c.de, 3);
        ouvido();
        c.avanca ? avancaParagrafo(e(), c.paraNoRecuo) : recuaParagrafo(e(), c.paraNoRecuo);
        EXPECT_EQ(ed().linhaAtual, c.para) << c.texto[0] << " " << c.de << " " << c.avanca;
        EXPECT_EQ(ed().colunaAtual, 1);
        EXPECT_EQ(ouvidoSemTextos(), c.ouvido) << c.texto[0] << " " << c.de << " " << c.avanca;
        EXPECT_EQ(ed().nLinhas(), static_cast<int>(c.texto.size()));
    }
}

// ---- Asking and telling ----

class Pergunta : public SessaoEdicao {};

TEST_F(Pergunta, GoToLine) {
    const std::pair<const char*, int> casos[] = {
        {"3{Enter}", 3}, {"5{Enter}", 2}, {"{Esc}", 2}, {"x{Enter}", 2}};
    for (const auto& [teclas, linha] : casos) {
        abre(teclas);
        texto({"a", "b", "c", "d"}, 2, 2);
        vaiParaLinha(e());
        EXPECT_EQ(ed().linhaAtual, linha) << teclas;
        EXPECT_EQ(ouvidoSemTextos().back(), linha == 3 ? "clique" : "mensagem EDLINAO") << teclas;
    }
}

TEST_F(Pergunta, FamilyLettersChooseCommands) {
    abre("+mvi{Esc}");
    texto({"um", "dois", "tres"}, 2, 3);
    familiaCursor(e());  // +: end of text
    EXPECT_EQ(ed().linhaAtual, 3);
    ed().colunaAtual = 3;
    familiaCursor(e());  // M
    ed().linhaAtual = 1;
    familiaCursor(e());  // V
    EXPECT_EQ(std::pair(ed().linhaAtual, ed().colunaAtual), std::pair(3, 3));
    familiaCursor(e());  // I
    EXPECT_EQ(ed().linha(3), "es");
    ouvido();
    familiaCursor(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDOPCAO", "letra 27", "mensagem EDDESIST"}));
}

// ---- Key storms ----

class Tempestade : public SessaoEdicao {};

// Thousands of random editing keys on a text with long, empty and blank lines: whatever
// the order, the text keeps at least one line, no line passes 255 characters and the
// cursor and the memorised position stay within the text.
TEST_F(Tempestade, RandomKeysKeepTheInvariants) {
    texto({std::string(255, 'w'), "", "   ", "abc <IN>def, ghi", std::string(250, 'x') + " fim"});
    ed().quebraLinhas = true;
    std::mt19937 gerador(20261206);
    auto sorteia = [&](unsigned n) { return static_cast<int>(gerador() % n); };
    // clang-format off
    std::vector<Comando> comandos = {
        apagaSelecao, apagaFimLinha, apagaInicioLinha, apagaPalavraEsquerda, esquerda, direita,
        inicioLinha, fimLinha, linhaAbaixo, linhaAcima, linhaAbaixoMesmaColuna,
        linhaAcimaMesmaColuna, paginaAbaixo, paginaAcima, inicioTexto, fimTexto, memorizaPosicao,
        voltaPosicao, informaColuna, informaLinha, restauraLinha, quebraLinha, juntaLinhas,
        palavraDireitaFalada, palavraEsquerdaFalada};
    // clang-format on
    for (Comando c : {Comando([](Editor& e) { insereCaractere(e, 'q'); }),
                      Comando([](Editor& e) { insereCaractere(e, ' '); }),
                      Comando([](Editor& e) { apagaEsquerda(e, true, true); }),
                      Comando([](Editor& e) { apagaDireita(e, true, true); }),
                      Comando([](Editor& e) { avancaParagrafo(e, true); }),
                      Comando([](Editor& e) { recuaParagrafo(e, false); }),
                      Comando([](Editor& e) { removeLinha(e, true); }),
                      Comando([](Editor& e) { insereLinhaAbaixo(e, "nova", true); }),
                      Comando([](Editor& e) { insereTextoNaLinha(e, "<FN>"); })})
        comandos.push_back(c);
    for (int i = 0; i < 10000; ++i) {
        if (sorteia(10) == 0) ed().colunaAtual = 1 + sorteia(400);  // a column far off
        if (sorteia(10) == 0) {
            ed().selecaoInicio = sorteia(300);
            ed().selecaoFim = sorteia(300);
        }
        ed().margemDireita = sorteia(4) == 0 ? 250 : 72;
        comandos[static_cast<size_t>(sorteia(static_cast<unsigned>(comandos.size())))](e());
        ASSERT_GE(ed().nLinhas(), 1) << i;
        ASSERT_GE(ed().linhaAtual, 1) << i;
        ASSERT_LE(ed().linhaAtual, ed().nLinhas()) << i;
        ASSERT_GE(ed().colunaAtual, 1) << i;
        ASSERT_LE(ed().colunaAtual, 401) << i;
        ASSERT_GE(ed().linhaMemorizada, 1) << i;
        ASSERT_LE(ed().linhaMemorizada, ed().nLinhas()) << i;
        for (int l = 1; l <= ed().nLinhas(); ++l) ASSERT_LE(ed().linha(l).size(), 255u) << i;
    }
}

}  // namespace
