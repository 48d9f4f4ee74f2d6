#include "editor/edArqDisco.h"
#include "editor/edArqCodif.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "apoio.h"

namespace fs = std::filesystem;

namespace {

using Linhas = std::vector<std::string>;

// ------------------------------------------------------------------ reading rules

TEST(LeituraLinhas, LineEndsControlsAndSplits) {
    const std::string a164(164, 'a'), a170(170, 'a'), x180(180, 'x');
    const struct {
        std::string bytes;
        Linhas linhas;
        bool dividiu;
    } casos[] = {
        {"um\r\ndois", {"um", "dois"}, false},      // the last line without a line end
        {"um\r\ndois\r\n", {"um", "dois"}, false},  // no empty line after the last end
        {"um\n\n", {"um", ""}, false},
        {"", {}, false},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}, false},
        {"a\r\r\nb", {"a", "", "b"}, false},  // CR CR LF: one empty line between
        {"a\n\rb", {"a", "", "b"}, false},
        {std::string("\tx\fy\0z\x1b", 7), {"        x#y#z#"}, false},
        {"\x7f\xe7\xff", {"\x7f\xe7\xff"}, false},  // only codes below 32 change
        // 170 characters with a blank at 165: split there, the blanks after it dropped.
        {a164 + " bbbbb\r\nfim", {a164, "bbbbb", "fim"}, true},
        {a170 + "    \r\nx", {a170, "x"}, true},  // and the line end right after them
        {std::string(160, 'a') + " " + std::string(10, 'b'),
         {std::string(160, 'a') + " " + std::string(10, 'b')},
         false},  // a blank up to 161 is a character
        {std::string(400, 'x'), {x180, x180, std::string(40, 'x')}, true},
        {std::string(360, 'x') + "\r\n\r\ny", {x180, x180, "", "y"}, true},
        {x180 + "\r\nz", {x180, "z"}, false},  // a line just as long as allowed stays whole
        {std::string(162, 'a') + "\tb", {std::string(162, 'a'), "b"}, true},  // a TAB is blanks
        {std::string(150, 'a') + "\tb", {std::string(150, 'a') + "        b"}, false},
    };
    for (const auto& c : casos) {
        bool dividiu = !c.dividiu;
        EXPECT_EQ(separaLinhas(c.bytes, dividiu), c.linhas) << c.bytes;
        EXPECT_EQ(dividiu, c.dividiu) << c.bytes;
    }
}

// A line of megabytes loses no character but the blanks at its splits. (Pieces of any size
// giving the lines of the whole are the fuzz entry's, fuzz_arquivo.)
TEST(LeituraLinhas, HugeLinesLoseNothing) {
    std::string linha;
    while (linha.size() < 2'000'000) linha += "palavra" + std::to_string(linha.size() % 97) + " ";
    bool dividiu = false;
    std::string juntas;
    for (const std::string& s : separaLinhas(linha, dividiu)) {
        EXPECT_LE(s.size(), 180u);
        juntas += s;
    }
    std::erase(juntas, ' ');
    std::erase(linha, ' ');
    EXPECT_EQ(juntas, linha);
}

// ------------------------------------------------------------------ reading files

TEST(LeituraArquivo, StatesOfTheFile) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "um\r\ndois\r\n");
    Linhas l;
    LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
    EXPECT_EQ(leArquivoTexto(pasta / "a.txt", leitor), EstadoLeitura::Lido);
    EXPECT_EQ(l, (Linhas{"um", "dois"}));
    EXPECT_EQ(leArquivoTexto(pasta / "nada.txt", leitor), EstadoLeitura::NaoExiste);
    EXPECT_EQ(leArquivoTexto(pasta / "nada/x.txt", leitor), EstadoLeitura::NaoExiste);
    EXPECT_EQ(leArquivoTexto(pasta.caminho(), leitor), EstadoLeitura::Ilegivel);
    // A device is never read: it could give data forever.
    EXPECT_EQ(leArquivoTexto("/dev/zero", leitor), EstadoLeitura::Ilegivel);
    EXPECT_EQ(l.size(), 2u);
    EXPECT_TRUE(podeAbrir(pasta / "a.txt"));
    EXPECT_FALSE(podeAbrir(pasta.caminho()));
    EXPECT_FALSE(podeAbrir(pasta / "nada.txt"));
}

