#include "platform/ligacaoLocal.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "apoio.h"

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class Ligacao : public ::testing::Test {
  protected:
    PastaTemporaria pasta_{"lig"};
    Variavel runtime_{"XDG_RUNTIME_DIR", pasta_.caminho().string()};
};

TEST_F(Ligacao, AClientPokesItsTextToTheServerOfThatName) {
    ligacao::Servidor servidor;
    ASSERT_EQ(servidor.abre("monolog", "Talk"), "");
    EXPECT_EQ(servidor.endereco(), pasta_.caminho() / "sonare/link/MONOLOG.TALK");
    struct stat st {};
    ASSERT_EQ(::stat((pasta_.caminho() / "sonare/link").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    std::optional<ligacao::Entrega> recebida;
    std::thread t([&] { recebida = servidor.atende(2s); });
    const std::string texto("Ol\xE1\r\n\0", 7);
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "item", texto), ligacao::Resultado::Entregue);
    t.join();
    ASSERT_TRUE(recebida);
    EXPECT_EQ(recebida->item, "item");
    EXPECT_EQ(recebida->dados, texto);

    // A second server of the same names is refused while the first listens.
    ligacao::Servidor outro;
    EXPECT_NE(outro.abre("MONOLOG", "TALK"), "");
    EXPECT_EQ(ligacao::entrega("MONOLOG", "OUTRO", "", "x"), ligacao::Resultado::SemServidor);
}

TEST_F(Ligacao, SilentOrGarbledServersCostTheClientTwoSecondsAtMost) {
    ligacao::Servidor servidor;
    ASSERT_EQ(servidor.abre("MONOLOG", "TALK"), "");
    // Accepted by the system but never answered.
    auto inicio = std::chrono::steady_clock::now();
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "", "x"), ligacao::Resultado::SemServidor);
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, 2500ms);

    // A peer that answers garbage to the initiate.
    const fs::path falso = ligacao::enderecoServidor(ligacao::pastaLigacoes(), "LIXO", "TALK");
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    std::strcpy(sa.sun_path, falso.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    std::thread t([fd] {
        const int c = ::accept(fd, nullptr, nullptr);
        const char lixo[] = "\xFF\xFF\xFF\xFF\x02garbage";
        (void)!::write(c, lixo, sizeof lixo);
        ::sleep(1);
        ::close(c);
    });
    EXPECT_EQ(ligacao::entrega("LIXO", "TALK", "", "x", 1500ms), ligacao::Resultado::SemServidor);
    t.join();
    ::close(fd);

    // A client that sends garbage leaves the server serving.
    std::thread cliente([] {
        const int c = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un s{};
        s.sun_family = AF_UNIX;
        std::strcpy(s.sun_path, ligacao::enderecoServidor(ligacao::pastaLigacoes(), "MONOLOG", "TALK").c_str());
        if (::connect(c, reinterpret_cast<sockaddr*>(&s), sizeof s) == 0) (void)!::write(c, "\0\0\0\x09\x01nonul", 10);
        ::close(c);
    });
    EXPECT_FALSE(servidor.atende(2s));
    cliente.join();
}

TEST_F(Ligacao, FoldersOpenToOthersAreMadePrivateAndOthersFoldersRefused) {
    const fs::path link = ligacao::pastaLigacoes();
    fs::create_directories(link);
    ::chmod(link.c_str(), 0777);
    EXPECT_EQ(ligacao::preparaPasta(link), "");
    struct stat st {};
    ASSERT_EQ(::stat(link.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A socket-looking name that is a plain file is never connected to.
    gravaArquivoTeste(link / "MONOLOG.TALK", "x");
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "", "x"), ligacao::Resultado::SemServidor);
    ligacao::Servidor s;
    EXPECT_NE(s.abre("MONOLOG", "TALK"), "");
    if (::geteuid() != 0) GTEST_SKIP() << "only root can make a folder of another user";
    ASSERT_EQ(::chown(link.c_str(), 65534, 65534), 0);
    EXPECT_NE(ligacao::preparaPasta(link), "");
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "", "x"), ligacao::Resultado::SemServidor);
}

}  // namespace
