// The system layer's promises, one table of cases for both systems: Windows paths, file
// reads that refuse what is no file, safe saves, SONARE.INI, and programs started with
// their arguments as they are. Where a system answers differently the row says both.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "apoio.h"
#include "platform/arquivoNovo.h"
#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/conversaoDoc.h"
#include "platform/gravacaoSegura.h"
#include "platform/ini.h"
#include "platform/processos.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// A name no single-byte code page holds, and a folder deeper than Windows' old 260.
const std::string kNomeUnicode = "a\xC3\xA7\xC3\xA3o \xCE\xA9 \xE6\x97\xA5.txt";
fs::path pastaFunda(const fs::path& base) {
    fs::path p = base;
    for (int i = 0; i < 6; ++i) p /= std::string(50, static_cast<char>('a' + i));
    return p;
}

struct CasoCaminho {
    const char* windows;
    const char* noLinux;    // what it names on Linux ("R" is the family root)
    const char* noWindows;  // and on Windows
};

class SistemaTest : public ::testing::Test {
  protected:
    PastaTemporaria pasta{"sistema"};
};

TEST_F(SistemaTest, WindowsPathsMapTheFamilyRootAndKeepRealDrivesOnWindows) {
    Variavel raiz("SONARE_ROOT", pasta.caminho().string());
    const CasoCaminho casos[] = {
        {"c:\\ornato\\som\\x.wav", "R/som/x.wav", "R/som/x.wav"},
        {"C:\\ORNATO\\\\dic", "R/dic", "R/dic"},
        {"C:\\ORNATO", "R/", "R/"},
        {"\\Ornato\\som\\letras\\", "R/som/letras/", "R/som/letras/"},
        {"d:\\textos\\carta.txt", "/textos/carta.txt", "d:/textos/carta.txt"},
        {"\\textos\\carta.txt", "/textos/carta.txt", "/textos/carta.txt"},
        {"carta.txt", "carta.txt", "carta.txt"},
        {"ornatos\\x", "ornatos/x", "ornatos/x"},
    };
    for (const CasoCaminho& c : casos) {
        std::string esperado = kWindows ? c.noWindows : c.noLinux;
        if (esperado.rfind("R/", 0) == 0) esperado = (pasta.caminho() / esperado.substr(2)).string();
        EXPECT_EQ(fs::path(mapeiaCaminho(c.windows)).lexically_normal(),
                  fs::path(esperado).lexically_normal())
            << c.windows;
    }
}

// The converter is given addresses it reads (forward slashes, escaped bytes, a drive's path
// as file:///C:/...), and on Windows LibreOffice is found where its installer puts it, off
// PATH, unless the user said N.
TEST_F(SistemaTest, TheConverterIsFoundWhereTheSystemPutsItAndGivenAddressesItReads) {
    EXPECT_EQ(enderecoArquivo(kWindows ? "C:\\a b\\\xC3\xA7.doc" : "/a b/\xC3\xA7.doc"),
              kWindows ? "file:///C:/a%20b/%C3%A7.doc" : "file:///a%20b/%C3%A7.doc");
#ifdef _WIN32
    const fs::path soffice = pasta.caminho() / "LibreOffice" / "program" / "soffice.exe";
    fs::create_directories(soffice.parent_path());
    gravaArquivoTeste(soffice, "MZ");
    Variavel programas("ProgramFiles", pasta.caminho().string());
    if (achaNoPath("soffice").empty()) { EXPECT_EQ(achaLibreOffice(""), soffice); }
    EXPECT_EQ(achaLibreOffice("N"), fs::path());
#endif
}

TEST_F(SistemaTest, OnlyRegularFilesAreReadWhateverTheirNameOrDepth) {
    fs::create_directories(pastaFunda(pasta.caminho()));
    gravaArquivoTeste(pasta / kNomeUnicode, "texto\r\n");
    gravaArquivoTeste(pastaFunda(pasta.caminho()) / "fundo.txt", "fundo");
    gravaArquivoTeste(pasta / "vazio.txt", "");
    struct Caso {
        fs::path arquivo;
        ArquivoLeitura::Falha falha;
        const char* conteudo;
    };
    const Caso casos[] = {
        {pasta / "nenhum.txt", ArquivoLeitura::Falha::NaoExiste, ""},
        {pasta / "nenhum/dentro.txt", ArquivoLeitura::Falha::NaoExiste, ""},
        {pasta.caminho(), ArquivoLeitura::Falha::NaoRegular, ""},
        {pasta / kNomeUnicode, ArquivoLeitura::Falha::Nenhuma, "texto\r\n"},
        {pastaFunda(pasta.caminho()) / "fundo.txt", ArquivoLeitura::Falha::Nenhuma, "fundo"},
        {pasta / "vazio.txt", ArquivoLeitura::Falha::Nenhuma, ""},
    };
    for (const Caso& c : casos) {
        const ArquivoLeitura a(c.arquivo);
        EXPECT_EQ(a.falha(), c.falha) << c.arquivo;
        EXPECT_EQ(a.aberto(), c.falha == ArquivoLeitura::Falha::Nenhuma) << c.arquivo;
        EXPECT_EQ(conteudoRegular(c.arquivo), c.conteudo) << c.arquivo;
    }
}