TEST(LeituraArquivo, ReadErrorKeepsWhatCameBefore) {
    // This file looks regular, but reading it from its start is an I/O error.
    struct stat info {};
    if (::stat("/proc/self/mem", &info) != 0 || !S_ISREG(info.st_mode))
        GTEST_SKIP() << "no /proc/self/mem";
    Linhas l;
    LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
    leitor.alimenta("antes\r\nmeia");  // what an earlier piece brought
    EXPECT_EQ(leArquivoTexto("/proc/self/mem", leitor), EstadoLeitura::ErroNoMeio);
    EXPECT_EQ(l, (Linhas{"antes", "meia"}));
}

// A file past one read: decoded across its pieces; one found not to be UTF-8 at its end
// is read again as bytes only when decoded text went out before.
TEST(LeituraArquivo, UndecodableAtTheEndOfALongFile) {
    std::string ascii;
    while (ascii.size() < (3u << 20) / 2) ascii += "uma linha de texto simples\r\n";
    const struct {
        std::string bytes;
        bool utf8;
        int recomecos;
    } casos[] = {
        {"a\xC3\xA7\r\n" + ascii + "\xC3\xA9", true, 0},
        {std::string((1 << 20) - 1, 'x').append("\xC3\xA7").append(ascii), true, 0},  // cut
        {ascii + "\xE7 fim\r\n\xC3\xA7", false, 0},
        {"a\xC3\xA7\r\n" + ascii + "\xE7", false, 1},
    };
    PastaTemporaria pasta;
    for (const auto& c : casos) {
        gravaArquivoTeste(pasta / "longo.txt", c.bytes);
        Linhas l;
        LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
        CodificacaoArquivo cod;
        int recomecos = 0;
        const auto recomeca = [&] {
            l.clear();
            ++recomecos;
        };
        EXPECT_EQ(leArquivoCodificado(pasta / "longo.txt", leitor, cod, recomeca), EstadoLeitura::Lido);
        EXPECT_EQ(cod.utf8, c.utf8);
        EXPECT_EQ(recomecos, c.recomecos);
        bool dividiu = false;
        std::optional<std::string> texto;
        CodificacaoArquivo esperada;
        if (c.utf8) texto = decodificaUtf8(c.bytes, esperada);
        EXPECT_EQ(l, separaLinhas(texto ? *texto : c.bytes, dividiu)) << c.bytes.substr(0, 10);
        EXPECT_EQ(leitor.dividiu(), dividiu);
    }
}

// ------------------------------------------------------------------ names

TEST(NomesSistema, SeparatorsAndCharacterSets) {
    EXPECT_EQ(caminhoSistema("a\\b/c.txt"), fs::path("a/b/c.txt"));
    EXPECT_EQ(caminhoSistema("/x/"), fs::path("/x/"));
    EXPECT_EQ(caminhoSistema("a\xe7\xe3o.txt"), fs::path("a\xc3\xa7\xc3\xa3o.txt"));
    EXPECT_EQ(nomeEditor("/d\xc3\xa1/a\xc3\xa7\xc3\xa3o.txt"), "/d\xe1/a\xe7\xe3o.txt");
    // Names on disk that are not UTF-8, or have characters Windows-1252 lacks, are found
    // again by their own bytes.
    PastaTemporaria pasta;
    for (const char* arquivo : {"caf\xe9.txt", "\xe6\x97\xa5\xe6\x9c\xac.txt"}) {
        gravaArquivoTeste(pasta / arquivo, "x");
        const std::string nome = nomeEditor(pasta / arquivo);
        EXPECT_EQ(caminhoSistema(nome), pasta / arquivo) << arquivo;
        EXPECT_TRUE(podeAbrir(caminhoSistema(nome))) << arquivo;
    }
}

// ------------------------------------------------------------------ writing

fs::perms permissoes(const fs::path& p) {
    return fs::status(p).permissions();
}

std::vector<std::string> conteudoPasta(const fs::path& p) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(p)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

