#include "editor/commands/eddicion.h"

#include <fstream>
#include <functional>

#include "editor/commands/sndic.h"
#include "editor/sessao.h"
#include "platform/caminhos.h"

namespace {

// An editor whose SONARE.INI names a small dictionary of its folder.
class Dicio : public SessaoEdicao {
  protected:
    void SetUp() override {
        escreve("d.suf", "[A]\r\na\r\nas\r\n[O]\r\no\r\nos\r\n");
        escreve("d.dic", "cas A\r\npass O A\r\ne\r\nboa\r\n");
        escreve("d.exc", "");
        escreve("d.nom", "Brasil\r\n");
        escreve("d.sug", "s\xE7=ss\r\n");
        const std::string p = pasta_.caminho().string() + "/";
        escreve("SONARE.INI", "[DICIONARIO]\r\nARQDIC=" + p + "d.dic\r\nARQSUFIXOS=" + p +
                                  "d.suf\r\nARQINEXIST=" + p + "d.exc\r\nARQNOMES=" + p +
                                  "d.nom\r\nARQSUGERE=" + p + "d.sug\r\n");
        SessaoEdicao::SetUp();
    }
    void escreve(const std::string& nome, const std::string& texto) {
        std::ofstream(pasta_ / nome, std::ios::binary) << texto;
    }
};

TEST_F(Dicio, AMarkNeverPushesTheLineOutOfItsRoom) {
    const std::string cheia = std::string(250, 'e') + " xy z";  // 255 characters
    texto({cheia, std::string(255, '#')}, 1, 1);
    EXPECT_TRUE(verificaLinhas(e(), 1, 2));
    EXPECT_EQ(linhas(), (Linhas{cheia, std::string(255, '#')}));
}

TEST_F(Dicio, WordBeforeTheCursorWhileTyping) {
    ASSERT_TRUE(carregaDicionario(e()));
    const struct {
        const char* linha;
        int coluna;
        bool bipa;
    } casos[] = {{"uma casaa", 10, true}, {"uma casa  ", 11, false}, {"casaa", 5, false},
                 {"a - ", 4, false},      {"x2", 3, false},         {"", 1, false}};
    for (const auto& c : casos) {
        texto({c.linha}, 1, c.coluna);
        ouvido();
        verificaPalavraAnterior(e());
        EXPECT_EQ(ouvido(), (c.bipa ? Ouvido{"bip", "bip"} : Ouvido{})) << c.linha;
    }
    EXPECT_EQ(palavraAntes("o caso-limite; d'agua  ", 24), "d'agua");
}

TEST_F(Dicio, AMissingFileLeavesItUnloadedAndTriedAgain) {
    std::filesystem::remove(pasta_ / "d.nom");
    texto({"casaa"}, 1, 1);
    ed().inicioBloco = ed().fimBloco = 1;
    ouvido();
    verificaBloco(e());
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"mensagem EDDICNAO"});
    alternaDicionario(e());  // the switch still switches
    EXPECT_TRUE(ed().dicionarioAtivo);
    EXPECT_EQ(ouvidoSemTextos(), Ouvido{"mensagem EDDICIOA"});
    verificaPalavraAnterior(e());  // active but unloaded: no check
    escreve("d.nom", "");
    verificaBloco(e());
    EXPECT_EQ(linhas(), Linhas{"#casaa"});
}

TEST_F(Dicio, ABadRulesLineIsWrittenOnTheConsole) {
    escreve("d.sug", "s\xE7=ss\r\nsemigual\r\n");
    EXPECT_FALSE(carregaDicionario(e()));
    bool achou = false;
    for (int y = 1; y <= 25; ++y)
        achou |= textoTela(y).find("Linha errada no arquivo") != std::string::npos;
    EXPECT_TRUE(achou);
}

