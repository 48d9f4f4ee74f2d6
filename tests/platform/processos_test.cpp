#include "platform/processos.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "apoio.h"

using namespace std::chrono_literals;

namespace {

// How the terminal reads the desktop's clipboard: the output of a program that ends in
// time and well; nothing from one that fails, is missing or hangs.
TEST(SaidaDePrograma, OutputOnlyFromAProgramThatEndsWellInTime) {
    EXPECT_EQ(saidaDePrograma({"printf", "a\\nb"}, 2s, 100), "a\nb");
    EXPECT_EQ(saidaDePrograma({"printf", "abcdef"}, 2s, 3), "abc");
    EXPECT_FALSE(saidaDePrograma({"false"}, 2s, 100));
    EXPECT_FALSE(saidaDePrograma({"programa-que-nao-existe-xyz"}, 2s, 100));
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_FALSE(saidaDePrograma({"sleep", "5"}, 200ms, 100));
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, 1s);
}

// A program named without a folder is looked for in the absolute folders of PATH alone: an
// empty entry (PATH ending in ':') or a relative one would be the folder the program is in,
// a folder received from someone else.
TEST(Processos, ANameIsNeverFoundInTheCurrentOrARelativeFolder) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "xdg-open", "#!/bin/sh\necho > iniciado\n");
    std::filesystem::permissions(pasta / "xdg-open", std::filesystem::perms::owner_all);
    DiretorioAtual aqui(pasta.caminho());
    Variavel path("PATH", "/nao/existe::.:" + pasta.caminho().filename().string());
    EXPECT_TRUE(achaNoPath("xdg-open").empty());
    Processos p;
    EXPECT_NE(p.inicia({"xdg-open", "x"}, pasta.caminho()), 0);
    EXPECT_FALSE(saidaDePrograma({"xdg-open"}, 2s, 100));
    usleep(200'000);
    EXPECT_FALSE(std::filesystem::exists(pasta / "iniciado"));
    Variavel absoluto("PATH", "/nao/existe:" + pasta.caminho().string());
    EXPECT_EQ(achaNoPath("xdg-open"), pasta / "xdg-open");
}

// A child still running ends with the program, and so does its whole group.
TEST(Processos, ChildrenStillRunningAreEndedAtOnce) {
    Processos p;
    ASSERT_EQ(p.inicia({"/bin/sh", "-c", "sleep 30 & wait"}, {}), 0);
    ASSERT_TRUE(p.rodando());
    encerraFilhosJa();
    EXPECT_TRUE(p.esperaFim(2s));
}

}  // namespace