bool grava(const fs::path& destino, const std::string& bytes) {
    GravacaoSegura g(destino);
    if (!g.criada()) return false;
    g.escreve(bytes);
    return g.conclui();
}

TEST(GravacaoSegura, PermissionsOfTheOldFileOrOfANewOne) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "velho");
    fs::permissions(pasta / "a.txt", fs::perms(0604));
    const mode_t mascara = ::umask(027);
    const bool antigo = grava(pasta / "a.txt", "novo\r\n");
    const bool novo = grava(pasta / "novo.txt", "x");
    ::umask(mascara);
    EXPECT_TRUE(antigo && novo);
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "novo\r\n");
    EXPECT_EQ(permissoes(pasta / "a.txt"), fs::perms(0604));
    EXPECT_EQ(permissoes(pasta / "novo.txt"), fs::perms(0640));  // 0666 less the umask
    EXPECT_EQ(conteudoPasta(pasta.caminho()), (std::vector<std::string>{"a.txt", "novo.txt"}));
}

TEST(GravacaoSegura, NotConcludedLeavesTheOldFileAndNoTemporary) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "velho");
    {
        GravacaoSegura g(pasta / "a.txt");
        ASSERT_TRUE(g.criada());
        g.escreve("metade");
        EXPECT_LE(conteudoPasta(pasta.caminho()).size(), 2u);  // a temporary, maybe unnamed
    }
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "velho");
    EXPECT_EQ(conteudoPasta(pasta.caminho()), std::vector<std::string>{"a.txt"});
}

TEST(GravacaoSegura, WhatCannotBeCreated) {
    PastaTemporaria pasta;
    fs::create_directory(pasta / "pasta.txt");
    EXPECT_FALSE(GravacaoSegura(pasta / "pasta.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / "nao/existe.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / (std::string(300, 'n') + ".txt")).criada());
    EXPECT_FALSE(grava(pasta / "pasta.txt", "x"));
    EXPECT_TRUE(fs::is_directory(pasta / "pasta.txt"));
    // The longest name a folder takes still gets its temporary file.
    const std::string longo = std::string(251, 'l') + ".txt";
    EXPECT_TRUE(grava(pasta / longo, "x"));
    EXPECT_EQ(leArquivo(pasta / longo), "x");
}

TEST(GravacaoSegura, LinksAndDevices) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "real.txt", "velho");
    fs::create_symlink("real.txt", pasta / "atalho.txt");
    EXPECT_TRUE(grava(pasta / "atalho.txt", "novo"));
    EXPECT_TRUE(fs::is_symlink(pasta / "atalho.txt"));  // the link stays a link
    EXPECT_EQ(leArquivo(pasta / "real.txt"), "novo");
    // A device is written in place and its errors reported.
    EXPECT_TRUE(grava("/dev/null", "x"));
    EXPECT_FALSE(grava("/dev/full", std::string(5000, 'x')));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// A file with a second name keeps both (written in place); the copy kept meanwhile in the
// state folder is gone after the save.
TEST(GravacaoSegura, AFileWithHardLinksIsWrittenInPlace) {
    PastaTemporaria pasta;
    Variavel estado("XDG_STATE_HOME", (pasta / "estado").string());
    gravaArquivoTeste(pasta / "a.txt", "velho velho");
    fs::create_hard_link(pasta / "a.txt", pasta / "b.txt");
    EXPECT_TRUE(grava(pasta / "a.txt", "novo"));
    EXPECT_EQ(leArquivo(pasta / "b.txt"), "novo");
    EXPECT_EQ(fs::hard_link_count(pasta / "a.txt"), 2u);
    EXPECT_TRUE(fs::is_empty(pasta / "estado" / "sonare"));
    // Given up half-way, the file is put back as it was.
    {
        GravacaoSegura g(pasta / "a.txt");
        g.escreve(std::string(3 << 20, 'x'));  // more than a buffer: written already
    }
    EXPECT_EQ(leArquivo(pasta / "b.txt"), "novo");
    EXPECT_TRUE(fs::is_empty(pasta / "estado" / "sonare"));
}