// Saves that succeed leave the new bytes and nothing else in the folder; saves that cannot
// be made leave the old file as it was.
TEST_F(SistemaTest, SafeSavesReplaceWholeOrLeaveTheFileAsItWas) {
    fs::create_directories(pastaFunda(pasta.caminho()));
    fs::create_directories(pasta / "pasta");
    gravaArquivoTeste(pasta / "velho.txt", "velho");
    gravaArquivoTeste(pasta / kNomeUnicode, "velho");
    gravaArquivoTeste(pasta / "abandonado.txt", "velho");
    struct Caso {
        fs::path destino;
        bool criada;
        const char* depois;  // nullptr: not a file afterwards
        bool conclui = true;  // false: the save is abandoned half written
    };
    const Caso casos[] = {
        {pasta / "novo.txt", true, "novo"},
        {pasta / "velho.txt", true, "novo"},
        {pasta / kNomeUnicode, true, "novo"},
        {pastaFunda(pasta.caminho()) / "fundo.txt", true, "novo"},
        {pasta / "pasta", false, nullptr},
        {pasta / "nenhuma/x.txt", false, nullptr},
        {pasta / "abandonado.txt", true, "velho", false},
    };
    for (const Caso& c : casos) {
        {
            GravacaoSegura g(c.destino);
            EXPECT_EQ(g.criada(), c.criada) << c.destino;
            g.escreve("no");
            g.escreve("vo");
            if (c.conclui) { EXPECT_EQ(g.conclui(), c.criada) << c.destino; }
        }
        if (c.depois) { EXPECT_EQ(leArquivo(c.destino), c.depois) << c.destino; }
        else EXPECT_FALSE(fs::is_regular_file(c.destino)) << c.destino;
    }
    // No temporary file is left behind.
    size_t entradas = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(pasta.caminho())) ++entradas;
    EXPECT_EQ(entradas, 6u);  // velho, novo, abandonado, the Unicode name, the deep folder, pasta
}

TEST_F(SistemaTest, AReadOnlyFileIsNeverReplaced) {
    gravaArquivoTeste(pasta / "so.txt", "antes");
    fs::permissions(pasta / "so.txt", fs::perms::owner_read | fs::perms::group_read);
    // The administrator writes any file: nothing to see then.
    if (std::ofstream(pasta / "so.txt", std::ios::app)) {
        fs::permissions(pasta / "so.txt", fs::perms::owner_all);
        GTEST_SKIP() << "this user writes read-only files";
    }
    GravacaoSegura g(pasta / "so.txt");
    g.escreve("depois");
    EXPECT_FALSE(g.conclui());
    EXPECT_EQ(leArquivo(pasta / "so.txt"), "antes");
    fs::permissions(pasta / "so.txt", fs::perms::owner_all);
}

#ifdef _WIN32
// A file another program holds without sharing: the save fails, and the file is intact.
TEST_F(SistemaTest, AFileLockedByAnotherProgramIsNotLost) {
    gravaArquivoTeste(pasta / "preso.txt", "antes");
    HANDLE h = CreateFileW((pasta / "preso.txt").c_str(), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    GravacaoSegura g(pasta / "preso.txt");
    g.escreve("depois");
    EXPECT_FALSE(g.conclui());
    CloseHandle(h);
    EXPECT_EQ(leArquivo(pasta / "preso.txt"), "antes");
}
#endif

TEST_F(SistemaTest, AppendsAndNewFilesAreWholeOrNothing) {
    gravaArquivoTeste(pasta / "a.txt", "um ");
    const auto depois = [](std::string_view atual) { return std::string(atual.size(), '+'); };
    EXPECT_EQ(anexaAoArquivo(pasta / "a.txt", 100, depois), Anexo::Feito);
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "um +++");
    EXPECT_EQ(anexaAoArquivo(pasta / "a.txt", 5, depois), Anexo::GrandeDemais);
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "um +++");
    EXPECT_EQ(anexaAoArquivo(pasta / "nenhum.txt", 100, depois), Anexo::NaoExiste);
    EXPECT_EQ(anexaAoArquivo(pasta.caminho(), 100, depois), Anexo::NaoExiste);
    EXPECT_FALSE(fs::exists(pasta / "nenhum.txt"));

    // A new file gets its name only when nothing has it, and stays for another name.
    ArquivoNovo novo(pasta.caminho(), "c\xC3\xB3pia", 0600);
    EXPECT_TRUE(novo.escreve("c\xC3\xB3") && novo.escreve("pia"));
    EXPECT_FALSE(novo.nomeia(pasta / "a.txt"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "um +++");
    EXPECT_TRUE(novo.nomeia(pasta / kNomeUnicode));
    EXPECT_EQ(leArquivo(pasta / kNomeUnicode), "c\xC3\xB3pia");
    EXPECT_FALSE(ArquivoNovo(pasta / "nenhuma", "x").aberto());
}

