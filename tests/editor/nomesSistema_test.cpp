// File names through the editor and back, on every system: an absolute name keeps its root
// (on Windows a drive, so "c:/x" never turns into the drive-relative "c:x").
#include <gtest/gtest.h>

#include "apoio.h"
#include "editor/edArqDisco.h"

namespace fs = std::filesystem;

TEST(NomesSistemaRaiz, AnAbsoluteNameKeepsItsRootAndOpensTheFile) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "carta.txt", "x");
    const std::string nome = nomeEditor(pasta.caminho()) + "/carta.txt";
    EXPECT_EQ(caminhoSistema(nome), pasta / "carta.txt") << nome;
    EXPECT_TRUE(caminhoSistema(nome).is_absolute()) << nome;
    EXPECT_TRUE(podeAbrir(caminhoSistema(nome))) << nome;
    // The same with the other separator, as a Windows user types it.
    std::string invertido = nome;
    for (char& c : invertido)
        if (c == '/') c = '\\';
    EXPECT_TRUE(podeAbrir(caminhoSistema(invertido))) << invertido;
}