// A folder the user cannot write, with a file the user can: saved in place (as a user
// other than root, for whom the folder's permissions count).
TEST(GravacaoSegura, AWritableFileInAReadOnlyFolderIsSaved) {
    PastaTemporaria pasta;
    fs::create_directories(pasta / "estado" / "sonare");
    fs::permissions(pasta / "estado" / "sonare", fs::perms::all);
    fs::create_directories(pasta / "leitura");
    gravaArquivoTeste(pasta / "leitura" / "a.txt", "velho");
    fs::permissions(pasta / "leitura" / "a.txt", fs::perms(0666));
    fs::permissions(pasta / "leitura", fs::perms(0555));
    const pid_t filho = fork();
    if (filho == 0) {
        setenv("XDG_STATE_HOME", (pasta / "estado").c_str(), 1);
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0) _exit(2);
        _exit(grava(pasta / "leitura" / "a.txt", "novo\r\n") ? 0 : 1);
    }
    int status = 0;
    waitpid(filho, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(leArquivo(pasta / "leitura" / "a.txt"), "novo\r\n");
    EXPECT_EQ(conteudoPasta(pasta / "leitura"), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(fs::is_empty(pasta / "estado" / "sonare"));
}

// A save killed half-way leaves no temporary file for long: unnamed where the file system
// allows it, else removed by the next save in that folder, unless a save still holds it.
TEST(GravacaoSegura, TemporaryFilesOfAKilledSaveDoNotStay) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "velho");
    const pid_t filho = fork();
    if (filho == 0) {
        GravacaoSegura g(pasta / "a.txt");
        g.escreve(std::string(3 << 20, 'x'));
        _exit(0);  // killed: no destructor runs
    }
    waitpid(filho, nullptr, 0);
    gravaArquivoTeste(pasta / ".a.txt.plumar-0123456789ab", "abandonado");
    GravacaoSegura emCurso(pasta / "b.txt");
    ASSERT_TRUE(emCurso.criada());
    EXPECT_TRUE(grava(pasta / "a.txt", "novo"));
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "novo");
    std::vector<std::string> restam = conteudoPasta(pasta.caminho());
    std::erase(restam, "a.txt");
    // Only the save still going on may have a file there.
    EXPECT_LE(restam.size(), 1u);
    for (const std::string& n : restam) EXPECT_EQ(n.rfind(".b.txt.plumar-", 0), 0u) << n;
    EXPECT_TRUE(emCurso.conclui());
    EXPECT_EQ(conteudoPasta(pasta.caminho()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// A small memory file system mounted for one test; skipped where mounting is not allowed.
class SistemaPequeno {
  public:
    explicit SistemaPequeno(const fs::path& onde) : onde_(onde) {
        fs::create_directories(onde);
        montado_ = ::mount("tmpfs", onde.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SistemaPequeno() {
        if (montado_) ::umount2(onde_.c_str(), MNT_DETACH);
    }
    bool montado() const { return montado_; }
    bool soLeitura() {
        return ::mount("tmpfs", onde_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }

  private:
    fs::path onde_;
    bool montado_ = false;
};

TEST(GravacaoSegura, FullOrReadOnlyDiskLeavesTheOldFileWhole) {
    PastaTemporaria pasta;
    SistemaPequeno disco(pasta / "disco");
    if (!disco.montado()) GTEST_SKIP() << "tmpfs cannot be mounted here";
    const std::string velho = std::string(20000, 'v');
    gravaArquivoTeste(pasta / "disco/a.txt", velho);
    EXPECT_FALSE(grava(pasta / "disco/a.txt", std::string(200000, 'n')));
    EXPECT_EQ(leArquivo(pasta / "disco/a.txt"), velho);
    EXPECT_EQ(conteudoPasta(pasta / "disco"), std::vector<std::string>{"a.txt"});
    if (!disco.soLeitura()) GTEST_SKIP() << "cannot remount read-only";
    EXPECT_FALSE(GravacaoSegura(pasta / "disco/a.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / "disco/b.txt").criada());
    EXPECT_EQ(leArquivo(pasta / "disco/a.txt"), velho);
}

}  // namespace