// A SONARE.INI that is a folder is the scripted case instalacao/ini_que_e_pasta.
TEST_F(SistemaTest, IniValuesKeepTheirBytesInAFileOfAnyName) {
    const fs::path ini = pasta / kNomeUnicode;
    EXPECT_TRUE(escreveIniArquivo(ini, "Se\xE7\xE3o", "Chave", "valor \xE7\xE3o"));
    EXPECT_EQ(leIniArquivo(ini, "SE\xE7\xE3O", "chave"), "valor \xE7\xE3o");
}

// What a started program gets is what the editor gave: blanks, quotes, backslashes and
// characters outside ASCII included.
TEST_F(SistemaTest, ProgramsGetTheirArgumentsAsTheyAre) {
    const std::vector<std::string> argumentos = {
        "simples", "com espa\xC3\xA7o", "", "aspas \"dentro\"", "barra\\", "barras\\\\\"fim",
        "tab\tx", "\\\\servidor\\pasta", "-x", "%PATH%", "$HOME"};
#ifdef _WIN32
    std::vector<std::string> programa = {"C:\\Program Files\\x.exe"};
    programa.insert(programa.end(), argumentos.begin(), argumentos.end());
    int n = 0;
    LPWSTR* lidos = CommandLineToArgvW(linhaDeComando(programa).c_str(), &n);
    ASSERT_NE(lidos, nullptr);
    std::vector<std::string> devolvidos;
    for (int i = 0; i < n; ++i) devolvidos.push_back(fs::path(lidos[i]).string());
    LocalFree(lidos);
    EXPECT_EQ(devolvidos, programa);
#else
    std::vector<std::string> programa = {"/usr/bin/printf", "%s\\n"};
    programa.insert(programa.end(), argumentos.begin(), argumentos.end());
    const std::optional<std::string> saida =
        saidaDePrograma(programa, std::chrono::seconds(10), 1 << 16);
    ASSERT_TRUE(saida);
    std::string esperado;
    for (const std::string& a : argumentos) esperado += a + "\n";
    EXPECT_EQ(*saida, esperado);
    EXPECT_EQ(saidaDePrograma(programa, std::chrono::seconds(10), 9), esperado.substr(0, 9));
#endif
}

TEST_F(SistemaTest, AStartedProgramEndsWithItsCodeOrIsEnded) {
    const std::vector<std::string> sai3 =
        kWindows ? std::vector<std::string>{"cmd.exe", "/c", "exit 3"}
                 : std::vector<std::string>{"/bin/sh", "-c", "exit 3"};
    const std::vector<std::string> espera =
        kWindows ? std::vector<std::string>{"cmd.exe", "/c", "ping -n 30 127.0.0.1 >NUL"}
                 : std::vector<std::string>{"/bin/sh", "-c", "sleep 30"};
    Processos p;
    ASSERT_EQ(p.inicia(sai3, pasta.caminho()), 0);
    ASSERT_TRUE(p.esperaFim(std::chrono::seconds(20)));
    EXPECT_EQ(p.codigoSaida(), 3);
    ASSERT_EQ(p.inicia(espera, {}), 0);
    EXPECT_TRUE(p.rodando());
    p.encerra();
    EXPECT_FALSE(p.rodando());
    EXPECT_FALSE(p.codigoSaida());
    EXPECT_NE(p.inicia({(pasta / "nenhum.exe").string()}, {}), 0);
#ifndef _WIN32
    // The desktop's clipboard is read from a program's output: only one that ends well in time.
    EXPECT_FALSE(saidaDePrograma(sai3, std::chrono::seconds(10), 100));
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_FALSE(saidaDePrograma(espera, std::chrono::milliseconds(200), 100));
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(1));
    // A child still running ends at once with the program, and so does its whole group.
    ASSERT_EQ(p.inicia({"/bin/sh", "-c", "sleep 30 & wait"}, {}), 0);
    encerraFilhosJa();
    EXPECT_TRUE(p.esperaFim(std::chrono::seconds(2)));
#endif
}

#ifndef _WIN32
// A program named without a folder is looked for in the absolute folders of PATH alone: an
// empty entry (PATH ending in ':') or a relative one would be the folder the program is in,
// a folder received from someone else.
TEST_F(SistemaTest, ANameIsNeverFoundInTheCurrentOrARelativeFolder) {
    gravaArquivoTeste(pasta / "xdg-open", "#!/bin/sh\necho > iniciado\n");
    fs::permissions(pasta / "xdg-open", fs::perms::owner_all);
    DiretorioAtual aqui(pasta.caminho());
    Variavel path("PATH", "/nao/existe::.:" + pasta.caminho().filename().string());
    EXPECT_TRUE(achaNoPath("xdg-open").empty());
    Processos p;
    EXPECT_NE(p.inicia({"xdg-open", "x"}, pasta.caminho()), 0);
    EXPECT_FALSE(saidaDePrograma({"xdg-open"}, std::chrono::seconds(2), 100));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(pasta / "iniciado"));
    Variavel absoluto("PATH", "/nao/existe:" + pasta.caminho().string());
    EXPECT_EQ(achaNoPath("xdg-open"), pasta / "xdg-open");
}
#endif

}  // namespace
