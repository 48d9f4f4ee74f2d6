#include "editor/edArqCopia.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "editor/edArq.h"
#include "editor/edArqDisco.h"
#include "sessao.h"

namespace fs = std::filesystem;

namespace {

class Copias : public SessaoEdicao {
  protected:
    void SetUp() override {
        SessaoEdicao::SetUp();
        abre("abcdefghij");
        ed().nomeArquivo = (pasta_ / "carta.txt").string();
    }
    // One moment of idle time: the program waits for a key (then the key is dropped).
    void ocioso() {
        crt().esperaMensagem();
        crt().limpaFila();
    }
    fs::path estado() const { return pasta_ / "estado" / "sonare"; }
};

// The recovery copy is written after 60 s of a changed text (virtual clock), follows later
// changes a minute at a time, is for the user alone, and goes once the text is saved.
TEST_F(Copias, TheRecoveryCopyFollowsTheTextEveryMinuteUntilSaved) {
    protegeTexto(e());
    texto({"um", ""});
    const fs::path copia = arquivoRecuperacao(ed());
    ocioso();
    crt().Delay(59'000);
    ocioso();
    EXPECT_FALSE(fs::exists(copia));
    crt().Delay(1'500);
    ocioso();
    EXPECT_EQ(leArquivo(copia), "um\r\n");
    EXPECT_EQ(fs::status(copia).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    ed().trocaLinha(1, "dois");
    ocioso();
    crt().Delay(30'000);
    ocioso();
    EXPECT_EQ(leArquivo(copia), "um\r\n");
    crt().Delay(31'000);
    ocioso();
    EXPECT_EQ(leArquivo(copia), "dois\r\n");
    ASSERT_TRUE(gravaTexto(e()));
    EXPECT_FALSE(fs::exists(copia));
    EXPECT_EQ(leArquivo(pasta_ / "carta.txt"), "dois\r\n");
    EXPECT_FALSE(ed().modificado());
}

// At the next load, the newest copy newer than the file is said: which one and its time.
// Nothing is loaded from it, nothing is removed.
TEST_F(Copias, ANewerCopyIsAnnouncedAtLoadAndLeftAlone) {
    gravaArquivoTeste(pasta_ / "carta.txt", "velho\r\n");
    const auto antes = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(pasta_ / "carta.txt", antes);
    gravaArquivoTeste(pasta_ / "carta.txt.save", "novo\r\n");
    ASSERT_TRUE(carregaArquivo(e()));
    EXPECT_EQ(linhas(), Linhas{"velho"});
    EXPECT_TRUE(contemEmOrdem(rastro(), {"mensagem EDARQCRG", "mensagem EDCOPEME"})) << rastro();
    EXPECT_NE(rastro().find("texto carta.txt.save"), std::string::npos);
    EXPECT_TRUE(fs::exists(pasta_ / "carta.txt.save"));

    // The recovery copy, newer still, is the one said; a copy older than the file is not.
    texto({"x"});
    fs::create_directories(estado());
    gravaArquivoTeste(arquivoRecuperacao(ed()), "recente\r\n");
    fs::last_write_time(pasta_ / "carta.txt.save", antes - std::chrono::hours(1));
    ouvido();
    ASSERT_TRUE(carregaArquivo(e()));
    const Ouvido o = ouvido();
    EXPECT_TRUE(ouviu(o, "mensagem EDCOPREC"));
    EXPECT_FALSE(ouviu(o, "mensagem EDCOPEME"));
}

// Leaving without saving keeps a changed text out of the way in the state folder; a text
// without a name, or beside a folder the user cannot write, goes there as well.
TEST_F(Copias, TheEmergencyCopyGoesToTheStateFolderWhenItCannotGoBeside) {
    texto({"sem nome"});
    ed().nomeArquivo.clear();
    const auto semNome = gravaCopiaEmergencia(ed(), true);
    ASSERT_TRUE(semNome);
    EXPECT_EQ(semNome->parent_path(), estado());
    EXPECT_EQ(leArquivo(*semNome), "sem nome\r\n");

    ed().nomeArquivo = (pasta_ / "protegida" / "carta.txt").string();
    fs::create_directories(pasta_ / "protegida");
    fs::permissions(pasta_ / "protegida", fs::perms::owner_read | fs::perms::owner_exec |
                                              fs::perms::group_read | fs::perms::group_exec |
                                              fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(estado(), fs::perms::all);
    // As a user other than root, for whom a folder without write permission is one.
    const pid_t filho = fork();
    if (filho == 0) {
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(2);
        const auto p = gravaCopiaEmergencia(ed(), true);
        _exit(p && p->parent_path() == estado() && leArquivo(*p) == "sem nome\r\n" ? 0 : 1);
    }
    int status = 0;
    waitpid(filho, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(pasta_ / "protegida" / "carta.txt.save"));

    ed().versaoGravada = ed().texto.versao();
    EXPECT_FALSE(gravaCopiaEmergencia(ed(), true)) << "an unchanged text leaves no copy";
}

// Names planted where the copies go (a link to someone else's file, a link that leads
// nowhere) are never followed: the emergency copy takes the next free name, and a link at
// the recovery copy's name is replaced by the copy.
TEST_F(Copias, LinksPlantedUnderTheCopiesNamesAreNeverFollowed) {
    texto({"segredo"});
    gravaArquivoTeste(pasta_ / "fora.txt", "de outro\n");
    fs::create_symlink(pasta_ / "fora.txt", pasta_ / "carta.txt.save");
    fs::create_symlink(pasta_ / "nada.txt", pasta_ / "carta.txt.1.save");
    const auto copia = gravaCopiaEmergencia(ed(), true);
    ASSERT_TRUE(copia);
    EXPECT_EQ(*copia, pasta_ / "carta.txt.2.save");
    EXPECT_EQ(leArquivo(*copia), "segredo\r\n");
    fs::create_directories(estado());
    fs::create_symlink(pasta_ / "fora.txt", arquivoRecuperacao(ed()));
    protegeTexto(e());
    ocioso();
    crt().Delay(61'000);
    ocioso();
    EXPECT_FALSE(fs::is_symlink(arquivoRecuperacao(ed())));
    EXPECT_EQ(leArquivo(arquivoRecuperacao(ed())), "segredo\r\n");
    EXPECT_EQ(leArquivo(pasta_ / "fora.txt"), "de outro\n");
    EXPECT_FALSE(fs::exists(pasta_ / "nada.txt"));
}

// A save in place (a file with a second name) killed half-way leaves the file mixed, but
// the file as it was stays in the state folder: the next opening announces it as an
// emergency copy, and the next good save removes it with any older one.
TEST_F(Copias, ASaveInPlaceKilledHalfWayIsAnnouncedUntilTheNextSave) {
    std::string velho;
    for (int i = 0; i < 300'000; ++i) velho += "linha velha\r\n";
    gravaArquivoTeste(pasta_ / "carta.txt", velho);
    fs::create_hard_link(pasta_ / "carta.txt", pasta_ / "outro-nome.txt");
    for (int vez = 0; vez < 2; ++vez) {
        const pid_t filho = fork();
        if (filho == 0) {
            GravacaoSegura g(pasta_ / "carta.txt");
            g.escreve(std::string(2 << 20, 'n'));  // more than a buffer: on the disk already
            _exit(0);  // killed: nothing more runs
        }
        waitpid(filho, nullptr, 0);
    }
    EXPECT_NE(leArquivo(pasta_ / "carta.txt"), velho);
    const std::vector<fs::path> antes = copiasAntes(pasta_ / "carta.txt");
    ASSERT_EQ(antes.size(), 2u);
    // The second save began from the mixed file: the copy announced is the first one's.
    const fs::path boa = leArquivo(antes[0]) == velho ? antes[0] : antes[1];
    EXPECT_TRUE(leArquivo(boa) == velho);

    ASSERT_TRUE(carregaArquivo(e()));
    const std::string r = rastro();
    EXPECT_TRUE(contemEmOrdem(r, {"mensagem EDARQCRG", "mensagem EDCOPEME"})) << r;
    EXPECT_NE(r.find(boa.filename().string()), std::string::npos) << r;
    texto({"novo"});
    ASSERT_TRUE(gravaTexto(e()));
    EXPECT_TRUE(copiasAntes(pasta_ / "carta.txt").empty());
    EXPECT_EQ(leArquivo(pasta_ / "outro-nome.txt"), "novo\r\n");
}

}  // namespace
