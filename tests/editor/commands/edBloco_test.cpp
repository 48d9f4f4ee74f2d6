#include "editor/commands/edBloco.h"

#include <sys/stat.h>

#include <random>

#include "editor/sessao.h"
#include "ordemLiteral.h"
#include "platform/texto.h"

namespace {

class Bloco : public SessaoEdicao {
  protected:
    void bloco(int inicio, int fim) {
        ed().inicioBloco = inicio;
        ed().fimBloco = fim;
    }
    std::pair<int, int> marcas() { return {ed().inicioBloco, ed().fimBloco}; }
};

// The lines and the state a command leaves, to compare the whole-block commands with the
// same work done one line at a time.
struct Estado {
    Linhas linhas;
    int inicio, fim, linha, memorizada;
    std::string removida;
    bool operator==(const Estado&) const = default;
};
Estado estado(const EdVars& ed) {
    Linhas l;
    for (int i = 1; i <= ed.nLinhas(); ++i) l.push_back(ed.linha(i));
    return {l, ed.inicioBloco, ed.fimBloco, ed.linhaAtual, ed.linhaMemorizada, ed.linhaRemovida};
}

// Move, copy and remove as their definitions go, one line at a time.
void moveUmAUm(EdVars& ed) {
    ed.linhaMemorizada = ed.linhaAtual;
    for (int k = ed.fimBloco - ed.inicioBloco + 1; k > 0; --k) {
        ed.linhaAtual = ed.linhaMemorizada;
        ed.insereNaLinhaAtual(std::string(ed.linha(ed.fimBloco)));
        ed.linhaAtual = ed.fimBloco;
        ed.removeLinhaAtual();
    }
    ed.linhaAtual = ed.inicioBloco = ed.linhaMemorizada;  // the end is set by the caller
}
void copiaUmAUm(EdVars& ed) {
    for (int i = ed.fimBloco - ed.inicioBloco; i >= 0; --i)
        ed.insereNaLinhaAtual(std::string(ed.linha(ed.inicioBloco + i)));
}
void removeUmAUm(EdVars& ed) {
    ed.linhaAtual = ed.inicioBloco;
    for (int k = ed.fimBloco - ed.inicioBloco + 1; k > 0; --k) ed.removeLinhaAtual();
    ed.inicioBloco = 1;
    ed.fimBloco = 0;
}

TEST_F(Bloco, MoveCopyAndRemoveMatchTheLineByLineWork) {
    std::mt19937 sorte(7);
    for (int caso = 0; caso < 300; ++caso) {
        const int n = 1 + static_cast<int>(sorte() % 8);
        Linhas l;
        for (int i = 1; i <= n; ++i) l.push_back(std::to_string(i));
        const int inicio = 1 + static_cast<int>(sorte() % n);
        const int fim = inicio + static_cast<int>(sorte() % (n - inicio + 1));
        const int cursor = 1 + static_cast<int>(sorte() % n);
        const int memorizada = 1 + static_cast<int>(sorte() % n);
        for (char letra : {'M', 'C', 'R'}) {
            texto(l, cursor);
            bloco(inicio, fim);
            ed().linhaMemorizada = memorizada;
            EdVars esperado = ed();
            const bool dentro = cursor >= inicio && cursor <= fim;
            if (letra == 'M' && !dentro) {
                moveUmAUm(esperado);
                esperado.fimBloco = esperado.inicioBloco + fim - inicio;
            }
            if (letra == 'C' && !dentro) copiaUmAUm(esperado);
            if (letra == 'R') removeUmAUm(esperado);
            (letra == 'M' ? moveBloco : letra == 'C' ? copiaBloco : removeBloco)(e());
            EXPECT_EQ(estado(ed()), estado(esperado))
                << letra << " lines " << n << " block " << inicio << ".." << fim << " cursor "
                << cursor;
            EXPECT_EQ(ouviu(ouvido(), "mensagem EDBLKINV"), letra != 'R' && dentro);
        }
    }
}

// Without a block, with its end above its start, blank lines, the family prompts: the
// bloco_sem_bloco case. Here marks past the text's end (no key leaves them so), the last
// line kept, and the marks Ctrl+B P and J leave.
TEST_F(Bloco, MarksPastTheEndAndTheLastLine) {
    for (void (*comando)(Editor&) : {moveBloco, copiaBloco, removeBloco, ordenaBloco,
                                      removeLinhasEmBranco, gravaBloco, adicionaBlocoArquivo}) {
        texto({"b", "", "a"}, 1);
        bloco(2, 5);
        comando(e());
        EXPECT_EQ(linhas(), (Linhas{"b", "", "a"}));
        EXPECT_EQ(ouvidoSemTextos(), Ouvido{"mensagem EDBLKINV"});
    }
    texto({"a", "", ""}, 1);
    bloco(2, 3);
    removeLinhasEmBranco(e());
    EXPECT_EQ(linhas(), (Linhas{"a", ""}));
    texto({"um", "dois", "", "tres"}, 2);
    paragrafoViraBloco(e());
    EXPECT_EQ(marcas(), std::pair(1, 2));
    justificaParagrafo(e());
    EXPECT_EQ(marcas(), std::pair(1, 0));
    EXPECT_EQ(ouvidoSemTextos().back(), "mensagem EDJUSTIF");
}

// The block alone sorted, accents and equal forms, is the bloco_ordena_troca case.
TEST_F(Bloco, SortFollowsTheExchangeLoop) {
    // Random blocks with many equal forms: case, accents and prefixes.
    const std::vector<std::string> pecas = {"a", "A", "\xE1", "b", "B", "", " ", "ab", "\xC9", "e"};
    std::mt19937 sorte(11);
    for (int caso = 0; caso < 300; ++caso) {
        std::vector<std::string> l(sorte() % 100), formas;
        for (auto& s : l)
            for (int k = static_cast<int>(sorte() % 3); k >= 0; --k)
                s += pecas[sorte() % pecas.size()];
        for (auto& s : l) formas.push_back(formaBusca(s));
        ASSERT_EQ(ordemDaTroca(formas), ordemDaTrocaLiteral(l)) << caso;
    }
}

TEST(BlocoTexto, CaseAndWordCount) {
    EXPECT_EQ(primeirasMaiusculas("\xC9RAMOS dois"), "\xE9ramos Dois");  // ÉRAMOS -> éramos
    EXPECT_EQ(maiusculas1252("a\xE7\xE3o \xFF\x9C \xF7\xDF"), "A\xC7\xC3O \x9F\x8C \xF7\xDF");
    EXPECT_EQ(minusculas1252("A\xC7\xC3O \x9F\x8C \xD7"), "a\xE7\xE3o \xFF\x9C \xD7");
    EXPECT_EQ(contaPalavras("  um   dois\t tres  "), 3);
    EXPECT_EQ(contaPalavras(" \t "), 0);

    // The count said by U C is the bloco_novo_usuario case, the block written as UTF-8
    // bloco_converte_utf8.
}

// A folder, a missing file and a binary file read in are the case bloco_arquivos_ilegiveis;
// here a file that cannot be written.
TEST_F(Bloco, AFileThatCannotBeWrittenIsNotAppendedTo) {
    DiretorioAtual aqui(pasta_.caminho());
    gravaArquivoTeste(pasta_.caminho() / "so.txt", "antes\r\n");
    chmod((pasta_.caminho() / "so.txt").c_str(), 0444);
    abre("so.txt{Enter}");
    texto({"um", "dois"}, 2);
    bloco(1, 1);
    // Root writes anyway: then the line is appended.
    const bool podeEscrever = access((pasta_.caminho() / "so.txt").c_str(), W_OK) == 0;
    adicionaBlocoArquivo(e());
    EXPECT_EQ(ouvidoSemTextos().back(), podeEscrever ? "mensagem EDBLKADC" : "mensagem EDERRESC");
    EXPECT_EQ(leArquivo(pasta_.caminho() / "so.txt"),
              podeEscrever ? "antes\r\num\r\n" : "antes\r\n");
    EXPECT_EQ(linhas(), (Linhas{"um", "dois"}));
    EXPECT_EQ(marcas(), std::pair(1, 1));
}

}  // namespace
