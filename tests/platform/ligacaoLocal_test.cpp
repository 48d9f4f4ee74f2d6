#include "platform/ligacaoLocal.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <sddl.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

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
#ifdef _WIN32
    EXPECT_EQ(servidor.endereco().filename().string().substr(0, 7), "sonare-");
    EXPECT_TRUE(servidor.endereco().string().ends_with("-MONOLOG.TALK"));
#else
    EXPECT_EQ(servidor.endereco(), pasta_.caminho() / "sonare/link/MONOLOG.TALK");
    struct stat st {};
    ASSERT_EQ(::stat((pasta_.caminho() / "sonare/link").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
#endif

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

TEST_F(Ligacao, ASilentServerCostsTheClientTwoSecondsAtMost) {
    ligacao::Servidor servidor;
    ASSERT_EQ(servidor.abre("MONOLOG", "TALK"), "");
    // Accepted by the system but never answered.
    auto inicio = std::chrono::steady_clock::now();
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "", "x"), ligacao::Resultado::SemServidor);
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, 2500ms);
    // The server still serves the next client.
    std::optional<ligacao::Entrega> recebida;
    std::thread servindo([&] {
        servidor.atende(2s);  // the silent client's turn, long gone
        recebida = servidor.atende(2s);
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "i", "y"), ligacao::Resultado::Entregue);
    servindo.join();
    EXPECT_TRUE(recebida && recebida->dados == "y");
}

#ifndef _WIN32
TEST_F(Ligacao, GarbledPeersCostTheOtherSideTheDeadlineAtMost) {
    ligacao::Servidor servidor;
    ASSERT_EQ(servidor.abre("MONOLOG", "TALK"), "");
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
#endif

#ifdef _WIN32
// A pipe of the link's name set there first by someone else (owned by the administrators,
// open to all) is never given the text.
TEST_F(Ligacao, APipeThisUserDoesNotOwnIsNeverSpokenTo) {
    const fs::path nome = ligacao::enderecoServidor(ligacao::pastaLigacoes(), "MONOLOG", "TALK");
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"O:BAD:(A;;GA;;;WD)", SDDL_REVISION_1, &sd, nullptr));
    SECURITY_ATTRIBUTES sa{sizeof sa, sd, FALSE};
    HANDLE h = CreateNamedPipeW(nome.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096,
                                0, &sa);
    LocalFree(sd);
    if (h == INVALID_HANDLE_VALUE) GTEST_SKIP() << "this user cannot make a pipe others own";
    EXPECT_EQ(ligacao::entrega("MONOLOG", "TALK", "", "segredo", 500ms),
              ligacao::Resultado::SemServidor);
    DWORD chegou = 0;
    PeekNamedPipe(h, nullptr, 0, nullptr, &chegou, nullptr);
    EXPECT_EQ(chegou, 0u);
    CloseHandle(h);
}
#else
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
#endif

}  // namespace