// Ctrl+W's adding a word, its file read at the next load, are the dicionario_pessoal case.
// A file that is no word list is said once at the load and never written over; a word
// added meanwhile is accepted for the session, and its file that cannot be written is said.
TEST_F(Dicio, APersonalDictionaryThatCannotBeUsedIsSaidAndKept) {
    const std::string binario("casa\0\x01\x02", 7), grande(10 << 20, 'a');
    const struct {
        const char* nome;
        std::function<void()> prepara;
        bool lido;
    } casos[] = {
        {"missing", [] {}, true},
        {"empty", [&] { escreve("dicionario-pessoal.txt", ""); }, true},
        {"folder", [&] { std::filesystem::create_directory(pasta_ / "dicionario-pessoal.txt"); }, false},
        {"binary", [&] { escreve("dicionario-pessoal.txt", binario); }, false},
        {"10 MB", [&] { escreve("dicionario-pessoal.txt", grande); }, false},
    };
    for (const auto& c : casos) {
        std::filesystem::remove_all(pasta_ / "dicionario-pessoal.txt");
        c.prepara();
        const std::string antes = std::filesystem::is_regular_file(pasta_ / "dicionario-pessoal.txt")
                                      ? leArquivo(pasta_ / "dicionario-pessoal.txt")
                                      : "";
        abre("{End}{Enter}");
        texto({"boa Tavernaro"}, 1, 14);
        ASSERT_TRUE(carregaDicionario(e())) << c.nome;
        EXPECT_EQ(ouvidoSemTextos(), c.lido ? Ouvido{} : Ouvido{"mensagem EDDPLER"}) << c.nome;
        trocaPorSugestao(e());
        EXPECT_TRUE(ed().dicionario->verificaPalavra("Tavernaro")) << c.nome;
        EXPECT_TRUE(ouviu(ouvidoSemTextos(), c.lido ? "mensagem EDDICPES" : "mensagem EDDPGRV"))
            << c.nome;
        if (!c.lido && std::filesystem::is_regular_file(pasta_ / "dicionario-pessoal.txt")) {
            EXPECT_EQ(leArquivo(pasta_ / "dicionario-pessoal.txt"), antes) << c.nome;
        }
    }
    // A configuration folder that takes no file.
    std::filesystem::remove_all(pasta_ / "dicionario-pessoal.txt");
    abre("{End}{Enter}");
    texto({"boa Tavernaro"}, 1, 14);
    ASSERT_TRUE(carregaDicionario(e()));
    escreve("arquivo", "");
    Variavel semPasta("SONARE_WINDIR", (pasta_ / "arquivo").string());
    ouvido();
    trocaPorSugestao(e());
    EXPECT_TRUE(ouviu(ouvidoSemTextos(), "mensagem EDDPGRV"));
    EXPECT_TRUE(ed().dicionario->verificaPalavra("Tavernaro"));
}

// The files made from the hunspell dictionary at build time, when it was there.
TEST(DicionarioReal, AcceptsPortugueseAndSuggestsTheRightWord) {
    const auto raiz = raizFamilia();
    if (!std::filesystem::exists(raiz / "diciona.dic"))
        GTEST_SKIP() << "no hunspell-pt-br: no dictionary was made";
    auto le = [&](const char* n) { return leArquivo(raiz / n); };
    Dicionario d;
    std::vector<std::string> m;
    ASSERT_TRUE(d.carrega(le("diciona.suf"), le("diciona.dic"), le("diciona.exc"),
                          le("diciona.nom"), le("diciona.sug"), "diciona.sug", m));
    EXPECT_TRUE(m.empty());
    for (const char* p : {"casa", "Casas", "cantávamos", "açúcar", "Brasil", "BRASIL", "nação",
                          "guarda-chuvas", "ex-aluno", "cantá-lo-íamos", "recantar"})
        EXPECT_TRUE(d.verificaPalavra(utf8ParaWin1252(p))) << p;
    for (const char* p : {"casaa", "nacao", "cantavamos", "açucar", "excessão", "ague"})
        EXPECT_FALSE(d.verificaPalavra(utf8ParaWin1252(p))) << p;
    const auto s = d.sugestoes("nacao");
    EXPECT_NE(std::find(s.begin(), s.end(), utf8ParaWin1252("nação")), s.end());
}

}  // namespace
